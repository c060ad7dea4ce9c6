// bench-library [N...]: a synthetic music library of N records (default
// 100000 and 1000000; 3,000 artists, 8,000 albums, realistic text lengths).
// Times and prints SaveListFile (of the library in title order, as the
// program saves it after a rebuild), LoadListFile into a master list with
// rebuild suspended, RebuildIndex, RebuildIndex again of the same records in
// no order (a cache that has to be sorted all over), FillLibraryTree into a
// null tree (by title and by artist), SearchTitles for a common substring, a
// folder watcher's batches applied (a start's listings of every folder, an
// album copied in, its folder renamed, one file deleted),
// SortBy for every sort type but tsTimeStamp, an album of 20,000 files on disk
// queued (every file looked for, as the queue does), and the memory held per loaded
// record (resident-set growth divided by the count).
#include "core/cdStacker.h"
#include "library/libraryUpdater.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "library/taggerQueue.h"
#include "library/treeNodes.h"
#include "metadata/id3Tagger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int kArtists = 3000;
constexpr int kAlbums = 8000;

// A tree that keeps nothing: what the fill itself costs.
class NullTree : public TlibraryTree {
public:
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void Clear() override { m_nodes = 0; }
    TtreeNode AddChild(TtreeNode, const QString &, TlistObject, TtreeNodeKind) override
    {
        return TtreeNode(++m_nodes);
    }
    qint32 Nodes() const { return m_nodes; }

private:
    qint32 m_nodes = 0;
};

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

// Bytes handed out by malloc and not yet freed: what the program holds,
// without the pages that freed memory keeps resident.
double heapInUseBytes()
{
    return double(mallinfo2().uordblks);
}

// Words of 2 to 4 syllables, capitalised.
QString word(QRandomGenerator &random)
{
    static const char *const syllables[] = {"ka", "lo", "mi", "ren", "sa", "tor", "vel", "dan", "el", "ri",
                                            "mor", "ta", "ni", "gal", "sen", "bra", "co", "lu", "fen", "do"};
    QString w;
    const int n = 2 + int(random.bounded(3));
    for (int i = 0; i < n; ++i)
        w += QLatin1StringView(syllables[random.bounded(20)]);
    w[0] = w[0].toUpper();
    return w;
}

QString words(QRandomGenerator &random, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts.append(word(random));
    return parts.join(u' ');
}

void buildLibrary(TtaggerList &list, int count)
{
    QRandomGenerator random(20261207);
    QStringList artists;
    for (int i = 0; i < kArtists; ++i)
        artists.append(i % 10 == 0 ? QStringLiteral("The ") + words(random, 1) : words(random, 1 + int(random.bounded(2))));
    struct Album {
        QString name;
        QString artist;
        QString folder;
        QString date;
    };
    std::vector<Album> albums;
    for (int i = 0; i < kAlbums; ++i) {
        Album a;
        a.name = words(random, 1 + int(random.bounded(3)));
        a.artist = artists[i % kArtists];
        a.folder = QStringLiteral("/home/listener/Music/") + a.artist + u'/' + a.name + u'/';
        a.date = QString::number(1960 + random.bounded(60));
        albums.push_back(a);
    }
    std::vector<int> tracksInAlbum(kAlbums, 0);
    list.BeginUpdate();
    for (int i = 0; i < count; ++i) {
        const int albumIndex = int(random.bounded(kAlbums));
        const Album &album = albums[size_t(albumIndex)];
        const int track = ++tracksInAlbum[size_t(albumIndex)];
        auto *r = new Tid3Tagger;
        const QString title = words(random, 1 + int(random.bounded(4)));
        r->SetTitle(title);
        r->SetArtist(album.artist);
        r->SetAlbum(album.name);
        r->SetDate(album.date);
        r->SetTrack(quint32(track));
        r->SetGenreByte(quint8(random.bounded(40)));
        r->SetFilename(album.folder + QString::asprintf("%02d - ", track) + title + QStringLiteral(".mp3"));
        r->SetDuration(120000 + random.bounded(240000));
        r->SetBitRate(128000);
        r->SetSampleRate(44100);
        r->SetChannelMode(1);
        r->SetValidTag(true);
        r->SetModDateHigh(30000000 + random.bounded(1000000));
        r->SetModDateLow(random.generate());
        list.Add(r);
    }
    list.EndUpdate();
}

// Wall-clock and CPU time of one step: the CPU time is what the step costs
// when the machine is shared.
class StepTimer {
public:
    void start()
    {
        m_wall.start();
        m_cpu = cpuNs();
    }
    double wallMs() const { return double(m_wall.nsecsElapsed()) / 1e6; }
    double cpuMs() const { return double(cpuNs() - m_cpu) / 1e6; }

private:
    static qint64 cpuNs()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    QElapsedTimer m_wall;
    qint64 m_cpu = 0;
};

void report(const char *what, const StepTimer &timer, const QString &note = QString())
{
    std::printf("%-34s %9.1f ms cpu %9.1f ms wall  %s\n", what, timer.cpuMs(), timer.wallMs(),
                note.toLocal8Bit().constData());
}

void run(int count)
{
    std::printf("\n== %d records ==\n", count);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("jukebox.dat"));
    StepTimer timer;
    {
        TtaggerList synthetic;
        buildLibrary(synthetic, count);
        synthetic.SortBy(tsTitle);
        timer.start();
        synthetic.SaveListFile(file);
        report("SaveListFile", timer, QStringLiteral("(%1 MB)").arg(double(QFile(file).size()) / 1e6, 0, 'f', 1));
    }
    malloc_trim(0);

    const double before = residentBytes();
    const double heapBefore = heapInUseBytes();
    Tmp3JukeBoxLists library;
    library.SuspendRebuild();
    timer.start();
    library.MasterList().LoadListFile(file, false);
    const double loadMs = timer.cpuMs();
    report("LoadListFile (rebuild suspended)", timer);
    // Memory freed by the step's temporary work goes back first, so that what
    // is measured is what the library holds.
    malloc_trim(0);
    const double afterLoad = residentBytes();
    const double heapAfterLoad = heapInUseBytes();

    timer.start();
    library.RebuildIndex();
    const double rebuildMs = timer.cpuMs();
    report("RebuildIndex", timer,
           QStringLiteral("(%1 albums, %2 artist keys)").arg(library.AlbumList().Count()).arg(library.ArtistList().Count()));
    std::printf("%-34s %9.1f ms cpu\n", "load + rebuild", loadMs + rebuildMs);
    malloc_trim(0);
    const double afterRebuild = residentBytes();
    const double heapAfterRebuild = heapInUseBytes();

    library.MasterList().Shuffle();
    timer.start();
    library.RebuildIndex();
    report("RebuildIndex, records in no order", timer);

    NullTree tree;
    QList<TtreeNode> roots;
    timer.start();
    library.FillLibraryTree(tree, true, roots);
    report("FillLibraryTree by title", timer, QStringLiteral("(%1 nodes)").arg(qint64(tree.Nodes())));
    timer.start();
    library.FillLibraryTree(tree, false, roots);
    report("FillLibraryTree by artist", timer, QStringLiteral("(%1 nodes)").arg(qint64(tree.Nodes())));
    // The tree the window shows, kept whole.
    TtreeNodes shown;
    timer.start();
    library.FillLibraryTree(shown, true, roots);
    report("FillLibraryTree by title, kept", timer, QStringLiteral("(%1 nodes)").arg(shown.Count()));
    shown.Select(shown.Child(roots[12], 3));
    timer.start();
    library.FillLibraryTree(shown, true, roots);
    report("  refilled, selection kept", timer, QStringLiteral("(%1 nodes)").arg(shown.Count()));

    TstringList found;
    timer.start();
    library.SearchTitles(QStringLiteral("ren"), found);
    report("SearchTitles \"ren\"", timer, QStringLiteral("(%1 found)").arg(found.Count()));

    // What the folder watcher's batches cost the GUI thread: an album of 20
    // tracks copied in, then its folder renamed, then a file deleted, each
    // taken by the index in place and announced as a change set.
    {
        TlibraryUpdater updater(library);
        TfolderChanges copied;
        for (int track = 1; track <= 20; ++track) {
            const QString path = QStringLiteral("/home/listener/Music/New/Album/%1.mp3").arg(track);
            auto record = std::make_unique<Tid3Tagger>();
            record->SetTitle(QStringLiteral("New %1").arg(track));
            record->SetArtist(QStringLiteral("New"));
            record->SetAlbum(QStringLiteral("Album"));
            record->SetFilename(path);
            copied.written.push_back(TwrittenFile{path, std::move(record)});
        }
        // The listings of a start's walk, 256 folders a batch as the watcher
        // sends them, all as the library knows them: nothing to do, but
        // every track looked up.
        QMap<QString, std::vector<TfolderListing::File>> byFolder;
        for (const TcustomTagger *record : library.MasterList().Records())
            byFolder[record->Folder()].push_back(
                {record->NameInFolder(), WinFileTime{record->ModDateHigh(), record->ModDateLow()}});
        std::vector<TfolderChanges> walk(1);
        for (auto it = byFolder.begin(); it != byFolder.end(); ++it) {
            if (walk.back().listings.size() == 256)
                walk.emplace_back();
            walk.back().listings.push_back(TfolderListing{it.key(), std::move(it.value())});
        }
        walk.back().listedTrees = {QStringLiteral("/home/listener/Music/")};
        timer.start();
        int toRead = 0;
        for (TfolderChanges &batch : walk)
            toRead += int(updater.Apply(batch).toRead.size());
        report("watch: a start's listings looked at", timer,
               QStringLiteral("(%1 folders in %2 batches, %3 to read)").arg(byFolder.size()).arg(walk.size()).arg(toRead));

        library.ResumeRebuild();
        timer.start();
        updater.Apply(copied);
        report("watch: an album of 20 copied in", timer, QStringLiteral("(applied, index kept in place)"));
        TfolderChanges renamed;
        renamed.moves.push_back(TmovedPath{QStringLiteral("/home/listener/Music/New/"),
                                           QStringLiteral("/home/listener/Music/Newer/"), true});
        timer.start();
        updater.Apply(renamed);
        report("watch: its folder renamed", timer, QStringLiteral("(applied, index kept in place)"));
        TfolderChanges deleted;
        deleted.removedFiles.append(library.MasterList().Items(count / 2)->Filename());
        timer.start();
        updater.Apply(deleted);
        report("watch: one file deleted", timer, QStringLiteral("(applied, index kept in place)"));
        library.SuspendRebuild();
    }

    // A randomised playlist filled one record at a time (the genre rule, the
    // stacker's play list), then asked for its first track.
    for (int adds : {1000, 4000, 8000, 100000}) {
        if (adds > count)
            break;
        TtagPlaylist playlist;
        playlist.SetRandomise(true);
        timer.start();
        for (int i = 0; i < adds; ++i)
            playlist.Add(library.MasterList().Items(i));
        playlist.NextRecord();
        report(QStringLiteral("randomised playlist, %1 adds").arg(adds).toLatin1().constData(), timer,
               QStringLiteral("(one by one, then the first pick)"));
    }

    // A stacker of 20,000 tracks, filled as a user fills it, album by album:
    // a change rebuilds its index and play list.
    if (count >= 20000) {
        TcdStacker stacker(dir.path());
        stacker.Library().SuspendRebuild();
        for (int a = 0; a < library.AlbumList().Count() && stacker.Library().MasterList().Count() < 20000; ++a) {
            for (const TcustomTagger *record : library.AlbumList().Albums(a)->Records())
                stacker.Library().MasterList().AddCopy(record);
        }
        timer.start();
        stacker.Library().ResumeRebuild();
        report("stacker of 20,000: a change", timer,
               QStringLiteral("(index and play list rebuilt, %1 albums)").arg(stacker.Library().AlbumList().Count()));
        TtagAlbum *album = stacker.Library().AlbumList().Albums(0);
        timer.start();
        stacker.DeleteNode(album->Items(0), static_cast<TcustomTaggerList *>(album));
        report("stacker of 20,000: delete a track", timer);
        timer.start();
        stacker.PlayList().NextRecord();
        report("stacker of 20,000: next track", timer, QStringLiteral("(draws the order)"));
    }

    // An album of 20,000 files queued at once: a guest's request or a D-Bus
    // call waits for this to end, as the queue takes no events meanwhile.
    if (count >= 20000) {
        TtaggerList album;
        for (int i = 0; i < 20000; ++i) {
            auto *record = new Tid3Tagger;
            record->SetFilename(dir.filePath(QStringLiteral("%1.mp3").arg(i)));
            QFile(record->Filename()).open(QIODevice::WriteOnly);
            album.Add(record);
        }
        TtaggerQueue queue;
        timer.start();
        queue.AddExisting(album);
        report("queue an album of 20,000", timer, QStringLiteral("(%1 queued)").arg(queue.Count()));
    }

    const char *const names[] = {"tsNone",     "tsTrack",   "tsAlbum",      "tsArtist",  "tsTitle",
                                 "tsComment",  "tsYear",    "tsBitRate",    "tsSampleRate", "tsDuration",
                                 "tsGenre",    "tsTimeStamp", "tsChannelMode"};
    for (int type = tsTrack; type <= tsChannelMode; ++type) {
        if (type == tsTimeStamp)
            continue;
        timer.start();
        library.MasterList().SortBy(TtagSortType(type));
        report(QStringLiteral("SortBy %1").arg(QLatin1StringView(names[type])).toLatin1().constData(), timer);
    }

    std::printf("%-34s %10.0f bytes (records and texts)\n", "memory per record after load", (afterLoad - before) / count);
    std::printf("%-34s %10.0f bytes (with the index and random order)\n", "memory per record after rebuild",
                (afterRebuild - before) / count);
    std::printf("%-34s %10.0f bytes after load, %.0f after rebuild\n", "heap in use per record",
                (heapAfterLoad - heapBefore) / count, (heapAfterRebuild - heapBefore) / count);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {100000, 1000000};
    std::printf("sizeof(Tid3Tagger) = %zu bytes\n", sizeof(Tid3Tagger));
    for (int count : counts)
        run(count);
    return 0;
}
