#include "playlistFormsFixture.h"

#include "library/tagPlaylist.h"
#include "metadata/timeTexts.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/frmPlaylistEditor.h"
#include "ui/forms/treeLook.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTreeView>

namespace {

struct PlaylistEditor : PlaylistForms {
    std::unique_ptr<TfrmPlaylistEditor> window;
    QString offered;
    QString answer;

    void SetUp() override
    {
        PlaylistForms::SetUp();
        window = std::make_unique<TfrmPlaylistEditor>(*core);
        shown = window.get();
        TplaylistFileChooser chooser;
        chooser.Open = [this](QWidget *, const QString &folder) {
            offered = folder;
            return answer;
        };
        chooser.Save = chooser.Open;
        window->SetFileChooser(chooser);
    }

    void trigger(const char *action)
    {
        QAction *found = window->Action(action);
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }

    // Selects a tree node as the user does, by clicking it in the view.
    void clickNode(const QStringList &path)
    {
        auto *tree = child<QTreeView>("tvArtists");
        const TtreeNode node = window->Nodes().Find(path);
        ASSERT_TRUE(node.IsValid()) << path.join(u'/').toStdString();
        auto *model = static_cast<TtreeNodesModel *>(tree->model());
        const QModelIndex index = model->IndexOf(node);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }

    QStringList rows(const char *list)
    {
        QStringList out;
        auto *widget = child<QListWidget>(list);
        for (int i = 0; i < widget->count(); ++i)
            out << widget->item(i)->text();
        return out;
    }

    QStringList status()
    {
        return {child<QLabel>("stCount")->text(), child<QLabel>("stPlayTime")->text(),
                child<QLabel>("stArtistCount")->text()};
    }

    void select(const char *list, std::initializer_list<int> selected)
    {
        auto *widget = child<QListWidget>(list);
        widget->clearSelection();
        for (int row : selected)
            widget->item(row)->setSelected(true);
    }

    TtagPlaylist &editing() { return window->Editor().Playlist(); }
};

} // namespace

TEST_F(PlaylistEditor, BuildsAPlaylistFromItsOwnLibraryWithEveryAction)
{
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Playlist Editor"));
    EXPECT_EQ(window->Editor().Library().MasterList().Count(), 4) << "read from the library cache";
    EXPECT_EQ(status(), (QStringList{"Count : 0", "Play Time : 0:00:00", "Artist Count : 0"}));

    // Clicking an album, then an artist, lists their tracks.
    window->Nodes().Expand(window->Nodes().Find({"<B>", "Band A"}));
    clickNode({"<B>", "Band A", "Record"});
    EXPECT_EQ(rows("lbSongs").size(), 1);
    EXPECT_TRUE(rows("lbSongs")[0].contains(QStringLiteral("Song 0")));
    clickNode({"<B>", "Band A"});
    ASSERT_EQ(rows("lbSongs").size(), 2);

    // Add the selected tracks: copies, in order, and the song list is deselected.
    select("lbSongs", {1});
    trigger("actnAddSelectedTracks");
    EXPECT_TRUE(child<QListWidget>("lbSongs")->selectedItems().isEmpty());
    ASSERT_EQ(editing().Count(), 1);
    EXPECT_NE(editing().Items(0), window->Editor().Library().MasterList().Items(0));
    trigger("actnAddAllTracks");
    const QStringList afterAll = titles(editing());
    EXPECT_EQ(afterAll.size(), 3);
    EXPECT_EQ(afterAll.mid(1),
              titles(*std::get<TcustomTaggerList *>(window->Nodes().Object(window->Nodes().Find({"<B>", "Band A"})))));
    EXPECT_EQ(rows("lbPlaylist").size(), 3);
    EXPECT_TRUE(rows("lbPlaylist")[0].startsWith(QStringLiteral("001: ")));
    EXPECT_EQ(status()[0], QStringLiteral("Count : 3"));
    EXPECT_EQ(status()[2], QStringLiteral("Artist Count : 1"));

    // A double click adds the track under the mouse.
    clickNode({"<C>", "Cafe"});
    auto *songs = child<QListWidget>("lbSongs");
    const QRect song = songs->visualItemRect(songs->item(0));
    QTest::mouseClick(songs->viewport(), Qt::LeftButton, {}, song.center());
    QTest::mouseDClick(songs->viewport(), Qt::LeftButton, {}, song.center());
    EXPECT_EQ(titles(editing()).back(), QStringLiteral("Song 3"));
    double total = 0;
    for (const TcustomTagger *record : editing().Records())
        total += record->Duration();
    EXPECT_EQ(status(),
              (QStringList{"Count : 4", "Play Time : " + FormatMsHourMinSec(qint64(total)), "Artist Count : 2"}));

    // Moving keeps the moved entry selected at its new place.
    const QStringList before = titles(editing());
    child<QListWidget>("lbPlaylist")->setCurrentRow(3);
    trigger("actnMoveUp");
    EXPECT_EQ(titles(editing()), (QStringList{before[0], before[1], before[3], before[2]}));
    EXPECT_EQ(child<QListWidget>("lbPlaylist")->currentRow(), 2);
    trigger("actnMoveUp");
    trigger("actnMoveUp");
    trigger("actnMoveUp");
    EXPECT_EQ(titles(editing()).front(), before[3]);
    EXPECT_EQ(child<QListWidget>("lbPlaylist")->currentRow(), 0);
    trigger("actnMoveDown");
    EXPECT_EQ(titles(editing()), (QStringList{before[0], before[3], before[1], before[2]}));
    EXPECT_EQ(child<QListWidget>("lbPlaylist")->currentRow(), 1);

    // Delete takes every selected entry.
    select("lbPlaylist", {0, 2});
    trigger("actnDelete");
    EXPECT_EQ(titles(editing()), (QStringList{before[3], before[2]}));

    // Copy to the jukebox and back.
    run->face.log.clear();
    trigger("actnAddToJukebox");
    EXPECT_EQ(titles(loaded()), titles(editing()));
    EXPECT_EQ(run->face.count(QStringLiteral("PlaylistChanged")), 1);
    trigger("actnClear");
    EXPECT_EQ(editing().Count(), 0);
    EXPECT_EQ(rows("lbPlaylist"), QStringList{});
    EXPECT_EQ(status()[0], QStringLiteral("Count : 0"));
    trigger("actnAddFromJukebox");
    EXPECT_EQ(titles(editing()), (QStringList{before[3], before[2]}));
    EXPECT_EQ(loaded().Count(), 2);

    trigger("actnRandomize");
    EXPECT_EQ(sorted(titles(editing())), sorted({before[3], before[2]}));

    // Closing empties the editing playlist, not the jukebox's.
    trigger("actnClose");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(editing().Count(), 0);
    EXPECT_EQ(loaded().Count(), 2);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(u'\n').toStdString();
}

TEST_F(PlaylistEditor, LoadsAppendsAndSavesM3uFilesAndRefusesFilesThatGiveNothing)
{
    const QString party = writeM3u(QStringLiteral("party.m3u"), {s_tracks[2], s_tracks[1]});
    const QString dead = writeM3u(QStringLiteral("dead.m3u"), {s_music->filePath(QStringLiteral("gone.mp3"))});
    window->show();

    trigger("actnLoad");
    EXPECT_EQ(offered, core->Settings().PlaylistFolder);
    EXPECT_EQ(editing().Count(), 0) << "a cancelled dialog loads nothing";

    // A close that arrives while the file is read runs after the read, so
    // that no track is left in the playlist of a closed editor.
    answer = party;
    QTimer::singleShot(0, window->Action("actnClose"), &QAction::trigger);
    trigger("actnLoad");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(titles(editing()), (QStringList{"Song 2", "Song 1"}));
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(editing().Count(), 0);
    window->show();
    trigger("actnLoad");
    EXPECT_EQ(titles(editing()), (QStringList{"Song 2", "Song 1"}));
    EXPECT_EQ(core->Settings().PlaylistFolder, folder.root.path());
    trigger("actnAddPlaylist");
    EXPECT_EQ(titles(editing()), (QStringList{"Song 2", "Song 1", "Song 2", "Song 1"}));
    EXPECT_EQ(rows("lbPlaylist").size(), 4);
    trigger("actnLoad");
    EXPECT_EQ(titles(editing()), (QStringList{"Song 2", "Song 1"}));

    for (const QString &bad : {dead, folder.root.filePath(QStringLiteral("missing.m3u"))}) {
        answer = bad;
        trigger("actnLoad");
        trigger("actnAddPlaylist");
    }
    EXPECT_EQ(boxes.texts.size(), 4);
    EXPECT_EQ(titles(editing()), (QStringList{"Song 2", "Song 1"}));

    QDir().mkpath(folder.root.filePath(QStringLiteral("lists")));
    answer = folder.root.filePath(QStringLiteral("lists/saved.m3u"));
    trigger("actnSave");
    QFile saved(answer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), (s_tracks[2] + QStringLiteral("\r\n") + s_tracks[1] + QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(core->Settings().PlaylistFolder, folder.root.filePath(QStringLiteral("lists")));

    answer = folder.root.filePath(QStringLiteral("no-such-folder/saved.m3u"));
    trigger("actnSave");
    EXPECT_EQ(boxes.texts.size(), 5);
    EXPECT_TRUE(boxes.texts.back().contains(answer));
}

TEST_F(PlaylistEditor, ReopeningReadsTheLibraryCacheAgainAndTheTreeShowsEachNodeByItsState)
{
    window->show();
    TtreeNodes &nodes = window->Nodes();
    auto *tree = child<QTreeView>("tvArtists");
    auto *model = static_cast<TtreeNodesModel *>(tree->model());
    auto imageOf = [&](const QStringList &path) {
        QStyleOptionViewItem option;
        option.widget = tree;
        const QModelIndex index = model->IndexOf(nodes.Find(path));
        if (tree->selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        return TtreeImageDelegate::ImageIndex(index, option);
    };
    EXPECT_EQ(imageOf({"<A>"}), 2) << "a letter without artists";
    EXPECT_EQ(imageOf({"<B>"}), 0);
    clickNode({"<B>"});
    EXPECT_EQ(imageOf({"<B>"}), 1);
    tree->expand(model->IndexOf(nodes.Find({"<C>"})));
    EXPECT_EQ(imageOf({"<C>"}), 1);
    EXPECT_EQ(imageOf({"<C>", "Cafe"}), 3);
    clickNode({"<C>", "Cafe"});
    EXPECT_EQ(imageOf({"<C>", "Cafe"}), 4);
    EXPECT_EQ(imageOf({"<B>"}), 0) << "no longer selected";
    tree->expand(model->IndexOf(nodes.Find({"<C>", "Cafe"})));
    EXPECT_EQ(imageOf({"<C>", "Cafe", "Live"}), 5);
    clickNode({"<C>", "Cafe", "Live"});
    EXPECT_EQ(imageOf({"<C>", "Cafe", "Live"}), 6);
    EXPECT_EQ(imageOf({"<C>", "Cafe"}), 4) << "expanded";
    ASSERT_EQ(rows("lbSongs").size(), 1);
    trigger("actnClose");

    // The jukebox learns a new artist; the editor sees it when it opens
    // again, with the album that was open still open.
    const QString extra = s_music->filePath(QStringLiteral("extra.mp3"));
    ToneSpec spec;
    spec.metadata = {{QStringLiteral("title"), QStringLiteral("Song 4")},
                     {QStringLiteral("artist"), QStringLiteral("Ashes")},
                     {QStringLiteral("album"), QStringLiteral("First")}};
    QString error;
    ASSERT_TRUE(MakeToneFile(extra, spec, &error)) << error.toStdString();
    core->AddScannedFiles({extra}, false);
    window->show();
    EXPECT_EQ(window->Editor().Library().MasterList().Count(), 5);
    EXPECT_TRUE(nodes.Find({"<A>", "Ashes", "First"}).IsValid());
    EXPECT_EQ(imageOf({"<A>"}), 0);
    EXPECT_EQ(nodes.Path(nodes.Selected()), (QStringList{"<C>", "Cafe", "Live"}));
    EXPECT_TRUE(tree->isExpanded(model->IndexOf(nodes.Find({"<C>", "Cafe"}))));
    EXPECT_EQ(rows("lbSongs").size(), 1) << "the song list shows the reopened album's tracks";
    QFile::remove(extra);
}

TEST_F(PlaylistEditor, ExecuteRunsModallyAndEveryWayOutEmptiesThePlaylist)
{
    const QString party = writeM3u(QStringLiteral("party.m3u"), {s_tracks[0]});
    ASSERT_TRUE(core->ApplyPlaylistRule(prM3uFile, party, false, {}));
    QStringList shown;
    WhenModal<TfrmPlaylistEditor>([&](TfrmPlaylistEditor *dialog) {
        dialog->Action("actnAddFromJukebox")->trigger();
        shown = rows("lbPlaylist");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window->Execute();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("Song 0")));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(editing().Count(), 0);
    EXPECT_EQ(rows("lbPlaylist"), QStringList{});
    EXPECT_EQ(loaded().Count(), 1);
}
