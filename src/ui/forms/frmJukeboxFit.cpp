// The jukebox window at every size: the track information makes way for
// nothing and runs under nothing, the bars keep their buttons whole, and the
// tree keeps room for its bar however the song list is sized.
#include "ui/forms/frmJukebox.h"

#include "ui/controls/buttonBarFit.h"
#include "ui/controls/childControls.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/labelFit.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"

#include <algorithm>

namespace {

// The visualisation's width, and the narrowest one worth showing: below it
// the display gives the track information the room instead.
constexpr int kVisWidth = 220;
constexpr int kNarrowestVis = 120;
// What the captions, the values and the mode line want left of the counter.
constexpr int kTrackInfoRoom = 320;
// Space between the display's screens and around them.
constexpr int kScreenGap = 8;
constexpr int kScreenTop = 6;
// A label's text ends this far before whatever stands to its right.
constexpr int kLabelGap = 4;
// The queue buttons' column: its margin at the top and bottom, and the
// space between two buttons, at most and at least.
constexpr int kQueueButtonMargin = 4;
constexpr int kQueueGap = 6;
constexpr int kNarrowestQueueGap = 2;

QList<QWidget *> queueButtons(const QWidget &panel)
{
    QList<QWidget *> buttons;
    for (QObject *child : panel.children()) {
        if (auto *button = qobject_cast<QWidget *>(child))
            buttons.append(button);
    }
    return buttons;
}

int columnHeight(const QList<QWidget *> &column)
{
    int sum = 0;
    for (const QWidget *widget : column)
        sum += widget->height();
    return sum;
}

} // namespace

void TfrmJukebox::connectFits()
{
    m_displayPanel->OnResize = [this](QObject *) { fitDisplay(); };
    m_stackerPanel->OnResize = [this](QObject *) { fitStackerBar(); };
    m_treeButtons->OnResize = [this](QObject *) { fitButtonBars(); };
    m_songButtons->OnResize = [this](QObject *) { fitButtonBars(); };
    m_listsPanel->OnResize = [this](QObject *) { keepTreeRoom(); };
    m_songsPanel->OnResize = [this](QObject *) { keepTreeRoom(); };
    m_queueControlPanel->OnResize = [this](QObject *) { fitQueueControls(); };
    m_queueDetailsPanel->OnResize = [this](QObject *) { fitQueueDetails(); };
    // The queue panel is never made lower than its buttons need.
    const QList<QWidget *> buttons = queueButtons(*m_queueControlPanel);
    m_queueSplitter->SetMinSize(std::max(m_queueSplitter->MinSize(),
        2 * kQueueButtonMargin + columnHeight(buttons) + (int(buttons.size()) - 1) * kNarrowestQueueGap));
}

void TfrmJukebox::refitControls()
{
    fitDisplay();
    fitStackerBar();
    fitButtonBars();
    fitQueueDetails();
}

void TfrmJukebox::fitDisplay()
{
    const int height = m_displayPanel->height() - 2 * kScreenTop;
    const int left = m_controls->geometry().right() + 1 + 12;
    const int right = m_displayPanel->width() - kScreenGap;
    const int counterRoom = m_timer->width() + 10;
    int visWidth = 0;
    if (m_visEnabled) {
        visWidth = std::min(kVisWidth, right - kScreenGap - left - kTrackInfoRoom - counterRoom);
        if (visWidth < kNarrowestVis)
            visWidth = 0;
    }
    m_visPanel->setVisible(visWidth > 0);
    if (visWidth > 0)
        m_visPanel->setGeometry(right - visWidth, kScreenTop, visWidth, height);
    const int infoRight = visWidth > 0 ? right - visWidth - kScreenGap : right;
    m_mainDisplay->setGeometry(left, kScreenTop, std::max(infoRight - left, counterRoom), height);
    const int counterLeft = m_mainDisplay->width() - counterRoom;
    m_timer->move(counterLeft, m_timer->y());
    m_positionBar->move(counterLeft, m_positionBar->y());
    FitLabelsToNeighbours(*m_mainDisplay, kLabelGap);
}

void TfrmJukebox::fitStackerBar()
{
    FitLabelsToNeighbours(*m_stackerPanel, kLabelGap);
}

void TfrmJukebox::fitButtonBars()
{
    if (m_showTrackList) {
        TvorlenButton *const tree[] = { m_showTitlesButton, m_addSelectedButton, m_playCDButton, m_searchButton };
        FitButtonBar(*m_treeButtons, Label(jlArtistList), tree);
        return;
    }
    TvorlenButton *const tree[] = { m_showTitlesButton, m_playCDButton, m_searchButton };
    FitButtonBar(*m_treeButtons, Label(jlArtistList), tree);
    TvorlenButton *const songs[] = { m_addAllButton, m_addSelectedButton };
    FitButtonBar(*m_songButtons, Label(jlTrackList), songs);
}

void TfrmJukebox::fitQueueControls()
{
    // The buttons close up in a low queue panel, so that all of them stay
    // whole.
    const QList<QWidget *> buttons = queueButtons(*m_queueControlPanel);
    if (buttons.size() < 2)
        return;
    const int free = m_queueControlPanel->height() - 2 * kQueueButtonMargin - columnHeight(buttons);
    const int gap = std::clamp(free / int(buttons.size() - 1), kNarrowestQueueGap, kQueueGap);
    int top = kQueueButtonMargin;
    for (QWidget *button : buttons) {
        button->move(button->x(), top);
        top += button->height() + gap;
    }
}

void TfrmJukebox::fitQueueDetails()
{
    // A line the panel has no room for is left out whole, not cut (the
    // loudness line first, in a low queue area).
    for (TdravoLabel *label : ChildControls<TdravoLabel>(*m_queueDetailsPanel))
        label->setVisible(m_queueDetails && label->geometry().bottom() < m_queueDetailsPanel->height());
}

void TfrmJukebox::keepTreeRoom()
{
    // However wide the song list was made (by its splitter, by the settings
    // of a larger screen), the tree keeps room for its bar.
    if (m_songsPanel->isHidden())
        return;
    const int most = std::max(
        m_listsPanel->width() - m_songSplitter->width() - m_songSplitter->MinSize(), m_songsPanel->minimumWidth());
    if (m_songsPanel->width() > most)
        m_songsPanel->resize(most, m_songsPanel->height());
}
