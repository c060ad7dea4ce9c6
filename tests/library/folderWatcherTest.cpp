// The library keeps itself current with a real music folder under the test's
// own temporary folder: real files copied, rewritten, renamed, moved and
// deleted while the folder watcher (inotify) watches, and the library brought
// up to date by the updater as the jukebox does.
#include "library/folderWatcher.h"
#include "audioFixtures.h"
#include "eventWait.h"
#include "library/libraryUpdater.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "metadata/taggerRef.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// How soon a change must show in the library.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kPromptlyMs = 8000;
#else
constexpr int kPromptlyMs = 2000;
#endif
// How long to wait for something that takes longer by design (a look that
// comes every second, a listing of thousands of folders).
constexpr int kPatienceMs = 30000;

constexpr int kAlbumTracks = 20;

QString trackName(int track)
{
    return QStringLiteral("%1 Song %1.mp3").arg(track, 2, 10, QLatin1Char('0'));
}

// Real MP3 files made once for all tests: an album of 20 tracks and one
// more tone with other tags, for rewriting a file.
class WatchedMusicFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_made = new QTemporaryDir;
        QDir(s_made->path()).mkpath(QStringLiteral("Album"));
        for (int track = 1; track <= kAlbumTracks; ++track) {
            ToneSpec spec;
            spec.seconds = 0.3;
            spec.metadata = { { QStringLiteral("title"), QStringLiteral("Song %1").arg(track) },
                { QStringLiteral("artist"), QStringLiteral("Copper Lane") },
                { QStringLiteral("album"), QStringLiteral("Tin Roof") },
                { QStringLiteral("track"), QString::number(track) } };
            QString error;
            ASSERT_TRUE(MakeToneFile(madeAlbum() + u'/' + trackName(track), spec, &error)) << error.toStdString();
        }
        ToneSpec other;
        other.seconds = 1.5;
        other.metadata = { { QStringLiteral("title"), QStringLiteral("Retagged") },
            { QStringLiteral("artist"), QStringLiteral("Copper Lane") },
            { QStringLiteral("album"), QStringLiteral("Tin Roof") } };
        QString error;
        ASSERT_TRUE(MakeToneFile(s_made->filePath(QStringLiteral("other.mp3")), other, &error)) << error.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_made;
        s_made = nullptr;
    }
    static QString madeAlbum() { return s_made->filePath(QStringLiteral("Album")); }
    static QString madeOther() { return s_made->filePath(QStringLiteral("other.mp3")); }

    void SetUp() override
    {
        music = dir.filePath(QStringLiteral("music")) + u'/';
        ASSERT_TRUE(QDir().mkpath(music));
        library.OnListsUpdated = [this](TComponent *) { ++updates; };
        updater.OnRemoving = [this](const TcustomTagger &) { ++removed; };
        watcher.OnChanges = [this](TfolderChanges &changes) {
            const TlibraryUpdater::Tresult result = updater.Apply(changes);
            watcher.Read(result.toRead);
            listed += int(changes.listedTrees.size());
        };
        watcher.OnWatchLimit = [this](int unwatched) { limitMessages.append(unwatched); };
    }
    void TearDown() override
    {
        watcher.Stop();
        // Never left mounted: removing the test's folder would reach through.
        if (mounted)
            RunTool(QStringLiteral("umount"), { music });
    }

    // Starts watching and waits for the first look through the folders and
    // for what it found to be read.
    void startWatching(int expectedTracks = 0)
    {
        watcher.Start({ music });
        ASSERT_TRUE(
            RunEventsUntil([&] { return listed > 0 && library.MasterList().Count() == expectedTracks; }, kPatienceMs))
            << library.MasterList().Count() << " tracks";
    }

    void copyAlbumTo(const QString &folder)
    {
        QString error;
        ASSERT_TRUE(RunTool(QStringLiteral("cp"), { QStringLiteral("-r"), madeAlbum(), folder }, &error))
            << error.toStdString();
    }

    TcustomTagger *record(const QString &path) const
    {
        for (TcustomTagger *r : library.MasterList().Records())
            if (r->Filename() == path)
                return r;
        return nullptr;
    }
    int count() const { return library.MasterList().Count(); }
    bool allUnavailable() const
    {
        for (const TcustomTagger *r : library.MasterList().Records())
            if (!r->Unavailable())
                return false;
        return count() > 0;
    }
    bool noneUnavailable() const
    {
        for (const TcustomTagger *r : library.MasterList().Records())
            if (r->Unavailable())
                return false;
        return true;
    }
    // Lets the watcher run on for a while, for anything late to arrive.
    void settle(int ms = 1500)
    {
        RunEventsUntil([] { return false; }, ms);
    }

    static QTemporaryDir *s_made;
    QTemporaryDir dir;
    QString music;
    Tmp3JukeBoxLists library;
    TlibraryUpdater updater { library };
    TfolderWatcher watcher;
    int updates = 0;
    int removed = 0;
    int listed = 0;
    QList<int> limitMessages;
    bool mounted = false;
};

QTemporaryDir *WatchedMusicFolder::s_made = nullptr;

} // namespace

TEST_F(WatchedMusicFolder, AnAlbumCopiedInIsOneUpdateWithEveryTrackPromptly)
{
    startWatching();
    updates = 0;
    copyAlbumTo(music);
    QElapsedTimer copied;
    copied.start();
    ASSERT_TRUE(RunEventsUntil([&] { return count() == kAlbumTracks; }, kPromptlyMs))
        << count() << " tracks after " << copied.elapsed() << " ms";
    settle();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(count(), kAlbumTracks);
    ASSERT_EQ(library.AlbumList().Count(), 1);
    EXPECT_EQ(library.AlbumList().Albums(0)->AlbumName(), QStringLiteral("Tin Roof"));
    EXPECT_EQ(library.AlbumList().Albums(0)->Count(), kAlbumTracks);
    const TcustomTagger *first = record(music + QStringLiteral("Album/") + trackName(1));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Title(), QStringLiteral("Song 1"));
    // Read with its stream, as a scan reads it.
    EXPECT_EQ(first->SampleRate(), 44100u);
    EXPECT_GT(first->bitRate(), 0u);
}

TEST_F(WatchedMusicFolder, TracksAlreadyThereAreFoundAtTheStartAndARewrittenTagIsReadIntoTheSameRecord)
{
    copyAlbumTo(music);
    startWatching(kAlbumTracks);
    const QString path = music + QStringLiteral("Album/") + trackName(3);
    TtaggerRef queued(record(path));
    ASSERT_TRUE(queued);
    ASSERT_EQ(queued->Title(), QStringLiteral("Song 3"));

    // Rewritten in place, as a tag editor does.
    QFile source(madeOther());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QFile target(path);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
    target.write(source.readAll());
    target.close();

    ASSERT_TRUE(RunEventsUntil([&] { return queued->Title() == QStringLiteral("Retagged"); }, kPromptlyMs));
    EXPECT_EQ(record(path), queued.get());
    EXPECT_EQ(count(), kAlbumTracks);
    EXPECT_EQ(queued->Duration(), 1000.0);
}

TEST_F(WatchedMusicFolder, RenamedFilesAndMovedFoldersKeepTheirRecordsAndWhatHoldsThem)
{
    copyAlbumTo(music);
    startWatching(kAlbumTracks);
    TtaggerRef renamed(record(music + QStringLiteral("Album/") + trackName(1)));
    TtaggerRef moved(record(music + QStringLiteral("Album/") + trackName(2)));
    ASSERT_TRUE(renamed && moved);

    ASSERT_TRUE(
        QFile::rename(music + QStringLiteral("Album/") + trackName(1), music + QStringLiteral("Album/First.mp3")));
    ASSERT_TRUE(RunEventsUntil([&] { return renamed->NameInFolder() == QStringLiteral("First.mp3"); }, kPromptlyMs));
    EXPECT_EQ(record(music + QStringLiteral("Album/First.mp3")), renamed.get());

    ASSERT_TRUE(QDir().mkpath(music + QStringLiteral("Copper Lane")));
    ASSERT_TRUE(QDir().rename(music + QStringLiteral("Album"), music + QStringLiteral("Copper Lane/Tin Roof")));
    const QString movedPath = music + QStringLiteral("Copper Lane/Tin Roof/") + trackName(2);
    ASSERT_TRUE(RunEventsUntil([&] { return moved->Filename() == movedPath; }, kPromptlyMs))
        << moved->Filename().toStdString();
    EXPECT_EQ(record(movedPath), moved.get());
    EXPECT_EQ(renamed->Filename(), music + QStringLiteral("Copper Lane/Tin Roof/First.mp3"));
    EXPECT_EQ(count(), kAlbumTracks);
    EXPECT_EQ(removed, 0);
    // The tracks of the album still share one block of texts.
    EXPECT_EQ(renamed->Texts().constData(), moved->Texts().constData());
    // Files in the moved folder are watched under its new name.
    ASSERT_TRUE(QFile::remove(movedPath));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == kAlbumTracks - 1; }, kPromptlyMs));
}

TEST_F(WatchedMusicFolder, DeletedFilesAndFoldersLeaveTheLibrary)
{
    copyAlbumTo(music);
    ASSERT_TRUE(QDir().mkpath(music + QStringLiteral("Second")));
    ASSERT_TRUE(QFile::copy(madeOther(), music + QStringLiteral("Second/other.mp3")));
    startWatching(kAlbumTracks + 1);
    TtaggerRef queued(record(music + QStringLiteral("Album/") + trackName(5)));

    ASSERT_TRUE(QFile::remove(music + QStringLiteral("Album/") + trackName(5)));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == kAlbumTracks; }, kPromptlyMs));
    EXPECT_EQ(record(music + QStringLiteral("Album/") + trackName(5)), nullptr);
    // What holds the record still has it.
    EXPECT_EQ(queued->Title(), QStringLiteral("Song 5"));

    ASSERT_TRUE(QDir(music + QStringLiteral("Album")).removeRecursively());
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 1; }, kPromptlyMs));
    EXPECT_NE(record(music + QStringLiteral("Second/other.mp3")), nullptr);
    EXPECT_TRUE(noneUnavailable());
}

TEST_F(WatchedMusicFolder, AFileWrittenSlowlyOverThreeSecondsIsReadOnceWhenComplete)
{
    startWatching();
    QFile source(madeOther());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    QFile target(music + QStringLiteral("slow.mp3"));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    const int pieces = 7;
    for (int piece = 0; piece < pieces; ++piece) {
        const qsizetype from = bytes.size() * piece / pieces;
        target.write(bytes.mid(from, bytes.size() * (piece + 1) / pieces - from));
        target.flush();
        RunEventsUntil([] { return false; }, 500);
        EXPECT_EQ(count(), 0) << "read before it was complete";
    }
    target.close();
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 1; }, kPromptlyMs));
    settle();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(library.MasterList().Items(0)->Title(), QStringLiteral("Retagged"));
    // The whole file: the stream's length in whole seconds.
    EXPECT_EQ(library.MasterList().Items(0)->Duration(), 1000.0);
}

TEST_F(WatchedMusicFolder, ATreeOfFiveThousandFoldersIsWatchedThroughout)
{
    QString last;
    for (int artist = 0; artist < 50; ++artist) {
        for (int album = 0; album < 100; ++album) {
            last = music + QStringLiteral("Artist %1/Album %2").arg(artist).arg(album);
            ASSERT_TRUE(QDir().mkpath(last));
        }
    }
    startWatching();
    // Every folder: the music folder, 50 artists and 5,000 albums.
    EXPECT_EQ(watcher.WatchedFolders(), 1 + 50 + 5000);
    EXPECT_TRUE(limitMessages.isEmpty());
    ASSERT_TRUE(QFile::copy(madeOther(), last + QStringLiteral("/deep.mp3")));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 1; }, kPromptlyMs));
    // A folder made now is watched too.
    ASSERT_TRUE(QDir().mkpath(music + QStringLiteral("Artist 50/New")));
    ASSERT_TRUE(RunEventsUntil([&] { return watcher.WatchedFolders() == 1 + 51 + 5001; }, kPromptlyMs));
    ASSERT_TRUE(QFile::copy(madeOther(), music + QStringLiteral("Artist 50/New/new.mp3")));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 2; }, kPromptlyMs));
}

TEST_F(WatchedMusicFolder, BeyondTheWatchLimitFoldersAreLookedThroughRegularlyAndThatIsSaidOnce)
{
    for (int folder = 0; folder < 30; ++folder)
        ASSERT_TRUE(QDir().mkpath(music + QStringLiteral("Folder %1").arg(folder, 2, 10, QLatin1Char('0'))));
    watcher.SetWatchLimit(10);
    watcher.SetRescanInterval(std::chrono::seconds(1));
    startWatching();
    EXPECT_EQ(watcher.WatchedFolders(), 10);
    ASSERT_TRUE(RunEventsUntil([&] { return !limitMessages.isEmpty(); }, kPatienceMs));
    EXPECT_EQ(limitMessages, QList<int> { 21 });

    // The last folders walked are the ones left unwatched.
    ASSERT_TRUE(QFile::copy(madeOther(), music + QStringLiteral("Folder 29/late.mp3")));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 1; }, kPatienceMs));
    ASSERT_TRUE(QFile::copy(madeOther(), music + QStringLiteral("Folder 28/later.mp3")));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 2; }, kPatienceMs));
    EXPECT_EQ(limitMessages.size(), 1);
    // A watched folder still tells at once.
    ASSERT_TRUE(QFile::copy(madeOther(), music + QStringLiteral("now.mp3")));
    ASSERT_TRUE(RunEventsUntil([&] { return count() == 3; }, kPromptlyMs));
}

TEST_F(WatchedMusicFolder, AMusicFolderRemovedAsAWholeKeepsItsTracksUnavailableUntilItComesBack)
{
    copyAlbumTo(music);
    startWatching(kAlbumTracks);
    TtaggerRef kept(record(music + QStringLiteral("Album/") + trackName(7)));

    ASSERT_TRUE(QDir(music).removeRecursively());
    ASSERT_TRUE(RunEventsUntil([&] { return allUnavailable(); }, kPromptlyMs));
    settle();
    EXPECT_EQ(count(), kAlbumTracks);
    EXPECT_EQ(removed, 0);

    ASSERT_TRUE(QDir().mkpath(music));
    copyAlbumTo(music);
    ASSERT_TRUE(RunEventsUntil([&] { return noneUnavailable(); }, kPatienceMs));
    EXPECT_EQ(count(), kAlbumTracks);
    EXPECT_EQ(record(music + QStringLiteral("Album/") + trackName(7)), kept.get());
}

TEST_F(WatchedMusicFolder, AnUnmountedMusicFolderKeepsItsTracksUnavailableUntilMountedAgain)
{
    const QString drive = dir.filePath(QStringLiteral("drive"));
    ASSERT_TRUE(QDir().mkpath(drive));
    copyAlbumTo(drive);
    QString error;
    if (!RunTool(QStringLiteral("mount"), { QStringLiteral("--bind"), drive, music }, &error))
        GTEST_SKIP() << "a bind mount needs root: " << error.toStdString();
    mounted = true;
    const auto unmount = [&] {
        mounted = !RunTool(QStringLiteral("umount"), { music }, &error);
        return !mounted;
    };
    startWatching(kAlbumTracks);

    ASSERT_TRUE(unmount()) << error.toStdString();
    // The mount point left behind is an empty folder of the same name.
    ASSERT_TRUE(RunEventsUntil([&] { return allUnavailable(); }, kPatienceMs));
    EXPECT_EQ(count(), kAlbumTracks);
    EXPECT_EQ(removed, 0);

    ASSERT_TRUE(RunTool(QStringLiteral("mount"), { QStringLiteral("--bind"), drive, music }, &error))
        << error.toStdString();
    mounted = true;
    const bool back = RunEventsUntil([&] { return noneUnavailable(); }, kPatienceMs);
    ASSERT_TRUE(unmount()) << error.toStdString();
    EXPECT_TRUE(back);
    EXPECT_EQ(count(), kAlbumTracks);
}
