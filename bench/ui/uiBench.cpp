// The jukebox window over a library cache of N tracks (default 100,000), on
// the offscreen platform, built as the program builds it: the time from the
// start of the process to the window's first paint, the resident memory
// and the heap in use then, the tree refilled in both views, a partial
// change of the library taken in place in both views (a new album of 20
// tracks, then its folder moved), and one screen of the tree scrolled and
// repainted.
//   bench-ui [N]
#include "benchLibrary.h"
#include "libraryEditor.h"

#include "app/appUserInterface.h"
#include "core/dmMain.h"
#include "metadata/id3Tagger.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/lists/jukeboxTree.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>
#include <utility>

namespace {

// How long this process has run, from the kernel's own record of its start.
double processAgeMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (upSeconds - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

class TfirstPaint : public QObject {
public:
    bool painted = false;
    double ageMs = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            ageMs = processAgeMs();
        }
        return false;
    }
};

template <typename F>
double timeMs(F &&step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

// A new album of 20 tracks by an artist the library has, its titles spread
// over the letters.
std::vector<TcustomTagger *> newAlbum(const Tmp3JukeBoxLists &library, int round)
{
    QRandomGenerator random(quint32(round + 1));
    const QString artist = library.MasterList().Items(library.MasterList().Count() / 2)->Artist();
    std::vector<TcustomTagger *> records;
    for (int i = 0; i < 20; ++i) {
        auto *record = new Tid3Tagger;
        record->SetTitle(RandomWord(random, 4, 12));
        record->SetArtist(artist);
        record->SetAlbum(QStringLiteral("Bench Album %1").arg(round));
        record->SetFilename(QStringLiteral("/bench/new-%1/%2.mp3").arg(round).arg(i + 1));
        record->SetTrack(quint32(i + 1));
        record->SetDuration(200000);
        records.push_back(record);
    }
    return records;
}

// The window's LibraryChanged, and the layout and paint that follow it.
struct ChangeTimes {
    double call = 0;
    double shown = 0;
};

ChangeTimes takeChange(TfrmJukebox &window, QAbstractScrollArea *tree, TlibraryChanges changes)
{
    ChangeTimes times;
    times.call = timeMs([&] { window.LibraryChanged(changes); });
    times.shown = timeMs([&] {
        QApplication::processEvents();
        tree->viewport()->repaint();
    });
    return times;
}

// The bench plays the part of the library's folder watch: it edits the core's
// library in place and hands each change to the window itself, so that what
// is timed is the window's part.
void measureLibraryChanged(TfrmJukebox &window, TdmMain &core, QAbstractScrollArea *tree)
{
    auto &library = const_cast<Tmp3JukeBoxLists &>(core.jblMain());
    const auto announce = std::exchange(library.OnLibraryChanged, nullptr);
    LibraryEditor editor(library);
    for (int round = 0; round < 3; ++round) {
        ChangeTimes added[2];
        ChangeTimes moved[2];
        for (int view = 0; view < 2; ++view) {
            window.SetShowTrackList(view == 0);
            // The user's place: a letter open, a node in it chosen and on top.
            TjukeboxLists &lists = window.Lists();
            const TtreeNode letter = lists.LetterNodes().value(12);
            lists.TreeNodes().Expand(letter);
            lists.Tree().Select(lists.TreeNodes().Child(letter, lists.TreeNodes().ChildCount(letter) / 2));
            QApplication::processEvents();

            const std::vector<TcustomTagger *> records = newAlbum(library, round * 2 + view);
            for (TcustomTagger *record : records)
                editor.Add(record);
            added[view] = takeChange(window, tree, editor.Take());
            for (TcustomTagger *record : records)
                editor.Move(record, QStringLiteral("/bench/moved-%1/").arg(round * 2 + view) + record->NameInFolder());
            moved[view] = takeChange(window, tree, editor.Take());
            for (TcustomTagger *record : records)
                editor.Remove(record);
            takeChange(window, tree, editor.Take());
        }
        std::printf("  LibraryChanged, 20 tracks added:   %7.2f ms all-tracks view (+%.1f ms laid out, painted); "
                    "artist view %.2f ms (+%.1f ms)\n",
                    added[0].call, added[0].shown, added[1].call, added[1].shown);
        std::printf("  LibraryChanged, 20-track folder moved: %5.2f ms all-tracks view (+%.1f ms laid out, painted); "
                    "artist view %.2f ms (+%.1f ms)\n",
                    moved[0].call, moved[0].shown, moved[1].call, moved[1].shown);
    }
    library.OnLibraryChanged = announce;
}

int measure(int argc, char **argv, const QString &home)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VORLEN_HOME", home.toLocal8Bit());
    QApplication app(argc, argv);
    // Any part of the window painted counts: the window itself is covered
    // by its panels and gets no paint of its own.
    TfirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    TfrmJukebox window;
    TappUserInterface ui(&window);
    TdmMainOptions options;
    options.engine.manualPump = true;
    options.cdDrives = [] { return QList<CdDrive>{}; };
    TdmMain core(ui, options);
    window.SetCore(&core);
    core.LoadSettings();
    window.show();
    QElapsedTimer patience;
    patience.start();
    while ((!firstPaint.painted || core.jblMain().MasterList().Count() == 0) && patience.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    app.removeEventFilter(&firstPaint);
    const double startedMs = processAgeMs();
    const long residentKiB = ResidentKiB();

    std::printf("bench-ui: %d tracks, %d albums, %d artist keys\n", core.jblMain().MasterList().Count(),
                core.jblMain().AlbumList().Count(), core.jblMain().ArtistList().Count());
    std::printf("  process start to first paint:      %7.1f ms  (target < 1000 ms)\n", firstPaint.ageMs);
    std::printf("  process start to library shown:    %7.1f ms\n", startedMs);
    std::printf("  resident memory then:              %7.1f MB  (target < 150 MB)\n", double(residentKiB) / 1024.0);
    // What the program holds, apart from what the allocator keeps resident
    // after a passing peak.
    const struct mallinfo2 heap = mallinfo2();
    std::printf("  heap in use then:                  %7.1f MB\n", double(heap.uordblks + heap.hblkhd) / 1048576.0);

    for (int round = 0; round < 3; ++round) {
        window.SetShowTrackList(true);
        const double allTracks = timeMs([&] { window.ListsUpdated(); });
        window.SetShowTrackList(false);
        const double byArtist = timeMs([&] { window.ListsUpdated(); });
        std::printf("  ListsUpdated, all-tracks view:     %7.1f ms  (target < 300 ms);  artist view %6.1f ms "
                    "(target < 100 ms)\n",
                    allTracks, byArtist);
    }

    auto *tree = dynamic_cast<QAbstractScrollArea *>(&window.Lists().TreeView());
    if (tree)
        measureLibraryChanged(window, core, tree);

    window.SetShowTrackList(true);
    window.ListsUpdated();
    if (tree) {
        for (TtreeNode letter : window.Lists().LetterNodes())
            window.Lists().TreeNodes().Expand(letter);
        QApplication::processEvents();
        QScrollBar *bar = tree->verticalScrollBar();
        double worst = 0;
        double total = 0;
        const int screens = 40;
        for (int i = 0; i < screens; ++i) {
            const double ms = timeMs([&] {
                bar->setValue(bar->value() + bar->pageStep());
                tree->viewport()->repaint();
            });
            worst = std::max(worst, ms);
            total += ms;
        }
        std::printf("  one screen of the tree scrolled:   %7.2f ms mean, %.2f ms worst (target < 16 ms)\n",
                    total / screens, worst);
    }
    std::fflush(stdout);
    window.SetCore(nullptr);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--measure")
        return measure(argc, argv, QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral("Data")));
    WriteLibraryCache(home.filePath(QStringLiteral("Data/jukebox.dat")), count);
    // No tips at start: a modal dialog would stop the measurement.
    QFile ini(home.filePath(QStringLiteral("vorlen.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[General]\nShowTips=0\n");
    ini.close();
    // Measured in a process of its own, started afresh, as the program is.
    return QProcess::execute(app.applicationFilePath(), {QStringLiteral("--measure"), home.path()});
}
