#include "audioFixtures.h"
#include "library/knownFiles.h"
#include "library/taggerList.h"
#include "library/trackListFile.h"
#include "library/vorlenScanThread.h"
#include "platform/fileNames.h"
#include "platform/fileTime.h"
#include "testRecords.h"
#include "unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool onGuiThread()
{
    return QThread::currentThread() == qApp->thread();
}

// Runs a scan to its end, letting the GUI thread deliver its events. The end
// is polled for rather than taken from QThread::finished: Qt makes that queued
// call on the worker and hands it over under locks of its own, which the
// thread sanitizer cannot see, so a handler that lets pending events run
// would look like a race there.
void runToEnd(TvorlenScanThread &scan)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (scan.isFinished())
            loop.quit();
    });
    scan.start();
    poll.start(5);
    loop.exec();
    // The batches posted just before the end, to the scan's hand-over.
    QCoreApplication::sendPostedEvents();
}

QStringList sortedNewFiles(const TvorlenScanThread &scan)
{
    QStringList names;
    for (int i = 0; i < scan.NewFiles().Count(); ++i)
        names.append(scan.NewFiles().Strings(i));
    names.sort();
    return names;
}

const TvorlenFileRec *fileRec(const TvorlenScanThread &scan, int index)
{
    return std::get<const TvorlenFileRec *>(scan.NewFiles().Objects(index));
}

void setLastWriteTime(const QString &path, time_t seconds)
{
    const timespec times[2] = { { seconds, 0 }, { seconds, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

bool hardLink(const QString &source, const QString &target)
{
    return ::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0;
}

// A record for a file as a previous scan left it, made without reading it.
Tid3Tagger *knownRecord(const QString &path)
{
    Tid3Tagger *record = MakeRecord({ QStringLiteral("known"), {}, {}, path });
    const WinFileTime time = FileLastWriteTime(path);
    record->SetModDateHigh(time.high);
    record->SetModDateLow(time.low);
    return record;
}

void lookUpIn(TvorlenScanThread &scan, const TcustomTaggerList &library)
{
    scan.LookupRecord
        = [&library](const QString &path, int indexHint) { return FindKnownRecord(library, path, indexHint); };
}

// A folder of real music files made by ffmpeg once for all scan tests.
class ScanFolderFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        const QString root = s_dir->path();
        QDir(root).mkpath(QStringLiteral("sub/deeper"));
        ToneSpec spec;
        spec.seconds = 0.3;
        spec.metadata = { { QStringLiteral("title"), QStringLiteral("Tone") },
            { QStringLiteral("artist"), QStringLiteral("Gen") } };
        for (const char *name :
            { "a.MP3", "b.Ogg", "sub/c.mp3", "sub/deeper/d.wma", "e.mp2", "sub/f.FLAC", "sub/deeper/g.opus" }) {
            QString error;
            ASSERT_TRUE(MakeToneFile(root + u'/' + QString::fromLatin1(name).toLower(), spec, &error))
                << error.toStdString();
            if (QString::fromLatin1(name) != QString::fromLatin1(name).toLower())
                QFile::rename(
                    root + u'/' + QString::fromLatin1(name).toLower(), root + u'/' + QString::fromLatin1(name));
        }
        QFile(root + QStringLiteral("/c.mp4")).open(QIODevice::WriteOnly);
        QFile(root + QStringLiteral("/mp3")).open(QIODevice::WriteOnly);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString path(const char *name) { return s_dir->path() + u'/' + QString::fromUtf8(name); }

    static QTemporaryDir *s_dir;
};

QTemporaryDir *ScanFolderFixture::s_dir = nullptr;

// A library-sized tree: 3,000 music files (hard links of one real MP3) in
// album folders below artist folders, with a cover in each album. Large
// enough that the worker is still scanning when the GUI thread hears of the
// first file.
class ScanTreeFixture : public ::testing::Test {
protected:
    static constexpr int kArtists = 10;
    static constexpr int kAlbums = 10;
    static constexpr int kTracks = 30;

    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_files = new QStringList;
        s_source = s_dir->path() + QStringLiteral("/tone.mp3");
        ToneSpec spec;
        spec.seconds = 0.2;
        QString error;
        ASSERT_TRUE(MakeToneFile(s_source, spec, &error)) << error.toStdString();
        for (int artist = 0; artist < kArtists; ++artist) {
            for (int album = 0; album < kAlbums; ++album) {
                const QString folder = QStringLiteral("%1/Artist %2/Album %3").arg(tree()).arg(artist).arg(album);
                ASSERT_TRUE(QDir().mkpath(folder));
                ASSERT_TRUE(hardLink(s_source, folder + QStringLiteral("/cover.jpg")));
                for (int track = 0; track < kTracks; ++track) {
                    const QString file = QStringLiteral("%1/%2 Track.mp3").arg(folder).arg(track);
                    ASSERT_TRUE(hardLink(s_source, file));
                    s_files->append(file);
                }
            }
        }
        s_files->sort();
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        delete s_files;
        s_dir = nullptr;
        s_files = nullptr;
    }
    static QString tree() { return s_dir->path() + QStringLiteral("/tree"); }

    static QTemporaryDir *s_dir;
    static QStringList *s_files;
    static QString s_source;
};

QTemporaryDir *ScanTreeFixture::s_dir = nullptr;
QStringList *ScanTreeFixture::s_files = nullptr;
QString ScanTreeFixture::s_source;

} // namespace

TEST(ScanExtensions, SplitAndUpperCased)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg;"));
    EXPECT_EQ(scan.Extensions(), (QStringList { "MP3", "MP2", "WMA", "OGG" }));
    scan.SetExtensions(QStringLiteral("mp3"));
    EXPECT_EQ(scan.Extensions(), QStringList { "MP3" });
    scan.SetExtensions(QString());
    EXPECT_EQ(scan.Extensions(), QStringList { QString() });
}

TEST_F(ScanFolderFixture, FindsNewFilesRecursivelyOnTheGuiThread)
{
    TvorlenScanThread scan;
    scan.SetExtensions(kMusicExtensions);
    // A file and a missing folder in the list contribute nothing; the scan goes on.
    scan.FolderList = { path("c.mp4"), s_dir->path(), path("missing-folder") };
    scan.Recursive = true;
    QStringList folders;
    std::vector<int> counts;
    bool allOnGui = true;
    scan.OnFolder = [&](TvorlenScanThread *sender, const QString &folder) {
        allOnGui = allOnGui && onGuiThread();
        EXPECT_EQ(sender->CurrentFolder(), folder);
        folders.append(folder);
    };
    scan.OnNewFile = [&](TvorlenScanThread *sender, const QString &fileName, int newCount) {
        allOnGui = allOnGui && onGuiThread();
        EXPECT_EQ(sender->CurrentFile(), fileName);
        EXPECT_EQ(sender->NewFiles().Strings(newCount - 1), fileName);
        counts.push_back(newCount);
    };
    runToEnd(scan);
    EXPECT_TRUE(allOnGui);
    EXPECT_EQ(sortedNewFiles(scan),
        (QStringList { path("a.MP3"), path("b.Ogg"), path("e.mp2"), path("sub/c.mp3"), path("sub/deeper/d.wma"),
            path("sub/deeper/g.opus"), path("sub/f.FLAC") }));
    EXPECT_EQ(counts, (std::vector<int> { 1, 2, 3, 4, 5, 6, 7 }));
    // Every listed folder is shown, and a folder before a new file found in it.
    EXPECT_EQ(folders.first(), path("c.mp4"));
    EXPECT_TRUE(folders.contains(s_dir->path()));
    EXPECT_TRUE(folders.contains(path("sub/deeper")));
    EXPECT_EQ(folders.back(), path("missing-folder"));
    // Both are named: the one that is not there, the one that is no folder.
    EXPECT_EQ(scan.MissingFolders(), QStringList { path("missing-folder") });
    ASSERT_EQ(scan.Unreadable().size(), 1u);
    EXPECT_EQ(scan.Unreadable().front().path, path("c.mp4"));
    for (int i = 0; i < scan.NewFiles().Count(); ++i) {
        const TvorlenFileRec *rec = fileRec(scan, i);
        EXPECT_EQ(rec->path, scan.NewFiles().Strings(i));
        const WinFileTime time = FileLastWriteTime(rec->path);
        EXPECT_EQ(rec->high, time.high);
        EXPECT_EQ(rec->low, time.low);
    }
    EXPECT_EQ(scan.ModifiedCount(), 0);
}

TEST_F(ScanFolderFixture, KnownFilesAreNewOnlyWhenUnknownAndReReadWhenTouched)
{
    // A folder listed with a trailing separator gives one separator before a
    // file straight in it, as the folder watch does, and known files are
    // looked up exactly as the previous scan stored them.
    TtaggerList previous;
    previous.Add(knownRecord(s_dir->path() + QStringLiteral("/a.MP3")));
    previous.Add(knownRecord(s_dir->path() + QStringLiteral("/b.ogg"))); // differs in case: another file
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    scan.FolderList = { s_dir->path() + u'/' };
    scan.Recursive = false;
    scan.KnownFiles = TknownFiles(previous);
    lookUpIn(scan, previous);
    runToEnd(scan);
    EXPECT_EQ(sortedNewFiles(scan),
        (QStringList { s_dir->path() + QStringLiteral("/b.Ogg"), s_dir->path() + QStringLiteral("/e.mp2") }));
    EXPECT_EQ(scan.ModifiedCount(), 0);

    // The file under a record is touched: the record is re-read from it on
    // the GUI thread before the window hears of it.
    TtaggerList library;
    library.SetKeepUntagged(true);
    TcustomTagger *unchanged = library.AddFile(path("a.MP3"));
    TcustomTagger *touched = library.AddFile(path("sub/c.mp3"));
    ASSERT_TRUE(unchanged && touched);
    touched->SetTitle(QStringLiteral("stale"));
    unchanged->SetTitle(QStringLiteral("kept"));
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(path("sub/c.mp3")).constData(), &info), 0);
    setLastWriteTime(path("sub/c.mp3"), info.st_mtime - 1000);
    const WinFileTime touchedTime = FileLastWriteTime(path("sub/c.mp3"));

    TvorlenScanThread rescan;
    rescan.SetExtensions(QStringLiteral("mp3"));
    rescan.FolderList = { s_dir->path() };
    rescan.Recursive = true;
    rescan.KnownFiles = TknownFiles(library);
    QStringList lookedUp;
    rescan.LookupRecord = [&](const QString &file, int indexHint) {
        EXPECT_TRUE(onGuiThread());
        lookedUp.append(file);
        return FindKnownRecord(library, file, indexHint);
    };
    int modifiedEvents = 0;
    rescan.OnModifiedFile = [&](TvorlenScanThread *, int count) {
        EXPECT_TRUE(onGuiThread());
        EXPECT_EQ(touched->Title(), QStringLiteral("Tone"));
        EXPECT_EQ(touched->ModDateLow(), touchedTime.low);
        EXPECT_EQ(touched->ModDateHigh(), touchedTime.high);
        modifiedEvents = count;
    };
    runToEnd(rescan);
    EXPECT_EQ(rescan.NewFiles().Count(), 0);
    EXPECT_EQ(rescan.ModifiedCount(), 1);
    EXPECT_EQ(modifiedEvents, 1);
    EXPECT_EQ(lookedUp, QStringList { path("sub/c.mp3") });
    EXPECT_EQ(touched->Title(), QStringLiteral("Tone"));
    EXPECT_EQ(unchanged->Title(), QStringLiteral("kept"));

    // Run again with the same table: the count starts afresh.
    runToEnd(rescan);
    EXPECT_EQ(rescan.ModifiedCount(), 1);
}

// A drive listed in fstab and not plugged in leaves its mount point behind as
// a folder of the disk above it, empty or holding what was put there while
// the drive was away. Either way it is a missing folder: nothing below it is
// found, so nothing of the drive's is taken for gone.
TEST_F(ScanFolderFixture, AMountPointLeftBehindIsAMissingFolder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char *folder : {"empty", "stray", "mounted", "parent/drive", "parent/local", "new"})
        ASSERT_TRUE(QDir(root).mkpath(QString::fromLatin1(folder)));
    for (const char *file : {"stray/left.mp3", "mounted/m.mp3", "parent/drive/d.mp3", "parent/local/l.mp3"})
        ASSERT_TRUE(QFile::copy(path("a.MP3"), root + u'/' + QString::fromLatin1(file)));
    const QString fstab = root + QStringLiteral("/fstab");
    const QString mountInfo = root + QStringLiteral("/mountinfo");
    QFile table(fstab);
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    for (const char *point : {"stray", "mounted", "parent/drive"})
        table.write("/dev/sdz " + QFile::encodeName(root) + '/' + point + " ext4 nofail 0 2\n");
    table.close();
    QFile mounted(mountInfo);
    ASSERT_TRUE(mounted.open(QIODevice::WriteOnly));
    mounted.write("70 25 8:1 / " + QFile::encodeName(root) + "/mounted rw - ext4 /dev/sdz rw\n");
    mounted.close();

    // The library has music in "empty"; "new" is a music folder just made.
    TvorlenScanThread scan;
    scan.SetExtensions(kMusicExtensions);
    scan.FolderList = {root + QStringLiteral("/empty/"), root + QStringLiteral("/stray"),
        root + QStringLiteral("/mounted"), root + QStringLiteral("/parent"), root + QStringLiteral("/new")};
    scan.FoldersWithMusic = {root + QStringLiteral("/empty/"), root + QStringLiteral("/stray")};
    scan.Recursive = true;
    scan.FstabFile = fstab;
    scan.MountInfoFile = mountInfo;
    runToEnd(scan);
    EXPECT_EQ(scan.MissingFolders(),
        (QStringList {root + QStringLiteral("/empty"), root + QStringLiteral("/stray"),
            root + QStringLiteral("/parent/drive")}));
    EXPECT_EQ(sortedNewFiles(scan),
        (QStringList {root + QStringLiteral("/mounted/m.mp3"), root + QStringLiteral("/parent/local/l.mp3")}));
    EXPECT_TRUE(scan.Unreadable().empty());
}

TEST_F(ScanFolderFixture, OnlyRegularFilesWithAnAcceptedExtensionAreFound)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("album.mp3")));
    for (const char *name : { "a.MP3", "Café ü.ögg", "b.ÖGG", "c.Ogg", "c.mp4", "mp3", "album.mp3/in.mp3" })
        ASSERT_TRUE(hardLink(path("a.MP3"), root + u'/' + QString::fromUtf8(name)));
    ASSERT_TRUE(QFile::link(path("a.MP3"), root + QStringLiteral("/link.mp3")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/nowhere.mp3"), root + QStringLiteral("/dead.mp3")));
    // A link back up the tree is not followed: the scan would never end.
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/album.mp3/loop")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/pipe.mp3")).constData(), 0600), 0);

    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;ögg"));
    scan.FolderList = { root };
    scan.Recursive = true;
    runToEnd(scan);
    EXPECT_EQ(sortedNewFiles(scan),
        (QStringList { root + QStringLiteral("/Café ü.ögg"), root + QStringLiteral("/a.MP3"),
            root + QStringLiteral("/album.mp3/in.mp3"), root + QStringLiteral("/b.ÖGG"),
            root + QStringLiteral("/link.mp3") }));
}

TEST_F(ScanTreeFixture, BatchesDeliverEveryNewFileInOrderAndARescanFindsNothing)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    scan.FolderList = { tree() };
    scan.Recursive = true;
    int expectedCount = 0;
    QStringList reported;
    scan.OnNewFile = [&](TvorlenScanThread *sender, const QString &fileName, int newCount) {
        EXPECT_EQ(newCount, ++expectedCount);
        EXPECT_EQ(sender->NewFiles().Count(), newCount);
        // Albums hold the files and nothing else holds any: the folder shown
        // is the file's own.
        EXPECT_TRUE(fileName.startsWith(sender->CurrentFolder() + u'/'))
            << fileName.toStdString() << " in " << sender->CurrentFolder().toStdString();
        reported.append(fileName);
        // A handler that lets pending events run, as a window's may, once
        // the worker has had time to post more: later batches wait their turn.
        if (newCount == 1)
            QThread::msleep(100);
        QCoreApplication::processEvents();
    };
    runToEnd(scan);
    ASSERT_EQ(scan.NewFiles().Count(), int(s_files->size()));
    for (int i = 0; i < scan.NewFiles().Count(); ++i)
        EXPECT_EQ(scan.NewFiles().Strings(i), reported[i]);
    EXPECT_EQ(sortedNewFiles(scan), *s_files);
    const WinFileTime time = FileLastWriteTime(s_source);
    const TvorlenFileRec *last = fileRec(scan, scan.NewFiles().Count() - 1);
    EXPECT_EQ(last->low, time.low);
    EXPECT_EQ(last->high, time.high);

    TtaggerList library;
    for (const QString &file : *s_files)
        library.Add(knownRecord(file));
    TvorlenScanThread rescan;
    rescan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    rescan.FolderList = { tree() };
    rescan.Recursive = true;
    rescan.KnownFiles = TknownFiles(library);
    lookUpIn(rescan, library);
    int events = 0;
    rescan.OnNewFile = [&](TvorlenScanThread *, const QString &, int) { ++events; };
    rescan.OnModifiedFile = [&](TvorlenScanThread *, int) { ++events; };
    QStringList folders;
    rescan.OnFolder = [&](TvorlenScanThread *, const QString &folder) { folders.append(folder); };
    runToEnd(rescan);
    EXPECT_EQ(rescan.NewFiles().Count(), 0);
    EXPECT_EQ(rescan.ModifiedCount(), 0);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(folders.value(0), tree());
}

TEST_F(ScanTreeFixture, StopEndsTheScanMidTreeAndKeepsWhatWasFound)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3"));
    const QString next = s_dir->path();
    scan.FolderList = { tree(), next };
    scan.Recursive = true;
    QStringList folders;
    int lastCount = 0;
    scan.OnFolder = [&](TvorlenScanThread *, const QString &folder) { folders.append(folder); };
    scan.OnNewFile = [&](TvorlenScanThread *sender, const QString &, int newCount) {
        sender->requestInterruption();
        lastCount = newCount;
    };
    runToEnd(scan);
    EXPECT_GE(scan.NewFiles().Count(), 1);
    EXPECT_LT(scan.NewFiles().Count(), int(s_files->size()));
    EXPECT_EQ(lastCount, scan.NewFiles().Count());
    EXPECT_FALSE(folders.contains(next));
    const QStringList found = sortedNewFiles(scan);
    EXPECT_EQ(QSet<QString>(found.begin(), found.end()).size(), found.size());
    for (const QString &file : found)
        EXPECT_TRUE(s_files->contains(file)) << file.toStdString();
}

TEST_F(ScanTreeFixture, AFolderThatVanishesMidRunIsSkippedAndTheRestIsScanned)
{
    QTemporaryDir dir;
    const QString doomed = dir.path() + QStringLiteral("/doomed");
    const QString kept = dir.path() + QStringLiteral("/kept");
    constexpr int kDoomedFolders = 20;
    constexpr int kDoomedTracks = 100;
    for (int i = 0; i < kDoomedFolders; ++i) {
        const QString folder = QStringLiteral("%1/%2").arg(doomed).arg(i);
        ASSERT_TRUE(QDir().mkpath(folder));
        for (int track = 0; track < kDoomedTracks; ++track)
            ASSERT_TRUE(hardLink(s_source, QStringLiteral("%1/%2.mp3").arg(folder).arg(track)));
    }
    ASSERT_TRUE(QDir().mkpath(kept));
    QStringList keptFiles;
    for (int i = 0; i < 3; ++i) {
        keptFiles.append(QStringLiteral("%1/%2.mp3").arg(kept).arg(i));
        ASSERT_TRUE(hardLink(s_source, keptFiles.back()));
    }

    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3"));
    scan.FolderList = { doomed, kept };
    scan.Recursive = true;
    bool removed = false;
    scan.OnNewFile = [&](TvorlenScanThread *, const QString &, int) {
        if (!removed)
            removed = QDir(doomed).removeRecursively();
    };
    runToEnd(scan);
    ASSERT_TRUE(removed);
    const QStringList found = sortedNewFiles(scan);
    EXPECT_EQ(found.filter(kept + u'/'), keptFiles);
    const int fromDoomed = int(found.filter(doomed + u'/').size());
    EXPECT_GE(fromDoomed, 1);
    EXPECT_LT(fromDoomed, kDoomedFolders * kDoomedTracks);
}

TEST_F(ScanTreeFixture, AModifiedFileWhoseRecordLeftTheLibraryIsNotTouched)
{
    QTemporaryDir dir;
    const QString kept = dir.path() + QStringLiteral("/kept.mp3");
    const QString dropped = dir.path() + QStringLiteral("/dropped.mp3");
    ASSERT_TRUE(QFile::copy(s_source, kept));
    ASSERT_TRUE(QFile::copy(s_source, dropped));
    TtaggerList library;
    library.Add(knownRecord(dir.path() + QStringLiteral("/other.mp3")));
    library.Add(knownRecord(dropped));
    library.Add(knownRecord(kept));
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3"));
    scan.FolderList = { dir.path() };
    scan.KnownFiles = TknownFiles(library);
    lookUpIn(scan, library);
    setLastWriteTime(kept, 1000000000);
    setLastWriteTime(dropped, 1000000000);

    // The library drops a record and moves another while the scan runs: the
    // dropped record is freed, the moved one is found where it is now.
    scan.OnFolder = [&](TvorlenScanThread *, const QString &) {
        library.Delete(1);
        library.Move(1, 0);
    };
    int modifiedEvents = 0;
    scan.OnModifiedFile = [&](TvorlenScanThread *, int) { ++modifiedEvents; };
    runToEnd(scan);
    EXPECT_EQ(scan.NewFiles().Count(), 0);
    EXPECT_EQ(scan.ModifiedCount(), 1);
    EXPECT_EQ(modifiedEvents, 1);
    ASSERT_EQ(library.Count(), 2);
    EXPECT_EQ(library.Items(0)->Filename(), kept);
    EXPECT_EQ(library.Items(0)->ModDateLow(), FileLastWriteTime(kept).low);
    EXPECT_EQ(library.Items(0)->Title(), QString()); // re-read from an untagged file
    EXPECT_EQ(library.Items(1)->Title(), QStringLiteral("known"));
}

TEST_F(ScanTreeFixture, DestroyingARunningScanStopsItAndDeliversNothingMore)
{
    int events = 0;
    auto scan = std::make_unique<TvorlenScanThread>();
    scan->SetExtensions(QStringLiteral("mp3"));
    scan->FolderList = { tree() };
    scan->Recursive = true;
    scan->OnFolder = [&](TvorlenScanThread *, const QString &) { ++events; };
    scan->OnNewFile = [&](TvorlenScanThread *, const QString &, int) { ++events; };
    scan->start();
    // The GUI thread takes nothing meanwhile: the worker fills its batches and
    // waits for them to be taken.
    QThread::msleep(200);
    EXPECT_TRUE(scan->isRunning());
    scan.reset();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(events, 0);
}

TEST_F(ScanFolderFixture, ScanFolderAddsDiscFilesAndWritesTheDiscCache)
{
    QTemporaryDir cacheDir;
    const QString cache = cacheDir.filePath(QStringLiteral("1234ABCD.dat"));
    // A file that vanished (a dangling link) cannot be read; it is skipped and
    // the rest of the disc is still added.
    QFile::link(path("nowhere.ogg"), path("sub/dead.ogg"));
    TtaggerList list;
    list.SetKeepUntagged(true);
    int changes = 0, found = 0;
    QStringList scannedFolders;
    list.OnChange = [&](TComponent *) { ++changes; };
    list.OnFileFound = [&](TComponent *, const QString &) { ++found; };
    list.OnDirScanStart = [&](TComponent *, int, const QString &dirName) { scannedFolders.append(dirName); };
    list.ScanFolder(s_dir->path(), true, cache, false);
    QFile::remove(path("sub/dead.ogg"));
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(list.Updating());
    QStringList names;
    for (const TcustomTagger *r : list.Records())
        names.append(r->Filename());
    names.sort();
    // ".mp2" files are not picked up by this scan.
    EXPECT_EQ(names,
        (QStringList { path("a.MP3"), path("b.Ogg"), path("sub/c.mp3"), path("sub/deeper/d.wma"),
            path("sub/deeper/g.opus"), path("sub/f.FLAC") }));
    EXPECT_GE(found, 6);
    EXPECT_EQ(scannedFolders, (QStringList { s_dir->path(), path("sub"), path("sub/deeper") }));

    QFile file(cache);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("cdrom:sub/c.mp3"));
    EXPECT_FALSE(stored.contains(s_dir->path().toUtf8()));

    TtaggerList reloaded;
    reloaded.LoadListFile(cache, false, QStringLiteral("/mnt/disc"));
    EXPECT_EQ(reloaded.Count(), list.Count());
    EXPECT_TRUE(reloaded.Items(0)->Filename().startsWith(QStringLiteral("/mnt/disc/")));

    TtaggerList none;
    none.ScanFolder(path("missing"), true, cache, false);
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(ScanFolderFixture, ALatin1NamedFileIsAddedOnceAndFoundKnownNextTime)
{
    QTemporaryDir dir;
    const QByteArray raw = QFile::encodeName(dir.path()) + "/\xE9t\xE9 caf\xE9.mp3";
    ASSERT_EQ(::link(QFile::encodeName(path("sub/c.mp3")).constData(), raw.constData()), 0);
    TvorlenScanThread scan;
    scan.SetExtensions(kMusicExtensions);
    scan.FolderList = { dir.path() };
    runToEnd(scan);
    ASSERT_EQ(scan.NewFiles().Count(), 1);
    const QString found = scan.NewFiles().Strings(0);
    EXPECT_EQ(EncodeFileName(found), raw);
    EXPECT_EQ(ReadableFileName(found), dir.path() + QStringLiteral("/été café.mp3"));

    TtaggerList library;
    library.SetKeepUntagged(true);
    TcustomTagger *record = library.AddFile(found);
    ASSERT_TRUE(record) << "the file opens by the bytes it was found under";
    EXPECT_EQ(record->Title(), QStringLiteral("Tone"));
    EXPECT_GT(record->ModDateLow() | record->ModDateHigh(), 0u);

    TvorlenScanThread again;
    again.SetExtensions(kMusicExtensions);
    again.FolderList = { dir.path() };
    again.KnownFiles = TknownFiles(library);
    lookUpIn(again, library);
    runToEnd(again);
    EXPECT_EQ(again.NewFiles().Count(), 0);
    EXPECT_EQ(again.ModifiedCount(), 0);
    // Qt cannot name the file to remove it with its folder.
    ::unlink(raw.constData());
}

TEST_F(ScanFolderFixture, UnreadableFilesAndFoldersAreNamedOnceAndNeverNew)
{
    VORLEN_RUN_UNPRIVILEGED();
    QTemporaryDir dir;
    const QString locked = dir.path() + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    for (const char *name : { "/open.mp3", "/shut.mp3", "/locked/inside.mp3" })
        ASSERT_TRUE(QFile::copy(path("sub/c.mp3"), dir.path() + QLatin1String(name)));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path() + QStringLiteral("/shut.mp3")).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);

    for (int run = 0; run < 2; ++run) {
        TvorlenScanThread scan;
        scan.SetExtensions(kMusicExtensions);
        scan.FolderList = { dir.path() };
        scan.Recursive = true;
        runToEnd(scan);
        EXPECT_EQ(sortedNewFiles(scan), QStringList { dir.path() + QStringLiteral("/open.mp3") });
        std::vector<QString> unreadable;
        for (const TfileProblem &problem : scan.Unreadable()) {
            unreadable.push_back(problem.path);
            EXPECT_EQ(problem.reason, QString::fromLocal8Bit(std::strerror(EACCES)));
        }
        std::sort(unreadable.begin(), unreadable.end());
        EXPECT_EQ(unreadable, (std::vector<QString> { locked, dir.path() + QStringLiteral("/shut.mp3") }));
    }
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}
