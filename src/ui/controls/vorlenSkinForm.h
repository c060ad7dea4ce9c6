#pragma once

#include "ui/controls/vorlenPlayerForm.h"

#include <QColor>
#include <QString>

// The main window's base with its skin operations. ApplySkinColors colours
// every skinned control the window holds; loading and saving skins is the
// main window's.
//
// GUI thread only.
class TvorlenSkinForm : public TvorlenPlayerForm {
public:
    explicit TvorlenSkinForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    // Tints the skins of every skinned control: button faces with
    // buttonColor and everything else with panelColor (see
    // ApplySkinColorsTo). useDefaults asks an override to restore the
    // built-in skin first; this body does not use it.
    virtual void ApplySkinColors(const QColor &buttonColor, const QColor &panelColor, bool useDefaults);
    virtual void LoadSkinStyle(const QString &path) = 0;
    virtual void SaveSkinStyle(const QString &path) = 0;
    virtual void SaveSkinControls(const QString &path) = 0;
    virtual void LoadSkinControls(const QString &path) = 0;
};

// Tints every skinned control under owner, in the order the window holds
// them (depth first): buttons, scroll bars and multi-buttons with both
// colours, panels and splitters with panelColor. The buttons inside a scroll
// bar are the bar's own and are tinted once, by the bar.
void ApplySkinColorsTo(QWidget &owner, const QColor &buttonColor, const QColor &panelColor);
