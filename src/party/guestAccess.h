#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QtGlobal>
#include <deque>
#include <functional>

// Whether two secrets are equal, in a time that depends on their lengths
// only, never on where they first differ: a guest code is not guessed
// letter by letter from how fast wrong ones are refused.
bool SameSecret(QByteArrayView given, QByteArrayView expected);

// The value of the cookie name in a Cookie header ("a=1; b=2"); empty when
// it is not there.
QByteArray CookieValue(QByteArrayView header, QByteArrayView name);

// A fresh random token of 32 hexadecimal digits (the system's cryptographic
// source) that names a guest's browser in a cookie.
QByteArray NewGuestToken();
bool IsGuestToken(QByteArrayView token);

// How often a client may do something: a bucket of burst tokens per client
// (an address, or a guest), filled again at rate tokens a second. Clients
// not heard from for a while are forgotten, so the table stays small.
//
// GUI thread only.
class TrateLimiter {
public:
    using Tclock = std::function<qint64()>;

    TrateLimiter(double burst, double perSecond, Tclock clock);

    // Takes one token of the client's bucket; false when it is empty.
    bool Take(const QByteArray &client);
    // Forgets clients whose buckets are full again.
    void Prune();
    int Clients() const { return int(m_buckets.size()); }

private:
    struct Bucket {
        double tokens;
        qint64 atMs;
    };
    double tokensNow(const Bucket &bucket, qint64 now) const;

    double m_burst;
    double m_perSecond;
    Tclock m_clock;
    QHash<QByteArray, Bucket> m_buckets;
};

// Wrong guest codes from one address: after kAllowed wrong codes within a
// minute the address is shut out until the oldest of them is a minute old.
//
// GUI thread only.
class TcodeAttempts {
public:
    using Tclock = std::function<qint64()>;
    static constexpr int kAllowed = 5;
    static constexpr qint64 kWindowMs = 60 * 1000;

    explicit TcodeAttempts(Tclock clock)
        : m_clock(std::move(clock))
    {
    }

    bool ShutOut(const QByteArray &address);
    void Wrong(const QByteArray &address);
    // How long the address stays shut out, in whole seconds (at least 1).
    int RetryAfterSeconds(const QByteArray &address);
    void Prune();

private:
    std::deque<qint64> &recent(const QByteArray &address);

    Tclock m_clock;
    QHash<QByteArray, std::deque<qint64>> m_wrong;
};
