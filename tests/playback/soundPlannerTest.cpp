// How the planner decides a track's sound: which loudness it matches (the
// tags, the measurements, the album's, the mean), when tracks form an album
// run, when the silence is skipped; and, played through the player, that a
// matched track comes out at the target loudness.
#include "playbackFixtures.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"
#include "playback/loudnessScan.h"
#include "playback/soundPlanner.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

double Db(float factor)
{
    return 20 * std::log10(double(factor));
}

struct AlbumCase {
    const char *name;
    const char *albumBefore;
    const char *artistBefore;
    const char *folderBefore;
    quint32 trackBefore;
    const char *albumAfter;
    const char *artistAfter;
    const char *folderAfter;
    quint32 trackAfter;
    const char *albumArtist;
    bool follows;
};

class FollowsInAlbumTest : public ::testing::TestWithParam<AlbumCase> { };

TEST_P(FollowsInAlbumTest, TellsTheNextTrackOfAnAlbum)
{
    const AlbumCase &c = GetParam();
    const auto record = [](const char *album, const char *artist, const char *folder, quint32 track) {
        auto r = std::make_unique<TcustomTagger>();
        r->SetAlbum(QString::fromUtf8(album));
        r->SetArtist(QString::fromUtf8(artist));
        r->SetFilename(QString::fromUtf8(folder) + QStringLiteral("/track.mp3"));
        r->SetTrack(track);
        return r;
    };
    const auto before = record(c.albumBefore, c.artistBefore, c.folderBefore, c.trackBefore);
    const auto after = record(c.albumAfter, c.artistAfter, c.folderAfter, c.trackAfter);
    const QString albumArtist = QString::fromUtf8(c.albumArtist);
    EXPECT_EQ(TsoundPlanner::FollowsInAlbum(*before, albumArtist, *after, albumArtist), c.follows);
}

INSTANTIATE_TEST_SUITE_P(Records, FollowsInAlbumTest,
    ::testing::Values(AlbumCase { "NextTrack", "Live", "Band", "/a", 3, "Live", "Band", "/b", 4, "", true },
        AlbumCase { "AnyCase", "Live", "Band", "/a", 3, "LIVE", "band", "/b", 4, "", true },
        AlbumCase { "Compilation", "Hits", "One", "/a", 1, "Hits", "Two", "/b", 2, "Various", true },
        AlbumCase { "SameFolder", "Hits", "One", "/a", 1, "Hits", "Two", "/a", 2, "", true },
        AlbumCase { "SkipsATrack", "Live", "Band", "/a", 3, "Live", "Band", "/a", 5, "", false },
        AlbumCase { "Backwards", "Live", "Band", "/a", 4, "Live", "Band", "/a", 3, "", false },
        AlbumCase { "NoNumbers", "Live", "Band", "/a", 0, "Live", "Band", "/a", 1, "", false },
        AlbumCase { "OtherAlbum", "Live", "Band", "/a", 3, "Studio", "Band", "/a", 4, "", false },
        AlbumCase { "SameNameOtherArtist", "Hits", "One", "/a", 1, "Hits", "Two", "/b", 2, "", false },
        AlbumCase { "NoAlbum", "", "Band", "/a", 1, "", "Band", "/a", 2, "", false }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GainFactor, PeaksAndNearSilenceHoldTheGainBack)
{
    EXPECT_FLOAT_EQ(TsoundPlanner::GainFactor(-18, std::nullopt, -18, 0), 1.0f);
    EXPECT_NEAR(Db(TsoundPlanner::GainFactor(-24, std::nullopt, -18, 0)), 6.0, 1e-4);
    EXPECT_NEAR(Db(TsoundPlanner::GainFactor(-18, std::nullopt, -18, -3)), -3.0, 1e-4);
    // Raised by 10 dB, a peak of 0.9 would clip: it stops at full scale.
    EXPECT_FLOAT_EQ(TsoundPlanner::GainFactor(-28, 0.9, -18, 0), float(1 / 0.9));
    // A peak leaves a lowered track alone.
    EXPECT_NEAR(Db(TsoundPlanner::GainFactor(-8, 0.99, -18, 0)), -10.0, 1e-4);
    EXPECT_NEAR(Db(TsoundPlanner::GainFactor(-90, std::nullopt, -18, 0)), TsoundPlanner::kMaxGainDb, 1e-4);
}

// Tracks on disc, tagged as the test asks, and a store of measurements.
class PlannerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }

    void SetUp() override
    {
        planner = std::make_unique<TsoundPlanner>(store);
        planner->Settings().GainMode = gmTrack;
        planner->AlbumTracks = [this](const TcustomTagger &track) {
            std::vector<const TcustomTagger *> album;
            for (const TtaggerRef &r : records)
                if (r->Album() == track.Album())
                    album.push_back(r.get());
            return album;
        };
        planner->UpcomingTrack = [this] { return upcoming; };
        planner->WantMeasured = [this](const QStringList &files) { wanted << files; };
    }

    TcustomTagger *Track(
        const QString &name, const QMap<QString, QString> &tags, const QString &album = QString(), quint32 number = 0)
    {
        ToneSpec spec;
        spec.seconds = 0.5;
        spec.metadata = tags;
        records.emplace_back(new TcustomTagger);
        records.back()->SetFilename(files->Tone(name + QStringLiteral(".mp3"), spec));
        records.back()->SetAlbum(album);
        records.back()->SetArtist(QStringLiteral("Band"));
        records.back()->SetTrack(number);
        return records.back().get();
    }

    void Measured(const TcustomTagger *track, double loudness, double peak = 0.5, qint64 length = 500)
    {
        const TfileStamp stamp = FileStampOf(track->Filename());
        TloudnessEntry entry;
        entry.size = stamp.size;
        entry.modifiedNs = stamp.modifiedNs;
        entry.measured = true;
        entry.loudness = loudness;
        entry.truePeak = peak;
        entry.lengthMs = length;
        entry.musicStartMs = 40;
        entry.musicEndMs = 450;
        entry.endingMs = 120;
        store.Put(track->Filename(), entry);
    }

    static QMap<QString, QString> Gains(const char *track, const char *album = nullptr)
    {
        QMap<QString, QString> tags { { QStringLiteral("REPLAYGAIN_TRACK_GAIN"), QLatin1String(track) } };
        if (album)
            tags.insert(QStringLiteral("REPLAYGAIN_ALBUM_GAIN"), QLatin1String(album));
        return tags;
    }

    static inline PlaybackFiles *files = nullptr;
    TloudnessStore store;
    std::unique_ptr<TsoundPlanner> planner;
    std::vector<TtaggerRef> records;
    const TcustomTagger *upcoming = nullptr;
    QStringList wanted;
};

TEST_F(PlannerTest, OffLeavesEveryTrackAsItIs)
{
    const TcustomTagger *tagged = Track(QStringLiteral("off"), Gains("-9 dB"));
    Measured(tagged, -3);
    planner->Settings().GainMode = gmOff;
    planner->Settings().FadesMeetMusic = false;
    EXPECT_EQ(planner->Plan(*tagged, nullptr), TtrackPlan());
    EXPECT_TRUE(wanted.isEmpty());
}

TEST_F(PlannerTest, TagsComeBeforeMeasurementsAndTheMeanStandsInForNeither)
{
    const TcustomTagger *tagged = Track(QStringLiteral("tagged"), Gains("-4 dB"));
    const TcustomTagger *measured = Track(QStringLiteral("measured"), {});
    const TcustomTagger *unknown = Track(QStringLiteral("unknown"), {});
    Measured(tagged, -30);
    Measured(measured, -26, 0.2);
    // Tagged -4 dB: -14 LUFS, brought to -18.
    EXPECT_NEAR(Db(planner->Plan(*tagged, nullptr).gain), -4.0, 1e-3);
    EXPECT_NEAR(Db(planner->Plan(*measured, nullptr).gain), 8.0, 1e-3);
    // The mean of what was measured (-28 LUFS).
    EXPECT_NEAR(Db(planner->Plan(*unknown, nullptr).gain), 10.0, 1e-3);
    EXPECT_TRUE(wanted.contains(unknown->Filename()));
    planner->Settings().TargetLoudness = -23;
    planner->Settings().PreAmp = 2;
    EXPECT_NEAR(Db(planner->Plan(*measured, nullptr).gain), 5.0, 1e-3);
}

TEST_F(PlannerTest, TheAlbumsLoudnessComesFromItsTagOrItsTracks)
{
    const TcustomTagger *a1 = Track(QStringLiteral("a1"), Gains("-2 dB", "-6 dB"), QStringLiteral("Tagged"), 1);
    const TcustomTagger *b1 = Track(QStringLiteral("b1"), {}, QStringLiteral("Measured"), 1);
    const TcustomTagger *b2 = Track(QStringLiteral("b2"), {}, QStringLiteral("Measured"), 2);
    const TcustomTagger *b3 = Track(QStringLiteral("b3"), {}, QStringLiteral("Measured"), 3);
    // Two tracks at -20 and -10 LUFS of equal length: the album is their
    // energy's mean, 10 log10((0.01 + 0.1) / 2) = -12.6 LUFS; the third is
    // not measured yet.
    Measured(b1, -20, 0.4, 1000);
    Measured(b2, -10, 0.7, 1000);
    planner->Settings().GainMode = gmAlbum;
    EXPECT_NEAR(Db(planner->Plan(*a1, nullptr).gain), -6.0, 1e-3);
    EXPECT_NEAR(Db(planner->Plan(*b1, nullptr).gain), -18 - 10 * std::log10(0.055), 1e-3);
    EXPECT_TRUE(wanted.contains(b3->Filename())) << "the album's other tracks are measured next";
    // The album's peak holds the album gain: raised by 10 dB, 0.7 would clip.
    planner->Settings().TargetLoudness = -10;
    planner->Settings().PreAmp = 12;
    EXPECT_FLOAT_EQ(planner->Plan(*b1, nullptr).gain, float(1 / 0.7));
}

TEST_F(PlannerTest, AutoTakesTheAlbumsGainOnlyWhileTheAlbumPlaysInOrder)
{
    const TcustomTagger *t1 = Track(QStringLiteral("t1"), Gains("-3 dB", "-7 dB"), QStringLiteral("Run"), 1);
    const TcustomTagger *t2 = Track(QStringLiteral("t2"), Gains("-1 dB", "-7 dB"), QStringLiteral("Run"), 2);
    const TcustomTagger *other = Track(QStringLiteral("other"), Gains("-5 dB"), QStringLiteral("Else"), 1);
    planner->Settings().GainMode = gmAuto;
    EXPECT_NEAR(Db(planner->Plan(*t1, nullptr).gain), -3.0, 1e-3) << "alone: its own gain";
    upcoming = t2;
    EXPECT_NEAR(Db(planner->Plan(*t1, nullptr).gain), -7.0, 1e-3) << "the album follows it (queued)";
    upcoming = nullptr;
    EXPECT_NEAR(Db(planner->Plan(*t2, t1).gain), -7.0, 1e-3) << "it follows its album's track";
    EXPECT_NEAR(Db(planner->Plan(*t2, other).gain), -1.0, 1e-3) << "after another album: its own gain";
    EXPECT_NEAR(Db(planner->Plan(*t1, t2).gain), -3.0, 1e-3) << "out of order: its own gain";
}

TEST_F(PlannerTest, GaplessRunsAndSkippedSilenceFollowTheSettings)
{
    const TcustomTagger *t1 = Track(QStringLiteral("g1"), {}, QStringLiteral("Run"), 1);
    const TcustomTagger *t2 = Track(QStringLiteral("g2"), {}, QStringLiteral("Run"), 2);
    Measured(t1, -18);
    Measured(t2, -18);
    planner->Settings().GainMode = gmOff;
    const TtrackPlan following = planner->Plan(*t2, t1);
    EXPECT_TRUE(following.gapless);
    EXPECT_EQ(following.startMs, 0) << "a track that follows without a gap starts at its first sample";
    const TtrackPlan alone = planner->Plan(*t2, nullptr);
    EXPECT_FALSE(alone.gapless);
    EXPECT_EQ(alone.startMs, 40);
    EXPECT_EQ(alone.endMs, 450);
    EXPECT_EQ(alone.endingMs, 120);
    planner->Settings().Gapless = false;
    planner->Settings().FadesMeetMusic = false;
    EXPECT_EQ(planner->Plan(*t2, t1), TtrackPlan());
}

// Through the player: files of pink noise from -37 to -18 LUFS come out at
// the target, within half a loudness unit, whatever their own level.
struct LevelCase {
    const char *name;
    double amplitude;
};

class MatchedLoudnessTest : public PlannerTest, public ::testing::WithParamInterface<LevelCase> { };

TEST_P(MatchedLoudnessTest, ATrackComesOutAtTheTarget)
{
    const QString path = files->Path(QString::fromLatin1(GetParam().name));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("anoisesrc=color=pink:amplitude=%1:duration=8").arg(GetParam().amplitude),
            QStringLiteral("-ac"), QStringLiteral("2"), path },
        &error))
        << error.toStdString();
    const std::atomic<bool> stop { false };
    const TloudnessScan scan = ScanLoudness(path, stop);
    ASSERT_TRUE(scan.ok);
    records.emplace_back(new TcustomTagger);
    records.back()->SetFilename(path);
    Measured(records.back().get(), scan.loudness, scan.truePeak, scan.lengthMs);
    planner->Settings().FadesMeetMusic = false;

    AudioEngineOptions options;
    options.manualPump = true;
    TcrossPlayer player(options);
    player.Timer().SetEnabled(false);
    player.SetFadeInTime(0);
    player.SetFadeOutTime(500);
    bool supplied = false;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
        if (!supplied)
            track = records.back();
        supplied = true;
    };
    player.OnPlanTrack = [&](TcrossPlayer *, TcustomTagger *track, const TcustomTagger *previous) {
        return planner->Plan(*track, previous);
    };
    player.Play();
    std::vector<qint16> out(std::size_t(FramesForMs(7000)) * 2);
    for (int ms = 0; ms < 7000; ms += 250) {
        player.Engine().pump(FramesForMs(250), out.data() + std::size_t(FramesForMs(ms)) * 2);
        player.Tick();
    }
    // What was heard after the first tick, as a file, measured again.
    const QString heard
        = files->Path(QStringLiteral("heard-") + QLatin1String(GetParam().name) + QStringLiteral(".wav"));
    const QString raw = heard + QStringLiteral(".raw");
    QFile file(raw);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::size_t skip = std::size_t(FramesForMs(500)) * 2;
    file.write(reinterpret_cast<const char *>(out.data() + skip), qint64((out.size() - skip) * sizeof(qint16)));
    file.close();
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
            QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ar"), QStringLiteral("44100"),
            QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"), raw, heard },
        &error))
        << error.toStdString();
    const TloudnessScan result = ScanLoudness(heard, stop);
    ASSERT_TRUE(result.ok);
    EXPECT_NEAR(result.loudness, -18.0, 0.5) << "the file itself: " << scan.loudness << " LUFS";
    EXPECT_LT(*std::max_element(out.begin(), out.end()), 32767) << "clipped";
    EXPECT_GT(*std::min_element(out.begin(), out.end()), -32768) << "clipped";
}

INSTANTIATE_TEST_SUITE_P(Levels, MatchedLoudnessTest,
    ::testing::Values(LevelCase { "faint.wav", 0.08 }, LevelCase { "quiet.wav", 0.12 }, LevelCase { "plain.wav", 0.3 },
        LevelCase { "loud.wav", 0.7 }),
    [](const auto &info) {
        std::string name = info.param.name;
        return name.substr(0, name.find('.'));
    });

} // namespace
