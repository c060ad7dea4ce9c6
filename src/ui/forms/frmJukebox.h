#pragma once

#include "core/coreListeners.h"
#include "core/userInterface.h"
#include "library/stringList.h"
#include "library/treeNodes.h"
#include "ui/controls/vorlenSkinForm.h"
#include "ui/forms/jukeboxActions.h"
#include "ui/forms/jukeboxLabels.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class TdigitalClock2;
class TdigitalDisplay;
class TdmMain;
class TdravoBitmap;
class TdravoLabel;
class TiniFile;
class TjukeboxLists;
class TmenuToolBar;
class TScrollBanner2;
class TtransparentSplitter;
class TvisDisplay;
class TvorlenButton;
class TvorlenMultiButton;
class TvorlenPanel;
class TvorlenScrollBar;
class TvorlenStream;
struct TskinFont;

// The windows the jukebox window opens itself (the others it asks the core
// for). The program supplies them; an empty one is skipped.
struct TjukeboxDialogs {
    // The move-to box: the queue row to move a track to (0-based) in
    // *position; false when cancelled.
    std::function<bool(int count, int currentRow, QPoint topLeft, int *position)> MoveTo;
    // The alarm settings, editing the clock's alarms.
    std::function<void()> AlarmSettings;
    // The skins dialog.
    std::function<void()> Skins;
    // The Party window, brought forward.
    std::function<void()> PartyWindow;
    // Any other of the program's windows and dialogs, by name: opening
    // windows is the program's business, not the core's.
    std::function<void(TcoreWindow window)> OpenWindow;
};

// The jukebox window: a borderless, skinnable window that fills the screen
// or stands as a normal window. It holds no playback or library logic: every
// command is an action whose key is part of the remote-control interface and
// which calls one operation of the core. It is one face of the core among
// others: it hears of every change as a listener, and reads the core's
// components through const access only.
//
// Pointers it keeps into the library (the tree's nodes, the song list's
// records, the search results) are dropped at LibraryChanging and taken anew
// at ListsUpdated; a LibraryChanged is taken in place, dropping what it names
// as gone; queue rows live until the next QueueChanged.
//
// GUI thread only; the clock, the banner, the visualisation and the player's
// ticks all arrive there.
class TfrmJukebox : public TvorlenSkinForm {
public:
    explicit TfrmJukebox(QWidget *parent = nullptr);
    ~TfrmJukebox() override;

    // The core, once it exists (it is made after the window): the window
    // subscribes to it and shows its state; null lets go of it.
    void SetCore(TdmMain *core);
    TjukeboxDialogs &Dialogs() { return m_dialogs; }

    // The window's commands.
    QAction *Action(TjukeboxCommand command) const { return m_actions.at(command); }
    const QList<QAction *> &Actions() const { return m_actions; }
    // The labels that show values.
    TdravoLabel *Label(TjukeboxLabel label) const { return m_valueLabels[label]; }

    // --- what the core announces ---------------------------------------------
    void LibraryChanging() override;
    void ListsUpdated() override;
    void LibraryChanged(const TlibraryChanges &changes) override;
    void PositionChanged(const TvorlenStream &stream) override;
    void QueueChanged() override;
    void PlayStateChanged(TstreamState state) override;
    void TrackChanged(const TnowPlaying &playing) override;
    void StackerChanged() override;
    void PlaylistChanged() override;
    void ActivePlaylistChanged() override;
    void LoadSettings(TiniFile &ini) override;
    void SaveSettings(TiniFile &ini) override;
    void VolumeChanged() override;
    void TreeFontChanged() override;
    void VisTimer() override;
    void PlaylistsLoaded() override;
    void QuitRequested() override;
    // Shows how far the loudness measuring of the library has got.
    void LoudnessAnalysisProgress(int done, int total, bool running) override;

    // --- skins --------------------------------------------------------------
    void ApplySkinColors(const QColor &buttonColor, const QColor &panelColor, bool useDefaults) override;
    void LoadSkinStyle(const QString &path) override;
    void SaveSkinStyle(const QString &path) override;
    void SaveSkinControls(const QString &path) override;
    void LoadSkinControls(const QString &path) override;
    // Keeps path as the skin file when it exists (else none) and loads it.
    void SetSkinFile(const QString &path);
    const QString &SkinFile() const { return m_skinFile; }
    const QColor &ButtonColor() const { return m_buttonColor; }
    const QColor &PanelColor() const { return m_panelColor; }
    // The skin colours chosen in the Skins dialog. When either differs from
    // the current ones the window takes both, saves its skin style with them
    // into the skin file (vorlen.vsk without one) and applies the skin file
    // again, which tints the skin art afresh from its grey originals. False,
    // changing nothing, when both are the current ones.
    bool TakeSkinColors(const QColor &buttonColor, const QColor &panelColor);
    // The menu's font and text colour; the menu panel takes the height the
    // font asks for.
    void SetMenuFont(const TskinFont &font);
    // The picture file of the cover shown; empty when no cover is shown.
    const QString &CoverFile() const { return m_coverFile; }

    // --- state the settings and the tests read --------------------------------
    bool ShowTrackList() const { return m_showTrackList; }
    void SetShowTrackList(bool value);
    bool IsFullScreen() const { return m_fullScreen; }
    void SetFullScreen(bool value);
    // Raised when the window has entered or left full screen, by whatever
    // command.
    std::function<void()> OnFullScreenChanged;
    // The bounds of the normal window, also while in full screen.
    QRect NormalBounds() const;
    bool ShowTimeRemaining() const { return m_showTimeRemaining; }

    // The parts of the window the tests and the dialogs reach.
    TjukeboxLists &Lists() { return *m_lists; }
    TdigitalClock2 &Clock() { return *m_clock; }
    TScrollBanner2 &Banner() { return *m_banner; }
    TdigitalDisplay &Timer() { return *m_timer; }
    TvorlenScrollBar &VolumeBar() { return *m_volumeBar; }
    TvorlenScrollBar &PositionBar() { return *m_positionBar; }
    TvorlenMultiButton &Controls() { return *m_controls; }
    TvorlenPanel &MenuPanel() { return *m_menuPanel; }
    TmenuToolBar &MenuBar() { return *m_menuBar; }
    TvorlenPanel &SongTitlePanel() { return *m_songTitlePanel; }
    TvorlenPanel &StackerPanel() { return *m_stackerPanel; }
    TvorlenPanel &QueueControlPanel() { return *m_queueControlPanel; }
    TvorlenPanel &QueueDetailsPanel() { return *m_queueDetailsPanel; }
    TvorlenPanel &SongsPanel() { return *m_songsPanel; }
    TvorlenPanel &QueuePanel() { return *m_queuePanel; }
    // Every label, captions among them, in the order the window made them.
    const QList<TdravoLabel *> &Labels() const { return m_labels; }
    // A label by the name the skin files know it by; null for an unknown one.
    TdravoLabel *FindLabel(const QString &name) const;
    QMenu &PlaylistMenu() { return *m_playlistMenu; }
    QMenu &MainPopup() { return *m_mainPopup; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Building the window (frmJukeboxBuild.cpp).
    void buildControls();
    void buildTopBar();
    void buildDisplay();
    void buildStacker();
    void buildListsArea();
    void buildQueue();
    TvorlenPanel *newPanel(QWidget *parent, const char *name);
    TvorlenButton *newButton(QWidget *parent, const char *name, TjukeboxCommand command);
    TdravoLabel *newLabel(QWidget *parent, const char *name, const QString &caption, int tag);
    TdravoLabel *newLabel(QWidget *parent, TjukeboxLabel label, const QString &caption, int tag);
    void restoreBuiltInSkin();

    // Commands, menus and gestures (frmJukeboxCommands.cpp).
    void buildActions();
    void buildMenus();
    void connectCommands();
    void setToggleCaption(TjukeboxCommand command, bool on);
    void firstActivation();
    void addSelectedSongs();
    void addAllSongs();
    void queueMoveUp();
    void queueMoveDown();
    void queueMoveTo();
    void queueDelete();
    void queueClear();
    void changeVolume(int delta);
    void toggleVisualisation();
    void setVisualisation(bool on);
    void openHelp();
    void togglePanel(TvorlenPanel &panel, TjukeboxCommand command);
    void controlsClick(int part);
    // Exit: closes the window once the keys that asked for it are up.
    void closeOnceKeysAreUp();
    void activatePlaylist(QAction *item);

    // Displays (frmJukeboxDisplays.cpp).
    // The library's counts and its length, summed anew.
    void showGlobalDetails();
    // The counts, with the length the window keeps.
    void showGlobalCounts();
    void showQueueDetails();
    void showStackerTitle();
    void showCover(const QString &file);
    void clearTrackInfo();

    // The window at every size (frmJukeboxFit.cpp).
    void connectFits();
    void refitControls();
    void fitDisplay();
    void fitStackerBar();
    void fitButtonBars();
    void fitQueueControls();
    void fitQueueDetails();
    void keepTreeRoom();

    // Layout and skin files (frmJukeboxLayout.cpp).
    void writeLabelsAndFonts(TiniFile &skin);
    void readLabelsAndFonts(const TiniFile &skin);
    void fitLists();

    TdmMain *m_core = nullptr;
    TcoreSubscription m_subscription;
    TjukeboxDialogs m_dialogs;

    // Indexed by TjukeboxCommand.
    QList<QAction *> m_actions;
    std::vector<std::unique_ptr<QMenu>> m_menus;
    QMenu *m_playlistMenu = nullptr;
    QActionGroup *m_playlistGroup = nullptr;
    QMenu *m_mainPopup = nullptr;
    QMenu *m_visPopup = nullptr;

    // Controls, in the window's ownership order (the skin is applied in it).
    TvorlenPanel *m_topPanel = nullptr;
    TvorlenPanel *m_logoPanel = nullptr;
    TdigitalClock2 *m_clock = nullptr;
    TvorlenPanel *m_menuPanel = nullptr;
    TmenuToolBar *m_menuBar = nullptr;
    TvorlenPanel *m_songTitlePanel = nullptr;
    TScrollBanner2 *m_banner = nullptr;
    TvorlenPanel *m_displayPanel = nullptr;
    TvorlenScrollBar *m_volumeBar = nullptr;
    TvorlenMultiButton *m_controls = nullptr;
    TvorlenPanel *m_mainDisplay = nullptr;
    TdigitalDisplay *m_timer = nullptr;
    TvorlenScrollBar *m_positionBar = nullptr;
    TvorlenPanel *m_visPanel = nullptr;
    TvisDisplay *m_visDisplay = nullptr;
    TvorlenPanel *m_stackerPanel = nullptr;
    TvorlenButton *m_stackerPower = nullptr;
    TvorlenPanel *m_listsPanel = nullptr;
    TvorlenPanel *m_treePanel = nullptr;
    TvorlenPanel *m_treeButtons = nullptr;
    TvorlenPanel *m_songsPanel = nullptr;
    TvorlenPanel *m_songButtons = nullptr;
    TtransparentSplitter *m_songSplitter = nullptr;
    TtransparentSplitter *m_queueSplitter = nullptr;
    TvorlenPanel *m_queuePanel = nullptr;
    TvorlenPanel *m_queueListPanel = nullptr;
    TvorlenPanel *m_queueControlPanel = nullptr;
    TtransparentSplitter *m_detailsSplitter = nullptr;
    TvorlenPanel *m_queueDetailsPanel = nullptr;
    TdravoBitmap *m_cover = nullptr;
    TvorlenButton *m_maximizeButton = nullptr;
    TvorlenButton *m_addSelectedButton = nullptr;
    TvorlenButton *m_showTitlesButton = nullptr;
    TvorlenButton *m_playCDButton = nullptr;
    TvorlenButton *m_searchButton = nullptr;
    TvorlenButton *m_addAllButton = nullptr;
    TvorlenButton *m_moveToButton = nullptr;
    std::unique_ptr<TjukeboxLists> m_lists;
    QList<TdravoLabel *> m_labels;
    std::array<TdravoLabel *, jlLabelCount> m_valueLabels {};

    // Window state.
    bool m_showTrackList = false;
    // The library's length in milliseconds, as last shown.
    double m_libraryDuration = 0;
    bool m_fullScreen = false;
    QRect m_normalBounds{0, 0, 800, 600};
    bool m_showTimeRemaining = false;
    bool m_queueDetails = true;
    bool m_visEnabled = true;
    bool m_activated = false;
    bool m_closing = false;
    bool m_controlsBusy = false;
    QColor m_buttonColor;
    QColor m_panelColor;
    QString m_skinFile;
    QString m_coverFile;
};
