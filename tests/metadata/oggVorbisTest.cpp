#include "metadata/oggVorbis.h"
#include "metadata/byteSource.h"
#include "metadata/oggTagger.h"
#include "platform/vorlenError.h"
#include "tagBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tagBytes;

namespace {

QByteArray identification(quint8 channels, quint32 rate, quint32 nominal)
{
    return QByteArray("\x01vorbis") + le32(0) + char(channels) + le32(rate) + le32(0) + le32(nominal) + le32(0)
        + char(0xB8) + char(1);
}

QByteArray comments(const QList<QByteArray> &lines)
{
    return QByteArray("\x03vorbis") + commentList(lines) + char(1);
}

QByteArray oggFile(const QByteArray &commentPacket, quint8 channels = 2, quint64 lastGranule = 441000)
{
    return oggPage(identification(channels, 44100, 128000), 0, 0) + oggPage(commentPacket, 0, 1)
        + oggPage(QByteArray(3000, 'a'), 100000, 2) + oggPage(QByteArray(500, 'b'), lastGranule, 3);
}

} // namespace

TEST(OggVorbis, CommentsFillTheRecord)
{
    const QByteArray file = oggFile(comments({ "title=Song", "ARTIST=Band", "Album=Disc", "comment=Nice", "DATE=2004",
        "tracknumber=7", "genre=jazz", "TITLE=Second title" }));
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    EXPECT_EQ(record.Title(), QStringLiteral("Song"));
    EXPECT_EQ(record.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(record.Album(), QStringLiteral("Disc"));
    EXPECT_EQ(record.Comment(), QStringLiteral("Nice"));
    EXPECT_EQ(record.Date(), QStringLiteral("2004"));
    EXPECT_EQ(record.Track(), 7u);
    EXPECT_EQ(record.Genre(), QStringLiteral("jazz"));
    EXPECT_EQ(record.GenreByte(), 8);
    EXPECT_TRUE(record.ValidTag());
    EXPECT_EQ(record.ChannelMode(), 2u);
    EXPECT_EQ(record.GetChannelModeText(), QStringLiteral("Stereo"));
    EXPECT_EQ(record.SampleRate(), 44100u);
    EXPECT_EQ(record.bitRate(), 128000u);
    EXPECT_EQ(record.Duration(), 10000.0);
}

TEST(OggVorbis, FieldRules)
{
    const QByteArray file = oggFile(comments({ "TRACKNUMBER=3/12", "GENRE=Not a genre" }), 6);
    ToggTagger record;
    record.SetGenreByte(17);
    record.ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    EXPECT_EQ(record.Track(), 0u);
    EXPECT_EQ(record.GenreByte(), 255);
    EXPECT_FALSE(record.ValidTag());
    EXPECT_EQ(record.ChannelMode(), 0u);
    EXPECT_EQ(record.GetChannelModeText(), QStringLiteral("Unknown"));
}

TEST(OggVorbis, CommentsAreUtf8UpToAMalformedSequence)
{
    const QByteArray file
        = oggFile(comments({ "TITLE=Caf\xC3\xA9 \xF0\x9D\x84\x9E", "ARTIST=Good\xC3(bad", "ALBUM=\xE2\x9C\x93" }));
    const TmemorySource source(file.constData(), file.size());
    const QStringList lines = ReadVorbisComments(source);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(VorbisCommentValue(lines, QLatin1StringView("title")), QStringLiteral("Café 𝄞"));
    EXPECT_EQ(VorbisCommentValue(lines, QLatin1StringView("artist")), QStringLiteral("Good"));
    EXPECT_EQ(VorbisCommentValue(lines, QLatin1StringView("album")), QStringLiteral("✓"));
    EXPECT_EQ(DecodeUtf8UpToError("a\xED\xA0\x80z", 5), QStringLiteral("a"));
    EXPECT_EQ(DecodeUtf8UpToError("ab\xE2\x9C", 4), QStringLiteral("ab"));
}

TEST(OggVorbis, CommentHeaderContinuedOnTheNextPage)
{
    const QByteArray packet = comments({ "ARTIST=" + QByteArray(300, 'x'), "TITLE=After the page break" });
    const QByteArray file = oggPage(identification(2, 48000, 96000), 0, 0) + oggPage(packet.left(200), 0, 1)
        + oggPage(packet.mid(200), 0, 2, true) + oggPage(QByteArray(400, 'c'), 96000, 3);
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    EXPECT_EQ(record.Artist(), QString(300, QLatin1Char('x')));
    EXPECT_EQ(record.Title(), QStringLiteral("After the page break"));
    EXPECT_EQ(record.Duration(), 2000.0);
}

TEST(OggVorbis, TheVorbisStreamOfAMultiplexedFile)
{
    const QByteArray other = QByteArray("fishead\0") + QByteArray(40, 'k');
    const QByteArray file = oggPage(other, 0, 0, false, 0x77, true)
        + oggPage(identification(1, 32000, 64000), 0, 0, false, 0x1234, true)
        + oggPage(QByteArray("\x03vorbis") + QByteArray(20, '\xFF'), 0, 1, false, 0x77)
        + oggPage(comments({ "ARTIST=Interleaved" }), 0, 1) + oggPage(QByteArray(100, 'd'), 64000, 2);
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    EXPECT_EQ(record.Artist(), QStringLiteral("Interleaved"));
    EXPECT_EQ(record.SampleRate(), 32000u);
    EXPECT_EQ(record.Duration(), 2000.0);
}

TEST(OggVorbis, DurationFromTheLastPage)
{
    // Two pages in the last window: the final one counts.
    const QByteArray file = oggPage(identification(2, 44100, 128000), 0, 0) + oggPage(comments({}), 0, 1)
        + oggPage(QByteArray(40, 'a'), 44100, 2) + oggPage(QByteArray(40, 'b'), 88200, 3);
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    EXPECT_EQ(record.Duration(), 2000.0);
}

TEST(OggVorbis, NoFinalPageGivesTheEstimateFromTheNominalBitRate)
{
    // The identification header, then 40,000 bytes with no page header.
    const QByteArray file = oggPage(identification(1, 44100, 64000), 0, 0) + QByteArray(40000 - 58, 'z');
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    EXPECT_EQ(record.ChannelMode(), 1u);
    EXPECT_EQ(record.Duration(), 5000.0);

    const QByteArray tiny("OggS");
    ToggTagger small;
    small.ReadTagFromSource(TmemorySource(tiny.constData(), tiny.size()));
    EXPECT_EQ(small.Duration(), 0.0);
}

TEST(OggVorbis, FilesAreOpenedReadOnlyAndMissingOnesRaise)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.ogg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(oggFile(comments({ "ARTIST=Band" })));
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ToggTagger record;
    record.LoadFromFile(path);
    EXPECT_EQ(record.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(record.Duration(), 10000.0);
    EXPECT_NE(record.ModDateHigh(), 0u);

    ToggTagger missing;
    EXPECT_THROW(missing.LoadFromFile(dir.filePath(QStringLiteral("gone.ogg"))), VorlenError);
    EXPECT_EQ(missing.Filename(), dir.filePath(QStringLiteral("gone.ogg")));
}
