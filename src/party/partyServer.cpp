#include "party/partyServer.h"

#include "core/dmMain.h"
#include "party/guestAccess.h"
#include "party/guestApi.h"
#include "party/partyAddress.h"
#include "party/partyApi.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

const QByteArray kCodeCookie = QByteArrayLiteral("vorlen_code");
const QByteArray kGuestCookie = QByteArrayLiteral("vorlen_guest");
constexpr int kMaxLivePages = 600;
constexpr qint64 kMaxLiveMessage = 1024;
constexpr int kSweepMs = 1000;
// Set on a connection whose WebSocket upgrade the party server let through.
constexpr char kLiveAllowed[] = "vorlenLiveAllowed";

QByteArray resource(const QString &name)
{
    QFile file(QStringLiteral(":/party/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page's files, compiled in.
struct TstaticFile {
    const char *path;
    const char *resource;
    const char *type;
};
const TstaticFile kStaticFiles[] = {
    { "/", "index.html", "text/html; charset=utf-8" },
    { "/guest.js", "guest.js", "text/javascript; charset=utf-8" },
    { "/guest.css", "guest.css", "text/css; charset=utf-8" },
    { "/icon.svg", "icon.svg", "image/svg+xml" },
};

// An address as one client: an IPv4 address that reached an IPv6 socket is
// still that IPv4 address.
QByteArray addressKey(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return (isV4 ? QHostAddress(v4) : address).toString().toLatin1();
}

bool isWebSocketUpgrade(const QHttpServerRequest &request)
{
    return request.value(QByteArrayLiteral("Upgrade")).compare("websocket", Qt::CaseInsensitive) == 0;
}

// The HTTP server proper (Qt's), answering through the party server. Qt asks
// it about a WebSocket upgrade before it takes the connection over: true
// lets the upgrade go ahead, and nothing may be written then. Qt logs a
// warning for every upgrade refused here, so the party server answers
// unwelcome upgrades itself before Qt reads them (bytesArrived) and marks
// the connections it lets through; what comes here unmarked gets its answer
// in missingHandler.
class ThttpFront : public QAbstractHttpServer {
public:
    using Thandler = std::function<void(const QHttpServerRequest &, QTcpSocket *)>;
    ThttpFront(Thandler handler, Thandler refuser)
        : m_handler(std::move(handler))
        , m_refuser(std::move(refuser))
    {
    }

    static QHttpServerResponder responder(const QHttpServerRequest &request, QTcpSocket *socket)
    {
        return makeResponder(request, socket);
    }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        if (isWebSocketUpgrade(request))
            return socket->property(kLiveAllowed).toBool();
        m_handler(request, socket);
        return true;
    }
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override { m_refuser(request, socket); }

private:
    Thandler m_handler;
    Thandler m_refuser;
};

// The listening socket: each new connection is shown to the party server
// before the HTTP server reads a byte of it.
class TguardedListener : public QTcpServer {
public:
    std::function<bool(QTcpSocket *)> OnConnection;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (OnConnection && !OnConnection(socket))
            return;
        addPendingConnection(socket);
    }
};

} // namespace

struct TpartyServer::Private {
    Private(TpartyServer &server, TdmMain &core, TpartyServerOptions options);

    // --- listening -------------------------------------------------------------
    void follow();
    bool start();
    void stop();
    // Closes every guest's connection, open requests and live pages alike.
    void dropConnections();
    void report();

    // --- connections -------------------------------------------------------------
    struct Tconnection {
        QPointer<QTcpSocket> socket;
        ThttpGuard guard;
        QByteArray address;
        qint64 openedMs = 0;
        qint64 lastMs = 0;
        qint64 headSinceMs = -1;
    };
    bool admit(QTcpSocket *socket);
    void bytesArrived(QTcpSocket *socket);
    // Answers and closes the connection before Qt's server reads what came.
    void refuseConnection(QTcpSocket *socket, const TpartyReply &reply, bool headOnly);
    void refuseConnection(QTcpSocket *socket, int status, const QByteArray &reason, bool headOnly);
    void sweep();

    // --- requests ------------------------------------------------------------------
    void handle(const QHttpServerRequest &request, QTcpSocket *socket);
    TpartyReply answer(const QHttpServerRequest &request);
    TpartyReply api(const QHttpServerRequest &request, const QByteArray &address, int guest, const QByteArray &method);
    TpartyReply codePage(int status, const QString &message);
    void write(const QHttpServerRequest &request, QTcpSocket *socket, TpartyReply reply);
    // Builds the guests' library soon, so that the first guest to search
    // does not wait for it.
    void prepareLibrary();

    // --- live pages ----------------------------------------------------------------
    struct TlivePage {
        std::unique_ptr<QWebSocket> socket;
        int guest = 0;
        QByteArray address;
    };
    // Why the upgrade the guard saw may not become a live page; nothing when
    // it may.
    std::optional<TpartyReply> liveRefusal(const QByteArray &address, const ThttpGuard &guard);
    void takeLivePages();
    void schedulePush();
    void push();
    void closeLivePages();

    TpartyServer &q;
    TdmMain &core;
    TpartyServerOptions options;
    TguestApi guestApi;
    std::unique_ptr<ThttpFront> front;
    QPointer<TguardedListener> listener;
    QString listenedCode;
    int listenedPort = -1;
    QString error;
    std::vector<Tconnection> connections;
    std::vector<TlivePage> livePages;
    // The guest of each browser's cookie.
    QHash<QByteArray, int> guests;
    TrateLimiter rates;
    TrateLimiter joins;
    TcodeAttempts attempts;
    QTimer sweeper;
    QTimer pusher;
};

TpartyServer::Private::Private(TpartyServer &server, TdmMain &core, TpartyServerOptions options)
    : q(server)
    , core(core)
    , options(std::move(options))
    , guestApi(core)
    , rates(this->options.requestBurst, this->options.requestsPerSecond, this->options.clock)
    , joins(this->options.joinBurst, this->options.joinsPerSecond, this->options.clock)
    , attempts(this->options.clock)
{
    sweeper.setInterval(kSweepMs);
    QObject::connect(&sweeper, &QTimer::timeout, [this] { sweep(); });
    pusher.setSingleShot(true);
    pusher.setInterval(this->options.pushDelayMs);
    QObject::connect(&pusher, &QTimer::timeout, [this] { push(); });
}

// --- listening -------------------------------------------------------------------

void TpartyServer::Private::follow()
{
    const TpartySettings &settings = core.PartySettings();
    const int port = options.port >= 0 ? options.port : settings.Port;
    if (!settings.Enabled) {
        stop();
        error.clear();
        report();
        return;
    }
    if (listener && port != listenedPort)
        stop();
    if (listener && settings.GuestCode != listenedCode) {
        // A new code: every guest comes in again by the new address, and
        // joins the core's new guest list.
        dropConnections();
        guests.clear();
        listenedCode = settings.GuestCode;
    }
    if (!listener) {
        listenedPort = port;
        listenedCode = settings.GuestCode;
        start();
    }
    report();
}

bool TpartyServer::Private::start()
{
    error.clear();
    auto *tcp = new TguardedListener;
    tcp->OnConnection = [this](QTcpSocket *socket) { return admit(socket); };
    if (!tcp->listen(options.listenAddress, quint16(listenedPort))) {
        error = tcp->serverError() == QAbstractSocket::AddressInUseError
            ? QStringLiteral("Port %1 is in use by another program.").arg(listenedPort)
            : tcp->errorString();
        delete tcp;
        return false;
    }
    front = std::make_unique<ThttpFront>(
        [this](const QHttpServerRequest &request, QTcpSocket *socket) { handle(request, socket); },
        [this](const QHttpServerRequest &request, QTcpSocket *socket) {
            write(request, socket,
                ErrorReply(
                    403, "live-refused", QStringLiteral("Live updates need the party's code, on its own page.")));
        });
    QObject::connect(
        front.get(), &QAbstractHttpServer::newWebSocketConnection, front.get(), [this] { takeLivePages(); });
    front->bind(tcp);
    listener = tcp;
    sweeper.start();
    prepareLibrary();
    return true;
}

void TpartyServer::Private::stop()
{
    sweeper.stop();
    pusher.stop();
    if (listener)
        listener->close();
    dropConnections();
    // Later: this may run inside one of the server's own handlers.
    if (front)
        front.release()->deleteLater();
    listener = nullptr;
    listenedPort = -1;
    listenedCode.clear();
}

void TpartyServer::Private::dropConnections()
{
    closeLivePages();
    for (Tconnection &connection : connections) {
        if (connection.socket)
            connection.socket->abort();
    }
    connections.clear();
}

void TpartyServer::Private::report()
{
    TpartyStatus status;
    status.Listening = listener != nullptr;
    status.Error = error;
    if (listener) {
        const QHostAddress host = !options.advertised.isNull() ? options.advertised
            : options.listenAddress.isLoopback()               ? options.listenAddress
                                                               : GuestFacingAddress();
        status.Address = PartyUrl(host, listener->serverPort(), core.PartySettings().GuestCode);
    }
    status.Connections = int(livePages.size());
    core.SetPartyStatus(status);
}

// --- connections ------------------------------------------------------------------

bool TpartyServer::Private::admit(QTcpSocket *socket)
{
    const QByteArray address = addressKey(socket->peerAddress());
    connections.erase(
        std::remove_if(connections.begin(), connections.end(), [](const Tconnection &c) { return !c.socket; }),
        connections.end());
    const auto fromAddress = std::count_if(connections.begin(), connections.end(), [&address](const Tconnection &c) {
        return c.address == address;
    }) + std::count_if(livePages.begin(), livePages.end(), [&address](const TlivePage &page) {
        return page.address == address && page.socket->state() != QAbstractSocket::UnconnectedState;
    });
    if (int(connections.size() + livePages.size()) >= options.maxConnections
        || int(fromAddress) >= options.maxConnectionsPerAddress) {
        refuseConnection(socket, 503, "too many connections", false);
        return false;
    }
    Tconnection connection;
    connection.socket = socket;
    connection.address = address;
    connection.openedMs = options.clock();
    connection.lastMs = connection.openedMs;
    connections.push_back(std::move(connection));
    // Connected before the HTTP server connects its own: the guard sees the
    // bytes first and stops a broken request before the server buffers it.
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { bytesArrived(socket); });
    return true;
}

void TpartyServer::Private::refuseConnection(QTcpSocket *socket, int status, const QByteArray &reason, bool headOnly)
{
    refuseConnection(
        socket, TpartyReply { status, QByteArrayLiteral("text/plain; charset=utf-8"), reason + '\n', {} }, headOnly);
}

void TpartyServer::Private::refuseConnection(QTcpSocket *socket, const TpartyReply &reply, bool headOnly)
{
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + HttpStatusText(reply.status)
        + "\r\nContent-Type: " + reply.type + "\r\nContent-Length: " + QByteArray::number(reply.body.size())
        + "\r\nCache-Control: no-store\r\nConnection: close\r\n";
    for (const auto &[name, value] : reply.headers)
        answer += name + ": " + value + "\r\n";
    answer += "\r\n";
    if (!headOnly)
        answer += reply.body;
    socket->write(answer);
    // What it sent is dropped, so the HTTP server reads nothing of it.
    socket->readAll();
    socket->disconnectFromHost();
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    QTimer::singleShot(2000, socket, [socket] { socket->abort(); });
}

void TpartyServer::Private::bytesArrived(QTcpSocket *socket)
{
    const auto it = std::find_if(
        connections.begin(), connections.end(), [socket](const Tconnection &c) { return c.socket == socket; });
    if (it == connections.end())
        return;
    if (!socket->isOpen())
        return;
    const qint64 now = options.clock();
    it->lastMs = now;
    const QByteArray bytes = socket->peek(socket->bytesAvailable());
    const ThttpGuard::Verdict verdict = it->guard.Feed(bytes);
    if (verdict == ThttpGuard::Verdict::Refused) {
        const int status = it->guard.Status();
        const QByteArray reason = it->guard.Reason();
        const bool headOnly = it->guard.MethodIsHead();
        connections.erase(it);
        refuseConnection(socket, status, reason, headOnly);
        return;
    }
    if (it->guard.StrayUpgrade()) {
        const bool headOnly = it->guard.MethodIsHead();
        connections.erase(it);
        refuseConnection(socket, 400, "a WebSocket is asked for by a GET alone", headOnly);
        return;
    }
    if (verdict == ThttpGuard::Verdict::Upgraded) {
        const std::optional<TpartyReply> refusal = liveRefusal(it->address, it->guard);
        // A WebSocket now, or closing: its own limits apply (takeLivePages).
        connections.erase(it);
        if (refusal)
            refuseConnection(socket, *refusal, false);
        else
            socket->setProperty(kLiveAllowed, true);
        return;
    }
    it->headSinceMs = it->guard.InRequest() ? (it->headSinceMs < 0 ? now : it->headSinceMs) : -1;
}

void TpartyServer::Private::sweep()
{
    const qint64 now = options.clock();
    std::vector<std::pair<QPointer<QTcpSocket>, bool>> late;
    std::vector<QPointer<QTcpSocket>> idle;
    for (const Tconnection &connection : connections) {
        if (!connection.socket)
            continue;
        // A connection that never begins a request only holds a place.
        const bool silent = connection.headSinceMs < 0 && connection.guard.Requests() == 0
            && now - connection.openedMs > options.firstRequestMs;
        if (silent || (connection.headSinceMs >= 0 && now - connection.headSinceMs > options.headTimeoutMs))
            late.emplace_back(connection.socket, connection.guard.MethodIsHead());
        else if (now - connection.lastMs > options.idleMs)
            idle.push_back(connection.socket);
    }
    const auto isLate = [&late](const QPointer<QTcpSocket> &socket) {
        return std::any_of(late.begin(), late.end(), [&socket](const auto &entry) { return entry.first == socket; });
    };
    connections.erase(std::remove_if(connections.begin(), connections.end(),
                          [&](const Tconnection &c) {
                              return !c.socket || isLate(c.socket)
                                  || std::find(idle.begin(), idle.end(), c.socket) != idle.end();
                          }),
        connections.end());
    for (const auto &[socket, headOnly] : late) {
        if (socket)
            refuseConnection(socket, 408, "the request took too long", headOnly);
    }
    for (const QPointer<QTcpSocket> &socket : idle) {
        if (socket)
            socket->disconnectFromHost();
    }
    livePages.erase(
        std::remove_if(livePages.begin(), livePages.end(),
            [](const TlivePage &page) { return page.socket->state() == QAbstractSocket::UnconnectedState; }),
        livePages.end());
    rates.Prune();
    joins.Prune();
    attempts.Prune();
    // Browsers of guests the core has forgotten are strangers now.
    const TguestRequests &party = core.Party();
    guests.removeIf([&party](const auto &entry) { return party.Guest(entry.value()) == nullptr; });
    report();
}

// --- requests ---------------------------------------------------------------------------

void TpartyServer::Private::handle(const QHttpServerRequest &request, QTcpSocket *socket)
{
    write(request, socket, answer(request));
}

void TpartyServer::Private::write(const QHttpServerRequest &request, QTcpSocket *socket, TpartyReply reply)
{
    QHttpServerResponder responder = ThttpFront::responder(request, socket);
    responder.writeStatusLine(QHttpServerResponder::StatusCode(reply.status));
    responder.writeHeader(QByteArrayLiteral("Content-Type"), reply.type);
    responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(reply.body.size()));
    responder.writeHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
    responder.writeHeader(QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer"));
    responder.writeHeader(QByteArrayLiteral("X-Frame-Options"), QByteArrayLiteral("DENY"));
    const bool hasCache = std::any_of(
        reply.headers.begin(), reply.headers.end(), [](const auto &header) { return header.first == "Cache-Control"; });
    if (!hasCache)
        responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    for (const auto &[name, value] : reply.headers)
        responder.writeHeader(name, value);
    // A HEAD is answered as its GET would be, without the body, whose length
    // Content-Length still gives.
    responder.writeBody(request.method() == QHttpServerRequest::Method::Head ? QByteArray() : reply.body);
}

TpartyReply TpartyServer::Private::codePage(int status, const QString &message)
{
    QByteArray page = resource(QStringLiteral("code.html"));
    page.replace("{{message}}", message.toHtmlEscaped().toUtf8());
    TpartyReply reply { status, QByteArrayLiteral("text/html; charset=utf-8"), page, {} };
    // A page of its own: a form and nothing to run.
    reply.headers.emplace_back(QByteArrayLiteral("Content-Security-Policy"),
        QByteArrayLiteral("default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; frame-ancestors 'none'"));
    return reply;
}

TpartyReply TpartyServer::Private::answer(const QHttpServerRequest &request)
{
    const QByteArray address = addressKey(request.remoteAddress());
    const QString path = request.url().path();
    const QHttpServerRequest::Method asked = request.method();
    // HEAD goes where GET goes; write() leaves out the body.
    const QByteArray method = asked == QHttpServerRequest::Method::Get || asked == QHttpServerRequest::Method::Head
        ? QByteArrayLiteral("GET")
        : asked == QHttpServerRequest::Method::Post ? QByteArrayLiteral("POST")
                                                    : QByteArrayLiteral("OTHER");
    const bool api = path.startsWith(QLatin1String("/api/"));
    if (attempts.ShutOut(address)) {
        TpartyReply reply = api
            ? ErrorReply(429, "too-many-wrong-codes", QStringLiteral("Too many wrong codes: wait a minute."))
            : codePage(429, QStringLiteral("Too many wrong codes: wait a minute, then try again."));
        reply.headers.emplace_back(
            QByteArrayLiteral("Retry-After"), QByteArray::number(attempts.RetryAfterSeconds(address)));
        return reply;
    }
    const QByteArray expected = core.PartySettings().GuestCode.toLatin1();
    const QByteArray cookies = request.value(QByteArrayLiteral("Cookie"));

    // The QR code's address carries the code once; the browser keeps it as
    // a cookie and comes back without it in the address.
    if (path == QLatin1String("/") && request.query().hasQueryItem(QStringLiteral("code"))) {
        const QByteArray given
            = request.query().queryItemValue(QStringLiteral("code"), QUrl::FullyDecoded).toUpper().toLatin1();
        if (!SameSecret(given, expected)) {
            attempts.Wrong(address);
            return codePage(403, QStringLiteral("That is not this party's code."));
        }
        TpartyReply reply { 303, QByteArrayLiteral("text/plain; charset=utf-8"), QByteArrayLiteral("Welcome\n"), {} };
        reply.headers.emplace_back(QByteArrayLiteral("Location"), QByteArrayLiteral("/"));
        reply.headers.emplace_back(QByteArrayLiteral("Set-Cookie"),
            kCodeCookie + '=' + expected + QByteArrayLiteral("; Path=/; HttpOnly; SameSite=Strict"));
        return reply;
    }
    const QByteArray code = CookieValue(cookies, kCodeCookie);
    if (code.isEmpty()) {
        if (api)
            return ErrorReply(403, "code-needed", QStringLiteral("Open the party's address from its QR code."));
        return codePage(
            path == QLatin1String("/") ? 200 : 403, QStringLiteral("Scan the party's QR code, or type its code."));
    }
    if (!SameSecret(code, expected)) {
        attempts.Wrong(address);
        if (api)
            return ErrorReply(
                403, "wrong-code", QStringLiteral("The party's code has changed: scan the QR code again."));
        return codePage(403, QStringLiteral("The party's code has changed: scan the QR code again."));
    }

    const QByteArray token = CookieValue(cookies, kGuestCookie);
    const bool knownToken = IsGuestToken(token) && guests.contains(token);
    if (!rates.Take(knownToken ? token : address)) {
        TpartyReply reply = ErrorReply(429, "slow-down", QStringLiteral("Too many requests: slow down a little."));
        reply.headers.emplace_back(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("1"));
        return reply;
    }
    int guest = knownToken ? guests.value(token) : 0;
    // The core may have forgotten the guest since the sweep last looked: the
    // browser joins anew, not as a rename.
    if (guest && !core.Party().Guest(guest)) {
        guests.remove(token);
        guest = 0;
    }

    if (api)
        return this->api(request, address, guest, method);
    for (const TstaticFile &file : kStaticFiles) {
        if (path != QLatin1String(file.path))
            continue;
        if (method != "GET")
            return ErrorReply(405, "method-not-allowed", QStringLiteral("Pages are fetched with GET."));
        TpartyReply reply { 200, QByteArray(file.type), resource(QString::fromLatin1(file.resource)), {} };
        reply.headers.emplace_back(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
        reply.headers.emplace_back(QByteArrayLiteral("Content-Security-Policy"),
            QByteArrayLiteral("default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                              "connect-src 'self'; manifest-src 'self'; base-uri 'none'; form-action 'none'; "
                              "frame-ancestors 'none'"));
        return reply;
    }
    return ErrorReply(404, "not-found", QStringLiteral("No such page."));
}

void TpartyServer::Private::prepareLibrary()
{
    QTimer::singleShot(0, &sweeper, [this] {
        if (listener)
            guestApi.PrepareLibrary();
    });
}

TpartyReply TpartyServer::Private::api(
    const QHttpServerRequest &request, const QByteArray &address, int guest, const QByteArray &method)
{
    const auto parsed = ParseApiCall(method, request.url().path(), request.query(), request.body(),
        request.value(QByteArrayLiteral("Content-Type")));
    if (const TapiError *bad = std::get_if<TapiError>(&parsed))
        return ErrorReply(*bad);
    TapiCaller caller;
    caller.guest = guest;
    caller.mayJoin = [this, &address] { return joins.Take(address); };
    TapiAnswer answer = guestApi.Answer(std::get<TapiCall>(parsed), caller);
    if (answer.joined) {
        const QByteArray fresh = NewGuestToken();
        guests.insert(fresh, answer.joined);
        answer.reply.headers.emplace_back(QByteArrayLiteral("Set-Cookie"),
            kGuestCookie + '=' + fresh + QByteArrayLiteral("; Path=/; HttpOnly; SameSite=Strict; Max-Age=86400"));
    }
    return answer.reply;
}

// --- live pages -------------------------------------------------------------------------------

std::optional<TpartyReply> TpartyServer::Private::liveRefusal(const QByteArray &address, const ThttpGuard &guard)
{
    if (attempts.ShutOut(address)) {
        TpartyReply reply = ErrorReply(429, "too-many-wrong-codes", QStringLiteral("Too many wrong codes: wait a minute."));
        reply.headers.emplace_back(
            QByteArrayLiteral("Retry-After"), QByteArray::number(attempts.RetryAfterSeconds(address)));
        return reply;
    }
    const TpartyReply refused
        = ErrorReply(403, "live-refused", QStringLiteral("Live updates need the party's code, on its own page."));
    // No code is no guess at it: only a wrong one counts against the address.
    const QByteArray code = CookieValue(guard.UpgradeHeader("Cookie"), kCodeCookie);
    if (code.isEmpty())
        return refused;
    if (!SameSecret(code, core.PartySettings().GuestCode.toLatin1())) {
        attempts.Wrong(address);
        return refused;
    }
    // A page of another site may not listen in: the page's origin must be
    // this server.
    const QByteArray origin = guard.UpgradeHeader("Origin");
    const QByteArray host = guard.UpgradeHeader("Host");
    QByteArray path = guard.UpgradeTarget();
    path.truncate(path.contains('?') ? path.indexOf('?') : path.size());
    if (path != "/api/live" || host.isEmpty() || (origin != "http://" + host && origin != "https://" + host))
        return refused;
    if (int(livePages.size()) >= kMaxLivePages)
        return ErrorReply(503, "too-many-live-pages", QStringLiteral("Too many live pages: try again later."));
    return std::nullopt;
}

void TpartyServer::Private::takeLivePages()
{
    while (front && front->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = front->nextPendingWebSocketConnection();
        if (!socket)
            break;
        // The upgrade was let through by liveRefusal; the guest comes from
        // the same request's cookie.
        const QByteArray token = CookieValue(socket->request().rawHeader(QByteArrayLiteral("Cookie")), kGuestCookie);
        if (int(livePages.size()) >= kMaxLivePages) {
            socket->close(QWebSocketProtocol::CloseCodeGoingAway);
            QWebSocket *closing = socket.release();
            QObject::connect(closing, &QWebSocket::disconnected, closing, &QObject::deleteLater);
            QTimer::singleShot(2000, closing, [closing] { closing->abort(); });
            continue;
        }
        socket->setMaxAllowedIncomingFrameSize(kMaxLiveMessage);
        socket->setMaxAllowedIncomingMessageSize(kMaxLiveMessage);
        QWebSocket *raw = socket.get();
        // The page only listens; anything it says is ignored, and a page
        // that says too much is closed.
        auto said = std::make_shared<int>(0);
        QObject::connect(raw, &QWebSocket::textMessageReceived, raw, [raw, said](const QString &) {
            if (++*said > 100)
                raw->close(QWebSocketProtocol::CloseCodePolicyViolated);
        });
        QObject::connect(raw, &QWebSocket::binaryMessageReceived, raw,
            [raw](const QByteArray &) { raw->close(QWebSocketProtocol::CloseCodeDatatypeNotSupported); });
        const int guest = IsGuestToken(token) ? guests.value(token) : 0;
        livePages.push_back(TlivePage { std::move(socket), guest, addressKey(raw->peerAddress()) });
        raw->sendTextMessage(QString::fromUtf8(guestApi.LiveState(guest)));
    }
    report();
}

void TpartyServer::Private::schedulePush()
{
    if (!livePages.empty() && !pusher.isActive())
        pusher.start();
}

void TpartyServer::Private::push()
{
    livePages.erase(
        std::remove_if(livePages.begin(), livePages.end(),
            [](const TlivePage &page) { return page.socket->state() == QAbstractSocket::UnconnectedState; }),
        livePages.end());
    if (livePages.empty())
        return;
    // What all see is written once; each page gets its guest's part.
    const QByteArray shared = guestApi.SharedState();
    for (TlivePage &page : livePages)
        page.socket->sendTextMessage(QString::fromUtf8(guestApi.LiveState(shared, page.guest)));
}

void TpartyServer::Private::closeLivePages()
{
    for (TlivePage &page : livePages)
        page.socket->abort();
    livePages.clear();
}

// --- the face ---------------------------------------------------------------------------------------

TpartyServer::TpartyServer(TdmMain &core, TpartyServerOptions options)
{
    if (!options.clock)
        options.clock = SteadyClockMs;
    d = std::make_unique<Private>(*this, core, std::move(options));
    m_subscription = core.Subscribe(*this);
    d->follow();
}

TpartyServer::~TpartyServer()
{
    m_subscription.reset();
    d->stop();
}

bool TpartyServer::Listening() const
{
    return d->listener != nullptr;
}

quint16 TpartyServer::Port() const
{
    return d->listener ? d->listener->serverPort() : 0;
}

int TpartyServer::Connections() const
{
    return int(std::count_if(d->connections.begin(), d->connections.end(), [](const auto &c) {
        return c.socket && c.socket->state() == QAbstractSocket::ConnectedState;
    })) + LivePages();
}

int TpartyServer::LivePages() const
{
    return int(std::count_if(d->livePages.begin(), d->livePages.end(),
        [](const auto &page) { return page.socket->state() == QAbstractSocket::ConnectedState; }));
}

void TpartyServer::PartyChanged()
{
    d->follow();
    d->schedulePush();
}

void TpartyServer::LibraryChanging()
{
    d->guestApi.LibraryChanging();
}

void TpartyServer::ListsUpdated()
{
    d->guestApi.ListsUpdated();
    d->prepareLibrary();
}

void TpartyServer::LibraryChanged(const TlibraryChanges &changes)
{
    d->guestApi.LibraryChanged(changes);
    // Queued tracks that were moved go by new ids.
    d->schedulePush();
}

void TpartyServer::QueueChanged()
{
    d->schedulePush();
}

void TpartyServer::TrackChanged(const TnowPlaying &)
{
    d->schedulePush();
}

void TpartyServer::PlayStateChanged(TstreamState)
{
    d->schedulePush();
}

void TpartyServer::PositionJumped(qint64)
{
    d->schedulePush();
}
