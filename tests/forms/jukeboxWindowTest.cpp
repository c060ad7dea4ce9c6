#include "../library/testRecords.h"
#include "../support/libraryEditor.h"
#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "core/soundControl.h"
#include "library/tagPlayListCollection.h"
#include "library/taggerQueue.h"
#include "platform/iniFile.h"
#include "playback/crossPlayer.h"
#include "ui/controls/childControls.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/jukeboxActions.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/lists/trackSearch.h"
#include <QLineEdit>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A jukebox window over a real core in a program folder of its own.
struct JukeboxWindow : ::testing::Test {
    TcoreTestFolder folder;
    TscriptedUi ui;
    std::unique_ptr<TfrmJukebox> window;
    std::unique_ptr<TdmMain> core;

    void SetUp() override {}

    void start(const QByteArray &settings = QByteArray(), const QByteArray &skin = QByteArray())
    {
        if (!settings.isEmpty())
            writeFile(folder.home() + QStringLiteral("/vorlen.ini"), settings);
        if (!skin.isEmpty())
            writeFile(folder.home() + QStringLiteral("/vorlen.vsk"), skin);
        window = std::make_unique<TfrmJukebox>();
        core = std::make_unique<TdmMain>(ui, folder.options());
        window->SetCore(core.get());
        window->Dialogs().OpenWindow = [this](TcoreWindow shown) { ui.ShowWindow(shown); };
        core->LoadSettings();
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
    }

    void TearDown() override
    {
        if (window)
            window->SetCore(nullptr);
        core.reset();
        window.reset();
    }

    static void writeFile(const QString &path, const QByteArray &text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // Tracks longer than a cross-fade, so that a tick of the player does not
    // move on to the next one.
    void queueTracks(int count, double seconds = 1.0)
    {
        for (int i = 0; i < count; ++i)
            core->QueueFile(folder.addTrack(QStringLiteral("q/%1.mp3").arg(i), QStringLiteral("Queued %1").arg(i),
                                            QStringLiteral("Artist"), QStringLiteral("Album"), i + 1, 440, seconds));
    }

    QStringList queueTitles()
    {
        QStringList titles;
        for (const TcustomTagger *record : core->tqQueue().Records())
            titles << record->Title();
        return titles;
    }

    QString label(TjukeboxLabel label) { return window->Label(label)->Caption(); }
};

} // namespace

TEST_F(JukeboxWindow, EveryKeyOfTheCommandTableReachesItsAction)
{
    start();
    window->activateWindow();
    int checked = 0;
    for (const TjukeboxActionSpec &spec : JukeboxActions()) {
        // Ctrl+X would end the test's window; its action is the window's close.
        if (spec.key[0] == '\0' || spec.command == jcExit)
            continue;
        QAction *action = window->Action(spec.command);
        ASSERT_NE(action, nullptr) << spec.name;
        // Configure is there only while the visualisation is on, which the
        // key before it switched off.
        if (spec.command == jcConfigureVis && !core->GetVisualisation())
            window->Action(jcToggleVis)->trigger();
        for (const QKeySequence &key : QKeySequence::listFromString(QLatin1String(spec.key))) {
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keySequence(window.get(), key);
            QApplication::processEvents();
            EXPECT_EQ(triggered.count(), 1) << spec.name << " " << key.toString().toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 33);
    EXPECT_EQ(window->Action(jcExit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
}

TEST_F(JukeboxWindow, WithoutSettingsTheWindowHasItsDefaults)
{
    start();
    EXPECT_EQ(window->NormalBounds(), QRect(0, 0, 800, 600));
    EXPECT_FALSE(window->IsFullScreen());
    EXPECT_FALSE(window->ShowTrackList());
    EXPECT_TRUE(window->MenuPanel().isVisible());
    EXPECT_TRUE(window->SongTitlePanel().isVisible());
    EXPECT_TRUE(window->StackerPanel().isVisible());
    EXPECT_TRUE(window->QueueControlPanel().isVisible());
    EXPECT_EQ(window->Clock().ClockStyle(), cs12hr);
    EXPECT_TRUE(core->GetVisualisation());
    EXPECT_EQ(window->SongsPanel().width(), 310);
    EXPECT_EQ(window->QueuePanel().height(), 150);
    EXPECT_EQ(window->QueueDetailsPanel().width(), 150);
    EXPECT_EQ(window->Action(jcToggleVis)->text(), QStringLiteral("Disable &Visualizations"));
    EXPECT_EQ(window->Action(jcToggleList)->text(), QStringLiteral("&All Tracks List View"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vorlen Mp3 Jukebox"));
    EXPECT_EQ(window->minimumSize(), QSize(640, 480));
    // The built-in skin's colours come from vorlen.vsk's defaults.
    EXPECT_EQ(window->ButtonColor(), QColor(0xcc, 0xcc, 0xe0));
    EXPECT_EQ(window->PanelColor(), QColor(0x44, 0x44, 0x60));
    EXPECT_EQ(window->Controls().ButtonChecked(), 4) << "stopped";
}

TEST_F(JukeboxWindow, SettingsAreClampedReadAndWrittenBack)
{
    start("[JukeBoxSplitter]\nSongList=100\nQueueList=20\nQueueDetailsList=400\n"
          "[JukeBoxGeneral]\nClockStyle=7\nShowTrackList=1\nMenuVisible=0\nVisEnabled=0\n"
          "[JukeBoxGeometry]\nLeft=30\nTop=40\nWidth=900\nHeight=700\n",
          "[Colors]\nButtonColor=#12345z\n");
    EXPECT_EQ(window->SongsPanel().width(), 240);
    EXPECT_EQ(window->QueuePanel().height(), 150);
    EXPECT_EQ(window->QueueDetailsPanel().width(), 400);
    EXPECT_EQ(window->Clock().ClockStyle(), cs12hr) << "an unknown style is ignored";
    EXPECT_TRUE(window->ShowTrackList());
    EXPECT_FALSE(window->MenuPanel().isVisible());
    EXPECT_FALSE(core->GetVisualisation());
    EXPECT_EQ(window->NormalBounds(), QRect(30, 40, 900, 700));
    EXPECT_EQ(window->ButtonColor(), QColor(250, 238, 255)) << "not a colour text";
    EXPECT_EQ(window->PanelColor(), QColor(0x44, 0x44, 0x60)) << "missing: the default";

    window->Clock().SetClockStyle(cs24hr);
    window->close();
    QApplication::processEvents();
    const TiniFile ini(folder.home() + QStringLiteral("/vorlen.ini"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("JukeBoxGeneral"), QStringLiteral("ClockStyle"), -1), 1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("JukeBoxSplitter"), QStringLiteral("SongList"), -1), 240);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("JukeBoxGeometry"), QStringLiteral("Width"), -1), 900);
    EXPECT_EQ(ini.ReadString(QStringLiteral("JukeBoxGeneral"), QStringLiteral("ShowTrackList"), {}), QStringLiteral("1"));
    // The window's colours as colour numbers (blue x 65536 + green x 256 + red).
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("JukeBoxColors"), QStringLiteral("ButtonColor"), -1),
              255 * 65536 + 238 * 256 + 250);
    const TiniFile skin(folder.home() + QStringLiteral("/vorlen.vsk"));
    EXPECT_EQ(skin.ReadString(QStringLiteral("Colors"), QStringLiteral("ButtonColor"), {}), QStringLiteral("#FAEEFF"));
    EXPECT_FALSE(skin.ReadString(QStringLiteral("Fonts"), QStringLiteral("ClockName"), {}).isEmpty());
    EXPECT_FALSE(skin.ReadString(QStringLiteral("Labels"), QStringLiteral("lblTrackCaptionCaption"), {}).isEmpty());
}

TEST_F(JukeboxWindow, FullScreenAndBackRestoresTheExactBounds)
{
    start("[JukeBoxGeometry]\nLeft=20\nTop=30\nWidth=810\nHeight=610\n");
    const QRect before = window->geometry();
    window->Action(jcFullScreen)->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(window->IsFullScreen());
    EXPECT_EQ(window->NormalBounds(), before);
    EXPECT_EQ(window->Action(jcFullScreen)->text(), QStringLiteral("&Normal Window Mode"));
    window->Action(jcFullScreen)->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->IsFullScreen());
    EXPECT_EQ(window->geometry().size(), before.size());
    EXPECT_EQ(window->Action(jcFullScreen)->text(), QStringLiteral("&Full Screen Mode"));

    // Closed in full screen: the normal bounds are the ones saved.
    window->Action(jcFullScreen)->trigger();
    window->close();
    const TiniFile ini(folder.home() + QStringLiteral("/vorlen.ini"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("JukeBoxGeometry"), QStringLiteral("Width"), -1), 810);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("JukeBoxGeometry"), QStringLiteral("FullScreen"), -1), 1);
}

TEST_F(JukeboxWindow, QueueCommandsKeepToTheirPreconditions)
{
    start();
    // Clear on an empty queue asks nothing.
    window->Action(jcQueueClear)->trigger();
    EXPECT_TRUE(QApplication::activeModalWidget() == nullptr);

    queueTracks(3);
    ASSERT_EQ(core->tqQueue().Count(), 3);
    // Move up the first row, down the last: nothing changes.
    window->Lists().SetSelectedQueueRow(0);
    window->Action(jcQueueMoveUp)->trigger();
    window->Lists().SetSelectedQueueRow(2);
    window->Action(jcQueueMoveDown)->trigger();
    EXPECT_EQ(queueTitles(), (QStringList{"Queued 0", "Queued 1", "Queued 2"}));
    window->Action(jcQueueMoveUp)->trigger();
    EXPECT_EQ(queueTitles(), (QStringList{"Queued 0", "Queued 2", "Queued 1"}));
    EXPECT_EQ(window->Lists().SelectedQueueRow(), 1) << "the selection follows the track";
    window->Action(jcQueueMoveDown)->trigger();
    EXPECT_EQ(queueTitles(), (QStringList{"Queued 0", "Queued 1", "Queued 2"}));

    // Move To: the box is asked with 1-based positions; one track asks nothing.
    int asked = 0;
    window->Dialogs().MoveTo = [&](int count, int current, QPoint, int *position) {
        ++asked;
        EXPECT_EQ(count, 3);
        EXPECT_EQ(current, 2);
        *position = 0;
        return true;
    };
    window->Lists().SetSelectedQueueRow(2);
    window->Action(jcQueueMoveTo)->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(queueTitles(), (QStringList{"Queued 2", "Queued 0", "Queued 1"}));

    // Clear asks first; Cancel keeps the queue, OK empties it.
    auto answer = [](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(button)->click();
        });
    };
    answer(QMessageBox::Cancel);
    window->Action(jcQueueClear)->trigger();
    EXPECT_EQ(core->tqQueue().Count(), 3);
    answer(QMessageBox::Ok);
    window->Action(jcQueueClear)->trigger();
    EXPECT_EQ(core->tqQueue().Count(), 0);

    queueTracks(1);
    asked = 0;
    window->Lists().SetSelectedQueueRow(0);
    window->Action(jcQueueMoveTo)->trigger();
    EXPECT_EQ(asked, 0) << "one track cannot move";
    window->Action(jcQueueDelete)->trigger();
    EXPECT_EQ(core->tqQueue().Count(), 0);
}

TEST_F(JukeboxWindow, TheDisplaysFollowThePlayer)
{
    start();
    queueTracks(2, 10.0);
    window->Action(jcPlay)->trigger();
    // The player reports its state changes at its next tick.
    DrivenPlayer(*core).Tick();
    ASSERT_EQ(core->Player().GetState(), ssPlaying);
    EXPECT_EQ(window->Controls().ButtonChecked(), 1);
    EXPECT_EQ(label(jlTrack), QStringLiteral("Queued 0"));
    EXPECT_EQ(label(jlArtist), QStringLiteral("Artist"));
    EXPECT_EQ(label(jlFileType), QStringLiteral("MP3"));
    EXPECT_TRUE(label(jlBitrate).endsWith(QStringLiteral("kbps")));
    EXPECT_EQ(label(jlQueueCount), QStringLiteral("1"));

    // The timer counts down when asked: 10 s before the end it shows -10.
    const TvorlenStream &stream = *core->PlayingStream();
    window->Timer().OnClick(&window->Timer());
    ASSERT_TRUE(window->ShowTimeRemaining());
    const qint64 length = stream.LengthMs();
    core->Seek(length - 10000 > 0 ? length - 10000 : 0);
    DrivenPlayer(*core).Engine().pump(0);
    window->PositionChanged(stream);
    EXPECT_EQ(window->Timer().Seconds(), -int((length - stream.GetPosition()) / 1000));

    window->Action(jcPause)->trigger();
    DrivenPlayer(*core).Tick();
    EXPECT_EQ(window->Controls().ButtonChecked(), 3);
    window->Action(jcStop)->trigger();
    DrivenPlayer(*core).Tick();
    EXPECT_EQ(window->Controls().ButtonChecked(), 4);
    EXPECT_EQ(label(jlTrack), QString()) << "stopped: no track shown";
}

TEST_F(JukeboxWindow, TheCoverStoredInTheFileShowsWhenNoCoverFileIsFound)
{
    start();
    const auto makePicture = [&](const QString &name, const char *size) {
        const QString path = folder.root.filePath(name);
        QString error;
        EXPECT_TRUE(RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc2=size=") + QLatin1String(size), QStringLiteral("-frames:v"),
                QStringLiteral("1"), path },
            &error))
            << error.toStdString();
        return path;
    };
    const auto makeTrack = [&](const QString &name, const QString &picture) {
        ToneSpec spec;
        spec.seconds = 10;
        spec.metadata = { { QStringLiteral("artist"), QStringLiteral("Nordwave") },
            { QStringLiteral("album"), QStringLiteral("Hits") } };
        spec.coverImage = picture;
        const QString path = folder.music() + QLatin1Char('/') + name;
        QString error;
        EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
        return path;
    };
    const QString embedded = makePicture(QStringLiteral("embedded.png"), "96x64");
    const QString first = makeTrack(QStringLiteral("1.flac"), embedded);
    const QString second = makeTrack(QStringLiteral("2.opus"), embedded);
    const QString third = makeTrack(QStringLiteral("3.flac"), embedded);
    // The third file's picture is damaged: its image header says 0 pixels wide.
    QFile damaged(third);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    const QByteArray bytes = damaged.readAll();
    const qsizetype png = bytes.indexOf("\x89PNG");
    ASSERT_GT(png, 0);
    damaged.seek(png + 16);
    damaged.write(QByteArray(4, '\0'));
    damaged.close();
    for (const QString &track : { first, second, third })
        core->QueueFile(track);

    const TdravoBitmap *cover = window->findChild<TdravoBitmap *>(QStringLiteral("bmAlbumCover"));
    ASSERT_TRUE(cover);
    window->Action(jcPlay)->trigger();
    DrivenPlayer(*core).Tick();
    ASSERT_EQ(core->Player().CurrentTrack()->Filename(), first);
    EXPECT_EQ(cover->Picture().size(), QSize(96, 64));
    // Written out for those who know covers only as files (the desktop's
    // media controls), one file in the data folder.
    const QString shown = window->CoverFile();
    EXPECT_TRUE(shown.startsWith(core->DataFolder() + QStringLiteral("/covers/"))) << shown.toStdString();
    EXPECT_EQ(QImage(shown).size(), QSize(96, 64));
    EXPECT_EQ(QDir(core->DataFolder() + QStringLiteral("/covers")).entryList(QDir::Files).size(), 1);

    // A cover file found by the cover search wins over the stored picture.
    QFile::copy(
        makePicture(QStringLiteral("file.jpg"), "40x30"), folder.music() + QStringLiteral("/Nordwave - Hits.jpg"));
    window->Action(jcSkip)->trigger();
    DrivenPlayer(*core).Tick();
    ASSERT_EQ(core->Player().CurrentTrack()->Filename(), second);
    EXPECT_EQ(cover->Picture().size(), QSize(40, 30));
    EXPECT_EQ(window->CoverFile(), folder.music() + QStringLiteral("/Nordwave - Hits.jpg"));

    QFile::remove(folder.music() + QStringLiteral("/Nordwave - Hits.jpg"));
    window->Action(jcSkip)->trigger();
    DrivenPlayer(*core).Tick();
    ASSERT_EQ(core->Player().CurrentTrack()->Filename(), third);
    EXPECT_TRUE(cover->Picture().isNull()) << "a picture that cannot be read shows as none";
    EXPECT_TRUE(window->CoverFile().isEmpty());
    window->Action(jcStop)->trigger();
}

TEST_F(JukeboxWindow, ThePreloadedPlaylistMenuAndItsNoneItem)
{
    start();
    const QString song = folder.addTrack(QStringLiteral("p/a.mp3"), QStringLiteral("Listed"), QStringLiteral("L"),
                                         QStringLiteral("P"), 1);
    QFile list(folder.root.filePath(QStringLiteral("party.m3u")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(QFile::encodeName(song) + "\n");
    list.close();
    ASSERT_TRUE(core->AddPreloadedPlaylist(QStringLiteral("Party"), list.fileName(), false, true));
    core->PlaylistsEdited();
    QList<QAction *> items = window->PlaylistMenu().actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("None"));
    EXPECT_TRUE(items[0]->isChecked());
    items[1]->trigger();
    EXPECT_TRUE(core->jblMain().PlaylistCollection().Active());
    EXPECT_EQ(label(jlPlaylistCount), QStringLiteral("1"));
    items[0]->trigger();
    EXPECT_FALSE(core->jblMain().PlaylistCollection().Active());
    EXPECT_EQ(label(jlPlaylistDuration), QStringLiteral("0:00:00")) << "as every duration of the details";
    EXPECT_TRUE(items[0]->isChecked());

    // Activated by another face (the guests' page, a remote), the window
    // follows the core: the details and the check mark.
    ASSERT_TRUE(core->ActivatePlaylist(QStringLiteral("Party")));
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_EQ(label(jlPlaylistCount), QStringLiteral("1"));
    core->DeactivatePlaylists();
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_EQ(label(jlPlaylistCount), QStringLiteral("0"));
}

TEST_F(JukeboxWindow, ASecondActivationRepeatsNothing)
{
    start();
    const int loads = ui.windows.size();
    const int startups = std::count(ui.windows.begin(), ui.windows.end(), TcoreWindow::TipOfTheDay);
    EXPECT_EQ(startups, 1) << "the tips show at the first activation";
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(window.get(), &activation);
    window->hide();
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(int(ui.windows.size()), loads);
}

TEST_F(JukeboxWindow, PanelTogglesSayWhatTheyWillDoNext)
{
    start();
    window->Action(jcShowHideStacker)->trigger();
    EXPECT_FALSE(window->StackerPanel().isVisible());
    EXPECT_EQ(window->Action(jcShowHideStacker)->text(), QStringLiteral("Show &Stacker Panel"));
    window->Action(jcToggleQueueDetails)->trigger();
    EXPECT_FALSE(window->Label(jlQueueCount)->isVisible());
    EXPECT_TRUE(window->QueueDetailsPanel().isVisible()) << "the panel and its cover stay";
    window->Action(jcToggleList)->trigger();
    EXPECT_TRUE(window->ShowTrackList());
    EXPECT_FALSE(window->SongsPanel().isVisible());
    EXPECT_EQ(window->Label(jlArtistList)->Caption(), QStringLiteral("Track List  "));
    // The add-selected button joins the tree's bar without covering the
    // buttons there, and leaves it again for the song list.
    const auto barButtons = [this](const char *panel) {
        QList<QRect> bounds;
        for (const QObject *child : window->findChild<QWidget *>(QLatin1String(panel))->children())
            if (const auto *button = qobject_cast<const QWidget *>(child); button && child->objectName().startsWith("btn"))
                bounds.append(button->geometry());
        return bounds;
    };
    const QList<QRect> treeBar = barButtons("pnlTreeButtons");
    ASSERT_EQ(treeBar.size(), 4);
    for (qsizetype i = 0; i < treeBar.size(); ++i)
        for (qsizetype j = i + 1; j < treeBar.size(); ++j)
            EXPECT_FALSE(treeBar[i].intersects(treeBar[j])) << treeBar[i].x() << " and " << treeBar[j].x();
    window->Action(jcToggleList)->trigger();
    EXPECT_EQ(barButtons("pnlTreeButtons").size(), 3);
    EXPECT_EQ(barButtons("pnlSongButtons").size(), 2);
    window->Action(jcToggleVis)->trigger();
    EXPECT_FALSE(core->GetVisualisation());
    EXPECT_FALSE(window->Action(jcConfigureVis)->isVisible());
}

TEST_F(JukeboxWindow, ASkinExportedAndLoadedElsewhereLooksTheSame)
{
    start();
    const QString skinFolder = folder.root.filePath(QStringLiteral("skins/night"));
    QDir().mkpath(skinFolder);
    const QString skinFile = skinFolder + QStringLiteral("/night.vsk");
    QFile(skinFile).open(QIODevice::WriteOnly);
    window->ApplySkinColors(QColor(200, 40, 40), QColor(20, 60, 20), false);
    window->SaveSkinControls(skinFile);
    ASSERT_TRUE(QFile::exists(skinFile));
    const TiniFile written(skinFile);
    EXPECT_EQ(written.ReadString(QStringLiteral("Colors"), QStringLiteral("PanelColor"), {}), QStringLiteral("#143C14"));
    EXPECT_FALSE(written.ReadString(QStringLiteral("btnClose"), QStringLiteral("SkinBitmap"), {}).isEmpty());

    auto buttonPicture = [](TfrmJukebox &w, const char *name) {
        for (TvorlenButton *button : ChildControls<TvorlenButton>(w)) {
            if (button->objectName() == QLatin1String(name))
                return button->SkinBitmap();
        }
        return QImage();
    };
    const QImage closeButton = buttonPicture(*window, "btnClose");
    ASSERT_FALSE(closeButton.isNull());

    // The skin folder moves; a fresh window loads the skin from there.
    const QString moved = folder.root.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().rename(folder.root.filePath(QStringLiteral("skins")), moved));
    TfrmJukebox fresh;
    fresh.SetCore(core.get());
    fresh.SetSkinFile(moved + QStringLiteral("/night/night.vsk"));
    EXPECT_EQ(fresh.SkinFile(), moved + QStringLiteral("/night/night.vsk"));
    EXPECT_EQ(fresh.PanelColor(), QColor(20, 60, 20));
    EXPECT_EQ(fresh.ButtonColor(), QColor(200, 40, 40));
    EXPECT_EQ(buttonPicture(fresh, "btnClose").convertToFormat(QImage::Format_RGB32),
              closeButton.convertToFormat(QImage::Format_RGB32));
    fresh.SetCore(nullptr);
}

// The track search is a command like any other: a key no other command has,
// and an item of the Tracks menu.
TEST_F(JukeboxWindow, TheTrackSearchHasAKeyOfItsOwnAndAMenuItem)
{
    start();
    QStringList keys;
    for (const TjukeboxActionSpec &spec : JukeboxActions())
        for (const QKeySequence &key : QKeySequence::listFromString(QLatin1String(spec.key)))
            if (!key.isEmpty())
                keys << key.toString();
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size()) << keys.join(u' ').toStdString();
    const QKeySequence searchKey = window->Action(jcSongSearch)->shortcut();
    ASSERT_FALSE(searchKey.isEmpty());

    window->activateWindow();
    window->Lists().TreeView().setFocus();
    QTest::keySequence(window.get(), searchKey);
    QApplication::processEvents();
    EXPECT_TRUE(window->Lists().Search().IsOpen());
    EXPECT_TRUE(window->Lists().Search().Edit()->hasFocus());

    bool inTracksMenu = false;
    for (const QToolButton *button : window->MenuBar().findChildren<QToolButton *>()) {
        if (button->menu() && button->text() == QStringLiteral("&Tracks"))
            inTracksMenu = button->menu()->actions().contains(window->Action(jcSongSearch));
    }
    EXPECT_TRUE(inTracksMenu);
}

TEST_F(JukeboxWindow, TheQueueControlsComeBackWhereTheyWere)
{
    start();
    const QRect before = window->QueueControlPanel().geometry();
    const QWidget *splitter = window->findChild<QWidget *>(QStringLiteral("spltQueueDetails"));
    ASSERT_TRUE(splitter);
    ASSERT_LT(before.right(), splitter->x()) << "left of the details splitter";
    for (int i = 0; i < 2; ++i) {
        window->Action(jcQueueControlToggle)->trigger();
        QApplication::processEvents();
    }
    EXPECT_TRUE(window->QueueControlPanel().isVisible());
    EXPECT_EQ(window->QueueControlPanel().geometry(), before);
    EXPECT_LT(window->QueueControlPanel().geometry().right(), splitter->x());
}

TEST_F(JukeboxWindow, TheSongTitlePanelDocksAboveTheDisplayWhenTheMenuIsHidden)
{
    start();
    const QWidget *display = window->findChild<QWidget *>(QStringLiteral("pnlDisplay"));
    const QWidget *top = window->findChild<QWidget *>(QStringLiteral("pnlTop"));
    ASSERT_TRUE(display && top);
    window->Action(jcToggleMenu)->trigger();
    window->Action(jcShowHideSongScroller)->trigger();
    window->Action(jcShowHideSongScroller)->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(window->SongTitlePanel().isVisible());
    EXPECT_EQ(window->SongTitlePanel().y(), top->geometry().bottom() + 1) << "under the top bar";
    EXPECT_EQ(display->y(), window->SongTitlePanel().geometry().bottom() + 1) << "above the display";

    // And under the menu panel once it is back.
    window->Action(jcShowHideSongScroller)->trigger();
    window->Action(jcToggleMenu)->trigger();
    window->Action(jcShowHideSongScroller)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window->SongTitlePanel().y(), window->MenuPanel().geometry().bottom() + 1);
    EXPECT_EQ(display->y(), window->SongTitlePanel().geometry().bottom() + 1);
}

TEST_F(JukeboxWindow, SavingTheSkinKeepsAHiddenStackerPanelHidden)
{
    start();
    window->Action(jcShowHideStacker)->trigger();
    ASSERT_FALSE(window->StackerPanel().isVisible());
    // The Skins dialog's Apply with new colours saves the skin style.
    ASSERT_TRUE(window->TakeSkinColors(QColor(200, 180, 120), QColor(40, 50, 60)));
    QApplication::processEvents();
    EXPECT_FALSE(window->StackerPanel().isVisible());
    EXPECT_EQ(window->Action(jcShowHideStacker)->text(), QStringLiteral("Show &Stacker Panel"));
    const TiniFile skin(folder.home() + QStringLiteral("/vorlen.vsk"));
    EXPECT_EQ(skin.ReadString(QStringLiteral("Colors"), QStringLiteral("PanelColor"), {}), QStringLiteral("#28323C"));
    EXPECT_FALSE(skin.ReadString(QStringLiteral("Labels"), QStringLiteral("lblStackerAlbumsCaptionLeft"), {}).isEmpty())
        << "the stacker's labels are saved all the same";
}

TEST_F(JukeboxWindow, APreloadedPlaylistWithAnAmpersandIsActivatedFromTheMenu)
{
    start();
    const QString song = folder.addTrack(QStringLiteral("p/r.mp3"), QStringLiteral("Roll"), QStringLiteral("R"),
                                         QStringLiteral("P"), 1);
    const QString list = folder.writeM3u(QStringLiteral("rock.m3u"), { song });
    for (const QString &name : { QStringLiteral("Rock & Roll"), QStringLiteral("R&B && Soul") })
        ASSERT_TRUE(core->AddPreloadedPlaylist(name, list, false, true)) << name.toStdString();
    core->PlaylistsEdited();
    const QList<QAction *> items = window->PlaylistMenu().actions();
    ASSERT_EQ(items.size(), 3);
    // Shown as named: the menu's "&&" is one "&" on screen.
    const std::pair<QString, QString> shown[] = { { QStringLiteral("Rock & Roll"), QStringLiteral("Rock && Roll") },
        { QStringLiteral("R&B && Soul"), QStringLiteral("R&&B &&&& Soul") } };
    const TtagPlayListCollection &collection = core->jblMain().PlaylistCollection();
    for (const auto &[name, caption] : shown) {
        const auto item = std::find_if(
            items.begin(), items.end(), [&caption](const QAction *action) { return action->text() == caption; });
        ASSERT_NE(item, items.end()) << caption.toStdString();
        (*item)->trigger();
        ASSERT_TRUE(collection.Active()) << name.toStdString();
        EXPECT_EQ(collection.ActivePlaylist(), collection.Find(name));
        EXPECT_TRUE((*item)->isChecked());
        EXPECT_EQ(label(jlPlaylistCount), QStringLiteral("1"));
    }
}

// The logo: a click opens the about box; a drag past the platform's drag
// distance moves the window and opens nothing.
TEST_F(JukeboxWindow, TheLogoClicksOrDragsNeverBoth)
{
    start();
    QWidget *logo = window->findChild<QWidget *>(QStringLiteral("pnlLogo"));
    ASSERT_TRUE(logo);
    const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(logo->mapFromGlobal(global)), QPointF(global),
            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(logo, &event);
    };
    const auto abouts = [&] { return std::count(ui.windows.begin(), ui.windows.end(), TcoreWindow::About); };
    const QPoint start = logo->mapToGlobal(QPoint(60, 10));
    const QPoint where = window->pos();
    const int distance = QApplication::startDragDistance();

    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(distance - 1, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + QPoint(distance - 1, 0), Qt::NoButton);
    EXPECT_EQ(abouts(), 1) << "a click, wobbling less than the drag distance";
    EXPECT_EQ(window->pos(), where);

    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(40, 25), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + QPoint(40, 25), Qt::NoButton);
    EXPECT_EQ(abouts(), 1) << "a drag is no click";
    EXPECT_EQ(window->pos(), where + QPoint(40, 25));

    // Full screen: the window stays, and the drag is still no click.
    window->SetFullScreen(true);
    const QPoint full = window->pos();
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(40, 25), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + QPoint(40, 25), Qt::NoButton);
    EXPECT_EQ(window->pos(), full);
    EXPECT_EQ(abouts(), 1);
}

// A cover file that cannot be read (not a picture at all) clears the cover
// the previous track showed.
TEST_F(JukeboxWindow, AnUnreadableCoverFileClearsThePreviousCover)
{
    start();
    const QString first = folder.addTrack(
        QStringLiteral("a/1.mp3"), QStringLiteral("One"), QStringLiteral("Good"), QStringLiteral("Cover"), 1, 440, 10);
    const QString second = folder.addTrack(
        QStringLiteral("b/2.mp3"), QStringLiteral("Two"), QStringLiteral("Bad"), QStringLiteral("Cover"), 1, 660, 10);
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
            QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc2=size=64x48"),
            QStringLiteral("-frames:v"), QStringLiteral("1"), folder.music() + QStringLiteral("/a/Good - Cover.jpg") },
        &error))
        << error.toStdString();
    QFile bad(folder.music() + QStringLiteral("/b/Bad - Cover.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is no picture, whatever its name says");
    bad.close();
    core->QueueFile(first);
    core->QueueFile(second);

    const TdravoBitmap *cover = window->findChild<TdravoBitmap *>(QStringLiteral("bmAlbumCover"));
    ASSERT_TRUE(cover);
    window->Action(jcPlay)->trigger();
    DrivenPlayer(*core).Tick();
    ASSERT_EQ(core->Player().CurrentTrack()->Filename(), first);
    EXPECT_EQ(cover->Picture().size(), QSize(64, 48));
    window->Action(jcSkip)->trigger();
    DrivenPlayer(*core).Tick();
    ASSERT_EQ(core->Player().CurrentTrack()->Filename(), second);
    EXPECT_TRUE(cover->Picture().isNull());
    EXPECT_TRUE(window->CoverFile().isEmpty());
    window->Action(jcStop)->trigger();
}

// The mode line's bit rate, sample rate and file type stay where the skin
// file puts them, track after track.
TEST_F(JukeboxWindow, TheModeLineKeepsTheSkinFilesPlaces)
{
    start(QByteArray(), "[Labels]\nlblBitrateLeft=160\nlblSampleRateLeft=223\nlblFileTypeLeft=279\n");
    queueTracks(2, 10.0);
    const std::pair<TjukeboxLabel, int> places[] = { { jlBitrate, 160 }, { jlSampleRate, 223 }, { jlFileType, 279 } };
    for (int track = 0; track < 2; ++track) {
        window->Action(track == 0 ? jcPlay : jcSkip)->trigger();
        DrivenPlayer(*core).Tick();
        ASSERT_EQ(label(jlTrack), QStringLiteral("Queued %1").arg(track));
        for (const auto &[name, left] : places) {
            EXPECT_EQ(window->Label(name)->x(), left) << kJukeboxLabelNames[name];
            EXPECT_FALSE(window->Label(name)->Caption().isEmpty());
        }
    }
    window->Action(jcStop)->trigger();
}

// The library is measured in the background a few seconds after it is
// loaded, and the window's details say how far that has got.
TEST_F(JukeboxWindow, TheDetailsShowHowFarTheLoudnessAnalysisHasGot)
{
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << folder.addTrack(QStringLiteral("lib/%1.mp3").arg(i), QStringLiteral("Track %1").arg(i),
                                 QStringLiteral("Artist"), QStringLiteral("Album"), i + 1, 440 + 110 * i, 1.0);
    start();
    core->AddScannedFiles(files, false);
    const auto *caption = window->findChild<TdravoLabel *>(QStringLiteral("lblLoudnessCaption"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->Caption(), QStringLiteral("Loudness :"));
    QElapsedTimer clock;
    clock.start();
    while (label(jlLoudnessMeasured) != QStringLiteral("all") && clock.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(label(jlLoudnessMeasured), QStringLiteral("all"));
    EXPECT_EQ(core->Sound().Store().Count(), 3);
    for (const QString &file : files)
        EXPECT_TRUE(core->Sound().Store().FindCurrent(file)) << file.toStdString();
}

TEST_F(JukeboxWindow, ADamagedSkinIsNamedOnceAndKeptBeforeTheExitWritesIt)
{
    // Cut off while it was written: the panel colour has lost two digits.
    const QByteArray skin = "[Colors]\nButtonColor=#102030\nPanelColor=#4050";
    const QString skinFile = folder.home() + QStringLiteral("/vorlen.vsk");
    start(QByteArray(), skin);
    EXPECT_EQ(window->ButtonColor(), QColor(0x10, 0x20, 0x30)) << "what could be read is used";
    ASSERT_EQ(ui.notices.size(), 1) << ui.notices.join(u'\n').toStdString();
    EXPECT_TRUE(ui.notices.first().contains(skinFile + QStringLiteral(": it ends in the middle of a line")))
        << ui.notices.first().toStdString();
    EXPECT_TRUE(ui.notices.first().contains(QStringLiteral("kept as vorlen.vsk.damaged")));
    window->close();
    QFile kept(skinFile + QStringLiteral(".damaged"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), skin);
    EXPECT_TRUE(TiniFile(skinFile).ReadProblem().isEmpty()) << "the exit wrote the skin whole";
    EXPECT_EQ(ui.notices.size(), 1);
    EXPECT_TRUE(ui.messages.isEmpty());
}

// The window counts a partial change of the library itself: tracks that came
// and went add and take away their length, a track read anew has the whole
// library summed again; a recount (ListsUpdated) shows the same.
TEST_F(JukeboxWindow, APartialChangeOfTheLibraryShowsTheCountsARecountShows)
{
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << folder.addTrack(QStringLiteral("lib/%1.mp3").arg(i), QStringLiteral("Track %1").arg(i),
                                 QStringLiteral("Artist"), QStringLiteral("Album"), i + 1, 440, 1.0);
    start();
    core->AddScannedFiles(files, false);
    auto &library = const_cast<Tmp3JukeBoxLists &>(core->jblMain());
    LibraryEditor editor(library);
    const auto expectRecount = [this](const char *change) {
        const QString count = label(jlGlobalCount);
        const QString length = label(jlGlobalDuration);
        window->ListsUpdated();
        EXPECT_EQ(count, label(jlGlobalCount)) << change;
        EXPECT_EQ(length, label(jlGlobalDuration)) << change;
    };

    editor.Add(MakeRecord({QStringLiteral("Long"), QStringLiteral("Artist"), QStringLiteral("Album"),
                           QStringLiteral("/m/long.mp3"), 4, 3723000}));
    editor.Take();
    EXPECT_EQ(label(jlGlobalCount), QStringLiteral("4"));
    expectRecount("added");

    editor.Remove(library.MasterList().Items(0));
    editor.Take();
    expectRecount("removed");

    TcustomTagger *reread = library.MasterList().Items(0);
    reread->SetDuration(reread->Duration() + 600000);
    editor.Retitle(reread, reread->Title());
    editor.Take();
    expectRecount("read anew");
}
