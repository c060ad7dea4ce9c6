#include "ui/controls/skinBitmapFile.h"

#include "platform/atomicFile.h"
#include "platform/fileExists.h"
#include "platform/iniFile.h"
#include "platform/vorlenError.h"
#include "ui/controls/skinPainting.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

QString SkinBitmapPath(const QString &skinFileName, const QString &controlName, const QString &suffix)
{
    const QFileInfo skin(skinFileName);
    return skin.absolutePath() + u'/' + skin.completeBaseName() + controlName + suffix;
}

QImage ReadSkinBitmap(const QString &fileName)
{
    const auto fail = [&fileName](const QString &reason) {
        return VorlenError(QStringLiteral("Could not read the skin bitmap %1: %2").arg(fileName, reason));
    };
    QImageReader reader(fileName, "bmp");
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        throw fail(reader.errorString());
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        throw fail(QStringLiteral("not a bitmap"));
    if (size.width() > kMaxSkinBitmapSide || size.height() > kMaxSkinBitmapSide)
        throw fail(QStringLiteral("larger than %1 x %1 pixels").arg(kMaxSkinBitmapSide));
    QImage image = reader.read();
    if (IsEmptyBitmap(image))
        throw fail(reader.errorString());
    return image;
}

void WriteSkinBitmap(const QImage &bitmap, const QString &fileName)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    QString error;
    if (!writer.write(bitmap.convertToFormat(QImage::Format_RGB888)))
        error = writer.errorString();
    else
        WriteFileAtomically(fileName, data, &error);
    if (!error.isEmpty())
        throw VorlenError(QStringLiteral("Could not write the skin bitmap %1: %2").arg(fileName, error));
}

bool ReadSkinBitmapKey(const TiniFile &skin, const QString &section, const QString &key, QImage &bitmap)
{
    const QString stored = skin.ReadString(section, key, QString());
    if (stored.isEmpty())
        return false;
    QString fileName = stored;
    if (!QuietFileExists(fileName)) {
        // Stored paths may come from another machine or from before the
        // folder moved, with either separator.
        const QString name = stored.mid(qMax(stored.lastIndexOf(u'/'), stored.lastIndexOf(u'\\')) + 1);
        if (name.isEmpty())
            return false;
        fileName = QFileInfo(skin.FileName()).absolutePath() + u'/' + name;
        if (!QuietFileExists(fileName))
            return false;
    }
    bitmap = ReadSkinBitmap(fileName);
    return true;
}

void WriteSkinBitmapKey(
    TiniFile &skin, const QString &section, const QString &key, const QString &suffix, const QImage &bitmap)
{
    if (IsEmptyBitmap(bitmap)) {
        skin.WriteString(section, key, QString());
        return;
    }
    const QString fileName = SkinBitmapPath(skin.FileName(), section, suffix);
    WriteSkinBitmap(bitmap, fileName);
    skin.WriteString(section, key, fileName);
}
