#include "ui/controls/treeNodesModel.h"
#include "library/mp3JukeBoxLists.h"
#include "metadata/id3Tagger.h"

#include <QAbstractItemModelTester>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

void fill(Tmp3JukeBoxLists &library, int albums)
{
    library.SuspendRebuild();
    library.Clear();
    for (int a = 0; a < albums; ++a) {
        for (int t = 1; t <= 3; ++t) {
            auto *record = new Tid3Tagger;
            record->SetTitle(QStringLiteral("Song %1-%2").arg(a).arg(t));
            record->SetArtist(a % 2 ? QStringLiteral("Nordwave") : QStringLiteral("Lanterns"));
            record->SetAlbum(QStringLiteral("Album %1").arg(a));
            record->SetTrack(quint32(t));
            record->SetFilename(QStringLiteral("/m/%1/%2.mp3").arg(a).arg(t));
            library.MasterList().Add(record);
        }
    }
    library.ResumeRebuild();
}

} // namespace

TEST(TreeNodesModel, AViewFollowsTheNodesAndTheNodesFollowTheView)
{
    Tmp3JukeBoxLists library;
    fill(library, 4);
    TtreeNodes nodes;
    TtreeNodesModel model(nodes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QTreeView view;
    model.Attach(&view);
    QList<TtreeNode> roots;
    library.FillLibraryTree(nodes, false, roots);
    ASSERT_EQ(model.rowCount(), 29);

    const QModelIndex n = model.index('N' - 'A', 0);
    EXPECT_EQ(model.data(n).toString(), QStringLiteral("<N>"));
    EXPECT_EQ(model.NodeAt(n), roots['N' - 'A']);
    const QModelIndex nordwave = model.index(0, 0, n);
    EXPECT_EQ(model.data(nordwave).toString(), QStringLiteral("Nordwave"));
    EXPECT_EQ(model.parent(nordwave), n);
    EXPECT_EQ(model.data(nordwave, TtreeNodesModel::KindRole).toInt(), int(TtreeNodeKind::Artist));
    EXPECT_EQ(model.data(nordwave, TtreeNodesModel::LevelRole).toInt(), 1);
    EXPECT_EQ(model.rowCount(nordwave), 2);

    // The user opens the artist and picks an album in the view.
    view.expand(n);
    view.expand(nordwave);
    EXPECT_TRUE(nodes.Expanded(model.NodeAt(nordwave)));
    const QModelIndex album = model.index(1, 0, nordwave);
    view.setCurrentIndex(album);
    EXPECT_EQ(nodes.Selected(), model.NodeAt(album));

    // A refill (the library was rescanned) keeps both in the view.
    fill(library, 6);
    library.FillLibraryTree(nodes, false, roots);
    const QModelIndex current = view.currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(nodes.Path(model.NodeAt(current)), (QStringList { "<N>", "Nordwave", "Album 3" }));
    EXPECT_TRUE(view.isExpanded(model.IndexOf(nodes.Find({ "<N>", "Nordwave" }))));

    // The nodes lead: a letter key selects a letter node.
    nodes.Select(roots['L' - 'A']);
    EXPECT_EQ(view.currentIndex(), model.index('L' - 'A', 0));
    nodes.Collapse(nodes.Find({ "<N>", "Nordwave" }));
    EXPECT_FALSE(view.isExpanded(model.IndexOf(nodes.Find({ "<N>", "Nordwave" }))));

    // All-tracks view: 100 tracks under their letters, made as the view asks.
    library.FillLibraryTree(nodes, true, roots);
    EXPECT_EQ(model.rowCount(model.index('S' - 'A', 0)), 18);
    EXPECT_EQ(model.flags(model.index(0, 0, model.index('S' - 'A', 0))) & Qt::ItemIsDragEnabled, Qt::ItemIsDragEnabled);
}
