#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

class QMenu;
class QToolButton;

// The flat toolbar of the menu panel: one button per menu, each dropping its
// menu down. The window draws every button itself: the toolbar's colour, a
// raised bevel while the mouse is over it and a sunken one while it is
// pressed (lines of the colour lightened and darkened by a quarter), and the
// caption centred on one line with a black shadow one pixel down and right.
// Its height follows the menu font: the height of "Yy" plus 6.
//
// GUI thread only.
class TmenuToolBar : public QWidget {
public:
    explicit TmenuToolBar(QWidget *parent = nullptr);

    // A button captioned caption ("&File": the letter after "&" is its
    // Alt key) that drops menu down.
    QToolButton *AddMenu(const QString &caption, QMenu *menu);

    const QFont &MenuFont() const { return m_font; }
    const QColor &MenuFontColor() const { return m_fontColor; }
    // Re-applies the font to every button so their widths follow, and
    // repaints.
    void SetMenuFont(const QFont &font, const QColor &color);
    const QColor &Color() const { return m_color; }
    void SetColor(const QColor &value);
    int PreferredHeight() const;

private:
    void refit();

    QFont m_font;
    QColor m_fontColor{Qt::white};
    QColor m_color{60, 60, 90};
};

// A colour moved percent of the way towards white (lighten) or black
// (darken), each channel rounded to the nearest integer.
QColor LightenColor(const QColor &color, int percent);
QColor DarkenColor(const QColor &color, int percent);
