#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <utility>
#include <variant>
#include <vector>

class QJsonObject;
class QUrlQuery;

// The guests' JSON API under /api/ (documented in the README and the
// manual). Everything a guest can ask of the jukebox is one of these calls:
// there is no call that skips, pauses, changes the volume, deletes, changes
// a setting or names a file.
enum class TapiKind {
    // POST /api/join {"name": "..."}: the browser's guest takes a name.
    Join,
    // GET /api/state: now playing, the queue, the guest's own requests.
    State,
    // GET /api/search?q=TEXT[&limit=N]
    Search,
    // GET /api/artists[?offset=N&count=N]
    Artists,
    // GET /api/albums?artist=ID
    Albums,
    // GET /api/tracks?album=ID
    Tracks,
    // GET /api/cover?track=ID[&size=PIXELS]: the track's cover, scaled.
    Cover,
    // POST /api/request {"track": "ID"}
    Request,
    // POST /api/vote {}: a vote to skip the playing track.
    Vote,
};

struct TapiCall {
    TapiKind kind = TapiKind::State;
    // Join: the name as sent; Search: the query.
    QString text;
    // Albums: the artist; Tracks: the album; Cover, Request: the track.
    quint64 id = 0;
    // Artists: the first and how many; Search: how many; Cover: the size.
    int offset = 0;
    int count = 0;
};

struct TapiError {
    int status = 400;
    // A word the page can act on ("bad-request", "not-found" ...).
    QByteArray code;
    QString message;
};

// Limits of what a call may carry.
inline constexpr int kMaxQueryLength = 100;
inline constexpr int kMaxNameInput = 200;
inline constexpr int kMaxPageCount = 200;
inline constexpr int kSearchDefault = 25;
inline constexpr int kCoverSizes[] = { 96, 192, 384 };

// Reads one call from its method, path (below the server's root, decoded),
// query and, for POST, the body and its Content-Type. Anything that is not
// exactly a call of the API is an error: an unknown path (404), a wrong
// method (405), a body that is not a JSON object of the expected fields
// (400, 415), ids that are not 1 to 16 hexadecimal digits (400).
std::variant<TapiCall, TapiError> ParseApiCall(QByteArrayView method, const QString &path, const QUrlQuery &query,
    const QByteArray &body, QByteArrayView contentType);

// An id as it crosses the wire: 16 hexadecimal digits.
QByteArray IdText(quint64 id);
// 0 when text is not 1 to 16 hexadecimal digits.
quint64 IdFromText(QStringView text);

// The error as the JSON the API answers with: {"error": code, "message": text}.
QByteArray ApiErrorJson(const TapiError &error);

// One answer of the guests' server, before its transport writes it.
struct TpartyReply {
    int status = 200;
    QByteArray type = QByteArrayLiteral("application/json");
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

TpartyReply JsonReply(int status, const QJsonObject &object);
TpartyReply ErrorReply(const TapiError &error);
TpartyReply ErrorReply(int status, const char *code, const QString &message);
