#pragma once

#include "metadata/taggerRef.h"
#include "party/coverImages.h"
#include "party/partyApi.h"

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <memory>

class TdmMain;
class TguestLibrary;
struct TlibraryChanges;

// Who makes a call, as the server's transport knows it.
struct TapiCaller {
    // The guest of the browser's cookie; 0 for a browser that has not joined.
    int guest = 0;
    // Whether one more guest may join from where the call came.
    std::function<bool()> mayJoin;
};

struct TapiAnswer {
    TpartyReply reply;
    // A Join that made a new guest: the transport gives the browser a
    // cookie for it.
    int joined = 0;
};

// The guests' API over the core: each call of TapiKind becomes the core's
// operation, and its answer the JSON the guests' page reads (the state's
// own JSON is partyState's). It keeps what the calls read: the library as
// guests search it, following the library's changes, and the covers.
// Nothing here knows of sockets, cookies or rate limits: the server's
// transport reads the calls, says who makes them and writes the answers.
//
// Ids are keyed per instance (one per server), so they tell nothing about a
// path and differ from one party to the next.
//
// GUI thread only.
class TguestApi {
public:
    explicit TguestApi(TdmMain &core);
    ~TguestApi();
    TguestApi(const TguestApi &) = delete;
    TguestApi &operator=(const TguestApi &) = delete;

    TapiAnswer Answer(const TapiCall &call, const TapiCaller &caller);

    // What a live page shows, as GET /api/state answers: what all guests see
    // once for every page (SharedState), then each page's own.
    QByteArray LiveState(int guest) const;
    QByteArray SharedState() const;
    QByteArray LiveState(const QByteArray &shared, int guest) const;

    // --- the library ------------------------------------------------------
    // Calls that read the library are refused from LibraryChanging to
    // ListsUpdated; the guests' library is built again when next needed.
    void LibraryChanging();
    void ListsUpdated();
    void LibraryChanged(const TlibraryChanges &changes);
    // Builds the guests' library now, if it is not built and may be: the
    // first guest to search does not wait for it.
    void PrepareLibrary();

private:
    const TguestLibrary *library();
    TtaggerRef trackById(quint64 id);
    QJsonObject stateFor(int guest) const;
    TapiAnswer join(const TapiCall &call, const TapiCaller &caller);
    TpartyReply search(const TapiCall &call);
    TpartyReply artists(const TapiCall &call);
    TpartyReply albums(const TapiCall &call);
    TpartyReply tracks(const TapiCall &call);
    TpartyReply cover(const TapiCall &call);
    TpartyReply request(const TapiCall &call, int guest);
    TpartyReply vote(int guest);

    TdmMain &m_core;
    quint64 m_key;
    std::unique_ptr<TguestLibrary> m_library;
    // The library's lists may be touched: not between LibraryChanging and
    // ListsUpdated.
    bool m_libraryReady = true;
    TcoverImages m_covers;
};
