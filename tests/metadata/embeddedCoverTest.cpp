#include "metadata/embeddedCover.h"
#include "audioFixtures.h"
#include "metadata/byteSource.h"
#include "metadata/oggTagger.h"
#include "tagBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tagBytes;

namespace {

enum : quint8 { kStreamInfo = 0, kComment = 4, kPicture = 6 };

// Image files as far as their first bytes go, with the FF 00 and FF E0
// sequences that unsynchronisation changes.
const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xFF\x00\xFF\xFF\xE1 jpeg body \xFF\xD9", 29);
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR png body", 25);
const QByteArray kGif = QByteArray("GIF89a gif body");

QByteArray apic(quint8 type, const QByteArray &mime, const QByteArray &image, const QByteArray &description = "")
{
    return QByteArray(1, '\0') + mime + '\0' + char(type) + description + '\0' + image;
}

// ID3v2 unsynchronisation: a zero after every FF.
QByteArray unsynchronised(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        out += c;
        if (uchar(c) == 0xFF)
            out += '\0';
    }
    return out;
}

QByteArray flacWith(const QByteArray &blocks)
{
    return QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(44100, 2, 16, 44100)) + blocks
        + flacBlock(1, QByteArray(10, '\0'), true) + QByteArray(100, 'a');
}

QByteArray pictureEntry(const QByteArray &block)
{
    return "METADATA_BLOCK_PICTURE=" + block.toBase64();
}

TembeddedCover read(TembeddedCover (*reader)(const TbyteSource &), const QByteArray &bytes)
{
    return reader(TmemorySource(bytes.constData(), bytes.size()));
}

} // namespace

TEST(EmbeddedCover, Id3v2PicturesByType)
{
    const QByteArray body = frame("TIT2", QByteArray("\0Title", 6)) + frame("APIC", apic(0, "image/png", kPng))
        + frame("APIC", apic(3, "image/jpeg", kJpeg, "Front")) + frame("APIC", apic(4, "image/gif", kGif));
    const TembeddedCover front = read(ReadId3v2Cover, tag(3, body + QByteArray(200, '\0')) + mpegFrames(2));
    EXPECT_EQ(front.data, kJpeg);
    EXPECT_EQ(front.mimeType, QStringLiteral("image/jpeg"));
    EXPECT_EQ(front.pictureType, TembeddedCover::ptFrontCover);

    // Without a front cover, the first picture that is no file icon.
    const QByteArray noFront = frame("APIC", apic(1, "image/png", kPng)) + frame("APIC", apic(8, "image/gif", kGif))
        + frame("APIC", apic(5, "image/jpeg", kJpeg));
    const TembeddedCover other = read(ReadId3v2Cover, tag(3, noFront));
    EXPECT_EQ(other.data, kGif);
    EXPECT_EQ(other.pictureType, 8);
    EXPECT_EQ(read(ReadId3v2Cover, tag(3, frame("APIC", apic(1, "image/png", kPng)))).data, kPng)
        << "an icon is better than nothing";
}

TEST(EmbeddedCover, Id3v2FrameFormats)
{
    // 2.4: a UTF-16 description whose last character ends in a zero byte, a
    // data length indicator and an unsynchronised frame.
    const QByteArray content
        = QByteArray(1, '\x01') + "image/jpeg" + '\0' + char(3) + QByteArray("\xFF\xFE\xDC\x00\x00\x00", 6) + kJpeg;
    const QByteArray stored = syncSafe(quint32(content.size())) + unsynchronised(content);
    const QByteArray apic24 = QByteArray("APIC") + syncSafe(quint32(stored.size())) + char(0) + char(0x03) + stored;
    EXPECT_EQ(read(ReadId3v2Cover, tag(4, apic24)).data, kJpeg);

    // 2.3 with the whole tag unsynchronised.
    const QByteArray apic23 = frame("APIC", unsynchronised(apic(3, "image/jpeg", kJpeg)));
    EXPECT_EQ(read(ReadId3v2Cover, tag(3, apic23, 0x80)).data, kJpeg);

    // 2.2: PIC with a three-letter image format.
    const QByteArray pic = QByteArray(1, '\0') + "JPG" + char(3) + "Cover" + '\0' + kJpeg;
    const TembeddedCover v22 = read(ReadId3v2Cover, tag(2, frame22("PIC", pic)));
    EXPECT_EQ(v22.data, kJpeg);
    EXPECT_EQ(v22.mimeType, QStringLiteral("image/jpeg"));

    // A compressed front cover, a link instead of a picture and a picture of
    // unknown bytes are passed by.
    QByteArray compressed = frame("APIC", QByteArray(4, '\0') + apic(3, "image/jpeg", kJpeg));
    compressed[9] = char(0x80);
    const QByteArray passedBy = compressed + frame("APIC", apic(3, "-->", "http://example.org/cover.jpg"))
        + frame("APIC", apic(3, "image/jpeg", "not an image at all")) + frame("APIC", apic(0, "image/png", kPng));
    EXPECT_EQ(read(ReadId3v2Cover, tag(3, passedBy)).data, kPng);

    // A picture frame that runs past the end of its tag is damaged, even
    // where the file goes on; so is a tag cut short.
    const QByteArray overlong = QByteArray("APIC") + be32(1000) + QByteArray(2, '\0') + apic(3, "image/jpeg", kJpeg);
    EXPECT_TRUE(read(ReadId3v2Cover, tag(3, overlong) + mpegFrames(3)).isNull());
    QByteArray cut = tag(3, frame("APIC", apic(3, "image/jpeg", kJpeg)));
    cut.chop(5);
    EXPECT_TRUE(read(ReadId3v2Cover, cut).isNull());
    EXPECT_TRUE(read(ReadId3v2Cover, mpegFrames(3)).isNull());
}

TEST(EmbeddedCover, FlacPictureBlocksAndPictureComments)
{
    const QByteArray icon = flacBlock(kPicture, FlacPictureBlock(kGif, "image/gif", 1));
    const QByteArray other = flacBlock(kPicture, FlacPictureBlock(kPng, "image/png", 0));
    const QByteArray front = flacBlock(kPicture, FlacPictureBlock(kJpeg, "image/jpeg", 3, "Front"));
    const TembeddedCover best = read(ReadFlacCover, flacWith(icon + other + front));
    EXPECT_EQ(best.data, kJpeg);
    EXPECT_EQ(best.mimeType, QStringLiteral("image/jpeg"));
    EXPECT_EQ(best.pictureType, 3);
    EXPECT_EQ(read(ReadFlacCover, flacWith(icon + other)).data, kPng);

    // An image length past the end of its block: the picture is damaged.
    QByteArray damaged = FlacPictureBlock(kJpeg, "image/jpeg", 3);
    damaged.chop(1);
    EXPECT_EQ(read(ReadFlacCover, flacWith(other + flacBlock(kPicture, damaged))).data, kPng);

    // A picture in the comments, in any case of its name.
    const QByteArray comments
        = commentList({ "ARTIST=A", "metadata_block_picture=" + FlacPictureBlock(kJpeg, "image/jpeg", 3).toBase64() });
    EXPECT_EQ(read(ReadFlacCover, flacWith(flacBlock(kComment, comments))).data, kJpeg);

    EXPECT_TRUE(read(ReadFlacCover, flacWith(QByteArray())).isNull());
    EXPECT_TRUE(read(ReadFlacCover, QByteArray("fLaC")).isNull());
}

TEST(EmbeddedCover, OpusAndVorbisCommentPictures)
{
    // An Opus comment header whose picture spans three pages, behind a
    // value that is no base64.
    const QByteArray tags = QByteArray("OpusTags")
        + commentList({ "METADATA_BLOCK_PICTURE=!!not base64!!", "ARTIST=Someone",
            pictureEntry(FlacPictureBlock(kJpeg + QByteArray(600, 'j'), "image/jpeg", 3)) });
    const QByteArray head = QByteArray("OpusHead\x01\x02\x38\x01\x44\xAC\x00\x00\x00\x00\x00", 19);
    const QByteArray opus = oggPage(head, 0, 0, false, 0x1234, true) + oggPage(tags.left(300), 0, 1)
        + oggPage(tags.mid(300, 400), 0, 2, true) + oggPage(tags.mid(700), 0, 3, true)
        + oggPage(QByteArray(50, 'x'), 48312, 4);
    EXPECT_EQ(read(ReadOggCover, opus).data, kJpeg + QByteArray(600, 'j'));

    // Vorbis: the comment header, and the record still reads the artist.
    const QByteArray vorbisComments = QByteArray("\x03vorbis")
        + commentList({ pictureEntry(FlacPictureBlock(kPng, "image/png", 0)), "ARTIST=After the picture" }) + char(1);
    const QByteArray vorbis = oggPage(QByteArray("\x01vorbis") + le32(0) + char(2) + le32(44100) + le32(0)
                                      + le32(128000) + le32(0) + char(0xB8) + char(1),
                                  0, 0, false, 0x1234, true)
        + oggPage(vorbisComments, 0, 1) + oggPage(QByteArray(100, 'x'), 44100, 2);
    EXPECT_EQ(read(ReadOggCover, vorbis).data, kPng);
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(vorbis.constData(), vorbis.size()));
    EXPECT_EQ(record.Artist(), QStringLiteral("After the picture"));

    EXPECT_TRUE(read(ReadOggCover, QByteArray(3000, 'q')).isNull());
}

TEST(EmbeddedCover, HugePicturesAreIgnored)
{
    QByteArray image = kJpeg + QByteArray(kMaxCoverBytes - kJpeg.size(), 'h');
    TembeddedCover cover;
    EXPECT_TRUE(ParseFlacPicture(FlacPictureBlock(image, "image/jpeg", 3), &cover));
    EXPECT_EQ(cover.data.size(), kMaxCoverBytes);
    image.append('h');
    TembeddedCover huge;
    EXPECT_FALSE(ParseFlacPicture(FlacPictureBlock(image, "image/jpeg", 3), &huge));
    EXPECT_TRUE(huge.isNull());
    // A length field that promises gigabytes reads nothing.
    QByteArray lying = FlacPictureBlock(kJpeg, "image/jpeg", 3);
    lying.replace(lying.size() - kJpeg.size() - 4, 4, QByteArray("\xFF\xFF\xFF\xF0", 4));
    EXPECT_FALSE(ParseFlacPicture(lying, &huge));
}

TEST(EmbeddedCover, FilesByExtension)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    };
    const QByteArray id3 = tag(3, frame("APIC", apic(3, "image/jpeg", kJpeg))) + mpegFrames(4);
    const QByteArray flac = flacWith(flacBlock(kPicture, FlacPictureBlock(kPng, "image/png", 3)));
    EXPECT_EQ(ReadEmbeddedCover(write(QStringLiteral("a.MP3"), id3)).data, kJpeg);
    EXPECT_EQ(ReadEmbeddedCover(write(QStringLiteral("b.mp2"), id3)).data, kJpeg);
    EXPECT_EQ(ReadEmbeddedCover(write(QStringLiteral("c.flac"), flac)).data, kPng);
    EXPECT_TRUE(ReadEmbeddedCover(write(QStringLiteral("d.wma"), id3)).isNull()) << "not read from WMA files";
    EXPECT_TRUE(ReadEmbeddedCover(write(QStringLiteral("e.flac"), id3)).isNull()) << "by extension, not by content";
    EXPECT_TRUE(ReadEmbeddedCover(dir.filePath(QStringLiteral("gone.mp3"))).isNull());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    EXPECT_TRUE(ReadEmbeddedCover(dir.filePath(QStringLiteral("folder.mp3"))).isNull());
}
