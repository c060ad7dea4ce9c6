// The guests' server in this process, over a real core and a library of real
// tone files, talked to over the loopback as a phone's browser talks to it:
// raw HTTP on a TCP connection and a WebSocket.
#include "coreFakes.h"
#include "coreTestFolder.h"
#include "partyClient.h"

#include "core/dmMain.h"
#include "eventWait.h"
#include "party/guestAccess.h"
#include "party/partyServer.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The music of every test: two albums of real tracks, one track with its
// cover stored in the file, one titled as a script would be.
class PartyMusic {
public:
    static const PartyMusic &Get()
    {
        static PartyMusic music;
        return music;
    }

    TcoreTestFolder folder;
    QStringList files;

private:
    PartyMusic()
    {
        const QString cover = folder.root.filePath(QStringLiteral("cover.png"));
        QImage picture(600, 400, QImage::Format_RGB32);
        picture.fill(QColor(200, 40, 40));
        picture.save(cover);
        files << folder.addTrack(QStringLiteral("nord/1.mp3"), QStringLiteral("Über den Wolken"),
            QStringLiteral("Nordwave"), QStringLiteral("Hits"), 1, 440, 4.0);
        files << folder.addTrack(QStringLiteral("nord/2.mp3"), QStringLiteral("Two Rivers"), QStringLiteral("Nordwave"),
            QStringLiteral("Hits"), 2, 660, 4.0);
        files << folder.addTrack(QStringLiteral("solo/1.mp3"), QStringLiteral("<img src=x onerror=alert(1)>"),
            QStringLiteral("Solo"), QStringLiteral("Alone"), 1, 880, 4.0);
        // The stored cover: the same tone again, with the picture.
        const QString withCover = folder.music() + QStringLiteral("/solo/2.mp3");
        ToneSpec spec;
        spec.seconds = 4.0;
        spec.frequency = 550;
        spec.coverImage = cover;
        spec.metadata = { { QStringLiteral("title"), QStringLiteral("Covered") },
            { QStringLiteral("artist"), QStringLiteral("Solo") }, { QStringLiteral("album"), QStringLiteral("Alone") },
            { QStringLiteral("track"), QStringLiteral("2") } };
        QString error;
        EXPECT_TRUE(MakeToneFile(withCover, spec, &error)) << error.toStdString();
        files << withCover;
    }
};

class PartyServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        const PartyMusic &music = PartyMusic::Get();
        home.emplace();
        TdmMainOptions options = music.folder.options();
        options.folders.home = home->path();
        options.folders.assets = home->path();
        options.clock = [this] { return clock; };
        run.emplace(options);
        core().StartUp();
        core().AddScannedFiles(music.files, false);
        ASSERT_EQ(core().jblMain().MasterList().Count(), 4);
        TpartyServerOptions serverOptions;
        serverOptions.listenAddress = QHostAddress::LocalHost;
        serverOptions.port = 0;
        serverOptions.clock = [this] { return clock; };
        serverOptions.pushDelayMs = 10;
        server.emplace(core(), serverOptions);
    }
    void TearDown() override
    {
        core().Stop();
        server.reset();
    }

    TdmMain &core() { return run->core; }
    // The server again, under other options.
    void restart(const std::function<void(TpartyServerOptions &)> &edit)
    {
        server.reset();
        TpartyServerOptions options;
        options.listenAddress = QHostAddress::LocalHost;
        options.port = 0;
        options.clock = [this] { return clock; };
        edit(options);
        server.emplace(core(), options);
    }
    void open(const std::function<void(TpartySettings &)> &edit = {})
    {
        TpartySettings settings = core().PartySettings();
        settings.Enabled = true;
        if (edit)
            edit(settings);
        core().SetPartySettings(settings);
    }
    QByteArray code() const { return run->core.PartySettings().GuestCode.toLatin1(); }
    // A browser that came in by the QR code's address.
    std::unique_ptr<TpartyClient> guest()
    {
        auto client = std::make_unique<TpartyClient>(server->Port());
        client->cookies.insert("vorlen_code", code());
        return client;
    }
    std::unique_ptr<TpartyClient> joined(const QByteArray &name)
    {
        auto client = guest();
        const ThttpAnswer answer = client->Post("/api/join", "{\"name\": \"" + name + "\"}");
        EXPECT_EQ(answer.status, 200) << answer.body.toStdString();
        return client;
    }
    // The id of the first search result for text.
    QByteArray trackId(TpartyClient &client, const QByteArray &text)
    {
        const ThttpAnswer answer = client.Get("/api/search?q=" + QUrl::toPercentEncoding(QString::fromUtf8(text)));
        const QJsonArray tracks = answer.json().value(QStringLiteral("tracks")).toArray();
        return tracks.isEmpty() ? QByteArray()
                                : tracks.first().toObject().value(QStringLiteral("id")).toString().toLatin1();
    }
    QStringList queueTexts()
    {
        QStringList rows;
        for (int row = 0; row < core().tqQueue().Count(); ++row)
            rows << core().tqQueue().DisplayText(row);
        return rows;
    }

    qint64 clock = 1000000;
    std::optional<QTemporaryDir> home;
    std::optional<TrecordedCore> run;
    std::optional<TpartyServer> server;
};

// --- listening ---------------------------------------------------------------------

TEST_F(PartyServer, NothingListensUntilThePartyIsOnAndTurningItOffClosesEveryConnection)
{
    EXPECT_FALSE(server->Listening());
    EXPECT_FALSE(core().PartyStatus().Listening);
    open();
    ASSERT_TRUE(server->Listening());
    const TpartyStatus status = core().PartyStatus();
    EXPECT_TRUE(status.Listening);
    EXPECT_EQ(status.Address,
        QStringLiteral("http://127.0.0.1:%1/?code=%2").arg(server->Port()).arg(QString::fromLatin1(code())));

    auto client = joined("Anna");
    ASSERT_TRUE(client->Connected());
    QWebSocket live;
    QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(server->Port())));
    request.setRawHeader("Cookie", "vorlen_code=" + code());
    request.setRawHeader("Origin", "http://127.0.0.1:" + QByteArray::number(server->Port()));
    live.open(request);
    ASSERT_TRUE(RunEventsUntil([&] { return live.state() == QAbstractSocket::ConnectedState; }, 5000));
    ASSERT_TRUE(RunEventsUntil([&] { return server->LivePages() == 1; }, 5000));

    const quint16 port = server->Port();
    TpartySettings settings = core().PartySettings();
    settings.Enabled = false;
    core().SetPartySettings(settings);
    EXPECT_FALSE(server->Listening());
    EXPECT_TRUE(client->Closed()) << "the open connection is closed";
    EXPECT_TRUE(RunEventsUntil([&] { return live.state() == QAbstractSocket::UnconnectedState; }, 5000))
        << "the live page is closed";
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(probe.waitForConnected(1000)) << "nothing listens any more";
}

TEST_F(PartyServer, APortInUseIsReportedNotHidden)
{
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::LocalHost));
    server.reset();
    TpartyServerOptions options;
    options.listenAddress = QHostAddress::LocalHost;
    options.port = squatter.serverPort();
    server.emplace(core(), options);
    open();
    EXPECT_FALSE(server->Listening());
    EXPECT_FALSE(core().PartyStatus().Listening);
    EXPECT_TRUE(core().PartyStatus().Error.contains(QString::number(squatter.serverPort())))
        << core().PartyStatus().Error.toStdString();
}

// --- the code ------------------------------------------------------------------------

TEST_F(PartyServer, TheCodeInTheAddressBecomesACookie)
{
    open();
    TpartyClient browser(server->Port());
    ThttpAnswer answer = browser.Get("/?code=" + code().toLower());
    EXPECT_EQ(answer.status, 303) << "typed in lower case, the code is the code";
    EXPECT_EQ(answer.header("Location"), "/");
    EXPECT_TRUE(answer.header("Set-Cookie").contains("HttpOnly"));
    EXPECT_TRUE(answer.header("Set-Cookie").contains("SameSite=Strict"));
    EXPECT_EQ(browser.cookies.value("vorlen_code"), code());

    answer = browser.Get("/");
    EXPECT_EQ(answer.status, 200);
    EXPECT_TRUE(answer.header("Content-Type").startsWith("text/html"));
    EXPECT_TRUE(answer.body.contains("/guest.js"));
    EXPECT_TRUE(answer.header("Content-Security-Policy").contains("script-src 'self'"));
    EXPECT_EQ(browser.Get("/guest.js").status, 200);
    EXPECT_EQ(browser.Get("/api/state").status, 200);
}

TEST_F(PartyServer, WithoutTheCodeNothingButTheCodeForm)
{
    open();
    TpartyClient stranger(server->Port());
    ThttpAnswer answer = stranger.Get("/");
    EXPECT_EQ(answer.status, 200);
    EXPECT_TRUE(answer.body.contains("name=\"code\"")) << "the form that asks for the code";
    EXPECT_FALSE(answer.body.contains("guest.js"));
    for (const char *target : { "/guest.js", "/guest.css", "/api/state", "/api/search?q=two", "/api/artists" })
        EXPECT_EQ(stranger.Get(target).status, 403) << target;
    EXPECT_EQ(stranger.Post("/api/join", "{\"name\":\"X\"}").status, 403);
    EXPECT_EQ(core().Party().GuestCount(), 0);
}

TEST_F(PartyServer, WrongCodesAreRefusedAndShutTheAddressOutForAMinute)
{
    open();
    TpartyClient guesser(server->Port());
    for (int i = 0; i < 5; ++i) {
        const ThttpAnswer answer = guesser.Get("/?code=AAAAA" + QByteArray::number(2 + i));
        EXPECT_EQ(answer.status, 403) << i;
        EXPECT_FALSE(answer.header("Set-Cookie").contains("vorlen_code"));
    }
    ThttpAnswer answer = guesser.Get("/?code=" + code());
    EXPECT_EQ(answer.status, 429) << "even the right code waits out the minute";
    EXPECT_GE(answer.header("Retry-After").toInt(), 1);
    guesser.cookies.insert("vorlen_code", code());
    EXPECT_EQ(guesser.Get("/api/state").status, 429);

    clock += 61 * 1000;
    EXPECT_EQ(guesser.Get("/api/state").status, 200);
    // A cookie of an old code counts as a wrong code too.
    guesser.cookies.insert("vorlen_code", "ZZZZZZ");
    answer = guesser.Get("/api/state");
    EXPECT_EQ(answer.status, 403);
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("wrong-code"));
}

TEST_F(PartyServer, ARenewedCodeLetsNoOldGuestInAndClosesTheirConnections)
{
    open();
    auto client = joined("Anna");
    TpartySettings settings = core().PartySettings();
    settings.GuestCode = NewGuestCode();
    ASSERT_NE(settings.GuestCode.toLatin1(), client->cookies.value("vorlen_code"));
    core().SetPartySettings(settings);
    EXPECT_TRUE(server->Listening());
    EXPECT_TRUE(core().PartyStatus().Address.endsWith(settings.GuestCode));
    EXPECT_TRUE(client->Closed());
    EXPECT_EQ(client->Get("/api/state").status, 403);
}

TEST_F(PartyServer, GuestsForgottenOrOfAnOldCodeJoinAgainAndTheirRequestsStay)
{
    open();
    auto anna = joined("Anna");
    const int first
        = anna->Get("/api/state").json().value(QStringLiteral("me")).toObject().value(QStringLiteral("guest")).toInt();
    ASSERT_GT(first, 0);
    ASSERT_EQ(anna->Post("/api/request", "{\"track\":\"" + trackId(*anna, "Two Rivers") + "\"}").status, 200);

    clock += TguestRequests::kForgetAfterMs + 1000;
    EXPECT_TRUE(anna->Get("/api/state").json().value(QStringLiteral("me")).isNull());
    const ThttpAnswer refused = anna->Post("/api/request", "{\"track\":\"" + trackId(*anna, "Hits") + "\"}");
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(refused.json().value(QStringLiteral("error")).toString(), QStringLiteral("join-first"));
    ASSERT_EQ(core().tqQueue().Count(), 1);
    EXPECT_EQ(core().tqQueue().Requester(0).name, QStringLiteral("Anna"));

    ThttpAnswer again = anna->Post("/api/join", "{\"name\": \"Anna\"}");
    ASSERT_EQ(again.status, 200);
    const int second = again.json().value(QStringLiteral("me")).toObject().value(QStringLiteral("guest")).toInt();
    EXPECT_GT(second, first) << "a number is never given twice";

    // A new code: the browser scans the new QR code and is a stranger to it.
    TpartySettings settings = core().PartySettings();
    settings.GuestCode = NewGuestCode();
    core().SetPartySettings(settings);
    EXPECT_TRUE(anna->Closed());
    anna->cookies.insert("vorlen_code", settings.GuestCode.toLatin1());
    EXPECT_TRUE(anna->Get("/api/state").json().value(QStringLiteral("me")).isNull());
    again = anna->Post("/api/join", "{\"name\": \"Anna\"}");
    ASSERT_EQ(again.status, 200);
    EXPECT_GT(again.json().value(QStringLiteral("me")).toObject().value(QStringLiteral("guest")).toInt(), second);
}

TEST_F(PartyServer, AnAddressMayNotFillThePartyWithGuests)
{
    restart([](TpartyServerOptions &options) {
        options.joinBurst = 3;
        options.joinsPerSecond = 1.0 / 30;
    });
    open();
    std::vector<std::unique_ptr<TpartyClient>> here;
    for (int i = 0; i < 3; ++i)
        here.push_back(joined("Guest " + QByteArray::number(i)));
    auto late = guest();
    ThttpAnswer answer = late->Post("/api/join", "{\"name\": \"Late\"}");
    EXPECT_EQ(answer.status, 429);
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("too-many-joins"));
    EXPECT_GE(answer.header("Retry-After").toInt(), 1);
    EXPECT_EQ(here.front()->Post("/api/join", "{\"name\": \"Renamed\"}").status, 200) << "a guest may rename";

    auto elsewhere = guest();
    elsewhere->from = QHostAddress(QStringLiteral("127.0.0.2"));
    EXPECT_EQ(elsewhere->Post("/api/join", "{\"name\": \"Next door\"}").status, 200);
    clock += 30 * 1000;
    EXPECT_EQ(late->Post("/api/join", "{\"name\": \"Late\"}").status, 200);
    EXPECT_EQ(core().Party().GuestCount(), 5);
}

// --- what guests send ----------------------------------------------------------------

struct MalformedCase {
    const char *name;
    QByteArray bytes;
    int status;
    // Whether the server closes the connection after answering.
    bool closes;
};

class MalformedRequests : public PartyServer, public ::testing::WithParamInterface<MalformedCase> { };

TEST_P(MalformedRequests, GetAnErrorAndChangeNothing)
{
    open();
    auto client = joined("Anna");
    const int guests = core().Party().GuestCount();
    const QByteArray cookie
        = "Cookie: vorlen_code=" + code() + "; vorlen_guest=" + client->cookies.value("vorlen_guest") + "\r\n";
    QByteArray bytes = GetParam().bytes;
    bytes.replace("{cookie}", cookie);
    const ThttpAnswer answer = client->Raw(bytes);
    EXPECT_EQ(answer.status, GetParam().status) << answer.body.toStdString();
    if (GetParam().closes) {
        EXPECT_TRUE(client->Closed());
    }
    EXPECT_EQ(core().tqQueue().Count(), 0);
    EXPECT_EQ(core().Party().GuestCount(), guests);
    EXPECT_EQ(core().Party().Guest(1)->Name, QStringLiteral("Anna"));
    // The server goes on serving others.
    EXPECT_EQ(guest()->Get("/api/state").status, 200);
}

INSTANTIATE_TEST_SUITE_P(PartyServer, MalformedRequests,
    ::testing::Values(MalformedCase { "BodyTooLarge",
                          "POST /api/join HTTP/1.1\r\nHost: x\r\n{cookie}Content-Type: "
                          "application/json\r\nContent-Length: 100000\r\n\r\n{\"name\":",
                          413, true },
        MalformedCase { "Chunked",
            "POST /api/join HTTP/1.1\r\nHost: x\r\n{cookie}Content-Type: application/json\r\nTransfer-Encoding: "
            "chunked\r\n\r\n"
            "4\r\n{\"na\r\n0\r\n\r\n",
            501, true },
        MalformedCase { "HeadTooLong",
            "GET /api/state HTTP/1.1\r\nHost: x\r\nX-Filler: " + QByteArray(9000, 'a') + "\r\n\r\n", 431, true },
        MalformedCase {
            "RequestLineTooLong", "GET /api/search?q=" + QByteArray(3000, 'a') + " HTTP/1.1\r\n\r\n", 414, true },
        MalformedCase { "NotHttp", "HELLO THERE\r\n\r\n", 400, true },
        MalformedCase { "OtherMethod", "DELETE /api/request HTTP/1.1\r\nHost: x\r\n{cookie}\r\n", 405, true },
        MalformedCase { "PostWithoutLength", "POST /api/join HTTP/1.1\r\nHost: x\r\n{cookie}\r\n", 411, true },
        MalformedCase { "Http2", "GET / HTTP/2.0\r\n\r\n", 505, true },
        MalformedCase { "BrokenJson",
            "POST /api/join HTTP/1.1\r\nHost: x\r\n{cookie}Content-Type: application/json\r\nContent-Length: "
            "9\r\n\r\n{\"name\":}",
            400, false },
        MalformedCase { "NotJson",
            "POST /api/join HTTP/1.1\r\nHost: x\r\n{cookie}Content-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: 6\r\n\r\nname=X",
            415, false },
        MalformedCase { "JsonOfTheWrongShape",
            "POST /api/request HTTP/1.1\r\nHost: x\r\n{cookie}Content-Type: application/json\r\nContent-Length: "
            "12\r\n\r\n"
            "{\"track\":17}",
            400, false },
        MalformedCase {
            "AnIdThatIsNoId", "GET /api/cover?track=../../etc/passwd HTTP/1.1\r\nHost: x\r\n{cookie}\r\n", 400, false },
        MalformedCase { "UnknownCall", "GET /api/skip HTTP/1.1\r\nHost: x\r\n{cookie}\r\n", 404, false },
        MalformedCase {
            "GuestsCannotSkip", "POST /api/skip HTTP/1.1\r\nHost: x\r\n{cookie}Content-Length: 0\r\n\r\n", 404, false },
        MalformedCase {
            "WrongMethodForACall", "GET /api/request?track=1 HTTP/1.1\r\nHost: x\r\n{cookie}\r\n", 405, false }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PartyServer, AClientThatAsksTooFastIsSlowedDown)
{
    server.reset();
    TpartyServerOptions options;
    options.listenAddress = QHostAddress::LocalHost;
    options.port = 0;
    options.clock = [this] { return clock; };
    options.requestBurst = 5;
    options.requestsPerSecond = 1;
    server.emplace(core(), options);
    open();
    auto client = guest();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(client->Get("/api/state").status, 200) << i;
    const ThttpAnswer answer = client->Get("/api/state");
    EXPECT_EQ(answer.status, 429);
    EXPECT_EQ(answer.header("Retry-After"), "1");
    clock += 2000;
    EXPECT_EQ(client->Get("/api/state").status, 200) << "the bucket fills again";
}

TEST_F(PartyServer, AHeadThatNeverEndsIsCutOff)
{
    open();
    auto client = guest();
    QTcpSocket slow;
    slow.connectToHost(QHostAddress::LocalHost, server->Port());
    ASSERT_TRUE(slow.waitForConnected(3000));
    slow.write("GET /api/state HTTP/1.1\r\nHost: x\r\n");
    slow.flush();
    RunEventsUntil([] { return false; }, 200);
    clock += 11000;
    EXPECT_TRUE(RunEventsUntil([&] { return slow.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(slow.readAll().startsWith("HTTP/1.1 408"));
}

TEST_F(PartyServer, SilentConnectionsAreCutAndAFewAddressesCannotTakeEveryPlace)
{
    restart([](TpartyServerOptions &options) {
        options.maxConnections = 16;
        options.maxConnectionsPerAddress = 4;
        options.firstRequestMs = 3000;
    });
    open();
    // Six silent connections from each of three addresses.
    std::vector<std::unique_ptr<QTcpSocket>> silent;
    for (const char *from : { "127.0.0.2", "127.0.0.3", "127.0.0.4" }) {
        for (int i = 0; i < 6; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            ASSERT_TRUE(socket->bind(QHostAddress(QString::fromLatin1(from))));
            socket->connectToHost(QHostAddress::LocalHost, server->Port());
            ASSERT_TRUE(socket->waitForConnected(3000));
            silent.push_back(std::move(socket));
        }
    }
    std::vector<QByteArray> answers(silent.size());
    const auto answered = [&](const QByteArray &start) {
        for (size_t i = 0; i < silent.size(); ++i)
            answers[i] += silent[i]->readAll();
        return std::count_if(answers.begin(), answers.end(), [&start](const auto &a) { return a.startsWith(start); });
    };
    EXPECT_TRUE(RunEventsUntil([&] { return answered("HTTP/1.1 503") == 6; }, 5000))
        << "two of each address's six are refused";
    auto anna = guest();
    EXPECT_EQ(anna->Get("/api/state").status, 200) << "a guest of another address still gets in";

    clock += 3001;
    EXPECT_TRUE(RunEventsUntil([&] { return answered("HTTP/1.1 408") == 12; }, 5000));
    EXPECT_TRUE(RunEventsUntil([&] { return server->Connections() == 1; }, 5000));
    EXPECT_TRUE(anna->Connected()) << "a connection that asked is kept";
    EXPECT_EQ(anna->Get("/api/state").status, 200);
}

struct HeadCase {
    const char *name;
    QByteArray target;
    int status;
};

class HeadRequests : public PartyServer, public ::testing::WithParamInterface<HeadCase> { };

TEST_P(HeadRequests, AreAnsweredWithoutABodyAndTheConnectionGoesOn)
{
    open();
    auto client = joined("Anna");
    const ThttpAnswer head = client->Head(GetParam().target);
    EXPECT_EQ(head.status, GetParam().status);
    EXPECT_TRUE(head.body.isEmpty());
    const ThttpAnswer get = client->Get(GetParam().target);
    EXPECT_EQ(get.status, GetParam().status) << "the GET after the HEAD is read as itself";
    EXPECT_EQ(get.header("Content-Type"), head.header("Content-Type"));
    EXPECT_EQ(head.header("Content-Length").toLongLong(), get.body.size());
    EXPECT_TRUE(client->Connected());
    EXPECT_EQ(client->Get("/api/state").status, 200);
}

INSTANTIATE_TEST_SUITE_P(PartyServer, HeadRequests,
    ::testing::Values(HeadCase { "Page", "/", 200 }, HeadCase { "Style", "/guest.css", 200 },
        HeadCase { "State", "/api/state", 200 }, HeadCase { "CallMadeWithPost", "/api/join", 405 },
        HeadCase { "NoSuchPage", "/nowhere", 404 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(PartyServer, AHeadRefusedByTheGuardHasNoBodyEither)
{
    open();
    auto client = guest();
    const ThttpAnswer answer
        = client->Raw("HEAD / HTTP/1.1\r\nHost: x\r\nX-Filler: " + QByteArray(9000, 'a') + "\r\n\r\n");
    EXPECT_EQ(answer.status, 431);
    EXPECT_GT(answer.header("Content-Length").toInt(), 0);
    EXPECT_TRUE(answer.body.isEmpty());
    EXPECT_TRUE(client->Closed());
}

// --- guests at the party ----------------------------------------------------------------

TEST_F(PartyServer, AGuestJoinsSearchesAndAsksForATrack)
{
    open();
    auto anna = guest();
    ThttpAnswer answer = anna->Get("/api/state");
    EXPECT_TRUE(answer.json().value(QStringLiteral("me")).isNull()) << "no name yet";
    answer = anna->Post("/api/join", "{\"name\": \"  Anna\\u0000 \"}");
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.json().value(QStringLiteral("me")).toObject().value(QStringLiteral("name")).toString(),
        QStringLiteral("Anna"));
    EXPECT_TRUE(answer.header("Set-Cookie").startsWith("vorlen_guest="));

    // Case and accents do not matter.
    answer = anna->Get("/api/search?q=UBER%20wolk");
    ASSERT_EQ(answer.status, 200);
    const QJsonArray tracks = answer.json().value(QStringLiteral("tracks")).toArray();
    ASSERT_EQ(tracks.size(), 1);
    const QJsonObject found = tracks.first().toObject();
    EXPECT_EQ(found.value(QStringLiteral("title")).toString(), QStringLiteral("Über den Wolken"));
    EXPECT_EQ(found.value(QStringLiteral("id")).toString().size(), 16);

    answer = anna->Post(
        "/api/request", "{\"track\": \"" + found.value(QStringLiteral("id")).toString().toLatin1() + "\"}");
    EXPECT_EQ(answer.status, 200) << answer.body.toStdString();
    EXPECT_EQ(answer.json().value(QStringLiteral("status")).toString(), QStringLiteral("queued"));
    EXPECT_EQ(answer.json().value(QStringLiteral("position")).toInt(), 1);
    EXPECT_EQ(queueTexts(), QStringList { QStringLiteral("001: Über den Wolken - Nordwave [0:04]  (for Anna)") });

    answer = anna->Post(
        "/api/request", "{\"track\": \"" + found.value(QStringLiteral("id")).toString().toLatin1() + "\"}");
    EXPECT_EQ(answer.status, 409);
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("already-queued"));
    EXPECT_EQ(
        answer.json().value(QStringLiteral("message")).toString(), QStringLiteral("That one is already in the queue."));

    const QJsonObject state = anna->Get("/api/state").json();
    const QJsonObject entry = state.value(QStringLiteral("queue")).toArray().first().toObject();
    EXPECT_EQ(entry.value(QStringLiteral("requestedBy")).toString(), QStringLiteral("Anna"));
    EXPECT_EQ(state.value(QStringLiteral("me")).toObject().value(QStringLiteral("waiting")).toInt(), 1);
}

TEST_F(PartyServer, NoPathEverCrossesTheWire)
{
    open();
    auto anna = joined("Anna");
    const QByteArray folder = PartyMusic::Get().folder.music().toUtf8();
    anna->Post("/api/request", "{\"track\": \"" + trackId(*anna, "two rivers") + "\"}");
    core().Play();
    const QJsonArray artists = anna->Get("/api/artists").json().value(QStringLiteral("artists")).toArray();
    ASSERT_EQ(artists.size(), 2);
    const QByteArray solo = artists.at(1).toObject().value(QStringLiteral("id")).toString().toLatin1();
    const ThttpAnswer albums = anna->Get("/api/albums?artist=" + solo);
    const QByteArray album = albums.json()
                                 .value(QStringLiteral("albums"))
                                 .toArray()
                                 .first()
                                 .toObject()
                                 .value(QStringLiteral("id"))
                                 .toString()
                                 .toLatin1();
    for (const QByteArray &target : { QByteArray("/api/state"), QByteArray("/api/search?q=o"),
             QByteArray("/api/artists"), "/api/albums?artist=" + solo, "/api/tracks?album=" + album }) {
        const ThttpAnswer answer = anna->Get(target);
        EXPECT_EQ(answer.status, 200) << target.toStdString();
        EXPECT_FALSE(answer.body.contains(folder)) << target.toStdString() << ": " << answer.body.toStdString();
        EXPECT_FALSE(answer.body.contains(".mp3")) << target.toStdString();
    }
}

TEST_F(PartyServer, BrowsingGoesFromArtistsToAlbumsToTracks)
{
    open();
    auto anna = joined("Anna");
    const QJsonObject page = anna->Get("/api/artists?offset=0&count=1").json();
    EXPECT_EQ(page.value(QStringLiteral("total")).toInt(), 2);
    const QJsonArray first = page.value(QStringLiteral("artists")).toArray();
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Nordwave"));
    const QJsonArray second
        = anna->Get("/api/artists?offset=1&count=5").json().value(QStringLiteral("artists")).toArray();
    ASSERT_EQ(second.size(), 1);
    const QJsonObject solo = second.first().toObject();
    EXPECT_EQ(solo.value(QStringLiteral("name")).toString(), QStringLiteral("Solo"));

    const QJsonObject albums
        = anna->Get("/api/albums?artist=" + solo.value(QStringLiteral("id")).toString().toLatin1()).json();
    const QJsonArray list = albums.value(QStringLiteral("albums")).toArray();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Alone"));
    const QJsonObject tracks
        = anna->Get("/api/tracks?album=" + list.first().toObject().value(QStringLiteral("id")).toString().toLatin1())
              .json();
    QStringList titles;
    for (const QJsonValue track : tracks.value(QStringLiteral("tracks")).toArray())
        titles << track.toObject().value(QStringLiteral("title")).toString();
    EXPECT_EQ(titles, (QStringList { QStringLiteral("<img src=x onerror=alert(1)>"), QStringLiteral("Covered") }));
    EXPECT_EQ(anna->Get("/api/albums?artist=0123456789abcdef").status, 404);
}

TEST_F(PartyServer, CoversAreScaledPicturesByTrackId)
{
    open();
    auto anna = joined("Anna");
    const QByteArray covered = trackId(*anna, "covered");
    ASSERT_FALSE(covered.isEmpty());
    ThttpAnswer answer = anna->Get("/api/cover?track=" + covered + "&size=90");
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.header("Content-Type"), "image/jpeg");
    const QImage image = QImage::fromData(answer.body, "JPEG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 96) << "fits the next kept size, 96";
    EXPECT_EQ(image.height(), 64);
    EXPECT_GT(qRed(image.pixel(48, 32)), 150);

    EXPECT_EQ(anna->Get("/api/cover?track=" + trackId(*anna, "two rivers")).status, 404) << "no cover";
    EXPECT_EQ(anna->Get("/api/cover?track=0000000000000001").status, 404) << "no such track";
}

TEST_F(PartyServer, RefusalsSayWhy)
{
    open([](TpartySettings &s) { s.RequestsPerGuest = 1; });
    auto anna = joined("Anna");
    auto ben = joined("Ben");
    const QByteArray two = trackId(*anna, "two rivers");
    const QByteArray covered = trackId(*anna, "covered");
    EXPECT_EQ(anna->Post("/api/request", "{\"track\": \"" + two + "\"}").status, 200);
    ThttpAnswer answer = anna->Post("/api/request", "{\"track\": \"" + covered + "\"}");
    EXPECT_EQ(answer.status, 409);
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("limit-reached"));
    EXPECT_TRUE(
        answer.json().value(QStringLiteral("message")).toString().contains(QStringLiteral("1 requests waiting")));

    core().Play();
    ASSERT_EQ(core().NowPlaying().track->Title(), QStringLiteral("Two Rivers"));
    answer = ben->Post("/api/request", "{\"track\": \"" + two + "\"}");
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("playing-now"));
    core().QueueRecord(core().jblMain().MasterList().Items(0));
    core().Skip();
    ASSERT_NE(core().NowPlaying().track->Title(), QStringLiteral("Two Rivers"));
    answer = ben->Post("/api/request", "{\"track\": \"" + two + "\"}");
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("recently-played"));
    EXPECT_TRUE(answer.json().value(QStringLiteral("message")).toString().contains(QStringLiteral("60 minutes")));

    auto stranger = guest();
    answer = stranger->Post("/api/request", "{\"track\": \"" + covered + "\"}");
    EXPECT_EQ(answer.status, 403) << "a browser without a name asks nothing";
    EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("join-first"));
}

TEST_F(PartyServer, LivePagesHearOfEveryChange)
{
    open([](TpartySettings &s) { s.NeedApproval = true; });
    auto anna = joined("Anna");
    QWebSocket live;
    QStringList messages;
    QObject::connect(&live, &QWebSocket::textMessageReceived, [&](const QString &text) { messages << text; });
    QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(server->Port())));
    request.setRawHeader("Cookie", "vorlen_code=" + code() + "; vorlen_guest=" + anna->cookies.value("vorlen_guest"));
    request.setRawHeader("Origin", "http://127.0.0.1:" + QByteArray::number(server->Port()));
    live.open(request);
    ASSERT_TRUE(RunEventsUntil([&] { return !messages.isEmpty(); }, 5000)) << "the state comes at once";
    EXPECT_TRUE(messages.first().contains(QStringLiteral("\"name\":\"Anna\"")));

    messages.clear();
    anna->Post("/api/request", "{\"track\": \"" + trackId(*anna, "covered") + "\"}");
    ASSERT_TRUE(RunEventsUntil([&] { return !messages.isEmpty(); }, 5000));
    QJsonObject me = QJsonDocument::fromJson(messages.last().toUtf8()).object().value(QStringLiteral("me")).toObject();
    EXPECT_EQ(me.value(QStringLiteral("pending")).toArray().size(), 1) << "waiting for approval";

    messages.clear();
    ASSERT_TRUE(core().ApproveRequest(core().Party().Pending().front().Id));
    ASSERT_TRUE(RunEventsUntil([&] { return !messages.isEmpty(); }, 5000));
    const QJsonObject state = QJsonDocument::fromJson(messages.last().toUtf8()).object();
    EXPECT_EQ(state.value(QStringLiteral("queue")).toArray().size(), 1);
    EXPECT_EQ(state.value(QStringLiteral("me")).toObject().value(QStringLiteral("pending")).toArray().size(), 0);
}

TEST_F(PartyServer, LivePagesOfOtherSitesOrWithoutTheCodeAreRefused)
{
    open();
    const auto attempt = [this](const QByteArray &cookie, const QByteArray &origin, const QString &path) {
        QWebSocket live;
        bool spoke = false;
        QObject::connect(&live, &QWebSocket::textMessageReceived, [&](const QString &) { spoke = true; });
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(server->Port()).arg(path)));
        if (!cookie.isEmpty())
            request.setRawHeader("Cookie", cookie);
        request.setRawHeader("Origin", origin);
        live.open(request);
        RunEventsUntil([&] { return spoke || live.state() == QAbstractSocket::UnconnectedState; }, 5000);
        RunEventsUntil([&] { return live.state() == QAbstractSocket::UnconnectedState; }, 3000);
        return spoke;
    };
    const QByteArray own = "http://127.0.0.1:" + QByteArray::number(server->Port());
    EXPECT_TRUE(attempt("vorlen_code=" + code(), own, QStringLiteral("/api/live"))) << "the page itself";
    EXPECT_FALSE(attempt("vorlen_code=" + code(), "http://evil.example", QStringLiteral("/api/live")));
    EXPECT_FALSE(attempt(QByteArray(), own, QStringLiteral("/api/live")));
    EXPECT_FALSE(attempt("vorlen_code=ABCDEF", own, QStringLiteral("/api/live")));
    EXPECT_FALSE(attempt("vorlen_code=" + code(), own, QStringLiteral("/elsewhere")));
}

// What Qt logs while a test listens.
QStringList *gLogged = nullptr;

TEST_F(PartyServer, LivePagesWithoutACodeAreRefusedQuietlyAndAreNoGuess)
{
    open();
    QStringList logged;
    gLogged = &logged;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { gLogged->append(message); });
    const quint16 port = server->Port();
    const QByteArray host = "127.0.0.1:" + QByteArray::number(port);
    const auto upgrade = [port, &host](const QByteArray &cookie) {
        TpartyClient client(port);
        return client.Raw("GET /api/live HTTP/1.1\r\nHost: " + host
            + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
              "Sec-WebSocket-Version: 13\r\nOrigin: http://"
            + host + "\r\n" + (cookie.isEmpty() ? QByteArray() : "Cookie: " + cookie + "\r\n") + "\r\n");
    };
    for (int i = 0; i < TcodeAttempts::kAllowed + 2; ++i) {
        const ThttpAnswer answer = upgrade(QByteArray());
        EXPECT_EQ(answer.status, 403) << i;
        EXPECT_EQ(answer.json().value(QStringLiteral("error")).toString(), QStringLiteral("live-refused"));
    }
    EXPECT_EQ(guest()->Get("/api/state").status, 200) << "no code is no wrong code";
    // Qt's server takes a POST that asks for a WebSocket for an upgrade too.
    auto poster = guest();
    EXPECT_EQ(poster
                  ->Raw("POST /api/join HTTP/1.1\r\nHost: " + host + "\r\nCookie: vorlen_code=" + code()
                      + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nContent-Type: "
                        "application/json\r\nContent-Length: 2\r\n\r\n{}")
                  .status,
        400);
    EXPECT_EQ(core().Party().GuestCount(), 0);
    for (int i = 0; i < TcodeAttempts::kAllowed; ++i)
        EXPECT_EQ(upgrade("vorlen_code=ABCDEF").status, 403) << i;
    EXPECT_EQ(upgrade("vorlen_code=" + code()).status, 429) << "wrong codes still count";
    EXPECT_EQ(guest()->Get("/api/state").status, 429);
    qInstallMessageHandler(previous);
    gLogged = nullptr;
    EXPECT_TRUE(logged.filter(QStringLiteral("WebSocket")).isEmpty()) << logged.join(u'\n').toStdString();
}

TEST_F(PartyServer, GuestsVoteToSkipWhenTheHostAllows)
{
    open();
    auto anna = joined("Anna");
    auto ben = joined("Ben");
    core().QueueRecord(core().jblMain().MasterList().Items(0));
    core().QueueRecord(core().jblMain().MasterList().Items(1));
    core().Play();
    const QString first = core().NowPlaying().track->Title();
    ThttpAnswer answer = anna->Post("/api/vote", "{}");
    EXPECT_EQ(answer.status, 409) << "the host has not allowed it";
    open([](TpartySettings &s) { s.VoteToSkip = true; });
    answer = anna->Post("/api/vote", "{}");
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.json().value(QStringLiteral("needed")).toInt(), 2);
    EXPECT_FALSE(answer.json().value(QStringLiteral("skipped")).toBool());
    EXPECT_EQ(core().NowPlaying().track->Title(), first);
    answer = ben->Post("/api/vote", "{}");
    EXPECT_TRUE(answer.json().value(QStringLiteral("skipped")).toBool());
    EXPECT_NE(core().NowPlaying().track->Title(), first);
}

TEST_F(PartyServer, SearchAndBrowseWaitWhileTheLibraryIsReplaced)
{
    open();
    auto anna = joined("Anna");
    ASSERT_FALSE(trackId(*anna, "two").isEmpty());
    // The library loses a track, as a clean-up before a scan does: the ids
    // of the others stay the same.
    const QByteArray two = trackId(*anna, "two");
    core().RemoveTracks([](const TcustomTagger &track) { return track.Title() == QStringLiteral("Über den Wolken"); });
    const QJsonArray tracks = anna->Get("/api/search?q=two").json().value(QStringLiteral("tracks")).toArray();
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks.first().toObject().value(QStringLiteral("id")).toString().toLatin1(), two);
    EXPECT_TRUE(trackId(*anna, "wolken").isEmpty()) << "gone from the library, gone from the search";
}

} // namespace
