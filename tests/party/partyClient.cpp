#include "partyClient.h"

#include "eventWait.h"

#include <QJsonDocument>

QByteArray ThttpAnswer::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QJsonObject ThttpAnswer::json() const
{
    return QJsonDocument::fromJson(body).object();
}

TpartyClient::TpartyClient(quint16 port, QByteArray host)
    : m_port(port)
    , m_host(std::move(host))
{
}

bool TpartyClient::ensureConnected()
{
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        return true;
    m_socket = std::make_unique<QTcpSocket>();
    m_buffer.clear();
    if (!from.isNull() && !m_socket->bind(from))
        return false;
    m_socket->connectToHost(QString::fromLatin1(m_host), m_port);
    return RunEventsUntil(
               [this] {
                   return m_socket->state() == QAbstractSocket::ConnectedState
                       || m_socket->state() == QAbstractSocket::UnconnectedState;
               },
               5000)
        && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool TpartyClient::Connected()
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

QByteArray TpartyClient::cookieHeader() const
{
    QByteArray header;
    for (auto it = cookies.begin(); it != cookies.end(); ++it) {
        if (!header.isEmpty())
            header += "; ";
        header += it.key() + '=' + it.value();
    }
    return header;
}

ThttpAnswer TpartyClient::Raw(const QByteArray &bytes, int timeoutMs)
{
    return send(bytes, false, timeoutMs);
}

ThttpAnswer TpartyClient::send(const QByteArray &bytes, bool bodyless, int timeoutMs)
{
    ThttpAnswer answer;
    if (!ensureConnected())
        return answer;
    m_socket->write(bytes);
    qsizetype headEnd = -1;
    qint64 length = -1;
    const auto complete = [&] {
        m_buffer += m_socket->readAll();
        if (headEnd < 0) {
            headEnd = m_buffer.indexOf("\r\n\r\n");
            if (headEnd < 0)
                return m_socket->state() != QAbstractSocket::ConnectedState;
            for (const QByteArray &line : m_buffer.left(headEnd).split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (bodyless)
                length = 0;
        }
        if (length >= 0 && m_buffer.size() >= headEnd + 4 + length)
            return true;
        return m_socket->state() != QAbstractSocket::ConnectedState;
    };
    RunEventsUntil(complete, timeoutMs);
    if (headEnd < 0)
        return answer;
    const QList<QByteArray> lines = m_buffer.left(headEnd).split('\n');
    const QList<QByteArray> statusLine = lines.first().trimmed().split(' ');
    answer.status = statusLine.size() >= 2 ? statusLine[1].toInt() : 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        answer.headers.append({ name, value });
        if (name.compare("Set-Cookie", Qt::CaseInsensitive) == 0) {
            const QByteArray pair = value.left(value.indexOf(';') < 0 ? value.size() : value.indexOf(';'));
            const qsizetype equals = pair.indexOf('=');
            if (equals > 0)
                cookies.insert(pair.left(equals), pair.mid(equals + 1));
        }
    }
    const qint64 take = length >= 0 ? length : m_buffer.size() - headEnd - 4;
    answer.body = m_buffer.mid(headEnd + 4, take);
    m_buffer.remove(0, headEnd + 4 + take);
    answer.closed = m_socket->state() != QAbstractSocket::ConnectedState;
    return answer;
}

QByteArray TpartyClient::requestHead(const QByteArray &method, const QByteArray &target) const
{
    QByteArray request
        = method + ' ' + target + " HTTP/1.1\r\nHost: " + m_host + ':' + QByteArray::number(m_port) + "\r\n";
    if (!cookies.isEmpty())
        request += "Cookie: " + cookieHeader() + "\r\n";
    return request;
}

ThttpAnswer TpartyClient::Get(const QByteArray &target)
{
    return Raw(requestHead("GET", target) + "\r\n");
}

ThttpAnswer TpartyClient::Head(const QByteArray &target)
{
    return send(requestHead("HEAD", target) + "\r\n", true, 5000);
}

ThttpAnswer TpartyClient::Post(const QByteArray &target, const QByteArray &body, const QByteArray &contentType)
{
    QByteArray request = "POST " + target + " HTTP/1.1\r\nHost: " + m_host + ':' + QByteArray::number(m_port)
        + "\r\nContent-Type: " + contentType + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!cookies.isEmpty())
        request += "Cookie: " + cookieHeader() + "\r\n";
    return Raw(request + "\r\n" + body);
}

bool TpartyClient::Closed(int timeoutMs)
{
    if (!m_socket)
        return true;
    return RunEventsUntil(
        [this] {
            m_socket->readAll();
            return m_socket->state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}
