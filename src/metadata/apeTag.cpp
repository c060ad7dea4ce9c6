#include "metadata/apeTag.h"

#include "metadata/byteSource.h"
#include "metadata/id3v1.h"
#include "metadata/vorbisComment.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kFooterSize = 32;
constexpr qint64 kValueCap = 64 * 1024;
constexpr qint64 kKeyCap = 255;
// Item flags, bits 1-2: 0 text, 1 binary, 2 external reference.
constexpr quint32 kItemTypeMask = 0x6;

quint32 littleEndian32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// Where the footer starts: at the end of the file, or in front of its ID3v1
// block; -1 when neither place holds one.
qint64 findFooter(const TbyteSource &source)
{
    const qint64 size = source.Size();
    uchar preamble[8];
    for (const qint64 end : { size, size - TId3v1Tag::kSize }) {
        const qint64 at = end - kFooterSize;
        if (at >= 0 && source.ReadExact(at, preamble, sizeof preamble) && std::memcmp(preamble, "APETAGEX", 8) == 0)
            return at;
    }
    return -1;
}

} // namespace

QStringList ReadApeTextItems(const TbyteSource &source)
{
    QStringList lines;
    const qint64 footer = findFooter(source);
    uchar head[kFooterSize];
    if (footer < 0 || !source.ReadExact(footer, head, kFooterSize))
        return lines;
    const quint32 version = littleEndian32(head + 8);
    const qint64 tagSize = littleEndian32(head + 12);
    const quint32 count = littleEndian32(head + 16);
    if ((version != 1000 && version != 2000) || tagSize < kFooterSize || tagSize > footer + kFooterSize)
        return lines;
    qint64 pos = footer + kFooterSize - tagSize;
    const qint64 end = footer;
    QByteArray key;
    QByteArray value;
    for (quint32 item = 0; item < std::min<quint32>(count, kMaxApeItems); ++item) {
        uchar itemHead[8];
        if (pos + 8 > end || !source.ReadExact(pos, itemHead, 8))
            break;
        const qint64 valueLength = littleEndian32(itemHead);
        const quint32 flags = littleEndian32(itemHead + 4);
        pos += 8;
        // The key: up to its zero byte, within the tag.
        key.resize(std::min(kKeyCap + 1, end - pos));
        if (key.isEmpty() || !source.ReadExact(pos, key.data(), key.size()))
            break;
        const qsizetype zero = key.indexOf('\0');
        if (zero < 2)
            break;
        key.truncate(zero);
        if (!std::all_of(key.cbegin(), key.cend(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
            break;
        pos += zero + 1;
        if (valueLength > end - pos)
            break;
        // A key holding "=" could not be told from its value in the lines
        // returned: such an item is passed by.
        if ((flags & kItemTypeMask) == 0 && !key.contains('=')) {
            value.resize(std::min(valueLength, kValueCap));
            if (!source.ReadExact(pos, value.data(), value.size()))
                break;
            lines.append(
                QString::fromLatin1(key) + QLatin1Char('=') + DecodeUtf8UpToError(value.constData(), value.size()));
        }
        pos += valueLength;
    }
    return lines;
}
