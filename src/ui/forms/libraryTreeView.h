#pragma once

#include "library/libraryTree.h"

#include <QIcon>
#include <QStyledItemDelegate>
#include <array>

class QTreeView;
struct TtreeFont;

// The tree image of a node, worked out anew whenever the tree paints it:
// letter nodes 0 (closed), 1 (expanded or selected), 2 (no children);
// artists 3, 4 when selected or expanded; albums 5, 6 when expanded or
// selected without children; tracks 7; playlists 8.
int LibraryTreeImageIndex(TtreeNodeKind kind, bool hasChildren, bool expanded, bool selected);

// Draws each node of a library tree (a TtreeNodesModel) with the built-in
// tree image its state calls for.
class TlibraryTreeDelegate : public QStyledItemDelegate {
public:
    explicit TlibraryTreeDelegate(QObject *parent = nullptr);

    // The image index of a node as the view shows it now.
    static int ImageIndex(const QModelIndex &index, const QStyleOptionViewItem &option);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    std::array<QIcon, 9> m_images;
};

// A library tree's look: the skin's black tree in the given tree font and
// colour, the desktop's highlight, the built-in images.
void SetUpLibraryTree(QTreeView &view, const TtreeFont &font);
