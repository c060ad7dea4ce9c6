#pragma once

#include "ui/controls/controlEvents.h"

#include <QColor>
#include <QImage>
#include <QWidget>

// One control with four clickable parts (the play controls) painted from a
// four-frame skin strip: normal, pressed, checked, and a map in which each
// part is painted in its part colour. A press shows the pressed part's
// pressed look; a left-button release on the part that was pressed clicks
// it. One part at a time can show as checked (ButtonChecked); a pressed
// part shows pressed even when it is the checked one. Without a skin the
// control is split into four quadrants (1 and 2 on top, 3 and 4 below).
//
// GUI thread only.
class TvorlenMultiButton : public QWidget {
public:
    explicit TvorlenMultiButton(QWidget *parent = nullptr);

    // The skin strip with only part `part`'s pixels left, the rest black
    // (see-through when laid over the normal frame); part is 1 ... 4.
    const QImage &ButtonBitmap(int part) const { return m_overlays[part - 1]; }
    const QColor &ButtonColor(int part) const { return m_partColors[part - 1]; }
    void SetButtonColor(int part, const QColor &value);
    int ButtonChecked() const { return m_buttonChecked; }
    // Repaints at once.
    void SetButtonChecked(int value);
    const QImage &SkinBitmap() const { return m_skinBitmap; }
    // Also rebuilds the part overlays.
    void SetSkinBitmap(const QImage &value);

    // With toggle set and index the checked part, no part is checked;
    // otherwise part index is. Repaints at once.
    void CheckButton(int index, bool toggle);
    // The part at (x, y), 0 for none.
    int PartAt(int x, int y) const;
    int PressedPart() const { return m_pressedPart; }

    // Tints the skin (face pixels of the four standard part colours with
    // buttonColor, the rest with panelColor), rebuilds the overlays and
    // repaints.
    void ApplySkinColors(const QColor &buttonColor, const QColor &panelColor);
    void Paint(QPainter &painter);

    TwidgetEvent OnButton1Click;
    TwidgetEvent OnButton2Click;
    TwidgetEvent OnButton3Click;
    TwidgetEvent OnButton4Click;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool HasSkin() const;
    int FrameWidth() const { return m_skinBitmap.width() / 4; }
    void BuildOverlays();
    // Lays frame `frame` of overlay `part` over m_work, black being
    // see-through.
    void LayOverlay(int part, int frame);

    QImage m_overlays[4];
    QColor m_partColors[4];
    int m_buttonChecked = 0;
    QImage m_skinBitmap;

    int m_pressedPart = 0;
    QPoint m_mouse;
    // The composed look, kept between paints so that painting allocates
    // nothing.
    QImage m_work;
};
