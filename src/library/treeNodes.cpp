#include "library/treeNodes.h"

#include "platform/raiseEvent.h"

#include <algorithm>
#include <unordered_map>

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
    m_free.clear();
    m_staleRows.clear();
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

TtreeNode TtreeNodes::InsertChild(TtreeNode parent, int row, const QString &text, TlistObject object,
                                  TtreeNodeKind kind)
{
    row = std::clamp(row, 0, ChildCount(parent));
    if (!Updating() && OnBeginInsert)
        OnBeginInsert(parent, row, row);
    qint32 index = qint32(m_nodes.size());
    if (m_free.empty()) {
        m_nodes.emplace_back();
    } else {
        index = m_free.back();
        m_free.pop_back();
    }
    Node &node = m_nodes[size_t(index)];
    node.text = text;
    node.object = object;
    node.parent = parent.Index();
    node.row = row;
    node.level = parent.IsValid() ? quint16(at(parent).level + 1) : 0;
    node.kind = kind;
    node.expanded = false;
    std::vector<qint32> &siblings = mutableChildren(parent);
    siblings.insert(siblings.begin() + row, index);
    rowsChangedFrom(parent, row + 1);
    if (!Updating() && OnEndInsert)
        OnEndInsert();
    return TtreeNode(index);
}

void TtreeNodes::Remove(TtreeNode node)
{
    if (!IsNode(node))
        return;
    const TtreeNode parent = Parent(node);
    const int row = Row(node);
    if (!Updating() && OnBeginRemove)
        OnBeginRemove(parent, row, row);
    std::vector<qint32> &siblings = mutableChildren(parent);
    siblings.erase(siblings.begin() + row);
    rowsChangedFrom(parent, row);
    freeSubtree(node.Index());
    if (!Updating() && OnEndRemove)
        OnEndRemove();
}

void TtreeNodes::SetText(TtreeNode node, const QString &text)
{
    if (!IsNode(node) || at(node).text == text)
        return;
    m_nodes[size_t(node.Index())].text = text;
    if (!Updating() && OnTextChange)
        OnTextChange(node);
}

void TtreeNodes::SyncChildren(TtreeNode parent, const std::vector<TnodeSpec> &children)
{
    // The objects wanted, with their places: a child of an object wanted
    // further on is kept, and the children before it (not wanted there)
    // make way.
    std::unordered_map<TlistObject, int> wanted;
    wanted.reserve(children.size());
    for (size_t i = 0; i < children.size(); ++i)
        wanted.emplace(children[i].object, int(i));
    int row = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        const TnodeSpec &spec = children[i];
        while (row < ChildCount(parent)) {
            const TtreeNode child = Child(parent, row);
            const auto found = wanted.find(Object(child));
            const int place = found == wanted.end() ? -1 : found->second;
            if (place >= int(i))
                break;
            Remove(child);
        }
        const TtreeNode child = Child(parent, row);
        if (child.IsValid() && Object(child) == spec.object && Kind(child) == spec.kind)
            SetText(child, spec.text);
        else
            InsertChild(parent, row, spec.text, spec.object, spec.kind);
        ++row;
    }
    while (ChildCount(parent) > row)
        Remove(Child(parent, ChildCount(parent) - 1));
}

int TtreeNodes::Row(TtreeNode node) const
{
    if (!m_staleRows.empty()) {
        const qint32 parent = at(node).parent;
        if (std::find(m_staleRows.begin(), m_staleRows.end(), parent) != m_staleRows.end())
            numberRows(parent);
    }
    return at(node).row;
}

void TtreeNodes::rowsChangedFrom(TtreeNode parent, int row)
{
    if (row < ChildCount(parent) && std::find(m_staleRows.begin(), m_staleRows.end(), parent.Index()) == m_staleRows.end())
        m_staleRows.push_back(parent.Index());
}

void TtreeNodes::numberRows(qint32 parent) const
{
    std::erase(m_staleRows, parent);
    const std::vector<qint32> &list = children(TtreeNode(parent));
    for (size_t row = 0; row < list.size(); ++row)
        m_nodes[size_t(list[row])].row = qint32(row);
}

void TtreeNodes::freeSubtree(qint32 index)
{
    Node &node = m_nodes[size_t(index)];
    for (qint32 child : node.children)
        freeSubtree(child);
    if (m_selected.Index() == index)
        m_selected = TtreeNode();
    std::erase(m_staleRows, index);
    node = Node();
    node.parent = kFreeNode;
    m_free.push_back(index);
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
