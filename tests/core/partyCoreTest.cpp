#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "playback/crossPlayer.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

// The core with a library of three real tracks and a clock the test moves,
// started as the program starts it.
class PartyCore : public ::testing::Test {
protected:
    TdmMain &start()
    {
        run.reset();
        TdmMainOptions options = folder.options();
        options.clock = [this] { return clock; };
        run.emplace(options);
        run->core.StartUp();
        return run->core;
    }
    TdmMain &core() { return run->core; }
    TrecordingFace &face() { return run->face; }

    void fillLibrary()
    {
        const QStringList files { folder.addTrack(QStringLiteral("a/1.mp3"), QStringLiteral("One"),
                                      QStringLiteral("Nord"), QStringLiteral("Hits"), 1, 440, 3.0),
            folder.addTrack(QStringLiteral("a/2.mp3"), QStringLiteral("Two"), QStringLiteral("Nord"),
                QStringLiteral("Hits"), 2, 660, 3.0),
            folder.addTrack(QStringLiteral("a/3.mp3"), QStringLiteral("Three"), QStringLiteral("Nord"),
                QStringLiteral("Hits"), 3, 880, 3.0) };
        core().AddScannedFiles(files, false);
        ASSERT_EQ(core().jblMain().MasterList().Count(), 3);
    }
    TcustomTagger *track(const QString &title)
    {
        for (TcustomTagger *record : core().jblMain().MasterList().Records()) {
            if (record->Title() == title)
                return record;
        }
        return nullptr;
    }
    void openParty(const std::function<void(TpartySettings &)> &edit = {})
    {
        TpartySettings settings = core().PartySettings();
        settings.Enabled = true;
        if (edit)
            edit(settings);
        core().SetPartySettings(settings);
    }

    qint64 clock = 5000000;
    TcoreTestFolder folder;
    std::optional<TrecordedCore> run;
};

TEST_F(PartyCore, TheHostsSettingsOpenThePartyAndComeBackAfterARestart)
{
    TdmMain &core = start();
    EXPECT_FALSE(core.PartySettings().Enabled) << "off until the host turns it on";
    EXPECT_TRUE(IsGuestCode(core.PartySettings().GuestCode)) << "a code is ready from the first start";
    const QString code = core.PartySettings().GuestCode;
    face().log.clear();
    run->ui.windows.clear();
    openParty([](TpartySettings &s) {
        s.Port = 9191;
        s.RequestsPerGuest = 4;
        s.VoteToSkip = true;
    });
    EXPECT_EQ(face().count(QStringLiteral("PartyChanged")), 1);
    EXPECT_EQ(run->ui.windows, std::vector<TcoreWindow> { TcoreWindow::PartyWindow });
    openParty();
    EXPECT_EQ(face().count(QStringLiteral("PartyChanged")), 1) << "no change, no announcement";
    core.SaveSettings();

    TdmMain &again = start();
    EXPECT_TRUE(again.PartySettings().Enabled);
    EXPECT_EQ(again.PartySettings().Port, 9191);
    EXPECT_EQ(again.PartySettings().RequestsPerGuest, 4);
    EXPECT_TRUE(again.PartySettings().VoteToSkip);
    EXPECT_EQ(again.PartySettings().GuestCode, code);
    EXPECT_NE(
        std::find(run->ui.windows.begin(), run->ui.windows.end(), TcoreWindow::PartyWindow), run->ui.windows.end())
        << "a party that was on shows its window at start";
}

TEST_F(PartyCore, AGuestsRequestPlaysAfterTheHostsTracksWithTheGuestsName)
{
    start();
    fillLibrary();
    openParty();
    TdmMain &core = this->core();
    const int anna = core.JoinParty(QStringLiteral("Anna"));
    ASSERT_NE(anna, 0);
    core.QueueRecord(track(QStringLiteral("One")));
    face().log.clear();
    const TrequestAnswer answer = core.RequestTrack(anna, track(QStringLiteral("Three")));
    EXPECT_EQ(answer.Outcome, TrequestOutcome::Queued);
    EXPECT_EQ(answer.Row, 1);
    EXPECT_EQ(face().count(QStringLiteral("QueueChanged")), 1);
    EXPECT_EQ(core.tqQueue().DisplayText(1).endsWith(QStringLiteral("(for Anna)")), true)
        << core.tqQueue().DisplayText(1).toStdString();

    core.Play();
    ASSERT_EQ(core.PlayState(), ssPlaying);
    EXPECT_EQ(core.NowPlaying().track->Title(), QStringLiteral("One"));
    EXPECT_FALSE(core.Party().PlayingRequester().IsGuest());
    EXPECT_EQ(core.RequestTrack(anna, track(QStringLiteral("One"))).Outcome, TrequestOutcome::PlayingNow);

    core.Skip();
    ASSERT_EQ(core.NowPlaying().track->Title(), QStringLiteral("Three"));
    EXPECT_EQ(core.Party().PlayingRequester().name, QStringLiteral("Anna"));
    // Queued, so that the library's random draw cannot bring One back now.
    core.QueueRecord(track(QStringLiteral("Two")));
    core.Skip();
    ASSERT_EQ(core.NowPlaying().track->Title(), QStringLiteral("Two"));
    EXPECT_EQ(core.RequestTrack(anna, track(QStringLiteral("One"))).Outcome, TrequestOutcome::RecentlyPlayed);
    clock += 61 * 60 * 1000;
    EXPECT_EQ(core.RequestTrack(anna, track(QStringLiteral("One"))).Outcome, TrequestOutcome::Queued);
    core.Stop();
}

TEST_F(PartyCore, ApprovalAndVotesReachTheFaces)
{
    start();
    fillLibrary();
    openParty([](TpartySettings &s) {
        s.NeedApproval = true;
        s.VoteToSkip = true;
    });
    TdmMain &core = this->core();
    const int anna = core.JoinParty(QStringLiteral("Anna"));
    const int ben = core.JoinParty(QStringLiteral("Ben"));
    face().log.clear();
    EXPECT_EQ(core.RequestTrack(anna, track(QStringLiteral("Two"))).Outcome, TrequestOutcome::AwaitingApproval);
    EXPECT_EQ(face().count(QStringLiteral("PartyChanged")), 1);
    EXPECT_EQ(face().count(QStringLiteral("QueueChanged")), 0);
    ASSERT_EQ(core.Party().Pending().size(), 1u);
    EXPECT_TRUE(core.ApproveRequest(core.Party().Pending()[0].Id));
    EXPECT_EQ(face().count(QStringLiteral("QueueChanged")), 1);
    EXPECT_EQ(core.tqQueue().Count(), 1);

    EXPECT_FALSE(core.VoteToSkip(anna).Open) << "nothing plays";
    core.QueueRecord(track(QStringLiteral("Three")));
    core.Play();
    ASSERT_EQ(core.NowPlaying().track->Title(), QStringLiteral("Two"));
    TskipVote vote = core.VoteToSkip(anna);
    EXPECT_TRUE(vote.Open);
    EXPECT_FALSE(vote.Skipped) << "one of two guests is no majority";
    vote = core.VoteToSkip(ben);
    EXPECT_TRUE(vote.Skipped);
    EXPECT_EQ(core.NowPlaying().track->Title(), QStringLiteral("Three")) << "the guests' majority skipped";
    EXPECT_EQ(core.SkipVotes().Votes, 0);
    core.Stop();
}

} // namespace
