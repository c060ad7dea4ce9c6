#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;
class TdravoLabel;
class TiniFile;

// A font as a skin file stores it: typeface, size, bold and italic, and the
// colour text is drawn in.
struct TskinFont {
    QFont font;
    QColor color;
};

// A control's font with its text colour (the palette's window text).
TskinFont ControlSkinFont(const QWidget &control);
// Gives control the font and makes its text colour the font's colour.
void SetControlSkinFont(QWidget &control, const TskinFont &font);

// Reads the keys prefix + "Name", "Color", "Size", "Bold", "Italic" of
// section into target; a missing or unusable key takes defaultFont's value.
// Bold and italic are switched on or off; the font's other styles stay.
void LoadFontKeys(TskinFont &target, const TiniFile &skin, const QString &section, const TskinFont &defaultFont,
    const QString &prefix);
// Writes prefix + "Color", "Size", "Name", "Bold", "Italic".
void SaveFontKeys(const TskinFont &font, TiniFile &skin, const QString &section, const QString &prefix);

// A label's font, caption and position in section "Labels", its keys
// prefixed with the label's object name; a missing key keeps the current
// value.
void LoadLabelKeys(TdravoLabel &label, const TiniFile &skin);
void SaveLabelKeys(const TdravoLabel &label, TiniFile &skin);
