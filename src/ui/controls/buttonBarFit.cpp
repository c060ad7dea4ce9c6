#include "ui/controls/buttonBarFit.h"

#include "ui/controls/dravoLabel.h"
#include "ui/controls/vorlenButton.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace {

// Margins and spaces of a bar, in pixels.
constexpr int kMargin = 8;
constexpr int kTitleGap = 12;
constexpr int kButtonGap = 4;
// A title cut shorter than this says nothing: it is hidden instead.
constexpr int kShortestTitle = 40;

int ButtonWidth(const TvorlenButton &button, bool compact)
{
    // Unskinned, or without a compact strip: as wide as it is made.
    const int frame = button.SkinFrameWidth(compact);
    return frame > 0 ? frame : button.width();
}

int RowWidth(const std::vector<TvorlenButton *> &buttons, bool compact)
{
    int width = 0;
    for (const TvorlenButton *button : buttons)
        width += ButtonWidth(*button, compact);
    return width + kButtonGap * std::max(int(buttons.size()) - 1, 0);
}

std::vector<TvorlenButton *> Shown(std::span<TvorlenButton *const> buttons)
{
    std::vector<TvorlenButton *> shown;
    for (TvorlenButton *button : buttons) {
        if (button && !button->isHidden())
            shown.push_back(button);
    }
    return shown;
}

} // namespace

void FitButtonBar(QWidget &bar, TdravoLabel *title, std::span<TvorlenButton *const> buttonList)
{
    const std::vector<TvorlenButton *> buttons = Shown(buttonList);
    const int left = title ? title->x() : kMargin;
    const int room = bar.width() - kMargin - left;
    const int titleWidth = title ? title->TextWidth() : 0;

    bool compact = false;
    int titleRoom = room - kTitleGap - RowWidth(buttons, false);
    if (titleRoom < std::min(titleWidth, kShortestTitle)) {
        compact = true;
        titleRoom = room - kTitleGap - RowWidth(buttons, true);
    }
    const bool showTitle = title && titleRoom >= std::min(titleWidth, kShortestTitle);
    int x = left;
    if (title) {
        title->setVisible(showTitle);
        if (showTitle) {
            title->SetElideWidth(titleRoom);
            x += title->width() + kTitleGap;
        }
    }
    for (TvorlenButton *button : buttons) {
        button->SetCompact(compact);
        button->setGeometry(x, button->y(), ButtonWidth(*button, compact), button->height());
        x += button->width() + kButtonGap;
    }
}

int NarrowestButtonBar(std::span<TvorlenButton *const> buttons)
{
    return kMargin + RowWidth(Shown(buttons), true) + kMargin;
}
