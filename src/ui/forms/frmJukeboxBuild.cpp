// Building the jukebox window: its panels, controls and labels, docked as
// the jukebox lays them out, with the built-in skin.
#include "ui/forms/frmJukebox.h"

#include "ui/controls/childControls.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/controlSkins.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/dialogParts.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/forms/visDisplay.h"
#include "ui/skinArt/builtInSkin.h"
#include "ui/skinArt/builtInSkinLayout.h"

#include <QAction>
#include <optional>

namespace {

using namespace builtInSkin;

const QColor kListBlue{60, 166, 230};
const QColor kCaptionOrange{255, 125, 70};
const QColor kModeGreen{0, 255, 0};

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

// The built-in art of the window's panels that carry another name in the
// art: the list cards.
const char *artName(const QString &control)
{
    if (control == QLatin1String("pnlTreeList"))
        return "pnlTree";
    if (control == QLatin1String("pnlSongList"))
        return "pnlSongs";
    if (control == QLatin1String("pnlQueueList"))
        return "pnlQueue";
    return nullptr;
}

void setBuiltInPanelArt(TvorlenPanel &panel)
{
    static const std::array<std::pair<TpanelPiece, const char16_t *>, kPanelPieceCount> pieces{{
        {ppTopLeft, u"bmTopLeft"},
        {ppBottomLeft, u"bmBottomLeft"},
        {ppTopRight, u"bmTopRight"},
        {ppBottomRight, u"bmBottomRight"},
        {ppTopCenter, u"bmTopCenter"},
        {ppBottomCenter, u"bmBottomCenter"},
        {ppLeftCenter, u"bmLeftCenter"},
        {ppRightCenter, u"bmRightCenter"},
        {ppMiddle, u"bmMiddle"},
    }};
    const char *mapped = artName(panel.objectName());
    const QString name = mapped ? QString::fromLatin1(mapped) : panel.objectName();
    bool any = false;
    for (const auto &[piece, key] : pieces) {
        const QImage image = BuiltInSkinBitmap(name, QStringView(key));
        panel.SetPiece(piece, image);
        any = any || !image.isNull();
    }
    panel.SetIsSkinned(any);
}

} // namespace

TvorlenPanel *TfrmJukebox::newPanel(QWidget *parent, const char *name)
{
    auto *panel = new TvorlenPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    return panel;
}

TvorlenButton *TfrmJukebox::newButton(QWidget *parent, const char *name, TjukeboxCommand command)
{
    auto *button = new TvorlenButton(parent);
    button->setObjectName(QLatin1String(name));
    button->SetAction(Action(command));
    return button;
}

TdravoLabel *TfrmJukebox::newLabel(QWidget *parent, const char *name, const QString &caption, int tag)
{
    auto *label = new TdravoLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->SetTag(tag);
    label->SetAutoSize(true);
    label->SetCaption(caption);
    m_labels.append(label);
    return label;
}

TdravoLabel *TfrmJukebox::newLabel(QWidget *parent, TjukeboxLabel label, const QString &caption, int tag)
{
    m_valueLabels[label] = newLabel(parent, kJukeboxLabelNames[label], caption, tag);
    // Values are shown as they are: "Simon & Garfunkel" keeps its "&".
    m_valueLabels[label]->SetShowAccelChar(false);
    return m_valueLabels[label];
}

void TfrmJukebox::buildControls()
{
    // Panels docked to one edge keep the order of their distance to it: each
    // is placed below (above) the one before it.
    buildTopBar();

    m_menuPanel = newPanel(this, "pnlMenu");
    SetControlAlign(m_menuPanel, alTop);
    m_menuBar = new TmenuToolBar(m_menuPanel);
    m_menuBar->setObjectName(QStringLiteral("tbMenu"));
    m_menuBar->SetMenuFont(DesignFont(13, false), Qt::white);
    m_menuPanel->setGeometry(0, kTopBarHeight, 800, m_menuBar->PreferredHeight());
    SetControlAlign(m_menuBar, alClient);

    m_songTitlePanel = newPanel(this, "pnlSongTitle");
    m_songTitlePanel->setGeometry(0, m_menuPanel->geometry().bottom() + 1, 800, 40);
    m_songTitlePanel->SetBorderWidth(4);
    SetControlAlign(m_songTitlePanel, alTop);
    m_banner = new TScrollBanner2(m_songTitlePanel);
    m_banner->setObjectName(QStringLiteral("sbSongTitle"));
    m_banner->SetHint(QStringLiteral("Click to Start/Stop scrolling."));
    m_banner->SetColor_Off(Qt::black);
    m_banner->SetColor_Background(Qt::black);
    m_banner->SetGridSize(2);
    m_banner->SetScrollDelay(250);
    m_banner->SetScrollInc(15);
    m_banner->SetSmoothScrolling(true);
    m_banner->SetNumSpaces(10);
    m_banner->SetScrollEnabled(false);
    m_banner->setFont(DesignFont(19, true));
    m_banner->SetFontColor(kListBlue);
    SetControlAlign(m_banner, alClient);

    buildDisplay();
    buildStacker();
    buildQueue();
    buildListsArea();
    restoreBuiltInSkin();
}

void TfrmJukebox::buildTopBar()
{
    m_topPanel = newPanel(this, "pnlTop");
    m_topPanel->resize(800, kTopBarHeight);
    SetControlAlign(m_topPanel, alTop);

    m_logoPanel = newPanel(m_topPanel, "pnlLogo");
    m_logoPanel->resize(kLogo);
    SetControlAlign(m_logoPanel, alLeft);

    m_clock = new TdigitalClock2(m_topPanel);
    m_clock->setObjectName(QStringLiteral("clock"));
    m_clock->SetHint(QStringLiteral("Click to toggle between 12/24hr clocks."));
    m_clock->SetClockStyle(cs12hr);
    m_clock->SetBackgroundColor(Qt::black);
    m_clock->setFont(DesignFont(13, true));
    m_clock->SetFontColor(kListBlue);
    m_clock->setGeometry(kLogo.width() + 8, (kTopBarHeight - 18) / 2, 64, 18);

    struct WindowButton {
        const char *name;
        TjukeboxCommand command;
    };
    const WindowButton buttons[] = { { "btnClose", jcExit }, { "btnMaximize", jcFullScreen },
        { "btnMinimize", jcMinimize }, { "btnHelp", jcHelp }, { "btnMenu", jcToggleMenu } };
    int right = 800 - 6;
    for (const WindowButton &b : buttons) {
        TvorlenButton *button = newButton(m_topPanel, b.name, b.command);
        button->resize(kWindowButton);
        right -= kWindowButton.width();
        button->move(right, (kTopBarHeight - kWindowButton.height()) / 2);
        right -= 2;
        SetControlAnchors(button, akRight | akTop);
        if (button->objectName() == QLatin1String("btnMaximize")) {
            button->SetIsCheckButton(true);
            m_maximizeButton = button;
        }
    }
}

void TfrmJukebox::buildDisplay()
{
    m_displayPanel = newPanel(this, "pnlDisplay");
    m_displayPanel->setGeometry(0, m_songTitlePanel->geometry().bottom() + 1, 800, kDisplayHeight);
    SetControlAlign(m_displayPanel, alTop);

    m_volumeBar = new TvorlenScrollBar(m_displayPanel);
    m_volumeBar->setObjectName(QStringLiteral("sbVolume"));
    m_volumeBar->setToolTip(QStringLiteral("Volume Control"));
    m_volumeBar->SetStyle(vsbVertical);
    m_volumeBar->SetMax(255);
    m_volumeBar->SetSmallStep(1);
    m_volumeBar->SetLargeStep(10);
    m_volumeBar->setGeometry(8, 6, kVolumeBar.thickness, kDisplayHeight - 12);

    m_controls = new TvorlenMultiButton(m_displayPanel);
    m_controls->setObjectName(QStringLiteral("btnControls"));
    m_controls->setToolTip(QStringLiteral("Play Controls"));
    m_controls->setGeometry(36, (kDisplayHeight - kControls.height()) / 2, kControls.width(), kControls.height());

    const int infoLeft = 36 + kControls.width() + 12;
    const int visWidth = 220;
    m_visPanel = newPanel(m_displayPanel, "pnlVis");
    m_visPanel->setGeometry(800 - visWidth - 8, 6, visWidth, kDisplayHeight - 12);
    m_visPanel->SetBorderWidth(3);
    m_visDisplay = new TvisDisplay(m_visPanel);
    m_visDisplay->setObjectName(QStringLiteral("pnlVisDisplay"));
    SetControlAlign(m_visDisplay, alClient);

    m_mainDisplay = newPanel(m_displayPanel, "pnlMainDisplay");
    m_mainDisplay->setGeometry(infoLeft, 6, 800 - infoLeft - visWidth - 16, kDisplayHeight - 12);

    const QFont captionFont = DesignFont(13, false);
    const QFont valueFont = DesignFont(13, true);
    struct Line {
        const char *caption;
        const char *captionText;
        TjukeboxLabel value;
    };
    const Line lines[] = { { "lblTrackCaption", "Track :", jlTrack }, { "lblArtistCaption", "Artist :", jlArtist },
        { "lblAlbumCaption", "Album :", jlAlbum }, { "lblModeCaption", "Mode :", jlMode },
        { "lblTimeCaption", "Length:", jlDuration } };
    for (int i = 0; i < 5; ++i) {
        const int top = 5 + i * 16;
        TdravoLabel *caption = newLabel(m_mainDisplay, lines[i].caption, QLatin1String(lines[i].captionText), 52);
        caption->setFont(captionFont);
        setTextColor(caption, kCaptionOrange);
        caption->move(10, top);
        TdravoLabel *value = newLabel(m_mainDisplay, lines[i].value, QString(), 53);
        value->setFont(i == 3 ? captionFont : valueFont);
        setTextColor(value, i == 3 ? kModeGreen : kListBlue);
        value->move(66, top);
    }
    // Mode, bit rate, sample rate and file type share the mode line, each
    // with room for its longest usual text ("Dual Channel", "1411kbps",
    // "192.0kHz", "OPUS").
    const std::pair<TjukeboxLabel, int> modeParts[] = { { jlBitrate, 150 }, { jlSampleRate, 212 },
        { jlFileType, 270 } };
    for (const auto &[value, left] : modeParts) {
        TdravoLabel *part = newLabel(m_mainDisplay, value, QString(), 53);
        part->setFont(captionFont);
        setTextColor(part, kModeGreen);
        part->move(left, 5 + 3 * 16);
    }

    m_timer = new TdigitalDisplay(m_mainDisplay);
    m_timer->setObjectName(QStringLiteral("timer"));
    m_timer->SetBackColor(Qt::black);
    m_timer->setFont(DesignFont(35, true));
    m_timer->SetFontColor(kListBlue);
    const int timerWidth = 170;
    m_timer->setGeometry(m_mainDisplay->width() - timerWidth - 10, 4, timerWidth, 48);

    m_positionBar = new TvorlenScrollBar(m_mainDisplay);
    m_positionBar->setObjectName(QStringLiteral("sbSongPosition"));
    m_positionBar->setToolTip(QStringLiteral("Song Progress"));
    m_positionBar->SetStyle(vsbHorizontal);
    m_positionBar->SetSmallStep(5000);
    m_positionBar->SetLargeStep(15000);
    m_positionBar->setGeometry(m_mainDisplay->width() - timerWidth - 10, m_mainDisplay->height() - 22, timerWidth,
                               kPositionBar.thickness);
}

void TfrmJukebox::buildStacker()
{
    m_stackerPanel = newPanel(this, "pnlStacker");
    m_stackerPanel->setGeometry(0, m_displayPanel->geometry().bottom() + 1, 800, kStackerBarHeight);
    SetControlAlign(m_stackerPanel, alTop);
    const int top = (kStackerBarHeight - kStackerButton.height()) / 2;
    m_stackerPower = newButton(m_stackerPanel, "btnStackerPower", jcStackerPower);
    m_stackerPower->SetIsCheckButton(true);
    m_stackerPower->setGeometry(8, top, kStackerButton.width(), kStackerButton.height());
    TvorlenButton *config = newButton(m_stackerPanel, "btnStackerConfig", jcStackerConfig);
    config->setGeometry(8 + kStackerButton.width() + 4, top, kStackerButton.width(), kStackerButton.height());

    TdravoLabel *title = newLabel(m_stackerPanel, jlStackerTitle, QString(), 53);
    title->setFont(DesignFont(13, true));
    setTextColor(title, kListBlue);
    title->move(76, 7);

    const QFont font = DesignFont(13, false);
    struct Pair {
        const char *caption;
        const char *captionText;
        TjukeboxLabel value;
        int right;
    };
    const Pair pairs[] = { { "lblStackerAlbumsCaption", "Albums :", jlStackerAlbums, 800 - 200 },
        { "lblStackerPlaytimeCaption", "Play Time :", jlStackerPlaytime, 800 - 90 } };
    for (const Pair &pair : pairs) {
        TdravoLabel *caption = newLabel(m_stackerPanel, pair.caption, QLatin1String(pair.captionText), 51);
        caption->setFont(font);
        setTextColor(caption, kCaptionOrange);
        caption->move(pair.right - caption->width() - 4, 7);
        SetControlAnchors(caption, akRight | akTop);
        TdravoLabel *value = newLabel(m_stackerPanel, pair.value, QStringLiteral("0"), 50);
        value->setFont(font);
        setTextColor(value, kListBlue);
        value->move(pair.right, 7);
        SetControlAnchors(value, akRight | akTop);
    }
}

void TfrmJukebox::buildQueue()
{
    m_queuePanel = newPanel(this, "pnlQueue");
    m_queuePanel->setGeometry(0, 450, 800, 150);
    SetControlAlign(m_queuePanel, alBottom);

    m_queueSplitter = new TtransparentSplitter(this);
    m_queueSplitter->setObjectName(QStringLiteral("spltQueue"));
    m_queueSplitter->setGeometry(0, 450 - kSplitterThickness, 800, kSplitterThickness);
    m_queueSplitter->SetMinSize(105);
    SetControlAlign(m_queueSplitter, alBottom);

    m_queueDetailsPanel = newPanel(m_queuePanel, "pnlQueueDetails");
    m_queueDetailsPanel->resize(150, 150);
    m_queueDetailsPanel->SetBorderWidth(3);
    SetControlAlign(m_queueDetailsPanel, alRight);
    m_queueDetailsPanel->setMouseTracking(true);

    m_detailsSplitter = new TtransparentSplitter(m_queuePanel);
    m_detailsSplitter->setObjectName(QStringLiteral("spltQueueDetails"));
    m_detailsSplitter->resize(kSplitterThickness, 150);
    m_detailsSplitter->SetMinSize(151);
    SetControlAlign(m_detailsSplitter, alRight);

    m_queueControlPanel = newPanel(m_queuePanel, "pnlQueueControls");
    m_queueControlPanel->resize(kQueueButton.width() + 10, 150);
    SetControlAlign(m_queueControlPanel, alRight);
    struct QueueButton {
        const char *name;
        TjukeboxCommand command;
    };
    const QueueButton buttons[] = { { "btnQueueMoveUp", jcQueueMoveUp }, { "btnQueueMoveDown", jcQueueMoveDown },
        { "btnQueueMoveTo", jcQueueMoveTo }, { "btnQueueDelete", jcQueueDelete }, { "btnQueueClear", jcQueueClear } };
    int top = 4;
    for (const QueueButton &b : buttons) {
        TvorlenButton *button = newButton(m_queueControlPanel, b.name, b.command);
        button->setGeometry(5, top, kQueueButton.width(), kQueueButton.height());
        top += kQueueButton.height() + 6;
        if (b.command == jcQueueMoveTo)
            m_moveToButton = button;
    }

    m_queueListPanel = newPanel(m_queuePanel, "pnlQueueList");
    m_queueListPanel->SetBorderWidth(3);
    SetControlAlign(m_queueListPanel, alClient);

    // The album cover fills the details panel; the labels are drawn over it.
    m_cover = new TdravoBitmap(m_queueDetailsPanel);
    m_cover->setObjectName(QStringLiteral("bmAlbumCover"));
    m_cover->SetColor(Qt::black);
    m_cover->SetStyle(dbsMaintainAspect);
    SetControlAlign(m_cover, alClient);
    m_cover->setAttribute(Qt::WA_TransparentForMouseEvents);

    struct Detail {
        const char *name;
        const char *caption;
        int tag;
        int column;
        // The label that shows the value beside a caption, if any.
        std::optional<TjukeboxLabel> value;
    };
    const QFont font = DesignFont(11, false);
    const QFont header = DesignFont(11, true);
    const Detail details[] = { { "lblQueueDetails", "Queue Details", 51, 0, {} },
        { "lblQueueCountCaption", "Track Count :", 50, 1, jlQueueCount },
        { "lblQueueDurationCaption", "Duration :", 50, 1, jlQueueDuration },
        { "lblPlaylistDetails", "Playlist Details", 51, 0, {} },
        { "lblPlaylistCountCaption", "Track Count :", 50, 1, jlPlaylistCount },
        { "lblPlaylistDurationCaption", "Duration :", 50, 1, jlPlaylistDuration },
        { "lblGlobalDetails", "Global List Details", 51, 0, {} },
        { "lblGlobalCountCaption", "Track Count :", 50, 1, jlGlobalCount },
        { "lblGlobalDurationCaption", "Duration :", 50, 1, jlGlobalDuration },
        { "lblArtistCountCaption", "Artists :", 50, 1, jlArtistCount },
        { "lblAlbumCountCaption", "Albums :", 50, 1, jlAlbumCount },
        { "lblLoudnessCaption", "Loudness :", 50, 1, jlLoudnessMeasured } };
    int y = 4;
    for (const Detail &detail : details) {
        TdravoLabel *label = newLabel(m_queueDetailsPanel, detail.name, QLatin1String(detail.caption), detail.tag);
        label->setFont(detail.column == 0 ? header : font);
        setTextColor(label, detail.column == 0 ? kCaptionOrange : QColor(224, 224, 224));
        label->move(detail.column == 0 ? 6 : 10, y);
        if (detail.value) {
            const bool duration = *detail.value == jlQueueDuration || *detail.value == jlPlaylistDuration
                || *detail.value == jlGlobalDuration;
            TdravoLabel *value = newLabel(
                m_queueDetailsPanel, *detail.value, duration ? QStringLiteral("0:00") : QStringLiteral("0"), 50);
            value->setFont(font);
            setTextColor(value, QColor(224, 224, 224));
            value->move(82, y);
        }
        y += 13;
    }
}

void TfrmJukebox::buildListsArea()
{
    m_listsPanel = newPanel(this, "pnlLists");
    SetControlAlign(m_listsPanel, alClient);

    m_songsPanel = newPanel(m_listsPanel, "pnlSongs");
    m_songsPanel->resize(310, 300);
    m_songsPanel->setMinimumWidth(200);
    SetControlAlign(m_songsPanel, alRight);
    m_songSplitter = new TtransparentSplitter(m_listsPanel);
    m_songSplitter->setObjectName(QStringLiteral("spltSongLists"));
    m_songSplitter->resize(kSplitterThickness, 300);
    m_songSplitter->SetMinSize(210);
    SetControlAlign(m_songSplitter, alRight);
    m_treePanel = newPanel(m_listsPanel, "pnlTreePanel");
    SetControlAlign(m_treePanel, alClient);

    const QFont titleFont = DesignFont(16, true);
    m_treeButtons = newPanel(m_treePanel, "pnlTreeButtons");
    m_treeButtons->resize(400, kBarHeight);
    SetControlAlign(m_treeButtons, alTop);
    TdravoLabel *artistTitle = newLabel(m_treeButtons, jlArtistList, QStringLiteral("Artist List  "), 54);
    artistTitle->setFont(titleFont);
    setTextColor(artistTitle, kListBlue);
    artistTitle->move(8, (kBarHeight - artistTitle->height()) / 2);
    int x = 120;
    const std::pair<const char *, TjukeboxCommand> treeButtons[]
        = { { "btnShowTitlesAll", jcToggleList }, { "btnPlayCD", jcQueueCD }, { "btnSongSearch", jcSongSearch } };
    for (const auto &[name, command] : treeButtons) {
        TvorlenButton *button = newButton(m_treeButtons, name, command);
        button->setGeometry(x, (kBarHeight - kBarButton.height()) / 2, kBarButton.width(), kBarButton.height());
        x += kBarButton.width() + 4;
        if (command == jcToggleList)
            m_showTitlesButton = button;
        if (command == jcQueueCD)
            m_playCDButton = button;
        if (command == jcSongSearch) {
            m_searchButton = button;
            button->setToolTip(QStringLiteral("Search for a track by title."));
        }
    }
    TvorlenPanel *treeList = newPanel(m_treePanel, "pnlTreeList");
    treeList->SetBorderWidth(3);
    SetControlAlign(treeList, alClient);

    m_songButtons = newPanel(m_songsPanel, "pnlSongButtons");
    m_songButtons->resize(310, kBarHeight);
    SetControlAlign(m_songButtons, alTop);
    TdravoLabel *trackTitle = newLabel(m_songButtons, jlTrackList, QStringLiteral("Track List  "), 54);
    trackTitle->setFont(titleFont);
    setTextColor(trackTitle, kListBlue);
    trackTitle->move(8, (kBarHeight - trackTitle->height()) / 2);
    m_addAllButton = newButton(m_songButtons, "btnAddAll", jcAddAllSongs);
    m_addAllButton->setGeometry(trackTitle->width() + 12, (kBarHeight - kBarButton.height()) / 2, kBarButton.width(),
                                kBarButton.height());
    m_addSelectedButton = newButton(m_songButtons, "btnAddSelected", jcAddSelectedSongs);
    m_addSelectedButton->setGeometry(m_addAllButton->geometry().right() + 5,
                                     (kBarHeight - kWideBarButton.height()) / 2, kWideBarButton.width(),
                                     kWideBarButton.height());
    TvorlenPanel *songList = newPanel(m_songsPanel, "pnlSongList");
    songList->SetBorderWidth(3);
    SetControlAlign(songList, alClient);

    m_lists = std::make_unique<TjukeboxLists>(treeList, songList, m_queueListPanel);
}

void TfrmJukebox::restoreBuiltInSkin()
{
    for (TvorlenButton *button : ChildControls<TvorlenButton>(*this)) {
        const QImage strip = BuiltInSkinBitmap(button->objectName());
        if (strip.isNull())
            continue;
        button->SetSkinBitmap(strip);
        button->SetCompactSkinBitmap(BuiltInSkinBitmap(button->objectName(), u"CompactSkinBitmap"));
        button->SetIsSkinned(true);
        button->resize(button->SkinFrameWidth(button->Compact()), strip.height());
    }
    for (TvorlenPanel *panel : ChildControls<TvorlenPanel>(*this))
        setBuiltInPanelArt(*panel);
    for (TvorlenScrollBar *bar : ChildControls<TvorlenScrollBar>(*this)) {
        const QString name = bar->objectName();
        bar->SetUpButtonSkin(BuiltInSkinBitmap(name, u"bmTopLeftButton"));
        bar->SetDownButtonSkin(BuiltInSkinBitmap(name, u"bmBottomRightButton"));
        bar->SetScrollButtonSkin(BuiltInSkinBitmap(name, u"bmScroller"));
        bar->SetBackBitmap(BuiltInSkinBitmap(name, u"bmBackground"));
    }
    for (TtransparentSplitter *splitter : ChildControls<TtransparentSplitter>(*this)) {
        splitter->SetTopLeftBitmap(BuiltInSkinBitmap(splitter->objectName(), u"bmTopLeft"));
        splitter->SetBottomRightBitmap(BuiltInSkinBitmap(splitter->objectName(), u"bmBottomRight"));
    }
    m_controls->SetSkinBitmap(BuiltInSkinBitmap(m_controls->objectName(), u"Skin"));
}
