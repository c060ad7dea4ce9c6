// The built jukebox as a native Wayland client of a headless weston of the
// test's own, with no X display to fall back on (Qt ends a program whose
// platform plug-in fails), on a session bus of the test's own; driven
// through its media-player interface as a Wayland desktop drives it. What
// the compositor shows is captured from the compositor itself.
#include "mprisProgram.h"
#include "westonCompositor.h"

#include <QDBusVariant>
#include <QImage>
#include <functional>

namespace {

// Larger than the window, so that the background shows around it until it
// fills the screen.
const QSize kScreen(1280, 1024);
// The window's size in the settings the jukebox starts with.
const QSize kWindow(900, 700);

class MprisWayland : public MprisProgram {
protected:
    void SetUp() override
    {
        if (!WestonCompositor::Installed())
            GTEST_SKIP() << "weston is not installed (scripts/install-deps installs it)";
        ASSERT_NO_FATAL_FAILURE(MprisProgram::SetUp());
        QFile settings(settingsFile());
        ASSERT_TRUE(settings.open(QIODevice::Append));
        settings.write(QStringLiteral("[JukeBoxGeometry]\nWidth=%1\nHeight=%2\n")
                           .arg(kWindow.width())
                           .arg(kWindow.height())
                           .toUtf8());
        settings.close();
        QString error;
        ASSERT_TRUE(m_weston.Start(&error)) << error.toStdString();
        m_jukebox.UseWayland(m_weston.SocketName());
        m_jukebox.UseSessionBus(m_bus.Address());
    }

    // What the jukebox's window covers of the compositor's screen, once that
    // satisfies done (or what it covered last).
    QRect waitForCovered(const std::function<bool(const QRect &)> &done)
    {
        QRect covered;
        RunEventsUntil(
            [&] {
                const QImage screen = m_weston.Capture();
                covered = screen.isNull() ? QRect() : WestonCompositor::Covered(screen);
                return done(covered);
            },
            kTimeoutMs);
        return covered;
    }
    static bool normalWindow(const QRect &covered) { return covered.size() == kWindow; }
    static bool wholeScreen(const QRect &covered) { return covered == QRect(QPoint(0, 0), kScreen); }

    bool setFullscreen(bool value)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kBusName, QStringLiteral("/org/mpris/MediaPlayer2"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
        message << kRoot << QStringLiteral("Fullscreen") << QVariant::fromValue(QDBusVariant(value));
        return m_client.call(message, QDBus::Block, kTimeoutMs).type() == QDBusMessage::ReplyMessage;
    }
    bool fullscreen() const { return MprisProperty(m_client, QStringLiteral("Fullscreen"), kRoot).toBool(); }
    bool announcedFullscreen(bool value) const
    {
        const QVariantList announced = m_announced.Values(QStringLiteral("Fullscreen"));
        return !announced.isEmpty() && announced.last().toBool() == value;
    }

    WestonCompositor m_weston { m_jukebox.Environment().value(QStringLiteral("XDG_RUNTIME_DIR")), kScreen };
};

TEST_F(MprisWayland, PlaysAndFillsTheScreenThroughTheCompositor)
{
    ASSERT_NO_FATAL_FAILURE(writeLibrary());
    QString error;
    ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
    ASSERT_NO_FATAL_FAILURE(waitForPlayer());
    EXPECT_FALSE(m_jukebox.Environment().contains(QStringLiteral("DISPLAY")));

    // The window the compositor shows has the size of the settings.
    EXPECT_EQ(waitForCovered(normalWindow).size(), kWindow) << m_jukebox.Output().toStdString();

    // Play, pause and next, as the desktop's media keys give them.
    ASSERT_TRUE(command(QStringLiteral("play")));
    ASSERT_TRUE(waitForStatus("Playing"));
    const std::optional<ToneTrack> first = namedTrack();
    ASSERT_TRUE(first) << "the player names no library track";
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:artist")).toStringList(), QStringList { kArtist });
    expectHearing(*first);
    ASSERT_TRUE(command(QStringLiteral("pause")));
    ASSERT_TRUE(waitForStatus("Paused"));
    expectSilence();
    ASSERT_TRUE(command(QStringLiteral("play")));
    ASSERT_TRUE(waitForStatus("Playing"));
    const QString before = trackId();
    ASSERT_TRUE(command(QStringLiteral("next")));
    ASSERT_TRUE(RunEventsUntil([&] { return !trackId().isEmpty() && trackId() != before; }, kTimeoutMs));
    const std::optional<ToneTrack> next = namedTrack();
    ASSERT_TRUE(next);
    expectHearing(*next);

    // Full screen is the compositor's: the window covers its whole screen,
    // the change is announced, and the music plays on.
    EXPECT_TRUE(MprisProperty(m_client, QStringLiteral("CanSetFullscreen"), kRoot).toBool());
    EXPECT_FALSE(fullscreen());
    ASSERT_TRUE(setFullscreen(true));
    EXPECT_TRUE(wholeScreen(waitForCovered(wholeScreen))) << "the window did not fill the screen";
    EXPECT_TRUE(fullscreen());
    EXPECT_TRUE(RunEventsUntil([this] { return announcedFullscreen(true); }, kTimeoutMs));
    expectHearing(*next);
    ASSERT_TRUE(setFullscreen(false));
    EXPECT_EQ(waitForCovered(normalWindow).size(), kWindow) << "the normal window did not come back";
    EXPECT_FALSE(fullscreen());
    EXPECT_TRUE(RunEventsUntil([this] { return announcedFullscreen(false); }, kTimeoutMs));

    // Quit in full screen: the settings keep the normal window's size.
    ASSERT_TRUE(setFullscreen(true));
    ASSERT_TRUE(wholeScreen(waitForCovered(wholeScreen)));
    EXPECT_EQ(call(kRoot, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(m_jukebox.WaitForExit(kStartTimeoutMs)) << "Quit left the jukebox running";
    EXPECT_EQ(m_jukebox.ExitStatus(), QProcess::NormalExit) << m_jukebox.Output().toStdString();
    EXPECT_EQ(m_jukebox.ExitCode(), 0) << m_jukebox.Output().toStdString();
    QFile settings(settingsFile());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray saved = settings.readAll();
    EXPECT_TRUE(saved.contains("FullScreen=1")) << saved.toStdString();
    EXPECT_TRUE(saved.contains(QStringLiteral("Width=%1\n").arg(kWindow.width()).toUtf8())) << saved.toStdString();
    EXPECT_TRUE(saved.contains(QStringLiteral("Height=%1\n").arg(kWindow.height()).toUtf8())) << saved.toStdString();

    // Started again, it fills the screen, and leaving full screen brings the
    // normal window back.
    ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
    ASSERT_NO_FATAL_FAILURE(waitForPlayer());
    EXPECT_TRUE(wholeScreen(waitForCovered(wholeScreen))) << "the window did not start in full screen";
    EXPECT_TRUE(fullscreen());
    ASSERT_TRUE(setFullscreen(false));
    EXPECT_EQ(waitForCovered(normalWindow).size(), kWindow) << "the normal window did not come back";
}

} // namespace
