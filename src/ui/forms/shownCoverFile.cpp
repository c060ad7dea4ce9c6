#include "ui/forms/shownCoverFile.h"

#include "platform/atomicFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QImageReader>

QString StoreShownCover(const QString &folder, const QByteArray &picture)
{
    QByteArray bytes = picture;
    QBuffer buffer(&bytes);
    const QByteArray format
        = buffer.open(QIODevice::ReadOnly) ? QImageReader::imageFormat(&buffer) : QByteArray();
    if (format.isEmpty())
        return {};
    const QString name = QStringLiteral("cover-%1.%2")
                             .arg(QString::fromLatin1(
                                 QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex().left(16)),
                                 QString::fromLatin1(format));
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return {};
    const QString path = dir.filePath(name);
    if (!QFile::exists(path) && !WriteFileAtomically(path, picture))
        return {};
    for (const QString &old : dir.entryList({ QStringLiteral("cover-*") }, QDir::Files))
        if (old != name)
            dir.remove(old);
    return path;
}
