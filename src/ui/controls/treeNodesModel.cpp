#include "ui/controls/treeNodesModel.h"

#include <QItemSelectionModel>
#include <QTreeView>

TtreeNodesModel::TtreeNodesModel(TtreeNodes &nodes, QObject *parent) : QAbstractItemModel(parent), m_nodes(nodes)
{
    m_nodes.OnBeginReset = [this] { beginResetModel(); };
    m_nodes.OnEndReset = [this] {
        endResetModel();
        showOpenNodes();
    };
    m_nodes.OnBeginInsert = [this](TtreeNode parent, int first, int last) {
        beginInsertRows(IndexOf(parent), first, last);
    };
    m_nodes.OnEndInsert = [this] { endInsertRows(); };
    m_nodes.OnBeginRemove = [this](TtreeNode parent, int first, int last) {
        beginRemoveRows(IndexOf(parent), first, last);
    };
    m_nodes.OnEndRemove = [this] { endRemoveRows(); };
    m_nodes.OnTextChange = [this](TtreeNode node) {
        const QModelIndex index = IndexOf(node);
        emit dataChanged(index, index);
    };
    m_nodes.OnExpandedChange = [this](TtreeNode node) {
        if (!m_view || m_syncing)
            return;
        m_syncing = true;
        m_view->setExpanded(IndexOf(node), m_nodes.Expanded(node));
        m_syncing = false;
    };
    m_nodes.OnSelect = [this](TtreeNode node) {
        if (!m_view || m_syncing)
            return;
        m_syncing = true;
        m_view->setCurrentIndex(IndexOf(node));
        m_syncing = false;
    };
}

TtreeNodesModel::~TtreeNodesModel()
{
    m_nodes.OnBeginReset = nullptr;
    m_nodes.OnEndReset = nullptr;
    m_nodes.OnExpandedChange = nullptr;
    m_nodes.OnSelect = nullptr;
    m_nodes.OnBeginInsert = nullptr;
    m_nodes.OnEndInsert = nullptr;
    m_nodes.OnBeginRemove = nullptr;
    m_nodes.OnEndRemove = nullptr;
    m_nodes.OnTextChange = nullptr;
}

TtreeNode TtreeNodesModel::NodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() >= quintptr(m_nodes.Count()))
        return TtreeNode();
    return TtreeNode(qint32(index.internalId()));
}

QModelIndex TtreeNodesModel::IndexOf(TtreeNode node) const
{
    if (!m_nodes.IsNode(node))
        return QModelIndex();
    return createIndex(m_nodes.Row(node), 0, quintptr(node.Index()));
}

void TtreeNodesModel::Attach(QTreeView *view)
{
    m_view = view;
    view->setModel(this);
    connect(view, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_nodes.Expand(NodeAt(index));
    });
    connect(view, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_nodes.Collapse(NodeAt(index));
    });
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (m_syncing)
            return;
        m_syncing = true;
        m_nodes.Select(NodeAt(current));
        m_syncing = false;
    });
    showOpenNodes();
}

void TtreeNodesModel::showOpenNodes()
{
    if (!m_view)
        return;
    m_syncing = true;
    for (qint32 i = 0; i < m_nodes.Count(); ++i) {
        if (m_nodes.Expanded(TtreeNode(i)))
            m_view->setExpanded(IndexOf(TtreeNode(i)), true);
    }
    const QModelIndex current = IndexOf(m_nodes.Selected());
    if (current.isValid()) {
        m_view->setCurrentIndex(current);
        m_view->scrollTo(current);
    }
    m_syncing = false;
}

QModelIndex TtreeNodesModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0)
        return QModelIndex();
    const TtreeNode child = m_nodes.Child(NodeAt(parent), row);
    return child.IsValid() ? createIndex(row, 0, quintptr(child.Index())) : QModelIndex();
}

QModelIndex TtreeNodesModel::parent(const QModelIndex &child) const
{
    const TtreeNode node = NodeAt(child);
    return node.IsValid() ? IndexOf(m_nodes.Parent(node)) : QModelIndex();
}

int TtreeNodesModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_nodes.ChildCount(NodeAt(parent));
}

int TtreeNodesModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant TtreeNodesModel::data(const QModelIndex &index, int role) const
{
    const TtreeNode node = NodeAt(index);
    if (!node.IsValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_nodes.Text(node);
    case KindRole:
        return int(m_nodes.Kind(node));
    case LevelRole:
        return m_nodes.Level(node);
    case HasChildrenRole:
        return m_nodes.HasChildren(node);
    case ExpandedRole:
        return m_nodes.Expanded(node);
    default:
        return QVariant();
    }
}

Qt::ItemFlags TtreeNodesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_nodes.Kind(NodeAt(index)) == TtreeNodeKind::Track)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}
