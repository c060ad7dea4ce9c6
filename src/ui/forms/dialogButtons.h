#pragma once

#include <QPushButton>
#include <initializer_list>

class QDialog;
class QHBoxLayout;

// The dialogs' "&OK" button, named btnOK: the default button (Enter presses
// it), which accepts the dialog.
QPushButton *MakeOkButton(QDialog *dialog);
// The dialogs' "&Cancel" button, named btnCancel, which rejects the dialog,
// as Escape does.
QPushButton *MakeCancelButton(QDialog *dialog);
// A row with the buttons at its right end.
QHBoxLayout *ButtonRow(std::initializer_list<QWidget *> buttons);
