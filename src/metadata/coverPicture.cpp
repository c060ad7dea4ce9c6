#include "metadata/coverPicture.h"

#include <cstring>

namespace {

bool startsWith(QByteArrayView data, const char *magic, qsizetype size)
{
    return data.size() >= size && std::memcmp(data.data(), magic, size_t(size)) == 0;
}

quint32 bigEndian32(const char *p)
{
    const auto *u = reinterpret_cast<const uchar *>(p);
    return (quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | u[3];
}

} // namespace

bool LooksLikeImage(QByteArrayView data)
{
    return startsWith(data, "\xFF\xD8\xFF", 3) || startsWith(data, "\x89PNG\r\n\x1A\n", 8)
        || startsWith(data, "GIF87a", 6) || startsWith(data, "GIF89a", 6) || startsWith(data, "BM", 2)
        || (startsWith(data, "RIFF", 4) && data.size() >= 12 && std::memcmp(data.data() + 8, "WEBP", 4) == 0);
}

bool ParseFlacPicture(QByteArrayView block, TembeddedCover *cover)
{
    qsizetype pos = 0;
    const auto read32 = [&](quint32 *value) {
        if (block.size() - pos < 4)
            return false;
        *value = bigEndian32(block.data() + pos);
        pos += 4;
        return true;
    };
    const auto text = [&](QByteArrayView *value) {
        quint32 length = 0;
        if (!read32(&length) || quint64(length) > quint64(block.size() - pos))
            return false;
        *value = block.sliced(pos, length);
        pos += length;
        return true;
    };
    quint32 type = 0;
    QByteArrayView mime;
    QByteArrayView description;
    quint32 length = 0;
    if (!read32(&type) || !text(&mime) || !text(&description) || block.size() - pos < 16)
        return false;
    pos += 16; // width, height, colour depth, colour count
    if (!read32(&length) || quint64(length) > quint64(block.size() - pos) || length > kMaxCoverBytes)
        return false;
    const QByteArrayView image = block.sliced(pos, length);
    if (!LooksLikeImage(image))
        return false;
    cover->data = image.toByteArray();
    cover->mimeType = QString::fromLatin1(mime);
    cover->pictureType = type > 0x7FFFFFFF ? TembeddedCover::ptOther : int(type);
    return true;
}

int TcoverChoice::rank(int pictureType)
{
    switch (pictureType) {
    case TembeddedCover::ptFrontCover:
        return 0;
    case TembeddedCover::ptFileIcon:
    case TembeddedCover::ptOtherFileIcon:
        return 2;
    default:
        return 1;
    }
}

void TcoverChoice::Offer(TembeddedCover cover)
{
    const int offered = rank(cover.pictureType);
    if (cover.isNull() || offered >= m_rank)
        return;
    m_best = std::move(cover);
    m_rank = offered;
}
