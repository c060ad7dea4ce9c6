// The real program whose folder cannot be written: at Ctrl+X one message
// names every file it could not write and why, and the program waits for the
// user to close it before it ends.
#include "jukeboxProcess.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr int kStartTimeoutMs = 60000;
const QString kMessageTitle = QStringLiteral("File Write Error");

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

} // namespace

TEST(SavingFailureProgram, TheMessageNamesEveryFileAndStaysUntilTheUserClosesIt)
{
    // Root writes anywhere: the jukebox runs as a user a closed folder stops.
    VORLEN_RUN_UNPRIVILEGED();
    QTemporaryDir folder;
    const QString home = folder.path();
    ASSERT_TRUE(QDir().mkpath(home + QStringLiteral("/Data")));
    {
        QFile ini(home + QStringLiteral("/vorlen.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nShowTips=0\n");
    }
    JukeboxProcess jukebox(home);
    // No sound is needed, and the test's sound server is not this user's.
    jukebox.SetVariable(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    QString error;
    ASSERT_TRUE(jukebox.Start(&error)) << error.toStdString();
    ASSERT_TRUE(jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();

    ASSERT_TRUE(setMode(home + QStringLiteral("/Data"), 0555));
    ASSERT_TRUE(setMode(home, 0555));
    EXPECT_TRUE(jukebox.SendKeys(QStringLiteral("ctrl+x")));
    QThread::sleep(5);
    const bool stillOn = !jukebox.VisibleWindows(kMessageTitle).isEmpty();
    const bool running = !jukebox.WaitForExit(0);
    setMode(home, 0755);
    setMode(home + QStringLiteral("/Data"), 0755);
    EXPECT_TRUE(stillOn) << "the message is gone 5 s after Ctrl+X";
    ASSERT_TRUE(running) << "the jukebox ended without waiting: " << jukebox.Output().toStdString();

    const QString output = jukebox.Output();
    const QString reason = QString::fromLocal8Bit(std::strerror(EACCES));
    for (const char *file : { "/vorlen.ini", "/vorlen.vsk", "/playlists.pll", "/Data/stacker.dat", "/Data/stackerpl.dat" })
        EXPECT_TRUE(output.contains(home + QLatin1String(file) + QStringLiteral(": ") + reason))
            << file << " is not listed: " << output.toStdString();
    EXPECT_EQ(output.count(kMessageTitle), 1) << "one message for all files";

    ASSERT_TRUE(jukebox.SendKeysTo(kMessageTitle, QStringLiteral("Return")));
    ASSERT_TRUE(jukebox.WaitForExit(kStartTimeoutMs)) << "closing the message did not end the jukebox";
    EXPECT_EQ(jukebox.ExitCode(), 0) << jukebox.Output().toStdString();
}
