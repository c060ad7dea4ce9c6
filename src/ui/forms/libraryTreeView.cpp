#include "ui/forms/libraryTreeView.h"

#include "core/dmMain.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/skinArt/builtInSkin.h"

#include <QPixmap>
#include <QTreeView>

int LibraryTreeImageIndex(TtreeNodeKind kind, bool hasChildren, bool expanded, bool selected)
{
    switch (kind) {
    case TtreeNodeKind::Letter:
        if (!hasChildren)
            return 2;
        return expanded || selected ? 1 : 0;
    case TtreeNodeKind::Artist:
        return selected || expanded ? 4 : 3;
    case TtreeNodeKind::Album:
        return expanded || (selected && !hasChildren) ? 6 : 5;
    case TtreeNodeKind::Track:
        return 7;
    case TtreeNodeKind::Playlist:
        return 8;
    }
    return 7;
}

TlibraryTreeDelegate::TlibraryTreeDelegate(QObject *parent) : QStyledItemDelegate(parent)
{
    for (int i = 0; i < int(m_images.size()); ++i)
        m_images[size_t(i)] = QIcon(QPixmap::fromImage(BuiltInTreeImage(i)));
}

int TlibraryTreeDelegate::ImageIndex(const QModelIndex &index, const QStyleOptionViewItem &option)
{
    const auto kind = TtreeNodeKind(index.data(TtreeNodesModel::KindRole).toInt());
    const bool hasChildren = index.data(TtreeNodesModel::HasChildrenRole).toBool();
    const auto *view = qobject_cast<const QTreeView *>(option.widget);
    const bool expanded = view ? view->isExpanded(index) : index.data(TtreeNodesModel::ExpandedRole).toBool();
    return LibraryTreeImageIndex(kind, hasChildren, expanded, option.state.testFlag(QStyle::State_Selected));
}

void TlibraryTreeDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->icon = m_images[size_t(ImageIndex(index, *option))];
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = m_images[0].availableSizes().value(0, QSize(16, 16));
}

void SetUpLibraryTree(QTreeView &view, const TtreeFont &font)
{
    QFont treeFont(font.family);
    treeFont.setPointSize(font.pointSize);
    treeFont.setBold(font.bold);
    view.setFont(treeFont);
    QPalette palette = view.palette();
    const QColor text = QColor::fromRgb(font.rgb);
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::AlternateBase, Qt::black);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    view.setPalette(palette);
    view.setHeaderHidden(true);
    view.setUniformRowHeights(true);
    view.setIconSize(QSize(16, 16));
    if (!dynamic_cast<TlibraryTreeDelegate *>(view.itemDelegate()))
        view.setItemDelegate(new TlibraryTreeDelegate(&view));
}
