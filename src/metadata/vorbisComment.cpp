#include "metadata/vorbisComment.h"

#include "metadata/byteSource.h"
#include "metadata/coverPicture.h"

#include <QByteArray>
#include <algorithm>

namespace {

// Comment values beyond this are not kept.
constexpr qint64 kCommentCap = 64 * 1024;

bool continuation(const uchar *p, qsizetype i, qsizetype size)
{
    return i < size && (p[i] & 0xC0) == 0x80;
}

// The longest value of a picture entry read: base64 of the largest picture
// taken, with room for its block header.
constexpr qint64 kPictureValueCap = (kMaxCoverBytes + 64 * 1024) / 3 * 4 + 4;

// Whether an entry's first bytes name a picture.
bool isPictureEntry(QByteArrayView head)
{
    return head.size() == kPictureCommentName.size() + 1 && head.back() == '='
        && QLatin1StringView(head.chopped(1)).compare(kPictureCommentName, Qt::CaseInsensitive) == 0;
}

} // namespace

bool SkipCommentVendor(TbyteStream &stream, quint32 *count)
{
    quint32 vendorLength = 0;
    return stream.ReadU32LE(&vendorLength) && stream.Skip(vendorLength) && stream.ReadU32LE(count);
}

QStringList ReadCommentList(TbyteStream &stream)
{
    QStringList lines;
    quint32 count = 0;
    if (!SkipCommentVendor(stream, &count))
        return lines;
    QByteArray bytes;
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        if (!stream.ReadU32LE(&length))
            break;
        const qint64 kept = std::min<qint64>(length, kCommentCap);
        bytes.resize(kept);
        // The name first: a picture, often larger than all the rest of the
        // file's header, is stepped over without being copied.
        const qint64 head = std::min<qint64>(kept, kPictureCommentName.size() + 1);
        if (!stream.ReadExact(bytes.data(), head))
            break;
        if (isPictureEntry(QByteArrayView(bytes).first(head))) {
            if (!stream.Skip(length - head))
                break;
            continue;
        }
        if (!stream.ReadExact(bytes.data() + head, kept - head) || !stream.Skip(length - kept))
            break;
        lines.append(DecodeUtf8UpToError(bytes.constData(), bytes.size()));
    }
    return lines;
}

void ReadCommentPictures(TbyteStream &stream, TcoverChoice &choice)
{
    quint32 count = 0;
    if (!SkipCommentVendor(stream, &count))
        return;
    const qint64 nameLength = kPictureCommentName.size() + 1;
    QByteArray bytes;
    for (quint32 i = 0; i < count && !choice.Done(); ++i) {
        quint32 length = 0;
        if (!stream.ReadU32LE(&length))
            return;
        bytes.resize(nameLength);
        const qint64 head = std::min<qint64>(length, nameLength);
        if (!stream.ReadExact(bytes.data(), head))
            return;
        const qint64 valueLength = length - head;
        if (!isPictureEntry(QByteArrayView(bytes).first(head)) || valueLength > kPictureValueCap) {
            if (!stream.Skip(valueLength))
                return;
            continue;
        }
        bytes.resize(valueLength);
        if (!stream.ReadExact(bytes.data(), valueLength))
            return;
        const QByteArray::FromBase64Result block
            = QByteArray::fromBase64Encoding(bytes, QByteArray::AbortOnBase64DecodingErrors);
        TembeddedCover cover;
        if (block && ParseFlacPicture(*block, &cover))
            choice.Offer(std::move(cover));
    }
}

QString VorbisCommentValue(const QStringList &lines, QLatin1StringView name)
{
    for (const QString &line : lines) {
        if (line.size() > name.size() && line.at(name.size()) == QLatin1Char('=')
            && QStringView(line).left(name.size()).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(name.size() + 1);
    }
    return QString();
}

QString DecodeUtf8UpToError(const char *bytes, qsizetype size)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes);
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = p[i];
        int length = 0;
        bool secondOk = true;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (i + 1 < size)
                secondOk = !(lead == 0xE0 && p[i + 1] < 0xA0) && !(lead == 0xED && p[i + 1] > 0x9F);
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (i + 1 < size)
                secondOk = !(lead == 0xF0 && p[i + 1] < 0x90) && !(lead == 0xF4 && p[i + 1] > 0x8F);
        } else {
            break;
        }
        bool ok = secondOk;
        for (int k = 1; ok && k < length; ++k)
            ok = continuation(p, i + k, size);
        if (!ok)
            break;
        i += length;
    }
    return QString::fromUtf8(bytes, i);
}
