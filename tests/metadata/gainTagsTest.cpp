// The loudness files state in their tags: ReplayGain and R 128 gains in every
// container the jukebox plays, read from real files made by ffmpeg and from
// tag layouts built byte by byte, damaged values left out one by one.
#include "audioFixtures.h"
#include "tagBytes.h"

#include "metadata/apeTag.h"
#include "metadata/byteSource.h"
#include "metadata/gainTags.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tagBytes;

namespace {

struct GainText {
    const char *text;
    std::optional<double> db;
};

class GainTextTest : public ::testing::TestWithParam<GainText> { };

TEST_P(GainTextTest, ReadsGainsAndRefusesDamagedOnes)
{
    const std::optional<double> db = ParseGainText(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(db.has_value(), GetParam().db.has_value());
    if (db) {
        EXPECT_DOUBLE_EQ(*db, *GetParam().db);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, GainTextTest,
    ::testing::Values(GainText { "-7.89 dB", -7.89 }, GainText { "+3.20 dB", 3.2 }, GainText { "2 db", 2.0 },
        GainText { " -0.5 DB ", -0.5 }, GainText { ".25", 0.25 }, GainText { "-40 dB", -40.0 },
        GainText { "+inf dB", std::nullopt }, GainText { "nan dB", std::nullopt }, GainText { "12,3 dB", std::nullopt },
        GainText { "500 dB", std::nullopt }, GainText { "-40.5 dB", std::nullopt }, GainText { "1e2 dB", std::nullopt },
        GainText { "", std::nullopt }, GainText { "dB", std::nullopt }, GainText { "-7.89 dB louder", std::nullopt },
        GainText { "--3 dB", std::nullopt }));

TEST(PeakText, OnlyPlainPositiveNumbersUpToTen)
{
    EXPECT_DOUBLE_EQ(*ParsePeakText(QStringLiteral("0.988831")), 0.988831);
    EXPECT_DOUBLE_EQ(*ParsePeakText(QStringLiteral(" 1.2 ")), 1.2);
    for (const char *damaged : { "0", "-0.5", "11", "inf", "0,9", "0.9 dB", "" })
        EXPECT_FALSE(ParsePeakText(QString::fromLatin1(damaged))) << damaged;
}

// Real files, one per container, tagged by ffmpeg with the keys a tagger
// writes for that container.
struct TaggedFile {
    const char *extension;
    // Track gain, album gain (as the tag states them), peak.
    const char *trackKey;
    const char *trackValue;
    const char *albumKey;
    const char *albumValue;
    double trackLoudness;
    double albumLoudness;
};

class TaggedFileTest : public ::testing::TestWithParam<TaggedFile> {
protected:
    QTemporaryDir dir;
};

TEST_P(TaggedFileTest, GainsBecomeLoudnessAndTheAlbumArtistIsRead)
{
    const TaggedFile &c = GetParam();
    const QString path = dir.filePath(QStringLiteral("tagged.") + QLatin1String(c.extension));
    ToneSpec spec;
    spec.seconds = 0.5;
    spec.metadata = { { QLatin1String(c.trackKey), QLatin1String(c.trackValue) },
        { QLatin1String(c.albumKey), QLatin1String(c.albumValue) },
        { QStringLiteral("REPLAYGAIN_TRACK_PEAK"), QStringLiteral("0.812") },
        { QStringLiteral("album_artist"), QStringLiteral("Various Artists") } };
    QString error;
    ASSERT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
    const TgainTags tags = ReadGainTags(path);
    ASSERT_TRUE(tags.trackLoudness);
    EXPECT_NEAR(*tags.trackLoudness, c.trackLoudness, 0.005);
    ASSERT_TRUE(tags.albumLoudness);
    EXPECT_NEAR(*tags.albumLoudness, c.albumLoudness, 0.005);
    ASSERT_TRUE(tags.trackPeak);
    EXPECT_DOUBLE_EQ(*tags.trackPeak, 0.812);
    EXPECT_FALSE(tags.albumPeak);
    EXPECT_EQ(tags.albumArtist, QStringLiteral("Various Artists"));
}

INSTANTIATE_TEST_SUITE_P(Containers, TaggedFileTest,
    ::testing::Values(
        TaggedFile { "mp3", "REPLAYGAIN_TRACK_GAIN", "-7.89 dB", "replaygain_album_gain", "+1.50 dB", -10.11, -19.5 },
        TaggedFile { "ogg", "REPLAYGAIN_TRACK_GAIN", "-7.89 dB", "REPLAYGAIN_ALBUM_GAIN", "+1.50 dB", -10.11, -19.5 },
        TaggedFile { "flac", "REPLAYGAIN_TRACK_GAIN", "-7.89 dB", "REPLAYGAIN_ALBUM_GAIN", "+1.50 dB", -10.11, -19.5 },
        TaggedFile { "wma", "REPLAYGAIN_TRACK_GAIN", "-7.89 dB", "REPLAYGAIN_ALBUM_GAIN", "+1.50 dB", -10.11, -19.5 },
        // Opus: Q7.8 dB against -23 LUFS (-1280 is -5 dB, 384 is +1.5 dB).
        TaggedFile { "opus", "R128_TRACK_GAIN", "-1280", "R128_ALBUM_GAIN", "384", -18.0, -24.5 }),
    [](const auto &info) { return std::string(info.param.extension); });

TEST(GainTagsOfLines, DamagedValuesAreLeftOutOneByOne)
{
    const TgainTags tags = GainTagsOfLines(
        { QStringLiteral("REPLAYGAIN_TRACK_GAIN=+inf dB"), QStringLiteral("REPLAYGAIN_TRACK_PEAK=0.5"),
            QStringLiteral("REPLAYGAIN_ALBUM_GAIN=12,3 dB"), QStringLiteral("REPLAYGAIN_ALBUM_PEAK=1.5") });
    EXPECT_FALSE(tags.trackLoudness);
    EXPECT_FALSE(tags.albumLoudness);
    EXPECT_DOUBLE_EQ(*tags.trackPeak, 0.5);
    EXPECT_DOUBLE_EQ(*tags.albumPeak, 1.5);
    EXPECT_FALSE(GainTagsOfLines({ QStringLiteral("R128_TRACK_GAIN=-1280.5") }).trackLoudness);
    EXPECT_FALSE(GainTagsOfLines({ QStringLiteral("R128_TRACK_GAIN=32767") }).trackLoudness);
    // R 128 speaks for Opus before a ReplayGain comment does.
    const TgainTags both
        = GainTagsOfLines({ QStringLiteral("REPLAYGAIN_TRACK_GAIN=-3 dB"), QStringLiteral("R128_TRACK_GAIN=512") });
    EXPECT_DOUBLE_EQ(*both.trackLoudness, -25.0);
}

// ID3v2 built byte by byte: TXXX in any case and encoding, RVA2 for what
// TXXX leaves out.
QByteArray txxx(const QByteArray &description, const QByteArray &value, bool v24 = false)
{
    return frame("TXXX", QByteArray(1, '\0') + description + QByteArray(1, '\0') + value, v24);
}

// RVA2: identification, then the master volume (type 1), its adjustment in
// 1/512 dB and a 16-bit peak.
QByteArray rva2(const QByteArray &identification, qint16 adjustment, quint16 peak)
{
    QByteArray content = identification + QByteArray(1, '\0');
    content += char(1);
    content += char(quint16(adjustment) >> 8);
    content += char(quint16(adjustment) & 0xFF);
    content += char(16);
    content += char(peak >> 8);
    content += char(peak & 0xFF);
    return frame("RVA2", content, true);
}

TgainTags readId3(const QByteArray &tagBytes)
{
    const QByteArray file = tagBytes + mpegFrames(4);
    return ReadId3GainTags(TmemorySource(file.constData(), file.size()));
}

TEST(Id3GainTags, TxxxInAnyCaseAndUtf16)
{
    QByteArray wide = QByteArray(1, '\x01') + "\xFF\xFE" + utf16le(QStringLiteral("Replaygain_Album_Gain"))
        + QByteArray(2, '\0') + "\xFF\xFE" + utf16le(QStringLiteral("-2.5 dB"));
    const TgainTags tags = readId3(tag(3,
        txxx("replaygain_track_gain", "-6.00 dB") + frame("TXXX", wide)
            + frame("TPE2", QByteArray(1, '\0') + "The Band")));
    EXPECT_DOUBLE_EQ(*tags.trackLoudness, -12.0);
    EXPECT_DOUBLE_EQ(*tags.albumLoudness, -15.5);
    EXPECT_EQ(tags.albumArtist, QStringLiteral("The Band"));
}

TEST(Id3GainTags, Rva2FillsWhatTxxxLeavesOut)
{
    // -3 dB for the track (-1536/512), +2 dB for the album; peak half scale.
    const TgainTags tags = readId3(tag(
        4, rva2("track", -1536, 0x4000) + rva2("album", 1024, 0x8000) + txxx("REPLAYGAIN_TRACK_GAIN", "-1 dB", true)));
    EXPECT_DOUBLE_EQ(*tags.trackLoudness, -17.0) << "TXXX speaks before RVA2";
    EXPECT_DOUBLE_EQ(*tags.albumLoudness, -20.0);
    EXPECT_DOUBLE_EQ(*tags.trackPeak, 0.5);
    EXPECT_DOUBLE_EQ(*tags.albumPeak, 1.0);
}

TEST(Id3GainTags, DamagedFramesGiveNothingAndNeverReadPastTheTag)
{
    // An RVA2 whose peak runs past its frame, a TXXX without the end of its
    // description, a frame larger than the tag.
    QByteArray cut = rva2("track", -1536, 0x4000);
    cut.chop(1);
    cut[7] = char(cut.size() - 10);
    const TgainTags tags = readId3(tag(
        3, cut + frame("TXXX", QByteArray(1, '\0') + "REPLAYGAIN_TRACK_GAIN") + frame("TXXX", QByteArray(5000, 'x'))));
    EXPECT_FALSE(tags.HasLoudness());
    EXPECT_FALSE(tags.trackPeak);
}

// APEv2 as MP3 gain tools append it: items, then the footer; in front of an
// ID3v1 block when the file has one.
QByteArray apeItem(const QByteArray &key, const QByteArray &value, quint32 flags = 0)
{
    return le32(quint32(value.size())) + le32(flags) + key + QByteArray(1, '\0') + value;
}

QByteArray apeTag(const QList<QByteArray> &items, quint32 version = 2000)
{
    QByteArray body;
    for (const QByteArray &item : items)
        body += item;
    return body + "APETAGEX" + le32(version) + le32(quint32(body.size() + 32)) + le32(quint32(items.size())) + le32(0)
        + QByteArray(8, '\0');
}

struct ApePlacement {
    const char *name;
    bool id3v1;
};

class ApeTagTest : public ::testing::TestWithParam<ApePlacement> {
protected:
    QByteArray file(const QByteArray &ape) const
    {
        QByteArray bytes = mpegFrames(6) + ape;
        if (GetParam().id3v1)
            bytes += "TAG" + QByteArray(125, ' ');
        return bytes;
    }
};

// Binary items, and an item whose key holds "=" (it could not be told from
// its value), are passed by.
TEST_P(ApeTagTest, ReadsTheTextItemsAndPassesTheBinaryOnesBy)
{
    const QByteArray bytes = file(apeTag(
        { apeItem("Cover Art (Front)", QByteArray(3000, '\xFF'), 2), apeItem("A=B", "REPLAYGAIN_TRACK_GAIN=+9 dB"),
            apeItem("REPLAYGAIN_TRACK_GAIN", "-4.20 dB"),
            apeItem("replaygain_track_peak", "0.91"), apeItem("Album Artist", "Someone") }));
    const TmemorySource source(bytes.constData(), bytes.size());
    EXPECT_EQ(ReadApeTextItems(source),
        QStringList({ QStringLiteral("REPLAYGAIN_TRACK_GAIN=-4.20 dB"), QStringLiteral("replaygain_track_peak=0.91"),
            QStringLiteral("Album Artist=Someone") }));
    const TgainTags tags = ReadApeGainTags(source);
    EXPECT_DOUBLE_EQ(*tags.trackLoudness, -13.8);
    EXPECT_DOUBLE_EQ(*tags.trackPeak, 0.91);
    EXPECT_EQ(tags.albumArtist, QStringLiteral("Someone"));
}

TEST_P(ApeTagTest, ADamagedTagKeepsWhatCameBeforeTheDamage)
{
    QByteArray items = apeItem("REPLAYGAIN_TRACK_GAIN", "-4.20 dB") + apeItem("REPLAYGAIN_ALBUM_GAIN", "-1 dB");
    // The second item claims more than the tag holds.
    const qsizetype second = apeItem("REPLAYGAIN_TRACK_GAIN", "-4.20 dB").size();
    items.replace(second, 4, le32(1 << 30));
    const QByteArray bytes = file(
        items + "APETAGEX" + le32(2000) + le32(quint32(items.size() + 32)) + le32(2) + le32(0) + QByteArray(8, '\0'));
    const TgainTags tags = ReadApeGainTags(TmemorySource(bytes.constData(), bytes.size()));
    EXPECT_DOUBLE_EQ(*tags.trackLoudness, -13.8);
    EXPECT_FALSE(tags.albumLoudness);

    // A tag that claims to start before the file does, and one of an unknown
    // version, give nothing.
    for (const QByteArray &footer :
        { QByteArray("APETAGEX") + le32(2000) + le32(1 << 30) + le32(1) + le32(0) + QByteArray(8, '\0'),
            QByteArray("APETAGEX") + le32(3000) + le32(32) + le32(0) + le32(0) + QByteArray(8, '\0') }) {
        const QByteArray broken = file(footer);
        EXPECT_TRUE(ReadApeTextItems(TmemorySource(broken.constData(), broken.size())).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Placements, ApeTagTest,
    ::testing::Values(ApePlacement { "AtTheEnd", false }, ApePlacement { "BeforeId3v1", true }),
    [](const auto &info) { return std::string(info.param.name); });

// An MP3 file made by lame and ffmpeg, then given an APEv2 tag as MP3 gain
// tools give it: the ID3v2 tag's own values come first, the APEv2 tag fills in.
TEST(GainTagsFile, AnMp3FileReadsItsId3v2TagAndItsApeTag)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("both.mp3"));
    ToneSpec spec;
    spec.seconds = 0.5;
    spec.id3v1 = true;
    spec.metadata = { { QStringLiteral("title"), QStringLiteral("Both") },
        { QStringLiteral("REPLAYGAIN_TRACK_GAIN"), QStringLiteral("-5.00 dB") } };
    QString error;
    ASSERT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const QByteArray id3v1 = bytes.right(128);
    ASSERT_TRUE(id3v1.startsWith("TAG"));
    bytes.chop(128);
    bytes += apeTag({ apeItem("REPLAYGAIN_TRACK_GAIN", "-3.00 dB"), apeItem("REPLAYGAIN_ALBUM_GAIN", "-2.00 dB") })
        + id3v1;
    ASSERT_TRUE(file.seek(0));
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    const TgainTags tags = ReadGainTags(path);
    EXPECT_DOUBLE_EQ(*tags.trackLoudness, -13.0);
    EXPECT_DOUBLE_EQ(*tags.albumLoudness, -16.0);
    EXPECT_FALSE(ReadGainTags(dir.filePath(QStringLiteral("missing.mp3"))).HasLoudness());
}

} // namespace
