#include "ui/controls/scrollEventListBox.h"

#include "platform/raiseEvent.h"

TscrollEventListBox::TscrollEventListBox(QWidget *parent)
    : QListWidget(parent)
{
}

void TscrollEventListBox::wheelEvent(QWheelEvent *event)
{
    QListWidget::wheelEvent(event);
    RaiseEvent(OnScrolled, this);
}
