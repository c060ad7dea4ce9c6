#include "platform/programFolders.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Variable {
    Variable(const char *name, const QByteArray &value) : name(name), saved(qgetenv(name)) { qputenv(name, value); }
    ~Variable() { qputenv(name, saved); }
    const char *name;
    QByteArray saved;
};

struct HomeVariable : Variable {
    explicit HomeVariable(const QByteArray &value) : Variable("VORLEN_HOME", value) { }
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
    EXPECT_EQ(folders.plugins, folders.assets + QStringLiteral("/plugins"));
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

TEST(ProgramFolders, BuildTreeKeepsEverythingBesideTheExecutable)
{
    QTemporaryDir tree;
    const QString bin = tree.path() + QStringLiteral("/bin");
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/Doc")));
    // A share/vorlen that happens to sit above does not make it an installed program.
    ASSERT_TRUE(QDir().mkpath(tree.path() + QStringLiteral("/share/vorlen")));
    HomeVariable env{QByteArray()};
    const ProgramFolders folders = ResolveProgramFolders(bin);
    EXPECT_EQ(folders.home, bin);
    EXPECT_EQ(folders.assets, bin);
    EXPECT_EQ(folders.plugins, bin + QStringLiteral("/plugins"));
}

TEST(ProgramFolders, InstalledProgramReadsFromItsPrefixAndWritesToTheUserDataFolder)
{
    QTemporaryDir prefix;
    QTemporaryDir userData;
    const QString root = QDir::cleanPath(prefix.path());
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/share/vorlen/Doc")));
    HomeVariable home{QByteArray()};
    Variable data("XDG_DATA_HOME", userData.path().toUtf8());

    // The prefix is writable, as a user's own prefix is; the program still
    // keeps out of it.
    const ProgramFolders folders = ResolveProgramFolders(root + QStringLiteral("/bin/"));
    EXPECT_EQ(folders.assets, root + QStringLiteral("/share/vorlen"));
    EXPECT_EQ(folders.docFolder(), root + QStringLiteral("/share/vorlen/Doc"));
    EXPECT_TRUE(folders.plugins.startsWith(root + QStringLiteral("/lib"))) << folders.plugins.toStdString();
    EXPECT_TRUE(folders.plugins.endsWith(QStringLiteral("/vorlen/plugins"))) << folders.plugins.toStdString();
    EXPECT_EQ(folders.home, QDir::cleanPath(userData.path()) + QStringLiteral("/vorlen"));

    const QString chosen = QDir::cleanPath(userData.path()) + QStringLiteral("/second");
    HomeVariable second(chosen.toUtf8());
    EXPECT_EQ(ResolveProgramFolders(root + QStringLiteral("/bin")).home, chosen);
}
