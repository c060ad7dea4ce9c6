#include "ui/controls/scrollEventListBox.h"

TscrollEventListBox::TscrollEventListBox(QWidget *parent)
    : QListWidget(parent)
{
}

void TscrollEventListBox::wheelEvent(QWheelEvent *event)
{
    QListWidget::wheelEvent(event);
    if (OnScrolled)
        OnScrolled(this);
}
