#include "ui/controls/vorlenPlayerForm.h"

#include "platform/raiseEvent.h"

#include <QCloseEvent>

TvorlenPlayerForm::TvorlenPlayerForm(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
}

void TvorlenPlayerForm::DoStartup()
{
    RaiseEvent(OnStartup);
}

void TvorlenPlayerForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        RaiseEvent(OnClosed);
}
