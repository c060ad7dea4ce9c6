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

QString below(const QString &folder, const char *relative)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + QLatin1String(relative));
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
    const bool besideExecutable = holdsAssets(exeFolder);
    // The paths from the install prefix's bin folder, so that a prefix given
    // only at install time (cmake --install --prefix) or moved later is found.
    const QString installedAssets = below(exeFolder, VORLEN_ASSETS_FROM_BIN);
    const bool installed = !besideExecutable && QFileInfo(installedAssets).isDir();
    if (besideExecutable) {
        folders.assets = exeFolder;
        folders.plugins = exeFolder + QStringLiteral("/plugins");
    } else if (installed) {
        folders.assets = installedAssets;
        folders.plugins = below(exeFolder, VORLEN_PLUGINS_FROM_BIN);
    } else {
        folders.assets = QStringLiteral(VORLEN_INSTALL_FULL_ASSETS);
        folders.plugins = QStringLiteral(VORLEN_INSTALL_FULL_PLUGINS);
    }

    const QString env = qEnvironmentVariable("VORLEN_HOME");
    if (!env.isEmpty())
        folders.home = QDir::cleanPath(QDir(env).absolutePath());
    else if (!installed && QFileInfo(exeFolder).isWritable())
        folders.home = exeFolder;
    else
        folders.home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vorlen");
    return folders;
}

QString UserConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vorlen");
}
