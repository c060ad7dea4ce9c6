#include "core/singleInstance.h"

#include "platform/raiseEvent.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kRaiseRequest = "raise\n";

// Asks a running instance to raise its window; false when none answers.
bool askRunningInstance(const QString &name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    if (!probe.waitForConnected(kConnectTimeoutMs))
        return false;
    probe.write(kRaiseRequest);
    probe.waitForBytesWritten(kConnectTimeoutMs);
    probe.disconnectFromServer();
    return true;
}

} // namespace

TsingleInstanceGuard::TsingleInstanceGuard(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

TsingleInstanceGuard::~TsingleInstanceGuard() = default;

bool TsingleInstanceGuard::Claim()
{
    if (askRunningInstance(m_name))
        return false;
    // Nobody answered: a socket file left by a crashed instance must not keep
    // the jukebox from starting.
    QLocalServer::removeServer(m_name);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        m_server.reset();
        // Another start may have won the race between the probe and listen.
        // Any other failure to serve the name runs this instance unguarded
        // rather than refusing to start the jukebox at all.
        return !askRunningInstance(m_name);
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &TsingleInstanceGuard::serveConnection);
    return true;
}

void TsingleInstanceGuard::serveConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kRaiseRequest.trimmed()))
                RaiseEvent(OnRaiseRequested);
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}
