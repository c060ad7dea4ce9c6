#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <utility>
#include <vector>

// What a guest's connection may send: small requests only. The guests' page
// asks for pages, scripts, pictures and a little JSON; nothing it sends comes
// near these.
struct ThttpLimits {
    // The request line ("GET /api/search?q=... HTTP/1.1").
    int maxRequestLine = 2048;
    // The request line and every header together.
    int maxHead = 8192;
    int maxHeaders = 48;
    qint64 maxBody = 4096;
};

// Watches the bytes a client sends on one connection, ahead of the HTTP
// server that reads them, and stops a connection whose requests break the
// limits or the shape of HTTP/1.x before the server takes them in: a head or
// body that is too long, a method the guests' page never uses, a body of
// unknown length (chunked), a malformed request line or header. Requests may
// follow one another on the connection; after a WebSocket upgrade the bytes
// are frames, which the guard leaves alone.
//
// Any bytes, in pieces of any size, give the same verdict as the whole.
class ThttpGuard {
public:
    enum class Verdict {
        // Nothing wrong so far.
        Pass,
        // The connection became a WebSocket: the guard has done its work.
        Upgraded,
        // Broken: answer with Status() and close the connection.
        Refused,
    };

    explicit ThttpGuard(ThttpLimits limits = {})
        : m_limits(limits)
    {
    }

    Verdict Feed(const char *data, qint64 size);
    Verdict Feed(const QByteArray &bytes) { return Feed(bytes.constData(), bytes.size()); }
    Verdict State() const { return m_verdict; }
    // The status to answer a refusal with (400, 405, 411, 413, 414, 431, 501, 505).
    int Status() const { return m_status; }
    const char *Reason() const { return m_reason; }
    // Requests whose head was complete and sound.
    int Requests() const { return m_requests; }
    // Whether a request has begun and is not complete yet.
    bool InRequest() const { return !m_head.isEmpty() || m_bodyLeft > 0; }
    // Whether the request read last (or being read, or refused) is a HEAD:
    // its answer, refusals too, has no body.
    bool MethodIsHead() const { return m_methodIsHead; }
    // Upgraded: the target of the request that asked for the WebSocket, and
    // the value of one of its headers (the first of that name; empty when
    // there is none).
    const QByteArray &UpgradeTarget() const { return m_upgradeTarget; }
    QByteArray UpgradeHeader(QByteArrayView name) const;
    // Whether a request asked for a WebSocket otherwise than by a GET
    // without a body. The guard reads it as the request it is; Qt's server
    // takes it for an upgrade all the same, and logs a warning as it refuses
    // it, so the connection is refused before Qt's server reads it.
    bool StrayUpgrade() const { return m_strayUpgrade; }

private:
    Verdict refuse(int status, const char *reason);
    // The head of one request, up to and without its empty line.
    Verdict checkHead(const QByteArray &head);

    ThttpLimits m_limits;
    Verdict m_verdict = Verdict::Pass;
    int m_status = 0;
    const char *m_reason = "";
    int m_requests = 0;
    QByteArray m_head;
    bool m_requestLineDone = false;
    qint64 m_bodyLeft = 0;
    bool m_methodIsHead = false;
    bool m_strayUpgrade = false;
    QByteArray m_upgradeTarget;
    std::vector<std::pair<QByteArray, QByteArray>> m_upgradeHeaders;
};

// The status line's text for the statuses ThttpGuard and the guests' server
// answer with.
const char *HttpStatusText(int status);
