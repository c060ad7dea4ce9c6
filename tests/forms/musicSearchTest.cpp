#include "coreFakes.h"
#include "coreTestFolder.h"
#include "modalDriver.h"

#include "core/dmMain.h"
#include "platform/iniFile.h"
#include "ui/forms/frmMusicSearch.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <unistd.h>

// Readable failure messages for texts.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

class MusicSearchWindow : public ::testing::Test {
protected:
    void makeWindow()
    {
        TdmMainOptions options = folder.options();
        options.cdDrives = [this] { return drives; };
        run = std::make_unique<TrecordedCore>(options);
        core = &run->core;
        // The scan alone takes music in here: a watch of the folders would
        // take in the tests' files before the scan finds them.
        core->SetWatchFolders(false);
        core->StartUp();
        window = std::make_unique<TfrmMusicSearch>(*core);
        // As the jukebox window does: it holds the library's albums, artists
        // and records, and reads them whenever events run.
        run->face.Watch(&core->jblMain());
    }

    template <typename T> T *child(const char *name) const
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char *label) const { return child<QLabel>(label)->text(); }
    QCheckBox *option(const char *name) const { return child<QCheckBox>(name); }

    void setFolders(const QStringList &folders) { core->SetMusicFolders(folders); }
    QString music(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? folder.music() : folder.music() + QLatin1Char('/') + relative;
    }

    void pressStart() { QTest::mouseClick(child<QPushButton>("btnStart"), Qt::LeftButton); }
    // Shows the window and runs a scan; true when the window closed by
    // itself after the update.
    bool runToCompletion()
    {
        window->show();
        pressStart();
        return QTest::qWaitFor([this] { return !window->isVisible(); }, 30000);
    }

    // The library's files, with the separators tidied (a file straight in a
    // listed folder that ends in "/" is found with a doubled one).
    QStringList libraryFiles() const
    {
        QStringList files;
        for (const TcustomTagger *record : core->jblMain().MasterList().Records())
            files << QDir::cleanPath(record->Filename());
        files.sort();
        return files;
    }

    QString track(const QString &relative, const QString &title, int frequency = 440)
    {
        return folder.addTrack(relative, title, QStringLiteral("Nordwave"), QStringLiteral("Hits"), 1, frequency, 0.3);
    }

    bool cacheWritten() const { return QFile::exists(core->DataFolder() + QStringLiteral("/jukebox.dat")); }

    TcoreTestFolder folder;
    QList<CdDrive> drives;
    std::unique_ptr<TrecordedCore> run;
    TdmMain *core = nullptr;
    std::unique_ptr<TfrmMusicSearch> window;
};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

TEST_F(MusicSearchWindow, ACompletedRunAddsWhatItFoundAndClosesByItself)
{
    const QString deep = QStringLiteral("A folder with a rather long name/Another folder that goes on and on/Moon");
    const QString one = track(deep + QStringLiteral("/01.mp3"), QStringLiteral("One"));
    const QString two = track(deep + QStringLiteral("/02.mp3"), QStringLiteral("Two"), 660);
    const QString loose = track(QStringLiteral("loose.ogg"), QStringLiteral("Loose"), 880);
    QFile notes(music(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not music");
    notes.close();
    makeWindow();
    setFolders({ music() + QLatin1Char('/') });
    run->face.log.clear();

    // Shown modally, the window returns from its loop once the update is done.
    WhenModal<TfrmMusicSearch>([this](TfrmMusicSearch *) { pressStart(); });
    {
        const TmodalWatchdog watchdog(window.get(), 30000);
        window->Execute();
    }
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Running());
    EXPECT_EQ(libraryFiles(), sorted({ one, two, loose }));
    EXPECT_TRUE(cacheWritten());
    EXPECT_EQ(text("lblNewFilesFound"), QStringLiteral("3"));
    EXPECT_EQ(text("lblModFilesFound"), QStringLiteral("0"));
    EXPECT_EQ(text("lblAction"), QStringLiteral("Action : Updating Information"));
    EXPECT_GE(run->face.count(QStringLiteral("ListsUpdated")), 1);
    EXPECT_TRUE(child<QPushButton>("btnStart")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("btnStop")->isEnabled());

    // The window showed the update's progress, and so could any other face.
    const auto *bar = child<QProgressBar>("pgbMusic");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(run->face.tasks.contains(QStringLiteral("Updating the library")))
        << run->face.tasks.join(u',').toStdString();

    // The folder last scanned (the deepest: the scan enters each subfolder
    // at once) is shortened to the room the label has, keeping the end of
    // its path.
    const QLabel *label = child<QLabel>("lblCurrentDir");
    const QString shown = label->text();
    const QString full = label->toolTip();
    EXPECT_TRUE(full.endsWith(deep)) << full.toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width()) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral(".../"))) << shown.toStdString();
    EXPECT_TRUE(full.endsWith(shown.mid(shown.lastIndexOf(QStringLiteral(".../")) + 4)));

    // A second run finds nothing new; a file changed on disk since is re-read.
    QFile changed(one);
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
    ASSERT_TRUE(changed.setFileTime(QDateTime::currentDateTime().addSecs(120), QFileDevice::FileModificationTime));
    changed.close();
    ASSERT_TRUE(runToCompletion());
    EXPECT_EQ(text("lblNewFilesFound"), QStringLiteral("0"));
    EXPECT_EQ(text("lblModFilesFound"), QStringLiteral("1"));
    EXPECT_EQ(libraryFiles(), sorted({ one, two, loose }));
}

TEST_F(MusicSearchWindow, ARunThatFindsNothingStillUpdatesAndCloses)
{
    makeWindow();
    setFolders({ music() + QLatin1Char('/') });
    ASSERT_FALSE(cacheWritten());
    ASSERT_TRUE(runToCompletion()) << "an empty music folder";
    EXPECT_TRUE(cacheWritten()) << "the library is saved even when nothing was found";
    EXPECT_EQ(text("lblNewFilesFound"), QStringLiteral("0"));

    setFolders({});
    ASSERT_TRUE(runToCompletion()) << "no music folder at all";
    EXPECT_TRUE(libraryFiles().isEmpty());
}

TEST_F(MusicSearchWindow, RemoveMissingFilesKeepsOnlyTracksUnderAListedFolder)
{
    const QString kept = track(QStringLiteral("Rock/a.mp3"), QStringLiteral("A"));
    const QString prefixTwin = track(QStringLiteral("Rock2/b.mp3"), QStringLiteral("B"), 550);
    const QString outside = track(QStringLiteral("Jazz/c.mp3"), QStringLiteral("C"), 660);
    const QString otherCase = track(QStringLiteral("rock/d.mp3"), QStringLiteral("D"), 770);
    makeWindow();
    core->AddScannedFiles({ kept, prefixTwin, outside, otherCase }, false);
    ASSERT_EQ(core->jblMain().MasterList().Count(), 4);

    // A plain, case-sensitive prefix test on the path: "Rock" also holds
    // "Rock2"; "rock" and "Jazz" go, although their files are still there.
    setFolders({ music(QStringLiteral("Rock")) });
    ASSERT_TRUE(option("cbRemoveMissing")->isChecked()) << "on by default";
    ASSERT_TRUE(runToCompletion());
    EXPECT_EQ(libraryFiles(), sorted({ kept, prefixTwin }));
    EXPECT_EQ(text("lblNewFilesFound"), QStringLiteral("0"));

    // Without the option nothing is removed; the scan adds what is new.
    option("cbRemoveMissing")->setChecked(false);
    setFolders({ music(QStringLiteral("Jazz/")) });
    ASSERT_TRUE(runToCompletion());
    EXPECT_EQ(libraryFiles(), sorted({ kept, prefixTwin, outside }));
}

TEST_F(MusicSearchWindow, RemoveMissingFilesWithADiscInTheDrive)
{
    // The disc's tracks lie outside the music folders: they leave the library
    // for the run and come back from the disc's cache, while the folder
    // tracks, old and new, are saved in the library cache.
    const QString discRoot = folder.root.filePath(QStringLiteral("disc"));
    const QString discTrack = discRoot + QStringLiteral("/CD/1.mp3");
    QDir().mkpath(discRoot + QStringLiteral("/CD"));
    ToneSpec spec;
    spec.seconds = 0.3;
    spec.metadata
        = { { QStringLiteral("title"), QStringLiteral("On Disc") }, { QStringLiteral("album"), QStringLiteral("CD") } };
    ASSERT_TRUE(MakeToneFile(discTrack, spec));
    const QString image = folder.root.filePath(QStringLiteral("disc.iso"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("genisoimage"),
        { QStringLiteral("-quiet"), QStringLiteral("-V"), QStringLiteral("DISC"), QStringLiteral("-o"), image,
            discTrack },
        &error))
        << error.toStdString();
    drives = { CdDrive { discRoot, image } };
    const QString old = track(QStringLiteral("Old/old.mp3"), QStringLiteral("Old"));
    makeWindow();
    run->ui.answers = { true };
    core->RefreshCDs();
    core->AddScannedFiles({ old }, false);
    ASSERT_EQ(libraryFiles(), sorted({ old, discTrack }));

    const QString fresh = track(QStringLiteral("New/fresh.mp3"), QStringLiteral("Fresh"), 660);
    setFolders({ music() + QLatin1Char('/') });
    ASSERT_TRUE(runToCompletion());
    EXPECT_EQ(libraryFiles(), sorted({ old, fresh, discTrack }));
    core->LoadLibrary();
    EXPECT_EQ(libraryFiles(), sorted({ old, fresh, discTrack }));
}

TEST_F(MusicSearchWindow, FullRescanRebuildsTheLibraryFromTheScanAlone)
{
    const QString one = track(QStringLiteral("Rock/1.mp3"), QStringLiteral("One"));
    const QString two = track(QStringLiteral("Rock/2.mp3"), QStringLiteral("Two"), 550);
    const QString dropped = track(QStringLiteral("Jazz/3.mp3"), QStringLiteral("Three"), 660);
    makeWindow();
    core->AddScannedFiles({ one, two, dropped }, false);
    setFolders({ music(QStringLiteral("Rock/")) });
    option("cbRemoveMissing")->setChecked(false);

    window->show();
    option("cbFullScan")->setChecked(true);
    pressStart();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }, 60000));
    EXPECT_EQ(text("lblNewFilesFound"), QStringLiteral("2")) << "files already known count as new";
    EXPECT_EQ(libraryFiles(), sorted({ one, two }));

    // The library cache holds the rebuilt library.
    core->LoadLibrary();
    EXPECT_EQ(libraryFiles(), sorted({ one, two }));
}

// A music folder that is not there (a drive not mounted), or whose mount
// point is left behind empty, keeps its tracks through a full rescan and
// through Remove Missing Files, and the scan names it: only what the scan
// could reach is rebuilt.
TEST_F(MusicSearchWindow, AFullRescanKeepsTheTracksOfAFolderItCannotReach)
{
    const QString rock = track(QStringLiteral("Rock/1.mp3"), QStringLiteral("One"));
    const QString jazz = track(QStringLiteral("Jazz/2.mp3"), QStringLiteral("Two"), 550);
    const QString away = music(QStringLiteral("Away"));
    makeWindow();
    core->AddScannedFiles({ rock, jazz }, false);
    setFolders({ music(QStringLiteral("Rock/")), music(QStringLiteral("Jazz/")) });
    const struct {
        const char *name;
        bool fullScan;
        bool mountPointLeft;
    } cases[] = {
        { "full rescan, folder gone", true, false },
        { "full rescan, mount point left empty", true, true },
        { "remove missing files, mount point left empty", false, true },
    };
    for (const auto &way : cases) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(QDir().rename(music(QStringLiteral("Jazz")), away));
        if (way.mountPointLeft) {
            ASSERT_TRUE(QDir().mkdir(music(QStringLiteral("Jazz"))));
        }

        window->show();
        option("cbFullScan")->setChecked(way.fullScan);
        option("cbRemoveMissing")->setChecked(true);
        pressStart();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }, 60000));
        EXPECT_EQ(libraryFiles(), sorted({ rock, jazz }));
        EXPECT_TRUE(run->ui.notices.join(u'\n').contains(QStringLiteral("Jazz"))) << "the scan names the folder";
        QDir(music(QStringLiteral("Jazz"))).removeRecursively();
        ASSERT_TRUE(QDir().rename(away, music(QStringLiteral("Jazz"))));
        run->ui.notices.clear();
    }
}

TEST_F(MusicSearchWindow, StopEndsTheScanAddsNothingAndTheWindowStaysOpen)
{
    // A large tree, so that the scan is still busy when Stop comes.
    const QString source = track(QStringLiteral("source.mp3"), QStringLiteral("Source"));
    const QString tree = music(QStringLiteral("tree"));
    for (int f = 0; f < 150; ++f) {
        const QString sub = tree + QStringLiteral("/folder%1").arg(f);
        ASSERT_TRUE(QDir().mkpath(sub));
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(::link(QFile::encodeName(source).constData(),
                          QFile::encodeName(sub + QStringLiteral("/%1.mp3").arg(i)).constData()),
                0);
    }
    makeWindow();
    setFolders({ tree + QLatin1Char('/') });
    window->show();
    pressStart();
    EXPECT_TRUE(window->Running());
    EXPECT_FALSE(child<QPushButton>("btnStart")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("btnStop")->isEnabled());
    EXPECT_EQ(text("lblAction"), QStringLiteral("Action : Scanning for new/modified files"));

    // Closing is refused while the run lasts, by the close box and by Escape.
    window->close();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());

    QTest::mouseClick(child<QPushButton>("btnStop"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->Running(); }, 30000));
    const QString found = text("lblNewFilesFound");
    QTest::qWait(50);
    EXPECT_EQ(text("lblNewFilesFound"), found) << "the counts stay as they were";
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(child<QPushButton>("btnStart")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("btnStop")->isEnabled());
    EXPECT_TRUE(libraryFiles().isEmpty());
    EXPECT_FALSE(cacheWritten()) << "a stopped run does not update the library";

    window->close();
    EXPECT_FALSE(window->isVisible()) << "an idle window closes";
}

TEST_F(MusicSearchWindow, ShowingAgainResetsFullRescanAndTheCountsButKeepsRemoveMissing)
{
    track(QStringLiteral("a.mp3"), QStringLiteral("A"));
    makeWindow();
    setFolders({ music() + QLatin1Char('/') });
    option("cbRemoveMissing")->setChecked(false);
    ASSERT_TRUE(runToCompletion());
    ASSERT_EQ(text("lblNewFilesFound"), QStringLiteral("1"));

    window->show();
    option("cbFullScan")->setChecked(true);
    window->close();
    window->show();
    EXPECT_FALSE(option("cbFullScan")->isChecked());
    EXPECT_FALSE(option("cbRemoveMissing")->isChecked());
    EXPECT_EQ(text("lblNewFilesFound"), QStringLiteral("0"));
    EXPECT_EQ(text("lblModFilesFound"), QStringLiteral("0"));
    EXPECT_EQ(text("lblAction"), QStringLiteral("Action : None"));
    EXPECT_EQ(child<QProgressBar>("pgbMusic")->value(), 0);
    EXPECT_FALSE(child<QPushButton>("btnStop")->isEnabled());
    window->close();
}

TEST_F(MusicSearchWindow, RemoveMissingFilesIsKeptInTheSettingsFile)
{
    makeWindow();
    EXPECT_TRUE(option("cbRemoveMissing")->isChecked()) << "on without a settings file";

    const QString settings = folder.home() + QStringLiteral("/vorlen.ini");
    auto writeDeleteFiles = [&settings](bool value) {
        TiniFile ini(settings);
        ini.WriteBool(QStringLiteral("MusicSearch"), QStringLiteral("DeleteFiles"), value);
        ASSERT_TRUE(ini.UpdateFile());
    };
    writeDeleteFiles(false);
    core->LoadSettings();
    EXPECT_FALSE(option("cbRemoveMissing")->isChecked()) << "read in the core's settings pass";

    option("cbRemoveMissing")->setChecked(true);
    core->SaveSettings();
    EXPECT_TRUE(TiniFile(settings).ReadBool(QStringLiteral("MusicSearch"), QStringLiteral("DeleteFiles"), false));
    EXPECT_TRUE(TiniFile(settings).ValueExists(QStringLiteral("Dirs"), QStringLiteral("DirList")))
        << "the core's own keys are written in the same pass";

    // A window made after the core read the file takes its key from it.
    writeDeleteFiles(false);
    window.reset();
    window = std::make_unique<TfrmMusicSearch>(*core);
    EXPECT_FALSE(option("cbRemoveMissing")->isChecked());
}

TEST_F(MusicSearchWindow, DamagedFilesAndMissingFoldersDoNotStopTheRun)
{
    const QString good = track(QStringLiteral("good.mp3"), QStringLiteral("Good"));
    QFile source(good);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    auto write = [this](const QString &name, const QByteArray &content) {
        QFile file(music(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write(QStringLiteral("truncated.mp3"), bytes.left(700));
    write(QStringLiteral("empty.mp3"), QByteArray());
    write(QStringLiteral("noise.ogg"), QByteArray(5000, '\x5a'));
    write(QStringLiteral("locked.wma"), bytes);
    QFile::setPermissions(music(QStringLiteral("locked.wma")), QFileDevice::Permissions());
    ASSERT_TRUE(QDir().mkpath(music(QStringLiteral("closed"))));
    write(QStringLiteral("closed/hidden.mp3"), bytes);
    QFile::setPermissions(music(QStringLiteral("closed")), QFileDevice::Permissions());

    makeWindow();
    setFolders({ music(QStringLiteral("gone/")), music() + QLatin1Char('/'), music(QStringLiteral("also gone")) });
    const bool closed = runToCompletion();
    QFile::setPermissions(
        music(QStringLiteral("closed")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(closed);
    EXPECT_TRUE(libraryFiles().contains(QDir::cleanPath(good)));
    EXPECT_TRUE(cacheWritten());
}

// Stop with an option that takes tracks away: the library keeps every track
// it had, in memory and in its cache, and a later completed run still does
// what the option says.
struct StoppedRun {
    const char *name;
    bool removeMissing;
    bool fullScan;
};

class MusicSearchStopped : public MusicSearchWindow, public ::testing::WithParamInterface<StoppedRun> { };

TEST_P(MusicSearchStopped, LosesNoTrack)
{
    const StoppedRun &stopped = GetParam();
    const QString source = track(QStringLiteral("source.mp3"), QStringLiteral("Source"));
    const QString kept = track(QStringLiteral("Kept/k.mp3"), QStringLiteral("Kept"), 550);
    const QString outside = track(QStringLiteral("Elsewhere/e.mp3"), QStringLiteral("Elsewhere"), 660);
    // A large tree, so that the scan is still busy when Stop comes.
    const QString tree = music(QStringLiteral("Kept/tree"));
    for (int f = 0; f < 150; ++f) {
        const QString sub = tree + QStringLiteral("/folder%1").arg(f);
        ASSERT_TRUE(QDir().mkpath(sub));
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(::link(QFile::encodeName(source).constData(),
                          QFile::encodeName(sub + QStringLiteral("/%1.mp3").arg(i)).constData()),
                0);
    }
    makeWindow();
    core->AddScannedFiles({ kept, outside }, false);
    const QByteArray cache = [this] {
        QFile file(core->DataFolder() + QStringLiteral("/jukebox.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(cache.isEmpty());
    setFolders({ music(QStringLiteral("Kept")) });

    window->show();
    option("cbRemoveMissing")->setChecked(stopped.removeMissing);
    option("cbFullScan")->setChecked(stopped.fullScan);
    pressStart();
    EXPECT_EQ(libraryFiles(), sorted({ kept, outside })) << "nothing goes while the scan runs";
    QTest::mouseClick(child<QPushButton>("btnStop"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->Running(); }, 30000));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(libraryFiles(), sorted({ kept, outside }));
    QFile file(core->DataFolder() + QStringLiteral("/jukebox.dat"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), cache) << "the cache is as it was";
    file.close();
    core->LoadLibrary();
    EXPECT_EQ(libraryFiles(), sorted({ kept, outside }));

    // Run again to the end: the option takes the track outside the folders.
    option("cbFullScan")->setChecked(stopped.fullScan);
    pressStart();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }, 120000));
    const QStringList after = libraryFiles();
    EXPECT_TRUE(after.contains(kept));
    EXPECT_FALSE(after.contains(outside));
    EXPECT_EQ(after.size(), 1 + 150 * 20) << "the kept track and the tree";
}

INSTANTIATE_TEST_SUITE_P(Options, MusicSearchStopped,
    ::testing::Values(StoppedRun { "remove_missing", true, false }, StoppedRun { "full_rescan", false, true },
        StoppedRun { "both", true, true }),
    [](const ::testing::TestParamInfo<StoppedRun> &info) { return std::string(info.param.name); });
