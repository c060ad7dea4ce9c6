#include "core/guestRequests.h"

#include "metadata/customTagger.h"

#include <QHash>
#include <algorithm>
#include <chrono>

namespace {

const TqueueRequester kHost;

bool sameFile(const TcustomTagger *a, const TcustomTagger *b)
{
    return a && b && (a == b || a->Filename() == b->Filename());
}

} // namespace

qint64 SteadyClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString GuestName(const QString &raw)
{
    QString name;
    bool space = false;
    // By code point, so that a character outside the basic plane is kept or
    // dropped whole.
    for (const char32_t point : raw.toUcs4()) {
        switch (QChar::category(point)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_NotAssigned:
        case QChar::Other_PrivateUse:
        case QChar::Other_Surrogate:
            continue;
        default:
            break;
        }
        // What stands for a broken character (a lone surrogate) is none.
        if (point == QChar::ReplacementCharacter)
            continue;
        if (QChar::isSpace(point)) {
            space = !name.isEmpty();
            continue;
        }
        const QString character = QString::fromUcs4(&point, 1);
        if (name.size() + (space ? 1 : 0) + character.size() > TguestRequests::kMaxNameLength)
            break;
        if (space)
            name += u' ';
        space = false;
        name += character;
    }
    return name;
}

TguestRequests::TguestRequests(TtaggerQueue &queue, Tclock clock)
    : m_queue(queue)
    , m_clock(std::move(clock))
{
}

void TguestRequests::SetSettings(const TpartySettings &settings)
{
    const bool approvalEnds = m_settings.NeedApproval && !settings.NeedApproval;
    // Whoever had the old code is a stranger to the new one.
    if (settings.GuestCode != m_settings.GuestCode)
        forgetAll();
    m_settings = settings;
    if (!m_settings.VoteToSkip)
        m_votes.clear();
    // Requests the host no longer approves one by one are granted as they
    // stand, each at its guest's turn.
    if (approvalEnds) {
        while (!m_pending.empty())
            Approve(m_pending.front().Id);
    }
}

// --- guests ------------------------------------------------------------------

int TguestRequests::Join(const QString &name)
{
    const QString cleaned = GuestName(name);
    if (cleaned.isEmpty())
        return 0;
    forgetIdle();
    if (int(m_guests.size()) >= kMaxGuests && !makeRoom())
        return 0;
    TpartyGuest guest;
    guest.Number = m_nextGuest++;
    guest.Name = cleaned;
    guest.LastActiveMs = now();
    m_guests.emplace(guest.Number, guest);
    return guest.Number;
}

bool TguestRequests::Rename(int guest, const QString &name)
{
    const QString cleaned = GuestName(name);
    if (cleaned.isEmpty() || !Guest(guest))
        return false;
    m_guests[guest].Name = cleaned;
    return true;
}

void TguestRequests::Touch(int guest)
{
    if (Guest(guest))
        m_guests[guest].LastActiveMs = now();
}

const TpartyGuest *TguestRequests::Guest(int guest) const
{
    const auto it = m_guests.find(guest);
    // Forgotten once the time is up, whether or not a join has swept the
    // entry out yet.
    return it != m_guests.end() && !isForgotten(it->second) ? &it->second : nullptr;
}

int TguestRequests::GuestCount() const
{
    return int(std::count_if(
        m_guests.begin(), m_guests.end(), [this](const auto &entry) { return !isForgotten(entry.second); }));
}

bool TguestRequests::isActive(const TpartyGuest &guest) const
{
    return now() - guest.LastActiveMs <= kActiveWindowMs;
}

bool TguestRequests::isForgotten(const TpartyGuest &guest) const
{
    return now() - guest.LastActiveMs > kForgetAfterMs;
}

void TguestRequests::forgetIdle()
{
    for (auto it = m_guests.begin(); it != m_guests.end();) {
        if (isForgotten(it->second)) {
            m_votes.erase(it->first);
            it = m_guests.erase(it);
        } else {
            ++it;
        }
    }
}

bool TguestRequests::makeRoom()
{
    const auto idlest = std::min_element(m_guests.begin(), m_guests.end(),
        [](const auto &a, const auto &b) { return a.second.LastActiveMs < b.second.LastActiveMs; });
    if (idlest == m_guests.end() || isActive(idlest->second))
        return false;
    m_votes.erase(idlest->first);
    m_guests.erase(idlest);
    return true;
}

void TguestRequests::forgetAll()
{
    m_guests.clear();
    m_votes.clear();
}

int TguestRequests::ActiveGuests() const
{
    return int(
        std::count_if(m_guests.begin(), m_guests.end(), [this](const auto &entry) { return isActive(entry.second); }));
}

// --- requests ------------------------------------------------------------------

int TguestRequests::Waiting(int guest) const
{
    int waiting = 0;
    for (int row = 0; row < m_queue.Count(); ++row)
        waiting += m_queue.Requester(row).guest == guest ? 1 : 0;
    for (const TpendingRequest &request : m_pending)
        waiting += request.Requester.guest == guest ? 1 : 0;
    return waiting;
}

int TguestRequests::RoundRobinRow(int guest) const
{
    // Each entry's turn is how many of its guest's requests stand before it;
    // the new request takes the guest's next turn and goes after every
    // request of that turn or an earlier one.
    QHash<int, int> turns;
    int afterHost = 0;
    int afterTurn = 0;
    const int count = m_queue.Count();
    for (int row = 0; row < count; ++row) {
        const TqueueRequester &requester = m_queue.Requester(row);
        if (!requester.IsGuest()) {
            afterHost = row + 1;
            continue;
        }
        ++turns[requester.guest];
    }
    const int turn = turns.value(guest) + 1;
    turns.clear();
    for (int row = 0; row < count; ++row) {
        const TqueueRequester &requester = m_queue.Requester(row);
        if (requester.IsGuest() && ++turns[requester.guest] <= turn)
            afterTurn = row + 1;
    }
    return std::max(afterHost, afterTurn);
}

TrequestAnswer TguestRequests::queueFor(const TqueueRequester &requester, TcustomTagger *record)
{
    TrequestAnswer answer;
    answer.Outcome = TrequestOutcome::Queued;
    answer.Row = RoundRobinRow(requester.guest);
    m_queue.InsertRequested(answer.Row, record, requester);
    return answer;
}

TrequestAnswer TguestRequests::Request(int guest, TcustomTagger *record, const TcustomTagger *playing)
{
    TrequestAnswer answer;
    if (!m_settings.Enabled || !record)
        return answer;
    const TpartyGuest *who = Guest(guest);
    if (!who) {
        answer.Outcome = TrequestOutcome::UnknownGuest;
        return answer;
    }
    Touch(guest);
    if (sameFile(record, playing)) {
        answer.Outcome = TrequestOutcome::PlayingNow;
        return answer;
    }
    const auto &queued = m_queue.Records();
    const bool inQueue
        = std::any_of(queued.begin(), queued.end(), [record](const TcustomTagger *r) { return sameFile(r, record); });
    const bool inPending = std::any_of(m_pending.begin(), m_pending.end(),
        [record](const TpendingRequest &p) { return sameFile(p.Record.get(), record); });
    if (inQueue || inPending) {
        answer.Outcome = TrequestOutcome::AlreadyQueued;
        return answer;
    }
    const auto started = m_lastStarted.constFind(record->Filename());
    if (started != m_lastStarted.constEnd()) {
        const qint64 until = *started + qint64(m_settings.RepeatMinutes) * 60000;
        if (now() < until) {
            answer.Outcome = TrequestOutcome::RecentlyPlayed;
            answer.WaitMs = until - now();
            return answer;
        }
    }
    if (Waiting(guest) >= m_settings.RequestsPerGuest) {
        answer.Outcome = TrequestOutcome::LimitReached;
        return answer;
    }
    const TqueueRequester requester { guest, who->Name };
    if (!m_settings.NeedApproval)
        return queueFor(requester, record);
    m_pending.push_back(TpendingRequest { m_nextRequestId++, requester, TtaggerRef(record), now() });
    answer.Outcome = TrequestOutcome::AwaitingApproval;
    return answer;
}

bool TguestRequests::Approve(quint64 id)
{
    const auto it = std::find_if(m_pending.begin(), m_pending.end(), [id](const auto &p) { return p.Id == id; });
    if (it == m_pending.end())
        return false;
    const TpendingRequest request = *it;
    m_pending.erase(it);
    queueFor(request.Requester, request.Record.get());
    return true;
}

bool TguestRequests::Reject(quint64 id)
{
    const auto it = std::find_if(m_pending.begin(), m_pending.end(), [id](const auto &p) { return p.Id == id; });
    if (it == m_pending.end())
        return false;
    m_pending.erase(it);
    return true;
}

// --- what plays ------------------------------------------------------------------

void TguestRequests::TrackChosen(TcustomTagger *record, const TqueueRequester &requester)
{
    m_chosen = TtaggerRef(record);
    m_chosenRequester = requester;
}

void TguestRequests::TrackStarted(const TcustomTagger *record)
{
    m_votes.clear();
    m_playingRequester = record && record == m_chosen.get() ? m_chosenRequester : kHost;
    m_chosen.reset();
    m_chosenRequester = kHost;
    if (record)
        m_lastStarted.insert(record->Filename(), now());
}

// --- voting to skip ------------------------------------------------------------------

TskipVote TguestRequests::SkipVotes(bool trackPlaying) const
{
    TskipVote vote;
    vote.Open = m_settings.Enabled && m_settings.VoteToSkip && trackPlaying;
    vote.Needed = ActiveGuests() / 2 + 1;
    for (const int voter : m_votes) {
        const TpartyGuest *guest = Guest(voter);
        vote.Votes += guest && isActive(*guest) ? 1 : 0;
    }
    return vote;
}

TskipVote TguestRequests::Vote(int guest, bool trackPlaying)
{
    if (!Guest(guest))
        return SkipVotes(trackPlaying);
    Touch(guest);
    TskipVote vote = SkipVotes(trackPlaying);
    if (!vote.Open)
        return vote;
    m_votes.insert(guest);
    vote = SkipVotes(trackPlaying);
    if (vote.Votes >= vote.Needed) {
        vote.Skipped = true;
        m_votes.clear();
    }
    return vote;
}
