#pragma once

#include <span>

class QWidget;
class TdravoLabel;
class TvorlenButton;

// A bar of a title and buttons: the title where the skin puts it, then the
// visible buttons from left to right. When the bar is too narrow for all of
// them, the title gives up room first (its text cut short, down to a few
// letters, then hidden), and then the buttons show their glyphs alone
// (TvorlenButton::SetCompact, where the skin has glyph-only strips), so
// that every button stays whole and can be clicked. Buttons keep their
// vertical place.
//
// Run it again whenever the bar's width, its buttons or the title's text or
// font change. title may be null.
void FitButtonBar(QWidget &bar, TdravoLabel *title, std::span<TvorlenButton *const> buttons);

// The narrowest bar FitButtonBar keeps those buttons whole in (compact, no
// title).
int NarrowestButtonBar(std::span<TvorlenButton *const> buttons);
