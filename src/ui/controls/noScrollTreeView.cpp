#include "ui/controls/noScrollTreeView.h"

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
    if (OnScrolled)
        OnScrolled(this);
}
