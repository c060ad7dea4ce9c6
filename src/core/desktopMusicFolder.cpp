#include "core/desktopMusicFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

// How long the desktop may take to answer; a start must not wait longer.
constexpr int kAnswerMs = 2000;

QString namedByTheDesktop()
{
    QProcess process;
    process.start(QStringLiteral("xdg-user-dir"), { QStringLiteral("MUSIC") });
    if (!process.waitForFinished(kAnswerMs) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString();
    const QString folder = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (folder.isEmpty() || QDir(folder) == QDir::home())
        return QString();
    return folder;
}

} // namespace

QString DesktopMusicFolder()
{
    QString folder = namedByTheDesktop();
    if (folder.isEmpty())
        folder = QDir::home().filePath(QStringLiteral("Music"));
    return QFileInfo(folder).isDir() ? QDir::cleanPath(folder) : QString();
}
