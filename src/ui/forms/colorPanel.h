#pragma once

#include <QColor>
#include <QFrame>
#include <functional>

// A sunken panel filled with one colour, which a click (or Space while it
// has the focus) asks to change: OnClick then decides.
//
// GUI thread only.
class TcolorPanel : public QFrame {
public:
    explicit TcolorPanel(QWidget *parent = nullptr);

    const QColor &Color() const { return m_color; }
    void SetColor(const QColor &value);

    std::function<void()> OnClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void click();

    QColor m_color { Qt::black };
    bool m_pressed = false;
};
