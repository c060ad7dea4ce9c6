#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QMenu;
class QMouseEvent;

// A control that paints itself and reports the mouse: the common ground of the
// display widgets. Its hint is the widget's tool tip, shown only while
// ShowHint is set; its pop-up menu opens on a right click. A click is a left
// press and release inside the control and is reported before the mouse-up.
// Its font is the widget's font, the font's colour the palette's window text;
// a change of either repaints it.
//
// Used on the GUI thread only.
class TgraphicControl : public QWidget {
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;
    using TMouseEvent = std::function<void(QObject *sender, QMouseEvent *event)>;

    explicit TgraphicControl(QWidget *parent = nullptr);

    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool value) { m_showHint = value; }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &value) { setToolTip(value); }
    QMenu *PopupMenu() const;
    void SetPopupMenu(QMenu *value);
    QColor FontColor() const;
    void SetFontColor(const QColor &value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseEvent OnMouseMove;

protected:
    // Called after the widget's font or the font's colour changed, before the
    // repaint.
    virtual void FontChanged() { }

    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_showHint = true;
    // A menu belongs to its window; the control only points at it.
    QPointer<QMenu> m_popupMenu;
    bool m_clicked = false;
};
