#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "platform/iniFile.h"
#include "playback/audioMixer.h"
#include "playback/crossPlayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {

TtaggerRef chooseNext(TdmMain &core)
{
    TtaggerRef track;
    core.ChooseNextTrack(track);
    return track;
}

QStringList titles(const std::vector<TcustomTagger *> &records)
{
    QStringList list;
    for (const TcustomTagger *r : records)
        list << r->Title();
    return list;
}

// An album of three tracks in one folder.
QStringList makeAlbum(TcoreTestFolder &folder, const QString &album = QStringLiteral("Hits"),
                      const QString &artist = QStringLiteral("Nordwave"))
{
    return {folder.addTrack(album + QStringLiteral("/01.mp3"), QStringLiteral("One"), artist, album, 1, 440),
            folder.addTrack(album + QStringLiteral("/02.mp3"), QStringLiteral("Two"), artist, album, 2, 660),
            folder.addTrack(album + QStringLiteral("/03.mp3"), QStringLiteral("Three"), artist, album, 3, 880)};
}

// A core over a program folder of its own, started as the program starts it;
// start() again is the next run of the program on the same folder.
class DataModule : public ::testing::Test {
protected:
    TdmMain &start()
    {
        run.reset();
        run.emplace(folder.options());
        return run->core;
    }
    TdmMain &core() { return run->core; }
    TrecordingFace &face() { return run->face; }
    TscriptedUi &script() { return run->ui; }

    TcoreTestFolder folder;
    std::optional<TrecordedCore> run;
};

} // namespace

TEST_F(DataModule, FirstStartWithoutALibrary)
{
    TdmMain &core = start();
    TrecordingFace &form = face();
    TscriptedUi &ui = script();
    ASSERT_TRUE(core.SoundOutputOpen()) << core.SoundOutputError().toStdString();
    EXPECT_TRUE(QDir(core.DataFolder()).exists());
    EXPECT_EQ(form.count(QStringLiteral("LoadSettings")), 1);
    EXPECT_EQ(form.count(QStringLiteral("PlaylistsLoaded")), 1);
    // Defaults of a missing settings file replace the core's own initial values.
    EXPECT_EQ(core.FadeInTime(), 5000);
    EXPECT_EQ(core.Player().FadeOutTime(), 5000);
    EXPECT_EQ(core.Player().FadeInFromVolume(), 125);
    EXPECT_EQ(core.Player().FadeOutToVolume(), 40);

    core.StartUp();
    EXPECT_EQ(form.log.mid(form.log.indexOf(QStringLiteral("PlayStateChanged 0"))).first(),
              QStringLiteral("PlayStateChanged 0"));
    EXPECT_EQ(core.jblMain().MasterList().Count(), 0);
    ASSERT_EQ(ui.windows.size(), 1u);
    EXPECT_EQ(ui.windows.front(), TcoreWindow::TipOfTheDay);

    EXPECT_FALSE(chooseNext(core));
    EXPECT_TRUE(ui.messages.isEmpty()) << "a box that waits for the user would stop the player";
    ASSERT_EQ(ui.notices.size(), 1);
    EXPECT_TRUE(ui.notices.first().startsWith(
        QStringLiteral("Could not locate file: The requested/chosen file could not be located.\n")));
}

TEST_F(DataModule, ScannedFilesQueueAndTheNextTrackChoice)
{
    const QStringList album = makeAlbum(folder);
    const QString loose = folder.addTrack(QStringLiteral("loose.mp3"), QStringLiteral("Loose"), QStringLiteral("Solo"),
                                          QString(), 0);
    TdmMain &core = start();
    TrecordingFace &form = face();
    TscriptedUi &ui = script();
    core.StartUp();
    form.log.clear();

    core.AddScannedFiles(album + QStringList{loose}, false);
    EXPECT_EQ(form.count(QStringLiteral("ListsUpdated")), 1) << form.log.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(core.jblMain().MasterList().Count(), 4);
    EXPECT_TRUE(QFile::exists(core.DataFolder() + QStringLiteral("/jukebox.dat")));

    const TtagAlbumList &albums = core.jblMain().AlbumList();
    ASSERT_EQ(albums.Count(), 1);
    ui.album = albums.Albums(0);
    form.log.clear();
    core.QueueAlbum();
    EXPECT_EQ(form.count(QStringLiteral("QueueChanged")), 1);
    EXPECT_EQ(titles(core.tqQueue().Records()), (QStringList{QStringLiteral("One"), QStringLiteral("Two"),
                                                             QStringLiteral("Three")}));

    // The queue plays first, in order; a queued file that vanished is
    // skipped without a word and the library fills in. The rescan drops the
    // vanished file from the library, so the library's random pick is sound;
    // the queue still holds its record.
    ASSERT_TRUE(QFile::remove(album[1]));
    core.AddScannedFiles({}, true);
    ASSERT_EQ(core.jblMain().MasterList().Count(), 3);
    ASSERT_EQ(core.tqQueue().Count(), 3);
    const TtaggerRef first = chooseNext(core);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Title(), QStringLiteral("One"));
    const TtaggerRef second = chooseNext(core);
    ASSERT_TRUE(second);
    EXPECT_NE(second->Title(), QStringLiteral("Two"));
    EXPECT_TRUE(QFile::exists(second->Filename()));
    EXPECT_EQ(chooseNext(core)->Title(), QStringLiteral("Three"));
    EXPECT_TRUE(ui.notices.isEmpty()) << ui.notices.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(core.tqQueue().Count(), 0);

    // Files queued by name are kept by the scratch list.
    core.QueueFile(loose);
    core.QueueFile(folder.music() + QStringLiteral("/nothing.mp3"));
    ASSERT_EQ(core.tqQueue().Count(), 1);
    EXPECT_EQ(core.tqQueue().Items(0)->Title(), QStringLiteral("Loose"));
}

TEST_F(DataModule, StackerFeedsThePlayerWhenEnabled)
{
    const QStringList hits = makeAlbum(folder);
    const QStringList other = {folder.addTrack(QStringLiteral("B/1.mp3"), QStringLiteral("B1"), QStringLiteral("Other"),
                                               QStringLiteral("Bside"), 1)};
    TdmMain &core = start();
    TrecordingFace &form = face();
    core.StartUp();
    core.AddScannedFiles(hits + other, false);

    core.SetStackerEnabled(true);
    EXPECT_EQ(core.StackerTitle(), QStringLiteral("Empty"));

    const TtagAlbumList &albums = core.jblMain().AlbumList();
    TtagAlbum *hitsAlbum = nullptr;
    for (int i = 0; i < albums.Count(); ++i)
        if (albums.Albums(i)->AlbumName() == QStringLiteral("Hits"))
            hitsAlbum = albums.Albums(i);
    ASSERT_NE(hitsAlbum, nullptr);
    form.log.clear();
    core.StackerAddAlbum(*hitsAlbum);
    EXPECT_EQ(form.count(QStringLiteral("StackerChanged")), 1);
    EXPECT_EQ(core.Stacker().PlayList().Count(), 3);

    // The queue still comes first, and the title says the stacker is idle.
    core.QueueRecord(core.jblMain().MasterList().Items(0));
    const QString queued = core.jblMain().MasterList().Items(0)->Title();
    EXPECT_EQ(chooseNext(core)->Title(), queued);
    EXPECT_EQ(core.StackerTitle(), QStringLiteral("Inactive"));

    for (int i = 0; i < 6; ++i) {
        const TtaggerRef track = chooseNext(core);
        ASSERT_TRUE(track);
        EXPECT_EQ(track->Album(), QStringLiteral("Hits"));
        EXPECT_EQ(core.StackerTitle(), QStringLiteral("Hits"));
    }

    // Deleting the stacker's album hands over to the library; the library's
    // own album is untouched.
    const TtagAlbumList &stackerAlbums = core.Stacker().Library().AlbumList();
    ASSERT_EQ(stackerAlbums.Count(), 1);
    core.StackerDeleteNode(static_cast<TcustomTaggerList *>(stackerAlbums.Albums(0)), {});
    EXPECT_EQ(core.Stacker().PlayList().Count(), 0);
    EXPECT_EQ(core.jblMain().MasterList().Count(), 4);
    EXPECT_TRUE(chooseNext(core));
    EXPECT_EQ(core.StackerTitle(), QStringLiteral("Empty"));
    core.SetStackerEnabled(false);
    EXPECT_EQ(core.StackerTitle(), QString());
}

TEST_F(DataModule, EverythingComesBackAfterARestartWithoutReadingMusic)
{
    const QStringList hits = makeAlbum(folder);
    {
        TdmMain &core = start();
        TrecordingFace &form = face();
        TscriptedUi &ui = script();
        core.StartUp();
        core.AddScannedFiles(hits, false);
        core.SetStackerEnabled(true);
        core.StackerAddAlbum(*core.jblMain().AlbumList().Albums(0));
        core.SetFadeInTime(1500);
        core.SetFadeOutTime(2500);
        core.SetFadeInFromVolume(10);
        core.SetFadeOutToVolume(300);
        core.SetMusicFolders({ folder.music() });
        core.SetGenres({QStringLiteral("Rock"), QStringLiteral("Pop")});
        core.SaveSettings();
        EXPECT_EQ(form.count(QStringLiteral("SaveSettings")), 1);
        EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QLatin1Char('|')).toStdString();
    }
    // With the music gone, only the caches can bring the library back.
    ASSERT_TRUE(QDir(folder.music()).removeRecursively());

    TdmMain &core = start();

    core.StartUp();
    EXPECT_EQ(core.FadeInTime(), 1500);
    EXPECT_EQ(core.FadeOutTime(), 2500);
    EXPECT_EQ(core.Player().FadeInFromVolume(), 10);
    EXPECT_EQ(core.Player().FadeOutToVolume(), 44);
    EXPECT_TRUE(core.StackerEnabled());
    EXPECT_EQ(core.Settings().DirList, QStringList{folder.music()});
    EXPECT_EQ(core.GetGenres(), (QStringList{QStringLiteral("Rock"), QStringLiteral("Pop")}));
    ASSERT_EQ(core.jblMain().MasterList().Count(), 3);
    EXPECT_EQ(core.jblMain().AlbumList().Count(), 1);
    EXPECT_EQ(core.jblMain().AlbumList().Albums(0)->AlbumName(), QStringLiteral("Hits"));
    for (const TcustomTagger *record : core.jblMain().MasterList().Records()) {
        EXPECT_EQ(record->Artist(), QStringLiteral("Nordwave"));
        EXPECT_GT(record->Duration(), 0.0);
    }
    EXPECT_EQ(core.Stacker().PlayList().Count(), 3);
    EXPECT_EQ(core.Stacker().IndexAlbumCount(), 1);
}

TEST_F(DataModule, ReloadingTheLibraryKeepsQueuedRecordsAlive)
{
    const QStringList hits = makeAlbum(folder);
    TdmMain &core = start();
    core.StartUp();
    core.AddScannedFiles(hits, false);
    core.QueueRecords(core.jblMain().MasterList().Records());
    // Every record of the library is replaced by a freshly loaded one.
    core.RefreshCDs();
    core.LoadLibrary();
    ASSERT_EQ(core.tqQueue().Count(), 3);
    QStringList played;
    for (int i = 0; i < 3; ++i) {
        const TtaggerRef track = chooseNext(core);
        ASSERT_TRUE(track);
        played << track->Title();
    }
    EXPECT_EQ(played.size(), 3);
    EXPECT_TRUE(played.contains(QStringLiteral("Two")));
}

TEST_F(DataModule, SettingsFailuresAreReported)
{
    const QString ini = folder.home() + QStringLiteral("/vorlen.ini");
    // The playlist index cannot be replaced: a folder stands in its place. The
    // settings themselves are still written, and the failure is reported.
    ASSERT_TRUE(QDir().mkpath(folder.home() + QStringLiteral("/playlists.pll/blocked")));
    {
        TdmMain &core = start();
        TscriptedUi &ui = script();
        core.SetFadeInTime(1234);
        core.SaveSettings();
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages.first().startsWith(QStringLiteral("File Write Error: Error writing settings files.")));
        EXPECT_TRUE(ui.messages.first().contains(folder.home() + QStringLiteral("/playlists.pll: ")))
            << ui.messages.first().toStdString();
        EXPECT_EQ(TiniFile(ini).ReadInteger(QStringLiteral("CrossFader"), QStringLiteral("FadeInTime"), 0), 1234);
    }
    // A settings file that cannot be read or written: the start goes on with
    // the defaults and says why, and the save names the file.
    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QDir().mkpath(ini));
    TdmMain &core = start();
    TrecordingFace &form = face();
    TscriptedUi &ui = script();
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(form.count(QStringLiteral("PlaylistsLoaded")), 1) << "the playlists are loaded all the same";
    core.StartUp();
    ASSERT_EQ(ui.notices.size(), 1);
    EXPECT_TRUE(ui.notices.first().contains(ini + QStringLiteral(": it cannot be read"))) << ui.notices.first().toStdString();
    EXPECT_FALSE(QFile::exists(ini + QStringLiteral(".damaged"))) << "a folder in the file's place stays where it is";
    core.SaveSettings();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.last().contains(ini + QStringLiteral(": "))) << ui.messages.last().toStdString();
}

TEST_F(DataModule, CoversAreLookedUpByArtistAndAlbum)
{
    const QStringList hits = makeAlbum(folder);
    const QString covers = folder.root.filePath(QStringLiteral("covers"));
    QDir().mkpath(covers);
    TdmMain &core = start();
    core.SetCoverArtFolder(covers);
    core.StartUp();
    core.AddScannedFiles(hits, false);
    EXPECT_EQ(core.FindCover(), QString()) << "nothing is playing";

    auto touch = [](const QString &name) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    const QString albumFolder = QFileInfo(hits[0]).path();
    touch(albumFolder + QStringLiteral("/Hits - Nordwave.jpg"));
    core.QueueRecord(core.jblMain().MasterList().Items(0));
    core.Play();
    ASSERT_EQ(core.Player().GetState(), ssPlaying);
    EXPECT_EQ(core.FindCover(), albumFolder + QStringLiteral("/Hits - Nordwave.jpg"));
    touch(covers + QStringLiteral("/Nordwave - Hits.bmp"));
    EXPECT_EQ(core.FindCover(), covers + QStringLiteral("/Nordwave - Hits.bmp"));
    touch(covers + QStringLiteral("/Nordwave - Hits.jpg"));
    EXPECT_EQ(core.FindCover(), covers + QStringLiteral("/Nordwave - Hits.jpg"));
    core.Stop();
}

TEST_F(DataModule, TheCoverStoredInTheFileThatPlays)
{
    const QString picture = folder.root.filePath(QStringLiteral("front.png"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
            QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc2=size=96x64"),
            QStringLiteral("-frames:v"), QStringLiteral("1"), picture },
        &error))
        << error.toStdString();
    QFile pictureFile(picture);
    ASSERT_TRUE(pictureFile.open(QIODevice::ReadOnly));
    const QByteArray pictureBytes = pictureFile.readAll();
    ToneSpec spec;
    spec.seconds = 2;
    spec.metadata = { { QStringLiteral("artist"), QStringLiteral("Nordwave") },
        { QStringLiteral("album"), QStringLiteral("Hits") } };
    spec.coverImage = picture;
    const QString withCover = folder.music() + QStringLiteral("/covered.flac");
    ASSERT_TRUE(MakeToneFile(withCover, spec, &error)) << error.toStdString();
    spec.coverImage.clear();
    const QString without = folder.music() + QStringLiteral("/plain.opus");
    ASSERT_TRUE(MakeToneFile(without, spec, &error)) << error.toStdString();

    TdmMain &core = start();

    core.StartUp();
    core.QueueFile(withCover);
    EXPECT_TRUE(core.EmbeddedCover().isEmpty()) << "nothing plays";
    core.Play();
    ASSERT_EQ(core.Player().GetState(), ssPlaying);
    EXPECT_EQ(core.FindCover(), QString());
    EXPECT_EQ(core.EmbeddedCover(), pictureBytes);

    core.Stop();
    EXPECT_TRUE(core.EmbeddedCover().isEmpty()) << "stopped";

    core.QueueFile(without);
    core.Play();
    ASSERT_EQ(core.Player().GetState(), ssPlaying);
    ASSERT_EQ(core.Player().CurrentTrack()->Filename(), without);
    EXPECT_TRUE(core.EmbeddedCover().isEmpty());
    core.Stop();
}

TEST_F(DataModule, VisualisationFontsAndPlaylistsNotifyTheWindow)
{
    TdmMain &core = start();
    TrecordingFace &form = face();

    core.SetVisualisation(true);
    EXPECT_TRUE(core.GetVisualisation());
    QDeadlineTimer deadline(5000);
    while (form.visTicks < 3 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(form.visTicks, 3);
    core.SetVisualisation(false);
    EXPECT_FALSE(core.GetVisualisation());
    const int ticks = form.visTicks;
    QDeadlineTimer quiet(200);
    while (!quiet.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(form.visTicks, ticks);

    TtreeFont font = core.TreeFont();
    core.SetTreeFont(font);
    EXPECT_EQ(form.count(QStringLiteral("TreeFontChanged")), 0);
    font.pointSize = 10;
    core.SetTreeFont(font);
    EXPECT_EQ(form.count(QStringLiteral("TreeFontChanged")), 1);

    core.PlaylistsEdited();
    EXPECT_EQ(form.count(QStringLiteral("PlaylistsLoaded")), 2);
    form.log.clear();
    core.DeactivatePlaylists();
    EXPECT_FALSE(core.jblMain().PlaylistCollection().Active());
    EXPECT_EQ(form.count(QStringLiteral("PlaylistChanged")), 1);

    // Without a mixer device the master volume reads 0.
    if (!core.Mixer().DevicePresent()) {
        core.SetMasterVolume(200);
        EXPECT_EQ(core.GetMasterVolume(), 0);
    }
}

TEST_F(DataModule, DeactivatingPlaylistsKeepsTheChosenTrackAlive)
{
    const QString song = folder.addTrack(QStringLiteral("list/a.mp3"), QStringLiteral("Listed"), QStringLiteral("L"),
                                         QStringLiteral("Album"), 1);
    const QString m3u = folder.writeM3u(QStringLiteral("list.m3u"), { song });
    TdmMain &core = start();
    core.StartUp();
    ASSERT_TRUE(core.ApplyPlaylistRule(prM3uFile, m3u, false, {}));
    // The library is empty: the loaded playlist supplies the track.
    const TtaggerRef track = chooseNext(core);
    ASSERT_TRUE(track);
    core.DeactivatePlaylists();
    EXPECT_EQ(core.jblMain().LoadedPlaylist().Count(), 0);
    // Still a live record (the sanitizer build checks this access).
    EXPECT_EQ(track->Title(), QStringLiteral("Listed"));
}

// Started where there is no sound output: the user is told once, at start-up,
// the queue waits, and the volume of the settings survives the run.
TEST_F(DataModule, WithoutSoundOutputTheUserIsToldOnceAndTheQueueWaits)
{
    const QString song = folder.addTrack(
        QStringLiteral("a.mp3"), QStringLiteral("Waiting"), QStringLiteral("W"), QStringLiteral("Album"), 1);
    const QString ini = folder.home() + QStringLiteral("/vorlen.ini");
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\nShowTips=0\n[VolumeSettings]\nMasterVolume=170\n");
    }
    qputenv("SDL_AUDIODRIVER", "vorlen-no-such-driver");
    run.emplace(folder.options(false));
    qunsetenv("SDL_AUDIODRIVER");
    TdmMain &core = run->core;
    TscriptedUi &ui = script();
    ASSERT_FALSE(core.SoundOutputOpen());
    EXPECT_TRUE(ui.notices.isEmpty()) << "told before the window is up";

    core.StartUp();
    ASSERT_EQ(ui.notices.size(), 1) << ui.notices.join(u'\n').toStdString();
    EXPECT_TRUE(ui.notices.first().startsWith(QLatin1String(TdmMain::kNoSoundOutputCaption) + QStringLiteral(": ")));
    EXPECT_TRUE(ui.notices.first().contains(core.SoundOutputError())) << ui.notices.first().toStdString();

    ASSERT_TRUE(core.QueueFile(song));
    core.Play();
    core.Skip();
    EXPECT_EQ(core.PlayState(), ssStopped);
    EXPECT_EQ(core.tqQueue().Count(), 1) << "the queued track went with nowhere to play it";
    EXPECT_EQ(ui.notices.size(), 1);

    if (core.Mixer().DevicePresent())
        GTEST_SKIP() << "the machine has a mixer device: the volume saved is the mixer's";
    core.SaveSettings();
    EXPECT_EQ(TiniFile(ini).ReadInteger(QStringLiteral("VolumeSettings"), QStringLiteral("MasterVolume"), -1), 170);
}

// The alarms are the core's: with no window at all, the turn-on alarm plays
// and the turn-off alarm stops. What a dialog edits is a copy, taken only when
// handed back; a time handed back re-arms its alarm.
TEST_F(DataModule, TheAlarmsPlayAndStopTheJukeboxWithoutAWindow)
{
    const QString song = folder.addTrack(
        QStringLiteral("a.mp3"), QStringLiteral("Wake"), QStringLiteral("W"), QStringLiteral("Album"), 1, 440, 20.0);
    TdmMain &core = start();
    core.StartUp();
    ASSERT_TRUE(core.QueueFile(song));
    TalarmClock edited = core.Alarms();
    edited.SetUseTimeOn(true);
    edited.SetTimeOn(QTime(7, 0));
    edited.SetUseTimeOff(true);
    edited.SetTimeOff(QTime(7, 30));
    core.CheckAlarms(QTime(7, 0, 1));
    EXPECT_EQ(core.PlayState(), ssStopped) << "not handed back yet";
    core.SetAlarms(edited);
    EXPECT_TRUE(core.Alarms().UseTimeOn());
    core.CheckAlarms(QTime(7, 0, 2));
    EXPECT_EQ(core.PlayState(), ssPlaying);
    core.CheckAlarms(QTime(7, 30, 1));
    EXPECT_EQ(core.PlayState(), ssStopped);
    EXPECT_EQ(face().tracks.constLast(), QString());

    ASSERT_TRUE(core.QueueFile(song));
    core.CheckAlarms(QTime(7, 30, 2));
    EXPECT_EQ(core.PlayState(), ssStopped) << "the turn-on alarm went off today";
    TalarmClock onOnly = core.Alarms();
    onOnly.SetUseTimeOff(false);
    core.SetAlarms(onOnly);
    core.CheckAlarms(QTime(7, 30, 3));
    EXPECT_EQ(core.PlayState(), ssPlaying) << "re-armed, a time already past goes off at the next check";
    core.Stop();
}

TEST_F(DataModule, AScanAnyFaceStartsIsAnnouncedToEveryFaceAndOnlyACompletedOneChangesTheLibrary)
{
    const QStringList album = makeAlbum(folder);
    TdmMain &core = start();
    core.StartUp();
    // Only the scan takes the folder's changes here.
    core.SetWatchFolders(false);
    core.AddMusicFolder(folder.music());
    struct ScanFace : TcoreListener {
        int started = 0;
        QList<bool> ended;
        void ScanStarted() override { ++started; }
        void ScanEnded(bool completed) override { ended.append(completed); }
    } scanFace;
    const TcoreSubscription subscription = core.Subscribe(scanFace);
    const auto waitForEnd = [&] {
        const QDeadlineTimer deadline(20000);
        while (core.Scan().Running() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    };

    ASSERT_TRUE(core.StartScan({}));
    EXPECT_FALSE(core.StartScan({})) << "one scan at a time";
    waitForEnd();
    EXPECT_EQ(scanFace.ended, QList<bool>{true});
    EXPECT_EQ(core.jblMain().MasterList().Count(), 3);

    // Stopped before it ends: a full rescan that would have forgotten the
    // deleted file forgets nothing.
    ASSERT_TRUE(QFile::remove(album[0]));
    ASSERT_TRUE(core.StartScan({true, true}));
    core.Scan().Stop();
    waitForEnd();
    EXPECT_EQ(scanFace.ended, (QList<bool>{true, false}));
    EXPECT_EQ(scanFace.started, 2);
    EXPECT_EQ(core.jblMain().MasterList().Count(), 3);
}
