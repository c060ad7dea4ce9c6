// The jukebox window's layout in the settings file and its look in skin
// files: colours, fonts, labels and the bitmaps of every skinned control.
#include "ui/forms/frmJukebox.h"

#include "core/dmMain.h"
#include "platform/fileExists.h"
#include "platform/iniFile.h"
#include "platform/pendingEvents.h"
#include "platform/vorlenError.h"
#include "ui/controls/childControls.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/controlSkins.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/skinKeys.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/forms/skinFonts.h"
#include "ui/forms/visDisplay.h"
#include "ui/lists/queueList.h"
#include "ui/lists/songList.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace {

const QString kGeneral = QStringLiteral("JukeBoxGeneral");
const QString kColors = QStringLiteral("JukeBoxColors");
const QString kSplitter = QStringLiteral("JukeBoxSplitter");
const QString kGeometry = QStringLiteral("JukeBoxGeometry");

// A skin file that could not be read whole is kept and named by the core
// with its own files.
void tellIfDamaged(TdmMain *core, const TiniFile &skin)
{
    if (core && !skin.ReadProblem().isEmpty())
        core->ReportDamagedFile(TfileProblem{skin.FileName(), skin.ReadProblem()});
}

} // namespace

// --- settings ---------------------------------------------------------------

void TfrmJukebox::LoadSettings(TiniFile &ini)
{
    setVisualisation(ini.ReadBool(kGeneral, QStringLiteral("VisEnabled"), true));
    const int clockStyle = ini.ReadInteger(kGeneral, QStringLiteral("ClockStyle"), 0);
    if (clockStyle == 0 || clockStyle == 1)
        m_clock->SetClockStyle(clockStyle == 0 ? cs12hr : cs24hr);
    m_showTimeRemaining = ini.ReadBool(kGeneral, QStringLiteral("ShowTimeRemaining"), false);
    m_banner->SetScrollEnabled(ini.ReadBool(kGeneral, QStringLiteral("BannerScroll"), false));
    const bool queueControls = ini.ReadBool(kGeneral, QStringLiteral("QueueControlsVisible"), true);
    m_queueControlPanel->setVisible(queueControls);
    setToggleCaption(jcQueueControlToggle, queueControls);
    const bool menu = ini.ReadBool(kGeneral, QStringLiteral("MenuVisible"), true);
    m_menuPanel->setVisible(menu);
    setToggleCaption(jcToggleMenu, menu);
    m_showTrackList = ini.ReadBool(kGeneral, QStringLiteral("ShowTrackList"), false);
    SetShowTrackList(m_showTrackList);
    const bool banner = ini.ReadBool(kGeneral, QStringLiteral("BannerPanel"), true);
    m_songTitlePanel->setVisible(banner);
    setToggleCaption(jcShowHideSongScroller, banner);
    const bool stacker = ini.ReadBool(kGeneral, QStringLiteral("StackerPanel"), true);
    m_stackerPanel->setVisible(stacker);
    setToggleCaption(jcShowHideStacker, stacker);
    m_queueDetails = ini.ReadBool(kGeneral, QStringLiteral("QueueDetails"), true);
    for (TdravoLabel *label : ChildControls<TdravoLabel>(*m_queueDetailsPanel))
        label->setVisible(m_queueDetails);
    setToggleCaption(jcToggleQueueDetails, m_queueDetails);

    m_songsPanel->resize(std::max(240, ini.ReadInteger(kSplitter, QStringLiteral("SongList"), 310)),
                         m_songsPanel->height());
    m_queuePanel->resize(m_queuePanel->width(), std::max(150, ini.ReadInteger(kSplitter, QStringLiteral("QueueList"), 150)));
    m_queueDetailsPanel->resize(std::max(150, ini.ReadInteger(kSplitter, QStringLiteral("QueueDetailsList"), 150)),
                                m_queueDetailsPanel->height());

    const QRect bounds(ini.ReadInteger(kGeometry, QStringLiteral("Left"), 0),
                       ini.ReadInteger(kGeometry, QStringLiteral("Top"), 0),
                       ini.ReadInteger(kGeometry, QStringLiteral("Width"), 800),
                       ini.ReadInteger(kGeometry, QStringLiteral("Height"), 600));
    m_normalBounds = bounds;
    if (ini.ReadBool(kGeometry, QStringLiteral("FullScreen"), false)) {
        SetFullScreen(true);
        // Entering full screen took the current bounds: the ones read stand.
        m_normalBounds = bounds;
    } else {
        resize(bounds.size());
        move(bounds.topLeft());
    }
    m_skinFile = ini.ReadString(kGeneral, QStringLiteral("SkinFile"), QString());
    RealignControls(this);
}

void TfrmJukebox::SaveSettings(TiniFile &ini)
{
    ini.WriteInteger(kGeneral, QStringLiteral("ClockStyle"), m_clock->ClockStyle() == cs12hr ? 0 : 1);
    ini.WriteBool(kGeneral, QStringLiteral("ShowTimeRemaining"), m_showTimeRemaining);
    ini.WriteBool(kGeneral, QStringLiteral("BannerScroll"), m_banner->ScrollEnabled());
    ini.WriteBool(kGeneral, QStringLiteral("QueueControlsVisible"), m_queueControlPanel->isVisible());
    ini.WriteBool(kGeneral, QStringLiteral("MenuVisible"), m_menuPanel->isVisible());
    ini.WriteBool(kGeneral, QStringLiteral("BannerPanel"), m_songTitlePanel->isVisible());
    ini.WriteBool(kGeneral, QStringLiteral("QueueDetails"), m_queueDetails);
    ini.WriteBool(kGeneral, QStringLiteral("ShowTrackList"), m_showTrackList);
    ini.WriteBool(kGeneral, QStringLiteral("StackerPanel"), m_stackerPanel->isVisible());
    ini.WriteBool(kGeneral, QStringLiteral("VisEnabled"), m_visEnabled);
    ini.WriteInteger(kColors, QStringLiteral("ButtonColor"), ColorToNumber(m_buttonColor));
    ini.WriteInteger(kColors, QStringLiteral("PanelColor"), ColorToNumber(m_panelColor));
    ini.WriteInteger(kSplitter, QStringLiteral("SongList"), m_songsPanel->width());
    ini.WriteInteger(kSplitter, QStringLiteral("QueueList"), m_queuePanel->height());
    ini.WriteInteger(kSplitter, QStringLiteral("QueueDetailsList"), m_queueDetailsPanel->width());
    if (!m_fullScreen)
        m_normalBounds = geometry();
    ini.WriteInteger(kGeometry, QStringLiteral("Left"), m_normalBounds.left());
    ini.WriteInteger(kGeometry, QStringLiteral("Top"), m_normalBounds.top());
    ini.WriteInteger(kGeometry, QStringLiteral("Width"), m_normalBounds.width());
    ini.WriteInteger(kGeometry, QStringLiteral("Height"), m_normalBounds.height());
    ini.WriteBool(kGeometry, QStringLiteral("FullScreen"), m_fullScreen);
    ini.WriteString(kGeneral, QStringLiteral("SkinFile"), m_skinFile);
    SaveSkinStyle(m_skinFile);
}

// --- skins ------------------------------------------------------------------

void TfrmJukebox::SetSkinFile(const QString &path)
{
    m_skinFile = !path.isEmpty() && QuietFileExists(path) ? path : QString();
    LoadSkinControls(m_skinFile);
}

void TfrmJukebox::LoadSkinControls(const QString &path)
{
    try {
        if (!path.isEmpty()) {
            const TiniFile skin(path);
            tellIfDamaged(m_core, skin);
            LoadControlSkins(*this, skin);
        }
        LoadSkinStyle(path);
    } catch (const std::exception &) {
        QMessageBox::warning(this, QStringLiteral("Error reading file"), QStringLiteral("Could not load Skin File"));
    }
}

void TfrmJukebox::LoadSkinStyle(const QString &path)
{
    QString file;
    QString defaultText;
    QColor fallbackButton;
    QColor fallbackPanel;
    bool useDefaults;
    if (path.isEmpty()) {
        file = (m_core ? m_core->ProgramFolder() : QString()) + QStringLiteral("/vorlen.vsk");
        useDefaults = true;
    } else if (QuietFileExists(path)) {
        file = path;
        useDefaults = false;
    } else {
        return;
    }
    const TiniFile skin(file);
    tellIfDamaged(m_core, skin);
    const QString buttonText =
        skin.ReadString(QStringLiteral("Colors"), QStringLiteral("ButtonColor"),
                        useDefaults ? QStringLiteral("#cccce0") : QStringLiteral("#808080"));
    const QString panelText = skin.ReadString(QStringLiteral("Colors"), QStringLiteral("PanelColor"),
                                              useDefaults ? QStringLiteral("#444460") : QStringLiteral("#808080"));
    const QColor buttonColor = SkinTextToColor(buttonText, QColor(250, 238, 255));
    const QColor panelColor = SkinTextToColor(panelText, QColor(60, 60, 90));
    readLabelsAndFonts(skin);
    ApplySkinColors(buttonColor, panelColor, useDefaults);
}

void TfrmJukebox::SaveSkinStyle(const QString &path)
{
    QString file;
    if (path.isEmpty()) {
        file = (m_core ? m_core->ProgramFolder() : QString()) + QStringLiteral("/vorlen.vsk");
    } else if (QuietFileExists(path)) {
        file = path;
    } else {
        QMessageBox::warning(this, QStringLiteral("Error writing file"), QStringLiteral("Could not update Skin File"));
        return;
    }
    TiniFile skin(file);
    skin.WriteString(QStringLiteral("Colors"), QStringLiteral("ButtonColor"), ColorToSkinText(m_buttonColor));
    skin.WriteString(QStringLiteral("Colors"), QStringLiteral("PanelColor"), ColorToSkinText(m_panelColor));
    m_stackerPanel->setVisible(true);
    writeLabelsAndFonts(skin);
    QString error;
    if (skin.UpdateFile(&error))
        return;
    if (m_core)
        m_core->ReportWriteFailure(TfileProblem{file, error});
    else
        QMessageBox::warning(this, QStringLiteral("Error writing file"), QStringLiteral("Could not update Skin File"));
}

void TfrmJukebox::SaveSkinControls(const QString &path)
{
    try {
        TiniFile skin(path);
        SaveControlSkins(*this, skin);
        if (!skin.UpdateFile())
            throw VorlenError(path);
    } catch (const std::exception &) {
        QMessageBox::warning(this, QStringLiteral("Error writing file"), QStringLiteral("Could not update Skin File"));
        return;
    }
    SaveSkinStyle(path);
}

void TfrmJukebox::ApplySkinColors(const QColor &buttonColor, const QColor &panelColor, bool useDefaults)
{
    // The plug-in draws into the display while the controls are recoloured:
    // it is stopped meanwhile.
    const bool visRunning = m_core && m_core->VisualisationRunning();
    if (visRunning)
        m_core->SetVisualisation(false);
    ProcessPendingEvents();
    if (useDefaults) {
        if (m_skinFile.isEmpty())
            restoreBuiltInSkin();
        else
            LoadSkinControls(m_skinFile);
    }
    m_buttonColor = buttonColor;
    m_panelColor = panelColor;
    m_menuBar->SetColor(panelColor);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, panelColor);
    setPalette(palette);
    for (TvorlenPanel *panel : ChildControls<TvorlenPanel>(*this)) {
        if (!panel->IsSkinned())
            panel->SetPanelColor(panelColor);
    }
    TvorlenSkinForm::ApplySkinColors(buttonColor, panelColor, useDefaults);
    for (TtransparentSplitter *splitter : ChildControls<TtransparentSplitter>(*this))
        splitter->SetColor(panelColor);
    ProcessPendingEvents();
    if (visRunning)
        m_core->SetVisualisation(true, &m_visDisplay->Surface());
}

void TfrmJukebox::writeLabelsAndFonts(TiniFile &skin)
{
    for (TdravoLabel *label : m_labels)
        SaveLabelKeys(*label, skin);
    const QString fonts = QStringLiteral("Fonts");
    if (m_core) {
        SaveFontKeys(SkinFontOfTreeFont(m_core->TreeFontLarge()), skin, fonts, QStringLiteral("TreeViewFont"));
        SaveFontKeys(SkinFontOfTreeFont(m_core->TreeFont()), skin, fonts, QStringLiteral("TreeViewDetailFont"));
    }
    SaveFontKeys(ListSkinFont(m_lists->Songs()), skin, fonts, QStringLiteral("SongList"));
    SaveFontKeys(ListSkinFont(m_lists->Queue()), skin, fonts, QStringLiteral("QueueList"));
    SaveFontKeys(ControlSkinFont(*m_clock), skin, fonts, QStringLiteral("Clock"));
    SaveFontKeys(ControlSkinFont(*m_timer), skin, fonts, QStringLiteral("Timer"));
    SaveFontKeys(ControlSkinFont(*m_banner), skin, fonts, QStringLiteral("SongTitle"));
    SaveFontKeys(TskinFont{m_menuBar->MenuFont(), m_menuBar->MenuFontColor()}, skin, fonts, QStringLiteral("Menu"));
}

void TfrmJukebox::readLabelsAndFonts(const TiniFile &skin)
{
    for (TdravoLabel *label : m_labels)
        LoadLabelKeys(*label, skin);
    const QString fonts = QStringLiteral("Fonts");
    auto load = [&](const TskinFont &current, const char *prefix) {
        TskinFont font = current;
        LoadFontKeys(font, skin, fonts, current, QLatin1String(prefix));
        return font;
    };
    if (m_core) {
        m_core->SetTreeFontLarge(TreeFontOfSkinFont(load(SkinFontOfTreeFont(m_core->TreeFontLarge()), "TreeViewFont")));
        m_core->SetTreeFont(TreeFontOfSkinFont(load(SkinFontOfTreeFont(m_core->TreeFont()), "TreeViewDetailFont")));
    }
    const TskinFont song = load(ListSkinFont(m_lists->Songs()), "SongList");
    m_lists->SetSongListFont(song.font, song.color);
    const TskinFont queue = load(ListSkinFont(m_lists->Queue()), "QueueList");
    m_lists->SetQueueListFont(queue.font, queue.color);
    SetControlSkinFont(*m_clock, load(ControlSkinFont(*m_clock), "Clock"));
    SetControlSkinFont(*m_timer, load(ControlSkinFont(*m_timer), "Timer"));
    SetControlSkinFont(*m_banner, load(ControlSkinFont(*m_banner), "SongTitle"));
    SetMenuFont(load(TskinFont{m_menuBar->MenuFont(), m_menuBar->MenuFontColor()}, "Menu"));
}

void TfrmJukebox::SetMenuFont(const TskinFont &font)
{
    m_menuBar->SetMenuFont(font.font, font.color);
    m_menuPanel->resize(m_menuPanel->width(), m_menuBar->PreferredHeight());
}

bool TfrmJukebox::TakeSkinColors(const QColor &buttonColor, const QColor &panelColor)
{
    const QColor button = ResolveColor(buttonColor);
    const QColor panel = ResolveColor(panelColor);
    if (button == ResolveColor(m_buttonColor) && panel == ResolveColor(m_panelColor))
        return false;
    m_buttonColor = button;
    m_panelColor = panel;
    SaveSkinStyle(m_skinFile);
    SetSkinFile(m_skinFile);
    return true;
}
