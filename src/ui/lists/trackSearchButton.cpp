#include "ui/controls/vorlenButton.h"
#include "ui/lists/trackSearch.h"

QWidget *TtrackSearch::MakeCloseButton(QWidget *parent)
{
    auto *button = new TvorlenButton(parent);
    button->setObjectName(QStringLiteral("btnCloseEdit"));
    button->SetCaption(QStringLiteral("X"));
    button->SetTabStop(false);
    button->OnClick = [this](QObject *) { Close(); };
    button->hide();
    return button;
}

void TtrackSearch::SetButtonColor(const QColor &color)
{
    static_cast<TvorlenButton *>(m_close)->SetColor(color);
}
