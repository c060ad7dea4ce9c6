// The program installed into a prefix of its own, as a desktop program: what
// the installation holds, and the installed program started with a home of
// its own, finding its manual and plug-in in the prefix and writing only to
// the user's data folder.
#include "jukeboxProcess.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Generous: the machine running the tests may be busy with other work.
constexpr int kStartTimeoutMs = 60000;
constexpr int kActionTimeoutMs = 20000;

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun result;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

// Every file below folder with its size and time of change.
QMap<QString, QString> FileList(const QString &folder)
{
    QMap<QString, QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files.insert(info.filePath(),
            QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()));
    }
    return files;
}

QString Changes(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList changes;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()))
            changes << QStringLiteral("new ") + it.key();
        else if (before[it.key()] != it.value())
            changes << QStringLiteral("changed ") + it.key();
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            changes << QStringLiteral("gone ") + it.key();
    }
    return changes.join(QLatin1Char('\n'));
}

bool WaitForFile(const QString &file, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFile::exists(file)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_work.isValid());
        const ToolRun install = run(QStringLiteral(VORLEN_CMAKE),
            { QStringLiteral("--install"), QStringLiteral(VORLEN_BUILD_DIR), QStringLiteral("--prefix"), prefix() });
        ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    }

    QString prefix() const { return m_work.path() + QStringLiteral("/prefix"); }
    QString user() const { return m_work.path() + QStringLiteral("/user"); }

    QTemporaryDir m_work;
};

} // namespace

TEST_F(InstallTest, ThePrefixHoldsADesktopProgram)
{
    EXPECT_TRUE(QFileInfo(prefix() + QStringLiteral("/bin/vorlen")).isExecutable());
    EXPECT_TRUE(QFile::exists(prefix() + QStringLiteral("/share/vorlen/Doc/index.html")));
    QStringList plugins;
    QDirIterator it(prefix(), { QStringLiteral("tinyvis.so") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        plugins << it.next();
    ASSERT_EQ(plugins.size(), 1) << plugins.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(plugins.first().startsWith(prefix() + QStringLiteral("/lib/"))) << plugins.first().toStdString();

    const QString entry = prefix() + QStringLiteral("/share/applications/vorlen.desktop");
    const ToolRun validate = run(QStringLiteral("desktop-file-validate"), { entry });
    EXPECT_EQ(validate.exitCode, 0) << validate.output.toStdString();
    EXPECT_TRUE(validate.output.trimmed().isEmpty()) << validate.output.toStdString();
    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(desktop.value(QStringLiteral("Name")).toString(), QStringLiteral("Vorlen Mp3 Jukebox"));
    EXPECT_EQ(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("vorlen"));
    const QString icon = desktop.value(QStringLiteral("Icon")).toString();
    EXPECT_EQ(icon, QStringLiteral("vorlen"));

    // The icon the entry names, at every size a desktop looks for, drawn to
    // that size on a transparent ground.
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const QString file
            = prefix() + QStringLiteral("/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon);
        const QImage image(file);
        ASSERT_FALSE(image.isNull()) << file.toStdString();
        EXPECT_EQ(image.size(), QSize(size, size)) << file.toStdString();
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << file.toStdString();
        EXPECT_EQ(image.pixelColor(size / 2, size / 2).alpha(), 255) << file.toStdString();
    }
}

TEST_F(InstallTest, TheInstalledProgramReadsFromThePrefixAndWritesToTheUserDataFolder)
{
    JukeboxProcess jukebox(user(), prefix() + QStringLiteral("/bin/vorlen"));
    const QString userData = user() + QStringLiteral("/data/vorlen");

    // Settings as a user who has run the jukebox before has them: no tip at start.
    ASSERT_TRUE(QDir().mkpath(userData));
    QFile ini(userData + QStringLiteral("/vorlen.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[General]\nShowTips=0\n");
    ini.close();

    // The desktop's opener, which the program hands its manual to, notes what
    // it was given.
    const QString tools = user() + QStringLiteral("/tools");
    const QString opened = user() + QStringLiteral("/opened");
    ASSERT_TRUE(QDir().mkpath(tools));
    QFile opener(tools + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part' && mv '%1.part' '%1'\n")
                     .arg(opened)
                     .toUtf8());
    opener.close();
    ASSERT_TRUE(opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner));
    jukebox.SetVariable(QStringLiteral("PATH"), tools + QLatin1Char(':') + qEnvironmentVariable("PATH"));

    const QMap<QString, QString> installed = FileList(prefix());
    QString error;
    ASSERT_TRUE(jukebox.Start(&error)) << error.toStdString();
    ASSERT_TRUE(jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();

    // F1 opens the installed manual.
    ASSERT_TRUE(jukebox.SendKeys(QStringLiteral("F1")));
    ASSERT_TRUE(WaitForFile(opened, kActionTimeoutMs)) << "F1 opened nothing";
    QFile openedFile(opened);
    ASSERT_TRUE(openedFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(openedFile.readAll()).contains(prefix() + QStringLiteral("/share/vorlen/Doc/index.html")));

    // The visualisation runs from the installed plug-in: Ctrl+V switches it
    // to its next look, which the plug-in keeps in the user's data folder.
    ASSERT_TRUE(jukebox.SendKeys(QStringLiteral("ctrl+v")));
    EXPECT_TRUE(WaitForFile(userData + QStringLiteral("/plugins/tinyvis.cfg"), kActionTimeoutMs))
        << "Ctrl+V kept no look in the user's data folder";

    EXPECT_TRUE(jukebox.SendKeys(QStringLiteral("ctrl+x")));
    ASSERT_TRUE(jukebox.WaitForExit(kStartTimeoutMs)) << "Ctrl+X left the jukebox running";
    EXPECT_EQ(jukebox.ExitCode(), 0) << jukebox.Output().toStdString();

    // The settings and the library went to the user's data folder; nothing
    // in the prefix was added, changed or removed.
    QSettings saved(userData + QStringLiteral("/vorlen.ini"), QSettings::IniFormat);
    EXPECT_TRUE(saved.childGroups().contains(QStringLiteral("JukeBoxGeometry"))) << "the window's settings were not kept";
    EXPECT_TRUE(QFileInfo(userData + QStringLiteral("/Data")).isDir());
    EXPECT_EQ(Changes(installed, FileList(prefix())).toStdString(), std::string());
}
