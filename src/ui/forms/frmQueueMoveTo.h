#pragma once

#include <QDialog>

class QSpinBox;

// The move-to box: a small borderless box beside the queue's Move To button
// that asks for the position (counted from 1, as the user sees the queue)
// to move the selected track to.
class TfrmQueueMoveTo : public QDialog {
public:
    explicit TfrmQueueMoveTo(QWidget *parent = nullptr);

    // Shows the box modally with its top-left corner at topLeft (screen
    // coordinates; kept on the screen), for a queue of count tracks whose row
    // currentRow (from 0) is selected. On OK, targetRow receives the row (from
    // 0) to move the track to, and the result is true. Nothing opens, and the
    // result is false, unless the queue has at least 2 tracks and currentRow
    // is one of them.
    bool Execute(int count, int currentRow, QPoint topLeft, int *targetRow);
    // Sets the box up as Execute shows it.
    void Prepare(int count, int currentRow, QPoint topLeft);

private:
    QSpinBox *m_position;
};
