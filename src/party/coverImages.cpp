#include "party/coverImages.h"

#include "core/coverFiles.h"
#include "metadata/customTagger.h"
#include "metadata/embeddedCover.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

// Pictures larger than this are no covers: they are not decoded.
constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
constexpr int kMaxPixels = 4096;

} // namespace

QByteArray ScaledJpeg(const QByteArray &picture, int size)
{
    QBuffer buffer;
    buffer.setData(picture);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize full = reader.size();
    if (!full.isValid() || full.width() > kMaxPixels || full.height() > kMaxPixels)
        return {};
    // Large pictures are decoded straight to the size asked for, where the
    // format allows it (JPEG does).
    if (full.width() > size || full.height() > size)
        reader.setScaledSize(full.scaled(size, size, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > size || image.height() > size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&out, "JPEG", 82);
    return jpeg;
}

const QByteArray *TcoverImages::find(const QString &key)
{
    const auto it = m_index.find(key);
    if (it == m_index.end())
        return nullptr;
    m_entries.splice(m_entries.begin(), m_entries, *it);
    return &(*it)->jpeg;
}

void TcoverImages::keep(const QString &key, QByteArray jpeg)
{
    m_entries.push_front({ key, std::move(jpeg) });
    m_index[key] = m_entries.begin();
    if (int(m_entries.size()) > kKept) {
        m_index.remove(m_entries.back().key);
        m_entries.pop_back();
    }
}

QByteArray TcoverImages::Cover(const TcustomTagger &track, const QString &coverFolder, int size)
{
    const QString file = FindCoverFile(track, coverFolder);
    // A file's picture is shared by its album; a stored picture is looked up
    // once per album folder too (what has none is remembered as empty).
    const QString source = !file.isEmpty() ? QStringLiteral("file\n") + file
                                           : QStringLiteral("stored\n") + track.Folder() + u'\n' + track.Album() + u'\n'
            + (track.Album().isEmpty() ? track.NameInFolder() : QString());
    const QString key = QString::number(size) + u'\n' + source;
    if (const QByteArray *kept = find(key))
        return *kept;
    QByteArray picture;
    if (!file.isEmpty()) {
        QFile input(file);
        if (input.size() <= kMaxPictureBytes && input.open(QIODevice::ReadOnly))
            picture = input.readAll();
    } else {
        picture = ReadEmbeddedCover(track.Filename()).data;
    }
    QByteArray jpeg = picture.isEmpty() || picture.size() > kMaxPictureBytes ? QByteArray() : ScaledJpeg(picture, size);
    keep(key, jpeg);
    return jpeg;
}
