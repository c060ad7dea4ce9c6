// The jukebox window's commands: its actions and keys, its menus, the
// playback control button and the window's gestures.
#include "ui/forms/frmJukebox.h"

#include "core/dmMain.h"
#include "library/tagPlayListCollection.h"
#include "library/tagPlaylist.h"
#include "library/taggerQueue.h"
#include "metadata/timeTexts.h"
#include "platform/pendingEvents.h"
#include "playback/crossPlayer.h"
#include "ui/controls/childControls.h"
#include "ui/controls/captionText.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/jukeboxActions.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/forms/visDisplay.h"
#include "playback/tinyVisLoader.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>

namespace {

// A menu's items by action name; "-" is a separator.
using MenuItems = std::initializer_list<const char *>;

} // namespace

void TfrmJukebox::buildActions()
{
    for (const TjukeboxActionSpec &spec : JukeboxActions()) {
        auto *action = new QAction(QString::fromLatin1(spec.caption), this);
        action->setObjectName(QLatin1String(spec.name));
        if (spec.key[0] != '\0')
            action->setShortcuts(QKeySequence::listFromString(QLatin1String(spec.key)));
        action->setShortcutContext(Qt::WindowShortcut);
        if (spec.hint[0] != '\0') {
            action->setToolTip(QString::fromLatin1(spec.hint));
            action->setStatusTip(QString::fromLatin1(spec.hint));
        }
        addAction(action);
        m_actions.append(action);
        m_actionByName.insert(QByteArray(spec.name), action);
    }
}

QAction *TfrmJukebox::Action(const char *name) const
{
    return m_actionByName.value(QByteArray(name), nullptr);
}

void TfrmJukebox::buildMenus()
{
    auto makeMenu = [this](const QString &title, MenuItems items) {
        auto *menu = new QMenu(title);
        for (const char *name : items) {
            if (QByteArray(name) == "-")
                menu->addSeparator();
            else
                menu->addAction(Action(name));
        }
        m_menus.emplace_back(menu);
        return menu;
    };
    QMenu *file = makeMenu(QStringLiteral("&File"),
                           {"actnQueueFile", "-", "actnRefreshCDs", "actnScanFolders", "-", "actnExit"});
    QMenu *settings = makeMenu(QStringLiteral("&Settings"), {"actnEditMusicFolders", "actnEditCrossFader",
                                                             "actnEditGenereal", "actnSetAlarms", "-", "actnSkins"});
    QMenu *play = makeMenu(QStringLiteral("&Play Control"), {"actnPlay", "actnSkip", "actnStop", "actnPause"});
    QMenu *tracks =
        makeMenu(QStringLiteral("&Tracks"), {"actnAddSelectedSongs", "actnAddAllSongs", "-", "actnQueueCD"});
    QMenu *queue = makeMenu(QStringLiteral("&Queue"), {"actnQueueMoveUp", "actnQueueMoveDown", "actnQueueMoveTo", "-",
                                                       "actnQueueDelete", "actnQueueClear", "-", "actnQueueFile"});
    QMenu *playlists = makeMenu(QStringLiteral("Play&lists"), {"actnShowPlaylist", "actnShowPlaylistEditor", "-",
                                                               "actnSetPlaylists"});
    m_playlistMenu = playlists->addMenu(QStringLiteral("Activate Preloaded Playlist"));
    m_playlistMenu->setObjectName(QStringLiteral("mnuActivatePlaylist"));
    m_playlistGroup = new QActionGroup(this);
    m_playlistGroup->setExclusive(true);
    connect(m_playlistGroup, &QActionGroup::triggered, this, [this](QAction *item) { activatePlaylist(item); });
    playlists->addSeparator();
    playlists->addAction(Action("actnPlaylistRules"));
    playlists->addSeparator();
    playlists->addAction(Action("actnDeactivatePlaylists"));
    QMenu *stacker = makeMenu(QStringLiteral("Stac&ker"),
                              {"actnStackerConfig", "actnStackerPower", "actnShowHideStacker"});
    QMenu *vis = makeMenu(QStringLiteral("Vis &Window"), {"actnConfigureVis", "actnToggleVis"});
    QMenu *view = makeMenu(QStringLiteral("&View"),
                           {"actnFullScreen", "-", "actnToggleList", "-", "actnToggleMenu", "actnShowHideSongScroller",
                            "actnShowHideStacker", "-", "actnQueueControlToggle", "actnToggleQueueDetails"});
    QMenu *help = makeMenu(QStringLiteral("&Help"), {"actnShowTips", "actnHelp", "-", "actnAbout"});
    for (QMenu *menu : {file, settings, play, tracks, queue, playlists, stacker, vis, view, help})
        m_menuBar->AddMenu(menu->title(), menu);

    // The logo's popup: the same menus, but Queue ends after Clear, Playlists
    // has no submenu and Stacker lists the power switch first.
    m_mainPopup = new QMenu(this);
    m_mainPopup->setObjectName(QStringLiteral("pmMain"));
    m_mainPopup->addMenu(file);
    m_mainPopup->addMenu(settings);
    m_mainPopup->addMenu(play);
    m_mainPopup->addMenu(tracks);
    m_mainPopup->addMenu(makeMenu(QStringLiteral("&Queue"), {"actnQueueMoveUp", "actnQueueMoveDown", "actnQueueMoveTo",
                                                             "-", "actnQueueDelete", "actnQueueClear"}));
    m_mainPopup->addMenu(makeMenu(QStringLiteral("Play&lists"),
                                  {"actnShowPlaylist", "actnShowPlaylistEditor", "-", "actnSetPlaylists", "-",
                                   "actnPlaylistRules", "-", "actnDeactivatePlaylists"}));
    m_mainPopup->addMenu(makeMenu(QStringLiteral("Stac&ker"),
                                  {"actnStackerPower", "actnStackerConfig", "actnShowHideStacker"}));
    m_mainPopup->addMenu(vis);
    m_mainPopup->addMenu(view);
    m_mainPopup->addMenu(help);

    m_visPopup = new QMenu(this);
    m_visPopup->setObjectName(QStringLiteral("pmVis"));
    m_visPopup->addAction(Action("actnToggleVis"));
    m_visPopup->addAction(Action("actnConfigureVis"));
    m_visDisplay->SetPopupMenu(m_visPopup);
}

void TfrmJukebox::setToggleCaption(const char *action, bool on)
{
    for (const TtoggleCaptionSpec &spec : JukeboxToggleCaptions()) {
        if (QByteArray(spec.name) == action)
            Action(action)->setText(QString::fromLatin1(on ? spec.captionWhenOn : spec.captionWhenOff));
    }
}

void TfrmJukebox::connectCommands()
{
    auto on = [this](const char *name, auto handler) { connect(Action(name), &QAction::triggered, this, handler); };
    // Every core command waits until the core exists.
    auto core = [this](auto handler) {
        return [this, handler] {
            if (m_core)
                handler(*m_core);
        };
    };
    on("actnPlay", core([](TdmMain &c) { c.Play(); }));
    on("actnPause", core([](TdmMain &c) { c.Pause(); }));
    on("actnSkip", core([](TdmMain &c) { c.Skip(); }));
    on("actnStop", core([](TdmMain &c) { c.Stop(); }));
    on("actnVolumeUp", [this] { changeVolume(-10); });
    on("actnVolumeDown", [this] { changeVolume(10); });
    on("actnAddSelectedSongs", [this] { addSelectedSongs(); });
    on("actnAddAllSongs", [this] { addAllSongs(); });
    on("actnQueueCD", core([](TdmMain &c) { c.QueueAlbum(); }));
    on("actnQueueMoveUp", [this] { queueMoveUp(); });
    on("actnQueueMoveDown", [this] { queueMoveDown(); });
    on("actnQueueMoveTo", [this] { queueMoveTo(); });
    on("actnQueueDelete", [this] { queueDelete(); });
    on("actnQueueClear", [this] { queueClear(); });
    on("actnQueueFile", core([](TdmMain &c) { c.QueueFiles(); }));
    on("actnRefreshCDs", core([](TdmMain &c) { c.RefreshCDs(); }));
    on("actnScanFolders", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::MusicSearch); }));
    on("actnExit", [this] { closeOnceKeysAreUp(); });
    on("actnMinimize", [this] { showMinimized(); });
    on("actnFullScreen", [this] { SetFullScreen(!m_fullScreen); });
    on("actnToggleList", [this] { SetShowTrackList(!m_showTrackList); });
    on("actnToggleMenu", [this] { togglePanel(*m_menuPanel, "actnToggleMenu"); });
    on("actnShowHideSongScroller", [this] {
        // Placed straight under the menu panel before it shows or hides.
        m_songTitlePanel->move(0, m_menuPanel->geometry().bottom());
        togglePanel(*m_songTitlePanel, "actnShowHideSongScroller");
    });
    on("actnShowHideStacker", [this] { togglePanel(*m_stackerPanel, "actnShowHideStacker"); });
    on("actnQueueControlToggle", [this] { togglePanel(*m_queueControlPanel, "actnQueueControlToggle"); });
    on("actnToggleQueueDetails", [this] {
        m_queueDetails = !m_queueDetails;
        for (TdravoLabel *label : ChildControls<TdravoLabel>(*m_queueDetailsPanel))
            label->setVisible(m_queueDetails);
        setToggleCaption("actnToggleQueueDetails", m_queueDetails);
    });
    on("actnStackerPower", [this] {
        if (!m_core)
            return;
        m_core->SetStackerEnabled(!m_core->StackerEnabled());
        m_stackerPower->SetChecked(m_core->StackerEnabled());
        showStackerTitle();
    });
    on("actnStackerConfig", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::Stacker); }));
    on("actnToggleVis", [this] { toggleVisualisation(); });
    on("actnConfigureVis", [this] {
        if (m_visLoader && m_visLoader->Active())
            m_visLoader->Configure();
    });
    on("actnSongSearch", [this] {
        m_lists->OpenSearch(QPoint(m_treeButtons->x() + m_searchButton->x(), m_treeButtons->geometry().bottom()));
    });
    on("actnEditMusicFolders", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::PreferencesMusicFolders); }));
    on("actnEditCrossFader", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::PreferencesCrossFade); }));
    on("actnEditGenereal", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::PreferencesGeneral); }));
    on("actnSetAlarms", [this] {
        if (m_dialogs.AlarmSettings)
            m_dialogs.AlarmSettings();
    });
    on("actnSkins", [this] {
        if (m_dialogs.Skins)
            m_dialogs.Skins();
    });
    on("actnShowPlaylist", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::Playlist); }));
    on("actnShowPlaylistEditor", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::PlaylistEditor); }));
    on("actnSetPlaylists", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::PlaylistListEditor); }));
    on("actnPlaylistRules", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::PlaylistOptions); }));
    on("actnDeactivatePlaylists", core([](TdmMain &c) { c.DeactivatePlaylists(); }));
    on("actnShowTips", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::TipOfTheDay); }));
    on("actnHelp", [this] { openHelp(); });
    on("actnAbout", core([](TdmMain &c) { c.ShowWindow(TcoreWindow::About); }));

    m_controls->OnButton1Click = [this](QObject *) { controlsClick(1); };
    m_controls->OnButton2Click = [this](QObject *) { controlsClick(2); };
    m_controls->OnButton3Click = [this](QObject *) { controlsClick(3); };
    m_controls->OnButton4Click = [this](QObject *) { controlsClick(4); };

    m_volumeBar->PositionChanged = [this](QObject *, int value) {
        ProcessPendingEvents();
        if (m_core)
            m_core->SetMasterVolume(255 - value);
    };
    m_positionBar->PositionChanged = [this](QObject *, int value) {
        ProcessPendingEvents();
        if (m_core)
            m_core->Player().Seek(value);
    };
    m_clock->OnClick = [this](QObject *) {
        m_clock->SetClockStyle(m_clock->ClockStyle() == cs12hr ? cs24hr : cs12hr);
    };
    m_clock->OnTimeOn = [this](QObject *) {
        if (m_core)
            m_core->Play();
    };
    m_clock->OnTimeOff = [this](QObject *) {
        if (m_core)
            m_core->Stop();
    };
    m_timer->OnClick = [this](QObject *) { m_showTimeRemaining = !m_showTimeRemaining; };
    m_banner->OnClick = [this](QObject *) { m_banner->SetScrollEnabled(!m_banner->ScrollEnabled()); };
    m_lists->OnAddSelected = [this] { addSelectedSongs(); };

    // The logo: a click opens the about box, a drag moves the window (by the
    // window system, which X11 and Wayland both offer), a right click the
    // popup menu.
    m_logoPanel->OnMouseDown = [this](QObject *, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
        if (button == Qt::RightButton) {
            m_mainPopup->popup(QCursor::pos());
            return;
        }
        if (button == Qt::LeftButton && !m_fullScreen && windowHandle())
            windowHandle()->startSystemMove();
    };
    m_logoPanel->OnClick = [this](QObject *) {
        if (m_core)
            m_core->ShowWindow(TcoreWindow::About);
    };
    // The lower-right corner of the details panel resizes the window.
    auto inCorner = [this](int x, int y) {
        return !m_fullScreen && x >= m_queueDetailsPanel->width() - 10 && y >= m_queueDetailsPanel->height() - 10;
    };
    m_queueDetailsPanel->OnMouseMove = [this, inCorner](QObject *, Qt::KeyboardModifiers, int x, int y) {
        m_queueDetailsPanel->setCursor(inCorner(x, y) ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
    };
    m_queueDetailsPanel->OnMouseDown = [this, inCorner](QObject *, Qt::MouseButton button, Qt::KeyboardModifiers,
                                                        int x, int y) {
        if (button == Qt::LeftButton && inCorner(x, y) && windowHandle())
            windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    };
}

void TfrmJukebox::closeOnceKeysAreUp()
{
    // A remote control that sends Ctrl+X through the X test extension sends
    // its key releases to the window that has the focus. Closed on the key
    // press, the window would be gone by then, and the X server would keep
    // Ctrl and X held for whatever gets the focus next. So the window waits
    // until no modifier is held, for a second at most.
    constexpr int kPollMs = 20;
    constexpr int kLongestWaitMs = 1000;
    auto *poll = new QTimer(this);
    QElapsedTimer waited;
    waited.start();
    connect(poll, &QTimer::timeout, this, [this, poll, waited] {
        if (QGuiApplication::queryKeyboardModifiers() != Qt::NoModifier && !waited.hasExpired(kLongestWaitMs))
            return;
        poll->deleteLater();
        close();
    });
    poll->start(kPollMs);
}

void TfrmJukebox::controlsClick(int part)
{
    // The control is disabled while its command runs, so that a second click
    // cannot start while the first is served.
    if (m_controlsBusy || !m_core)
        return;
    m_controlsBusy = true;
    m_controls->setEnabled(false);
    switch (part) {
    case 1:
        m_core->Play();
        break;
    case 2:
        m_core->Skip();
        break;
    case 3:
        m_core->Pause();
        break;
    case 4:
        m_core->Stop();
        break;
    default:
        break;
    }
    ProcessPendingEvents();
    m_controls->setEnabled(true);
    m_controlsBusy = false;
}

void TfrmJukebox::addSelectedSongs()
{
    if (!m_core)
        return;
    const std::vector<TcustomTagger *> records = m_lists->TakeSelectedSongs(m_showTrackList);
    if (!records.empty())
        m_core->QueueRecords(records);
}

void TfrmJukebox::addAllSongs()
{
    if (!m_core)
        return;
    const std::vector<TcustomTagger *> records = m_lists->TakeAllSongs();
    if (!records.empty())
        m_core->QueueRecords(records);
}

void TfrmJukebox::queueMoveUp()
{
    if (!m_core)
        return;
    const int row = m_lists->SelectedQueueRow();
    if (row <= 0)
        return;
    m_core->tqQueue().Move(row, row - 1);
    m_lists->SetSelectedQueueRow(row - 1);
}

void TfrmJukebox::queueMoveDown()
{
    if (!m_core)
        return;
    const int row = m_lists->SelectedQueueRow();
    if (row < 0 || row >= m_core->tqQueue().Count() - 1)
        return;
    m_core->tqQueue().Move(row, row + 1);
    m_lists->SetSelectedQueueRow(row + 1);
}

void TfrmJukebox::queueMoveTo()
{
    if (!m_core || !m_dialogs.MoveTo)
        return;
    const int row = m_lists->SelectedQueueRow();
    const int count = m_core->tqQueue().Count();
    if (row < 0 || count < 2)
        return;
    const QPoint topLeft =
        mapToGlobal(QPoint(m_queueControlPanel->x(), m_queuePanel->y() + m_moveToButton->y()));
    int position = 0;
    if (m_dialogs.MoveTo(count, row, topLeft, &position)) {
        m_core->tqQueue().Move(row, position);
        m_lists->SetSelectedQueueRow(position);
    }
}

void TfrmJukebox::queueDelete()
{
    if (!m_core)
        return;
    const int row = m_lists->SelectedQueueRow();
    if (row >= 0)
        m_core->tqQueue().Delete(row);
}

void TfrmJukebox::queueClear()
{
    if (!m_core || m_core->tqQueue().Count() == 0)
        return;
    if (QMessageBox::warning(this, QStringLiteral("Confirm"), QStringLiteral("Are you sure you want to clear the queue?"),
                             QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
        m_core->tqQueue().Clear();
}

void TfrmJukebox::changeVolume(int delta)
{
    if (!m_core)
        return;
    // The volume runs the other way from the level: F10 (up) lowers the
    // master value, so the level rises with the bar's top.
    m_core->SetMasterVolume(std::clamp(m_core->GetMasterVolume() + delta, 0, 255));
    ProcessPendingEvents();
    VolumeChanged();
}

void TfrmJukebox::togglePanel(TvorlenPanel &panel, const char *action)
{
    if (&panel == m_queueControlPanel && !panel.isVisible())
        panel.move(m_lists->QueueBar().geometry().right(), panel.y());
    panel.setVisible(!panel.isVisible());
    setToggleCaption(action, panel.isVisible());
}

void TfrmJukebox::toggleVisualisation()
{
    setVisualisation(!m_visEnabled);
}

void TfrmJukebox::setVisualisation(bool on)
{
    m_visEnabled = on;
    setToggleCaption("actnToggleVis", on);
    Action("actnConfigureVis")->setVisible(on);
    m_visPanel->setVisible(on);
    if (!m_core)
        return;
    m_core->SetVisualisation(on);
    if (on)
        startVisualisation();
    else if (m_visLoader)
        m_visLoader->Stop();
    m_visDisplay->update();
}

void TfrmJukebox::openHelp()
{
    if (!m_core || m_core->HelpFile().isEmpty())
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_core->HelpFile()));
}

void TfrmJukebox::activatePlaylist(QAction *item)
{
    if (!m_core)
        return;
    TtagPlayListCollection &collection = m_core->jblMain().PlaylistCollection();
    if (item->data().toBool()) {
        // "None".
        collection.SetActive(false);
        Label(QStringLiteral("lblPlaylistCount"))->SetCaption(QString::number(m_core->jblMain().LoadedPlaylist().Count()));
        Label(QStringLiteral("lblPlaylistDuration"))->SetCaption(QStringLiteral("0:00"));
    } else {
        m_core->ActivatePlaylist(StripAmpersand(item->text()));
        if (TtagPlaylist *active = collection.ActivePlaylist()) {
            Label(QStringLiteral("lblPlaylistCount"))->SetCaption(QString::number(active->Count()));
            Label(QStringLiteral("lblPlaylistDuration"))->SetCaption(FormatMsMinSec(qint64(active->TotalDuration())));
        }
    }
    item->setChecked(true);
}

void TfrmJukebox::PlaylistsLoaded()
{
    for (QAction *item : m_playlistGroup->actions()) {
        m_playlistGroup->removeAction(item);
        delete item;
    }
    m_playlistMenu->clear();
    auto *none = new QAction(QStringLiteral("None"), m_playlistMenu);
    none->setCheckable(true);
    none->setChecked(true);
    none->setData(true);
    m_playlistGroup->addAction(none);
    m_playlistMenu->addAction(none);
    if (!m_core)
        return;
    const TtagPlayListCollection &collection = m_core->jblMain().PlaylistCollection();
    for (int i = 0; i < collection.Count(); ++i) {
        auto *item = new QAction(collection.Names(i), m_playlistMenu);
        item->setCheckable(true);
        item->setData(false);
        item->setChecked(collection.Active() && collection.Playlists(i) == collection.ActivePlaylist());
        m_playlistGroup->addAction(item);
        m_playlistMenu->addAction(item);
    }
}

void TfrmJukebox::firstActivation()
{
    setEnabled(false);
    VolumeChanged();
    TreeFontChanged();
    if (m_core)
        m_stackerPower->SetChecked(m_core->StackerEnabled());
    SetSkinFile(m_skinFile);
    DoStartup();
    TrackChanged(nullptr);
    showStackerTitle();
    StackerChanged();
    PlaylistChanged();
    raise();
    activateWindow();
    setEnabled(true);
    // A disabled window takes no focus: the tree gets it now, so that the
    // keys work on it from the start.
    m_lists->TreeView().setFocus();
}
