#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class TTipDialog;
class TtipDialogState;

// The tip-of-the-day dialog ("Tip of the Day"): one tip at a time beside a
// small picture, "Next Tip" to move on, "Close", and "Display Tips on
// Startup". It works on one showing's state (TtipDialogState) and leaves in
// it the tip shown last and the check box's state. Its controls carry their
// component names (Label2, Label3, CheckBox, Button1, Button2, picture).
//
// GUI thread only; it exists only while it is shown.
class TTipDialogForm : public QDialog {
public:
    TTipDialogForm(TtipDialogState &state, QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showTip();

    TtipDialogState &m_state;
    QLabel *m_tip;
    QCheckBox *m_showAtStart;
    QPushButton *m_next;
};

// Shows the tip dialog modally over parent for one showing; false, with the
// system beep and nothing else, when the dialog cannot be made.
bool RunTipDialog(TtipDialogState &state, QWidget *parent);

// Makes a tip component show its dialog (over parent while parent lives).
void InstallTipDialog(TTipDialog &tips, QWidget *parent);
