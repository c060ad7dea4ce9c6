#include "platform/programFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool holdsAssets(const QString &folder)
{
    return QFileInfo(folder + QStringLiteral("/plugins")).isDir() || QFileInfo(folder + QStringLiteral("/Doc")).isDir();
}

} // namespace

ProgramFolders ResolveProgramFolders(const QString &executableFolder)
{
    QString exeFolder = executableFolder;
    if (exeFolder.isEmpty() && QCoreApplication::instance())
        exeFolder = QCoreApplication::applicationDirPath();
    if (exeFolder.isEmpty())
        exeFolder = QDir::currentPath();
    exeFolder = QDir::cleanPath(exeFolder);

    ProgramFolders folders;
    const QString env = qEnvironmentVariable("VORLEN_HOME");
    if (!env.isEmpty())
        folders.home = QDir::cleanPath(QDir(env).absolutePath());
    else if (QFileInfo(exeFolder).isWritable())
        folders.home = exeFolder;
    else
        folders.home = QDir::homePath() + QStringLiteral("/.local/share/vorlen");

    folders.assets = holdsAssets(exeFolder) ? exeFolder : QStringLiteral(VORLEN_INSTALL_LIBDIR);
    return folders;
}

QString UserConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vorlen");
}
