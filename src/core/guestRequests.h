#pragma once

#include "core/partySettings.h"
#include "library/taggerQueue.h"
#include "metadata/taggerRef.h"

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <map>
#include <set>
#include <vector>

class TcustomTagger;

// What became of a guest's request.
enum class TrequestOutcome {
    // In the queue, at Row.
    Queued,
    // Waiting for the host's approval.
    AwaitingApproval,
    // Party mode is off.
    PartyClosed,
    // No guest of that number.
    UnknownGuest,
    // The guest has as many requests waiting as the host allows.
    LimitReached,
    // The track is queued already, or waits for approval.
    AlreadyQueued,
    PlayingNow,
    // The track started playing less than the repeat interval ago.
    RecentlyPlayed,
};

struct TrequestAnswer {
    TrequestOutcome Outcome = TrequestOutcome::PartyClosed;
    // Queued: the queue row the track went to.
    int Row = -1;
    // RecentlyPlayed: how long until the track may be asked for again.
    qint64 WaitMs = 0;

    bool Accepted() const { return Outcome == TrequestOutcome::Queued || Outcome == TrequestOutcome::AwaitingApproval; }
};

// A guest of the party: the number the core gave, the name the guest goes by
// and when the guest last did something (searched, browsed, asked, voted).
struct TpartyGuest {
    int Number = 0;
    QString Name;
    qint64 LastActiveMs = 0;
};

// A request that waits for the host's approval. The record is held: it stays
// valid whatever happens to the library meanwhile.
struct TpendingRequest {
    quint64 Id = 0;
    TqueueRequester Requester;
    TtaggerRef Record;
    qint64 AskedMs = 0;
};

// The vote to skip the playing track.
struct TskipVote {
    // Whether guests may vote now: the host allows it and a track plays.
    bool Open = false;
    int Votes = 0;
    // The majority of the guests active in the last 15 minutes.
    int Needed = 1;
    // This vote made the majority: the track is to be skipped.
    bool Skipped = false;
};

// The party's book of guests and their requests, kept by the core: who the
// guests are, the rules a request must pass, where a granted request joins
// the queue, what waits for the host's approval, when each track last began
// to play, and the votes to skip. Time comes from the clock given (a
// steady clock in milliseconds), so that rules about minutes can be tried
// without waiting them out.
//
// Guests come and go without saying so: a guest not heard from for
// kForgetAfterMs is forgotten, and a new guest code starts a new guest list.
// A forgotten guest's requests stay where they are, under the guest's name.
// Guest numbers are never given twice, so a number kept by a forgotten
// guest's browser never names someone else.
//
// GUI thread only, like the queue it places requests in.
class TguestRequests {
public:
    using Tclock = std::function<qint64()>;
    static constexpr qint64 kActiveWindowMs = 15 * 60 * 1000;
    // Long past the default repeat interval of an hour: a guest who waits
    // one out without touching the phone is still the same guest when
    // asking again.
    static constexpr qint64 kForgetAfterMs = 3 * 60 * 60 * 1000;
    static constexpr int kMaxGuests = 10000;
    static constexpr int kMaxNameLength = 32;

    TguestRequests(TtaggerQueue &queue, Tclock clock);

    const TpartySettings &Settings() const { return m_settings; }
    void SetSettings(const TpartySettings &settings);

    // --- guests ------------------------------------------------------------
    // A new guest under a name (GuestName); 0 when the name is empty after
    // cleaning, or kMaxGuests guests are active. When the list is full, the
    // new guest takes the place of the one idle longest, who is not active.
    int Join(const QString &name);
    bool Rename(int guest, const QString &name);
    // The guest did something now.
    void Touch(int guest);
    // Null for a number no guest has, or a forgotten guest had.
    const TpartyGuest *Guest(int guest) const;
    // The guests not forgotten.
    int GuestCount() const;
    // The guests who did something in the last 15 minutes.
    int ActiveGuests() const;

    // --- requests ------------------------------------------------------------
    // A guest asks for record; playing is the track playing now (null when
    // none). A request that passes the rules is queued at RoundRobinRow, or
    // waits for approval when the host wants to approve.
    TrequestAnswer Request(int guest, TcustomTagger *record, const TcustomTagger *playing);
    const std::vector<TpendingRequest> &Pending() const { return m_pending; }
    // Queues a waiting request at its guest's turn; false when none has that id.
    bool Approve(quint64 id);
    // Drops a waiting request; false when none has that id.
    bool Reject(quint64 id);
    // The guest's requests in the queue and awaiting approval.
    int Waiting(int guest) const;
    // The queue row a new request of the guest joins: after everything the
    // host queued, and among the guests' requests in turns, one request of
    // every guest who asked per turn, the guest's own next turn.
    int RoundRobinRow(int guest) const;

    // --- what plays ---------------------------------------------------------
    // The player took record off the queue for requester. The record is held
    // until it starts: compared by address alone, a freed record's address
    // taken by a new one would name the wrong guest.
    void TrackChosen(TcustomTagger *record, const TqueueRequester &requester);
    // record began to play: the repeat interval starts and the votes end.
    void TrackStarted(const TcustomTagger *record);
    // Who asked for the track playing now (nobody for the host's).
    const TqueueRequester &PlayingRequester() const { return m_playingRequester; }

    // --- voting to skip -------------------------------------------------------
    // A guest votes to skip the playing track; a second vote of the same
    // guest counts once.
    TskipVote Vote(int guest, bool trackPlaying);
    TskipVote SkipVotes(bool trackPlaying) const;
    bool HasVoted(int guest) const { return m_votes.count(guest) != 0; }

private:
    qint64 now() const { return m_clock(); }
    bool isActive(const TpartyGuest &guest) const;
    bool isForgotten(const TpartyGuest &guest) const;
    void forgetIdle();
    // Forgets the guest idle longest if that guest is not active.
    bool makeRoom();
    void forgetAll();
    TrequestAnswer queueFor(const TqueueRequester &requester, TcustomTagger *record);

    TtaggerQueue &m_queue;
    Tclock m_clock;
    TpartySettings m_settings;
    // By number.
    std::map<int, TpartyGuest> m_guests;
    int m_nextGuest = 1;
    std::vector<TpendingRequest> m_pending;
    quint64 m_nextRequestId = 1;
    // When each file last began to play.
    QHash<QString, qint64> m_lastStarted;
    TtaggerRef m_chosen;
    TqueueRequester m_chosenRequester;
    TqueueRequester m_playingRequester;
    std::set<int> m_votes;
};

// Milliseconds of the system's steady clock.
qint64 SteadyClockMs();

// A guest's name as the party shows it: control and formatting characters
// dropped, runs of spaces made one, trimmed, at most kMaxNameLength
// characters (never half a character).
QString GuestName(const QString &raw);
