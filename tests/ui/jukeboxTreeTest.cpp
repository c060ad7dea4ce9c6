#include "ui/lists/jukeboxTree.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "listsFixtures.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/lists/songList.h"
#include "ui/lists/treeNodeLook.h"
#include "ui/skinArt/builtInSkin.h"
#include "widgetPixels.h"

#include <QPainter>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// The library tree of the sample library, without a window.
struct SampleTree {
    explicit SampleTree(bool byTitle)
    {
        FillLibrary(library, SampleLibrary());
        if (byTitle)
            library.MasterList().SetDisplayType(tdTitleArtist);
        library.FillLibraryTree(nodes, byTitle, roots);
    }
    TtreeNode At(const QStringList &path) const
    {
        const TtreeNode node = nodes.Find(path);
        EXPECT_TRUE(node.IsValid()) << path.join(u'/').toStdString();
        return node;
    }
    QString Note(const QStringList &path, bool byTitle = false) const
    {
        const TtreeNode node = At(path);
        return node.IsValid() ? TreeNodeAnnotation(nodes, node, byTitle) : QStringLiteral("(missing)");
    }

    Tmp3JukeBoxLists library;
    TtreeNodes nodes;
    QList<TtreeNode> roots;
};

// A shown tree of the sample library, whose tracks read "Title - Artist" by
// title, as the core's library does.
struct ShownTree {
    explicit ShownTree(bool byTitle, QSize size = QSize(420, 400))
    {
        library.MasterList().SetDisplayType(tdTitleArtist);
        FillLibrary(library, SampleLibrary());
        tree.Refill(library, byTitle);
        ShowAndWait(tree, size);
    }
    QModelIndex IndexOf(const QStringList &path) { return tree.Model().IndexOf(tree.Nodes().Find(path)); }
    void Open(const QStringList &path) { tree.expand(IndexOf(path)); }

    Tmp3JukeBoxLists library;
    TjukeboxTree tree;
};

QRgb Rgb(const QColor &color)
{
    return color.rgb();
}

} // namespace

TEST(TreeNodeLook, CountsFollowEachNodeAsTheWindowShowsThem)
{
    SampleTree artists(false);
    EXPECT_EQ(artists.Note({ "<N>" }), "  (2 artists)");
    EXPECT_EQ(artists.Note({ "<Q>" }), "  (1 artist)");
    EXPECT_EQ(artists.Note({ "<Z>" }), "  (0 artists)");
    EXPECT_EQ(artists.Note({ "<no name>" }), "");
    EXPECT_EQ(artists.Note({ "<no name>", "Files" }), "  (1 track)");
    EXPECT_EQ(artists.Note({ "<Compilations>" }), "  (1 album)");
    EXPECT_EQ(artists.Note({ "<Compilations>", "Summer" }), "  (2 tracks  [3:00])");
    EXPECT_EQ(artists.Note({ "<N>", "Nightjar" }), "  (1 album, 1 track)");
    EXPECT_EQ(artists.Note({ "<N>", "Nightjar", "Solo" }), "  (1 track   [3:05])");
    EXPECT_EQ(artists.Note({ "<N>", "Nordwave" }), "  (2 albums, 3 tracks)");
    EXPECT_EQ(artists.Note({ "<N>", "Nordwave", "Fjord" }), "  (2 tracks  [5:00])");
    EXPECT_EQ(artists.Note({ "<L>", "Lanterns" }), "  (2 tracks)") << "an artist without albums";
    EXPECT_EQ(artists.Note({ "<K>", "Kestrel" }), "  (1 track)") << "its album is a compilation";

    SampleTree tracks(true);
    EXPECT_EQ(tracks.Note({ "<S>" }, true), "  (2 tracks)");
    EXPECT_EQ(tracks.Note({ "<A>" }, true), "  (1 track)");
    EXPECT_EQ(tracks.Note({ "<other>" }, true), "  (3 tracks)");
    EXPECT_EQ(tracks.Note({ "<no name>" }, true), "");
    EXPECT_EQ(tracks.Note({ "<S>", "South - Nordwave" }, true), "");
}

TEST(TreeNodeLook, PicturesFollowKindAndState)
{
    SampleTree artists(false);
    TtreeNodes &nodes = artists.nodes;
    const auto image = [&](const QStringList &path) { return TreeNodeImageIndex(nodes, artists.At(path)); };
    EXPECT_EQ(image({ "<N>" }), 0);
    EXPECT_EQ(image({ "<Z>" }), 2);
    EXPECT_EQ(image({ "<N>", "Nordwave" }), 3);
    EXPECT_EQ(image({ "<N>", "Nordwave", "Fjord" }), 5);

    nodes.Expand(artists.At({ "<N>", "Nordwave" }));
    EXPECT_EQ(image({ "<N>" }), 1) << "opened with its child";
    EXPECT_EQ(image({ "<N>", "Nordwave" }), 4);
    nodes.Collapse(artists.At({ "<N>", "Nordwave" }));
    nodes.Collapse(artists.At({ "<N>" }));
    nodes.Select(artists.At({ "<N>", "Nordwave" }));
    EXPECT_EQ(image({ "<N>", "Nordwave" }), 4);
    EXPECT_EQ(image({ "<N>" }), 0);
    nodes.Select(artists.At({ "<N>", "Nordwave", "Fjord" }));
    EXPECT_EQ(image({ "<N>", "Nordwave", "Fjord" }), 6);
    EXPECT_EQ(image({ "<N>", "Nordwave" }), 3);
    nodes.Select(artists.At({ "<N>" }));
    EXPECT_EQ(image({ "<N>" }), 1);
    nodes.Select(artists.At({ "<Z>" }));
    EXPECT_EQ(image({ "<Z>" }), 2) << "an empty letter stays empty when selected";

    SampleTree tracks(true);
    ASSERT_TRUE(tracks.At({ "<S>", "South - Nordwave" }).IsValid());
    EXPECT_EQ(TreeNodeImageIndex(tracks.nodes, tracks.At({ "<S>", "South - Nordwave" })), 7);
}

TEST(JukeboxTree, LetterKeysSelectTheirLetterOtherKeysWorkAsInAnyTree)
{
    ShownTree shown(true);
    TjukeboxTree &tree = shown.tree;
    ASSERT_EQ(tree.LetterNodes().size(), TjukeboxTree::kLetterNodes);
    EXPECT_EQ(tree.Nodes().Text(tree.LetterNodes()[TjukeboxTree::kOtherNode]), "<other>");
    EXPECT_FALSE(tree.LetterNodes()[TjukeboxTree::kCompilationsNode].IsValid()) << "no compilations by title";

    QTest::keyClick(&tree, Qt::Key_Q);
    EXPECT_EQ(tree.Selected(), tree.LetterNodes()['Q' - 'A']);
    EXPECT_TRUE(tree.viewport()->rect().intersects(tree.visualRect(tree.currentIndex())));
    QTest::keyClick(&tree, Qt::Key_W, Qt::ShiftModifier);
    EXPECT_EQ(tree.Selected(), tree.LetterNodes()['W' - 'A']);
    QTest::keyClick(&tree, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(tree.Selected(), tree.LetterNodes()['W' - 'A']) << "Ctrl+letter is a command of the window";

    // A digit searches the node texts as any tree does.
    tree.Select(shown.tree.Nodes().Find({ "<other>", "2 Become 1 - Quartz" }));
    QTest::keyClick(&tree, Qt::Key_1);
    const TtreeNode found = tree.Selected();
    ASSERT_TRUE(found.IsValid());
    EXPECT_EQ(tree.Nodes().Parent(found), tree.LetterNodes()[TjukeboxTree::kOtherNode]);
    EXPECT_TRUE(tree.Nodes().Text(found).startsWith(u'1')) << tree.Nodes().Text(found).toStdString();

    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_NE(tree.Selected(), found) << "arrows move as in any tree";
}

TEST(JukeboxTree, TellsTheWindowWhatWasChosenAndLetsOnlyTracksBeDragged)
{
    ShownTree shown(false);
    TjukeboxTree &tree = shown.tree;
    std::vector<TtreeNode> changes;
    int clicks = 0;
    int doubleClicks = 0;
    int expansions = 0;
    tree.OnChange = [&](QObject *sender, TtreeNode node) {
        EXPECT_EQ(sender, &tree);
        changes.push_back(node);
    };
    tree.OnClick = [&](QObject *) {
        ++clicks;
        EXPECT_EQ(tree.Nodes().Text(tree.Selected()), "Nordwave") << "the click's node is selected first";
    };
    tree.OnDblClick = [&](QObject *) { ++doubleClicks; };
    tree.OnExpanded = [&](QObject *, TtreeNode) { ++expansions; };

    shown.Open({ "<N>" });
    EXPECT_EQ(expansions, 1);
    const QRect nordwave = tree.visualRect(shown.IndexOf({ "<N>", "Nordwave" }));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, nordwave.center());
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(tree.Nodes().Text(changes[0]), "Nordwave");
    auto *artist = dynamic_cast<TtagArtist *>(tree.SelectedTrackList());
    ASSERT_NE(artist, nullptr);
    EXPECT_EQ(artist->Artist(), "Nordwave");
    EXPECT_EQ(tree.SelectedTrack(), nullptr);
    EXPECT_FALSE(tree.dragEnabled());

    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, nordwave.center());
    EXPECT_EQ(doubleClicks, 1);

    tree.Select(tree.Nodes().Find({ "<N>", "Nordwave", "Fjord" }));
    auto *album = dynamic_cast<TtagAlbum *>(tree.SelectedTrackList());
    ASSERT_NE(album, nullptr);
    EXPECT_EQ(album->AlbumName(), "Fjord");
    tree.Select(tree.LetterNodes()['N' - 'A']);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(tree.SelectedObject()));

    tree.Refill(shown.library, true);
    tree.Select(tree.Nodes().Find({ "<S>", "South - Nordwave" }));
    ASSERT_NE(tree.SelectedTrack(), nullptr);
    EXPECT_EQ(tree.SelectedTrack()->Title(), "South");
    EXPECT_TRUE(tree.dragEnabled());
    tree.Select(TtreeNode());
    EXPECT_FALSE(tree.Selected().IsValid());
    EXPECT_FALSE(tree.dragEnabled());
}

// What the window does when the library changes: the lists let go of the
// library at the announcement, the library frees its records and albums, and
// the lists are painted before the refill. Under the address sanitizer any
// touch of a freed record fails here.
TEST(JukeboxTree, ListsLetGoOfALibraryThatChangesAndComeBackWhereTheUserWas)
{
    Tmp3JukeBoxLists library;
    FillLibrary(library, SampleLibrary());
    QWidget host;
    TjukeboxTree tree(&host);
    tree.setGeometry(0, 0, 400, 400);
    TsongList songs(&host);
    songs.setGeometry(400, 0, 300, 400);
    tree.Refill(library, false);
    ShowAndWait(host, QSize(700, 400));
    const QStringList fjordPath { "<N>", "Nordwave", "Fjord" };
    tree.Select(tree.Nodes().Find(fjordPath));
    songs.Fill(*tree.SelectedTrackList());
    ASSERT_EQ(songs.Count(), 2);
    const QRect fjordRow = tree.visualRect(tree.currentIndex());
    const QImage before = Grab(tree).copy(fjordRow);

    tree.DropLibrary();
    songs.DropLibrary();
    std::vector<RecordSpec> changed = SampleLibrary();
    changed.push_back({ QStringLiteral("Spray"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
        QStringLiteral("/m/n/f/3.mp3"), 3, 60000 });
    FillLibrary(library, changed);
    Grab(host);
    EXPECT_EQ(tree.Nodes().Count(), 0);
    EXPECT_EQ(songs.Count(), 0);
    EXPECT_FALSE(tree.LetterNodes()['N' - 'A'].IsValid());
    QTest::keyClick(&tree, Qt::Key_N);
    EXPECT_FALSE(tree.Selected().IsValid());

    tree.Refill(library, false);
    EXPECT_EQ(tree.Nodes().Path(tree.Selected()), fjordPath);
    EXPECT_TRUE(tree.isExpanded(tree.Model().IndexOf(tree.Nodes().Find({ "<N>", "Nordwave" }))));
    EXPECT_EQ(dynamic_cast<TtagAlbum *>(tree.SelectedTrackList())->Count(), 3);
    const QRect refilledRow = tree.visualRect(tree.currentIndex());
    EXPECT_NE(Grab(tree).copy(refilledRow), before) << "the album's counts are drawn anew";
}

TEST(JukeboxTree, RowsAreDrawnPixelForPixel)
{
    ShownTree shown(false);
    TjukeboxTree &tree = shown.tree;
    shown.Open({ "<N>", "Nightjar" });
    shown.Open({ "<N>", "Nordwave" });
    tree.Select(tree.Nodes().Find({ "<N>", "Nordwave", "Bay" }));
    tree.scrollTo(shown.IndexOf({ "<N>" }), QAbstractItemView::PositionAtTop);
    const QImage shot = Grab(tree);

    const int h = tree.RowHeight();
    ASSERT_EQ(h % 2, 0) << "the dotted lines of consecutive rows join up";
    const QRgb line = Rgb(SystemColor(clHighlight));
    const QRgb back = qRgb(0, 0, 0);
    const QRgb ink = Rgb(QColor(60, 166, 230));
    const int cy = h / 2;
    const auto top = [&](const QStringList &path) {
        const QRect row = tree.visualRect(shown.IndexOf(path));
        EXPECT_EQ(row.height(), h);
        return row.top();
    };
    const auto at = [&](int x, int y) { return shot.pixel(x, y); };

    // Nightjar: level 1, open, followed by Nordwave. Its centre is (9, h / 2).
    const int nightjar = top({ "<N>", "Nightjar" });
    for (int y = 0; y < h; ++y) {
        if (y >= cy - 4 && y <= cy + 4)
            continue;
        EXPECT_EQ(at(9, nightjar + y), y % 2 == 0 ? line : back) << "vertical line, row y " << y;
    }
    for (int x = 5; x <= 13; ++x) {
        for (int y = cy - 4; y <= cy + 4; ++y) {
            const bool minus = y == cy && x >= 7 && x <= 11;
            EXPECT_EQ(at(x, nightjar + y), minus ? ink : line) << "box pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(at(4, nightjar + cy), back);
    for (int x = 14; x < 19; ++x)
        EXPECT_EQ(at(x, nightjar + cy), x % 2 == 0 ? line : back) << "line to the picture, x " << x;
    EXPECT_EQ(at(19, nightjar + cy), back);

    // Solo, Nightjar's album: Nightjar's own line runs past it to Nordwave.
    const int solo = top({ "<N>", "Nightjar", "Solo" });
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(at(9, solo + y), y % 2 == 0 ? line : back) << "ancestor's line, row y " << y;
    for (int x = 28; x < 38; ++x)
        EXPECT_EQ(at(x, solo + cy), x % 2 == 0 ? line : back) << "no box: the line starts at the centre";
    EXPECT_EQ(at(28, solo + cy + 1), back) << "the last child's line ends at its centre";

    // Nordwave, the last artist, open: a minus without the plus's bar, and
    // no line below its box.
    const int nordwave = top({ "<N>", "Nordwave" });
    EXPECT_EQ(at(9, nordwave + cy - 2), line);
    EXPECT_EQ(at(9, nordwave + cy), ink);
    for (int y = cy + 5; y < h; ++y)
        EXPECT_EQ(at(9, nordwave + y), back);

    // Bay and Fjord: Bay's line runs on into Fjord's, dot for dot; Nordwave
    // has no sibling below, so no line passes at x 9.
    const int bay = top({ "<N>", "Nordwave", "Bay" });
    const int fjord = top({ "<N>", "Nordwave", "Fjord" });
    ASSERT_EQ(fjord, bay + h);
    for (int y = bay; y < fjord + cy; ++y)
        EXPECT_EQ(at(28, y), (y - bay) % 2 == 0 ? line : back) << "y " << y;
    for (int y = fjord + cy + 1; y < fjord + h; ++y)
        EXPECT_EQ(at(28, y), back);
    for (int y = bay; y < fjord + h; ++y)
        EXPECT_EQ(at(9, y), back);

    // Pictures: 4 pixels right of the indent, centred in the row, over the
    // tree's colour; the letter nodes' at x 4.
    const auto picture = [&](int index) {
        QImage expected(16, 16, QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter painter(&expected);
        painter.drawImage(0, 0, BuiltInTreeImage(index));
        return expected;
    };
    const int pictureTop = (h - 16) / 2;
    EXPECT_EQ(shot.copy(42, fjord + pictureTop, 16, 16), picture(5));
    EXPECT_EQ(shot.copy(42, bay + pictureTop, 16, 16), picture(6)) << "the selected album";
    EXPECT_EQ(shot.copy(23, nordwave + pictureTop, 16, 16), picture(4));
    EXPECT_EQ(shot.copy(4, top({ "<N>" }) + pictureTop, 16, 16), picture(1));

    // The selected node's text starts 3 pixels right of its picture, on the
    // highlight colour from the top of the row.
    const int textLeft = 42 + 16 + 3;
    EXPECT_EQ(tree.RowPainter().TextLeft(tree.Nodes().Find({ "<N>", "Nordwave", "Bay" })), textLeft);
    EXPECT_EQ(at(textLeft, bay), line);
    EXPECT_EQ(at(textLeft - 1, bay), back);
    EXPECT_EQ(at(textLeft, fjord), back) << "an unselected text is on the tree's colour";
}

TEST(JukeboxTree, CountsStandOnTheBaselineOfTheNodeText)
{
    ShownTree shown(false);
    TjukeboxTree &tree = shown.tree;
    // A row of one letter and its counts: the lowest ink of the "W" and of
    // the letters "artist" (not the brackets, which reach below) is the same
    // row of pixels.
    const TtreeNode w = tree.LetterNodes()['W' - 'A'];
    tree.scrollTo(tree.Model().IndexOf(w), QAbstractItemView::PositionAtTop);
    const QImage shot = Grab(tree);
    const QRect row = tree.visualRect(tree.Model().IndexOf(w));
    const QColor detail(224, 224, 224);
    const auto lowestInk = [&](int fromX, int toX) {
        int lowest = -1;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = fromX; x < toX; ++x)
                if (shot.pixel(x, y) != qRgb(0, 0, 0))
                    lowest = y;
        return lowest;
    };
    const QFontMetrics treeFont(tree.RowPainter().TreeFont());
    QFont detailFont(QStringLiteral("Arial"));
    detailFont.setPointSize(8);
    detailFont.setBold(true);
    const QFontMetrics detailMetrics(detailFont);
    const int textLeft = tree.RowPainter().TextLeft(w);
    const int wLeft = textLeft + treeFont.horizontalAdvance(QStringLiteral("<"));
    const int wBottom = lowestInk(wLeft, wLeft + treeFont.horizontalAdvance(QStringLiteral("W")));
    const int noteLeft
        = textLeft + int(std::ceil(QFontMetricsF(tree.RowPainter().TreeFont()).horizontalAdvance("<W>")));
    const int wordLeft = noteLeft + detailMetrics.horizontalAdvance(QStringLiteral("  (0 "));
    const int wordBottom = lowestInk(wordLeft, wordLeft + detailMetrics.horizontalAdvance(QStringLiteral("artist")));
    ASSERT_GT(wBottom, row.top());
    ASSERT_GT(wordBottom, row.top());
    EXPECT_LE(std::abs(wBottom - wordBottom), 1) << wBottom << " " << wordBottom;
}
