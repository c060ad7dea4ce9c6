#include "ui/forms/frmQueueMoveTo.h"

#include "ui/forms/dialogButtons.h"

#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

TfrmQueueMoveTo::TfrmQueueMoveTo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_position(new QSpinBox(this))
{
    setObjectName(QStringLiteral("frmQueueMoveTo"));
    m_position->setObjectName(QStringLiteral("speQueueMove"));
    m_position->setToolTip(QStringLiteral("This is the position to move the song to"));
    m_position->setAlignment(Qt::AlignRight);
    QPushButton *ok = MakeOkButton(this);
    QPushButton *cancel = MakeCancelButton(this);

    // Without a border of its own the box draws a frame, so that it stands
    // out from the window behind it.
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    auto *column = new QVBoxLayout(frame);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(3);
    column->addWidget(m_position);
    column->addWidget(ok);
    column->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // One column as wide as the OK button, or as its widest part needs.
    const int width = qMax(60, qMax(ok->sizeHint().width(), cancel->sizeHint().width()));
    for (QWidget *part :
        { static_cast<QWidget *>(m_position), static_cast<QWidget *>(ok), static_cast<QWidget *>(cancel) })
        part->setFixedWidth(width);
}

void TfrmQueueMoveTo::Prepare(int count, int currentRow, QPoint topLeft)
{
    m_position->setRange(1, count);
    m_position->setValue(currentRow + 1);
    m_position->selectAll();
    adjustSize();
    QPoint at = topLeft;
    if (const QScreen *screen = QGuiApplication::screenAt(topLeft)) {
        const QRect room = screen->availableGeometry();
        at.setX(qBound(room.left(), at.x(), room.right() + 1 - width()));
        at.setY(qBound(room.top(), at.y(), room.bottom() + 1 - height()));
    }
    move(at);
}

bool TfrmQueueMoveTo::Execute(int count, int currentRow, QPoint topLeft, int *targetRow)
{
    if (count < 2 || currentRow < 0 || currentRow >= count)
        return false;
    Prepare(count, currentRow, topLeft);
    m_position->setFocus();
    // Once shown (focus-in sets the cursor): the position is selected, so
    // that typing replaces it.
    QTimer::singleShot(0, m_position, [this] { m_position->selectAll(); });
    if (exec() != Accepted)
        return false;
    if (targetRow)
        *targetRow = m_position->value() - 1;
    return true;
}
