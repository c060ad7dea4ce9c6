#pragma once

#include "library/libraryTree.h"

#include <QStyledItemDelegate>

class QTreeView;
struct TtreeFont;

// Puts the tree image in front of each node of a TtreeNodesModel, by the
// rule of TreeNodeImage.
class TtreeImageDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The image index of a node as the view shows it now.
    static int ImageIndex(const QModelIndex &index, const QStyleOptionViewItem &option);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The jukebox's library tree look on a tree view: black, in the given tree
// font and its colour, with the tree images. Applying it again takes a new
// font.
void ApplyTreeLook(QTreeView *view, const TtreeFont &font);
