#include "ui/controls/noScrollTreeView.h"

#include "platform/raiseEvent.h"

TnoScrollTreeView::TnoScrollTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHeaderHidden(true);
}

void TnoScrollTreeView::wheelEvent(QWheelEvent *event)
{
    QTreeView::wheelEvent(event);
    RaiseEvent(OnScrolled, this);
}
