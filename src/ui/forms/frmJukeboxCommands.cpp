// The jukebox window's commands: its actions and keys, its menus, the
// playback control button and the window's gestures.
#include "ui/forms/frmJukebox.h"

#include "core/dmMain.h"
#include "library/tagPlayListCollection.h"
#include "library/tagPlaylist.h"
#include "library/taggerQueue.h"
#include "metadata/timeTexts.h"
#include "platform/pendingEvents.h"
#include "platform/raiseEvent.h"
#include "playback/crossPlayer.h"
#include "ui/controls/childControls.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/controls/windowDrag.h"
#include "ui/forms/jukeboxActions.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/forms/visDisplay.h"
#include "ui/lists/trackSearch.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>

namespace {

// A menu's items by command; jcCommandCount stands for a separator.
constexpr TjukeboxCommand kSeparator = jcCommandCount;
using MenuItems = std::initializer_list<TjukeboxCommand>;

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
    }
}

void TfrmJukebox::buildMenus()
{
    auto makeMenu = [this](const QString &title, MenuItems items) {
        auto *menu = new QMenu(title);
        for (const TjukeboxCommand command : items) {
            if (command == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(Action(command));
        }
        m_menus.emplace_back(menu);
        return menu;
    };
    QMenu *file = makeMenu(
        QStringLiteral("&File"), { jcQueueFile, kSeparator, jcRefreshCDs, jcScanFolders, kSeparator, jcExit });
    QMenu *settings = makeMenu(QStringLiteral("&Settings"),
        { jcEditMusicFolders, jcEditCrossFader, jcEditGeneral, jcSetAlarms, kSeparator, jcSkins, kSeparator,
            jcPartyMode, jcPartyWindow });
    QMenu *play = makeMenu(QStringLiteral("&Play Control"), { jcPlay, jcSkip, jcStop, jcPause });
    QMenu *tracks = makeMenu(
        QStringLiteral("&Tracks"), { jcAddSelectedSongs, jcAddAllSongs, kSeparator, jcQueueCD, jcSongSearch });
    QMenu *queue = makeMenu(QStringLiteral("&Queue"),
        { jcQueueMoveUp, jcQueueMoveDown, jcQueueMoveTo, kSeparator, jcQueueDelete, jcQueueClear, kSeparator,
            jcQueueFile });
    QMenu *playlists
        = makeMenu(QStringLiteral("Play&lists"), { jcShowPlaylist, jcShowPlaylistEditor, kSeparator, jcSetPlaylists });
    m_playlistMenu = playlists->addMenu(QStringLiteral("Activate Preloaded Playlist"));
    m_playlistMenu->setObjectName(QStringLiteral("mnuActivatePlaylist"));
    m_playlistGroup = new QActionGroup(this);
    m_playlistGroup->setExclusive(true);
    connect(m_playlistGroup, &QActionGroup::triggered, this, [this](QAction *item) { activatePlaylist(item); });
    playlists->addSeparator();
    playlists->addAction(Action(jcPlaylistRules));
    playlists->addSeparator();
    playlists->addAction(Action(jcDeactivatePlaylists));
    QMenu *stacker = makeMenu(QStringLiteral("Stac&ker"), { jcStackerConfig, jcStackerPower, jcShowHideStacker });
    QMenu *vis = makeMenu(QStringLiteral("Vis &Window"), { jcConfigureVis, jcToggleVis });
    QMenu *view = makeMenu(QStringLiteral("&View"),
        { jcFullScreen, kSeparator, jcToggleList, kSeparator, jcToggleMenu, jcShowHideSongScroller, jcShowHideStacker,
            kSeparator, jcQueueControlToggle, jcToggleQueueDetails });
    QMenu *help = makeMenu(QStringLiteral("&Help"), { jcShowTips, jcHelp, kSeparator, jcAbout });
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
    m_mainPopup->addMenu(makeMenu(QStringLiteral("&Queue"),
        { jcQueueMoveUp, jcQueueMoveDown, jcQueueMoveTo, kSeparator, jcQueueDelete, jcQueueClear }));
    m_mainPopup->addMenu(makeMenu(QStringLiteral("Play&lists"),
        { jcShowPlaylist, jcShowPlaylistEditor, kSeparator, jcSetPlaylists, kSeparator, jcPlaylistRules, kSeparator,
            jcDeactivatePlaylists }));
    m_mainPopup->addMenu(makeMenu(QStringLiteral("Stac&ker"), { jcStackerPower, jcStackerConfig, jcShowHideStacker }));
    m_mainPopup->addMenu(vis);
    m_mainPopup->addMenu(view);
    m_mainPopup->addMenu(help);

    m_visPopup = new QMenu(this);
    m_visPopup->setObjectName(QStringLiteral("pmVis"));
    m_visPopup->addAction(Action(jcToggleVis));
    m_visPopup->addAction(Action(jcConfigureVis));
    m_visDisplay->SetPopupMenu(m_visPopup);
}

void TfrmJukebox::setToggleCaption(TjukeboxCommand command, bool on)
{
    if (const TtoggleCaptionSpec *spec = JukeboxToggleCaption(command))
        Action(command)->setText(QString::fromLatin1(on ? spec->captionWhenOn : spec->captionWhenOff));
}

void TfrmJukebox::connectCommands()
{
    auto on = [this](TjukeboxCommand command, auto handler) {
        connect(Action(command), &QAction::triggered, this, handler);
    };
    // Every core command waits until the core exists.
    auto core = [this](auto handler) {
        return [this, handler] {
            if (m_core)
                handler(*m_core);
        };
    };
    on(jcPlay, core([](TdmMain &c) { c.Play(); }));
    on(jcPause, core([](TdmMain &c) { c.Pause(); }));
    on(jcSkip, core([](TdmMain &c) { c.Skip(); }));
    on(jcStop, core([](TdmMain &c) { c.Stop(); }));
    on(jcVolumeUp, [this] { changeVolume(-10); });
    on(jcVolumeDown, [this] { changeVolume(10); });
    on(jcAddSelectedSongs, [this] { addSelectedSongs(); });
    on(jcAddAllSongs, [this] { addAllSongs(); });
    on(jcQueueCD, core([](TdmMain &c) { c.QueueAlbum(); }));
    on(jcQueueMoveUp, [this] { queueMoveUp(); });
    on(jcQueueMoveDown, [this] { queueMoveDown(); });
    on(jcQueueMoveTo, [this] { queueMoveTo(); });
    on(jcQueueDelete, [this] { queueDelete(); });
    on(jcQueueClear, [this] { queueClear(); });
    on(jcQueueFile, core([](TdmMain &c) { c.QueueFiles(); }));
    on(jcRefreshCDs, core([](TdmMain &c) { c.RefreshCDs(); }));
    on(jcScanFolders, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::MusicSearch); });
    on(jcExit, [this] {
        if (m_core)
            m_core->RequestQuit();
        else
            closeOnceKeysAreUp();
    });
    on(jcMinimize, [this] { showMinimized(); });
    on(jcFullScreen, [this] { SetFullScreen(!m_fullScreen); });
    on(jcToggleList, [this] { SetShowTrackList(!m_showTrackList); });
    on(jcToggleMenu, [this] { togglePanel(*m_menuPanel, jcToggleMenu); });
    on(jcShowHideSongScroller, [this] {
        // Placed just above the display panel before it shows or hides, so
        // that it docks under the menu panel, or under the top bar while the
        // menu panel is hidden.
        m_songTitlePanel->move(0, m_displayPanel->y() - 1);
        togglePanel(*m_songTitlePanel, jcShowHideSongScroller);
    });
    on(jcShowHideStacker, [this] { togglePanel(*m_stackerPanel, jcShowHideStacker); });
    on(jcQueueControlToggle, [this] { togglePanel(*m_queueControlPanel, jcQueueControlToggle); });
    on(jcToggleQueueDetails, [this] {
        m_queueDetails = !m_queueDetails;
        fitQueueDetails();
        setToggleCaption(jcToggleQueueDetails, m_queueDetails);
    });
    on(jcStackerPower, [this] {
        if (!m_core)
            return;
        m_core->SetStackerEnabled(!m_core->StackerEnabled());
        m_stackerPower->SetChecked(m_core->StackerEnabled());
        showStackerTitle();
    });
    on(jcStackerConfig, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::Stacker); });
    on(jcToggleVis, [this] { toggleVisualisation(); });
    on(jcConfigureVis, core([](TdmMain &c) { c.ConfigureVisualisation(); }));
    on(jcSongSearch, [this] {
        // Right under the search button, in the coordinates of the tree's
        // card that holds the box.
        const QWidget *card = m_lists->Search().Edit()->parentWidget();
        const QPoint underButton = m_treeButtons->mapTo(this, QPoint(m_searchButton->x(), m_treeButtons->height()));
        m_lists->OpenSearch(card->mapFrom(this, underButton));
    });
    on(jcEditMusicFolders, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PreferencesMusicFolders); });
    on(jcEditCrossFader, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PreferencesCrossFade); });
    on(jcEditGeneral, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PreferencesGeneral); });
    on(jcSetAlarms, [this] { RaiseEvent(m_dialogs.AlarmSettings); });
    on(jcSkins, [this] { RaiseEvent(m_dialogs.Skins); });
    on(jcShowPlaylist, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::Playlist); });
    on(jcShowPlaylistEditor, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PlaylistEditor); });
    on(jcSetPlaylists, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PlaylistListEditor); });
    on(jcPlaylistRules, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PlaylistOptions); });
    on(jcDeactivatePlaylists, core([](TdmMain &c) { c.DeactivatePlaylists(); }));
    on(jcShowTips, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::TipOfTheDay); });
    on(jcHelp, [this] { openHelp(); });
    on(jcAbout, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::About); });
    on(jcPartyMode, [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::PartyMode); });
    on(jcPartyWindow, [this] { RaiseEvent(m_dialogs.PartyWindow); });

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
            m_core->Seek(value);
    };
    m_clock->OnClick = [this](QObject *) {
        m_clock->SetClockStyle(m_clock->ClockStyle() == cs12hr ? cs24hr : cs12hr);
    };
    m_timer->OnClick = [this](QObject *) { m_showTimeRemaining = !m_showTimeRemaining; };
    m_banner->OnClick = [this](QObject *) { m_banner->SetScrollEnabled(!m_banner->ScrollEnabled()); };
    m_lists->OnAddSelected = [this] { addSelectedSongs(); };

    // The logo: a click opens the about box, a drag moves the window (not in
    // full screen), never both; a right click opens the popup menu.
    m_logoPanel->OnMouseDown = [this](QObject *, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
        if (button == Qt::RightButton)
            m_mainPopup->popup(QCursor::pos());
    };
    auto *logoDrag = new TwindowDrag(*m_logoPanel);
    logoDrag->CanMove = [this] { return !m_fullScreen; };
    logoDrag->OnClick = [this] { RaiseEvent(m_dialogs.OpenWindow, TcoreWindow::About); };
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
    const int row = m_core->QueueMoveUp(m_lists->SelectedQueueRow());
    if (row >= 0)
        m_lists->SetSelectedQueueRow(row);
}

void TfrmJukebox::queueMoveDown()
{
    if (!m_core)
        return;
    const int row = m_core->QueueMoveDown(m_lists->SelectedQueueRow());
    if (row >= 0)
        m_lists->SetSelectedQueueRow(row);
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
    if (m_dialogs.MoveTo(count, row, topLeft, &position) && m_core->QueueMoveTo(row, position) >= 0)
        m_lists->SetSelectedQueueRow(position);
}

void TfrmJukebox::queueDelete()
{
    if (m_core)
        m_core->QueueDelete(m_lists->SelectedQueueRow());
}

void TfrmJukebox::queueClear()
{
    if (!m_core || m_core->tqQueue().Count() == 0)
        return;
    if (QMessageBox::warning(this, QStringLiteral("Confirm"), QStringLiteral("Are you sure you want to clear the queue?"),
                             QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
        m_core->QueueClear();
}

void TfrmJukebox::changeVolume(int delta)
{
    if (!m_core)
        return;
    // The volume runs the other way from the level: F10 (up) lowers the
    // master value, so the level rises with the bar's top.
    m_core->SetMasterVolume(std::clamp(m_core->GetMasterVolume() + delta, 0, 255));
}

void TfrmJukebox::togglePanel(TvorlenPanel &panel, TjukeboxCommand command)
{
    // The queue controls come back where they were: right of the queue list,
    // left of the details splitter.
    if (&panel == m_queueControlPanel && !panel.isVisible())
        panel.move(m_detailsSplitter->x() - panel.width(), panel.y());
    panel.setVisible(!panel.isVisible());
    setToggleCaption(command, panel.isVisible());
}

void TfrmJukebox::toggleVisualisation()
{
    setVisualisation(!m_visEnabled);
}

void TfrmJukebox::setVisualisation(bool on)
{
    m_visEnabled = on;
    setToggleCaption(jcToggleVis, on);
    Action(jcConfigureVis)->setVisible(on);
    fitDisplay();
    if (!m_core)
        return;
    // The plug-in keeps its settings in the plug-in folder.
    m_core->SetVisualisation(on, &m_visDisplay->Surface());
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
    // "None" has no name to activate.
    if (!item->data().isValid())
        m_core->ActivateNoPlaylist();
    else
        m_core->ActivatePlaylist(item->data().toString());
    // The details and the check mark follow the core's announcement, which
    // any face's activation raises.
    ActivePlaylistChanged();
}

void TfrmJukebox::ActivePlaylistChanged()
{
    PlaylistChanged();
    if (!m_core)
        return;
    const TtagPlayListCollection &collection = m_core->jblMain().PlaylistCollection();
    const TtagPlaylist *active = collection.Active() ? collection.ActivePlaylist() : nullptr;
    for (QAction *item : m_playlistGroup->actions()) {
        const bool isNone = !item->data().isValid();
        if (active ? !isNone && collection.Find(item->data().toString()) == active : isNone)
            item->setChecked(true);
    }
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
    m_playlistGroup->addAction(none);
    m_playlistMenu->addAction(none);
    if (!m_core)
        return;
    const TtagPlayListCollection &collection = m_core->jblMain().PlaylistCollection();
    for (int i = 0; i < collection.Count(); ++i) {
        // The item shows the name as it is ("Rock && Roll" shows "Rock & Roll")
        // and keeps the name itself to activate.
        const QString name = collection.Names(i);
        auto *item = new QAction(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")), m_playlistMenu);
        item->setCheckable(true);
        item->setData(name);
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
    TrackChanged(TnowPlaying());
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
