#include "coreFakes.h"
#include "coreTestFolder.h"
#include "modalDialogDriver.h"

#include "library/tagAlbum.h"
#include "library/tagPlaylist.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/frmChooseCD.h"
#include "ui/forms/frmGetPlaylistAlbumName.h"
#include "ui/forms/frmProgress.h"
#include "ui/forms/frmStackerList.h"

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// A jukebox with a small library of real tracks (the album "Hits" by
// Nordwave, two tracks; "Misc" by Lanterns, one), an M3U playlist of a third
// album's track, and the stacker's windows as the program makes them.
struct StackerWindow : ::testing::Test {
    TcoreTestFolder folder;
    QString m3u;
    std::unique_ptr<TrecordedCore> run;
    TdmMain *core = nullptr;
    std::unique_ptr<TfrmChooseCD> chooseCD;
    std::unique_ptr<TfrmGetPlaylistAlbumName> albumName;
    std::unique_ptr<TfrmProgress> progress;
    std::unique_ptr<TprogressFollower> progressFollower;
    std::unique_ptr<TfrmStackerList> window;
    std::vector<TfileRequest> requests;
    QStringList answers;

    void SetUp() override
    {
        const QStringList files {
            folder.addTrack(QStringLiteral("Hits/1.mp3"), QStringLiteral("One"), QStringLiteral("Nordwave"),
                QStringLiteral("Hits"), 1),
            folder.addTrack(QStringLiteral("Hits/2.mp3"), QStringLiteral("Two"), QStringLiteral("Nordwave"),
                QStringLiteral("Hits"), 2),
            folder.addTrack(QStringLiteral("Misc/1.mp3"), QStringLiteral("Lone"), QStringLiteral("Lanterns"),
                QStringLiteral("Misc"), 1),
        };
        const QString party = folder.addTrack(QStringLiteral("Party/1.mp3"), QStringLiteral("Party Song"),
            QStringLiteral("Guests"), QStringLiteral("Party"), 1);
        m3u = folder.writeM3u(QStringLiteral("lists/party.m3u"), { party });

        run = std::make_unique<TrecordedCore>(folder.options());
        core = &run->core;
        core->AddScannedFiles(files, false);
        ASSERT_EQ(core->jblMain().AlbumList().Count(), 2);
        chooseCD = std::make_unique<TfrmChooseCD>(*core);
        albumName = std::make_unique<TfrmGetPlaylistAlbumName>();
        progress = std::make_unique<TfrmProgress>();
        progressFollower = std::make_unique<TprogressFollower>(*progress, *core);
        window = std::make_unique<TfrmStackerList>(*core, *chooseCD, *albumName);
        window->SetFileChooser([this](const TfileRequest &request) {
            requests.push_back(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }

    void TearDown() override
    {
        // The windows go before the core, as in the program.
        window.reset();
        chooseCD.reset();
    }

    const TcdStacker &stacker() { return core->Stacker(); }
    TtagAlbum *libraryAlbum(const QString &name)
    {
        for (int i = 0; i < core->jblMain().AlbumList().Count(); ++i) {
            if (core->jblMain().AlbumList().Albums(i)->AlbumName() == name)
                return core->jblMain().AlbumList().Albums(i);
        }
        return nullptr;
    }
    QTreeView *tree() { return window->findChild<QTreeView *>(QStringLiteral("tvStackerList")); }
    QAbstractItemModel *model() { return tree()->model(); }
    QStringList rootTexts()
    {
        QStringList texts;
        for (int i = 0; i < model()->rowCount(); ++i)
            texts << model()->index(i, 0).data().toString();
        return texts;
    }
    void trigger(const char *action)
    {
        auto *found = window->findChild<QAction *>(QString::fromLatin1(action));
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }
    // Picks a node in the stacker tree as a click would.
    void select(const QModelIndex &index)
    {
        ASSERT_TRUE(index.isValid());
        tree()->setCurrentIndex(index);
    }
};

// In the choose-CD window: opens the letter and artist of an album and
// selects it.
void chooseAlbum(TfrmChooseCD *dialog, const QString &letter, const QString &artist, const QString &album)
{
    auto *view = dialog->findChild<QTreeView *>();
    auto *nodes = static_cast<TtreeNodesModel *>(view->model());
    const TtreeNode node = nodes->Nodes().Find({ letter, artist, album });
    ASSERT_TRUE(node.IsValid()) << album.toStdString();
    const QModelIndex index = nodes->IndexOf(node);
    view->expand(index.parent().parent());
    view->expand(index.parent());
    view->setCurrentIndex(index);
}

} // namespace

TEST_F(StackerWindow, AlbumsChosenInTheChooseCDWindowFillTheTreeAndTheStatusBar)
{
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_EQ(window->StatusTexts(),
        (QStringList { "Tracks : 0", "Duration : 0:00:00", "Artists : 0", "Albums : 0", "Playlists : 0" }));
    {
        TmodalDialogDriver driver;
        driver.Expect<TfrmChooseCD>([](TfrmChooseCD *dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Choose CD"));
            EXPECT_EQ(dialog->SelectedAlbum(), nullptr) << "nothing is chosen on opening";
            chooseAlbum(dialog, QStringLiteral("<N> (1 artist)"), QStringLiteral("Nordwave (1 album)"),
                QStringLiteral("Hits  [0:02]"));
            PressButton(dialog, "btnOK");
        });
        trigger("actnAddCD");
    }
    EXPECT_EQ(stacker().Library().MasterList().Count(), 2);
    EXPECT_EQ(rootTexts(), QStringList { "Nordwave - Hits [0:02]" });
    EXPECT_EQ(model()->rowCount(model()->index(0, 0)), 2);
    EXPECT_EQ(window->StatusTexts(),
        (QStringList { "Tracks : 2", "Duration : 0:00:02", "Artists : 1", "Albums : 1", "Playlists : 0" }));
    EXPECT_GE(run->face.count(QStringLiteral("StackerChanged")), 1) << "the core still hears of the change";
    EXPECT_EQ(chooseCD->findChild<QTreeView *>()->model()->rowCount(), 0)
        << "the closed window holds nothing of the library";

    // Cancel, and OK on a node that is not an album, add nothing.
    {
        TmodalDialogDriver driver;
        driver.Expect<TfrmChooseCD>([](TfrmChooseCD *dialog) {
            chooseAlbum(dialog, QStringLiteral("<L> (1 artist)"), QStringLiteral("Lanterns (1 album)"),
                QStringLiteral("Misc  [0:01]"));
            PressButton(dialog, "btnCancel");
        });
        trigger("actnAddCD");
        driver.Expect<TfrmChooseCD>([](TfrmChooseCD *dialog) {
            auto *view = dialog->findChild<QTreeView *>();
            view->setCurrentIndex(view->model()->index('L' - 'A', 0));
            PressButton(dialog, "btnOK");
        });
        trigger("actnAddCD");
    }
    EXPECT_EQ(stacker().Library().MasterList().Count(), 2);
    EXPECT_EQ(stacker().Library().AlbumList().Count(), 1);
}

TEST_F(StackerWindow, ChooseCDGivesTheLibrarysAlbumAndLetsGoWhenTheLibraryChanges)
{
    TmodalDialogDriver driver;
    driver.Expect<TfrmChooseCD>([](TfrmChooseCD *dialog) {
        chooseAlbum(dialog, QStringLiteral("<L> (1 artist)"), QStringLiteral("Lanterns (1 album)"),
            QStringLiteral("Misc  [0:01]"));
        // A double-click on the album chooses it (its first click selects).
        auto *view = dialog->findChild<QTreeView *>();
        const QRect row = view->visualRect(view->currentIndex());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row.center());
    });
    EXPECT_EQ(chooseCD->Execute(), libraryAlbum(QStringLiteral("Misc")));

    // The library is rescanned while the window is open: its tree is
    // emptied, and OK then chooses nothing.
    driver.Expect<TfrmChooseCD>([this](TfrmChooseCD *dialog) {
        chooseAlbum(dialog, QStringLiteral("<L> (1 artist)"), QStringLiteral("Lanterns (1 album)"),
            QStringLiteral("Misc  [0:01]"));
        core->SetNoTrackNumbers(false);
        EXPECT_EQ(dialog->findChild<QTreeView *>()->model()->rowCount(), 0);
        PressButton(dialog, "btnOK");
    });
    EXPECT_EQ(chooseCD->Execute(), nullptr);
}

TEST_F(StackerWindow, DeletingATrackAnAlbumOrAPlaylistRefillsTheTree)
{
    core->StackerAddAlbum(*libraryAlbum(QStringLiteral("Hits")));
    ASSERT_TRUE(core->StackerAddPlaylist(QStringLiteral("Party"), m3u));
    ASSERT_EQ(rootTexts(), (QStringList { "Nordwave - Hits [0:02]", "Party" }));

    // Nothing selected: nothing happens.
    trigger("actnDelete");
    EXPECT_EQ(stacker().PlayList().Count(), 3);

    // A track of the album: the album stays open, with one track left.
    select(model()->index(0, 0));
    EXPECT_TRUE(tree()->isExpanded(model()->index(0, 0))) << "the tree opens what is selected";
    select(model()->index(1, 0, model()->index(0, 0)));
    trigger("actnDelete");
    EXPECT_EQ(stacker().Library().MasterList().Count(), 1);
    ASSERT_EQ(model()->rowCount(model()->index(0, 0)), 1);
    EXPECT_EQ(model()->index(0, 0, model()->index(0, 0)).data().toString(), QStringLiteral("01: One"));
    EXPECT_TRUE(tree()->isExpanded(model()->index(0, 0)));
    EXPECT_EQ(window->StatusTexts().constFirst(), QStringLiteral("Tracks : 2"));

    // Selecting the playlist opens it and closes the album; its track leaves
    // the playlist.
    select(model()->index(0, 0));
    select(model()->index(1, 0));
    EXPECT_FALSE(tree()->isExpanded(model()->index(0, 0)));
    EXPECT_TRUE(tree()->isExpanded(model()->index(1, 0)));
    select(model()->index(0, 0, model()->index(1, 0)));
    trigger("actnDelete");
    EXPECT_EQ(stacker().Library().PlaylistCollection().Playlists(0)->Count(), 0);
    EXPECT_EQ(model()->rowCount(model()->index(1, 0)), 0);

    // The playlist, then the album.
    select(model()->index(1, 0));
    trigger("actnDelete");
    EXPECT_EQ(stacker().Library().PlaylistCollection().Count(), 0);
    EXPECT_EQ(rootTexts(), QStringList { "Nordwave - Hits [0:01]" });
    select(model()->index(0, 0));
    trigger("actnDelete");
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_EQ(window->StatusTexts(),
        (QStringList { "Tracks : 0", "Duration : 0:00:00", "Artists : 0", "Albums : 0", "Playlists : 0" }));
    EXPECT_EQ(core->jblMain().MasterList().Count(), 3) << "the library keeps its own records";

    // Emptying asks nothing (a question would fail the test).
    core->StackerAddAlbum(*libraryAlbum(QStringLiteral("Misc")));
    TmodalDialogDriver driver;
    trigger("actnEmptyStacker");
    EXPECT_EQ(stacker().PlayList().Count(), 0);
    EXPECT_EQ(model()->rowCount(), 0);
}

TEST_F(StackerWindow, APlaylistIsAddedUnderANameThePromptWillNotLeaveEmpty)
{
    // Cancelling the file dialog opens nothing and changes nothing.
    const QString playlistFolder = core->Settings().PlaylistFolder;
    trigger("actnAddPlaylist");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filter, QStringLiteral("Playlist Files (*.m3u)|*.m3u"));
    EXPECT_EQ(requests[0].defaultSuffix, QStringLiteral("m3u"));
    EXPECT_EQ(requests[0].folder, playlistFolder);
    EXPECT_EQ(core->Settings().PlaylistFolder, playlistFolder);

    answers << m3u;
    {
        TmodalDialogDriver driver;
        driver.Expect<TfrmGetPlaylistAlbumName>([](TfrmGetPlaylistAlbumName *prompt) {
            EXPECT_EQ(prompt->windowTitle(), QStringLiteral("Album Name?"));
            auto *edit = prompt->findChild<QLineEdit *>(QStringLiteral("edAlbumName"));
            EXPECT_EQ(edit->text(), QStringLiteral("party")) << "the file's base name is offered";
            edit->setText(QStringLiteral("   "));
            PressButton(prompt, "btnOK");
        });
        driver.Expect<QMessageBox>([](QMessageBox *box) {
            EXPECT_EQ(box->text(), QStringLiteral("Invalid Album Name"));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("You must name your album"));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            box->defaultButton()->click();
        });
        // Escape does not close it empty either.
        driver.Expect<TfrmGetPlaylistAlbumName>([](TfrmGetPlaylistAlbumName *prompt) {
            prompt->findChild<QLineEdit *>(QStringLiteral("edAlbumName"))->clear();
            QTest::keyClick(prompt, Qt::Key_Escape);
        });
        driver.Expect<QMessageBox>([](QMessageBox *box) { box->defaultButton()->click(); });
        driver.Expect<TfrmGetPlaylistAlbumName>([](TfrmGetPlaylistAlbumName *prompt) {
            prompt->findChild<QLineEdit *>(QStringLiteral("edAlbumName"))->setText(QStringLiteral(" Sunday "));
            PressButton(prompt, "btnOK");
        });
        trigger("actnAddPlaylist");
    }
    ASSERT_EQ(stacker().Library().PlaylistCollection().Count(), 1);
    EXPECT_EQ(stacker().Library().PlaylistCollection().Names(0), QStringLiteral("Sunday"));
    EXPECT_EQ(rootTexts(), QStringList { "Sunday" });
    EXPECT_EQ(window->StatusTexts().constLast(), QStringLiteral("Playlists : 1"));
    EXPECT_EQ(core->Settings().PlaylistFolder, QFileInfo(m3u).absolutePath());

    // A name the stacker already holds, and a playlist that gives no track,
    // are refused with a message and change nothing.
    const QString empty = folder.root.filePath(QStringLiteral("lists/empty.m3u"));
    QFile(empty).open(QIODevice::WriteOnly);
    answers << m3u << empty;
    QStringList messages;
    {
        TmodalDialogDriver driver;
        for (const char *name : { "sunday", "Quiet" }) {
            driver.Expect<TfrmGetPlaylistAlbumName>([name](TfrmGetPlaylistAlbumName *prompt) {
                prompt->findChild<QLineEdit *>(QStringLiteral("edAlbumName"))->setText(QString::fromLatin1(name));
                PressButton(prompt, "btnOK");
            });
            driver.ExpectMessage(messages);
        }
        trigger("actnAddPlaylist");
        trigger("actnAddPlaylist");
    }
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("already holds a playlist called \"sunday\"")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains(empty)) << messages[1].toStdString();
    EXPECT_EQ(stacker().Library().PlaylistCollection().Count(), 1);
    EXPECT_EQ(rootTexts(), QStringList { "Sunday" });
}

TEST_F(StackerWindow, CartridgesAreSavedAndLoadedThroughTheWindow)
{
    core->StackerAddAlbum(*libraryAlbum(QStringLiteral("Hits")));
    ASSERT_TRUE(core->StackerAddPlaylist(QStringLiteral("Party"), m3u));
    const QString carts = folder.root.filePath(QStringLiteral("carts"));
    QDir().mkpath(carts);
    const QString data = core->DataFolder();

    // A name typed without the extension is saved with it.
    answers << carts + QStringLiteral("/Evening");
    trigger("actnSaveStacker");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].mode, TfileRequest::frSave);
    EXPECT_EQ(requests[0].title, QStringLiteral("Save Stacker Cartridge"));
    EXPECT_EQ(requests[0].filter, QStringLiteral("Stacker Cartridge (*.vst)|*.vst"));
    EXPECT_EQ(requests[0].defaultSuffix, QStringLiteral("vst"));
    EXPECT_TRUE(QFile::exists(carts + QStringLiteral("/Evening.vst")));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/Evening.pll")));
    EXPECT_EQ(core->Settings().CartridgeFolder, carts);
    // Only ".vst" names can be loaded again: another extension gets it too.
    answers << carts + QStringLiteral("/Late.vst") << carts + QStringLiteral("/Night.old");
    trigger("actnSaveStacker");
    trigger("actnSaveStacker");
    EXPECT_TRUE(QFile::exists(carts + QStringLiteral("/Late.vst")));
    EXPECT_FALSE(QFile::exists(carts + QStringLiteral("/Late.vst.vst")));
    EXPECT_TRUE(QFile::exists(carts + QStringLiteral("/Night.old.vst")));
    EXPECT_EQ(requests[2].folder, carts) << "the dialog starts where the last cartridge went";

    trigger("actnEmptyStacker");
    ASSERT_EQ(model()->rowCount(), 0);

    answers << carts + QStringLiteral("/Evening.vst");
    trigger("actnLoadStacker");
    EXPECT_EQ(requests.back().title, QStringLiteral("Open Cartridge File"));
    EXPECT_EQ(requests.back().filter, QStringLiteral("Stacker Cartridges (*.vst)|*.vst"));
    EXPECT_EQ(requests.back().mode, TfileRequest::frOpen);
    EXPECT_EQ(rootTexts(), (QStringList { "Nordwave - Hits [0:02]", "Party" }));
    EXPECT_EQ(window->StatusTexts().constFirst(), QStringLiteral("Tracks : 3"));

    answers << carts + QStringLiteral("/Evening.vst");
    trigger("actnAddStacker");
    EXPECT_EQ(stacker().Library().MasterList().Count(), 4);
    EXPECT_EQ(window->StatusTexts().constFirst(), QStringLiteral("Tracks : 5"));

    // A damaged or missing cartridge says so and leaves the stacker as it was;
    // a cancelled dialog changes nothing, not even the folder.
    QFile noise(carts + QStringLiteral("/Noise.vst"));
    ASSERT_TRUE(noise.open(QIODevice::WriteOnly));
    noise.write("TPF0 and then nothing a track list would hold");
    noise.close();
    answers << noise.fileName() << carts + QStringLiteral("/Gone.vst");
    QStringList messages;
    {
        TmodalDialogDriver driver;
        driver.ExpectMessage(messages);
        driver.ExpectMessage(messages);
        trigger("actnLoadStacker");
        trigger("actnAddStacker");
    }
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("damaged"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains(QStringLiteral("could not be read"))) << messages[1].toStdString();
    core->SetCartridgeFolder(data);
    trigger("actnLoadStacker");
    EXPECT_EQ(core->Settings().CartridgeFolder, data);
    EXPECT_EQ(stacker().Library().MasterList().Count(), 4);
    EXPECT_EQ(window->StatusTexts().constFirst(), QStringLiteral("Tracks : 5"));
}

TEST_F(StackerWindow, TheTreeIsBlackInTheTreeFontWithTheTreeImages)
{
    core->StackerAddAlbum(*libraryAlbum(QStringLiteral("Hits")));
    window->resize(400, 300);
    window->show();
    TtreeFont font = core->TreeFontLarge();
    font.pointSize = 20;
    core->SetTreeFontLarge(font);
    window->Refresh();
    EXPECT_EQ(tree()->font().pointSize(), 20) << "opening the window takes the current tree font";
    EXPECT_EQ(tree()->font().family(), font.family);

    const QImage picture = tree()->viewport()->grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(picture.width() - 3, picture.height() - 3)), QColor(Qt::black));
    // The album's text is drawn in the tree font's colour.
    const QRect row = tree()->visualRect(model()->index(0, 0));
    bool coloured = false;
    for (int x = row.left(); x < row.right() && !coloured; ++x) {
        for (int y = row.top(); y < row.bottom() && !coloured; ++y)
            coloured = QColor(picture.pixel(x, y)) == QColor(QRgb(font.rgb));
    }
    EXPECT_TRUE(coloured);
}
