#include "party/guestApi.h"

#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "metadata/customTagger.h"
#include "party/guestAccess.h"
#include "party/guestLibrary.h"
#include "party/partyState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>

namespace {

QString refusalText(const TrequestAnswer &answer, int limit)
{
    switch (answer.Outcome) {
    case TrequestOutcome::Queued:
        return QStringLiteral("Added to the queue.");
    case TrequestOutcome::AwaitingApproval:
        return QStringLiteral("Sent to the host for approval.");
    case TrequestOutcome::PartyClosed:
        return QStringLiteral("The party is not taking requests.");
    case TrequestOutcome::UnknownGuest:
        return QStringLiteral("Tell the jukebox your name first.");
    case TrequestOutcome::LimitReached:
        return QStringLiteral("You have %1 requests waiting, the most the host allows. Ask again when one has played.")
            .arg(limit);
    case TrequestOutcome::AlreadyQueued:
        return QStringLiteral("That one is already in the queue.");
    case TrequestOutcome::PlayingNow:
        return QStringLiteral("That one is playing right now.");
    case TrequestOutcome::RecentlyPlayed: {
        const qint64 minutes = std::max<qint64>(1, (answer.WaitMs + 59999) / 60000);
        return QStringLiteral("That one played recently. It can be asked for again in %1 minute%2.")
            .arg(minutes)
            .arg(minutes == 1 ? "" : "s");
    }
    }
    return QString();
}

const char *outcomeCode(TrequestOutcome outcome)
{
    switch (outcome) {
    case TrequestOutcome::Queued:
        return "queued";
    case TrequestOutcome::AwaitingApproval:
        return "awaiting-approval";
    case TrequestOutcome::PartyClosed:
        return "party-closed";
    case TrequestOutcome::UnknownGuest:
        return "join-first";
    case TrequestOutcome::LimitReached:
        return "limit-reached";
    case TrequestOutcome::AlreadyQueued:
        return "already-queued";
    case TrequestOutcome::PlayingNow:
        return "playing-now";
    case TrequestOutcome::RecentlyPlayed:
        return "recently-played";
    }
    return "refused";
}

TpartyReply libraryBusy()
{
    TpartyReply reply
        = ErrorReply(503, "library-updating", QStringLiteral("The library is being updated: try again in a moment."));
    reply.headers.emplace_back(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("2"));
    return reply;
}

TpartyReply joinFirst()
{
    return ErrorReply(403, "join-first", QStringLiteral("Tell the jukebox your name first."));
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

TguestApi::TguestApi(TdmMain &core)
    : m_core(core)
    , m_key(QRandomGenerator::system()->generate64())
{
}

TguestApi::~TguestApi() = default;

// --- the calls ------------------------------------------------------------------------

TapiAnswer TguestApi::Answer(const TapiCall &call, const TapiCaller &caller)
{
    if (caller.guest)
        m_core.GuestActive(caller.guest);
    switch (call.kind) {
    case TapiKind::Join:
        return join(call, caller);
    case TapiKind::State:
        return { JsonReply(200, stateFor(caller.guest)) };
    case TapiKind::Search:
        return { search(call) };
    case TapiKind::Artists:
        return { artists(call) };
    case TapiKind::Albums:
        return { albums(call) };
    case TapiKind::Tracks:
        return { tracks(call) };
    case TapiKind::Cover:
        return { cover(call) };
    case TapiKind::Request:
        return { request(call, caller.guest) };
    case TapiKind::Vote:
        return { vote(caller.guest) };
    }
    return { ErrorReply(404, "not-found", QStringLiteral("No such call.")) };
}

TapiAnswer TguestApi::join(const TapiCall &call, const TapiCaller &caller)
{
    if (caller.guest) {
        if (!m_core.RenameGuest(caller.guest, call.text))
            return { ErrorReply(400, "bad-name", QStringLiteral("That name cannot be used.")) };
        return { JsonReply(200, stateFor(caller.guest)) };
    }
    if (GuestName(call.text).isEmpty())
        return { ErrorReply(400, "bad-name", QStringLiteral("That name cannot be used.")) };
    // Each join takes a place in the core's guest list until the guest is
    // forgotten: one place may not fill the list.
    if (caller.mayJoin && !caller.mayJoin()) {
        TpartyReply reply
            = ErrorReply(429, "too-many-joins", QStringLiteral("Too many new guests from here: wait a minute."));
        reply.headers.emplace_back(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("60"));
        return { reply };
    }
    const int joined = m_core.JoinParty(call.text);
    if (!joined)
        return { ErrorReply(503, "party-full", QStringLiteral("The party is full.")) };
    return { JsonReply(200, stateFor(joined)), joined };
}

TpartyReply TguestApi::search(const TapiCall &call)
{
    const TguestLibrary *guests = library();
    if (!guests)
        return libraryBusy();
    QJsonArray results;
    for (const int index : guests->Search(call.text, call.count))
        results.append(GuestTrackJson(*guests->Track(index).record, m_key));
    QJsonObject object;
    object.insert(QStringLiteral("query"), call.text);
    object.insert(QStringLiteral("tracks"), results);
    return JsonReply(200, object);
}

TpartyReply TguestApi::artists(const TapiCall &call)
{
    const TguestLibrary *guests = library();
    if (!guests)
        return libraryBusy();
    const std::vector<TguestArtist> &artists = guests->Artists();
    QJsonArray page;
    for (size_t i = size_t(call.offset); i < artists.size() && page.size() < call.count; ++i) {
        QJsonObject artist;
        artist.insert(QStringLiteral("id"), QString::fromLatin1(IdText(artists[i].id)));
        artist.insert(QStringLiteral("name"), artists[i].name);
        artist.insert(QStringLiteral("albums"), int(artists[i].albums.size()));
        artist.insert(QStringLiteral("tracks"), artists[i].tracks);
        page.append(artist);
    }
    QJsonObject object;
    object.insert(QStringLiteral("total"), int(artists.size()));
    object.insert(QStringLiteral("offset"), call.offset);
    object.insert(QStringLiteral("artists"), page);
    return JsonReply(200, object);
}

TpartyReply TguestApi::albums(const TapiCall &call)
{
    const TguestLibrary *guests = library();
    if (!guests)
        return libraryBusy();
    const TguestArtist *artist = guests->ArtistById(call.id);
    if (!artist)
        return ErrorReply(404, "not-found", QStringLiteral("No such artist."));
    QJsonArray albums;
    for (const int index : artist->albums) {
        const TguestAlbum &album = guests->Albums()[size_t(index)];
        QJsonObject entry;
        entry.insert(QStringLiteral("id"), QString::fromLatin1(IdText(album.id)));
        entry.insert(QStringLiteral("name"), album.name);
        entry.insert(QStringLiteral("artist"), album.artist);
        entry.insert(QStringLiteral("tracks"), album.album->Count());
        entry.insert(QStringLiteral("cover"),
            QString::fromLatin1(IdText(GuestTrackId(album.album->Items(0)->Filename(), m_key))));
        albums.append(entry);
    }
    QJsonObject object;
    object.insert(QStringLiteral("artist"), artist->name);
    object.insert(QStringLiteral("albums"), albums);
    return JsonReply(200, object);
}

TpartyReply TguestApi::tracks(const TapiCall &call)
{
    const TguestLibrary *guests = library();
    if (!guests)
        return libraryBusy();
    const TguestAlbum *album = guests->AlbumById(call.id);
    if (!album)
        return ErrorReply(404, "not-found", QStringLiteral("No such album."));
    QJsonArray list;
    for (const TcustomTagger *record : album->album->Records())
        list.append(GuestTrackJson(*record, m_key));
    QJsonObject object;
    object.insert(QStringLiteral("album"), album->name);
    object.insert(QStringLiteral("artist"), album->artist);
    object.insert(QStringLiteral("tracks"), list);
    return JsonReply(200, object);
}

TpartyReply TguestApi::cover(const TapiCall &call)
{
    const TtaggerRef record = trackById(call.id);
    const QByteArray jpeg
        = record ? m_covers.Cover(*record, m_core.Settings().CoverArtFolder, call.count) : QByteArray();
    if (jpeg.isEmpty())
        return ErrorReply(404, "no-cover", QStringLiteral("No cover for that track."));
    TpartyReply reply { 200, QByteArrayLiteral("image/jpeg"), jpeg, {} };
    reply.headers.emplace_back(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("private, max-age=3600"));
    return reply;
}

TpartyReply TguestApi::request(const TapiCall &call, int guest)
{
    if (!guest)
        return joinFirst();
    if (!m_libraryReady)
        return libraryBusy();
    const TtaggerRef record = trackById(call.id);
    if (!record)
        return ErrorReply(404, "not-found", QStringLiteral("No such track."));
    const TrequestAnswer answer = m_core.RequestTrack(guest, record.get());
    QJsonObject object;
    object.insert(QStringLiteral("status"), QString::fromLatin1(outcomeCode(answer.Outcome)));
    object.insert(QStringLiteral("message"), refusalText(answer, m_core.PartySettings().RequestsPerGuest));
    object.insert(QStringLiteral("track"), GuestTrackJson(*record, m_key));
    if (answer.Outcome == TrequestOutcome::Queued)
        object.insert(QStringLiteral("position"), answer.Row + 1);
    if (answer.Accepted())
        return JsonReply(answer.Outcome == TrequestOutcome::Queued ? 200 : 202, object);
    object.insert(QStringLiteral("error"), QString::fromLatin1(outcomeCode(answer.Outcome)));
    if (answer.Outcome == TrequestOutcome::RecentlyPlayed)
        object.insert(QStringLiteral("waitMs"), answer.WaitMs);
    return JsonReply(answer.Outcome == TrequestOutcome::UnknownGuest ? 403 : 409, object);
}

TpartyReply TguestApi::vote(int guest)
{
    if (!guest)
        return joinFirst();
    const TskipVote vote = m_core.VoteToSkip(guest);
    if (!vote.Open)
        return ErrorReply(409, "voting-closed", QStringLiteral("There is no vote to skip now."));
    QJsonObject object;
    object.insert(QStringLiteral("votes"), vote.Votes);
    object.insert(QStringLiteral("needed"), vote.Needed);
    object.insert(QStringLiteral("skipped"), vote.Skipped);
    return JsonReply(200, object);
}

// --- the state -------------------------------------------------------------------------

QJsonObject TguestApi::stateFor(int guest) const
{
    QJsonObject state = PartyStateJson(m_core, m_key);
    state.insert(QStringLiteral("me"), GuestStateJson(m_core, guest, m_key));
    return state;
}

QByteArray TguestApi::LiveState(int guest) const
{
    return compact(stateFor(guest));
}

QByteArray TguestApi::SharedState() const
{
    QByteArray shared = compact(PartyStateJson(m_core, m_key));
    // Open: each page's own part closes it.
    shared.chop(1);
    return shared;
}

QByteArray TguestApi::LiveState(const QByteArray &shared, int guest) const
{
    const QJsonValue me = GuestStateJson(m_core, guest, m_key);
    return shared + ",\"me\":" + (me.isObject() ? compact(me.toObject()) : QByteArrayLiteral("null")) + '}';
}

// --- the library -----------------------------------------------------------------------

const TguestLibrary *TguestApi::library()
{
    if (!m_libraryReady)
        return nullptr;
    if (!m_library)
        m_library = std::make_unique<TguestLibrary>(m_core.jblMain(), m_key);
    return m_library.get();
}

void TguestApi::PrepareLibrary()
{
    library();
}

void TguestApi::LibraryChanging()
{
    m_libraryReady = false;
    m_library.reset();
}

void TguestApi::ListsUpdated()
{
    m_libraryReady = true;
    m_library.reset();
}

void TguestApi::LibraryChanged(const TlibraryChanges &changes)
{
    // Not built yet: it is built from the library as it is now when asked.
    if (m_library)
        m_library->Apply(m_core.jblMain(), changes);
}

TtaggerRef TguestApi::trackById(quint64 id)
{
    if (const TguestLibrary *guests = library()) {
        if (TcustomTagger *record = guests->TrackById(id))
            return TtaggerRef(record);
    }
    // What is queued, plays or waits may have left the library.
    for (TcustomTagger *record : m_core.tqQueue().Records()) {
        if (GuestTrackId(record->Filename(), m_key) == id)
            return TtaggerRef(record);
    }
    for (const TpendingRequest &request : m_core.Party().Pending()) {
        if (GuestTrackId(request.Record->Filename(), m_key) == id)
            return request.Record;
    }
    const TtaggerRef &playing = m_core.NowPlaying().track;
    if (playing && GuestTrackId(playing->Filename(), m_key) == id)
        return playing;
    return TtaggerRef();
}
