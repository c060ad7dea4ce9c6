#pragma once

#include <QColor>
#include <QString>

// The system colours the controls use by default. They follow the
// application's palette, so a control created as "button face" matches the
// desktop theme.
enum TsystemColor {
    clBtnFace,
    clScrollBar,
    clBtnHighlight,
    clBtnShadow,
    clHighlight,
    clHighlightText,
    clInfoBk,
    clInfoText,
    clWindow,
    clWindowText,
};

QColor SystemColor(TsystemColor color);

// A colour as the opaque 24-bit RGB value it paints with (an invalid colour
// paints black).
QColor ResolveColor(const QColor &color);

// A skin file's colour text: "#" and red, green, blue as two upper-case
// hexadecimal digits each ("#FF0000" for red).
QString ColorToSkinText(const QColor &color);
// True for exactly seven characters: "#" and six hexadecimal digits (either
// case).
bool IsSkinColorText(const QString &text);
// The colour a colour text names, or defaultColor for any other text.
QColor SkinTextToColor(const QString &text, const QColor &defaultColor);

// The colour number the settings file stores: blue * 65536 + green * 256 +
// red.
int ColorToNumber(const QColor &color);
// The colour of a colour number; only its low three bytes count.
QColor NumberToColor(int number);
