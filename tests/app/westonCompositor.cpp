#include "westonCompositor.h"

#include "programTestLimits.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int kPollMs = 100;

// No panel, no screen lock, no blanking while a test waits.
QByteArray configuration()
{
    return "[core]\nidle-time=0\n"
           "[shell]\npanel-position=none\nlocking=false\nbackground-color=0x"
        + QByteArray::number(WestonCompositor::kBackground, 16) + "\n";
}

} // namespace

bool WestonCompositor::Installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("weston-screenshooter")).isEmpty();
}

WestonCompositor::WestonCompositor(const QString &runtimeFolder, QSize screen)
    : m_runtime(runtimeFolder)
    , m_socket(QStringLiteral("vorlen-test-%1").arg(QCoreApplication::applicationPid()))
    , m_screen(screen)
{
}

WestonCompositor::~WestonCompositor()
{
    if (m_weston.state() != QProcess::NotRunning) {
        m_weston.terminate();
        if (!m_weston.waitForFinished(5000)) {
            m_weston.kill();
            m_weston.waitForFinished(5000);
        }
    }
}

bool WestonCompositor::Start(QString *error)
{
    if (!m_folder.isValid()) {
        *error = QStringLiteral("no folder for weston: ") + m_folder.errorString();
        return false;
    }
    const QString config = m_folder.filePath(QStringLiteral("weston.ini"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(configuration()) < 0) {
        *error = QStringLiteral("cannot write ") + config;
        return false;
    }
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
    m_weston.setProcessEnvironment(environment);
    m_weston.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_weston.setProcessChannelMode(QProcess::MergedChannels);
    // The pixman renderer: the headless backend draws nothing without one,
    // and a capture would be empty. The debug protocol lets the capture
    // client in.
    m_weston.start(QStringLiteral("weston"),
        { QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + m_socket,
            QStringLiteral("--width=%1").arg(m_screen.width()), QStringLiteral("--height=%1").arg(m_screen.height()),
            QStringLiteral("--use-pixman"), QStringLiteral("--debug"), QStringLiteral("--idle-time=0"),
            QStringLiteral("--config=") + config,
            QStringLiteral("--log=") + m_folder.filePath(QStringLiteral("weston.log")) });
    if (!m_weston.waitForStarted(10000)) {
        *error = QStringLiteral("weston did not start: ") + m_weston.errorString();
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    const QString socket = m_runtime + QLatin1Char('/') + m_socket;
    QString captureError;
    while (!deadline.hasExpired()) {
        if (m_weston.state() == QProcess::NotRunning) {
            *error = QStringLiteral("weston ended at start: ") + Log();
            return false;
        }
        if (QFile::exists(socket)) {
            const QImage screen = Capture(&captureError);
            if (screen.size() == m_screen && Covered(screen).isEmpty())
                return true;
        }
        QThread::msleep(kPollMs);
    }
    *error = QStringLiteral("weston's shell painted no background (%1): %2").arg(captureError, Log());
    return false;
}

QImage WestonCompositor::Capture(QString *error)
{
    // The client writes its picture into its working folder under a name of
    // the time; a folder of its own finds it.
    QTemporaryDir shot(m_folder.filePath(QStringLiteral("shot-XXXXXX")));
    QProcess client;
    QProcessEnvironment environment = m_weston.processEnvironment();
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    client.setProcessEnvironment(environment);
    client.setWorkingDirectory(shot.path());
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(QStringLiteral("weston-screenshooter"), {});
    const bool finished = client.waitForFinished(kTimeoutMs);
    if (!finished) {
        client.kill();
        client.waitForFinished(2000);
    }
    const QStringList pictures = QDir(shot.path()).entryList({ QStringLiteral("*.png") }, QDir::Files);
    if (!finished || client.exitCode() != 0 || pictures.size() != 1) {
        if (error)
            *error = QStringLiteral("weston-screenshooter: ") + QString::fromLocal8Bit(client.readAll());
        return {};
    }
    return QImage(shot.filePath(pictures.first())).convertToFormat(QImage::Format_ARGB32);
}

QRect WestonCompositor::Covered(const QImage &screen)
{
    QPoint topLeft(screen.width(), screen.height());
    QPoint bottomRight(-1, -1);
    for (int y = 0; y < screen.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            if (line[x] != kBackground) {
                topLeft = QPoint(std::min(topLeft.x(), x), std::min(topLeft.y(), y));
                bottomRight = QPoint(std::max(bottomRight.x(), x), std::max(bottomRight.y(), y));
            }
        }
    }
    return bottomRight.x() < 0 ? QRect() : QRect(topLeft, bottomRight);
}

QString WestonCompositor::Log() const
{
    QFile log(m_folder.filePath(QStringLiteral("weston.log")));
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
}
