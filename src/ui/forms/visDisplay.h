#pragma once

#include "playback/visSurface.h"

#include <QWidget>

class QMenu;

// The display the visualisation plug-in draws into: it owns the plug-in's
// picture (resized with the display) and paints it after every render. A
// right click opens the visualisation's popup menu.
//
// GUI thread only.
class TvisDisplay : public QWidget {
public:
    explicit TvisDisplay(QWidget *parent = nullptr);

    TvisSurface &Surface() { return m_surface; }
    void SetPopupMenu(QMenu *menu) { m_popup = menu; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    TvisSurface m_surface;
    QMenu *m_popup = nullptr;
};
