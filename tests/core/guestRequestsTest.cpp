#include "../library/testRecords.h"

#include "core/guestRequests.h"
#include "core/partySettings.h"
#include "library/taggerList.h"
#include "library/taggerQueue.h"
#include "platform/iniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr qint64 kMinute = 60 * 1000;

// A party over a queue, with a library of invented tracks "t0".."t19" and a
// clock the test moves by hand.
class Party : public ::testing::Test {
protected:
    Party()
    {
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("t%1").arg(i);
            library.Add(MakeRecord({ name, QStringLiteral("Artist"), QStringLiteral("Album"),
                QStringLiteral("/music/") + name + QStringLiteral(".mp3") }));
        }
        TpartySettings settings;
        settings.Enabled = true;
        settings.GuestCode = NewGuestCode();
        book.SetSettings(settings);
    }

    TcustomTagger *track(int i) { return library.Items(i); }
    void change(const std::function<void(TpartySettings &)> &edit)
    {
        TpartySettings settings = book.Settings();
        edit(settings);
        book.SetSettings(settings);
    }
    // The queue as "title:guest name" (host's entries without a name).
    QStringList queue() const
    {
        QStringList rows;
        for (int row = 0; row < tq.Count(); ++row) {
            const TqueueRequester &who = tq.Requester(row);
            rows << tq.Items(row)->Title() + (who.IsGuest() ? u':' + who.name : QString());
        }
        return rows;
    }

    qint64 clock = 1000000;
    TtaggerList library;
    TtaggerQueue tq;
    TguestRequests book { tq, [this] { return clock; } };
};

// --- where requests join the queue -----------------------------------------------

struct TurnCase {
    const char *name;
    // The host's entries first ("h0 h1"), then requests as guest letters in
    // the order they were made; each request asks for the next new track.
    int hostEntries;
    const char *requests;
    // The queue afterwards, as guest letters; "-" for a host entry.
    const char *expected;
};

class RoundRobin : public Party, public ::testing::WithParamInterface<TurnCase> { };

TEST_P(RoundRobin, RequestsTakeTurnsByGuestAfterTheHost)
{
    const TurnCase &c = GetParam();
    change([](TpartySettings &s) { s.RequestsPerGuest = 10; });
    int next = 0;
    for (int i = 0; i < c.hostEntries; ++i)
        tq.Add(track(next++));
    std::map<char, int> guests;
    for (const char *letter = c.requests; *letter; ++letter) {
        if (!guests.count(*letter))
            guests[*letter] = book.Join(QString(QLatin1Char(*letter)));
        const TrequestAnswer answer = book.Request(guests[*letter], track(next++), nullptr);
        ASSERT_EQ(answer.Outcome, TrequestOutcome::Queued) << "request " << (letter - c.requests);
        EXPECT_EQ(tq.Requester(answer.Row).guest, guests[*letter]) << "the answer names the row it went to";
    }
    QString letters;
    for (int row = 0; row < tq.Count(); ++row)
        letters += tq.Requester(row).IsGuest() ? tq.Requester(row).name : QStringLiteral("-");
    EXPECT_EQ(letters.toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Queue, RoundRobin,
    ::testing::Values(TurnCase { "OneGuestAppends", 0, "AAA", "AAA" },
        TurnCase { "LateGuestGetsTheSecondSlot", 0, "AAAB", "ABAA" },
        TurnCase { "ThreeGuestsInterleave", 0, "AAABBC", "ABCABA" }, TurnCase { "AfterTheHost", 2, "AB", "--AB" },
        TurnCase { "HostEntriesStayFirst", 3, "AAB", "---ABA" },
        TurnCase { "ArrivalOrderWithinATurn", 0, "BAAB", "BAAB" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Party, RequestsQueuedBeforeTheHostsLaterEntriesStayWhereTheyAre)
{
    change([](TpartySettings &s) { s.RequestsPerGuest = 10; });
    const int anna = book.Join(QStringLiteral("Anna"));
    const int ben = book.Join(QStringLiteral("Ben"));
    ASSERT_EQ(book.Request(anna, track(0), nullptr).Outcome, TrequestOutcome::Queued);
    tq.Add(track(1));
    // Ben's request goes after what the host queued since, not before it.
    ASSERT_EQ(book.Request(ben, track(2), nullptr).Outcome, TrequestOutcome::Queued);
    EXPECT_EQ(queue(), (QStringList { "t0:Anna", "t1", "t2:Ben" }));
}

// --- the rules ----------------------------------------------------------------------

TEST_F(Party, TheLimitCountsWhatWaitsNotWhatPlayed)
{
    const int anna = book.Join(QStringLiteral("Anna"));
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(book.Request(anna, track(i), nullptr).Outcome, TrequestOutcome::Queued);
    EXPECT_EQ(book.Request(anna, track(3), nullptr).Outcome, TrequestOutcome::LimitReached);
    EXPECT_EQ(book.Waiting(anna), 3);

    // One of hers plays: a slot frees.
    TqueueRequester who;
    const TtaggerRef popped = tq.Pop(&who);
    EXPECT_EQ(who.name, QStringLiteral("Anna"));
    book.TrackChosen(popped.get(), who);
    book.TrackStarted(popped.get());
    EXPECT_EQ(book.PlayingRequester().name, QStringLiteral("Anna"));
    EXPECT_EQ(book.Request(anna, track(3), nullptr).Outcome, TrequestOutcome::Queued);

    // The host deleting one frees another.
    tq.Delete(0);
    EXPECT_EQ(book.Request(anna, track(4), nullptr).Outcome, TrequestOutcome::Queued);
    EXPECT_EQ(book.Request(anna, track(5), nullptr).Outcome, TrequestOutcome::LimitReached);
}

TEST_F(Party, ATrackIsNotAskedForTwice)
{
    const int anna = book.Join(QStringLiteral("Anna"));
    const int ben = book.Join(QStringLiteral("Ben"));
    tq.Add(track(0));
    EXPECT_EQ(book.Request(anna, track(0), nullptr).Outcome, TrequestOutcome::AlreadyQueued) << "the host's";
    ASSERT_EQ(book.Request(anna, track(1), nullptr).Outcome, TrequestOutcome::Queued);
    EXPECT_EQ(book.Request(ben, track(1), nullptr).Outcome, TrequestOutcome::AlreadyQueued) << "another guest's";
    // Another record of the same file is the same track.
    std::unique_ptr<Tid3Tagger> copy(MakeRecord({ "t1 again", "", "", track(1)->Filename() }));
    EXPECT_EQ(book.Request(ben, copy.get(), nullptr).Outcome, TrequestOutcome::AlreadyQueued);
    EXPECT_EQ(book.Request(ben, track(2), track(2)).Outcome, TrequestOutcome::PlayingNow);
}

TEST_F(Party, ATrackThatPlayedWaitsOutTheRepeatInterval)
{
    const int anna = book.Join(QStringLiteral("Anna"));
    book.TrackStarted(track(7));
    clock += 59 * kMinute;
    TrequestAnswer answer = book.Request(anna, track(7), nullptr);
    EXPECT_EQ(answer.Outcome, TrequestOutcome::RecentlyPlayed);
    EXPECT_EQ(answer.WaitMs, kMinute);
    clock += kMinute;
    EXPECT_EQ(book.Request(anna, track(7), nullptr).Outcome, TrequestOutcome::Queued);

    // A shorter interval set by the host applies at once.
    book.TrackStarted(track(8));
    change([](TpartySettings &s) { s.RepeatMinutes = 5; });
    clock += 5 * kMinute;
    EXPECT_EQ(book.Request(anna, track(8), nullptr).Outcome, TrequestOutcome::Queued);
}

TEST_F(Party, NobodyAsksWhileThePartyIsClosedOrAsAStranger)
{
    const int anna = book.Join(QStringLiteral("Anna"));
    EXPECT_EQ(book.Request(anna + 1, track(0), nullptr).Outcome, TrequestOutcome::UnknownGuest);
    EXPECT_EQ(book.Request(0, track(0), nullptr).Outcome, TrequestOutcome::UnknownGuest);
    change([](TpartySettings &s) { s.Enabled = false; });
    EXPECT_EQ(book.Request(anna, track(0), nullptr).Outcome, TrequestOutcome::PartyClosed);
    EXPECT_EQ(tq.Count(), 0);
}

TEST_F(Party, ApprovalHoldsRequestsUntilTheHostDecides)
{
    change([](TpartySettings &s) {
        s.NeedApproval = true;
        s.RequestsPerGuest = 2;
    });
    const int anna = book.Join(QStringLiteral("Anna"));
    const int ben = book.Join(QStringLiteral("Ben"));
    EXPECT_EQ(book.Request(anna, track(0), nullptr).Outcome, TrequestOutcome::AwaitingApproval);
    EXPECT_EQ(book.Request(anna, track(1), nullptr).Outcome, TrequestOutcome::AwaitingApproval);
    EXPECT_EQ(book.Request(anna, track(2), nullptr).Outcome, TrequestOutcome::LimitReached) << "waiting ones count";
    EXPECT_EQ(book.Request(ben, track(0), nullptr).Outcome, TrequestOutcome::AlreadyQueued) << "awaiting approval";
    EXPECT_EQ(book.Request(ben, track(3), nullptr).Outcome, TrequestOutcome::AwaitingApproval);
    EXPECT_EQ(tq.Count(), 0);
    ASSERT_EQ(book.Pending().size(), 3u);

    // Approved in any order, each joins at its guest's turn.
    EXPECT_TRUE(book.Approve(book.Pending()[0].Id));
    EXPECT_TRUE(book.Approve(book.Pending()[0].Id));
    EXPECT_TRUE(book.Reject(book.Pending()[0].Id));
    EXPECT_FALSE(book.Approve(12345));
    EXPECT_EQ(queue(), (QStringList { "t0:Anna", "t1:Anna" }));
    EXPECT_TRUE(book.Pending().empty());

    // Turning approval off grants what waits.
    EXPECT_EQ(book.Request(ben, track(4), nullptr).Outcome, TrequestOutcome::AwaitingApproval);
    change([](TpartySettings &s) { s.NeedApproval = false; });
    EXPECT_TRUE(book.Pending().empty());
    EXPECT_EQ(queue(), (QStringList { "t0:Anna", "t4:Ben", "t1:Anna" }));
}

TEST_F(Party, PendingRequestsKeepTheirRecordsAlive)
{
    change([](TpartySettings &s) { s.NeedApproval = true; });
    const int anna = book.Join(QStringLiteral("Anna"));
    ASSERT_EQ(book.Request(anna, track(5), nullptr).Outcome, TrequestOutcome::AwaitingApproval);
    // The library lets go of everything, as a rescan does.
    library.Clear();
    ASSERT_EQ(book.Pending().size(), 1u);
    EXPECT_EQ(book.Pending()[0].Record->Title(), QStringLiteral("t5"));
    EXPECT_TRUE(book.Approve(book.Pending()[0].Id));
    EXPECT_EQ(queue(), (QStringList { "t5:Anna" }));
}

// --- voting to skip -------------------------------------------------------------------

TEST_F(Party, AMajorityOfActiveGuestsSkips)
{
    const int a = book.Join(QStringLiteral("A"));
    const int b = book.Join(QStringLiteral("B"));
    const int c = book.Join(QStringLiteral("C"));
    const int d = book.Join(QStringLiteral("D"));
    EXPECT_FALSE(book.Vote(a, true).Open) << "off until the host allows it";
    change([](TpartySettings &s) { s.VoteToSkip = true; });
    EXPECT_FALSE(book.Vote(a, false).Open) << "nothing plays";

    TskipVote vote = book.Vote(a, true);
    EXPECT_TRUE(vote.Open);
    EXPECT_EQ(vote.Votes, 1);
    EXPECT_EQ(vote.Needed, 3) << "a majority of four";
    EXPECT_EQ(book.Vote(a, true).Votes, 1) << "one vote per guest";
    EXPECT_FALSE(book.Vote(b, true).Skipped);

    // D went quiet 16 minutes ago; the others stayed: three remain active.
    clock += 16 * kMinute;
    book.Touch(a);
    book.Touch(b);
    book.Touch(c);
    EXPECT_EQ(book.SkipVotes(true).Needed, 2);
    EXPECT_TRUE(book.SkipVotes(true).Votes >= 2);
    vote = book.Vote(c, true);
    EXPECT_TRUE(vote.Skipped);
    EXPECT_EQ(book.SkipVotes(true).Votes, 0) << "the next track starts without votes";
    (void)d;
}

TEST_F(Party, VotesEndWithTheTrack)
{
    change([](TpartySettings &s) { s.VoteToSkip = true; });
    const int a = book.Join(QStringLiteral("A"));
    book.Join(QStringLiteral("B"));
    book.Join(QStringLiteral("C"));
    EXPECT_EQ(book.Vote(a, true).Votes, 1);
    book.TrackStarted(track(0));
    EXPECT_EQ(book.SkipVotes(true).Votes, 0);
}

// --- guests -----------------------------------------------------------------------------

struct NameCase {
    const char *name;
    QString raw;
    QString shown;
};

class GuestNames : public ::testing::TestWithParam<NameCase> { };

TEST_P(GuestNames, AreCleanedAndBounded)
{
    EXPECT_EQ(GuestName(GetParam().raw), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Party, GuestNames,
    ::testing::Values(NameCase { "Plain", QStringLiteral("Anna"), QStringLiteral("Anna") },
        NameCase { "Trimmed", QStringLiteral("  Anna  Lena \t"), QStringLiteral("Anna Lena") },
        NameCase { "ControlsDropped", QStringLiteral("An\u0000na\u202E\n"), QStringLiteral("Anna") },
        NameCase { "MarkupKeptAsText", QStringLiteral("<b>Bo</b>"), QStringLiteral("<b>Bo</b>") },
        NameCase { "AccentsKept", QStringLiteral("Zoë Ångström"), QStringLiteral("Zoë Ångström") },
        NameCase { "OnlySpaces", QStringLiteral("   "), QString() },
        NameCase { "Long", QString(40, u'x'), QString(32, u'x') },
        // 31 letters and an emoji of two UTF-16 units: the emoji does not fit
        // whole, so it goes whole.
        NameCase { "NeverHalfACharacter", QString(31, u'x') + QStringLiteral("\U0001F600"), QString(31, u'x') },
        NameCase { "LoneSurrogate", QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b"), QStringLiteral("ab") }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Party, GuestsJoinUnderCleanNamesAndMayRename)
{
    EXPECT_EQ(book.Join(QStringLiteral(" \n")), 0);
    const int anna = book.Join(QStringLiteral(" Anna "));
    ASSERT_NE(anna, 0);
    EXPECT_EQ(book.Guest(anna)->Name, QStringLiteral("Anna"));
    EXPECT_TRUE(book.Rename(anna, QStringLiteral("Anna B.")));
    EXPECT_FALSE(book.Rename(anna, QString()));
    EXPECT_FALSE(book.Rename(anna + 7, QStringLiteral("X")));
    EXPECT_EQ(book.Guest(anna)->Name, QStringLiteral("Anna B."));
    EXPECT_EQ(book.Guest(anna + 1), nullptr);
    EXPECT_EQ(book.ActiveGuests(), 1);
    clock += 16 * kMinute;
    EXPECT_EQ(book.ActiveGuests(), 0);
}

// --- guests who leave ----------------------------------------------------------------------

struct LeavingCase {
    const char *name;
    // Whether Ben, who stays active, is still a guest afterwards.
    bool otherStays;
};

class GuestsLeave : public Party, public ::testing::WithParamInterface<LeavingCase> {
protected:
    // Anna leaves by going quiet past the forgetting time, or the host renews the code.
    void leave()
    {
        if (GetParam().otherStays) {
            clock += TguestRequests::kForgetAfterMs - kMinute;
            book.Touch(ben);
            clock += 2 * kMinute;
        } else {
            change([](TpartySettings &s) { s.GuestCode = NewGuestCode(); });
        }
    }
    int ben = 0;
};

TEST_P(GuestsLeave, AndAreForgottenWhileTheirRequestsStayUnderTheirNames)
{
    change([](TpartySettings &s) { s.VoteToSkip = true; });
    const int anna = book.Join(QStringLiteral("Anna"));
    ben = book.Join(QStringLiteral("Ben"));
    ASSERT_EQ(book.Request(anna, track(0), nullptr).Outcome, TrequestOutcome::Queued);
    change([](TpartySettings &s) { s.NeedApproval = true; });
    ASSERT_EQ(book.Request(anna, track(1), nullptr).Outcome, TrequestOutcome::AwaitingApproval);
    ASSERT_EQ(book.Vote(anna, true).Votes, 1);

    leave();
    EXPECT_EQ(book.Guest(anna), nullptr);
    book.Touch(anna);
    EXPECT_EQ(book.Guest(anna), nullptr) << "a forgotten guest is not brought back";
    EXPECT_FALSE(book.Rename(anna, QStringLiteral("Anna")));
    EXPECT_EQ(book.Request(anna, track(2), nullptr).Outcome, TrequestOutcome::UnknownGuest);
    EXPECT_EQ(book.GuestCount(), GetParam().otherStays ? 1 : 0);
    EXPECT_EQ(book.Guest(ben) != nullptr, GetParam().otherStays);
    EXPECT_EQ(book.SkipVotes(true).Votes, 0);

    EXPECT_EQ(queue(), (QStringList { "t0:Anna" }));
    ASSERT_EQ(book.Pending().size(), 1u);
    EXPECT_EQ(book.Pending()[0].Requester.name, QStringLiteral("Anna"));
    EXPECT_TRUE(book.Approve(book.Pending()[0].Id));
    EXPECT_EQ(queue(), (QStringList { "t0:Anna", "t1:Anna" }));

    // Whoever comes next gets a number never given before, and none of the
    // forgotten guest's requests counts against the limit.
    const int carla = book.Join(QStringLiteral("Carla"));
    EXPECT_GT(carla, ben);
    EXPECT_EQ(book.Waiting(carla), 0);
    EXPECT_EQ(book.Guest(carla)->Name, QStringLiteral("Carla"));
}

INSTANTIATE_TEST_SUITE_P(Party, GuestsLeave,
    ::testing::Values(LeavingCase { "ByGoingQuiet", true }, LeavingCase { "ByANewCode", false }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Party, AFullPartyMakesRoomOnlyOfGuestsNoLongerActive)
{
    for (int i = 0; i < TguestRequests::kMaxGuests; ++i)
        ASSERT_EQ(book.Join(QStringLiteral("G")), i + 1);
    EXPECT_EQ(book.Join(QStringLiteral("Late")), 0) << "every guest is active";
    clock += 10 * kMinute;
    const int staying = 17;
    book.Touch(staying);
    clock += 6 * kMinute;
    const int late = book.Join(QStringLiteral("Late"));
    EXPECT_EQ(late, TguestRequests::kMaxGuests + 1);
    EXPECT_EQ(book.GuestCount(), TguestRequests::kMaxGuests);
    EXPECT_NE(book.Guest(staying), nullptr);
    EXPECT_NE(book.Guest(late), nullptr);

    clock += TguestRequests::kForgetAfterMs + 1;
    EXPECT_EQ(book.Join(QStringLiteral("Later")), TguestRequests::kMaxGuests + 2);
    EXPECT_EQ(book.GuestCount(), 1);
}

// --- the settings -------------------------------------------------------------------------

TEST(PartySettings, GuestCodesAreSixUnambiguousCharactersAndDiffer)
{
    QSet<QString> codes;
    for (int i = 0; i < 200; ++i) {
        const QString code = NewGuestCode();
        EXPECT_TRUE(IsGuestCode(code)) << code.toStdString();
        EXPECT_FALSE(code.contains(u'0') || code.contains(u'O') || code.contains(u'1') || code.contains(u'I'));
        codes.insert(code);
    }
    EXPECT_GT(codes.size(), 195) << "31^6 codes: repeats among 200 are all but impossible";
    for (const QString &bad : { QString(), QStringLiteral("ABCDE"), QStringLiteral("ABCDEFG"), QStringLiteral("abcdef"),
             QStringLiteral("ABCDE0"), QStringLiteral("ABCDÉF") })
        EXPECT_FALSE(IsGuestCode(bad)) << bad.toStdString();
}

TEST(PartySettings, SurviveTheSettingsFileAndAreKeptInRange)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("vorlen.ini"));
    TpartySettings settings;
    settings.Enabled = true;
    settings.Port = 9090;
    settings.GuestCode = QStringLiteral("K7M2QX");
    settings.RequestsPerGuest = 5;
    settings.RepeatMinutes = 90;
    settings.NeedApproval = true;
    settings.VoteToSkip = true;
    {
        TiniFile ini(file);
        WritePartySettings(ini, settings);
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(ReadPartySettings(TiniFile(file)), settings);

    TiniFile broken;
    broken.SetText("[Party]\nPort=70000\nGuestCode=<script>\nRequestsPerGuest=-4\nRepeatMinutes=99999\n");
    const TpartySettings read = ReadPartySettings(broken);
    EXPECT_EQ(read.Port, 8080);
    EXPECT_TRUE(IsGuestCode(read.GuestCode)) << "a fresh code replaces a malformed one";
    EXPECT_EQ(read.RequestsPerGuest, 1);
    EXPECT_EQ(read.RepeatMinutes, TpartySettings::kMaxRepeatMinutes);
    EXPECT_FALSE(read.Enabled) << "off unless the host turned it on";

    TiniFile empty;
    const TpartySettings defaults = ReadPartySettings(empty);
    EXPECT_EQ(defaults.Port, 8080);
    EXPECT_EQ(defaults.RequestsPerGuest, 3);
    EXPECT_EQ(defaults.RepeatMinutes, 60);
    EXPECT_FALSE(defaults.NeedApproval);
    EXPECT_FALSE(defaults.VoteToSkip);
}

} // namespace
