#pragma once

#include "library/treeNodes.h"

#include <QAbstractItemModel>
#include <QPointer>

class QTreeView;

// A view model over a library tree's nodes (TtreeNodes): one column, a model
// index per node made only when a view asks for it, so a tree of 100,000
// tracks costs the view nothing until rows are shown. The nodes stay the one
// source of truth: Attach keeps a view's expanded nodes and current node in
// step with the nodes' own, both ways, also across a refill; the nodes' in-place
// edits reach the view as rows inserted, removed or changed.
//
// GUI thread only.
class TtreeNodesModel : public QAbstractItemModel {
public:
    enum Role { KindRole = Qt::UserRole + 1, LevelRole, HasChildrenRole, ExpandedRole };

    explicit TtreeNodesModel(TtreeNodes &nodes, QObject *parent = nullptr);
    ~TtreeNodesModel() override;

    TtreeNodes &Nodes() { return m_nodes; }
    TtreeNode NodeAt(const QModelIndex &index) const;
    QModelIndex IndexOf(TtreeNode node) const;

    // Keeps the view's expanded and current nodes and the nodes' own in step.
    void Attach(QTreeView *view);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void showOpenNodes();

    TtreeNodes &m_nodes;
    QPointer<QTreeView> m_view;
    // Set while the model itself moves the view, so the view's signals are
    // not taken for the user's.
    bool m_syncing = false;
};
