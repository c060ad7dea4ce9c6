#pragma once

#include "library/libraryTree.h"

#include <QStyledItemDelegate>

class QTreeView;
struct TtreeFont;

// The tree image a node shows, by what it is and how it stands. Index into
// the tree images 0 ... 8: closed, open and empty letter node, artist and
// open artist, album and open album, track, playlist. A node shows the same
// image whether or not it is selected; selection and opening only choose
// which image that is.
int TreeNodeImage(TtreeNodeKind kind, bool hasChildren, bool expanded, bool selected);

// Puts the tree image in front of each node of a TtreeNodesModel.
class TtreeImageDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The jukebox's library tree look on a tree view: black, in the given tree
// font and its colour, with the tree images. Applying it again takes a new
// font.
void ApplyTreeLook(QTreeView *view, const TtreeFont &font);
