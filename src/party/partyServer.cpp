#include "party/partyServer.h"

#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "metadata/customTagger.h"
#include "party/coverImages.h"
#include "party/guestAccess.h"
#include "party/guestLibrary.h"
#include "party/partyAddress.h"
#include "party/partyApi.h"
#include "party/partyState.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRandomGenerator>
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

using Theaders = std::vector<std::pair<QByteArray, QByteArray>>;

// One answer of the server.
struct Treply {
    int status = 200;
    QByteArray type = QByteArrayLiteral("application/json");
    QByteArray body;
    Theaders headers;
};

Treply jsonReply(int status, const QJsonObject &object)
{
    return Treply { status, QByteArrayLiteral("application/json"), QJsonDocument(object).toJson(QJsonDocument::Compact),
        {} };
}

Treply errorReply(const TapiError &error)
{
    return Treply { error.status, QByteArrayLiteral("application/json"), ApiErrorJson(error), {} };
}

Treply errorReply(int status, const char *code, const QString &message)
{
    return errorReply(TapiError { status, QByteArray(code), message });
}

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
    void refuseConnection(QTcpSocket *socket, const Treply &reply, bool headOnly);
    void refuseConnection(QTcpSocket *socket, int status, const QByteArray &reason, bool headOnly);
    void sweep();

    // --- requests ------------------------------------------------------------------
    void handle(const QHttpServerRequest &request, QTcpSocket *socket);
    Treply answer(const QHttpServerRequest &request);
    Treply api(const QHttpServerRequest &request, const QByteArray &address, int guest, const QByteArray &method);
    Treply codePage(int status, const QString &message);
    void write(const QHttpServerRequest &request, QTcpSocket *socket, Treply reply);
    const TguestLibrary *library();
    // Builds the search's index soon, so that the first guest to search
    // does not wait for it.
    void prepareLibrary();
    TcustomTagger *trackById(quint64 id);
    QJsonObject stateFor(int guest);

    // --- live pages ----------------------------------------------------------------
    struct TlivePage {
        std::unique_ptr<QWebSocket> socket;
        int guest = 0;
        QByteArray address;
    };
    // Why the upgrade the guard saw may not become a live page; nothing when
    // it may.
    std::optional<Treply> liveRefusal(const QByteArray &address, const ThttpGuard &guard);
    void takeLivePages();
    void schedulePush();
    void push();
    void closeLivePages();

    TpartyServer &q;
    TdmMain &core;
    TpartyServerOptions options;
    quint64 key;
    std::unique_ptr<ThttpFront> front;
    QPointer<TguardedListener> listener;
    QString listenedCode;
    int listenedPort = -1;
    QString error;
    std::vector<Tconnection> connections;
    std::vector<TlivePage> livePages;
    QHash<QByteArray, int> guests;
    std::unique_ptr<TguestLibrary> guestLibrary;
    // The library's lists may be touched: not between LibraryChanging and
    // ListsUpdated.
    bool libraryReady = true;
    TcoverImages covers;
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
    , key(QRandomGenerator::system()->generate64())
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
                errorReply(
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
        socket, Treply { status, QByteArrayLiteral("text/plain; charset=utf-8"), reason + '\n', {} }, headOnly);
}

void TpartyServer::Private::refuseConnection(QTcpSocket *socket, const Treply &reply, bool headOnly)
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
        const std::optional<Treply> refusal = liveRefusal(it->address, it->guard);
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

void TpartyServer::Private::write(const QHttpServerRequest &request, QTcpSocket *socket, Treply reply)
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

Treply TpartyServer::Private::codePage(int status, const QString &message)
{
    QByteArray page = resource(QStringLiteral("code.html"));
    page.replace("{{message}}", message.toHtmlEscaped().toUtf8());
    Treply reply { status, QByteArrayLiteral("text/html; charset=utf-8"), page, {} };
    // A page of its own: a form and nothing to run.
    reply.headers.emplace_back(QByteArrayLiteral("Content-Security-Policy"),
        QByteArrayLiteral("default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; frame-ancestors 'none'"));
    return reply;
}

Treply TpartyServer::Private::answer(const QHttpServerRequest &request)
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
        Treply reply = api
            ? errorReply(429, "too-many-wrong-codes", QStringLiteral("Too many wrong codes: wait a minute."))
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
        Treply reply { 303, QByteArrayLiteral("text/plain; charset=utf-8"), QByteArrayLiteral("Welcome\n"), {} };
        reply.headers.emplace_back(QByteArrayLiteral("Location"), QByteArrayLiteral("/"));
        reply.headers.emplace_back(QByteArrayLiteral("Set-Cookie"),
            kCodeCookie + '=' + expected + QByteArrayLiteral("; Path=/; HttpOnly; SameSite=Strict"));
        return reply;
    }
    const QByteArray code = CookieValue(cookies, kCodeCookie);
    if (code.isEmpty()) {
        if (api)
            return errorReply(403, "code-needed", QStringLiteral("Open the party's address from its QR code."));
        return codePage(
            path == QLatin1String("/") ? 200 : 403, QStringLiteral("Scan the party's QR code, or type its code."));
    }
    if (!SameSecret(code, expected)) {
        attempts.Wrong(address);
        if (api)
            return errorReply(
                403, "wrong-code", QStringLiteral("The party's code has changed: scan the QR code again."));
        return codePage(403, QStringLiteral("The party's code has changed: scan the QR code again."));
    }

    const QByteArray token = CookieValue(cookies, kGuestCookie);
    const bool knownToken = IsGuestToken(token) && guests.contains(token);
    if (!rates.Take(knownToken ? token : address)) {
        Treply reply = errorReply(429, "slow-down", QStringLiteral("Too many requests: slow down a little."));
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
            return errorReply(405, "method-not-allowed", QStringLiteral("Pages are fetched with GET."));
        Treply reply { 200, QByteArray(file.type), resource(QString::fromLatin1(file.resource)), {} };
        reply.headers.emplace_back(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
        reply.headers.emplace_back(QByteArrayLiteral("Content-Security-Policy"),
            QByteArrayLiteral("default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                              "connect-src 'self'; manifest-src 'self'; base-uri 'none'; form-action 'none'; "
                              "frame-ancestors 'none'"));
        return reply;
    }
    return errorReply(404, "not-found", QStringLiteral("No such page."));
}

const TguestLibrary *TpartyServer::Private::library()
{
    if (!libraryReady)
        return nullptr;
    if (!guestLibrary)
        guestLibrary = std::make_unique<TguestLibrary>(core.jblMain(), key);
    return guestLibrary.get();
}

void TpartyServer::Private::prepareLibrary()
{
    QTimer::singleShot(0, &sweeper, [this] {
        if (listener)
            library();
    });
}

TcustomTagger *TpartyServer::Private::trackById(quint64 id)
{
    if (const TguestLibrary *tracks = library()) {
        if (TcustomTagger *record = tracks->TrackById(id))
            return record;
    }
    // What is queued, plays or waits may have left the library.
    const TtaggerQueue &queue = core.tqQueue();
    for (TcustomTagger *record : queue.Records()) {
        if (GuestTrackId(record->Filename(), key) == id)
            return record;
    }
    for (const TpendingRequest &request : core.Party().Pending()) {
        if (GuestTrackId(request.Record->Filename(), key) == id)
            return request.Record.get();
    }
    const TcustomTagger *playing = core.NowPlaying().track.get();
    if (playing && GuestTrackId(playing->Filename(), key) == id)
        return const_cast<TcustomTagger *>(playing);
    return nullptr;
}

QJsonObject TpartyServer::Private::stateFor(int guest)
{
    QJsonObject state = PartyStateJson(core, key);
    state.insert(QStringLiteral("me"), GuestStateJson(core, guest, key));
    return state;
}

Treply TpartyServer::Private::api(
    const QHttpServerRequest &request, const QByteArray &address, int guest, const QByteArray &method)
{
    const auto parsed = ParseApiCall(method, request.url().path(), request.query(), request.body(),
        request.value(QByteArrayLiteral("Content-Type")));
    if (const TapiError *bad = std::get_if<TapiError>(&parsed))
        return errorReply(*bad);
    const TapiCall &call = std::get<TapiCall>(parsed);
    if (guest)
        core.GuestActive(guest);
    const auto libraryBusy = [] {
        Treply reply = errorReply(
            503, "library-updating", QStringLiteral("The library is being updated: try again in a moment."));
        reply.headers.emplace_back(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("2"));
        return reply;
    };

    switch (call.kind) {
    case TapiKind::Join: {
        if (guest) {
            if (!core.RenameGuest(guest, call.text))
                return errorReply(400, "bad-name", QStringLiteral("That name cannot be used."));
            return jsonReply(200, stateFor(guest));
        }
        if (GuestName(call.text).isEmpty())
            return errorReply(400, "bad-name", QStringLiteral("That name cannot be used."));
        // Each join takes a place in the core's guest list until the guest
        // is forgotten: an address may not fill the list.
        if (!joins.Take(address)) {
            Treply reply
                = errorReply(429, "too-many-joins", QStringLiteral("Too many new guests from here: wait a minute."));
            reply.headers.emplace_back(QByteArrayLiteral("Retry-After"), QByteArrayLiteral("60"));
            return reply;
        }
        const int joined = core.JoinParty(call.text);
        if (!joined)
            return errorReply(503, "party-full", QStringLiteral("The party is full."));
        const QByteArray fresh = NewGuestToken();
        guests.insert(fresh, joined);
        Treply reply = jsonReply(200, stateFor(joined));
        reply.headers.emplace_back(QByteArrayLiteral("Set-Cookie"),
            kGuestCookie + '=' + fresh + QByteArrayLiteral("; Path=/; HttpOnly; SameSite=Strict; Max-Age=86400"));
        return reply;
    }
    case TapiKind::State:
        return jsonReply(200, stateFor(guest));
    case TapiKind::Search: {
        const TguestLibrary *tracks = library();
        if (!tracks)
            return libraryBusy();
        QJsonArray results;
        for (const int index : tracks->Search(call.text, call.count))
            results.append(GuestTrackJson(*tracks->Track(index).record, key));
        QJsonObject object;
        object.insert(QStringLiteral("query"), call.text);
        object.insert(QStringLiteral("tracks"), results);
        return jsonReply(200, object);
    }
    case TapiKind::Artists: {
        const TguestLibrary *tracks = library();
        if (!tracks)
            return libraryBusy();
        const std::vector<TguestArtist> &artists = tracks->Artists();
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
        return jsonReply(200, object);
    }
    case TapiKind::Albums: {
        const TguestLibrary *tracks = library();
        if (!tracks)
            return libraryBusy();
        const TguestArtist *artist = tracks->ArtistById(call.id);
        if (!artist)
            return errorReply(404, "not-found", QStringLiteral("No such artist."));
        QJsonArray albums;
        for (const int index : artist->albums) {
            const TguestAlbum &album = tracks->Albums()[size_t(index)];
            QJsonObject entry;
            entry.insert(QStringLiteral("id"), QString::fromLatin1(IdText(album.id)));
            entry.insert(QStringLiteral("name"), album.name);
            entry.insert(QStringLiteral("artist"), album.artist);
            entry.insert(QStringLiteral("tracks"), album.album->Count());
            entry.insert(QStringLiteral("cover"),
                QString::fromLatin1(IdText(GuestTrackId(album.album->Items(0)->Filename(), key))));
            albums.append(entry);
        }
        QJsonObject object;
        object.insert(QStringLiteral("artist"), artist->name);
        object.insert(QStringLiteral("albums"), albums);
        return jsonReply(200, object);
    }
    case TapiKind::Tracks: {
        const TguestLibrary *tracks = library();
        if (!tracks)
            return libraryBusy();
        const TguestAlbum *album = tracks->AlbumById(call.id);
        if (!album)
            return errorReply(404, "not-found", QStringLiteral("No such album."));
        QJsonArray list;
        for (const TcustomTagger *record : album->album->Records())
            list.append(GuestTrackJson(*record, key));
        QJsonObject object;
        object.insert(QStringLiteral("album"), album->name);
        object.insert(QStringLiteral("artist"), album->artist);
        object.insert(QStringLiteral("tracks"), list);
        return jsonReply(200, object);
    }
    case TapiKind::Cover: {
        const TcustomTagger *record = trackById(call.id);
        const QByteArray jpeg
            = record ? covers.Cover(*record, core.Settings().CoverArtFolder, call.count) : QByteArray();
        if (jpeg.isEmpty())
            return errorReply(404, "no-cover", QStringLiteral("No cover for that track."));
        Treply reply { 200, QByteArrayLiteral("image/jpeg"), jpeg, {} };
        reply.headers.emplace_back(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("private, max-age=3600"));
        return reply;
    }
    case TapiKind::Request: {
        if (!guest)
            return errorReply(403, "join-first", QStringLiteral("Tell the jukebox your name first."));
        if (!libraryReady)
            return libraryBusy();
        TcustomTagger *record = trackById(call.id);
        if (!record)
            return errorReply(404, "not-found", QStringLiteral("No such track."));
        const TrequestAnswer answer = core.RequestTrack(guest, record);
        QJsonObject object;
        object.insert(QStringLiteral("status"), QString::fromLatin1(outcomeCode(answer.Outcome)));
        object.insert(QStringLiteral("message"), refusalText(answer, core.PartySettings().RequestsPerGuest));
        object.insert(QStringLiteral("track"), GuestTrackJson(*record, key));
        if (answer.Outcome == TrequestOutcome::Queued)
            object.insert(QStringLiteral("position"), answer.Row + 1);
        if (answer.Accepted())
            return jsonReply(answer.Outcome == TrequestOutcome::Queued ? 200 : 202, object);
        object.insert(QStringLiteral("error"), QString::fromLatin1(outcomeCode(answer.Outcome)));
        if (answer.Outcome == TrequestOutcome::RecentlyPlayed)
            object.insert(QStringLiteral("waitMs"), answer.WaitMs);
        return jsonReply(answer.Outcome == TrequestOutcome::UnknownGuest ? 403 : 409, object);
    }
    case TapiKind::Vote: {
        if (!guest)
            return errorReply(403, "join-first", QStringLiteral("Tell the jukebox your name first."));
        const TskipVote vote = core.VoteToSkip(guest);
        if (!vote.Open)
            return errorReply(409, "voting-closed", QStringLiteral("There is no vote to skip now."));
        QJsonObject object;
        object.insert(QStringLiteral("votes"), vote.Votes);
        object.insert(QStringLiteral("needed"), vote.Needed);
        object.insert(QStringLiteral("skipped"), vote.Skipped);
        return jsonReply(200, object);
    }
    }
    return errorReply(404, "not-found", QStringLiteral("No such call."));
}

// --- live pages -------------------------------------------------------------------------------

std::optional<Treply> TpartyServer::Private::liveRefusal(const QByteArray &address, const ThttpGuard &guard)
{
    if (attempts.ShutOut(address)) {
        Treply reply = errorReply(429, "too-many-wrong-codes", QStringLiteral("Too many wrong codes: wait a minute."));
        reply.headers.emplace_back(
            QByteArrayLiteral("Retry-After"), QByteArray::number(attempts.RetryAfterSeconds(address)));
        return reply;
    }
    const Treply refused
        = errorReply(403, "live-refused", QStringLiteral("Live updates need the party's code, on its own page."));
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
        return errorReply(503, "too-many-live-pages", QStringLiteral("Too many live pages: try again later."));
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
        raw->sendTextMessage(QString::fromUtf8(QJsonDocument(stateFor(guest)).toJson(QJsonDocument::Compact)));
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
    QByteArray shared = QJsonDocument(PartyStateJson(core, key)).toJson(QJsonDocument::Compact);
    shared.chop(1);
    for (TlivePage &page : livePages) {
        const QJsonValue me = GuestStateJson(core, page.guest, key);
        const QByteArray mine
            = me.isObject() ? QJsonDocument(me.toObject()).toJson(QJsonDocument::Compact) : QByteArrayLiteral("null");
        page.socket->sendTextMessage(QString::fromUtf8(shared + ",\"me\":" + mine + '}'));
    }
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
    d->libraryReady = false;
    d->guestLibrary.reset();
}

void TpartyServer::ListsUpdated()
{
    d->libraryReady = true;
    d->guestLibrary.reset();
    d->prepareLibrary();
}

void TpartyServer::LibraryChanged(const TlibraryChanges &changes)
{
    // Not built yet: it is built from the library as it is now when asked.
    if (d->guestLibrary)
        d->guestLibrary->Apply(d->core.jblMain(), changes);
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
