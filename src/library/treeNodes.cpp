#include "library/treeNodes.h"

#include "platform/raiseEvent.h"

void TtreeNodes::BeginUpdate()
{
    if (m_updateCount++ == 0)
        RaiseEvent(OnBeginReset);
}

void TtreeNodes::EndUpdate()
{
    if (m_updateCount == 0 || --m_updateCount > 0)
        return;
    restoreOpenNodes();
    RaiseEvent(OnEndReset);
}

void TtreeNodes::Clear()
{
    if (Updating())
        rememberOpenNodes();
    else
        RaiseEvent(OnBeginReset);
    m_nodes.clear();
    m_roots.clear();
    m_selected = TtreeNode();
    if (!Updating())
        RaiseEvent(OnEndReset);
}

void TtreeNodes::ClearKeepingOpenNodes()
{
    rememberOpenNodes();
    Clear();
}

TtreeNode TtreeNodes::AddChild(TtreeNode parent, const QString &text, TlistObject object, TtreeNodeKind kind)
{
    const qint32 index = qint32(m_nodes.size());
    std::vector<qint32> &siblings = parent.IsValid() ? m_nodes[size_t(parent.Index())].children : m_roots;
    Node node;
    node.text = text;
    node.object = object;
    node.parent = parent.Index();
    node.row = qint32(siblings.size());
    node.level = parent.IsValid() ? quint16(at(parent).level + 1) : 0;
    node.kind = kind;
    siblings.push_back(index);
    m_nodes.push_back(std::move(node));
    return TtreeNode(index);
}

TtreeNode TtreeNodes::Child(TtreeNode parent, int row) const
{
    const std::vector<qint32> &list = children(parent);
    return row >= 0 && size_t(row) < list.size() ? TtreeNode(list[size_t(row)]) : TtreeNode();
}

QStringList TtreeNodes::Path(TtreeNode node) const
{
    QStringList path;
    for (; node.IsValid(); node = Parent(node))
        path.prepend(Text(node));
    return path;
}

TtreeNode TtreeNodes::Find(const QStringList &path) const
{
    TtreeNode node;
    for (const QString &text : path) {
        const std::vector<qint32> &list = children(node);
        TtreeNode found;
        for (qint32 child : list) {
            if (m_nodes[size_t(child)].text == text) {
                found = TtreeNode(child);
                break;
            }
        }
        if (!found.IsValid())
            return TtreeNode();
        node = found;
    }
    return node;
}

void TtreeNodes::Expand(TtreeNode node)
{
    for (; node.IsValid(); node = Parent(node)) {
        Node &n = m_nodes[size_t(node.Index())];
        if (n.expanded)
            continue;
        n.expanded = true;
        if (OnExpandedChange && !Updating())
            OnExpandedChange(node);
    }
}

void TtreeNodes::Collapse(TtreeNode node)
{
    if (!node.IsValid() || !at(node).expanded)
        return;
    m_nodes[size_t(node.Index())].expanded = false;
    if (OnExpandedChange && !Updating())
        OnExpandedChange(node);
}

void TtreeNodes::Select(TtreeNode node)
{
    if (node.Index() >= Count())
        node = TtreeNode();
    if (node == m_selected)
        return;
    m_selected = node;
    if (OnSelect && !Updating())
        OnSelect(node);
}

void TtreeNodes::rememberOpenNodes()
{
    // A second Clear in the same update must not forget what the first saw.
    if (m_remembered)
        return;
    m_remembered = true;
    m_selectedPath = m_selected.IsValid() ? Path(m_selected) : QStringList();
    m_expandedPaths.clear();
    for (qint32 i = 0; i < Count(); ++i) {
        if (m_nodes[size_t(i)].expanded)
            m_expandedPaths.push_back(Path(TtreeNode(i)));
    }
}

void TtreeNodes::restoreOpenNodes()
{
    if (!m_remembered)
        return;
    m_remembered = false;
    for (const QStringList &path : m_expandedPaths) {
        const TtreeNode node = Find(path);
        if (node.IsValid())
            m_nodes[size_t(node.Index())].expanded = true;
    }
    m_expandedPaths.clear();
    if (!m_selectedPath.isEmpty())
        m_selected = Find(m_selectedPath);
    m_selectedPath.clear();
}
