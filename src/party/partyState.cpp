#include "party/partyState.h"

#include "core/dmMain.h"
#include "metadata/customTagger.h"
#include "party/guestLibrary.h"
#include "party/partyApi.h"
#include "playback/vorlenStream.h"

#include <algorithm>
#include <cmath>

namespace {

QString stateText(TstreamState state)
{
    switch (state) {
    case ssPlaying:
        return QStringLiteral("playing");
    case ssPaused:
        return QStringLiteral("paused");
    default:
        return QStringLiteral("stopped");
    }
}

void addRequester(QJsonObject &track, const TqueueRequester &requester)
{
    track.insert(QStringLiteral("guest"), requester.guest);
    track.insert(QStringLiteral("requestedBy"), requester.IsGuest() ? QJsonValue(requester.name) : QJsonValue());
}

} // namespace

QJsonObject GuestTrackJson(const TcustomTagger &record, quint64 key)
{
    QJsonObject track;
    track.insert(QStringLiteral("id"), QString::fromLatin1(IdText(GuestTrackId(record.Filename(), key))));
    track.insert(QStringLiteral("title"), GuestTitle(record));
    track.insert(QStringLiteral("artist"), record.Artist());
    track.insert(QStringLiteral("album"), record.Album());
    track.insert(QStringLiteral("durationMs"), qint64(std::max(0.0, std::round(record.Duration()))));
    return track;
}

QJsonObject PartyStateJson(const TdmMain &core, quint64 key)
{
    const TpartySettings &settings = core.PartySettings();
    QJsonObject party;
    party.insert(QStringLiteral("open"), settings.Enabled);
    party.insert(QStringLiteral("requestsPerGuest"), settings.RequestsPerGuest);
    party.insert(QStringLiteral("repeatMinutes"), settings.RepeatMinutes);
    party.insert(QStringLiteral("approval"), settings.NeedApproval);
    party.insert(QStringLiteral("voteToSkip"), settings.VoteToSkip);

    QJsonObject state;
    state.insert(QStringLiteral("party"), party);
    const TvorlenStream *stream = core.PlayingStream();
    const TcustomTagger *track = core.NowPlaying().track.get();
    if (stream && track) {
        QJsonObject playing = GuestTrackJson(*track, key);
        if (stream->LengthMs() > 0)
            playing.insert(QStringLiteral("durationMs"), qint64(stream->LengthMs()));
        playing.insert(QStringLiteral("positionMs"), qint64(stream->GetPosition()));
        playing.insert(QStringLiteral("state"), stateText(core.PlayState()));
        addRequester(playing, core.Party().PlayingRequester());
        state.insert(QStringLiteral("playing"), playing);
    } else {
        state.insert(QStringLiteral("playing"), QJsonValue());
    }

    const TtaggerQueue &queue = core.tqQueue();
    QJsonArray entries;
    for (int row = 0; row < std::min(queue.Count(), kQueueShown); ++row) {
        QJsonObject entry = GuestTrackJson(*queue.Items(row), key);
        addRequester(entry, queue.Requester(row));
        entries.append(entry);
    }
    state.insert(QStringLiteral("queue"), entries);
    state.insert(QStringLiteral("queueLength"), queue.Count());
    state.insert(QStringLiteral("guests"), core.Party().ActiveGuests());

    const TskipVote vote = core.SkipVotes();
    QJsonObject votes;
    votes.insert(QStringLiteral("open"), vote.Open);
    votes.insert(QStringLiteral("votes"), vote.Votes);
    votes.insert(QStringLiteral("needed"), vote.Needed);
    state.insert(QStringLiteral("votes"), votes);
    return state;
}

QJsonValue GuestStateJson(const TdmMain &core, int guest, quint64 key)
{
    const TguestRequests &party = core.Party();
    const TpartyGuest *who = party.Guest(guest);
    if (!who)
        return QJsonValue();
    QJsonObject me;
    me.insert(QStringLiteral("guest"), who->Number);
    me.insert(QStringLiteral("name"), who->Name);
    me.insert(QStringLiteral("waiting"), party.Waiting(guest));
    me.insert(QStringLiteral("limit"), party.Settings().RequestsPerGuest);
    QJsonArray pending;
    for (const TpendingRequest &request : party.Pending()) {
        if (request.Requester.guest == guest)
            pending.append(GuestTrackJson(*request.Record, key));
    }
    me.insert(QStringLiteral("pending"), pending);
    me.insert(QStringLiteral("voted"), party.HasVoted(guest));
    return me;
}
