// The jukebox window's library tree over a library made in memory (default
// 100,000 tracks of 3,000 artists on 8,000 albums):
//  - a refill, as after a library change (the tree emptied, then filled from
//    the library), in the artist view and in the all-tracks view, alone and
//    with the first paint that follows; also with a letter of thousands of
//    tracks open and a track selected, which the refill opens again
//    (targets: all-tracks view under 300 ms, artist view under 100 ms);
//  - scrolling the all-tracks view one screen at a time, each scroll with its
//    repaint, over rows seen for the first time and over rows seen before
//    (target: under 16 ms a screen);
//  - heap allocations of painting rows in the steady state (target: none):
//    the row drawing alone, and whole repaints of the tree against a tree
//    view of the same rows that draws nothing, which is what Qt's repaint
//    costs by itself. Counted on the GUI thread by a replaced operator new
//    and the C allocator's entry points (Qt's containers use malloc).
//   bench-ui-lists [TRACKS]
#include "allocationCount.h"
#include "library/mp3JukeBoxLists.h"
#include "metadata/id3Tagger.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/lists/jukeboxTree.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <new>
#include <vector>


namespace {

constexpr int kArtists = 3000;
constexpr int kAlbums = 8000;
constexpr QSize kTreeSize(700, 1000);

// A fixed sequence of pseudo-random numbers, the same on every run.
class Sequence {
public:
    quint32 Next(quint32 bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32((m_state >> 33) % bound);
    }

private:
    quint64 m_state = 20261207;
};

QString Word(Sequence &sequence)
{
    static const char *const starts[]
        = { "b", "c", "d", "f", "g", "h", "j", "k", "l", "m", "n", "p", "r", "s", "t", "v", "w", "qu", "y", "z" };
    static const char *const rests[] = { "ake", "ello", "ind", "orrow", "ust", "ight", "ane", "ever", "ox", "ule" };
    QString word = QLatin1StringView(starts[sequence.Next(20)]) + QLatin1StringView(rests[sequence.Next(10)]);
    word[0] = word[0].toUpper();
    return word;
}

QString Words(Sequence &sequence, int count)
{
    QString text = Word(sequence);
    for (int i = 1; i < count; ++i)
        text += u' ' + Word(sequence);
    return text;
}

void BuildLibrary(Tmp3JukeBoxLists &library, int tracks)
{
    Sequence sequence;
    QStringList artists;
    for (int i = 0; i < kArtists; ++i)
        artists.append(Words(sequence, 1 + int(sequence.Next(2))) + QString::number(i));
    QStringList albums;
    for (int i = 0; i < kAlbums; ++i)
        albums.append(Words(sequence, 1 + int(sequence.Next(3))));
    library.SuspendRebuild();
    for (int i = 0; i < tracks; ++i) {
        const int album = int(sequence.Next(kAlbums));
        auto *record = new Tid3Tagger;
        record->SetTitle(Words(sequence, 1 + int(sequence.Next(4))));
        record->SetArtist(artists[album % kArtists]);
        record->SetAlbum(albums[album]);
        record->SetTrack(quint32(1 + i % 20));
        record->SetFilename(
            QStringLiteral("/home/listener/Music/%1/%2/%3.mp3").arg(album % kArtists).arg(album).arg(i));
        record->SetDuration(120000 + sequence.Next(240000));
        record->SetValidTag(true);
        library.MasterList().Add(record);
    }
    library.ResumeRebuild();
}

double CpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Timing {
    double cpuMs = 0;
    double wallMs = 0;
};

Timing Time(const std::function<void()> &step)
{
    QElapsedTimer wall;
    const double cpu = CpuMs();
    wall.start();
    step();
    return { CpuMs() - cpu, wall.nsecsElapsed() / 1e6 };
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Runs of a step: the median and the least of each clock.
void ReportRuns(const char *what, int runs, const std::function<void()> &prepare, const std::function<void()> &step)
{
    std::vector<double> cpu;
    std::vector<double> wall;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const Timing timing = Time(step);
        cpu.push_back(timing.cpuMs);
        wall.push_back(timing.wallMs);
    }
    std::printf("%-52s median %7.1f ms cpu %7.1f ms wall   least %7.1f ms cpu\n", what, Median(cpu), Median(wall),
        *std::min_element(cpu.begin(), cpu.end()));
}

void PaintNow(QAbstractItemView &view)
{
    QApplication::processEvents();
    view.viewport()->repaint();
}

long CountAllocationsOf(const std::function<void()> &step)
{
    return CountAllocations(step).total();
}

// A tree view of the same rows that draws nothing: what a repaint costs
// before any row is drawn.
class TblankTree : public QTreeView {
public:
    TblankTree()
    {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHeaderHidden(true);
        setUniformRowHeights(true);
        setRootIsDecorated(false);
        setFrameShape(QFrame::NoFrame);
    }

protected:
    void drawRow(QPainter *, const QStyleOptionViewItem &, const QModelIndex &) const override { }
};

// The letter with the most tracks in the all-tracks view.
TtreeNode LargestLetter(const TjukeboxTree &tree)
{
    TtreeNode largest;
    for (const TtreeNode letter : tree.LetterNodes()) {
        if (letter.IsValid()
            && (!largest.IsValid() || tree.Nodes().ChildCount(letter) > tree.Nodes().ChildCount(largest)))
            largest = letter;
    }
    return largest;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int tracks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    constexpr int kRuns = 5;

    Tmp3JukeBoxLists library;
    // As the core's library: all-tracks rows read "Title - Artist".
    library.MasterList().SetDisplayType(tdTitleArtist);
    const Timing built = Time([&] { BuildLibrary(library, tracks); });
    std::printf("bench-ui-lists: %d tracks, %d albums, %d artist keys (library built in %.0f ms)\n", tracks,
        library.AlbumList().Count(), library.ArtistList().Count(), built.wallMs);
    std::printf("tree %d x %d, GUI thread\n\n", kTreeSize.width(), kTreeSize.height());

    TjukeboxTree tree;
    tree.resize(kTreeSize);
    tree.show();
    tree.Refill(library, false);
    PaintNow(tree);

    const auto drop = [&] {
        tree.DropLibrary();
        PaintNow(tree);
    };
    ReportRuns("refill, artist view", kRuns, drop, [&] { tree.Refill(library, false); });
    ReportRuns("refill + first paint, artist view", kRuns, drop, [&] {
        tree.Refill(library, false);
        PaintNow(tree);
    });
    ReportRuns("refill, all-tracks view", kRuns, drop, [&] { tree.Refill(library, true); });
    ReportRuns("refill + first paint, all-tracks view", kRuns, drop, [&] {
        tree.Refill(library, true);
        PaintNow(tree);
    });

    const TtreeNode largest = LargestLetter(tree);
    const QString largestText = tree.Nodes().Text(largest);
    const int largestCount = tree.Nodes().ChildCount(largest);
    tree.expand(tree.Model().IndexOf(largest));
    tree.Select(tree.Nodes().Child(largest, largestCount / 2));
    PaintNow(tree);
    char openCase[96];
    std::snprintf(openCase, sizeof openCase, "refill + first paint, all-tracks, %s open (%d)", qPrintable(largestText),
        largestCount);
    ReportRuns(openCase, kRuns, drop, [&] {
        tree.Refill(library, true);
        PaintNow(tree);
    });

    // Scrolling a screen at a time from the top of the open letter.
    QScrollBar *bar = tree.verticalScrollBar();
    const int screens = std::min(200, (bar->maximum() - bar->minimum()) / std::max(1, bar->pageStep()));
    const auto scrollScreens = [&](int from, int count, int direction) {
        std::vector<Timing> timings;
        for (int i = 0; i < count; ++i) {
            bar->setValue(from + direction * i * bar->pageStep());
            timings.push_back(Time([&] {
                bar->setValue(from + direction * (i + 1) * bar->pageStep());
                tree.viewport()->repaint();
            }));
        }
        return timings;
    };
    tree.scrollTo(tree.Model().IndexOf(largest), QAbstractItemView::PositionAtTop);
    PaintNow(tree);
    const int start = bar->value();
    const std::vector<Timing> firstSight = scrollScreens(start, screens, 1);
    const int back = std::min(screens, 20);
    const std::vector<Timing> seenBefore = scrollScreens(bar->value(), back, -1);
    const auto printScroll = [&](const char *what, const std::vector<Timing> &timings) {
        std::vector<double> cpu;
        std::vector<double> wall;
        for (const Timing &timing : timings) {
            cpu.push_back(timing.cpuMs);
            wall.push_back(timing.wallMs);
        }
        std::printf("%-52s cpu median %6.2f ms max %6.2f ms   wall median %6.2f ms max %6.2f ms\n", what, Median(cpu),
            *std::max_element(cpu.begin(), cpu.end()), Median(wall), *std::max_element(wall.begin(), wall.end()));
    };
    std::printf("\nscrolling %s a screen (%d rows) at a time, each scroll with its repaint:\n", qPrintable(largestText),
        bar->pageStep());
    printScroll("rows seen first", firstSight);
    printScroll("rows seen before", seenBefore);

    // Allocations: the rows of the screen drawn through the tree's delegate,
    // then whole repaints, against the blank tree of the same rows.
    PaintNow(tree);
    QImage target(kTreeSize, QImage::Format_ARGB32_Premultiplied);
    std::vector<QModelIndex> rows;
    for (int y = 0; y < tree.viewport()->height(); y += tree.RowHeight()) {
        const QModelIndex index = tree.indexAt(QPoint(1, y));
        if (index.isValid())
            rows.push_back(index);
    }
    QPainter painter(&target);
    const auto drawRows = [&] {
        QStyleOptionViewItem option;
        for (const QModelIndex &index : rows) {
            const QRect visual = tree.visualRect(index);
            option.rect = QRect(0, visual.top(), tree.viewport()->width(), visual.height());
            tree.itemDelegate()->paint(&painter, option, index);
        }
    };
    constexpr int kPaints = 200;
    drawRows();
    long rowAllocations = 0;
    for (int i = 0; i < kPaints; ++i)
        rowAllocations += CountAllocationsOf(drawRows);

    TblankTree blank;
    blank.setModel(&tree.Model());
    blank.resize(kTreeSize);
    blank.setIndentation(tree.indentation());
    blank.expand(tree.Model().IndexOf(largest));
    blank.verticalScrollBar()->setValue(bar->value());
    blank.show();
    PaintNow(blank);
    long treeAllocations = 0;
    long blankAllocations = 0;
    for (int i = 0; i < kPaints; ++i) {
        treeAllocations += CountAllocationsOf([&] { tree.viewport()->repaint(); });
        blankAllocations += CountAllocationsOf([&] { blank.viewport()->repaint(); });
    }
    std::printf("\nallocations, %d paints of the %zu rows of a screen seen before:\n", kPaints, rows.size());
    std::printf("  %-50s %8ld  (%.2f per screen; target 0)\n", "the rows drawn by the tree's delegate", rowAllocations,
        double(rowAllocations) / kPaints);
    std::printf("  %-50s %8ld  (%.2f per repaint)\n", "repaints of the tree", treeAllocations,
        double(treeAllocations) / kPaints);
    std::printf("  %-50s %8ld  (%.2f per repaint)\n", "repaints of a tree of the same rows drawing none",
        blankAllocations, double(blankAllocations) / kPaints);
    blank.setModel(nullptr);
    return 0;
}
