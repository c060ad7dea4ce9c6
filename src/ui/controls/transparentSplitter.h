#pragma once

#include "ui/controls/controlEvents.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>

// A splitter bar that resizes the control docked next to it: aligned to its
// parent's left (right, top, bottom) edge with SetControlAlign, it resizes
// the control docked to the same edge whose far side touches it. A drag
// keeps that control at least MinSize pixels and leaves at least MinSize
// pixels to the rest of the parent. It paints its colour with a picture in
// its top-left and bottom-right corners.
//
// GUI thread only.
class TtransparentSplitter : public QWidget {
public:
    explicit TtransparentSplitter(QWidget *parent = nullptr);

    const QImage &TopLeftBitmap() const { return m_topLeftBitmap; }
    void SetTopLeftBitmap(const QImage &value);
    const QImage &BottomRightBitmap() const { return m_bottomRightBitmap; }
    void SetBottomRightBitmap(const QImage &value);
    int MinSize() const { return m_minSize; }
    void SetMinSize(int value);
    // While ParentColor is set the splitter paints in its parent's colour
    // (a panel's PanelColor, else the parent's window colour); setting Color
    // clears it.
    QColor Color() const;
    void SetColor(const QColor &value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value);

    // Tints both pictures with panelColor, stops following the parent's
    // colour and tints a grey colour with panelColor; then repaints.
    void ApplySkinColors(const QColor &panelColor);
    void Paint(QPainter &painter);

    // After a drag has resized the neighbouring control.
    TwidgetEvent OnMoved;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    QWidget *FindResizedControl() const;
    void UpdateCursor();

    QImage m_topLeftBitmap;
    QImage m_bottomRightBitmap;
    int m_minSize = 30;
    QColor m_color;
    bool m_parentColor = true;

    QPointer<QWidget> m_resized;
    QPoint m_pressGlobal;
    int m_startSize = 0;
    int m_maxSize = 0;
};
