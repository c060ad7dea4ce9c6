#include "metadata/opusTagger.h"
#include "metadata/byteSource.h"
#include "platform/vorlenError.h"
#include "tagBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace tagBytes;

namespace {

// OpusHead: version 1, channels, pre-skip, input rate, gain 0, the mapping
// family and, for family 1, its table.
QByteArray opusHead(quint8 channels, quint16 preSkip, quint8 version = 1, quint8 family = 0)
{
    QByteArray head = QByteArray("OpusHead") + char(version) + char(channels) + le16(preSkip) + le32(44100) + le16(0)
        + char(family);
    if (family != 0) {
        head += char(channels) + char(0);
        for (int i = 0; i < channels; ++i)
            head += char(i);
    }
    return head;
}

QByteArray opusTags(const QList<QByteArray> &entries)
{
    return QByteArray("OpusTags") + commentList(entries, "libopus 1.3");
}

std::unique_ptr<TopusTagger> readOpus(const QByteArray &file)
{
    auto record = std::make_unique<TopusTagger>();
    record->ReadTagFromSource(TmemorySource(file.constData(), file.size()));
    return record;
}

} // namespace

TEST(OpusTagger, TagsSpanningPagesAndTheLengthFromTheLastGranule)
{
    const QByteArray tags = opusTags({ "ARTIST=" + QByteArray(400, 'a'), "title=Nocturne", "ALBUM=Night",
        "TRACKNUMBER=4", "GENRE=Classical", "DATE=1990" });
    const QByteArray headers = oggPage(opusHead(2, 312), 0, 0, false, 0x1234, true) + oggPage(tags.left(300), 0, 1)
        + oggPage(tags.mid(300), 0, 2, true);
    // Three seconds and the pre-skip; 6,000 bytes of audio pages in all.
    const QByteArray audio
        = oggPage(QByteArray(2961, 'x'), 48000, 3) + oggPage(QByteArray(2961, 'y'), 3 * 48000 + 312, 4);
    ASSERT_EQ(audio.size(), 6000);
    const auto record = readOpus(headers + audio);
    EXPECT_EQ(record->Artist(), QString(400, QLatin1Char('a')));
    EXPECT_EQ(record->Title(), QStringLiteral("Nocturne"));
    EXPECT_EQ(record->Album(), QStringLiteral("Night"));
    EXPECT_EQ(record->Track(), 4u);
    EXPECT_EQ(record->Date(), QStringLiteral("1990"));
    EXPECT_EQ(record->GenreByte(), 32);
    EXPECT_TRUE(record->ValidTag());
    EXPECT_EQ(record->SampleRate(), 48000u);
    EXPECT_EQ(record->ChannelMode(), 2u);
    EXPECT_EQ(record->Duration(), 3000.0);
    EXPECT_EQ(record->bitRate(), 16000u);
    EXPECT_STREQ(record->ClassName(), "TopusTagger");
}

TEST(OpusTagger, AMappingTableOnTheFirstPageAndAnotherStreamAtTheEnd)
{
    // Six channels (family 1) with a mapping table behind the head's fields;
    // the last page in the file belongs to another stream and counts nothing.
    const QByteArray file = oggPage(opusHead(6, 120, 1, 1), 0, 0, false, 0x1234, true)
        + oggPage(opusTags({ "ARTIST=Surround" }), 0, 1) + oggPage(QByteArray(800, 'x'), 96120, 2)
        + oggPage(QByteArray(100, 'v'), 999999, 0, false, 0x5555);
    const auto record = readOpus(file);
    EXPECT_EQ(record->Artist(), QStringLiteral("Surround"));
    EXPECT_EQ(record->ChannelMode(), 0u);
    EXPECT_EQ(record->GetChannelModeText(), QStringLiteral("Unknown"));
    EXPECT_EQ(record->Duration(), 2000.0);
}

TEST(OpusTagger, WhatIsNoOpusGivesAClearedRecord)
{
    // A Vorbis stream, a head of a later major version, and plain bytes.
    const QByteArray vorbis = oggPage(QByteArray("\x01vorbis") + QByteArray(23, '\x02'), 0, 0, false, 0x1234, true)
        + oggPage(QByteArray("\x03vorbis") + commentList({ "ARTIST=Vorbis" }), 0, 1)
        + oggPage(QByteArray(100, 'x'), 44100, 2);
    const QByteArray future = oggPage(opusHead(2, 312, 0x10), 0, 0, false, 0x1234, true)
        + oggPage(opusTags({ "ARTIST=Future" }), 0, 1) + oggPage(QByteArray(100, 'x'), 48312, 2);
    for (const QByteArray &file : { vorbis, future, QByteArray(5000, 'z') }) {
        const auto record = readOpus(file);
        EXPECT_EQ(record->Artist(), QString());
        EXPECT_FALSE(record->ValidTag());
        EXPECT_EQ(record->GenreByte(), 255);
        EXPECT_EQ(record->SampleRate(), 0u);
        EXPECT_EQ(record->Duration(), 0.0);
        EXPECT_EQ(record->bitRate(), 0u);
    }

    // Tags but a last granule inside the pre-skip: no length, no bit rate.
    const auto early = readOpus(oggPage(opusHead(1, 312), 0, 0, false, 0x1234, true)
        + oggPage(opusTags({ "ARTIST=Early" }), 0, 1) + oggPage(QByteArray(100, 'x'), 200, 2));
    EXPECT_EQ(early->Artist(), QStringLiteral("Early"));
    EXPECT_EQ(early->ChannelMode(), 1u);
    EXPECT_EQ(early->Duration(), 0.0);
    EXPECT_EQ(early->bitRate(), 0u);
}

TEST(OpusTagger, ReadFromTheFileAndMissingFilesRaise)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.Opus"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // One long audio page, as a high bit rate makes them: its header lies
    // before the bytes usually searched at the end.
    file.write(oggPage(opusHead(2, 312), 0, 0, false, 0x1234, true) + oggPage(opusTags({ "ARTIST=On disk" }), 0, 1)
        + oggPage(QByteArray(20000, 'x'), 48312, 2));
    file.close();
    std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(path);
    ASSERT_TRUE(dynamic_cast<TopusTagger *>(record.get()));
    record->LoadFromFile(path);
    EXPECT_EQ(record->Artist(), QStringLiteral("On disk"));
    EXPECT_EQ(record->Duration(), 1000.0);
    EXPECT_NE(record->ModDateHigh(), 0u);

    TopusTagger missing;
    EXPECT_THROW(missing.LoadFromFile(dir.filePath(QStringLiteral("gone.opus"))), VorlenError);
}
