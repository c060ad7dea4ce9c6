#include "ui/forms/dialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QPushButton *MakeOkButton(QDialog *dialog)
{
    auto *button = new QPushButton(QStringLiteral("&OK"), dialog);
    button->setObjectName(QStringLiteral("btnOK"));
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    return button;
}

QPushButton *MakeCancelButton(QDialog *dialog)
{
    auto *button = new QPushButton(QStringLiteral("&Cancel"), dialog);
    button->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
    return button;
}

QHBoxLayout *ButtonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}
