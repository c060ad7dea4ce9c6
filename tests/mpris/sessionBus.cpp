#include "sessionBus.h"

#include <csignal>
#include <sys/prctl.h>

SessionBus::~SessionBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
}

bool SessionBus::Start(QString *error)
{
    if (!m_folder.isValid()) {
        *error = QStringLiteral("no temporary folder for the bus: ") + m_folder.errorString();
        return false;
    }
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
    // The daemon prints its address once it listens.
    m_daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
            QStringLiteral("--address=unix:dir=") + m_folder.path(), QStringLiteral("--print-address=1") });
    if (!m_daemon.waitForStarted(10000)) {
        *error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return false;
    }
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(60000)) {
            *error = QStringLiteral("dbus-daemon gave no address: ")
                + QString::fromLocal8Bit(m_daemon.readAllStandardError());
            return false;
        }
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return true;
}
