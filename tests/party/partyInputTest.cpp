#include "party/guestAccess.h"
#include "party/httpGuard.h"
#include "party/partyApi.h"

#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {

// --- the guard over request bytes -------------------------------------------------------

struct GuardCase {
    const char *name;
    QByteArray bytes;
    ThttpGuard::Verdict verdict;
    int status;
    int requests;
};

class Guard : public ::testing::TestWithParam<GuardCase> { };

TEST_P(Guard, JudgesTheBytesWhicheverWayTheyArrive)
{
    const GuardCase &c = GetParam();
    ThttpGuard whole;
    whole.Feed(c.bytes);
    EXPECT_EQ(whole.State(), c.verdict);
    EXPECT_EQ(whole.Status(), c.status) << whole.Reason();
    EXPECT_EQ(whole.Requests(), c.requests);
    // A byte at a time, as a slow network hands them over.
    ThttpGuard trickle;
    for (const char byte : c.bytes)
        trickle.Feed(&byte, 1);
    EXPECT_EQ(trickle.State(), c.verdict);
    EXPECT_EQ(trickle.Status(), c.status);
    EXPECT_EQ(trickle.Requests(), c.requests);
}

const QByteArray kGet = "GET /api/state HTTP/1.1\r\nHost: h\r\nCookie: vorlen_code=ABCDEF\r\n\r\n";
const QByteArray kPost
    = "POST /api/join HTTP/1.1\r\nHost: h\r\nContent-Type: application/json\r\nContent-Length: 15\r\n\r\n"
      "{\"name\":\"Ann\"}\n";

INSTANTIATE_TEST_SUITE_P(PartyInput, Guard,
    ::testing::Values(GuardCase { "OneGet", kGet, ThttpGuard::Verdict::Pass, 0, 1 },
        GuardCase { "PipelinedWithBodies", kGet + kPost + kGet + kPost, ThttpGuard::Verdict::Pass, 0, 4 },
        GuardCase { "BodyThatLooksLikeAHeadIsBody",
            "POST /api/join HTTP/1.1\r\nContent-Length: 19\r\n\r\nDELETE / HTTP/1.1\r\n" + kGet,
            ThttpGuard::Verdict::Pass, 0, 2 },
        GuardCase { "BareLineFeeds", "GET / HTTP/1.0\nHost: h\n\n", ThttpGuard::Verdict::Pass, 0, 1 },
        GuardCase { "EmptyLinesBetween", "\r\n\r\n" + kGet + "\r\n" + kGet, ThttpGuard::Verdict::Pass, 0, 2 },
        GuardCase { "HalfAHeadSoFar", "GET /api/state HTTP/1.1\r\nHost:", ThttpGuard::Verdict::Pass, 0, 0 },
        GuardCase { "Upgrade",
            "GET /api/live HTTP/1.1\r\nUpgrade: websocket\r\nConnection: keep-alive, Upgrade\r\n\r\n\x81\x85garbage",
            ThttpGuard::Verdict::Upgraded, 0, 1 },
        // Qt's server takes "websocket" alone as a WebSocket: the guard goes
        // on watching a connection that names it among others.
        GuardCase { "UpgradeAmongOthersIsNoUpgrade",
            "GET /api/live HTTP/1.1\r\nUpgrade: websocket, h2c\r\nConnection: Upgrade\r\n\r\n"
            "GET / HTTP/1.1\r\nX: \x01\r\n\r\n",
            ThttpGuard::Verdict::Refused, 400, 1 },
        GuardCase { "UpgradeOfAPostIsABody",
            "POST /api/join HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Content-Length: 2\r\n\r\n{}",
            ThttpGuard::Verdict::Pass, 0, 1 },
        GuardCase { "BodyTooLarge", "POST /api/join HTTP/1.1\r\nContent-Length: 4097\r\n\r\n",
            ThttpGuard::Verdict::Refused, 413, 0 },
        GuardCase { "AbsurdLength", "POST /x HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n",
            ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase {
            "NegativeLength", "POST /x HTTP/1.1\r\nContent-Length: -1\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "TwoLengths", "POST /x HTTP/1.1\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\n",
            ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "SameLengthTwice", "POST /x HTTP/1.1\r\nContent-Length: 2\r\nContent-Length: 2\r\n\r\n{}",
            ThttpGuard::Verdict::Pass, 0, 1 },
        GuardCase {
            "Chunked", "POST /x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", ThttpGuard::Verdict::Refused, 501, 0 },
        GuardCase { "PostWithoutLength", "POST /x HTTP/1.1\r\n\r\n", ThttpGuard::Verdict::Refused, 411, 0 },
        GuardCase { "Put", "PUT /x HTTP/1.1\r\n\r\n", ThttpGuard::Verdict::Refused, 405, 0 },
        GuardCase { "AbsoluteTarget", "GET http://evil/ HTTP/1.1\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase {
            "ControlInTarget", QByteArray("GET /a\x01 HTTP/1.1\r\n\r\n"), ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase {
            "NulInHeader", QByteArray("GET / HTTP/1.1\r\nX: a\0b\r\n\r\n", 27), ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "FoldedHeader", "GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "HeaderWithoutColon", "GET / HTTP/1.1\r\nNoColon\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "SpaceBeforeColon", "GET / HTTP/1.1\r\nHost : h\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "OldVersion", "GET / HTTP/0.9\r\n\r\n", ThttpGuard::Verdict::Refused, 505, 0 },
        GuardCase { "NoVersion", "GET /\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 0 },
        GuardCase { "LongRequestLine", "GET /" + QByteArray(2100, 'a') + " HTTP/1.1\r\n\r\n",
            ThttpGuard::Verdict::Refused, 414, 0 },
        GuardCase { "EndlessRequestLine", "GET /" + QByteArray(5000, 'a'), ThttpGuard::Verdict::Refused, 414, 0 },
        GuardCase { "LongHead", "GET / HTTP/1.1\r\nX: " + QByteArray(8200, 'a') + "\r\n\r\n",
            ThttpGuard::Verdict::Refused, 431, 0 },
        GuardCase { "ManyHeaders", "GET / HTTP/1.1\r\n" + QByteArray("X: y\r\n").repeated(49) + "\r\n",
            ThttpGuard::Verdict::Refused, 431, 0 },
        GuardCase {
            "BrokenAfterAGoodOne", kGet + "BREW /pot HTCPCP/1.0\r\n\r\n", ThttpGuard::Verdict::Refused, 400, 1 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PartyInput, ARefusedConnectionStaysRefused)
{
    ThttpGuard guard;
    ASSERT_EQ(guard.Feed("PUT / HTTP/1.1\r\n\r\n"), ThttpGuard::Verdict::Refused);
    EXPECT_EQ(guard.Feed(kGet), ThttpGuard::Verdict::Refused);
    EXPECT_EQ(guard.Requests(), 0);
}

// --- the API's calls ------------------------------------------------------------------------

struct CallCase {
    const char *name;
    QByteArray method;
    QString path;
    QString query;
    QByteArray body;
    QByteArray contentType;
    // The call's kind, or -1 for an error of that status.
    int kind;
    int status;
};

class Calls : public ::testing::TestWithParam<CallCase> { };

TEST_P(Calls, AreReadExactlyOrRefused)
{
    const CallCase &c = GetParam();
    const auto result = ParseApiCall(c.method, c.path, QUrlQuery(c.query), c.body, c.contentType);
    if (c.kind >= 0) {
        ASSERT_TRUE(std::holds_alternative<TapiCall>(result)) << std::get<TapiError>(result).message.toStdString();
        EXPECT_EQ(int(std::get<TapiCall>(result).kind), c.kind);
    } else {
        ASSERT_TRUE(std::holds_alternative<TapiError>(result));
        EXPECT_EQ(std::get<TapiError>(result).status, c.status);
    }
}

constexpr int kError = -1;
const QByteArray kJson = "application/json";

INSTANTIATE_TEST_SUITE_P(PartyInput, Calls,
    ::testing::Values(CallCase { "State", "GET", "/api/state", "", "", "", int(TapiKind::State), 0 },
        CallCase { "Search", "GET", "/api/search", "q=abba&limit=5", "", "", int(TapiKind::Search), 0 },
        CallCase { "SearchTooLong", "GET", "/api/search", "q=" + QString(101, u'a'), "", "", kError, 400 },
        CallCase { "SearchBadLimit", "GET", "/api/search", "q=a&limit=-3", "", "", kError, 400 },
        CallCase { "Artists", "GET", "/api/artists", "offset=10&count=20", "", "", int(TapiKind::Artists), 0 },
        CallCase { "ArtistsBadOffset", "GET", "/api/artists", "offset=1e9", "", "", kError, 400 },
        CallCase { "Albums", "GET", "/api/albums", "artist=00000000000000aB", "", "", int(TapiKind::Albums), 0 },
        CallCase { "AlbumsWithoutArtist", "GET", "/api/albums", "", "", "", kError, 400 },
        CallCase { "IdTooLong", "GET", "/api/tracks", "album=00000000000000001", "", "", kError, 400 },
        CallCase { "IdNotHex", "GET", "/api/cover", "track=xyz", "", "", kError, 400 },
        CallCase { "IdZero", "GET", "/api/cover", "track=0", "", "", kError, 400 },
        CallCase { "Join", "POST", "/api/join", "", "{\"name\":\"Ann\"}", kJson, int(TapiKind::Join), 0 },
        CallCase { "JoinWithCharset", "POST", "/api/join", "", "{\"name\":\"Ann\"}", "Application/JSON; charset=utf-8",
            int(TapiKind::Join), 0 },
        CallCase { "JoinByGet", "GET", "/api/join", "name=Ann", "", "", kError, 405 },
        CallCase {
            "JoinAsForm", "POST", "/api/join", "", "name=Ann", "application/x-www-form-urlencoded", kError, 415 },
        CallCase { "JoinNameNotText", "POST", "/api/join", "", "{\"name\":7}", kJson, kError, 400 },
        CallCase { "JoinNameTooLong", "POST", "/api/join", "", "{\"name\":\"" + QByteArray(201, 'x') + "\"}", kJson,
            kError, 400 },
        CallCase { "JoinArray", "POST", "/api/join", "", "[\"Ann\"]", kJson, kError, 400 },
        CallCase { "JoinTruncated", "POST", "/api/join", "", "{\"name\":\"An", kJson, kError, 400 },
        CallCase { "Request", "POST", "/api/request", "", "{\"track\":\"ff\"}", kJson, int(TapiKind::Request), 0 },
        CallCase { "RequestNumber", "POST", "/api/request", "", "{\"track\":255}", kJson, kError, 400 },
        CallCase { "RequestPath", "POST", "/api/request", "", "{\"track\":\"/music/a.mp3\"}", kJson, kError, 400 },
        CallCase { "Vote", "POST", "/api/vote", "", "{}", kJson, int(TapiKind::Vote), 0 },
        CallCase { "NoSkipForGuests", "POST", "/api/skip", "", "{}", kJson, kError, 404 },
        CallCase { "NoVolumeForGuests", "POST", "/api/volume", "", "{\"value\":255}", kJson, kError, 404 },
        CallCase { "NoFiles", "GET", "/api/file", "path=/etc/passwd", "", "", kError, 404 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PartyInput, CoverSizesSnapToTheSizesKept)
{
    const auto size = [](const QString &query) {
        return std::get<TapiCall>(ParseApiCall("GET", QStringLiteral("/api/cover"), QUrlQuery(query), {}, {})).count;
    };
    EXPECT_EQ(size(QStringLiteral("track=1")), 192);
    EXPECT_EQ(size(QStringLiteral("track=1&size=1")), 96);
    EXPECT_EQ(size(QStringLiteral("track=1&size=97")), 192);
    EXPECT_EQ(size(QStringLiteral("track=1&size=999999")), 384) << "never larger than the largest";
}

TEST(PartyInput, IdsRoundTrip)
{
    for (const quint64 id : { quint64(1), quint64(0xabcdef), ~quint64(0) }) {
        EXPECT_EQ(IdText(id).size(), 16);
        EXPECT_EQ(IdFromText(QString::fromLatin1(IdText(id))), id);
    }
}

// --- codes, cookies, rates -------------------------------------------------------------------

TEST(PartyInput, SecretsCompareWhole)
{
    EXPECT_TRUE(SameSecret("K7M2QX", "K7M2QX"));
    EXPECT_FALSE(SameSecret("K7M2QY", "K7M2QX"));
    EXPECT_FALSE(SameSecret("K7M2Q", "K7M2QX"));
    EXPECT_FALSE(SameSecret("K7M2QXX", "K7M2QX"));
    EXPECT_FALSE(SameSecret("", "K7M2QX"));
    EXPECT_FALSE(SameSecret("", "")) << "no secret lets nobody in";
}

TEST(PartyInput, CookiesAreFoundByTheirExactName)
{
    EXPECT_EQ(CookieValue("vorlen_code=ABC", "vorlen_code"), "ABC");
    EXPECT_EQ(CookieValue("a=1; vorlen_code=ABC; b=2", "vorlen_code"), "ABC");
    EXPECT_EQ(CookieValue("a=1;vorlen_code = \"ABC\" ", "vorlen_code"), "ABC");
    EXPECT_EQ(CookieValue("xvorlen_code=EVIL; vorlen_codex=EVIL", "vorlen_code"), "");
    EXPECT_EQ(CookieValue("", "vorlen_code"), "");
    EXPECT_EQ(CookieValue(";;=;vorlen_code", "vorlen_code"), "");
    EXPECT_TRUE(IsGuestToken(NewGuestToken()));
    EXPECT_NE(NewGuestToken(), NewGuestToken());
    EXPECT_FALSE(IsGuestToken("0123456789ABCDEF0123456789abcdef"));
}

TEST(PartyInput, RatesAllowABurstThenRefill)
{
    qint64 now = 0;
    TrateLimiter rates(3, 2, [&] { return now; });
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(rates.Take("a")) << i;
    EXPECT_FALSE(rates.Take("a"));
    EXPECT_TRUE(rates.Take("b")) << "each client has its own bucket";
    now += 500;
    EXPECT_TRUE(rates.Take("a")) << "two a second: one after half a second";
    EXPECT_FALSE(rates.Take("a"));
    now += 10000;
    rates.Prune();
    EXPECT_EQ(rates.Clients(), 0) << "full buckets are forgotten";
}

TEST(PartyInput, WrongCodesShutAnAddressOutForAMinute)
{
    qint64 now = 0;
    TcodeAttempts attempts([&] { return now; });
    for (int i = 0; i < TcodeAttempts::kAllowed - 1; ++i) {
        attempts.Wrong("10.0.0.9");
        now += 1000;
    }
    EXPECT_FALSE(attempts.ShutOut("10.0.0.9"));
    attempts.Wrong("10.0.0.9");
    EXPECT_TRUE(attempts.ShutOut("10.0.0.9"));
    EXPECT_FALSE(attempts.ShutOut("10.0.0.10"));
    EXPECT_EQ(attempts.RetryAfterSeconds("10.0.0.9"), 56);
    now += 56 * 1000;
    EXPECT_FALSE(attempts.ShutOut("10.0.0.9")) << "the oldest wrong code is a minute old";
    now += 60 * 1000;
    attempts.Prune();
    EXPECT_FALSE(attempts.ShutOut("10.0.0.9"));
}

} // namespace
