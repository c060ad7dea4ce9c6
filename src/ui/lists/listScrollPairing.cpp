#include "ui/lists/listScrollPairing.h"

#include "platform/pendingEvents.h"
#include "ui/controls/vorlenScrollBar.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScrollBar>

TlistScrollPairing::TlistScrollPairing(
    QAbstractItemView *list, TvorlenScrollBar *bar, TpairedList kind, QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_bar(bar)
    , m_kind(kind)
{
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QScrollBar *own = list->verticalScrollBar();
    connect(own, &QScrollBar::valueChanged, this, [this] { Sync(); });
    connect(own, &QScrollBar::rangeChanged, this, [this] { Sync(); });
    list->viewport()->installEventFilter(this);
    bar->PositionChanged = [this](QObject *, int value) { ScrollList(value); };
    Sync();
}

bool TlistScrollPairing::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_list && watched == m_list->viewport())
        Sync();
    return QObject::eventFilter(watched, event);
}

int TlistScrollPairing::RowHeight() const
{
    const int height = m_list->model() && m_list->model()->rowCount() > 0 ? m_list->sizeHintForRow(0) : 0;
    return height > 0 ? height : m_list->fontMetrics().height();
}

void TlistScrollPairing::Sync()
{
    if (!m_list || !m_bar)
        return;
    const QScrollBar *own = m_list->verticalScrollBar();
    // The list's own bar stops at the last row that can be at the top.
    const int first = own->minimum();
    const int max = std::max(own->maximum(), first + 1);
    if (m_bar->Min() != first) {
        if (first >= m_bar->Max())
            m_bar->SetMax(max);
        m_bar->SetMin(first);
    }
    if (m_bar->Max() != max)
        m_bar->SetMax(max);
    if (m_bar->Value() != own->value())
        m_bar->SetValueQuietly(own->value());
    if (m_kind == plTree) {
        const int visibleRows = m_list->viewport()->height() / std::max(1, RowHeight());
        const int largeStep = std::max(visibleRows - 1, 0);
        if (m_bar->LargeStep() != largeStep)
            m_bar->SetLargeStep(largeStep);
    }
}

void TlistScrollPairing::ScrollList(int value)
{
    const QPointer<TlistScrollPairing> self(this);
    ProcessPendingEvents();
    if (!self || !m_list)
        return;
    QScrollBar *own = m_list->verticalScrollBar();
    if (own->value() != value)
        own->setValue(value);
    // A list that cannot go as far as the bar asks takes the bar back.
    Sync();
}
