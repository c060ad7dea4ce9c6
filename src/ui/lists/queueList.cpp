#include "ui/lists/queueList.h"

#include "library/customTaggerList.h"
#include "platform/raiseEvent.h"
#include "ui/lists/listDrag.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QScrollBar>

TqueueList::TqueueList(QWidget *parent)
    : TrecordListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    QFont design = font();
    design.setBold(true);
    setFont(design);
}

void TqueueList::Refill(const TcustomTaggerList &queue)
{
    const int top = verticalScrollBar()->value();
    const int selected = SelectedRow();
    Rows().Fill([&queue](TstringList &rows) { queue.FillStringsAsStored(rows); });
    doItemsLayout();
    if (selected >= 0 && selected < Count())
        setCurrentIndex(Rows().index(selected));
    verticalScrollBar()->setValue(top);
}

int TqueueList::SelectedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

void TqueueList::SetSelectedRow(int row)
{
    if (row < 0 || row >= Count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = Rows().index(row);
    setCurrentIndex(index);
    scrollTo(index);
}

int TqueueList::TargetRow(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    if (index.isValid())
        return index.row();
    return Count() - 1;
}

bool TqueueList::Accept(QDropEvent *event) const
{
    const std::optional<TlistDrag> drag = ReadListDrag(event->mimeData());
    if (!drag)
        return false;
    if (drag->source == dsQueue) {
        if (drag->row < 0 || drag->row >= Count())
            return false;
        event->setDropAction(Qt::MoveAction);
    } else {
        if (drag->rows <= 0)
            return false;
        event->setDropAction(Qt::CopyAction);
    }
    event->accept();
    return true;
}

void TqueueList::startDrag(Qt::DropActions)
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_dragged = TtaggerRef(Record(row));
    m_dropRow = -1;
    RunListDrag(this, TlistDrag { dsQueue, 1, row }, Qt::MoveAction);
    int holder = -1;
    if (m_dropRow >= 0 && Record(m_dropRow) == m_dragged.get())
        holder = m_dropRow;
    for (int i = 0; holder < 0 && i < Count(); ++i) {
        if (Record(i) == m_dragged.get())
            holder = i;
    }
    SetSelectedRow(holder);
    m_dragged.reset();
}

void TqueueList::dragEnterEvent(QDragEnterEvent *event)
{
    if (Accept(event))
        setState(QAbstractItemView::DraggingState);
    else
        event->ignore();
}

void TqueueList::dragMoveEvent(QDragMoveEvent *event)
{
    if (!Accept(event)) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (ReadListDrag(event->mimeData())->source == dsQueue)
        SetSelectedRow(TargetRow(pos));
    // Near the top or the bottom the list scrolls on, so a row can be taken
    // past what is shown.
    const int margin = autoScrollMargin();
    if (pos.y() < margin || pos.y() >= viewport()->height() - margin)
        startAutoScroll();
    else
        stopAutoScroll();
}

void TqueueList::dragLeaveEvent(QDragLeaveEvent *event)
{
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    event->accept();
}

void TqueueList::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    if (!Accept(event)) {
        event->ignore();
        return;
    }
    const TlistDrag drag = *ReadListDrag(event->mimeData());
    if (drag.source != dsQueue) {
        RaiseEvent(OnDropTracks, this);
        return;
    }
    const int to = TargetRow(event->position().toPoint());
    if (to != drag.row)
        RaiseEvent(OnMoveTrack, this, drag.row, to);
    m_dropRow = to;
    SetSelectedRow(to);
}
