#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QTcpSocket>
#include <memory>

// One answer of the guests' server as a client reads it off the wire.
struct ThttpAnswer {
    // 0 when nothing (or no complete answer) came back.
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // The server closed the connection after (or instead of) answering.
    bool closed = false;

    QByteArray header(const QByteArray &name) const;
    QJsonObject json() const;
};

// A browser's connection to the guests' server, as bytes: it keeps one
// connection open and sends on it, and keeps the cookies it is given. The
// server runs on this thread's event loop; every call runs it while it waits.
class TpartyClient {
public:
    explicit TpartyClient(quint16 port, QByteArray host = "127.0.0.1");

    // Sends bytes as they are and reads one answer.
    ThttpAnswer Raw(const QByteArray &bytes, int timeoutMs = 5000);
    ThttpAnswer Get(const QByteArray &target);
    // Reads the answer to HEAD as a client must: the head alone, whatever
    // Content-Length says. Bytes after it are read as the next answer.
    ThttpAnswer Head(const QByteArray &target);
    ThttpAnswer Post(
        const QByteArray &target, const QByteArray &body, const QByteArray &contentType = "application/json");
    // Whether the server has closed the connection (waits a little for it).
    bool Closed(int timeoutMs = 3000);
    bool Connected();

    QHash<QByteArray, QByteArray> cookies;
    // The loopback address the connection comes from; null for any.
    QHostAddress from;

private:
    QByteArray cookieHeader() const;
    QByteArray requestHead(const QByteArray &method, const QByteArray &target) const;
    ThttpAnswer send(const QByteArray &bytes, bool bodyless, int timeoutMs);
    bool ensureConnected();

    quint16 m_port;
    QByteArray m_host;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_buffer;
};
