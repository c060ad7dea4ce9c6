#include "ui/forms/treeLook.h"

#include "core/dmMain.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/lists/treeNodeLook.h"
#include "ui/skinArt/builtInSkin.h"

#include <QPixmap>
#include <QTreeView>
#include <array>

namespace {

const QIcon &treeIcon(int index)
{
    // One icon per image, made on first use; the selected mode gets the
    // same picture so that the style does not tint it.
    static const std::array<QIcon, 9> icons = [] {
        std::array<QIcon, 9> made;
        for (int i = 0; i < 9; ++i) {
            const QPixmap picture = QPixmap::fromImage(BuiltInTreeImage(i));
            made[size_t(i)].addPixmap(picture, QIcon::Normal);
            made[size_t(i)].addPixmap(picture, QIcon::Selected);
        }
        return made;
    }();
    return icons[size_t(index)];
}

} // namespace

int TtreeImageDelegate::ImageIndex(const QModelIndex &index, const QStyleOptionViewItem &option)
{
    const auto kind = TtreeNodeKind(index.data(TtreeNodesModel::KindRole).toInt());
    const bool hasChildren = index.data(TtreeNodesModel::HasChildrenRole).toBool();
    const auto *view = qobject_cast<const QTreeView *>(option.widget);
    const bool expanded = view ? view->isExpanded(index) : index.data(TtreeNodesModel::ExpandedRole).toBool();
    return TreeNodeImage(kind, hasChildren, expanded, option.state.testFlag(QStyle::State_Selected));
}

void TtreeImageDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!index.data(TtreeNodesModel::KindRole).isValid())
        return;
    option->icon = treeIcon(ImageIndex(index, *option));
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(16, 16);
}

void ApplyTreeLook(QTreeView *view, const TtreeFont &font)
{
    QFont qfont(font.family);
    qfont.setPointSize(font.pointSize);
    qfont.setBold(font.bold);
    view->setFont(qfont);
    QPalette palette = view->palette();
    const QColor text = QColor(QRgb(font.rgb));
    for (QPalette::ColorRole role : { QPalette::Text, QPalette::WindowText, QPalette::ButtonText })
        palette.setColor(role, text);
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::AlternateBase, Qt::black);
    view->setPalette(palette);
    view->setIconSize(QSize(16, 16));
    view->setHeaderHidden(true);
    if (!dynamic_cast<TtreeImageDelegate *>(view->itemDelegate()))
        view->setItemDelegate(new TtreeImageDelegate(view));
}
