#include "party/guestAccess.h"

#include <QRandomGenerator>
#include <algorithm>

bool SameSecret(QByteArrayView given, QByteArrayView expected)
{
    // Every byte of the expected secret is compared, whatever the given one
    // holds; a length mismatch is folded into the same result.
    unsigned difference = unsigned(given.size() ^ expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
        difference |= unsigned(g ^ static_cast<unsigned char>(expected[i]));
    }
    return difference == 0 && !expected.isEmpty();
}

QByteArray CookieValue(QByteArrayView header, QByteArrayView name)
{
    qsizetype start = 0;
    while (start < header.size()) {
        qsizetype end = header.indexOf(';', start);
        if (end < 0)
            end = header.size();
        QByteArrayView pair = header.sliced(start, end - start).trimmed();
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && pair.first(equals).trimmed() == name) {
            QByteArrayView value = pair.sliced(equals + 1).trimmed();
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.sliced(1, value.size() - 2);
            return value.toByteArray();
        }
        start = end + 1;
    }
    return {};
}

QByteArray NewGuestToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char *>(words), sizeof(words)).toHex();
}

bool IsGuestToken(QByteArrayView token)
{
    return token.size() == 32 && std::all_of(token.begin(), token.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
}

// --- rates ----------------------------------------------------------------------

TrateLimiter::TrateLimiter(double burst, double perSecond, Tclock clock)
    : m_burst(burst)
    , m_perSecond(perSecond)
    , m_clock(std::move(clock))
{
}

double TrateLimiter::tokensNow(const Bucket &bucket, qint64 now) const
{
    return std::min(m_burst, bucket.tokens + double(now - bucket.atMs) * m_perSecond / 1000.0);
}

bool TrateLimiter::Take(const QByteArray &client)
{
    const qint64 now = m_clock();
    auto it = m_buckets.find(client);
    if (it == m_buckets.end())
        it = m_buckets.insert(client, Bucket { m_burst, now });
    it->tokens = tokensNow(*it, now);
    it->atMs = now;
    if (it->tokens < 1.0)
        return false;
    it->tokens -= 1.0;
    return true;
}

void TrateLimiter::Prune()
{
    const qint64 now = m_clock();
    for (auto it = m_buckets.begin(); it != m_buckets.end();) {
        if (tokensNow(*it, now) >= m_burst)
            it = m_buckets.erase(it);
        else
            ++it;
    }
}

// --- wrong codes ---------------------------------------------------------------

std::deque<qint64> &TcodeAttempts::recent(const QByteArray &address)
{
    std::deque<qint64> &times = m_wrong[address];
    const qint64 now = m_clock();
    while (!times.empty() && now - times.front() >= kWindowMs)
        times.pop_front();
    return times;
}

bool TcodeAttempts::ShutOut(const QByteArray &address)
{
    if (!m_wrong.contains(address))
        return false;
    return int(recent(address).size()) >= kAllowed;
}

void TcodeAttempts::Wrong(const QByteArray &address)
{
    std::deque<qint64> &times = recent(address);
    times.push_back(m_clock());
    // Only the latest few matter.
    while (int(times.size()) > kAllowed)
        times.pop_front();
}

int TcodeAttempts::RetryAfterSeconds(const QByteArray &address)
{
    const std::deque<qint64> &times = recent(address);
    if (times.empty())
        return 1;
    const qint64 left = times.front() + kWindowMs - m_clock();
    return int(std::max<qint64>(1, (left + 999) / 1000));
}

void TcodeAttempts::Prune()
{
    for (auto it = m_wrong.begin(); it != m_wrong.end();) {
        const qint64 now = m_clock();
        while (!it->empty() && now - it->front() >= kWindowMs)
            it->pop_front();
        if (it->empty())
            it = m_wrong.erase(it);
        else
            ++it;
    }
}
