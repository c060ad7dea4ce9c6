#include "metadata/embeddedCover.h"

#include "metadata/byteSource.h"
#include "metadata/flacMetadata.h"
#include "metadata/id3v2.h"
#include "metadata/oggVorbis.h"
#include "metadata/opusTagger.h"
#include "platform/vorlenError.h"

#include <new>

namespace {

// Reads beyond the tag region's start go straight to the file, so the head
// holds just the headers.
constexpr qint64 kHeadBytes = 4096;
// What an APIC frame may hold besides the image: encoding, MIME type, picture
// type and description.
constexpr qint64 kFrameSlack = 64 * 1024;

// APIC (2.3, 2.4): encoding, MIME type ended by 00, picture type,
// description ended by the encoding's terminator, image. PIC (2.2) has a
// three-letter image format instead of the MIME type.
bool parseApic(QByteArrayView content, bool v22, TembeddedCover *cover)
{
    if (content.isEmpty())
        return false;
    const uchar encoding = uchar(content[0]);
    qsizetype pos = 1;
    QString mime;
    if (v22) {
        if (content.size() < 4)
            return false;
        const QByteArray format = content.sliced(1, 3).toByteArray().toUpper();
        mime = format == "JPG" ? QStringLiteral("image/jpeg")
                               : QStringLiteral("image/") + QString::fromLatin1(format).toLower();
        pos = 4;
    } else {
        const qsizetype end = content.indexOf('\0', pos);
        if (end < 0)
            return false;
        mime = QString::fromLatin1(content.sliced(pos, end - pos));
        pos = end + 1;
    }
    if (pos >= content.size())
        return false;
    const int type = uchar(content[pos++]);
    // UTF-16 descriptions end with two zero bytes on a character boundary.
    if (encoding == 1 || encoding == 2) {
        for (;;) {
            if (pos + 1 >= content.size())
                return false;
            const bool end = content[pos] == 0 && content[pos + 1] == 0;
            pos += 2;
            if (end)
                break;
        }
    } else {
        const qsizetype end = content.indexOf('\0', pos);
        if (end < 0)
            return false;
        pos = end + 1;
    }
    const QByteArrayView image = content.sliced(pos);
    if (image.size() > kMaxCoverBytes || !LooksLikeImage(image))
        return false;
    cover->data = image.toByteArray();
    cover->mimeType = mime;
    cover->pictureType = type;
    return true;
}

quint32 bigEndian32(const uchar *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

TembeddedCover readFileCover(const QString &fileName)
{
    const auto hasExtension
        = [&](QLatin1StringView extension) { return fileName.endsWith(extension, Qt::CaseInsensitive); };
    const bool mpeg = hasExtension(QLatin1StringView(".mp3")) || hasExtension(QLatin1StringView(".mp2"));
    const bool flac = hasExtension(QLatin1StringView(".flac"));
    const bool ogg = hasExtension(QLatin1StringView(".ogg")) || hasExtension(QLatin1StringView(".opus"));
    if (!mpeg && !flac && !ogg)
        return TembeddedCover();
    const TfileSource source(fileName, kHeadBytes, 0);
    if (mpeg)
        return ReadId3v2Cover(source);
    if (flac)
        return ReadFlacCover(source);
    return ReadOggCover(source);
}

} // namespace

TembeddedCover ReadId3v2Cover(const TbyteSource &source)
{
    TcoverChoice choice;
    Tid3v2FrameWalker frames(source);
    const bool v22 = frames.MajorVersion() == 2;
    while (!choice.Done() && frames.Next()) {
        // A frame that runs past the end of its tag is damaged: what lies
        // behind the tag is sound, not picture. Compressed and encrypted
        // pictures are passed by.
        QByteArray content;
        if (!frames.IdIs(v22 ? "PIC" : "APIC") || !frames.ReadContent(kMaxCoverBytes + kFrameSlack, &content))
            continue;
        TembeddedCover cover;
        if (parseApic(content, v22, &cover))
            choice.Offer(std::move(cover));
    }
    return choice.Take();
}

TembeddedCover ReadFlacCover(const TbyteSource &source)
{
    TcoverChoice choice;
    TflacBlockWalker block(source);
    while (!choice.Done() && block.Next()) {
        if (block.Type() == TflacBlockWalker::btVorbisComment) {
            TrangeStream stream(source, block.Position(), block.Length());
            ReadCommentPictures(stream, choice);
            continue;
        }
        uchar type[4];
        if (block.Type() != TflacBlockWalker::btPicture || !source.ReadExact(block.Position(), type, 4)
            || !choice.Wants(int(std::min<quint32>(bigEndian32(type), 0x7FFFFFFF))))
            continue;
        QByteArray content(block.Length(), Qt::Uninitialized);
        TembeddedCover cover;
        if (source.ReadExact(block.Position(), content.data(), content.size()) && ParseFlacPicture(content, &cover))
            choice.Offer(std::move(cover));
    }
    return choice.Take();
}

TembeddedCover ReadOggCover(const TbyteSource &source)
{
    TcoverChoice choice;
    ToggPacketStream opus = OpusPacketStream(source);
    if (ReadOpusHead(opus).found) {
        if (FindOpusTags(opus))
            ReadCommentPictures(opus, choice);
        return choice.Take();
    }
    ToggPacketStream vorbis(source, QByteArrayView("\x01vorbis", 7));
    if (FindVorbisCommentHeader(vorbis, source.Size()))
        ReadCommentPictures(vorbis, choice);
    return choice.Take();
}

TembeddedCover ReadEmbeddedCover(const QString &fileName)
{
    try {
        return readFileCover(fileName);
    } catch (const VorlenError &) {
    } catch (const std::bad_alloc &) {
    }
    return TembeddedCover();
}
