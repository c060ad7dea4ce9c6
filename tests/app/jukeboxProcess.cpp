#include "jukeboxProcess.h"

#include "pulseTestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>
#include <utility>
#include <sys/prctl.h>

namespace {

constexpr int kPollMs = 100;
constexpr int kFocusTimeoutMs = 20000;

QString testDisplay()
{
    QFile file(QStringLiteral(VORLEN_XSERVER_DIR "/display"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

// ALSA's "default" device, whose "Master" element is the jukebox's master
// volume, as the sound server that PULSE_SERVER names, whatever the machine's
// own ALSA configuration says.
const char kAsoundrc[] = "pcm.!default { type pulse }\n"
                         "ctl.!default { type pulse }\n";

} // namespace

JukeboxProcess::JukeboxProcess(const QString &programFolder)
    : m_folder(programFolder), m_program(QStringLiteral(VORLEN_PROGRAM))
{
    const QString home = m_folder + QStringLiteral("/home");
    const QString runtime = m_folder + QStringLiteral("/runtime");
    const QString temporary = m_folder + QStringLiteral("/tmp");
    for (const QString &folder : { home, runtime, temporary })
        QDir().mkpath(folder);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile asoundrc(home + QStringLiteral("/.asoundrc"));
    if (asoundrc.open(QIODevice::WriteOnly))
        asoundrc.write(kAsoundrc);

    m_environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
             "XDG_CACHE_HOME", "ALSA_CONFIG_PATH" })
        m_environment.remove(QString::fromLatin1(name));
    m_environment.insert(QStringLiteral("DISPLAY"), testDisplay());
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_environment.insert(QStringLiteral("VORLEN_HOME"), m_folder);
    // The jukebox's own home: nothing of the user's settings reaches it, and
    // its single-instance socket lives in its own temporary folder, so that a
    // jukebox running elsewhere on the machine does not take its keys.
    m_environment.insert(QStringLiteral("HOME"), home);
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    m_environment.insert(QStringLiteral("TMPDIR"), temporary);
    m_environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + PulseTestServer::socketPath());
    m_environment.insert(QStringLiteral("PULSE_SINK"), PulseTestServer::sinkName());
    m_environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("pulseaudio"));
    m_process.setProcessEnvironment(m_environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

JukeboxProcess::JukeboxProcess(const QString &folder, const QString &installedProgram)
    : JukeboxProcess(folder)
{
    m_program = installedProgram;
    m_environment.remove(QStringLiteral("VORLEN_HOME"));
    const std::pair<const char *, const char *> xdgFolders[] = { { "XDG_DATA_HOME", "/data" },
        { "XDG_CONFIG_HOME", "/config" }, { "XDG_CACHE_HOME", "/cache" } };
    for (const auto &[name, below] : xdgFolders) {
        QDir().mkpath(m_folder + QLatin1String(below));
        m_environment.insert(QString::fromLatin1(name), m_folder + QLatin1String(below));
    }
    m_process.setProcessEnvironment(m_environment);
}

void JukeboxProcess::SetVariable(const QString &name, const QString &value)
{
    m_environment.insert(name, value);
    m_process.setProcessEnvironment(m_environment);
}

JukeboxProcess::~JukeboxProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void JukeboxProcess::UseSessionBus(const QString &address)
{
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    m_process.setProcessEnvironment(m_environment);
}

void JukeboxProcess::UseWayland(const QString &socket)
{
    m_environment.remove(QStringLiteral("DISPLAY"));
    m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    m_process.setProcessEnvironment(m_environment);
}

bool JukeboxProcess::Start(QString *error)
{
    if (m_environment.value(QStringLiteral("QT_QPA_PLATFORM")) == QLatin1String("xcb")
        && m_environment.value(QStringLiteral("DISPLAY")).isEmpty()) {
        *error = QStringLiteral("the test X server wrote no display to " VORLEN_XSERVER_DIR "/display");
        return false;
    }
    m_process.start(m_program, {});
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("vorlen did not start: ") + m_process.errorString();
        return false;
    }
    return true;
}

QString JukeboxProcess::runXTool(const QString &program, const QStringList &arguments, bool *ok) const
{
    QProcess tool;
    tool.setProcessEnvironment(m_environment);
    tool.start(program, arguments);
    const bool finished = tool.waitForFinished(20000);
    if (!finished) {
        tool.kill();
        tool.waitForFinished(2000);
    }
    const bool succeeded = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (ok)
        *ok = succeeded;
    return succeeded ? QString::fromLocal8Bit(tool.readAllStandardOutput()) : QString();
}

QStringList JukeboxProcess::VisibleWindows(const QString &title) const
{
    return runXTool(QStringLiteral("xdotool"), { QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                   QStringLiteral("--name"), title })
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool JukeboxProcess::SendKeysTo(const QString &title, const QString &keys)
{
    const QStringList windows = VisibleWindows(title);
    if (windows.isEmpty())
        return false;
    bool ok = false;
    runXTool(QStringLiteral("xdotool"),
        QStringList { QStringLiteral("windowfocus"), QStringLiteral("--sync"), windows.first(), QStringLiteral("key") }
            + keys.split(QLatin1Char(' '), Qt::SkipEmptyParts),
        &ok);
    return ok;
}

bool JukeboxProcess::FocusWindow()
{
    const QStringList ids = WindowIds();
    if (ids.size() != 1)
        return false;
    bool ok = false;
    runXTool(QStringLiteral("xdotool"), { QStringLiteral("windowfocus"), QStringLiteral("--sync"), ids.first() }, &ok);
    return ok;
}

QStringList JukeboxProcess::WindowIds() const
{
    return runXTool(
        QStringLiteral("xdotool"), { QStringLiteral("search"), QStringLiteral("--name"), QString::fromLatin1(kTitle) })
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool JukeboxProcess::HasFocus() const
{
    const QStringList ids = WindowIds();
    return ids.size() == 1
        && runXTool(QStringLiteral("xdotool"), { QStringLiteral("getwindowfocus") }).trimmed() == ids.first();
}

bool JukeboxProcess::WaitForFocus(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!HasFocus()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kPollMs);
    }
    return true;
}

bool JukeboxProcess::WaitForWindow(int timeoutMs, QString *error)
{
    const QDeadlineTimer deadline(timeoutMs);
    QStringList ids;
    QString focus;
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning) {
            *error = QStringLiteral("vorlen ended at start: ") + Output();
            return false;
        }
        ids = WindowIds();
        focus = runXTool(QStringLiteral("xdotool"), { QStringLiteral("getwindowfocus") }).trimmed();
        if (ids.size() == 1 && focus == ids.first())
            return true;
        // Started, but the title finds more than the jukebox window: a remote
        // control would send its keys to the wrong one.
        if (ids.size() > 1 && ids.contains(focus))
            break;
        QThread::msleep(kPollMs);
    }
    *error = QStringLiteral("the title finds the windows [%1], the focus is on %2")
                 .arg(ids.join(QLatin1Char(' ')), focus.isEmpty() ? QStringLiteral("none") : focus);
    return false;
}

bool JukeboxProcess::SendKeys(const QString &keys)
{
    // The jukebox acts on keys while its window is the active one: a key
    // goes when it is.
    WaitForFocus(kFocusTimeoutMs);
    bool ok = false;
    const QStringList search { QStringLiteral("search"), QStringLiteral("--name"), QString::fromLatin1(kTitle),
        QStringLiteral("key") };
    runXTool(QStringLiteral("xdotool"), search + keys.split(QLatin1Char(' '), Qt::SkipEmptyParts), &ok);
    return ok;
}

namespace {

// The value of NAME in xdotool's --shell output ("NAME=value" lines).
int shellValue(const QString &text, const QString &name)
{
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(name + QLatin1Char('=')))
            return line.mid(name.size() + 1).toInt();
    }
    return -1;
}

} // namespace

QRect JukeboxProcess::WindowGeometry() const
{
    const QStringList ids = WindowIds();
    if (ids.isEmpty())
        return {};
    const QString shell = runXTool(
        QStringLiteral("xdotool"), { QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), ids.first() });
    return QRect(shellValue(shell, QStringLiteral("X")), shellValue(shell, QStringLiteral("Y")),
        shellValue(shell, QStringLiteral("WIDTH")), shellValue(shell, QStringLiteral("HEIGHT")));
}

QRect JukeboxProcess::ScreenGeometry() const
{
    const QStringList size
        = runXTool(QStringLiteral("xdotool"), { QStringLiteral("getdisplaygeometry") }).split(QLatin1Char(' '));
    return size.size() == 2 ? QRect(0, 0, size[0].toInt(), size[1].toInt()) : QRect();
}

bool JukeboxProcess::WaitForExit(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

QString JukeboxProcess::Output()
{
    m_output += m_process.readAll();
    return QString::fromLocal8Bit(m_output);
}
