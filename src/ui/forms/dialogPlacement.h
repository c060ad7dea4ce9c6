#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Every dialog of the program opens centred over the window it belongs to
// (its parent's window, else the main window), on that window's screen and
// whole inside it, however the user has moved or resized the main window
// since the dialog last showed. Windows placed by hand (frameless ones, such
// as the move-to box beside the queue's buttons) and menus keep their own
// places. Under Wayland the compositor places windows: the program's wish is
// then ignored, as the compositor decides.
//
// Watches the application's events while it lives; made once, by the
// program, with the main window. GUI thread only.
class TdialogPlacement : public QObject {
public:
    explicit TdialogPlacement(QWidget &mainWindow);
    ~TdialogPlacement() override;

    // Where a dialog of the given frame size goes over the anchor window:
    // centred over it, then moved as little as it takes to lie whole inside
    // the available part of the anchor's screen.
    static QRect Placed(QSize frame, const QWidget &anchor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_mainWindow;
};
