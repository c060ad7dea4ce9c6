#include "eventWait.h"
#include "playbackFixtures.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"

#include <QFileInfo>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

// A player in manual-pump mode whose ticks the test gives itself, each after
// 250 ms of mixed sound, as the timer would while playing.
class CrossPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        files = new PlaybackFiles;
        fourSeconds = files->Wave(QStringLiteral("four.wav"), QStringLiteral("0.3"), 4);
        twoSeconds = files->Wave(QStringLiteral("two.wav"), QStringLiteral("0.3"), 2);
        randomBytes = files->RandomBytes(QStringLiteral("random.mp3"), 64 * 1024, 7);
        // Vorbis keeps its codebooks in the second header page, some kB long.
        const QString ogg = files->Tone(QStringLiteral("whole.ogg"), 440, 2);
        cutOgg = files->CutCopy(QStringLiteral("cut.ogg"), ogg, 2000);
        // Its Xing frame counts three seconds; a third of the file is left.
        ToneSpec vbr;
        vbr.seconds = 3;
        vbr.frequency = 660;
        vbr.vbrQuality = 4;
        const QString mp3 = files->Tone(QStringLiteral("whole.mp3"), vbr);
        cutVbr = files->CutCopy(QStringLiteral("cut.mp3"), mp3, QFileInfo(mp3).size() / 3);
    }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }

    void SetUp() override
    {
        AudioEngineOptions options;
        options.manualPump = true;
        player = std::make_unique<TcrossPlayer>(options);
        ASSERT_TRUE(player->EngineOpen());
        player->Timer().SetEnabled(false);
        player->SetFadeInTime(1000);
        player->SetFadeOutTime(1000);
        player->OnNeedTrack = [this](TcrossPlayer *sender, TtaggerRef &track) {
            EXPECT_EQ(sender, player.get());
            EXPECT_FALSE(track);
            requestPositions.push_back(player->CurrentStream()->GetPosition());
            if (supplied < tracks.size())
                track = tracks[supplied++];
        };
        player->OnTrackStart = [this](TcrossPlayer *, TvorlenStream *stream) {
            EXPECT_EQ(stream, player->CurrentStream());
            EXPECT_EQ(stream->State(), ssPlaying) << "a start announced for a stream that did not start";
            const TvorlenStream *outgoing = player->OutgoingStream();
            switchPositions.push_back(outgoing ? outgoing->GetPosition() : -1);
            started.push_back(stream->Track());
        };
        player->OnStateChange = [this](TcrossPlayer *sender) { states.push_back(sender->GetState()); };
        player->OnPlaying = [this](TcrossPlayer *, TvorlenStream *) { ++playingEvents; };
    }

    TcustomTagger *AddTrack(const QString &path)
    {
        tracks.emplace_back(new TcustomTagger);
        tracks.back()->SetFilename(path);
        return tracks.back().get();
    }

    void Step(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            const std::size_t at = output.size();
            output.resize(at + std::size_t(FramesForMs(250)) * 2);
            player->Engine().pump(FramesForMs(250), output.data() + at);
            player->Tick();
        }
    }

    // The longest run of silence in what was mixed between the first and the
    // last sound, in ms (10 ms windows whose loudest sample is below 1/300 of
    // full scale).
    int LongestSilenceMs() const
    {
        constexpr std::size_t kWindowFrames = std::size_t(FramesForMs(10));
        std::vector<bool> audible;
        for (std::size_t at = 0; at + kWindowFrames * 2 <= output.size(); at += kWindowFrames * 2) {
            const auto [low, high] = std::minmax_element(
                output.begin() + std::ptrdiff_t(at), output.begin() + std::ptrdiff_t(at + kWindowFrames * 2));
            audible.push_back(std::max(-int(*low), int(*high)) > 100);
        }
        const auto first = std::find(audible.begin(), audible.end(), true);
        const auto last = std::find(audible.rbegin(), audible.rend(), true).base();
        int longest = 0;
        int run = 0;
        for (auto it = first; it < last; ++it) {
            run = *it ? 0 : run + 1;
            longest = std::max(longest, run);
        }
        return longest * 10;
    }

    static inline PlaybackFiles *files = nullptr;
    static inline QString fourSeconds;
    static inline QString twoSeconds;
    static inline QString randomBytes;
    static inline QString cutOgg;
    static inline QString cutVbr;
    std::unique_ptr<TcrossPlayer> player;
    std::vector<TtaggerRef> tracks;
    std::size_t supplied = 0;
    std::vector<qint64> requestPositions;
    std::vector<qint64> switchPositions;
    std::vector<TcustomTagger *> started;
    std::vector<int> states;
    std::vector<qint16> output;
    int playingEvents = 0;
};

TEST_F(CrossPlayerTest, RequestsAndSwitchesAtTheFadeOutTimes)
{
    TcustomTagger *first = AddTrack(fourSeconds);
    TcustomTagger *second = AddTrack(fourSeconds);
    player->Play();
    ASSERT_EQ(player->GetState(), ssPlaying);
    EXPECT_EQ(player->CurrentTrack(), first);
    EXPECT_EQ(player->Engine().volume(player->CurrentStream()->Channel()), 0);

    // Asked for at the first tick with less than fade-out + 2000 ms left (1250 of 4000).
    Step(4);
    EXPECT_EQ(requestPositions.size(), 1u);
    Step();
    ASSERT_EQ(requestPositions.size(), 2u);
    EXPECT_EQ(requestPositions[1], 1250);
    EXPECT_TRUE(player->NextRequested());
    EXPECT_EQ(player->StreamB().Track(), second);
    EXPECT_EQ(player->StreamB().State(), ssStopped);

    // Started at the first tick with less than the fade-out left (3250 of 4000).
    Step(7);
    EXPECT_EQ(started.size(), 1u);
    Step();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(switchPositions[1], 3250);
    EXPECT_EQ(player->CurrentTrack(), second);
    EXPECT_EQ(player->OutgoingStream(), &player->StreamA());
    EXPECT_FALSE(player->NextRequested());
    const int incoming = player->StreamB().Channel();
    const int outgoing = player->StreamA().Channel();
    EXPECT_EQ(player->Engine().volume(incoming), 0);

    // The next tick: the new track rises from 120, the old one falls towards 30.
    Step();
    EXPECT_EQ(player->Engine().volume(incoming), 154);
    EXPECT_EQ(player->Engine().volume(outgoing), 142);
    EXPECT_EQ(player->GetState(), ssPlaying);

    // The old stream is closed at the tick where it has played to its length.
    Step();
    EXPECT_NE(player->OutgoingStream(), nullptr);
    Step();
    EXPECT_EQ(player->OutgoingStream(), nullptr);
    EXPECT_EQ(player->StreamA().Handle(), 0u);
    EXPECT_EQ(states, (std::vector<int>{ssPlaying}));
    EXPECT_EQ(player->Timer().Interval(), TcrossPlayer::kPlayingInterval);
}

TEST_F(CrossPlayerTest, AShortTrackAsksForItsSuccessorAtTheFirstTick)
{
    AddTrack(twoSeconds);
    TcustomTagger *second = AddTrack(fourSeconds);
    player->Play();
    Step();
    ASSERT_EQ(requestPositions.size(), 2u);
    EXPECT_EQ(requestPositions[1], 250);
    Step(4);
    EXPECT_EQ(started.size(), 2u);
    EXPECT_EQ(switchPositions[1], 1250);
    EXPECT_EQ(player->CurrentTrack(), second);
}

TEST_F(CrossPlayerTest, ShortTracksFollowEachOtherWithoutFallingSilent)
{
    // Each track is shorter than two fades plus the lead time, so the third is
    // due while the first is still fading out on the stream it would load into.
    TcustomTagger *a = AddTrack(twoSeconds);
    TcustomTagger *b = AddTrack(twoSeconds);
    TcustomTagger *c = AddTrack(twoSeconds);
    player->Play();
    Step(24);
    EXPECT_EQ(started, (std::vector<TcustomTagger *>{a, b, c}));
    EXPECT_EQ(std::count(states.begin(), states.end(), int(ssStopped)), 1) << "silent only after the last track";
}

TEST_F(CrossPlayerTest, NextDuringACrossFadeDoesNothing)
{
    AddTrack(fourSeconds);
    TcustomTagger *second = AddTrack(fourSeconds);
    AddTrack(fourSeconds);
    player->Play();
    Step(13);
    ASSERT_EQ(player->CurrentTrack(), second);
    ASSERT_NE(player->OutgoingStream(), nullptr);
    const qint64 position = player->CurrentStream()->GetPosition();
    player->Next();
    EXPECT_EQ(player->CurrentTrack(), second);
    EXPECT_EQ(player->CurrentStream()->GetPosition(), position);
    EXPECT_EQ(requestPositions.size(), 2u);
}

TEST_F(CrossPlayerTest, NextStopsAtOnceAndTheSequenceGoesOn)
{
    AddTrack(fourSeconds);
    AddTrack(fourSeconds);
    TcustomTagger *third = AddTrack(fourSeconds);
    TcustomTagger *fourth = AddTrack(fourSeconds);
    player->Play();
    // The successor has been asked for and loaded, but not started.
    Step(6);
    ASSERT_TRUE(player->NextRequested());
    player->Next();
    EXPECT_EQ(player->CurrentStream(), &player->StreamA());
    EXPECT_EQ(player->CurrentTrack(), third);
    EXPECT_EQ(player->GetState(), ssPlaying);
    EXPECT_EQ(player->StreamB().Handle(), 0u);
    EXPECT_FALSE(player->NextRequested());

    // The track after Next is followed by the next one as usual.
    Step(13);
    EXPECT_EQ(player->CurrentTrack(), fourth);
    EXPECT_EQ(player->GetState(), ssPlaying);
}

TEST_F(CrossPlayerTest, WithoutASuccessorTheTrackFadesOutAndThePlayerFallsIdle)
{
    AddTrack(fourSeconds);
    player->Play();
    Step(13);
    EXPECT_EQ(requestPositions.size(), 2u);
    EXPECT_EQ(player->GetState(), ssStopped);
    const TvorlenStream *fading = player->OutgoingStream();
    ASSERT_NE(fading, nullptr);
    Step();
    EXPECT_EQ(states, (std::vector<int>{ssPlaying, ssStopped}));
    EXPECT_EQ(player->Engine().volume(fading->Channel()), 142);
    Step(3);
    EXPECT_EQ(player->OutgoingStream(), nullptr);
    EXPECT_EQ(player->Timer().Interval(), TcrossPlayer::kIdleInterval);
    Step(8);
    EXPECT_EQ(requestPositions.size(), 2u);
    EXPECT_EQ(started.size(), 1u);

    // Play asks again.
    AddTrack(twoSeconds);
    player->Play();
    EXPECT_EQ(requestPositions.size(), 3u);
    EXPECT_EQ(player->GetState(), ssPlaying);
}

TEST_F(CrossPlayerTest, PlayResumesAPausedTrackAndIgnoresAPlayingOne)
{
    AddTrack(fourSeconds);
    AddTrack(fourSeconds);
    player->Play();
    Step(2);
    player->Play();
    EXPECT_EQ(requestPositions.size(), 1u);
    player->TogglePause();
    EXPECT_EQ(player->GetState(), ssPaused);
    const int events = playingEvents;
    Step(4);
    EXPECT_EQ(player->CurrentStream()->GetPosition(), 500);
    EXPECT_EQ(playingEvents, events);
    EXPECT_EQ(player->Timer().Interval(), TcrossPlayer::kIdleInterval);
    player->Play();
    EXPECT_EQ(player->GetState(), ssPlaying);
    Step();
    EXPECT_EQ(player->CurrentStream()->GetPosition(), 750);
    EXPECT_EQ(states, (std::vector<int>{ssPlaying, ssPaused, ssPlaying}));

    player->Seek(3000);
    EXPECT_EQ(player->CurrentStream()->GetPosition(), 3000);
    player->StopAll();
    EXPECT_EQ(player->GetState(), ssStopped);
    EXPECT_EQ(player->CurrentStream(), &player->StreamA());
}

TEST_F(CrossPlayerTest, DamagedFilesAmongGoodOnesAreSkippedWithoutSilence)
{
    // What each damaged file does to the engine: the first two do not open;
    // the cut one opens with the length its header claims.
    for (const QString &path : { randomBytes, cutOgg })
        EXPECT_EQ(player->Engine().streamOpen(path), 0u) << path.toStdString();
    const EngineStream cut = player->Engine().streamOpen(cutVbr);
    ASSERT_NE(cut, 0u);
    EXPECT_NEAR(double(player->Engine().streamLengthMs(cut)), 3000, 100);
    player->Engine().streamClose(cut);

    TcustomTagger *g1 = AddTrack(twoSeconds);
    AddTrack(randomBytes);
    TcustomTagger *g2 = AddTrack(twoSeconds);
    AddTrack(cutOgg);
    TcustomTagger *g3 = AddTrack(fourSeconds);
    TcustomTagger *shortened = AddTrack(cutVbr);
    TcustomTagger *g4 = AddTrack(twoSeconds);
    AddTrack(files->Path(QStringLiteral("vanished.mp3")));
    AddTrack(randomBytes);
    TcustomTagger *g5 = AddTrack(twoSeconds);

    player->Play();
    for (int tick = 0; tick < 200 && (states.empty() || states.back() != ssStopped); ++tick)
        Step();
    EXPECT_EQ(supplied, tracks.size());
    EXPECT_EQ(started, (std::vector<TcustomTagger *> { g1, g2, g3, shortened, g4, g5 }));
    EXPECT_EQ(std::count(states.begin(), states.end(), int(ssStopped)), 1) << "silent only after the last track";
    EXPECT_LT(LongestSilenceMs(), 1000);
}

TEST_F(CrossPlayerTest, ALibraryOfDamagedFilesIsAskedBoundedlyAndAgainAtLaterTicks)
{
    // Every other record names a file that is gone, the last of each round among them.
    int asked = 0;
    const TtaggerRef gone(new TcustomTagger);
    gone->SetFilename(files->Path(QStringLiteral("gone.mp3")));
    const TtaggerRef damaged(new TcustomTagger);
    damaged->SetFilename(randomBytes);
    const TtaggerRef good(new TcustomTagger);
    good->SetFilename(twoSeconds);
    bool goodOnes = false;
    player->OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
        track = goodOnes ? good : asked % 2 == 0 ? gone : damaged;
        ++asked;
    };

    player->Play();
    EXPECT_EQ(asked, TcrossPlayer::kRequestAttempts);
    EXPECT_EQ(player->GetState(), ssStopped) << "a vanished file must not leave the player loading";
    EXPECT_TRUE(started.empty());
    Step();
    EXPECT_EQ(asked, 2 * TcrossPlayer::kRequestAttempts);
    EXPECT_EQ(player->Timer().Interval(), TcrossPlayer::kIdleInterval);

    // Stop ends the retries; Play starts them over.
    player->StopAll();
    Step(3);
    EXPECT_EQ(asked, 2 * TcrossPlayer::kRequestAttempts);
    player->Play();
    EXPECT_EQ(asked, 3 * TcrossPlayer::kRequestAttempts);

    // A playable track turns up: the next tick plays it.
    goodOnes = true;
    Step();
    EXPECT_EQ(asked, 3 * TcrossPlayer::kRequestAttempts + 1);
    EXPECT_EQ(started, (std::vector<TcustomTagger *> { good.get() }));
    EXPECT_EQ(player->GetState(), ssPlaying);
}

// The switch to the next track waits for the fade-out point; a track whose
// sound ends before that point (a header claiming more than the file holds,
// or a fade-out time of 0, whose point is the very end) switches when its
// sound ends, at the first tick after.
TEST_F(CrossPlayerTest, ATrackWhoseSoundEndsSwitchesThen)
{
    for (const auto &[path, fadeOut] : { std::pair { cutVbr, 500 }, std::pair { twoSeconds, 0 } }) {
        SCOPED_TRACE(path.toStdString());
        player->StopAll();
        started.clear();
        player->SetFadeOutTime(fadeOut);
        TcustomTagger *first = AddTrack(path);
        TcustomTagger *second = AddTrack(fourSeconds);
        player->Play();
        ASSERT_EQ(player->CurrentTrack(), first);
        const qint64 claimed = player->CurrentStream()->LengthMs();
        for (int tick = 0; tick < 40 && started.size() < 2; ++tick) {
            Step();
            if (player->CurrentTrack() == first) {
                ASSERT_FALSE(player->CurrentStream()->Ended()) << "a tick left an ended track current";
            }
        }
        ASSERT_EQ(started, (std::vector<TcustomTagger *> { first, second }));
        EXPECT_LE(switchPositions.back(), claimed - fadeOut);
        EXPECT_EQ(player->GetState(), ssPlaying);
    }
}

TEST_F(CrossPlayerTest, FadeSettingsReachBothStreams)
{
    player->SetFadeInTime(1234);
    player->SetFadeOutTime(4321);
    player->SetFadeInFromVolume(11);
    player->SetFadeOutToVolume(22);
    for (TvorlenStream *stream : {&player->StreamA(), &player->StreamB()}) {
        EXPECT_EQ(stream->FadeInTime(), 1234);
        EXPECT_EQ(stream->FadeOutTime(), 4321);
        EXPECT_EQ(stream->FadeInFromVolume(), 11);
        EXPECT_EQ(stream->FadeOutToVolume(), 22);
    }
}

TEST(CrossPlayerDefaults, StartWithTheJukeboxDefaults)
{
    AudioEngineOptions options;
    options.manualPump = true;
    TcrossPlayer player(options);
    EXPECT_EQ(player.FadeInTime(), 5000);
    EXPECT_EQ(player.FadeOutTime(), 5000);
    EXPECT_EQ(player.FadeInFromVolume(), 120);
    EXPECT_EQ(player.FadeOutToVolume(), 30);
    EXPECT_EQ(player.StreamB().FadeOutToVolume(), 30);
    EXPECT_EQ(player.GetState(), ssStopped);
    EXPECT_EQ(player.CurrentTrack(), nullptr);
    EXPECT_TRUE(player.Timer().Enabled());
    EXPECT_EQ(player.Timer().Interval(), TcrossPlayer::kPlayingInterval);
    // No handler: Play finds nothing to play.
    player.Play();
    EXPECT_EQ(player.GetState(), ssStopped);
}

TEST(CrossPlayerEngineFailure, ReportsWhyAndTakesNoTrackItCannotPlay)
{
    qputenv("SDL_AUDIODRIVER", "vorlen-no-such-driver");
    TcrossPlayer player;
    EXPECT_FALSE(player.EngineOpen());
    EXPECT_FALSE(player.EngineError().isEmpty());

    // The player stays harmless without an engine, and the records it would
    // be given stay where they are, for when an output appears.
    PlaybackFiles files;
    const TtaggerRef track(new TcustomTagger);
    track->SetFilename(files.Wave(QStringLiteral("t.wav"), QStringLiteral("0.1"), 0.2));
    int requests = 0;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &out) {
        ++requests;
        out = track;
    };
    int opened = 0;
    player.OnEngineOpen = [&](TcrossPlayer *) { ++opened; };
    player.Play();
    player.Next();
    player.Tick();
    EXPECT_EQ(player.GetState(), ssStopped);
    EXPECT_EQ(requests, 0);

    // Attempts go on while there is still no driver.
    RunEventsUntil([] { return false; }, TcrossPlayer::kEngineRetryMs + 500);
    qunsetenv("SDL_AUDIODRIVER");
    EXPECT_FALSE(player.EngineOpen());
    EXPECT_FALSE(player.EngineError().isEmpty());
    EXPECT_EQ(opened, 0);
    player.Play();
    EXPECT_EQ(requests, 0);
}

} // namespace
