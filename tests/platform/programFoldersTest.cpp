#include "platform/programFolders.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct HomeVariable {
    explicit HomeVariable(const QByteArray &value) : saved(qgetenv("VORLEN_HOME")) { qputenv("VORLEN_HOME", value); }
    ~HomeVariable() { qputenv("VORLEN_HOME", saved); }
    QByteArray saved;
};

} // namespace

TEST(ProgramFolders, HomeVariableWinsAndAssetsFollowTheExecutable)
{
    QTemporaryDir home;
    QTemporaryDir exe;
    ASSERT_TRUE(QDir(exe.path()).mkdir(QStringLiteral("plugins")));
    HomeVariable env(home.path().toUtf8());
    const ProgramFolders folders = ResolveProgramFolders(exe.path());
    EXPECT_EQ(folders.home, QDir::cleanPath(home.path()));
    EXPECT_EQ(folders.assets, QDir::cleanPath(exe.path()));
    EXPECT_EQ(folders.dataFolder(), folders.home + QStringLiteral("/Data"));
    EXPECT_EQ(folders.pluginsFolder(), folders.assets + QStringLiteral("/plugins"));
    // The plug-ins' settings stay writable where the plug-ins are not.
    EXPECT_EQ(folders.pluginSettingsFolder(), folders.home + QStringLiteral("/plugins"));
    EXPECT_EQ(folders.settingsFile(), folders.home + QStringLiteral("/vorlen.ini"));
}

TEST(ProgramFolders, PortableLayoutInAWritableExecutableFolder)
{
    QTemporaryDir exe;
    HomeVariable env{QByteArray()};
    const ProgramFolders folders = ResolveProgramFolders(exe.path());
    EXPECT_EQ(folders.home, QDir::cleanPath(exe.path()));
    // Without plugins or Doc beside the executable the assets are installed ones.
    EXPECT_NE(folders.assets, folders.home);
}
