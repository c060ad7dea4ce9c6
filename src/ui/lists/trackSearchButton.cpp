#include "ui/controls/vorlenButton.h"
#include "ui/lists/trackSearch.h"

#include <QPointer>

QWidget *TtrackSearch::MakeCloseButton(QWidget *parent)
{
    auto *button = new TvorlenButton(parent);
    button->setObjectName(QStringLiteral("btnCloseEdit"));
    button->SetCaption(QStringLiteral("X"));
    button->SetTabStop(false);
    // The button belongs to the parent, which may outlive the search.
    button->OnClick = [search = QPointer<TtrackSearch>(this)](QObject *) {
        if (search)
            search->Close();
    };
    button->hide();
    return button;
}

void TtrackSearch::SetButtonColor(const QColor &color)
{
    static_cast<TvorlenButton *>(m_close)->SetColor(color);
}
