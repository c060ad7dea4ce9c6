#include "ui/lists/listDrag.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

const QString kMimeType = QStringLiteral("application/x-vorlen-list-drag");

const char *SourceName(TdragSource source)
{
    switch (source) {
    case dsTree:
        return "tree";
    case dsSongList:
        return "songs";
    case dsQueue:
        return "queue";
    }
    return "";
}

// An arrow with a sheet of paper below it, or a stack of three.
QPixmap PaintCursor(bool severalItems)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF arrow[] = { { 1, 1 }, { 1, 17 }, { 5, 13 }, { 8, 20 }, { 10, 19 }, { 7, 12 }, { 12, 12 } };
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow, int(std::size(arrow)));
    const int sheets = severalItems ? 3 : 1;
    for (int i = sheets - 1; i >= 0; --i) {
        const QRectF sheet(13 + 3 * i, 15 + 3 * i, 10, 12);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(sheet);
    }
    return pixmap;
}

} // namespace

QMimeData *MakeListDragData(const TlistDrag &drag)
{
    auto *data = new QMimeData;
    data->setData(kMimeType,
        QByteArray(SourceName(drag.source)) + ' ' + QByteArray::number(drag.rows) + ' ' + QByteArray::number(drag.row));
    return data;
}

std::optional<TlistDrag> ReadListDrag(const QMimeData *data)
{
    if (!data || !data->hasFormat(kMimeType))
        return std::nullopt;
    const QList<QByteArray> fields = data->data(kMimeType).split(' ');
    if (fields.size() != 3)
        return std::nullopt;
    TlistDrag drag;
    bool found = false;
    for (TdragSource source : { dsTree, dsSongList, dsQueue }) {
        if (fields[0] == SourceName(source)) {
            drag.source = source;
            found = true;
        }
    }
    bool rowsRead = false;
    bool rowRead = false;
    drag.rows = fields[1].toInt(&rowsRead);
    drag.row = fields[2].toInt(&rowRead);
    if (!found || !rowsRead || !rowRead)
        return std::nullopt;
    return drag;
}

QPixmap DragCursor(bool severalItems)
{
    return PaintCursor(severalItems);
}

Qt::DropAction RunListDrag(QWidget *source, const TlistDrag &drag, Qt::DropAction action)
{
    auto *run = new QDrag(source);
    run->setMimeData(MakeListDragData(drag));
    run->setDragCursor(DragCursor(drag.rows >= 2), action);
    return run->exec(action);
}
