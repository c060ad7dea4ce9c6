#pragma once

#include <Qt>
#include <optional>

class QMimeData;
class QPixmap;
class QWidget;

// Drags between the jukebox's lists. What is dragged is named, not carried:
// tracks dragged from the tree or the song list are the selection there, which
// the queue takes when they are dropped on it; a queue row dragged within the
// queue is its row number. The data is private to this program.
enum TdragSource { dsTree, dsSongList, dsQueue };

struct TlistDrag {
    TdragSource source = dsSongList;
    // Rows dragged (tree, song list) or the row dragged (queue).
    int rows = 0;
    int row = -1;
};

QMimeData *MakeListDragData(const TlistDrag &drag);
// None for data from anywhere else.
std::optional<TlistDrag> ReadListDrag(const QMimeData *data);

// The pointer shown while dragging one item, or several.
QPixmap DragCursor(bool severalItems);

// Runs the drag from source until it is dropped or given up, with the
// single-item cursor for fewer than 2 rows and the multi-item one otherwise.
Qt::DropAction RunListDrag(QWidget *source, const TlistDrag &drag, Qt::DropAction action);
