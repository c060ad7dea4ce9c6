// The core with files that are damaged, unreadable, missing or cannot be
// written: the user's data is kept and the user is told, once.
#include "coreFakes.h"
#include "coreTestFolder.h"
#include "eventWait.h"
#include "unprivileged.h"

#include "core/dmMain.h"
#include "library/knownFiles.h"
#include "library/tagPlaylist.h"
#include "library/vorlenScanThread.h"
#include "platform/commaText.h"
#include "platform/iniFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>

namespace {

const QByteArray kSettings = "[Dirs]\nDirList=/music/a,/music/b\n[General]\nShowTips=0\n";

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &name, const QByteArray &data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QString permissionDenied()
{
    return QString::fromLocal8Bit(std::strerror(EACCES));
}

// The scan the music search window runs, to its end, then the core's update.
void scanAndAdd(TdmMain &core, bool removeMissing)
{
    TvorlenScanThread scan;
    scan.SetExtensions(kMusicExtensions);
    scan.FolderList = core.Settings().DirList;
    scan.Recursive = true;
    scan.KnownFiles = TknownFiles(core.jblMain().MasterList());
    scan.start();
    ASSERT_TRUE(RunEventsUntil([&scan] { return scan.isFinished(); }, 60000));
    // The findings come through the hand-over to this thread, posted before
    // the worker ended.
    QCoreApplication::sendPostedEvents();
    QStringList newFiles;
    for (int i = 0; i < scan.NewFiles().Count(); ++i)
        newFiles << scan.NewFiles().Strings(i);
    core.AddScannedFiles(newFiles, removeMissing, scan.MissingFolders(), scan.Unreadable());
}

// vorlen.ini damaged in one way, the music folders first in it.
struct SettingsDamage {
    const char *name;
    std::function<void(QFile &)> damage;
    const char *named;
    bool foldersKept;
};

// Test names show the case, not its bytes.
void PrintTo(const SettingsDamage &value, std::ostream *os)
{
    *os << value.name;
}

class DamagedSettingsTest : public ::testing::TestWithParam<SettingsDamage> {};

} // namespace

TEST_P(DamagedSettingsTest, AreKeptBesideAndNamedAndWhatWasReadIsSavedBack)
{
    TcoreTestFolder folder;
    const QString ini = folder.home() + QStringLiteral("/vorlen.ini");
    writeFile(ini, kSettings + "[CrossFader]\nFadeInTime=1234\n[JukeBoxGeneral]\nClockStyle=1\n");
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        GetParam().damage(file);
    }
    const QByteArray damaged = readAll(ini);
    TrecordedCore run(folder.options());
    TdmMain &core = run.core;
    TscriptedUi &ui = run.ui;
    core.StartUp();
    ASSERT_EQ(ui.notices.size(), 1) << ui.notices.join(u'\n').toStdString();
    EXPECT_TRUE(ui.notices.first().startsWith(QStringLiteral("File Read Error: ")));
    EXPECT_TRUE(ui.notices.first().contains(ini + QStringLiteral(": ")));
    EXPECT_TRUE(ui.notices.first().contains(QLatin1String(GetParam().named))) << ui.notices.first().toStdString();
    EXPECT_TRUE(ui.notices.first().contains(QStringLiteral("kept as vorlen.ini.damaged")));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(readAll(ini + QStringLiteral(".damaged")), damaged);

    const QStringList folders{QStringLiteral("/music/a"), QStringLiteral("/music/b")};
    EXPECT_EQ(core.Settings().DirList, GetParam().foldersKept ? folders : QStringList());
    core.SaveSettings();
    EXPECT_TRUE(ui.messages.isEmpty());
    const TiniFile saved(ini);
    EXPECT_EQ(saved.ReadProblem(), QString());
    EXPECT_EQ(FromCommaText(saved.ReadString(QStringLiteral("Dirs"), QStringLiteral("DirList"), {})),
              core.Settings().DirList);
    EXPECT_EQ(readAll(ini + QStringLiteral(".damaged")), damaged) << "the kept copy outlives the save";
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedSettingsTest,
    ::testing::Values(
        SettingsDamage{"CutOff", [](QFile &f) { f.resize(f.size() - 5); }, "ends in the middle of a line", true},
        SettingsDamage{"ZeroFilled", [](QFile &f) { f.resize(64 * 1024); }, "not text", true},
        SettingsDamage{"Garbage",
                       [](QFile &f) {
                           f.seek(f.size());
                           f.write("\xFF\xFE\x80garbage\n" + QByteArray(2 * TiniFile::kMaxLineBytes, '#') + "\n");
                       },
                       "longer than any setting", true},
        SettingsDamage{"Emptied", [](QFile &f) { f.resize(0); }, "it is empty", false}),
    [](const ::testing::TestParamInfo<SettingsDamage> &info) { return std::string(info.param.name); });

TEST(DamagedCaches, OneNoticeNamesTheLibraryCacheAndTheStackerFile)
{
    TcoreTestFolder folder;
    const QString data = folder.home() + QStringLiteral("/Data");
    QDir().mkpath(data);
    TtaggerList records;
    for (int i = 0; i < 18; ++i) {
        auto *record = new Tid3Tagger;
        record->SetTitle(QStringLiteral("T%1").arg(i));
        record->SetArtist(QStringLiteral("A"));
        record->SetFilename(QStringLiteral("/m/%1.mp3").arg(i));
        records.Add(record);
    }
    ASSERT_TRUE(records.SaveListFile(data + QStringLiteral("/jukebox.dat")));
    QByteArray library = readAll(data + QStringLiteral("/jukebox.dat"));
    library[library.indexOf("\x05Title\x06\x02T3") + 7] = char(0xF0);
    writeFile(data + QStringLiteral("/jukebox.dat"), library);
    ASSERT_TRUE(records.SaveListFile(data + QStringLiteral("/stacker.dat")));
    QFile stacker(data + QStringLiteral("/stacker.dat"));
    ASSERT_TRUE(stacker.resize(stacker.size() - 20));

    TrecordedCore run(folder.options());
    TdmMain &core = run.core;
    TscriptedUi &ui = run.ui;
    core.StartUp();
    EXPECT_LT(core.jblMain().MasterList().Count(), 17);
    ASSERT_EQ(ui.notices.size(), 1);
    const QString &notice = ui.notices.first();
    EXPECT_TRUE(notice.contains(QStringLiteral("/jukebox.dat: ")) && notice.contains(QStringLiteral("of its 18 track records")))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("/stacker.dat: "))) << notice.toStdString();
    EXPECT_EQ(readAll(data + QStringLiteral("/jukebox.dat.damaged")), library);
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/stacker.dat.damaged")));
    // Heard once: reloading the library names nothing new.
    core.LoadLibrary();
    EXPECT_EQ(ui.notices.size(), 1);
}

namespace {

// A music folder the scan cannot reach: unplugged, or closed to the user.
struct UnreachableFolder {
    const char *name;
    bool locked;
    const char *named;
};

// Test names show the case, not its bytes.
void PrintTo(const UnreachableFolder &value, std::ostream *os)
{
    *os << value.name;
}

class UnreachableFolderTest : public ::testing::TestWithParam<UnreachableFolder> {};

} // namespace

TEST_P(UnreachableFolderTest, KeepsItsTracksWhenMissingFilesAreRemoved)
{
    if (GetParam().locked)
        VORLEN_RUN_UNPRIVILEGED();
    TcoreTestFolder folder;
    const QString near = folder.music() + QStringLiteral("/near");
    const QString far = folder.music() + QStringLiteral("/far");
    const QStringList nearTracks{folder.addTrack(QStringLiteral("near/1.mp3"), QStringLiteral("N1"), QStringLiteral("A"), QStringLiteral("Near"), 1),
                                 folder.addTrack(QStringLiteral("near/2.mp3"), QStringLiteral("N2"), QStringLiteral("A"), QStringLiteral("Near"), 2)};
    folder.addTrack(QStringLiteral("far/sub/1.mp3"), QStringLiteral("F1"), QStringLiteral("B"), QStringLiteral("Far"), 1);
    folder.addTrack(QStringLiteral("far/sub/2.mp3"), QStringLiteral("F2"), QStringLiteral("B"), QStringLiteral("Far"), 2);
    TrecordedCore run(folder.options());
    TdmMain &core = run.core;
    TscriptedUi &ui = run.ui;
    core.StartUp();
    core.SetMusicFolders({near, far});
    scanAndAdd(core, true);
    ASSERT_EQ(core.jblMain().MasterList().Count(), 4);

    QString unreachable = far;
    if (GetParam().locked) {
        unreachable = far + QStringLiteral("/sub");
        ASSERT_EQ(::chmod(QFile::encodeName(unreachable).constData(), 0), 0);
    } else {
        ASSERT_TRUE(QDir().rename(far, far + QStringLiteral(" (unplugged)")));
    }
    ASSERT_TRUE(QFile::remove(nearTracks[1]));
    scanAndAdd(core, true);
    if (GetParam().locked)
        ::chmod(QFile::encodeName(unreachable).constData(), 0700);

    // The deleted track goes; the tracks the scan could not see stay, in the
    // library and in its cache.
    EXPECT_EQ(core.jblMain().MasterList().Count(), 3);
    TtaggerList cache;
    cache.LoadListFile(core.DataFolder() + QStringLiteral("/jukebox.dat"), false);
    EXPECT_EQ(cache.Count(), 3);
    ASSERT_FALSE(ui.notices.isEmpty());
    EXPECT_TRUE(ui.notices.last().startsWith(QStringLiteral("Scan Folders: ")));
    EXPECT_TRUE(ui.notices.last().contains(QLatin1String(GetParam().named))) << ui.notices.last().toStdString();
    EXPECT_TRUE(ui.notices.last().contains(unreachable));
}

INSTANTIATE_TEST_SUITE_P(Folders, UnreachableFolderTest,
                         ::testing::Values(UnreachableFolder{"Unplugged", false, "was not found"},
                                           UnreachableFolder{"Locked", true, "could not be read"}),
                         [](const ::testing::TestParamInfo<UnreachableFolder> &info) {
                             return std::string(info.param.name);
                         });

TEST(SavingFailures, EveryFileIsTriedAndEachFailureIsListedWithItsReason)
{
    VORLEN_RUN_UNPRIVILEGED();
    TcoreTestFolder folder;
    const QString list = folder.music() + QStringLiteral("/party.m3u");
    writeFile(list, folder.addTrack(QStringLiteral("a.mp3"), QStringLiteral("A"), QStringLiteral("B"), QString(), 1).toUtf8());
    TrecordedCore run(folder.options());
    TdmMain &core = run.core;
    TscriptedUi &ui = run.ui;
    ASSERT_TRUE(core.AddPreloadedPlaylist(QStringLiteral("Party"), list, false, true));
    // The program folder cannot be written; its Data folder can.
    ASSERT_EQ(::chmod(QFile::encodeName(folder.home()).constData(), 0555), 0);
    core.SaveSettings();
    ::chmod(QFile::encodeName(folder.home()).constData(), 0755);

    ASSERT_EQ(ui.messages.size(), 1);
    const QString &message = ui.messages.first();
    EXPECT_TRUE(message.startsWith(QStringLiteral("File Write Error: Error writing settings files.")));
    for (const char *file : {"/vorlen.ini: ", "/playlists.pll: "})
        EXPECT_TRUE(message.contains(folder.home() + QLatin1String(file) + permissionDenied())) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("Data/"))) << message.toStdString();
    EXPECT_TRUE(QFile::exists(core.DataFolder() + QStringLiteral("/stacker.dat")));
    EXPECT_TRUE(QFile::exists(PlaylistCacheFile(list, core.DataFolder())));
}

TEST(PlaylistEntries, AListFromWindowsCountsItsDrivePathsAmongTheEntriesNotFound)
{
    TcoreTestFolder folder;
    folder.addTrack(QStringLiteral("Artist/song.mp3"), QStringLiteral("Song"), QStringLiteral("A"), QString(), 1);
    const QString list = folder.music() + QStringLiteral("/lists/windows.m3u");
    QDir().mkpath(QFileInfo(list).path());
    writeFile(list, "#EXTM3U\r\n..\\Artist\\song.mp3\r\nC:\\Music\\gone.mp3\r\n");
    TrecordedCore run(folder.options());
    TdmMain &core = run.core;
    TscriptedUi &ui = run.ui;
    const QString expected = QStringLiteral("Playlist Entries Not Found: 1 of the 2 entries of ") + list
                             + QStringLiteral(" name no file that can be found:\nC:\\Music\\gone.mp3");

    ASSERT_TRUE(core.ApplyPlaylistRule(prM3uFile, list, false, {}));
    EXPECT_EQ(core.jblMain().LoadedPlaylist().Count(), 1);
    ASSERT_EQ(ui.notices.size(), 1);
    EXPECT_EQ(ui.notices.last(), expected);
    ASSERT_TRUE(core.AddPreloadedPlaylist(QStringLiteral("Windows"), list, false, true));
    ASSERT_EQ(ui.notices.size(), 2);
    EXPECT_EQ(ui.notices.last(), expected);
}
