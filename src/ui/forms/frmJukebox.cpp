#include "ui/forms/frmJukebox.h"

#include "core/dmMain.h"
#include "playback/crossPlayer.h"
#include "playback/tinyVisLoader.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/visDisplay.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>

TfrmJukebox::TfrmJukebox(QWidget *parent) : TvorlenSkinForm(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmJukebox"));
    // The remote-control programs find the window by this title.
    setWindowTitle(QStringLiteral("Vorlen Mp3 Jukebox"));
    setMinimumSize(640, 480);
    resize(800, 600);
    buildActions();
    buildControls();
    buildMenus();
    connectCommands();
    // The captions that say what a toggle does next.
    setToggleCaption("actnFullScreen", false);
    setToggleCaption("actnToggleList", false);
    setToggleCaption("actnToggleMenu", true);
    setToggleCaption("actnShowHideSongScroller", true);
    setToggleCaption("actnShowHideStacker", true);
    setToggleCaption("actnQueueControlToggle", true);
    setToggleCaption("actnToggleQueueDetails", true);
    setToggleCaption("actnToggleVis", true);
    m_buttonColor = QColor(0xcc, 0xcc, 0xe0);
    m_panelColor = QColor(0x44, 0x44, 0x60);
    PlaylistsLoaded();
    RealignControls(this);
}

TfrmJukebox::~TfrmJukebox()
{
    m_visLoader.reset();
    if (m_lists)
        m_lists->DropLibrary();
}

void TfrmJukebox::SetCore(TdmMain *core)
{
    m_core = core;
    m_lists->SetCore(core);
    m_visLoader.reset();
    if (!core)
        return;
    m_visLoader = std::make_unique<TtinyVisLoader>(&core->Player().Engine(), this);
    m_visLoader->SetSettingsPath(core->PluginSettingsFolder());
    m_visLoader->CreateCaptureUnit();
    PlaylistsLoaded();
    // The settings were read before the core was handed over: a
    // visualisation they switched on starts now.
    setVisualisation(m_visEnabled);
}

TdravoLabel *TfrmJukebox::Label(const QString &name) const
{
    for (TdravoLabel *label : m_labels) {
        if (label->objectName() == name)
            return label;
    }
    return nullptr;
}

void TfrmJukebox::showEvent(QShowEvent *event)
{
    TvorlenSkinForm::showEvent(event);
    fitLists();
    // Without a window manager (a private X server, a kiosk) the window may
    // never be activated: it starts once it is shown all the same.
    QTimer::singleShot(0, this, [this] {
        if (!m_activated) {
            m_activated = true;
            firstActivation();
        }
    });
}

void TfrmJukebox::changeEvent(QEvent *event)
{
    TvorlenSkinForm::changeEvent(event);
    // The first activation starts the jukebox; later ones change nothing.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated) {
        m_activated = true;
        firstActivation();
    }
}

void TfrmJukebox::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    if (m_visLoader)
        m_visLoader->Stop();
    m_cover->SetPicture(QImage());
    TvorlenSkinForm::closeEvent(event);
}

void TfrmJukebox::startVisualisation()
{
    if (!m_core || !m_visLoader)
        return;
    m_visLoader->SetLibrary(m_core->PluginsFolder() + QStringLiteral("/tinyvis.so"));
    if (m_visLoader->LibraryLoaded() && !m_visLoader->Modules().isEmpty()) {
        m_visLoader->SelectModule(0);
        m_visLoader->Start(&m_visDisplay->Surface());
    }
}

void TfrmJukebox::VisTimer()
{
    if (m_visLoader && m_visLoader->Active()) {
        m_visLoader->Render();
        m_visDisplay->update();
    }
}

void TfrmJukebox::LibraryChanging()
{
    m_lists->DropLibrary();
    if (m_dialogs.LibraryChanging)
        m_dialogs.LibraryChanging();
}

void TfrmJukebox::ListsUpdated()
{
    if (!m_core)
        return;
    Tmp3JukeBoxLists &library = m_core->jblMain();
    if (m_showTrackList)
        library.MasterList().SetDisplayType(tdTitleArtist);
    Label(QStringLiteral("lblArtistList"))
        ->SetCaption(m_showTrackList ? QStringLiteral("Track List  ") : QStringLiteral("Artist List  "));
    Label(QStringLiteral("lblTrackList"))->SetCaption(QStringLiteral("Track List  "));
    m_lists->RefillTree(m_showTrackList);
    showGlobalDetails();
}

void TfrmJukebox::QueueChanged()
{
    m_lists->FillQueue();
    showQueueDetails();
}

void TfrmJukebox::PlayStateChanged(int state)
{
    switch (state) {
    case ssStopped:
        m_controls->CheckButton(4, false);
        TrackChanged(nullptr);
        break;
    case ssPlaying:
        m_controls->CheckButton(1, false);
        break;
    case ssPaused:
        m_controls->CheckButton(3, false);
        break;
    default:
        break;
    }
    if (m_playerListeners.PlayStateChanged)
        m_playerListeners.PlayStateChanged(state);
}

void TfrmJukebox::TreeFontChanged()
{
    if (m_core)
        m_lists->SetTreeFonts(m_core->TreeFontLarge(), m_core->TreeFont());
}

void TfrmJukebox::SetShowTrackList(bool value)
{
    m_showTrackList = value;
    setToggleCaption("actnToggleList", value);
    // All-tracks view has no song list: the add-selected button moves into
    // the tree's button bar, after the titles button, and the buttons behind
    // it make room.
    m_songsPanel->setVisible(!value);
    m_songSplitter->setVisible(!value);
    int x = m_showTitlesButton->geometry().right() + 5;
    if (value) {
        m_addSelectedButton->setParent(m_treeButtons);
        m_addSelectedButton->move(x, m_addSelectedButton->y());
        x += m_addSelectedButton->width() + 4;
    } else {
        m_addSelectedButton->setParent(m_songButtons);
        m_addSelectedButton->move(Label(QStringLiteral("lblTrackList"))->width() - 1 + 88, m_addSelectedButton->y());
    }
    for (QWidget *button : { m_treeButtons->findChild<QWidget *>(QStringLiteral("btnPlayCD")),
             static_cast<QWidget *>(m_searchButton) }) {
        button->move(x, button->y());
        x += button->width() + 4;
    }
    m_addSelectedButton->show();
    ListsUpdated();
}

QRect TfrmJukebox::NormalBounds() const
{
    return m_fullScreen ? m_normalBounds : geometry();
}

void TfrmJukebox::SetFullScreen(bool value)
{
    if (value == m_fullScreen)
        return;
    if (value) {
        m_normalBounds = geometry();
        m_fullScreen = true;
        // The window system's full-screen state: the one way a program may
        // fill the screen on Wayland as well as on X11. Where nothing manages
        // the windows (a kiosk, a private X server) the window takes the
        // screen's bounds itself.
        showFullScreen();
        if (QScreen *shown = screen())
            setGeometry(shown->geometry());
    } else {
        m_fullScreen = false;
        showNormal();
        resize(m_normalBounds.size());
        move(m_normalBounds.topLeft());
    }
    m_maximizeButton->SetChecked(m_fullScreen);
    setToggleCaption("actnFullScreen", m_fullScreen);
    fitLists();
}

void TfrmJukebox::fitLists()
{
    RealignControls(this);
}
