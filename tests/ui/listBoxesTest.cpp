#include "library/taggerQueue.h"
#include "listsFixtures.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/lists/jukeboxTree.h"
#include "ui/lists/listDrag.h"
#include "ui/lists/listScrollPairing.h"
#include "ui/lists/queueList.h"
#include "ui/lists/songList.h"
#include "ui/skinArt/builtInSkin.h"
#include "widgetPixels.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

std::vector<RecordSpec> Numbered(int count)
{
    std::vector<RecordSpec> specs;
    for (int i = 0; i < count; ++i) {
        specs.push_back({ QStringLiteral("Track %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("Nordwave"),
            QStringLiteral("Long"), QStringLiteral("/m/long/%1.mp3").arg(i), quint32(i + 1), 61000 });
    }
    return specs;
}

// A queue of the first count records of the library, shown in a queue list
// whose moves go to the queue, as the window's do.
struct QueueFixture {
    explicit QueueFixture(int count)
    {
        FillLibrary(library, Numbered(count));
        for (int i = 0; i < count; ++i)
            queue.Add(library.MasterList().Items(i));
        queue.SetDisplayType(tdQueue);
        list.OnMoveTrack = [this](QObject *sender, int from, int to) {
            EXPECT_EQ(sender, &list);
            moves.emplace_back(from, to);
            queue.Move(from, to);
            list.Refill(queue);
        };
        list.Refill(queue);
        ShowAndWait(list, QSize(300, 200));
    }

    // Sends a drag of data over the list and drops it at pos; whether the
    // list took it.
    bool Drop(const TlistDrag &drag, QPoint pos)
    {
        std::unique_ptr<QMimeData> data(MakeListDragData(drag));
        QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
        QDropEvent drop(pos, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &drop);
        return drop.isAccepted();
    }
    QPoint RowCentre(int row) { return list.visualRect(list.Rows().index(row)).center(); }
    QString Title(int row) { return queue.Items(row)->Title(); }

    Tmp3JukeBoxLists library;
    TtaggerQueue queue;
    TqueueList list;
    std::vector<std::pair<int, int>> moves;
};

} // namespace

TEST(SongList, ShowsAListInItsOwnFormAndHandsOverRecordsInOrder)
{
    Tmp3JukeBoxLists library;
    FillLibrary(library, SampleLibrary());
    TjukeboxTree tree;
    tree.Refill(library, false);
    tree.Select(tree.Nodes().Find({ "<N>", "Nordwave", "Fjord" }));
    TsongList songs;
    songs.Fill(*tree.SelectedTrackList());
    ASSERT_EQ(songs.Count(), 2);
    EXPECT_EQ(songs.Rows().Rows().Strings(0), "01: North");
    EXPECT_EQ(songs.Rows().Rows().Strings(1), "02: Sound");
    EXPECT_EQ(songs.selectionMode(), QAbstractItemView::ExtendedSelection);

    tree.Select(tree.Nodes().Find({ "<N>", "Nordwave" }));
    songs.Fill(*tree.SelectedTrackList());
    ASSERT_EQ(songs.Count(), 3);
    EXPECT_EQ(songs.Rows().Rows().Strings(0), "North") << "an artist shows titles";

    QItemSelectionModel *selection = songs.selectionModel();
    selection->select(songs.Rows().index(2), QItemSelectionModel::Select);
    selection->select(songs.Rows().index(0), QItemSelectionModel::Select);
    const std::vector<TcustomTagger *> chosen = songs.TakeSelectedRecords();
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0], songs.Record(0)) << "in list order, not in the order chosen";
    EXPECT_EQ(chosen[1], songs.Record(2));
    EXPECT_TRUE(selection->selectedIndexes().isEmpty()) << "each row is deselected as it is taken";
    EXPECT_TRUE(songs.TakeSelectedRecords().empty());

    selection->select(songs.Rows().index(1), QItemSelectionModel::Select);
    const std::vector<TcustomTagger *> all = songs.TakeAllRecords();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1], songs.Record(1));
    EXPECT_TRUE(selection->selectedIndexes().isEmpty());

    songs.DropLibrary();
    EXPECT_EQ(songs.Count(), 0);
    EXPECT_TRUE(songs.TakeAllRecords().empty());
}

TEST(SongList, RowsShowTheTrackPictureAndACentredText)
{
    Tmp3JukeBoxLists library;
    FillLibrary(library, SampleLibrary());
    TsongList songs;
    songs.Fill(library.MasterList());
    ShowAndWait(songs, QSize(300, 300));
    const QImage track = BuiltInTreeImage(7);
    const int textHeight = songs.fontMetrics().height();
    ASSERT_LT(textHeight, track.height() + 8) << "the list's 16-pixel font";
    const int h = track.height() + 8;
    EXPECT_EQ(songs.visualRect(songs.Rows().index(0)).height(), h);
    EXPECT_EQ(songs.visualRect(songs.Rows().index(1)).top(), h);

    songs.selectionModel()->select(songs.Rows().index(1), QItemSelectionModel::Select);
    const QImage shot = Grab(songs);
    QImage expected(track.size(), QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter(&expected).drawImage(0, 0, track);
    EXPECT_EQ(shot.copy(0, 4, 16, 16), expected) << "at the row's left, centred";
    EXPECT_EQ(shot.pixel(songs.width() - 1, h + 1), SystemColor(clHighlight).rgb()) << "a selected row is highlit";

    // The text: 4 pixels right of the picture, centred in the row.
    const int offset = int(std::lrint((h - textHeight) / 2.0));
    EXPECT_EQ(songs.TextLeft(), 20);
    EXPECT_EQ(songs.TextTop(), offset);
    const auto inkRows = [&](int rowTop, QRgb background) {
        int first = -1;
        int last = -1;
        for (int y = rowTop; y < rowTop + h; ++y)
            for (int x = 16; x < songs.width(); ++x)
                if (shot.pixel(x, y) != background) {
                    first = first < 0 ? y : first;
                    last = y;
                }
        return std::make_pair(first, last);
    };
    const auto [first, last] = inkRows(0, qRgb(0, 0, 0));
    EXPECT_GE(first, offset);
    EXPECT_LT(last, offset + textHeight);
    int leftmost = songs.width();
    for (int y = 0; y < h; ++y)
        for (int x = 16; x < songs.width(); ++x)
            if (shot.pixel(x, y) != qRgb(0, 0, 0))
                leftmost = std::min(leftmost, x);
    EXPECT_GE(leftmost, 20);
    EXPECT_LE(leftmost, 22);

    // A font taller than the picture makes the rows taller.
    QFont large = songs.font();
    large.setPixelSize(40);
    songs.setFont(large);
    QApplication::processEvents();
    EXPECT_EQ(songs.visualRect(songs.Rows().index(0)).height(), QFontMetrics(large).height());
}

TEST(QueueList, ShowsTheQueueInBoldAndKeepsItsPlaceAcrossARefill)
{
    QueueFixture fixture(40);
    TqueueList &list = fixture.list;
    EXPECT_TRUE(list.font().bold());
    EXPECT_EQ(list.Rows().Rows().Strings(0), "001: Track 000 - Nordwave [1:01]");
    EXPECT_EQ(list.Record(39), fixture.queue.Items(39));

    list.verticalScrollBar()->setValue(10);
    list.SetSelectedRow(12);
    EXPECT_EQ(list.SelectedRow(), 12);
    fixture.queue.Delete(0);
    list.Refill(fixture.queue);
    EXPECT_EQ(list.Count(), 39);
    EXPECT_EQ(list.verticalScrollBar()->value(), 10);
    EXPECT_EQ(list.SelectedRow(), 12);
    EXPECT_EQ(list.Rows().Rows().Strings(0), "001: Track 001 - Nordwave [1:01]");

    list.SetSelectedRow(-1);
    EXPECT_EQ(list.SelectedRow(), -1);
    fixture.queue.Clear();
    list.Refill(fixture.queue);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectedRow(), -1);
}

TEST(QueueList, ARowDroppedMovesItsTrackAndStaysSelected)
{
    QueueFixture fixture(5);
    TqueueList &list = fixture.list;

    // Below the last row means the last row.
    const QPoint below(10, list.visualRect(list.Rows().index(4)).bottom() + 20);
    ASSERT_FALSE(list.indexAt(below).isValid());
    ASSERT_TRUE(fixture.Drop({ dsQueue, 1, 0 }, below));
    ASSERT_EQ(fixture.moves.size(), 1u);
    EXPECT_EQ(fixture.moves[0], std::make_pair(0, 4));
    EXPECT_EQ(fixture.Title(4), "Track 000");
    EXPECT_EQ(fixture.Title(0), "Track 001");
    EXPECT_EQ(list.SelectedRow(), 4) << "the row that now holds the track";

    ASSERT_TRUE(fixture.Drop({ dsQueue, 1, 3 }, fixture.RowCentre(1)));
    EXPECT_EQ(fixture.moves.back(), std::make_pair(3, 1));
    EXPECT_EQ(fixture.Title(1), "Track 004");
    EXPECT_EQ(list.SelectedRow(), 1);

    // A row dropped on itself moves nothing.
    ASSERT_TRUE(fixture.Drop({ dsQueue, 1, 2 }, fixture.RowCentre(2)));
    EXPECT_EQ(fixture.moves.size(), 2u);

    // While a row is dragged, the row under the mouse is the current row.
    std::unique_ptr<QMimeData> data(MakeListDragData({ dsQueue, 1, 0 }));
    QDragEnterEvent enter(fixture.RowCentre(0), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QDragMoveEvent over(fixture.RowCentre(3), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &over);
    EXPECT_TRUE(over.isAccepted());
    EXPECT_EQ(list.SelectedRow(), 3);
    QDragLeaveEvent leave;
    QApplication::sendEvent(list.viewport(), &leave);
    EXPECT_EQ(fixture.moves.size(), 2u);
}

TEST(QueueList, TracksFromTheOtherListsAreForTheWindowToQueue)
{
    QueueFixture fixture(3);
    TqueueList &list = fixture.list;
    int dropped = 0;
    list.OnDropTracks = [&](QObject *sender) {
        EXPECT_EQ(sender, &list);
        ++dropped;
    };
    EXPECT_TRUE(fixture.Drop({ dsSongList, 2, -1 }, fixture.RowCentre(1)));
    EXPECT_TRUE(fixture.Drop({ dsTree, 1, -1 }, fixture.RowCentre(0)));
    EXPECT_EQ(dropped, 2);
    EXPECT_TRUE(fixture.moves.empty());

    EXPECT_FALSE(fixture.Drop({ dsSongList, 0, -1 }, fixture.RowCentre(1))) << "a drag of nothing";
    EXPECT_FALSE(fixture.Drop({ dsQueue, 1, 7 }, fixture.RowCentre(1))) << "no such queue row";
    QMimeData text;
    text.setText(QStringLiteral("/m/long/1.mp3"));
    QDragEnterEvent enter(fixture.RowCentre(0), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted()) << "only the jukebox's own lists drop here";
    EXPECT_EQ(dropped, 2);
    EXPECT_EQ(fixture.queue.Count(), 3);
}

TEST(ListDrag, DataNamesItsSourceAndNothingElseReadsAsADrag)
{
    for (const TlistDrag &drag :
        { TlistDrag { dsTree, 1, -1 }, TlistDrag { dsSongList, 12, -1 }, TlistDrag { dsQueue, 1, 41 } }) {
        std::unique_ptr<QMimeData> data(MakeListDragData(drag));
        const std::optional<TlistDrag> read = ReadListDrag(data.get());
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->source, drag.source);
        EXPECT_EQ(read->rows, drag.rows);
        EXPECT_EQ(read->row, drag.row);
    }
    QMimeData garbage;
    EXPECT_FALSE(ReadListDrag(&garbage));
    garbage.setData(QStringLiteral("application/x-vorlen-list-drag"), "queue 1");
    EXPECT_FALSE(ReadListDrag(&garbage));
    garbage.setData(QStringLiteral("application/x-vorlen-list-drag"), "pantry 1 2");
    EXPECT_FALSE(ReadListDrag(&garbage));
    EXPECT_FALSE(ReadListDrag(nullptr));
    EXPECT_NE(DragCursor(true).toImage(), DragCursor(false).toImage()) << "one item or several";
}

TEST(ListScrollPairing, TheBarFollowsALongListAndMovesIt)
{
    QueueFixture fixture(100);
    TqueueList &list = fixture.list;
    TvorlenScrollBar bar;
    TlistScrollPairing pairing(&list, &bar, TlistScrollPairing::plList);
    list.resize(300, 205);
    QApplication::processEvents();
    EXPECT_FALSE(list.verticalScrollBar()->isVisible());

    // The list's range is 0 ... 99 (its rows); 205 div the row height fit.
    const int rowHeight = list.RowHeight();
    const int fit = 205 / rowHeight;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 99 - fit + 1);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.LargeStep(), 10) << "the lists keep the bar's own large step";

    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(bar.Value(), bar.Max());
    list.verticalScrollBar()->setValue(30);
    EXPECT_EQ(bar.Value(), 30);

    bar.SetValue(55);
    EXPECT_EQ(list.verticalScrollBar()->value(), 55);
    EXPECT_EQ(list.indexAt(QPoint(5, 1)).row(), 55) << "the bar's value is the top row";

    // A taller list fits more rows; a list that fits on its page leaves the
    // bar the least range it has.
    list.resize(300, 405);
    QApplication::processEvents();
    EXPECT_EQ(bar.Max(), 99 - 405 / rowHeight + 1);
    fixture.queue.BeginUpdate();
    while (fixture.queue.Count() > 3)
        fixture.queue.Delete(fixture.queue.Count() - 1);
    fixture.queue.EndUpdate();
    list.Refill(fixture.queue);
    QApplication::processEvents();
    EXPECT_EQ(bar.Max(), 1);
    EXPECT_EQ(bar.Value(), 0);
    bar.SetValue(1);
    EXPECT_EQ(list.verticalScrollBar()->value(), 0);
    EXPECT_EQ(bar.Value(), 0) << "the list cannot go there, so the bar comes back";
}

TEST(ListScrollPairing, TheTreesBarPagesByTheRowsThatFitLessOne)
{
    Tmp3JukeBoxLists library;
    FillLibrary(library, Numbered(300));
    TjukeboxTree tree;
    TvorlenScrollBar bar;
    TlistScrollPairing pairing(&tree, &bar, TlistScrollPairing::plTree);
    tree.Refill(library, true);
    ShowAndWait(tree, QSize(300, 250));
    tree.expand(tree.Model().IndexOf(tree.LetterNodes()['T' - 'A']));
    QApplication::processEvents();

    // 28 letter nodes, then the 300 tracks of '<T>' and the last letters.
    const int rows = 28 + 300;
    const int fit = 250 / tree.RowHeight();
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), rows - 1 + 1 - fit);
    EXPECT_EQ(bar.LargeStep(), fit - 1);
    bar.SetValue(bar.Max());
    EXPECT_EQ(tree.verticalScrollBar()->value(), bar.Max());
    const QModelIndex bottom = tree.indexAt(QPoint(5, fit * tree.RowHeight() - 1));
    EXPECT_EQ(tree.Nodes().Text(tree.Model().NodeAt(bottom)), "<no name>") << "the last row is at the bottom";

    tree.collapse(tree.Model().IndexOf(tree.LetterNodes()['T' - 'A']));
    QApplication::processEvents();
    EXPECT_EQ(bar.Max(), std::max(28 - fit, 1));
    EXPECT_LE(bar.Value(), bar.Max());
}
