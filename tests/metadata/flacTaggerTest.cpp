#include "metadata/flacTagger.h"
#include "metadata/byteSource.h"
#include "platform/vorlenError.h"
#include "tagBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace tagBytes;

namespace {

enum : quint8 { kStreamInfo = 0, kPadding = 1, kSeekTable = 3, kComment = 4, kPicture = 6 };

std::unique_ptr<TflacTagger> readFlac(const QByteArray &file)
{
    auto record = std::make_unique<TflacTagger>();
    record->ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    return record;
}

} // namespace

TEST(FlacTagger, CommentsAndStreamInfoFillTheRecord)
{
    const QByteArray head = QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(44100, 2, 16, 441000))
        + flacBlock(kSeekTable, QByteArray(18, '\x01'))
        + flacBlock(kComment,
            commentList({ "title=Song", "ARTIST=Band", "Album=Disc", "comment=Nice", "DATE=2004", "tracknumber=7",
                "genre=jazz", "TITLE=Second title" }))
        + flacBlock(kPadding, QByteArray(100, '\0'), true);
    // 10 seconds of 50,000 bytes of frames: 40,000 bits per second.
    const auto record = readFlac(head + QByteArray(50000, '\xF8'));
    EXPECT_EQ(record->Title(), QStringLiteral("Song"));
    EXPECT_EQ(record->Artist(), QStringLiteral("Band"));
    EXPECT_EQ(record->Album(), QStringLiteral("Disc"));
    EXPECT_EQ(record->Comment(), QStringLiteral("Nice"));
    EXPECT_EQ(record->Date(), QStringLiteral("2004"));
    EXPECT_EQ(record->Track(), 7u);
    EXPECT_EQ(record->Genre(), QStringLiteral("jazz"));
    EXPECT_EQ(record->GenreByte(), 8);
    EXPECT_TRUE(record->ValidTag());
    EXPECT_EQ(record->SampleRate(), 44100u);
    EXPECT_EQ(record->ChannelMode(), 2u);
    EXPECT_EQ(record->GetChannelModeText(), QStringLiteral("Stereo"));
    EXPECT_EQ(record->Duration(), 10000.0);
    EXPECT_EQ(record->bitRate(), 40000u);
    EXPECT_STREQ(record->ClassName(), "TflacTagger");
}

TEST(FlacTagger, EveryBitOfTheStreamInfoFields)
{
    // The largest values the fields hold: 655,350 Hz (20 bits), 8 channels,
    // 32 bits per sample, 2^36 - 1 samples.
    const quint64 samples = 0xFFFFFFFFFull;
    const QByteArray file = QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(655350, 8, 32, samples), true);
    const auto record = readFlac(file);
    EXPECT_EQ(record->SampleRate(), 655350u);
    EXPECT_EQ(record->ChannelMode(), 0u) << "more than two channels";
    EXPECT_EQ(record->GetChannelModeText(), QStringLiteral("Unknown"));
    EXPECT_DOUBLE_EQ(record->Duration(), double(samples) / 655350 * 1000);
    EXPECT_EQ(record->bitRate(), 0u) << "no audio bytes";

    const auto mono = readFlac(
        QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(8000, 1, 8, 4000), true) + QByteArray(1000, 'x'));
    EXPECT_EQ(mono->ChannelMode(), 1u);
    EXPECT_EQ(mono->GetChannelModeText(), QStringLiteral("Mono"));
    EXPECT_EQ(mono->Duration(), 500.0);
    EXPECT_EQ(mono->bitRate(), 16000u);
}

TEST(FlacTagger, BlocksBehindAnId3v2TagAndALargePicture)
{
    const QByteArray id3 = tag(3, frame("TIT2", QByteArray("\0Not this one", 13)) + QByteArray(64, '\0'));
    const QByteArray picture(100000, 'p');
    const QByteArray file = id3 + "fLaC" + flacBlock(kStreamInfo, flacStreamInfo(48000, 2, 24, 96000))
        + flacBlock(kPicture, picture)
        + flacBlock(kComment, commentList({ "ARTIST=Behind", "TITLE=The picture", "DESCRIPTION=Said elsewhere" }), true)
        + QByteArray(24000, 'a');
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("behind.FLAC"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();

    // From the file: the comments lie far beyond the first bytes read.
    std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(path);
    ASSERT_TRUE(dynamic_cast<TflacTagger *>(record.get()));
    record->LoadFromFile(path);
    EXPECT_EQ(record->Artist(), QStringLiteral("Behind"));
    EXPECT_EQ(record->Title(), QStringLiteral("The picture"));
    EXPECT_EQ(record->Comment(), QStringLiteral("Said elsewhere")) << "no COMMENT: the description stands in";
    EXPECT_EQ(record->Duration(), 2000.0);
    EXPECT_EQ(record->bitRate(), 96000u);
    EXPECT_NE(record->ModDateHigh(), 0u);

    TflacTagger missing;
    EXPECT_THROW(missing.LoadFromFile(dir.filePath(QStringLiteral("gone.flac"))), VorlenError);
}

TEST(FlacTagger, DamagedAndForeignFiles)
{
    // Not FLAC at all: the record is cleared.
    TflacTagger foreign;
    foreign.SetGenreByte(17);
    foreign.SetTitle(QStringLiteral("old"));
    foreign.SetDuration(5);
    const QByteArray wave = QByteArray("RIFF") + le32(1000) + "WAVEfmt " + QByteArray(200, '\0');
    foreign.ReadTagFromSource(TmemorySource(wave.constData(), wave.size()));
    EXPECT_EQ(foreign.Title(), QString());
    EXPECT_EQ(foreign.GenreByte(), 255);
    EXPECT_FALSE(foreign.ValidTag());
    EXPECT_EQ(foreign.Duration(), 0.0);
    EXPECT_EQ(foreign.SampleRate(), 0u);

    // A comment block that claims more than the file holds is not read, and
    // the start of the audio stays unknown; what came before still counts.
    const QByteArray runaway = QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(44100, 2, 16, 44100))
        + char(kComment | 0x80) + be32(0x100000).mid(1) + commentList({ "ARTIST=Cut" });
    const auto cut = readFlac(runaway);
    EXPECT_EQ(cut->Artist(), QString());
    EXPECT_EQ(cut->Duration(), 1000.0);
    EXPECT_EQ(cut->bitRate(), 0u);

    // A comment list cut short keeps the entries read before the damage.
    const QByteArray entries = commentList({ "ARTIST=Kept", "TITLE=Lost" });
    const auto shortList = readFlac(QByteArray("fLaC")
        + flacBlock(kStreamInfo, flacStreamInfo(44100, 2, 16, 44100)) + flacBlock(kComment, entries.chopped(3), true));
    EXPECT_EQ(shortList->Artist(), QStringLiteral("Kept"));
    EXPECT_EQ(shortList->Title(), QString());

    // An encoder that did not know the length: no duration, no bit rate.
    const auto unknown = readFlac(
        QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(44100, 2, 16, 0), true) + QByteArray(5000, 'a'));
    EXPECT_EQ(unknown->SampleRate(), 44100u);
    EXPECT_EQ(unknown->Duration(), 0.0);
    EXPECT_EQ(unknown->bitRate(), 0u);

    // Thousands of empty blocks end the walk instead of the file's end.
    QByteArray many = QByteArray("fLaC") + flacBlock(kStreamInfo, flacStreamInfo(44100, 2, 16, 44100));
    for (int i = 0; i < 5000; ++i)
        many += flacBlock(kPadding, QByteArray());
    many += flacBlock(kComment, commentList({ "ARTIST=Too far" }), true);
    EXPECT_EQ(readFlac(many)->Artist(), QString());
}
