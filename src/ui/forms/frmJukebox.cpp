#include "ui/forms/frmJukebox.h"

#include "core/dmMain.h"
#include "platform/raiseEvent.h"
#include "playback/crossPlayer.h"
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
    connectFits();
    // The captions that say what a toggle does next.
    setToggleCaption(jcFullScreen, false);
    setToggleCaption(jcToggleList, false);
    setToggleCaption(jcToggleMenu, true);
    setToggleCaption(jcShowHideSongScroller, true);
    setToggleCaption(jcShowHideStacker, true);
    setToggleCaption(jcQueueControlToggle, true);
    setToggleCaption(jcToggleQueueDetails, true);
    setToggleCaption(jcToggleVis, true);
    m_buttonColor = QColor(0xcc, 0xcc, 0xe0);
    m_panelColor = QColor(0x44, 0x44, 0x60);
    PlaylistsLoaded();
    RealignControls(this);
    refitControls();
}

TfrmJukebox::~TfrmJukebox()
{
    if (m_lists)
        m_lists->DropLibrary();
}

void TfrmJukebox::SetCore(TdmMain *core)
{
    if (m_core && m_visEnabled)
        m_core->SetVisualisation(false);
    m_subscription.reset();
    OnStartup = nullptr;
    OnClosed = nullptr;
    m_core = core;
    m_lists->SetCore(core);
    if (!core)
        return;
    m_subscription = core->Subscribe(*this);
    // The main window's life is the program's: its first activation starts
    // the jukebox, and closing it saves the settings.
    OnStartup = [core] { core->StartUp(); };
    OnClosed = [core] { core->SaveSettings(); };
    PlaylistsLoaded();
    setVisualisation(m_visEnabled);
}

TdravoLabel *TfrmJukebox::FindLabel(const QString &name) const
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
    if (m_core)
        m_core->SetVisualisation(false);
    m_cover->SetPicture(QImage());
    TvorlenSkinForm::closeEvent(event);
}

void TfrmJukebox::VisTimer()
{
    if (m_core && m_core->VisualisationRunning())
        m_visDisplay->update();
}

void TfrmJukebox::LibraryChanging()
{
    m_lists->DropLibrary();
}

void TfrmJukebox::ListsUpdated()
{
    if (!m_core)
        return;
    Label(jlArtistList)->SetCaption(m_showTrackList ? QStringLiteral("Track List  ") : QStringLiteral("Artist List  "));
    Label(jlTrackList)->SetCaption(QStringLiteral("Track List  "));
    m_lists->RefillTree(m_showTrackList);
    showGlobalDetails();
    fitButtonBars();
}

void TfrmJukebox::LibraryChanged(const TlibraryChanges &changes)
{
    if (!m_core)
        return;
    m_lists->LibraryChanged(changes);
    if (!changes.IndexChanged())
        return;
    // Summing the library's length reaches every record (30 ms at 1,000,000
    // tracks): a change that read no track anew, whose old length is gone,
    // adds and takes away only its own tracks' lengths.
    if (!changes.changed.empty()) {
        showGlobalDetails();
        return;
    }
    for (const TtaggerRef &record : changes.added)
        m_libraryDuration += record->Duration();
    for (const TtaggerRef &record : changes.removed)
        m_libraryDuration -= record->Duration();
    showGlobalCounts();
}

void TfrmJukebox::QueueChanged()
{
    m_lists->FillQueue();
    showQueueDetails();
}

void TfrmJukebox::PlayStateChanged(TstreamState state)
{
    switch (state) {
    case ssStopped:
        m_controls->CheckButton(4, false);
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
}

void TfrmJukebox::QuitRequested()
{
    closeOnceKeysAreUp();
}

void TfrmJukebox::TreeFontChanged()
{
    if (m_core)
        m_lists->SetTreeFonts(m_core->TreeFontLarge(), m_core->TreeFont());
}

void TfrmJukebox::SetShowTrackList(bool value)
{
    m_showTrackList = value;
    setToggleCaption(jcToggleList, value);
    // All-tracks view has no song list: the add-selected button moves into
    // the tree's button bar, after the titles button, and the buttons behind
    // it make room.
    m_songsPanel->setVisible(!value);
    m_songSplitter->setVisible(!value);
    m_addSelectedButton->setParent(value ? m_treeButtons : m_songButtons);
    m_addSelectedButton->show();
    fitButtonBars();
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
        // screen's bounds itself. A Wayland compositor always sizes a full
        // screen window, and keeps the size the window has when it is asked
        // as the size to come back to.
        showFullScreen();
        QScreen *shown = screen();
        if (shown && QGuiApplication::platformName() != QLatin1String("wayland"))
            setGeometry(shown->geometry());
    } else {
        m_fullScreen = false;
        showNormal();
        resize(m_normalBounds.size());
        move(m_normalBounds.topLeft());
    }
    m_maximizeButton->SetChecked(m_fullScreen);
    setToggleCaption(jcFullScreen, m_fullScreen);
    fitLists();
    RaiseEvent(OnFullScreenChanged);
}

void TfrmJukebox::fitLists()
{
    RealignControls(this);
}
