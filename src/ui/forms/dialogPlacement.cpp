#include "ui/forms/dialogPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

bool IsPlacedDialog(const QWidget &widget)
{
    if (!widget.isWindow() || widget.windowFlags().testFlag(Qt::FramelessWindowHint))
        return false;
    const Qt::WindowType type = widget.windowType();
    return type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool;
}

} // namespace

TdialogPlacement::TdialogPlacement(QWidget &mainWindow)
    : m_mainWindow(&mainWindow)
{
    qApp->installEventFilter(this);
}

TdialogPlacement::~TdialogPlacement()
{
    qApp->removeEventFilter(this);
}

QRect TdialogPlacement::Placed(QSize frame, const QWidget &anchor)
{
    const QRect over = anchor.frameGeometry();
    QRect placed(QPoint(0, 0), frame);
    placed.moveCenter(over.center());
    const QScreen *screen = QGuiApplication::screenAt(over.center());
    if (!screen)
        screen = anchor.screen();
    if (!screen)
        return placed;
    const QRect room = screen->availableGeometry();
    // Whole on the screen; a dialog larger than the screen shows its top left.
    placed.moveLeft(std::max(room.left(), std::min(placed.left(), room.right() + 1 - placed.width())));
    placed.moveTop(std::max(room.top(), std::min(placed.top(), room.bottom() + 1 - placed.height())));
    return placed;
}

bool TdialogPlacement::eventFilter(QObject *watched, QEvent *event)
{
    // The show event comes before the window is mapped: it opens where it is
    // placed here.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *dialog = static_cast<QWidget *>(watched);
    if (dialog == m_mainWindow || !IsPlacedDialog(*dialog))
        return false;
    QWidget *anchor = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!anchor || !anchor->isVisible() || anchor->isMinimized())
        anchor = m_mainWindow;
    if (!anchor || !anchor->isVisible())
        return false;
    // With its frame, once the window system has told it (from the dialog's
    // first showing on).
    dialog->move(Placed(dialog->frameGeometry().size(), *anchor).topLeft());
    return false;
}
