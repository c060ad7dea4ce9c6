#pragma once

#include "library/treeNodes.h"
#include "ui/controls/noScrollTreeView.h"
#include "ui/lists/treeRowPainter.h"

#include <QList>

class Tmp3JukeBoxLists;
class TcustomTagger;
class TcustomTaggerList;
class TtreeNodesModel;
struct TlibraryChanges;
struct TtreeFont;

// The jukebox's library tree (tvMain): artists and their albums under letter
// nodes, or, in the all-tracks view, tracks under letter nodes. It keeps the
// table of the 29 letter nodes ('<A>' ... '<Z>', "<other>", "<no name>",
// "<Compilations>"; the last is no node in the all-tracks view) and draws
// every row itself (TtreeRowPainter).
//
// A letter key (A to Z, either case, without Ctrl or Alt) selects that
// letter's node; other keys work as in any tree. A track node can be dragged
// (to the queue).
//
// The nodes carry the library's artists, albums and records: the window
// calls DropLibrary when the library announces a change, and Refill when it
// has changed. The selected and expanded nodes come back after the refill
// where they still exist. A partial change (LibraryChanged) is taken in
// place, and the user stays where he was: the expanded nodes, the selected
// node and the top row stay on what they showed, unless that went.
//
// GUI thread only.
class TjukeboxTree : public TnoScrollTreeView {
public:
    using TnodeEvent = std::function<void(QObject *sender, TtreeNode node)>;

    static constexpr int kLetterNodes = 29;
    static constexpr int kOtherNode = 26;
    static constexpr int kNoNameNode = 27;
    static constexpr int kCompilationsNode = 28;

    explicit TjukeboxTree(QWidget *parent = nullptr);
    ~TjukeboxTree() override;

    // Fills the tree from the library, by artist or (byTitle) by track; in
    // the track view the library's master list shows "Title - Artist".
    void Refill(const Tmp3JukeBoxLists &library, bool byTitle);
    // Empties the tree, letting go of every artist, album and record.
    void DropLibrary();
    // The library took a partial change: the tree follows it in place
    // (nothing before the first refill or after DropLibrary).
    void LibraryChanged(const Tmp3JukeBoxLists &library, const TlibraryChanges &changes);
    bool ByTitle() const { return m_byTitle; }

    // The letter nodes, indexed 0 ... 28 as above; no nodes before the first
    // refill and after DropLibrary.
    const QList<TtreeNode> &LetterNodes() const { return m_letters; }
    const TtreeNodes &Nodes() const { return m_nodes; }
    TtreeNodesModel &Model() { return *m_model; }

    TtreeNode Selected() const { return m_nodes.Selected(); }
    // Selects a node and scrolls it into view; no node clears the selection.
    void Select(TtreeNode node);
    // The artist, album or track of the selected node; nothing for a letter
    // node or no selection.
    TlistObject SelectedObject() const;
    // The selected node's artist or album, or its track; else null.
    TcustomTaggerList *SelectedTrackList() const;
    TcustomTagger *SelectedTrack() const;

    // The two fonts the core keeps for the tree: the font of the node texts
    // and the font of the counts after them.
    void SetTreeFont(const TtreeFont &font);
    void SetDetailFont(const TtreeFont &font);
    // The tree's background colour (black as designed).
    const QColor &Color() const { return m_rowPainter.Color(); }
    void SetColor(const QColor &color);
    // The nine node pictures (the built-in ones at first).
    void SetImages(const QList<QImage> &images);
    const TtreeRowPainter &RowPainter() const { return m_rowPainter; }
    int RowHeight() const { return m_rowPainter.RowHeight(); }

    // A click anywhere in the tree (after the clicked node is selected).
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    // The selected node changed (also when the tree itself restores it).
    TnodeEvent OnChange;
    // A node was expanded or collapsed.
    TnodeEvent OnExpanded;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void FontsChanged();

    TtreeNodes m_nodes;
    TtreeNodesModel *m_model;
    // Drawing changes only the painter's row picture and kept texts, not
    // what the tree shows; drawRow is const.
    mutable TtreeRowPainter m_rowPainter;
    QList<TtreeNode> m_letters;
    bool m_byTitle = false;
};
