#include "metadata/id3v2.h"
#include "metadata/byteSource.h"
#include "tagBytes.h"

#include <gtest/gtest.h>

using namespace tagBytes;

namespace {

TID3v2 read(const QByteArray &bytes)
{
    TID3v2 tag;
    tag.ReadFromSource(TmemorySource(bytes.constData(), bytes.size()));
    return tag;
}

QByteArray latin1(const char *text)
{
    return QByteArray(1, '\0') + text;
}

} // namespace

TEST(Id3v2, Version23TextFrames)
{
    const QByteArray body = frame("TIT2", latin1("Song")) + frame("TPE1", latin1("Nordwave"))
        + frame("TALB", latin1("Hits")) + frame("TRCK", latin1("3/12")) + frame("TYER", latin1("1999"))
        + frame("TCON", latin1("(17)Rock")) + frame("COMM", QByteArray("\0engd\0Nice", 10))
        + frame("TCOM", latin1("Bach")) + frame("WXXX", QByteArray("\0\0http://x", 10)) + QByteArray(64, '\0');
    const TID3v2 parsed = read(tag(3, body) + mpegFrames(1));
    EXPECT_TRUE(parsed.Found());
    EXPECT_EQ(parsed.MajorVersion(), 3);
    EXPECT_EQ(parsed.TagSize(), body.size() + 10);
    EXPECT_EQ(parsed.Title(), QStringLiteral("Song"));
    EXPECT_EQ(parsed.Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(parsed.Album(), QStringLiteral("Hits"));
    EXPECT_EQ(parsed.Track(), 3);
    EXPECT_EQ(parsed.Year(), QStringLiteral("1999"));
    EXPECT_EQ(parsed.Genre(), QStringLiteral("Rock"));
    EXPECT_EQ(parsed.Comment(), QStringLiteral("Nice"));
    EXPECT_EQ(parsed.Composer(), QStringLiteral("Bach"));
    EXPECT_EQ(parsed.Url(), QStringLiteral("http://x"));
}

TEST(Id3v2, FieldRules)
{
    const auto one = [](const char *id, const QByteArray &content) { return read(tag(3, frame(id, content))); };
    EXPECT_EQ(one("TRCK", latin1("x")).Track(), 0);
    EXPECT_EQ(one("TRCK", latin1("300")).Track(), 44);
    EXPECT_EQ(one("TCON", latin1("(17)")).Genre(), QString());
    EXPECT_EQ(one("TIT1", latin1("Group")).Title(), QStringLiteral("Group"));
    EXPECT_EQ(one("TOPE", latin1("Orig")).Artist(), QStringLiteral("Orig"));
    EXPECT_EQ(one("TOAL", latin1("OrigAlb")).Album(), QStringLiteral("OrigAlb"));
    // Identifiers match exactly.
    EXPECT_EQ(one("TIT3", latin1("Sub")).Title(), QString());
    // A later frame of the same kind replaces the earlier one.
    EXPECT_EQ(read(tag(3, frame("TIT2", latin1("A")) + frame("TIT2", latin1("B")))).Title(), QStringLiteral("B"));

    const TID3v2 v24 = read(tag(4, frame("TDRC", latin1("2004-05-01"), true)));
    EXPECT_EQ(v24.Year(), QStringLiteral("2004"));

    const TID3v2 v5 = read(tag(5, frame("TIT2", latin1("Song"))));
    EXPECT_TRUE(v5.Found());
    EXPECT_EQ(v5.Title(), QString());

    EXPECT_FALSE(read(QByteArray("ID2") + QByteArray(50, '\0')).Found());
}

TEST(Id3v2, LongFramesAreCappedAndTheWalkGoesOn)
{
    const QByteArray title = latin1(QByteArray(299, 'a').constData());
    const TID3v2 parsed = read(tag(3, frame("TIT2", title) + frame("TPE1", latin1("Next"))));
    EXPECT_EQ(parsed.Title(), QString(249, QLatin1Char('a')));
    EXPECT_EQ(parsed.Artist(), QStringLiteral("Next"));
}

TEST(Id3v2, TagSizeFromTheHeader)
{
    const QByteArray header = QByteArray("ID3\x03\x00\x00\x00\x00\x08\x00", 10);
    EXPECT_EQ(TID3v2::TagSizeFromHeader(reinterpret_cast<const uchar *>(header.constData()), 5000), 1034);
    EXPECT_EQ(TID3v2::TagSizeFromHeader(reinterpret_cast<const uchar *>(header.constData()), 1000), 0);
    QByteArray footer = header;
    footer[5] = char(0x10);
    EXPECT_EQ(TID3v2::TagSizeFromHeader(reinterpret_cast<const uchar *>(footer.constData()), 5000), 1044);
}

TEST(Id3v2, TextIsDecodedByItsEncodingByte)
{
    const QString word = QStringLiteral("Crème Brûlée ✓");
    const QByteArray bomLe = QByteArray(1, '\x01') + "\xFF\xFE" + utf16le(word) + QByteArray(2, '\0');
    const QByteArray bomBe = QByteArray(1, '\x01') + "\xFE\xFF" + utf16be(word);
    const QByteArray be = QByteArray(1, '\x02') + utf16be(word);
    const QByteArray utf8 = QByteArray(1, '\x03') + word.toUtf8() + '\0' + "second value";
    const QByteArray latin = QByteArray(1, '\0') + QStringLiteral("Crème").toLatin1();
    EXPECT_EQ(read(tag(3, frame("TIT2", bomLe))).Title(), word);
    EXPECT_EQ(read(tag(3, frame("TIT2", bomBe))).Title(), word);
    EXPECT_EQ(read(tag(4, frame("TIT2", be, true))).Title(), word);
    EXPECT_EQ(read(tag(4, frame("TIT2", utf8, true))).Title(), word);
    EXPECT_EQ(read(tag(3, frame("TIT2", latin))).Title(), QStringLiteral("Crème"));

    // The COMM description ends at the terminator of its encoding: in UTF-16
    // a zero byte inside a character does not end it.
    const QByteArray comm = QByteArray("\x01"
                                       "eng",
                                4)
        + "\xFF\xFE" + utf16le(QStringLiteral("\u0100d")) + QByteArray(2, '\0') + "\xFF\xFE"
        + utf16le(QStringLiteral("Très ✓"));
    EXPECT_EQ(read(tag(3, frame("COMM", comm))).Comment(), QStringLiteral("Très ✓"));
    const QByteArray wxxx = QByteArray(1, '\x01') + "\xFF\xFE" + utf16le(QStringLiteral("d")) + QByteArray(2, '\0')
        + "http://example.org";
    EXPECT_EQ(read(tag(3, frame("WXXX", wxxx))).Url(), QStringLiteral("http://example.org"));
}

TEST(Id3v2, Version24FrameSizesAreSyncSafe)
{
    // 200 bytes: sync-safe 00 00 01 48, which read plainly would be 328.
    const QByteArray title = latin1(QByteArray(199, 't').constData());
    const TID3v2 parsed = read(tag(4, frame("TIT2", title, true) + frame("TPE1", latin1("After"), true)));
    EXPECT_EQ(parsed.Title().size(), 199);
    EXPECT_EQ(parsed.Artist(), QStringLiteral("After"));
}

TEST(Id3v2, ExtendedHeaderIsSkipped)
{
    const QByteArray v23 = be32(6) + QByteArray(6, '\0') + frame("TIT2", latin1("Three"));
    EXPECT_EQ(read(tag(3, v23, 0x40)).Title(), QStringLiteral("Three"));
    const QByteArray v24 = syncSafe(6) + QByteArray(2, '\x01') + frame("TIT2", latin1("Four"), true);
    EXPECT_EQ(read(tag(4, v24, 0x40)).Title(), QStringLiteral("Four"));
}

TEST(Id3v2, Version22Frames)
{
    const QByteArray body = frame22("TT2", latin1("Old")) + frame22("TP1", latin1("Band"))
        + frame22("COM", QByteArray("\0engx\0Text", 10)) + frame22("TOR", latin1("1987"));
    const TID3v2 parsed = read(tag(2, body));
    EXPECT_EQ(parsed.Title(), QStringLiteral("Old"));
    EXPECT_EQ(parsed.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(parsed.Comment(), QStringLiteral("Text"));
    EXPECT_EQ(parsed.Year(), QStringLiteral("1987"));
}

TEST(Id3v2, TruncatedTagsKeepWhatWasRead)
{
    QByteArray bytes = tag(3, frame("TIT2", latin1("Kept")) + frame("TPE1", latin1("Lost artist")));
    bytes.chop(6);
    // The announced size now exceeds the file: the tag has size 0 and no frames.
    EXPECT_TRUE(read(bytes).Found());
    EXPECT_EQ(read(bytes).TagSize(), 0);
    // A frame whose content runs past the end of the file ends the walk.
    QByteArray walked
        = tag(3, frame("TIT2", latin1("Kept")) + frame("TPE1", latin1("Lost artist")) + QByteArray(20, '\0'));
    walked.replace(walked.indexOf("TPE1") + 4, 4, be32(100000));
    const TID3v2 parsed = read(walked);
    EXPECT_EQ(parsed.Title(), QStringLiteral("Kept"));
    EXPECT_EQ(parsed.Artist(), QString());

    // A later frame of the same kind that runs past the end of the file
    // leaves the earlier one whole.
    QByteArray repeated = tag(3, frame("TIT2", latin1("Kept")) + frame("TIT2", latin1("Cut short")));
    repeated.replace(repeated.lastIndexOf("TIT2") + 4, 4, be32(200));
    EXPECT_EQ(read(repeated).Title(), QStringLiteral("Kept"));
}

TEST(Id3v2, BuildsAVersion23Tag)
{
    TID3v2 tag;
    tag.SetTitle(QStringLiteral("Song"));
    const QByteArray bytes = tag.BuildTag();
    ASSERT_EQ(bytes.size(), 1034);
    EXPECT_EQ(bytes.left(10), QByteArray("ID3\x03\x00\x00\x00\x00\x08\x00", 10));
    EXPECT_EQ(bytes.mid(10, 15), QByteArray("TIT2\x00\x00\x00\x05\x00\x00\x00Song", 15));
    EXPECT_EQ(bytes.mid(25), QByteArray(1009, '\0'));

    // Large bodies are written in 7-bit bytes too.
    tag.SetPaddingSize(20000);
    const QByteArray large = tag.BuildTag();
    EXPECT_EQ(large.mid(6, 4), syncSafe(20000));

    TID3v2 full;
    full.SetTitle(QStringLiteral("  Tïtle ✓ "));
    full.SetArtist(QStringLiteral("Artist"));
    full.SetAlbum(QStringLiteral("Album"));
    full.SetYear(QStringLiteral("2001"));
    full.SetComment(QStringLiteral("Comment"));
    full.SetGenre(QStringLiteral("Rock"));
    full.SetTrack(7);
    full.SetUrl(QStringLiteral("http://x"));
    const TID3v2 back = read(full.BuildTag());
    EXPECT_EQ(back.Title(), QStringLiteral("Tïtle ✓"));
    EXPECT_EQ(back.Artist(), QStringLiteral("Artist"));
    EXPECT_EQ(back.Album(), QStringLiteral("Album"));
    EXPECT_EQ(back.Year(), QStringLiteral("2001"));
    EXPECT_EQ(back.Comment(), QStringLiteral("Comment"));
    EXPECT_EQ(back.Genre(), QStringLiteral("Rock"));
    EXPECT_EQ(back.Track(), 7);
    EXPECT_EQ(back.Url(), QStringLiteral("http://x"));
}
