#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/treeNodes.h"
#include "testRecords.h"

#include <gtest/gtest.h>

namespace {

void fill(Tmp3JukeBoxLists &library, const std::vector<RecordSpec> &specs)
{
    library.SuspendRebuild();
    library.Clear();
    for (const RecordSpec &spec : specs)
        library.MasterList().Add(MakeRecord(spec));
    library.ResumeRebuild();
}

std::vector<RecordSpec> twoArtists()
{
    return {{QStringLiteral("North"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
             QStringLiteral("/m/n/1.mp3"), 1, 1000},
            {QStringLiteral("South"), QStringLiteral("Nordwave"), QStringLiteral("Bay"), QStringLiteral("/m/b/1.mp3"),
             1, 1000},
            {QStringLiteral("Glow"), QStringLiteral("Lanterns"), QStringLiteral("Lit"), QStringLiteral("/m/l/1.mp3"),
             1, 1000}};
}

} // namespace

TEST(TreeNodes, NodesKnowTheirKindLevelAndPlace)
{
    Tmp3JukeBoxLists library;
    fill(library, twoArtists());
    TtreeNodes tree;
    QList<TtreeNode> roots;
    library.FillLibraryTree(tree, false, roots);
    ASSERT_EQ(roots.size(), 29);
    EXPECT_EQ(tree.ChildCount(TtreeNode()), 29);

    const TtreeNode n = roots['N' - 'A'];
    EXPECT_EQ(tree.Kind(n), TtreeNodeKind::Letter);
    EXPECT_EQ(tree.Level(n), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(tree.Object(n)));
    const TtreeNode nordwave = tree.Child(n, 0);
    EXPECT_EQ(tree.Kind(nordwave), TtreeNodeKind::Artist);
    EXPECT_EQ(tree.Level(nordwave), 1);
    EXPECT_EQ(tree.Parent(nordwave), n);
    ASSERT_EQ(tree.ChildCount(nordwave), 2);
    const TtreeNode bay = tree.Child(nordwave, 0);
    EXPECT_EQ(tree.Kind(bay), TtreeNodeKind::Album);
    EXPECT_EQ(tree.Level(bay), 2);
    EXPECT_EQ(tree.Row(tree.Child(nordwave, 1)), 1);
    EXPECT_TRUE(tree.HasNextSibling(bay));
    EXPECT_FALSE(tree.HasNextSibling(tree.Child(nordwave, 1)));
    EXPECT_FALSE(tree.HasChildren(bay));
    EXPECT_EQ(tree.Path(bay), (QStringList{"<N>", "Nordwave", "Bay"}));
    EXPECT_EQ(tree.Find({"<N>", "Nordwave", "Bay"}), bay);
    EXPECT_FALSE(tree.Find({"<N>", "Nordwave", "Gone"}).IsValid());
    auto *album = dynamic_cast<TtagAlbum *>(std::get<TcustomTaggerList *>(tree.Object(bay)));
    ASSERT_NE(album, nullptr);
    EXPECT_EQ(album->AlbumName(), QStringLiteral("Bay"));
    EXPECT_FALSE(tree.Child(nordwave, 2).IsValid());

    library.FillLibraryTree(tree, true, roots);
    const TtreeNode south = tree.Child(roots['S' - 'A'], 0);
    EXPECT_EQ(tree.Kind(south), TtreeNodeKind::Track);
    EXPECT_EQ(tree.Level(south), 1);

    TtreeNodes albums;
    library.FillAlbumTree(albums, false, true);
    EXPECT_EQ(albums.Kind(albums.Child(TtreeNode(), 0)), TtreeNodeKind::Album);
    EXPECT_EQ(albums.Kind(albums.Child(albums.Child(TtreeNode(), 0), 0)), TtreeNodeKind::Track);
}

TEST(TreeNodes, ARefillKeepsTheSelectionAndTheOpenNodesThatStillExist)
{
    Tmp3JukeBoxLists library;
    fill(library, twoArtists());
    TtreeNodes tree;
    int resets = 0;
    int selections = 0;
    tree.OnBeginReset = [&] { ++resets; };
    tree.OnSelect = [&](TtreeNode) { ++selections; };
    QList<TtreeNode> roots;
    library.FillLibraryTree(tree, false, roots);
    EXPECT_EQ(resets, 1);

    const TtreeNode fjord = tree.Find({"<N>", "Nordwave", "Fjord"});
    tree.Expand(fjord);
    EXPECT_TRUE(tree.Expanded(tree.Find({"<N>", "Nordwave"}))) << "its ancestors open with it";
    EXPECT_TRUE(tree.Expanded(roots['N' - 'A']));
    tree.Select(fjord);
    EXPECT_EQ(selections, 1);

    // A rescan that added a track: the user's place stays.
    std::vector<RecordSpec> more = twoArtists();
    more.push_back({QStringLiteral("Dawn"), QStringLiteral("Aurora"), QStringLiteral("Sky"),
                    QStringLiteral("/m/a/1.mp3"), 1, 1000});
    fill(library, more);
    library.FillLibraryTree(tree, false, roots);
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(tree.Path(tree.Selected()), (QStringList{"<N>", "Nordwave", "Fjord"}));
    EXPECT_TRUE(tree.Expanded(tree.Find({"<N>", "Nordwave"})));
    EXPECT_FALSE(tree.Expanded(roots['L' - 'A']));
    EXPECT_EQ(selections, 1) << "a restored selection is no new choice of the user";

    // The album is gone: no selection, the artist stays open.
    std::vector<RecordSpec> fewer = twoArtists();
    fewer.erase(fewer.begin());
    fill(library, fewer);
    library.FillLibraryTree(tree, false, roots);
    EXPECT_FALSE(tree.Selected().IsValid());
    EXPECT_TRUE(tree.Expanded(tree.Find({"<N>", "Nordwave"})));

    tree.Collapse(roots['N' - 'A']);
    EXPECT_FALSE(tree.Expanded(roots['N' - 'A']));
    tree.Select(TtreeNode(tree.Count() + 5));
    EXPECT_FALSE(tree.Selected().IsValid());
    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(resets, 4);
}

TEST(TreeNodes, ATreeEmptiedForALibraryChangeReopensAtTheRefill)
{
    Tmp3JukeBoxLists library;
    fill(library, twoArtists());
    TtreeNodes tree;
    QList<TtreeNode> roots;
    library.FillLibraryTree(tree, false, roots);
    tree.Select(tree.Find({"<N>", "Nordwave", "Bay"}));
    tree.Expand(tree.Find({"<L>", "Lanterns"}));

    // The window lets go of the library's objects before the library changes.
    tree.ClearKeepingOpenNodes();
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_FALSE(tree.Selected().IsValid());
    fill(library, twoArtists());
    library.FillLibraryTree(tree, false, roots);
    EXPECT_EQ(tree.Path(tree.Selected()), (QStringList{"<N>", "Nordwave", "Bay"}));
    EXPECT_TRUE(tree.Expanded(tree.Find({"<L>", "Lanterns"})));
    EXPECT_FALSE(tree.Expanded(roots['A' - 'A']));

    // What was remembered is used once; a plain emptying remembers nothing.
    tree.Clear();
    library.FillLibraryTree(tree, false, roots);
    EXPECT_FALSE(tree.Selected().IsValid());
    EXPECT_FALSE(tree.Expanded(tree.Find({"<L>", "Lanterns"})));
}
