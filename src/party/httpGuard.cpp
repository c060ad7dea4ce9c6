#include "party/httpGuard.h"

#include <QList>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '*':
    case '+':
    case '-':
    case '.':
    case '^':
    case '_':
    case '`':
    case '|':
    case '~':
        return true;
    default:
        return false;
    }
}

bool isFieldValueChar(unsigned char c)
{
    return c == '\t' || (c >= 0x20 && c != 0x7F);
}

QByteArray trimmed(const QByteArray &value)
{
    qsizetype start = 0;
    qsizetype end = value.size();
    while (start < end && (value[start] == ' ' || value[start] == '\t'))
        ++start;
    while (end > start && (value[end - 1] == ' ' || value[end - 1] == '\t'))
        --end;
    return value.mid(start, end - start);
}

bool containsToken(const QByteArray &list, const char *token)
{
    for (const QByteArray &part : list.split(',')) {
        if (trimmed(part).compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

const char *HttpStatusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 409:
        return "Conflict";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    case 415:
        return "Unsupported Media Type";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

QByteArray ThttpGuard::UpgradeHeader(QByteArrayView name) const
{
    for (const auto &[header, value] : m_upgradeHeaders) {
        if (header.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return QByteArray();
}

ThttpGuard::Verdict ThttpGuard::refuse(int status, const char *reason)
{
    m_status = status;
    m_reason = reason;
    m_verdict = Verdict::Refused;
    m_head.clear();
    return m_verdict;
}

ThttpGuard::Verdict ThttpGuard::Feed(const char *data, qint64 size)
{
    qint64 at = 0;
    while (m_verdict == Verdict::Pass && at < size) {
        if (m_bodyLeft > 0) {
            const qint64 take = std::min(m_bodyLeft, size - at);
            m_bodyLeft -= take;
            at += take;
            continue;
        }
        // Empty lines between requests are allowed, and skipped.
        if (m_head.isEmpty() && (data[at] == '\r' || data[at] == '\n')) {
            ++at;
            continue;
        }
        // A line at a time, or what there is of it.
        const void *newline = memchr(data + at, '\n', size_t(size - at));
        const qint64 end = newline ? static_cast<const char *>(newline) - data + 1 : size;
        m_head.append(data + at, end - at);
        at = end;
        m_methodIsHead = m_head.startsWith("HEAD ");
        if (!m_requestLineDone) {
            if (m_head.size() > m_limits.maxRequestLine + 2)
                return refuse(414, "request line too long");
            m_requestLineDone = newline != nullptr;
        }
        if (m_head.size() > m_limits.maxHead)
            return refuse(431, "request head too long");
        if (newline && (m_head.endsWith("\n\r\n") || m_head.endsWith("\n\n"))) {
            m_requestLineDone = false;
            checkHead(std::exchange(m_head, QByteArray()));
        }
    }
    return m_verdict;
}

ThttpGuard::Verdict ThttpGuard::checkHead(const QByteArray &head)
{
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return refuse(400, "empty request");

    const QList<QByteArray> parts = lines.first().split(' ');
    if (parts.size() != 3)
        return refuse(400, "malformed request line");
    const QByteArray &method = parts[0];
    const QByteArray &target = parts[1];
    const QByteArray &version = parts[2];
    if (method.isEmpty() || !std::all_of(method.begin(), method.end(), isTokenChar))
        return refuse(400, "malformed method");
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        if (version.startsWith("HTTP/"))
            return refuse(505, "only HTTP/1.0 and HTTP/1.1");
        return refuse(400, "malformed request line");
    }
    if (target.isEmpty() || target[0] != '/')
        return refuse(400, "the target must be a path");
    if (!std::all_of(target.begin(), target.end(), [](char c) { return c > 0x20 && c < 0x7F; }))
        return refuse(400, "malformed target");
    const bool isGet = method == "GET";
    const bool isHead = method == "HEAD";
    const bool isPost = method == "POST";
    if (!isGet && !isHead && !isPost)
        return refuse(405, "only GET, HEAD and POST");

    if (lines.size() - 1 > m_limits.maxHeaders)
        return refuse(431, "too many headers");
    qint64 contentLength = -1;
    bool upgrade = false;
    bool connectionUpgrade = false;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line.isEmpty())
            return refuse(400, "malformed header");
        if (line[0] == ' ' || line[0] == '\t')
            return refuse(400, "folded header lines are not allowed");
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return refuse(400, "malformed header");
        const QByteArray name = line.left(colon);
        if (!std::all_of(name.begin(), name.end(), isTokenChar))
            return refuse(400, "malformed header name");
        const QByteArray value = trimmed(line.mid(colon + 1));
        if (!std::all_of(
                value.begin(), value.end(), [](char c) { return isFieldValueChar(static_cast<unsigned char>(c)); }))
            return refuse(400, "malformed header value");
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            if (value.isEmpty() || value.size() > 18
                || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return refuse(400, "malformed Content-Length");
            const qint64 length = value.toLongLong();
            if (contentLength >= 0 && contentLength != length)
                return refuse(400, "conflicting Content-Length");
            contentLength = length;
        } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            return refuse(501, "no transfer codings");
        } else if (name.compare("Upgrade", Qt::CaseInsensitive) == 0) {
            // As Qt's server reads it, that word alone: a list that names it
            // among others is no upgrade there, and the guard must go on
            // watching the connection.
            upgrade = value.compare("websocket", Qt::CaseInsensitive) == 0;
        } else if (name.compare("Connection", Qt::CaseInsensitive) == 0) {
            connectionUpgrade = connectionUpgrade || containsToken(value, "upgrade");
        }
        headers.emplace_back(name, value);
    }
    if (contentLength > m_limits.maxBody)
        return refuse(413, "request body too large");
    if (isPost && contentLength < 0)
        return refuse(411, "a body needs its length");
    ++m_requests;
    if (upgrade && connectionUpgrade && (!isGet || contentLength > 0))
        m_strayUpgrade = true;
    if (upgrade && connectionUpgrade && isGet && contentLength <= 0) {
        m_upgradeTarget = target;
        m_upgradeHeaders = std::move(headers);
        m_verdict = Verdict::Upgraded;
        return m_verdict;
    }
    m_bodyLeft = std::max<qint64>(contentLength, 0);
    return m_verdict;
}
