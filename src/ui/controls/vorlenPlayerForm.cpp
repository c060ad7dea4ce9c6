#include "ui/controls/vorlenPlayerForm.h"

#include <QCloseEvent>

TvorlenPlayerForm::TvorlenPlayerForm(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
}

void TvorlenPlayerForm::DoStartup()
{
    if (OnStartup)
        OnStartup();
}

void TvorlenPlayerForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && OnClosed)
        OnClosed();
}
