#pragma once

#include "library/libraryTree.h"

#include <QStringList>
#include <functional>
#include <vector>

// The nodes of a library tree as a window shows them: texts, objects, kinds,
// levels, the expanded nodes and the selection. A view model reads it; nothing
// here is per-row widget state, so 100,000 tracks fill in one pass.
//
// A refill keeps what the user had open: when the tree is cleared inside an
// update, the selected node and the expanded nodes are remembered by their
// texts from the root, and when the update ends every one of them that still
// exists is selected or expanded again.
//
// A partial change of the library is taken in place (InsertChild, Remove,
// SetText, SyncChildren), each edit announced to the view model as rows
// inserted or removed or a node changed, so a view keeps its expanded nodes,
// its current node and its scroll position. A removed node's index is given
// to the next node inserted; the rows of the siblings after an insertion or
// a removal are numbered again only when a row is next asked for, so a
// change of a few tracks under a letter of 100,000 costs no more than a move
// of the letter's child list.
//
// GUI thread only. The objects are the library's: they are valid until the
// library announces a change (the core's LibraryChanging), when the window
// clears the tree, or until a LibraryChanged that names them as gone, when
// the window takes their nodes out.
class TtreeNodes : public TlibraryTree {
public:
    void BeginUpdate() override;
    void EndUpdate() override;
    void Clear() override;
    // Empties the tree as Clear does, but remembers the selected and the
    // expanded nodes (by their texts) for the next refill to open again: a
    // window empties its tree when the library announces a change, before
    // the refill that follows.
    void ClearKeepingOpenNodes();
    TtreeNode AddChild(TtreeNode parent, const QString &text, TlistObject object, TtreeNodeKind kind) override;

    // The node indices in use or free for reuse: every node is below it.
    int Count() const { return int(m_nodes.size()); }
    // Whether an index below Count is a node (not one removed).
    bool IsNode(TtreeNode node) const
    {
        return node.IsValid() && node.Index() < Count() && at(node).parent != kFreeNode;
    }
    bool Updating() const { return m_updateCount > 0; }

    // Children of a node, or the root nodes for no node.
    int ChildCount(TtreeNode parent) const { return int(children(parent).size()); }
    TtreeNode Child(TtreeNode parent, int row) const;
    TtreeNode Parent(TtreeNode node) const { return TtreeNode(at(node).parent); }
    // Position among its siblings.
    int Row(TtreeNode node) const;
    bool HasChildren(TtreeNode node) const { return !at(node).children.empty(); }
    bool HasNextSibling(TtreeNode node) const { return Row(node) + 1 < ChildCount(Parent(node)); }
    // 0 for a root node.
    int Level(TtreeNode node) const { return at(node).level; }
    const QString &Text(TtreeNode node) const { return at(node).text; }
    const TlistObject &Object(TtreeNode node) const { return at(node).object; }
    TtreeNodeKind Kind(TtreeNode node) const { return at(node).kind; }
    // The texts from the root down to the node.
    QStringList Path(TtreeNode node) const;
    // The node at a path of texts; no node when there is none.
    TtreeNode Find(const QStringList &path) const;

    bool Expanded(TtreeNode node) const { return at(node).expanded; }
    // Expanding a node also expands its ancestors, so that it can be seen.
    void Expand(TtreeNode node);
    void Collapse(TtreeNode node);
    TtreeNode Selected() const { return m_selected; }
    // No node clears the selection.
    void Select(TtreeNode node);

    // What a node of SyncChildren should be.
    struct TnodeSpec {
        QString text;
        TlistObject object;
        TtreeNodeKind kind;
    };
    // Inserts a node as child row of parent (0 ... ChildCount) and returns it.
    TtreeNode InsertChild(TtreeNode parent, int row, const QString &text, TlistObject object, TtreeNodeKind kind);
    // Removes a node with everything under it; a removed selected node
    // leaves no selection.
    void Remove(TtreeNode node);
    void SetText(TtreeNode node, const QString &text);
    // Makes the children of parent the given ones, in that order: a child
    // whose object is wanted keeps its node (and so its expanded state and
    // its children), taking the text given; the others are removed and
    // the missing ones inserted. For lists of the size of an artist's
    // albums or a letter's artists: it costs a look at every child.
    void SyncChildren(TtreeNode parent, const std::vector<TnodeSpec> &children);

    // For a view model: around a refill (the first BeginUpdate and the last
    // EndUpdate), and after a node was expanded, collapsed or selected.
    std::function<void()> OnBeginReset;
    std::function<void()> OnEndReset;
    std::function<void(TtreeNode node)> OnExpandedChange;
    std::function<void(TtreeNode node)> OnSelect;
    // Around an in-place edit outside a refill: rows first ... last of parent.
    std::function<void(TtreeNode parent, int first, int last)> OnBeginInsert;
    std::function<void()> OnEndInsert;
    std::function<void(TtreeNode parent, int first, int last)> OnBeginRemove;
    std::function<void()> OnEndRemove;
    std::function<void(TtreeNode node)> OnTextChange;

private:
    // The parent of a removed node's index, until it is used again.
    static constexpr qint32 kFreeNode = -2;

    struct Node {
        QString text;
        TlistObject object;
        std::vector<qint32> children;
        qint32 parent = -1;
        qint32 row = 0;
        quint16 level = 0;
        TtreeNodeKind kind = TtreeNodeKind::Letter;
        bool expanded = false;
    };

    const Node &at(TtreeNode node) const { return m_nodes[size_t(node.Index())]; }
    const std::vector<qint32> &children(TtreeNode parent) const
    {
        return parent.IsValid() ? at(parent).children : m_roots;
    }
    std::vector<qint32> &mutableChildren(TtreeNode parent)
    {
        return parent.IsValid() ? m_nodes[size_t(parent.Index())].children : m_roots;
    }
    void freeSubtree(qint32 index);
    void rowsChangedFrom(TtreeNode parent, int row);
    void numberRows(qint32 parent) const;
    void rememberOpenNodes();
    void restoreOpenNodes();

    // Mutable for the rows numbered again when first asked for.
    mutable std::vector<Node> m_nodes;
    std::vector<qint32> m_roots;
    std::vector<qint32> m_free;
    // The parents (-1: the roots) whose children's rows are to be numbered again.
    mutable std::vector<qint32> m_staleRows;
    TtreeNode m_selected;
    int m_updateCount = 0;
    // What was open before a refill: set by Clear inside an update, used at its end.
    bool m_remembered = false;
    QStringList m_selectedPath;
    std::vector<QStringList> m_expandedPaths;
};
