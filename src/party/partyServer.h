#pragma once

#include "core/coreListeners.h"
#include "party/httpGuard.h"

#include <QHostAddress>
#include <QtGlobal>
#include <functional>
#include <memory>

class TdmMain;

// Where and how the guests' server runs. The program takes the defaults;
// tests and the benchmark listen on the loopback address at a free port.
struct TpartyServerOptions {
    QHostAddress listenAddress = QHostAddress::Any;
    // The port; -1 takes the host's setting, 0 a free one.
    int port = -1;
    // The host named in the party's address; null for GuestFacingAddress().
    QHostAddress advertised;
    ThttpLimits limits;
    int maxConnections = 900;
    // Connections and live pages of one address: far below maxConnections,
    // so that a few addresses cannot take every place. A phone's browser
    // opens six connections to a server at most, and its live page.
    int maxConnectionsPerAddress = 32;
    // Requests per browser: a burst, then so many a second.
    double requestBurst = 60;
    double requestsPerSecond = 20;
    // New guests per address: a burst, then so many a second.
    double joinBurst = 10;
    double joinsPerSecond = 1.0 / 60;
    // A new connection must begin a request within firstRequestMs, and a
    // request's head must arrive within headTimeoutMs of its first byte; a
    // quiet connection between requests closes after idleMs.
    int firstRequestMs = 5000;
    int headTimeoutMs = 10000;
    int idleMs = 120000;
    // Live updates go out at most this often.
    int pushDelayMs = 100;
    std::function<qint64()> clock;
};

// The guests' page: a small HTTP server with WebSocket live updates that
// serves the page (compiled in), its JSON API and the tracks' covers to the
// guests' phones. It is a face of the core beside the window: it hears of
// every change from the core, and every guest's action goes through a core
// operation, on the GUI thread's event loop, as the keys do.
//
// This is the transport: the connections and their guard, HTTP and the
// live pages' WebSockets, the code and the guests' cookies, the limits of
// requests and joins. What a call does and answers is TguestApi's.
//
// It listens only while the host has party mode on; turning party mode off,
// or renewing the guest code, closes every connection. Every request needs
// the guest code (from the QR code's address, then a cookie); wrong codes
// are refused and shut an address out after a few. It tells the core how it
// stands (SetPartyStatus): the address with the code, or why it could not
// listen.
//
// GUI thread only.
class TpartyServer : private TcoreListener {
public:
    explicit TpartyServer(TdmMain &core, TpartyServerOptions options = {});
    ~TpartyServer() override;
    TpartyServer(const TpartyServer &) = delete;
    TpartyServer &operator=(const TpartyServer &) = delete;

    bool Listening() const;
    quint16 Port() const;
    // Open HTTP connections and live pages.
    int Connections() const;
    int LivePages() const;

    struct Private;

private:
    void PartyChanged() override;
    void LibraryChanging() override;
    void ListsUpdated() override;
    void LibraryChanged(const TlibraryChanges &changes) override;
    void QueueChanged() override;
    void TrackChanged(const TnowPlaying &playing) override;
    void PlayStateChanged(TstreamState state) override;
    void PositionJumped(qint64 positionMs) override;

    std::unique_ptr<Private> d;
    TcoreSubscription m_subscription;
};
