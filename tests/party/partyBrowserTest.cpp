// Party mode as people use it: the built jukebox on the test run's private X
// server and PulseAudio server with party mode on, the Party window's QR code
// read off the screen, and guests' phones (Chromium under Selenium) on the
// page it leads to. What a guest asks for is listened for at the sink.
#include "audioFixtures.h"
#include "guestPhone.h"
#include "jukeboxProcess.h"
#include "programTestLimits.h"
#include "pulseTestServer.h"
#include "sinkListener.h"

#include "library/taggerList.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The library: a steady tone per track, each track long enough that a test
// can ask for the next one while it plays, short enough that waiting for the
// next one takes seconds.
struct TtestTrack {
    const char *title;
    int tone;
};
const TtestTrack kTracks[] = {
    { "Amber Sine", 440 },
    { "Blue Sine", 620 },
    { "Copper Sine", 830 },
    { "Denim Sine", 1000 },
    { "<img src=x onerror=alert(1)>", 700 },
};
constexpr double kTrackSeconds = 16;
const char kCode[] = "K7M2QX";

std::vector<int> tones()
{
    std::vector<int> all;
    for (const TtestTrack &track : kTracks)
        all.push_back(track.tone);
    return all;
}

const TtestTrack *trackOfTone(int tone)
{
    for (const TtestTrack &track : kTracks) {
        if (track.tone == tone)
            return &track;
    }
    return nullptr;
}

class PartyBrowser : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(PulseTestServer::UsePulseTestServer()) << "the test PulseAudio server does not answer";
        PulseTestServer::pactl(
            { QStringLiteral("set-sink-volume"), PulseTestServer::sinkName(), QStringLiteral("65536") });
        PulseTestServer::pactl({ QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("0") });
        ASSERT_NO_FATAL_FAILURE(writeLibrary());
        // A port free now, for the jukebox to listen on.
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::Any));
        m_port = probe.serverPort();
    }

    QString folder() const { return m_folder.path(); }

    void writeLibrary()
    {
        const QString music = folder() + QStringLiteral("/music");
        ASSERT_TRUE(QDir().mkpath(music));
        ASSERT_TRUE(QDir().mkpath(folder() + QStringLiteral("/Data")));
        TtaggerList list;
        list.SetReadFrameHeaders(true);
        int number = 0;
        for (const TtestTrack &track : kTracks) {
            ToneSpec spec;
            spec.seconds = kTrackSeconds;
            spec.frequency = track.tone;
            spec.bitRate = QStringLiteral("64k");
            spec.metadata = { { QStringLiteral("title"), QString::fromUtf8(track.title) },
                { QStringLiteral("artist"), QStringLiteral("Test Signals") },
                { QStringLiteral("album"), QStringLiteral("Pure Tones") },
                { QStringLiteral("track"), QString::number(++number) } };
            const QString file = music + QStringLiteral("/sine%1.mp3").arg(track.tone);
            QString error;
            ASSERT_TRUE(MakeToneFile(file, spec, &error)) << error.toStdString();
            ASSERT_TRUE(list.AddFile(file)) << file.toStdString();
        }
        ASSERT_TRUE(list.SaveListFile(folder() + QStringLiteral("/Data/jukebox.dat")));
    }

    // Party mode on, with the rules given as [Party] keys.
    void writeSettings(const QString &rules = QString())
    {
        QFile ini(folder() + QStringLiteral("/vorlen.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[General]\nShowTips=0\n[VolumeSettings]\nMasterVolume=%1\n"
                                 "[Party]\nEnabled=1\nPort=%2\nGuestCode=%3\n%4")
                      .arg(kMasterVolume)
                      .arg(m_port)
                      .arg(QLatin1String(kCode), rules)
                      .toUtf8());
    }

    void startJukebox()
    {
        QString error;
        ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
        ASSERT_TRUE(m_jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();
    }

    // Runs an X client on the test display; its standard output.
    QByteArray xTool(const QString &program, const QStringList &arguments)
    {
        QProcess tool;
        tool.setProcessEnvironment(m_jukebox.Environment());
        tool.start(program, arguments);
        if (!tool.waitForFinished(20000))
            tool.kill();
        return tool.readAllStandardOutput();
    }

    QString partyWindow()
    {
        return QString::fromLatin1(
            xTool(QStringLiteral("xdotool"),
                { QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("Jukebox Party") }))
            .split(u'\n', Qt::SkipEmptyParts)
            .value(0);
    }

    // What a guest's camera reads off the screen: the Party window, brought
    // to the top of the stack, captured, and its QR code decoded.
    QString addressFromTheScreen()
    {
        QString window;
        for (int attempt = 0; attempt < 50 && window.isEmpty(); ++attempt) {
            window = partyWindow();
            if (window.isEmpty())
                QThread::msleep(200);
        }
        if (window.isEmpty())
            return QString();
        xTool(QStringLiteral("xdotool"), { QStringLiteral("windowraise"), window });
        QThread::msleep(500);
        const QString shot = folder() + QStringLiteral("/party-window.png");
        xTool(QStringLiteral("import"), { QStringLiteral("-window"), window, shot });
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), { QStringLiteral("--raw"), QStringLiteral("-q"), shot });
        zbar.waitForFinished(20000);
        return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
    }

    QString partyAddress() const
    {
        return QStringLiteral("http://127.0.0.1:%1/?code=%2").arg(m_port).arg(QLatin1String(kCode));
    }

    std::unique_ptr<TguestPhone> phone()
    {
        auto guest = std::make_unique<TguestPhone>();
        QString error;
        EXPECT_TRUE(guest->Start(&error)) << error.toStdString();
        return guest;
    }

    // A guest on the page under a name.
    std::unique_ptr<TguestPhone> joined(const QString &name, const QString &address)
    {
        auto guest = phone();
        guest->Open(address);
        QString seen;
        EXPECT_TRUE(guest->Wait(QStringLiteral("#name-screen"), QStringLiteral("Welcome"), kTimeoutMs, &seen))
            << seen.toStdString();
        guest->Type(QStringLiteral("#name"), name);
        guest->Click(QStringLiteral("#join"));
        EXPECT_TRUE(guest->Wait(QStringLiteral("#me"), name, kTimeoutMs, &seen)) << seen.toStdString();
        return guest;
    }

    // The guest searches and asks for the first track found; the reason the
    // page gives under it.
    QString request(TguestPhone &guest, const QString &search)
    {
        guest.Click(QStringLiteral("#tabs button"), 1);
        guest.Type(QStringLiteral("#search"), search);
        QString seen;
        // The results of this search, not of the one before: the list is
        // not busy and shows the track.
        if (!guest.Until(
                QStringLiteral("const list = document.querySelector('#results');"
                               "return list.getAttribute('aria-busy') === 'false' && list.textContent.includes(%1);")
                    .arg(QString::fromUtf8(QJsonDocument(QJsonArray { search }).toJson(QJsonDocument::Compact))
                             .mid(1)
                             .chopped(1)),
                kTimeoutMs))
            return QStringLiteral("no result: ") + guest.Text(QStringLiteral("#results"));
        guest.Eval(QStringLiteral("document.querySelector('#results .reason').textContent = ''; return 0;"));
        guest.Click(QStringLiteral("#results .req"));
        guest.Wait(QStringLiteral("#results .reason"), QStringLiteral("."), kTimeoutMs, &seen);
        return seen;
    }

    // Plays the library (a track of its choice) and answers the tone heard.
    int play(SinkListener &listener)
    {
        ToneLevels heard;
        for (int attempt = 0; attempt < 4; ++attempt) {
            EXPECT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+p")));
            if (listener.WaitFor(
                    [](const ToneLevels &l) { return SoundingTone(l, kAudible) != 0; }, kTimeoutMs / 4, &heard))
                return SoundingTone(heard, kAudible);
        }
        ADD_FAILURE() << "Ctrl+P played nothing: " << Describe(heard);
        return 0;
    }

    bool hear(SinkListener &listener, int tone, int timeoutMs)
    {
        ToneLevels heard;
        const bool done = listener.WaitFor(
            [tone](const ToneLevels &l) { return SoundingTone(l, kAudible) == tone; }, timeoutMs, &heard);
        EXPECT_TRUE(done) << "waited for " << tone << " Hz; heard " << Describe(heard);
        return done;
    }

    // A track of the library other than the one of playing.
    static const TtestTrack &other(int playing, int skip = 0)
    {
        for (const TtestTrack &track : kTracks) {
            if (track.tone != playing && track.tone != skip && track.tone != 700)
                return track;
        }
        return kTracks[0];
    }

    QTemporaryDir m_folder;
    JukeboxProcess m_jukebox { m_folder.path() };
    quint16 m_port = 0;
};

TEST_F(PartyBrowser, TheQrCodeLeadsAGuestToARequestHeardAfterTheCurrentTrack)
{
    writeSettings();
    SinkListener listener(tones());
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());

    const QString address = addressFromTheScreen();
    const QUrl url(address);
    ASSERT_TRUE(url.isValid()) << address.toStdString();
    EXPECT_EQ(url.port(), m_port) << address.toStdString();
    EXPECT_EQ(url.query(), QStringLiteral("code=") + QLatin1String(kCode));

    auto anna = joined(QStringLiteral("Anna"), address);
    EXPECT_EQ(QUrl(anna->Url()).query(), QString()) << "the code went into a cookie, out of the address";

    const int first = play(listener);
    ASSERT_NE(first, 0);
    const TtestTrack &wanted = other(first);
    EXPECT_EQ(request(*anna, QString::fromUtf8(wanted.title)), QStringLiteral("Added to the queue."));
    anna->Click(QStringLiteral("#tabs button"), 0);
    QString seen;
    EXPECT_TRUE(anna->Wait(QStringLiteral("#queue .name"), QString::fromUtf8(wanted.title), kTimeoutMs, &seen))
        << seen.toStdString();
    EXPECT_EQ(anna->Text(QStringLiteral("#queue .who")), QStringLiteral("Your request"));

    // It plays when the current track is over: the first track goes on
    // meanwhile, and nothing was skipped.
    EXPECT_EQ(SoundingTone(
                  [&] {
                      ToneLevels now;
                      listener.WaitFor([](const ToneLevels &) { return true; }, 1000, &now);
                      return now;
                  }(),
                  kAudible),
        first)
        << "a request never interrupts what plays";
    ASSERT_TRUE(hear(listener, wanted.tone, int(kTrackSeconds * 1000) + kTimeoutMs));
    EXPECT_TRUE(anna->Wait(QStringLiteral("#now-title"), QString::fromUtf8(wanted.title), kTimeoutMs, &seen))
        << seen.toStdString();
    EXPECT_EQ(anna->Text(QStringLiteral("#now-by")), QStringLiteral("Asked for by Anna"));
    EXPECT_TRUE(anna->Text(QStringLiteral("#now-left")).endsWith(QStringLiteral(" left")));
}

TEST_F(PartyBrowser, RefusalsSayWhy)
{
    writeSettings(QStringLiteral("RequestsPerGuest=1\n"));
    SinkListener listener(tones());
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    const int first = play(listener);
    ASSERT_NE(first, 0);
    auto anna = joined(QStringLiteral("Anna"), partyAddress());
    auto ben = joined(QStringLiteral("Ben"), partyAddress());

    const TtestTrack &one = other(first);
    const TtestTrack &two = other(first, one.tone);
    EXPECT_EQ(request(*anna, QString::fromUtf8(one.title)), QStringLiteral("Added to the queue."));
    EXPECT_EQ(request(*anna, QString::fromUtf8(two.title)),
        QStringLiteral("You have 1 requests waiting, the most the host allows. Ask again when one has played."));
    EXPECT_EQ(request(*ben, QString::fromUtf8(one.title)), QStringLiteral("That one is already in the queue."));
    EXPECT_EQ(
        request(*ben, QString::fromUtf8(trackOfTone(first)->title)), QStringLiteral("That one is playing right now."));

    // The host moves on: Anna's request plays, and the track before may not
    // be asked for again within the hour.
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+n")));
    ASSERT_TRUE(hear(listener, one.tone, kTimeoutMs));
    EXPECT_EQ(request(*ben, QString::fromUtf8(trackOfTone(first)->title)),
        QStringLiteral("That one played recently. It can be asked for again in 60 minutes."));
    EXPECT_EQ(request(*anna, QString::fromUtf8(two.title)), QStringLiteral("Added to the queue."))
        << "her request plays: the next may wait";
}

TEST_F(PartyBrowser, TheHostApprovesAndTheGuestsVoteToSkip)
{
    writeSettings(QStringLiteral("NeedApproval=1\nVoteToSkip=1\n"));
    SinkListener listener(tones());
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    const int first = play(listener);
    ASSERT_NE(first, 0);
    auto anna = joined(QStringLiteral("Anna"), partyAddress());
    auto ben = joined(QStringLiteral("Ben"), partyAddress());

    const TtestTrack &wanted = other(first);
    EXPECT_EQ(request(*anna, QString::fromUtf8(wanted.title)), QStringLiteral("Sent to the host for approval."));
    QString seen;
    EXPECT_TRUE(anna->Wait(
        QStringLiteral("#mine"), QStringLiteral("approval: ") + QString::fromUtf8(wanted.title), kTimeoutMs, &seen))
        << seen.toStdString();

    // The host approves in the Party window (Alt+A, its Approve button).
    const QString window = partyWindow();
    ASSERT_FALSE(window.isEmpty());
    xTool(QStringLiteral("xdotool"), { QStringLiteral("windowfocus"), QStringLiteral("--sync"), window });
    xTool(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("alt+a") });
    anna->Click(QStringLiteral("#tabs button"), 0);
    EXPECT_TRUE(anna->Wait(QStringLiteral("#queue .name"), QString::fromUtf8(wanted.title), kTimeoutMs, &seen))
        << seen.toStdString();

    // Two guests are about: one vote is not enough, two skip the track.
    ASSERT_TRUE(anna->Wait(QStringLiteral("#vote-box"), QString(), kTimeoutMs, &seen)) << seen.toStdString();
    anna->Click(QStringLiteral("#vote"));
    EXPECT_TRUE(anna->Wait(QStringLiteral("#vote-count"), QStringLiteral("1 of 2 votes"), kTimeoutMs, &seen))
        << seen.toStdString();
    EXPECT_EQ(SoundingTone(
                  [&] {
                      ToneLevels now;
                      listener.WaitFor([](const ToneLevels &) { return true; }, 1000, &now);
                      return now;
                  }(),
                  kAudible),
        first);
    ASSERT_TRUE(ben->Wait(QStringLiteral("#vote-box"), QString(), kTimeoutMs, &seen)) << seen.toStdString();
    ben->Click(QStringLiteral("#vote"));
    EXPECT_TRUE(hear(listener, wanted.tone, kTimeoutMs)) << "the majority skipped to the approved request";
}

TEST_F(PartyBrowser, TagTextsShowAsTextAndAWrongCodeIsRefused)
{
    writeSettings();
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    auto anna = joined(QStringLiteral("Anna"), partyAddress());
    const QString title = QString::fromUtf8(kTracks[4].title);
    anna->Click(QStringLiteral("#tabs button"), 1);
    anna->Type(QStringLiteral("#search"), QStringLiteral("onerror"));
    QString seen;
    ASSERT_TRUE(anna->Wait(QStringLiteral("#results .name"), title, kTimeoutMs, &seen)) << seen.toStdString();
    EXPECT_EQ(anna->Text(QStringLiteral("#results .name")), title) << "the title's characters, all of them";
    EXPECT_EQ(anna->Count(QStringLiteral("#results .name img")), 0) << "no element made of it";
    EXPECT_EQ(anna->Count(QStringLiteral("img[src='x']")), 0);
    anna->Click(QStringLiteral("#results .req"));
    anna->Click(QStringLiteral("#tabs button"), 0);
    ASSERT_TRUE(anna->Wait(QStringLiteral("#queue .name"), title, kTimeoutMs, &seen)) << seen.toStdString();
    EXPECT_EQ(anna->Count(QStringLiteral("#queue .name img")), 0);
    EXPECT_EQ(anna->Alert(), QString()) << "no script of a tag ran";

    // A stranger with a wrong code gets the code form, and no API.
    auto stranger = phone();
    stranger->Open(QStringLiteral("http://127.0.0.1:%1/?code=ABCDEF").arg(m_port));
    EXPECT_TRUE(stranger->Wait(QStringLiteral("#message"), QStringLiteral("not this party's code"), kTimeoutMs, &seen))
        << seen.toStdString();
    EXPECT_EQ(stranger->Count(QStringLiteral("#queue")), 0) << "the page itself is not served";
    stranger->Open(QStringLiteral("http://127.0.0.1:%1/api/state").arg(m_port));
    EXPECT_TRUE(stranger->Text(QStringLiteral("body")).contains(QStringLiteral("\"error\":\"code-needed\"")))
        << stranger->Text(QStringLiteral("body")).toStdString();
    EXPECT_EQ(anna->Text(QStringLiteral("#me")), QStringLiteral("Anna")) << "the party goes on for its guests";
}

} // namespace
