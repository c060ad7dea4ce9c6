#include "party/partyApi.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QUrlQuery>
#include <algorithm>
#include <iterator>

namespace {

TapiError error(int status, const char *code, const QString &message)
{
    return TapiError { status, QByteArray(code), message };
}

// A non-negative number of at most six digits; fallback when absent, -1
// when malformed.
int numberParameter(const QUrlQuery &query, const QString &key, int fallback)
{
    if (!query.hasQueryItem(key))
        return fallback;
    const QString text = query.queryItemValue(key, QUrl::FullyDecoded);
    if (text.isEmpty() || text.size() > 6
        || !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return -1;
    return text.toInt();
}

std::variant<QJsonObject, TapiError> jsonBody(const QByteArray &body, QByteArrayView contentType)
{
    // Only a JSON body: a form on another site cannot send one without the
    // browser asking first, which this server never allows.
    const qsizetype semicolon = contentType.indexOf(';');
    const QByteArrayView type = (semicolon < 0 ? contentType : contentType.first(semicolon)).trimmed();
    if (type.compare("application/json", Qt::CaseInsensitive) != 0)
        return error(415, "unsupported-media-type", QStringLiteral("The body must be JSON (application/json)."));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return error(400, "bad-json", QStringLiteral("The body must be a JSON object."));
    return document.object();
}

} // namespace

QByteArray IdText(quint64 id)
{
    return QByteArray::number(id, 16).rightJustified(16, '0');
}

quint64 IdFromText(QStringView text)
{
    if (text.isEmpty() || text.size() > 16)
        return 0;
    quint64 id = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit < 0)
            return 0;
        id = id * 16 + quint64(digit);
    }
    return id;
}

QByteArray ApiErrorJson(const TapiError &error)
{
    QJsonObject object;
    object.insert(QStringLiteral("error"), QString::fromLatin1(error.code));
    object.insert(QStringLiteral("message"), error.message);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

TpartyReply JsonReply(int status, const QJsonObject &object)
{
    return TpartyReply { status, QByteArrayLiteral("application/json"),
        QJsonDocument(object).toJson(QJsonDocument::Compact), {} };
}

TpartyReply ErrorReply(const TapiError &error)
{
    return TpartyReply { error.status, QByteArrayLiteral("application/json"), ApiErrorJson(error), {} };
}

TpartyReply ErrorReply(int status, const char *code, const QString &message)
{
    return ErrorReply(TapiError { status, QByteArray(code), message });
}

std::variant<TapiCall, TapiError> ParseApiCall(QByteArrayView method, const QString &path, const QUrlQuery &query,
    const QByteArray &body, QByteArrayView contentType)
{
    struct Route {
        const char *path;
        TapiKind kind;
        bool post;
    };
    static const Route routes[] = {
        { "/api/join", TapiKind::Join, true },
        { "/api/state", TapiKind::State, false },
        { "/api/search", TapiKind::Search, false },
        { "/api/artists", TapiKind::Artists, false },
        { "/api/albums", TapiKind::Albums, false },
        { "/api/tracks", TapiKind::Tracks, false },
        { "/api/cover", TapiKind::Cover, false },
        { "/api/request", TapiKind::Request, true },
        { "/api/vote", TapiKind::Vote, true },
    };
    const auto route = std::find_if(
        std::begin(routes), std::end(routes), [&path](const Route &r) { return path == QLatin1String(r.path); });
    if (route == std::end(routes))
        return error(404, "not-found", QStringLiteral("No such call."));
    if (method != (route->post ? QByteArrayView("POST") : QByteArrayView("GET")))
        return error(
            405, "method-not-allowed", QStringLiteral("This call is made with %1.").arg(route->post ? "POST" : "GET"));

    TapiCall call;
    call.kind = route->kind;
    const auto idParameter
        = [&query](const QString &key) { return IdFromText(query.queryItemValue(key, QUrl::FullyDecoded)); };
    switch (route->kind) {
    case TapiKind::State:
        return call;
    case TapiKind::Search: {
        call.text = query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
        if (call.text.size() > kMaxQueryLength)
            return error(
                400, "query-too-long", QStringLiteral("A search is at most %1 characters.").arg(kMaxQueryLength));
        call.count = numberParameter(query, QStringLiteral("limit"), kSearchDefault);
        if (call.count < 1)
            return error(400, "bad-request", QStringLiteral("limit must be a positive number."));
        return call;
    }
    case TapiKind::Artists:
        call.offset = numberParameter(query, QStringLiteral("offset"), 0);
        call.count = numberParameter(query, QStringLiteral("count"), kMaxPageCount);
        if (call.offset < 0 || call.count < 1)
            return error(400, "bad-request", QStringLiteral("offset and count must be numbers."));
        call.count = std::min(call.count, kMaxPageCount);
        return call;
    case TapiKind::Albums:
    case TapiKind::Tracks:
    case TapiKind::Cover: {
        const QString key = route->kind == TapiKind::Albums ? QStringLiteral("artist")
            : route->kind == TapiKind::Tracks               ? QStringLiteral("album")
                                                            : QStringLiteral("track");
        call.id = idParameter(key);
        if (!call.id)
            return error(400, "bad-id", QStringLiteral("%1 must be an id.").arg(key));
        if (route->kind == TapiKind::Cover) {
            const int size = numberParameter(query, QStringLiteral("size"), kCoverSizes[1]);
            if (size < 1)
                return error(400, "bad-request", QStringLiteral("size must be a number of pixels."));
            // The smallest of the sizes kept that is at least as large.
            call.count = *std::find_if(
                std::begin(kCoverSizes), std::end(kCoverSizes) - 1, [size](int kept) { return kept >= size; });
        }
        return call;
    }
    case TapiKind::Join:
    case TapiKind::Request:
    case TapiKind::Vote:
        break;
    }

    const auto parsed = jsonBody(body, contentType);
    if (const TapiError *bad = std::get_if<TapiError>(&parsed))
        return *bad;
    const QJsonObject &object = std::get<QJsonObject>(parsed);
    if (route->kind == TapiKind::Join) {
        const QJsonValue name = object.value(QStringLiteral("name"));
        if (!name.isString())
            return error(400, "bad-name", QStringLiteral("A name is needed."));
        call.text = name.toString();
        if (call.text.size() > kMaxNameInput)
            return error(400, "bad-name", QStringLiteral("That name is too long."));
        return call;
    }
    if (route->kind == TapiKind::Request) {
        const QJsonValue track = object.value(QStringLiteral("track"));
        call.id = track.isString() ? IdFromText(track.toString()) : 0;
        if (!call.id)
            return error(400, "bad-id", QStringLiteral("track must be an id."));
    }
    return call;
}
