// The core's party mode: the host's settings, the guests' server's status,
// and the guests' requests and votes, each announced as PartyChanged.
#include "core/dmMain.h"

#include "playback/crossPlayer.h"

void TdmMain::SetPartySettings(const TpartySettings &settings)
{
    const TpartySettings bounded = BoundedPartySettings(settings);
    if (bounded == m_party->Settings())
        return;
    const bool opening = bounded.Enabled && !m_party->Settings().Enabled;
    // Requests granted as approval ends reach the faces as QueueChanged.
    m_party->SetSettings(bounded);
    m_listeners.Raise(&TcoreListener::PartyChanged);
    if (opening)
        m_ui.ShowWindow(TcoreWindow::PartyWindow);
}

void TdmMain::SetPartyStatus(const TpartyStatus &status)
{
    if (status == m_partyStatus)
        return;
    m_partyStatus = status;
    m_listeners.Raise(&TcoreListener::PartyChanged);
}

int TdmMain::JoinParty(const QString &name)
{
    const int guest = m_party->Join(name);
    if (guest)
        m_listeners.Raise(&TcoreListener::PartyChanged);
    return guest;
}

bool TdmMain::RenameGuest(int guest, const QString &name)
{
    if (!m_party->Rename(guest, name))
        return false;
    m_listeners.Raise(&TcoreListener::PartyChanged);
    return true;
}

void TdmMain::GuestActive(int guest)
{
    m_party->Touch(guest);
}

TrequestAnswer TdmMain::RequestTrack(int guest, TcustomTagger *record)
{
    const TrequestAnswer answer = m_party->Request(guest, record, m_nowPlaying.track.get());
    // A queued request reached the faces as QueueChanged already.
    if (answer.Outcome == TrequestOutcome::AwaitingApproval)
        m_listeners.Raise(&TcoreListener::PartyChanged);
    return answer;
}

bool TdmMain::ApproveRequest(quint64 id)
{
    if (!m_party->Approve(id))
        return false;
    m_listeners.Raise(&TcoreListener::PartyChanged);
    return true;
}

bool TdmMain::RejectRequest(quint64 id)
{
    if (!m_party->Reject(id))
        return false;
    m_listeners.Raise(&TcoreListener::PartyChanged);
    return true;
}

TskipVote TdmMain::VoteToSkip(int guest)
{
    const TskipVote vote = m_party->Vote(guest, PlayingStream() != nullptr);
    if (vote.Open)
        m_listeners.Raise(&TcoreListener::PartyChanged);
    if (vote.Skipped)
        Skip();
    return vote;
}

TskipVote TdmMain::SkipVotes() const
{
    return m_party->SkipVotes(PlayingStream() != nullptr);
}
