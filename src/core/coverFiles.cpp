#include "core/coverFiles.h"

#include "metadata/customTagger.h"
#include "platform/atomicFile.h"
#include "platform/fileExists.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

// The picture's format as a file suffix, when it is one that decodes whole;
// empty for anything else (a damaged picture is no cover).
QString pictureSuffix(const QByteArray &picture)
{
    QByteArray bytes = picture;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    // Only whether it decodes matters here: a small picture is enough.
    if (format.isEmpty() || !reader.size().isValid())
        return {};
    reader.setScaledSize(reader.size().scaled(64, 64, Qt::KeepAspectRatio));
    return reader.read().isNull() ? QString() : QString::fromLatin1(format);
}

} // namespace

QString FindCoverFile(const TcustomTagger &track, const QString &coverFolder)
{
    if (!track.ValidTag())
        return {};
    const QString artist = track.Artist();
    const QString album = track.Album();
    const QStringList names { artist + QStringLiteral(" - ") + album, album + QStringLiteral(" - ") + artist,
        artist + QStringLiteral(" - (") + album + QLatin1Char(')'),
        album + QStringLiteral(" - (") + artist + QLatin1Char(')') };
    const QString ownFolder = QFileInfo(track.Filename()).path();
    for (const QString &name : names) {
        for (const QString &folder : { coverFolder, ownFolder }) {
            for (const char *extension : { ".jpg", ".bmp" }) {
                const QString candidate = folder + QLatin1Char('/') + name + QLatin1String(extension);
                if (QuietFileExists(candidate))
                    return candidate;
            }
        }
    }
    return {};
}

QString StoreEmbeddedCover(const QString &folder, const QByteArray &picture)
{
    const QString suffix = pictureSuffix(picture);
    if (suffix.isEmpty())
        return {};
    const QString name
        = QStringLiteral("cover-%1.%2")
              .arg(QString::fromLatin1(QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex().left(16)),
                  suffix);
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
