#include "audioFixtures.h"
#include "library/taggerList.h"
#include "library/vorlenScanThread.h"
#include "library/trackListFile.h"
#include "platform/fileTime.h"
#include "testRecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <utime.h>

namespace {

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
        spec.metadata = {{QStringLiteral("title"), QStringLiteral("Tone")}, {QStringLiteral("artist"), QStringLiteral("Gen")}};
        for (const char *name : {"a.MP3", "b.Ogg", "sub/c.mp3", "sub/deeper/d.wma", "e.mp2"}) {
            QString error;
            ASSERT_TRUE(MakeToneFile(root + u'/' + QString::fromLatin1(name).toLower(), spec, &error))
                << error.toStdString();
            if (QString::fromLatin1(name) != QString::fromLatin1(name).toLower())
                QFile::rename(root + u'/' + QString::fromLatin1(name).toLower(), root + u'/' + QString::fromLatin1(name));
        }
        QFile(root + QStringLiteral("/c.mp4")).open(QIODevice::WriteOnly);
        QFile(root + QStringLiteral("/mp3")).open(QIODevice::WriteOnly);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString path(const char *name) { return s_dir->path() + u'/' + QString::fromLatin1(name); }

    // Runs a scan to its end, letting the GUI thread deliver its events.
    static void runToEnd(TvorlenScanThread &scan)
    {
        QEventLoop loop;
        QObject::connect(&scan, &QThread::finished, &loop, &QEventLoop::quit);
        scan.start();
        loop.exec();
    }

    static QTemporaryDir *s_dir;
};

QTemporaryDir *ScanFolderFixture::s_dir = nullptr;

QStringList sortedNewFiles(const TvorlenScanThread &scan)
{
    QStringList names;
    for (int i = 0; i < scan.NewFiles().Count(); ++i)
        names.append(scan.NewFiles().Strings(i));
    names.sort();
    return names;
}

} // namespace

TEST(ScanExtensions, SplitAndUpperCased)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg;"));
    EXPECT_EQ(scan.Extensions(), (QStringList{"MP3", "MP2", "WMA", "OGG"}));
    scan.SetExtensions(QStringLiteral("mp3"));
    EXPECT_EQ(scan.Extensions(), QStringList{"MP3"});
    scan.SetExtensions(QString());
    EXPECT_EQ(scan.Extensions(), QStringList{QString()});
}

TEST_F(ScanFolderFixture, FindsNewFilesRecursivelyOnTheGuiThread)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    scan.FolderList = {s_dir->path(), path("missing-folder")};
    scan.Recursive = true;
    QStringList folders;
    std::vector<int> counts;
    bool allOnGui = true;
    scan.OnFolder = [&](TvorlenScanThread *, const QString &folder) {
        allOnGui = allOnGui && QThread::currentThread() == qApp->thread();
        folders.append(folder);
    };
    scan.OnNewFile = [&](TvorlenScanThread *sender, const QString &fileName, int newCount) {
        allOnGui = allOnGui && QThread::currentThread() == qApp->thread();
        EXPECT_EQ(sender->CurrentFile(), fileName);
        counts.push_back(newCount);
    };
    runToEnd(scan);
    EXPECT_TRUE(allOnGui);
    EXPECT_EQ(sortedNewFiles(scan), (QStringList{path("a.MP3"), path("b.Ogg"), path("e.mp2"), path("sub/c.mp3"),
                                                 path("sub/deeper/d.wma")}));
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(folders.contains(path("sub/deeper")));
    EXPECT_EQ(folders.back(), path("missing-folder"));
    const auto *rec = std::get<const TvorlenFileRec *>(scan.NewFiles().Objects(0));
    const WinFileTime time = FileLastWriteTime(rec->path);
    EXPECT_EQ(rec->high, time.high);
    EXPECT_EQ(rec->low, time.low);
    EXPECT_EQ(scan.ModifiedCount(), 0);
}

TEST_F(ScanFolderFixture, KnownFilesAreNewOnlyWhenUnknownAndReReadWhenTouched)
{
    TtaggerList library;
    library.SetKeepUntagged(true);
    TcustomTagger *unchanged = library.AddFile(path("a.MP3"));
    TcustomTagger *touched = library.AddFile(path("sub/c.mp3"));
    ASSERT_TRUE(unchanged && touched);
    touched->SetTitle(QStringLiteral("stale"));
    touched->SetModDateLow(touched->ModDateLow() ^ 1);

    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    // A folder given with a trailing separator yields doubled separators, and
    // known files are looked up exactly as stored.
    scan.FolderList = {s_dir->path() + u'/'};
    scan.Recursive = false;
    scan.KnownFiles.insert(s_dir->path() + QStringLiteral("//a.MP3"), unchanged);
    scan.KnownFiles.insert(s_dir->path() + QStringLiteral("//b.ogg"), touched); // differs in case: not the same file
    int modifiedEvents = 0;
    scan.OnModifiedFile = [&](TvorlenScanThread *, int count) { modifiedEvents = count; };
    runToEnd(scan);
    EXPECT_EQ(sortedNewFiles(scan), (QStringList{s_dir->path() + QStringLiteral("//b.Ogg"),
                                                 s_dir->path() + QStringLiteral("//e.mp2")}));
    EXPECT_EQ(scan.ModifiedCount(), 0);

    TvorlenScanThread rescan;
    rescan.SetExtensions(QStringLiteral("mp3"));
    rescan.FolderList = {s_dir->path()};
    rescan.Recursive = true;
    rescan.KnownFiles.insert(unchanged->Filename(), unchanged);
    rescan.KnownFiles.insert(touched->Filename(), touched);
    rescan.OnModifiedFile = [&](TvorlenScanThread *, int count) { modifiedEvents = count; };
    runToEnd(rescan);
    EXPECT_EQ(rescan.NewFiles().Count(), 0);
    EXPECT_EQ(rescan.ModifiedCount(), 1);
    EXPECT_EQ(modifiedEvents, 1);
    // Re-read from the file: the stored time and the title are current again.
    const WinFileTime time = FileLastWriteTime(touched->Filename());
    EXPECT_EQ(touched->ModDateLow(), time.low);
    EXPECT_NE(touched->Title(), QStringLiteral("stale"));
}

TEST_F(ScanFolderFixture, StopEndsTheScanAndKeepsWhatWasFound)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    scan.FolderList = {path("sub"), s_dir->path()};
    scan.Recursive = true;
    QStringList folders;
    scan.OnNewFile = [&](TvorlenScanThread *sender, const QString &, int) { sender->requestInterruption(); };
    scan.OnFolder = [&](TvorlenScanThread *, const QString &folder) { folders.append(folder); };
    runToEnd(scan);
    EXPECT_EQ(scan.NewFiles().Count(), 1);
    EXPECT_FALSE(folders.contains(s_dir->path()));
}

TEST_F(ScanFolderFixture, DestroyingARunningScanStopsIt)
{
    auto scan = std::make_unique<TvorlenScanThread>();
    scan->SetExtensions(QStringLiteral("mp3"));
    scan->FolderList = {s_dir->path()};
    scan->Recursive = true;
    scan->OnFolder = [](TvorlenScanThread *, const QString &) { QThread::msleep(5); };
    scan->start();
    scan.reset();
    SUCCEED();
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
    EXPECT_EQ(names, (QStringList{path("a.MP3"), path("b.Ogg"), path("sub/c.mp3"), path("sub/deeper/d.wma")}));
    EXPECT_GE(found, 4);
    EXPECT_EQ(scannedFolders, (QStringList{s_dir->path(), path("sub"), path("sub/deeper")}));

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
