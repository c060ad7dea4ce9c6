// The jukebox tree, the song list and the search follow a partial change of
// the library in place: after each of many random changes the tree is what a
// refill of the changed library makes, and the user's open and selected
// nodes stay where they were.
#include "../support/libraryEditor.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "listsFixtures.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/lists/jukeboxTree.h"
#include "ui/lists/outOfReach.h"
#include "ui/lists/songList.h"

#include <QAbstractItemModelTester>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

// A node as the test knows it across changes: its object, or the text of a
// letter node, with those of its ancestors.
QStringList keyPath(const TtreeNodes &nodes, TtreeNode node)
{
    QStringList path;
    for (; node.IsValid(); node = nodes.Parent(node)) {
        const quintptr pointer = std::visit(
            [](const auto &object) -> quintptr {
                if constexpr (std::is_pointer_v<std::decay_t<decltype(object)>>)
                    return quintptr(object);
                else
                    return 0;
            },
            nodes.Object(node));
        path.prepend(pointer ? QString::number(pointer) : nodes.Text(node));
    }
    return path;
}

TtreeNode findKeyPath(const TtreeNodes &nodes, const QStringList &path)
{
    TtreeNode node;
    for (const QString &key : path) {
        TtreeNode found;
        for (int row = 0; row < nodes.ChildCount(node) && !found.IsValid(); ++row)
            if (keyPath(nodes, nodes.Child(node, row)).last() == key)
                found = nodes.Child(node, row);
        if (!found.IsValid())
            return TtreeNode();
        node = found;
    }
    return node;
}

// Compares the children of two nodes, and theirs, and says where they differ.
void expectSameTree(const TtreeNodes &shown, TtreeNode a, const TtreeNodes &fresh, TtreeNode b, const QString &where)
{
    ASSERT_EQ(shown.ChildCount(a), fresh.ChildCount(b)) << where.toStdString();
    for (int row = 0; row < shown.ChildCount(a); ++row) {
        const TtreeNode x = shown.Child(a, row);
        const TtreeNode y = fresh.Child(b, row);
        const QString here = where + u'/' + fresh.Text(y);
        ASSERT_EQ(shown.Text(x), fresh.Text(y)) << here.toStdString();
        ASSERT_EQ(shown.Kind(x), fresh.Kind(y)) << here.toStdString();
        ASSERT_TRUE(shown.Object(x) == fresh.Object(y)) << here.toStdString();
        ASSERT_EQ(shown.Row(x), row) << here.toStdString();
        ASSERT_EQ(shown.Level(x), fresh.Level(y)) << here.toStdString();
        ASSERT_EQ(OutOfReach(shown, x), OutOfReach(fresh, y)) << here.toStdString();
        expectSameTree(shown, x, fresh, y, here);
    }
}

// Names that meet in one letter, sort alike or differ only in case, an
// artist filed under "…, The" too, and records without title, artist or
// album.
const QStringList kArtists { QStringLiteral("Nordwave"), QStringLiteral("Nightjar"), QStringLiteral("The Lanterns"),
    QStringLiteral("Lanterns"), QStringLiteral("Kestrel"), QStringLiteral("osprey"), QStringLiteral("Äther"), QString(),
    QStringLiteral("The Zed") };
const QStringList kAlbums { QStringLiteral("Fjord"), QStringLiteral("Bay"), QString(), QStringLiteral("Solo") };
const QStringList kTitles { QStringLiteral("North"), QStringLiteral("north"), QStringLiteral("Sound"),
    QStringLiteral("1999"), QStringLiteral("Ébène"), QString(), QStringLiteral("Glow"), QStringLiteral("Alone"),
    QStringLiteral("Zoo"), QStringLiteral("Lantern light") };

class RandomChanges : public ::testing::TestWithParam<bool> {
protected:
    template <typename T> const T &pick(const QList<T> &list) { return list[qsizetype(rng() % quint32(list.size()))]; }
    QString folder(const QString &artist, const QString &album)
    {
        return QStringLiteral("/m/%1/%2/").arg(artist, album.isEmpty() ? QStringLiteral("loose") : album);
    }
    RecordSpec randomSpec()
    {
        const QString artist = pick(kArtists);
        const QString album = pick(kAlbums);
        QString title = pick(kTitles);
        if (!title.isEmpty() && rng() % 2)
            title += u' ' + QString::number(rng() % 5);
        return RecordSpec { title, artist, album,
            folder(artist, album) + QString::number(++files) + QStringLiteral(".mp3"), quint32(rng() % 4),
            double(rng() % 300000) };
    }
    // A change of a few records, each named once; often the first is the
    // track the user chose.
    void randomChange(LibraryEditor &editor, TcustomTagger *chosen)
    {
        std::vector<TcustomTagger *> records = library.MasterList().Records();
        std::shuffle(records.begin(), records.end(), rng);
        if (chosen && rng() % 2)
            std::iter_swap(std::find(records.begin(), records.end(), chosen), records.end() - 1);
        const int count = 1 + int(rng() % 5);
        for (int i = 0; i < count; ++i) {
            TcustomTagger *record = records.empty() ? nullptr : records.back();
            const int kind = record ? int(rng() % 5) : 0;
            if (kind > 0)
                records.pop_back();
            switch (kind) {
            case 0:
                editor.Add(MakeRecord(randomSpec()));
                break;
            case 1:
                editor.Remove(record);
                break;
            case 2:
                // Often a title that stays in its place.
                editor.Retitle(record, rng() % 2 ? pick(kTitles) : record->Title() + u'!');
                break;
            case 3:
                // Into another folder or renamed in its own.
                editor.Move(record,
                    rng() % 2 ? folder(record->Artist(), record->Album() + QString::number(rng() % 2))
                            + record->NameInFolder()
                              : record->Folder() + QString::number(++files) + QStringLiteral(".mp3"));
                break;
            default:
                editor.SetUnavailable(record, !record->Unavailable());
                break;
            }
        }
    }
    // Opens a few nodes with children and selects one node, by the view.
    void placeUser(TjukeboxTree &tree)
    {
        const TtreeNodes &nodes = tree.Nodes();
        std::vector<TtreeNode> all;
        for (qint32 i = 0; i < nodes.Count(); ++i)
            if (nodes.IsNode(TtreeNode(i)))
                all.push_back(TtreeNode(i));
        for (int i = 0; i < 3; ++i) {
            const TtreeNode node = all[rng() % all.size()];
            if (nodes.HasChildren(node))
                tree.expand(tree.Model().IndexOf(node));
        }
        tree.setCurrentIndex(tree.Model().IndexOf(all[rng() % all.size()]));
    }

    std::mt19937 rng { 20261208 };
    int files = 0;
    Tmp3JukeBoxLists library;
};

TEST_P(RandomChanges, TheTreeTakenInPlaceIsTheRefilledTreeAndTheUserStaysWhereHeWas)
{
    const bool byTitle = GetParam();
    library.MasterList().SetDisplayType(tdTitleArtist);
    std::vector<RecordSpec> specs;
    for (int i = 0; i < 120; ++i)
        specs.push_back(randomSpec());
    FillLibrary(library, specs);
    TjukeboxTree tree;
    QAbstractItemModelTester tester(&tree.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    tree.Refill(library, byTitle);
    ShowAndWait(tree, QSize(420, 400));
    LibraryEditor editor(library);

    for (int step = 0; step < 60; ++step) {
        placeUser(tree);
        std::vector<QStringList> expanded;
        for (qint32 i = 0; i < tree.Nodes().Count(); ++i)
            if (tree.Nodes().IsNode(TtreeNode(i)) && tree.Nodes().Expanded(TtreeNode(i)))
                expanded.push_back(keyPath(tree.Nodes(), TtreeNode(i)));
        const QStringList selected = keyPath(tree.Nodes(), tree.Selected());

        randomChange(editor, tree.SelectedTrack());
        const TlibraryChanges changes = editor.Take();
        tree.LibraryChanged(library, changes);

        TtreeNodes fresh;
        QList<TtreeNode> roots;
        library.FillLibraryTree(fresh, byTitle, roots);
        const QString where = QStringLiteral("step %1").arg(step);
        expectSameTree(tree.Nodes(), TtreeNode(), fresh, TtreeNode(), where);
        if (HasFatalFailure())
            return;
        for (const QStringList &path : expanded) {
            if (!findKeyPath(fresh, path).IsValid())
                continue;
            const TtreeNode node = findKeyPath(tree.Nodes(), path);
            EXPECT_TRUE(tree.Nodes().Expanded(node)) << where.toStdString();
            EXPECT_TRUE(tree.isExpanded(tree.Model().IndexOf(node))) << where.toStdString();
        }
        if (!selected.isEmpty() && findKeyPath(fresh, selected).IsValid()) {
            const TtreeNode node = findKeyPath(tree.Nodes(), selected);
            EXPECT_EQ(tree.Selected(), node) << where.toStdString();
            EXPECT_EQ(tree.currentIndex(), tree.Model().IndexOf(node)) << where.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ByArtistAndByTitle, RandomChanges, ::testing::Values(false, true));

// Two neighbouring tracks retitled at once: the search for the second's new
// title finds it alone next to the first, whose node still stands where its
// old title put it, and is not fooled into leaving the second there.
TEST(LibraryChanged, NeighboursRetitledTogetherBothTakeTheirNewPlaces)
{
    Tmp3JukeBoxLists library;
    library.MasterList().SetDisplayType(tdTitleArtist);
    std::vector<RecordSpec> specs;
    for (const char *title : { "Mb", "Mc", "Md", "Me" })
        specs.push_back(RecordSpec { QString::fromLatin1(title), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
            QStringLiteral("/m/%1.mp3").arg(QLatin1StringView(title)) });
    FillLibrary(library, specs);
    TjukeboxTree tree;
    tree.Refill(library, true);
    const TtreeNode letter = tree.LetterNodes()[12];
    const auto track
        = [&](int row) { return std::get<TcustomTagger *>(tree.Nodes().Object(tree.Nodes().Child(letter, row))); };

    LibraryEditor editor(library);
    TcustomTagger *first = track(1);
    TcustomTagger *second = track(2);
    editor.Retitle(first, QStringLiteral("Ma"));
    editor.Retitle(second, QStringLiteral("Mab"));
    tree.LibraryChanged(library, editor.Take());

    QStringList titles;
    for (int row = 0; row < tree.Nodes().ChildCount(letter); ++row)
        titles.append(track(row)->Title());
    EXPECT_EQ(titles,
        QStringList({ QStringLiteral("Ma"), QStringLiteral("Mab"), QStringLiteral("Mb"), QStringLiteral("Me") }));
}

// The song list shows an album anew when a track of it is read again, with
// the same tracks selected, and lets the album go when it went.
TEST(LibraryChanged, TheSongListShowsItsAlbumAnewAndLetsGoOfAnAlbumThatWent)
{
    Tmp3JukeBoxLists library;
    FillLibrary(library, SampleLibrary());
    TsongList songs;
    ShowAndWait(songs, QSize(300, 300));
    TtagAlbum *fjord = library.ArtistList().FindArtist(QStringLiteral("Nordwave"))->AlbumList().Albums(1);
    ASSERT_EQ(fjord->AlbumName(), QStringLiteral("Fjord"));
    songs.Fill(*fjord);
    ASSERT_EQ(songs.Count(), 2);
    songs.selectionModel()->select(songs.Rows().index(1), QItemSelectionModel::Select);
    TcustomTagger *selected = songs.Record(1);
    TcustomTagger *other = songs.Record(0);

    LibraryEditor editor(library);
    editor.Retitle(other, QStringLiteral("Northern"));
    songs.LibraryChanged(editor.Take());
    QStringList texts;
    for (int row = 0; row < songs.Count(); ++row)
        texts.append(songs.Rows().Rows().Strings(row));
    EXPECT_TRUE(texts.join(u'|').contains(QStringLiteral("Northern")));
    const QModelIndexList rows = songs.selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(songs.Record(rows[0].row()), selected);

    editor.Remove(selected);
    editor.Remove(other);
    songs.LibraryChanged(editor.Take());
    EXPECT_EQ(songs.Count(), 0);
}

} // namespace
