// The core keeps its library current with the music folders it watches: real
// files under the test's own folder, the core as the program runs it, and a
// recording window that holds the library's objects as a real one does.
#include "coreFakes.h"
#include "coreTestFolder.h"
#include "eventWait.h"

#include "core/libraryWatch.h"
#include "platform/iniFile.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kPromptlyMs = 8000;
#else
constexpr int kPromptlyMs = 2000;
#endif
constexpr int kPatienceMs = 30000;

// A folder of real tracks made once for all tests, to be copied in.
class CoreWatch : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_made = new QTemporaryDir;
        for (int track = 1; track <= 3; ++track) {
            ToneSpec spec;
            spec.seconds = 0.3;
            spec.metadata = { { QStringLiteral("title"), QStringLiteral("Tide %1").arg(track) },
                { QStringLiteral("artist"), QStringLiteral("Saltmarsh") },
                { QStringLiteral("album"), QStringLiteral("Estuary") },
                { QStringLiteral("track"), QString::number(track) } };
            QString error;
            ASSERT_TRUE(MakeToneFile(made(track), spec, &error)) << error.toStdString();
        }
    }
    static void TearDownTestSuite()
    {
        delete s_made;
        s_made = nullptr;
    }
    static QString made(int track) { return s_made->filePath(QStringLiteral("%1.mp3").arg(track)); }

    QString second() const { return folder.root.filePath(QStringLiteral("second")); }

    // The settings the jukebox starts with.
    void settings(const QStringList &musicFolders, bool watch = true)
    {
        TiniFile ini(folder.home() + QStringLiteral("/vorlen.ini"));
        ini.WriteString(QStringLiteral("Dirs"), QStringLiteral("DirList"), musicFolders.join(u','));
        ini.WriteBool(QStringLiteral("Dirs"), QStringLiteral("WatchFolders"), watch);
        ini.WriteBool(QStringLiteral("General"), QStringLiteral("ShowTips"), false);
        ASSERT_TRUE(ini.UpdateFile());
    }

    // The tip of the day at every start, as a new user has it.
    void showTips()
    {
        TiniFile ini(folder.home() + QStringLiteral("/vorlen.ini"));
        ini.WriteBool(QStringLiteral("General"), QStringLiteral("ShowTips"), true);
        ASSERT_TRUE(ini.UpdateFile());
    }

    void start(TdmMainOptions options)
    {
        subscription = TcoreSubscription();
        core = std::make_unique<TdmMain>(ui, std::move(options));
        subscription = core->Subscribe(form);
        core->LoadSettings();
        form.Watch(&core->jblMain());
        core->StartUp();
    }
    void start() { start(folder.options()); }

    // Copies the made tracks into a folder, as a file manager does.
    void copyTracksTo(const QString &target, int count = 3)
    {
        ASSERT_TRUE(QDir().mkpath(target));
        for (int track = 1; track <= count; ++track)
            ASSERT_TRUE(QFile::copy(made(track), target + QStringLiteral("/%1.mp3").arg(track)));
    }
    int count() const { return core->jblMain().MasterList().Count(); }
    int unavailable() const
    {
        int n = 0;
        for (const TcustomTagger *record : core->jblMain().MasterList().Records())
            n += record->Unavailable() ? 1 : 0;
        return n;
    }
    void settle(int ms = 1500)
    {
        RunEventsUntil([] { return false; }, ms);
    }

    static QTemporaryDir *s_made;
    TcoreTestFolder folder;
    TrecordingFace form;
    TscriptedUi ui;
    std::unique_ptr<TdmMain> core;
    TcoreSubscription subscription;
};

QTemporaryDir *CoreWatch::s_made = nullptr;

} // namespace

TEST_F(CoreWatch, MusicCopiedInReachesTheLibraryTheWindowAndTheCache)
{
    settings({ folder.music() });
    start();
    ASSERT_TRUE(RunEventsUntil([&] { return core->LibraryWatch().Watcher().WatchedFolders() == 1; }, kPatienceMs));
    form.log.clear();
    copyTracksTo(folder.music() + QStringLiteral("/Estuary"));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 3; }, kPromptlyMs));
    settle();
    // One change, announced before anything went, and the window holding
    // the new album at its end.
    EXPECT_EQ(form.count(QStringLiteral("ListsUpdated")), 1);
    ASSERT_FALSE(form.log.isEmpty());
    EXPECT_EQ(form.log.first(), QStringLiteral("LibraryChanging"));
    EXPECT_EQ(form.albums.size(), 1u);
    EXPECT_EQ(form.TouchHeldPointers(), 1 + 1 + 3 + 3);

    // Saved with the settings at exit, and there at the next start.
    core->SaveSettings();
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'|').toStdString();
    core.reset();
    start();
    EXPECT_EQ(count(), 3);
}

TEST_F(CoreWatch, WithTheSwitchOffNothingIsWatchedAndTurnedOnWhatWasMissedIsFound)
{
    settings({ folder.music() }, false);
    start();
    EXPECT_FALSE(core->WatchFolders());
    EXPECT_FALSE(core->LibraryWatch().Watching());
    copyTracksTo(folder.music() + QStringLiteral("/Estuary"));
    settle();
    EXPECT_EQ(count(), 0);

    core->SetWatchFolders(true);
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 3; }, kPatienceMs));
    core->SaveSettings();
    EXPECT_TRUE(TiniFile(folder.home() + QStringLiteral("/vorlen.ini"))
                    .ReadBool(QStringLiteral("Dirs"), QStringLiteral("WatchFolders"), false));
}

TEST_F(CoreWatch, AFolderAddedToTheListIsWatchedAndADiscsFolderIsNot)
{
    const QString disc = folder.root.filePath(QStringLiteral("disc"));
    ASSERT_TRUE(QDir().mkpath(disc));
    settings({ folder.music(), disc });
    TdmMainOptions options = folder.options();
    options.cdDrives = [disc] { return QList<CdDrive> { CdDrive { disc, QStringLiteral("/dev/sr0") } }; };
    start(std::move(options));
    EXPECT_EQ(core->LibraryWatch().Folders(), QStringList { folder.music() + u'/' });

    copyTracksTo(second());
    core->AddMusicFolder(second());
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 3; }, kPatienceMs));
    EXPECT_EQ(core->LibraryWatch().Folders(), (QStringList { folder.music() + u'/', second() + u'/' }));
}

TEST_F(CoreWatch, TracksOfAMusicFolderThatIsGoneAreKeptAndThePlayerPassesThemBy)
{
    // One track within reach against fifteen that will not be: more than
    // the player looks at for one choice.
    copyTracksTo(folder.music() + QStringLiteral("/Estuary"), 1);
    for (int album = 0; album < 5; ++album)
        copyTracksTo(second() + QStringLiteral("/%1").arg(album));
    settings({ folder.music(), second() });
    start();
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 16; }, kPatienceMs));

    ASSERT_TRUE(QDir(second()).removeRecursively());
    ASSERT_TRUE(RunEventsUntil([&] { return unavailable() == 15; }, kPromptlyMs));
    for (int pick = 0; pick < 20; ++pick) {
        TtaggerRef track;
        core->ChooseNextTrack(track);
        ASSERT_TRUE(track) << "pick " << pick;
        EXPECT_TRUE(track->Filename().startsWith(folder.music())) << track->Filename().toStdString();
    }
    EXPECT_TRUE(ui.notices.isEmpty()) << ui.notices.join(u'|').toStdString();

    // Kept in the cache, and out of reach again after a reload.
    core->SaveSettings();
    core->RefreshCDs();
    EXPECT_EQ(count(), 16);
    EXPECT_EQ(unavailable(), 15);
}

TEST_F(CoreWatch, TheDesktopsMusicFolderIsOfferedAtTheFirstStartAndTakenInWhenAccepted)
{
    copyTracksTo(second());
    settings({});
    showTips();
    TdmMainOptions options = folder.options();
    options.desktopMusicFolder = [this] { return second(); };
    start(options);
    ASSERT_EQ(ui.offers.size(), 1);
    EXPECT_TRUE(ui.offers.first().contains(second()));
    // The first tip tells the user to set the music folders: not beside the offer.
    EXPECT_EQ(std::count(ui.windows.begin(), ui.windows.end(), TcoreWindow::TipOfTheDay), 0);
    // The jukebox goes on while the question is shown.
    EXPECT_EQ(count(), 0);

    ui.offerAnswers.front()(true);
    EXPECT_EQ(core->Settings().DirList, QStringList { second() + u'/' });
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 3; }, kPatienceMs));
}

TEST_F(CoreWatch, TheDesktopsMusicFolderDeclinedIsNotOfferedAgain)
{
    copyTracksTo(second());
    settings({});
    TdmMainOptions options = folder.options();
    options.desktopMusicFolder = [this] { return second(); };
    start(options);
    ASSERT_EQ(ui.offers.size(), 1);
    ui.offerAnswers.front()(false);
    EXPECT_TRUE(core->Settings().DirList.isEmpty());
    core->SaveSettings();
    core.reset();
    showTips();

    start(options);
    EXPECT_EQ(ui.offers.size(), 1);
    EXPECT_EQ(std::count(ui.windows.begin(), ui.windows.end(), TcoreWindow::TipOfTheDay), 1)
        << "with nothing offered, the tips show as they always do";
    settle(300);
    EXPECT_EQ(count(), 0);
}
