#include "ui/forms/treeLook.h"

#include "core/dmMain.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/skinArt/builtInSkin.h"

#include <QPixmap>
#include <QTreeView>
#include <array>

int TreeNodeImage(TtreeNodeKind kind, bool hasChildren, bool expanded, bool selected)
{
    switch (kind) {
    case TtreeNodeKind::Letter:
        if (!hasChildren)
            return 2;
        return expanded || selected ? 1 : 0;
    case TtreeNodeKind::Artist:
        return expanded || selected ? 4 : 3;
    case TtreeNodeKind::Album:
        return expanded || (selected && !hasChildren) ? 6 : 5;
    case TtreeNodeKind::Track:
        return 7;
    case TtreeNodeKind::Playlist:
        return 8;
    }
    return 7;
}

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

void TtreeImageDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant kind = index.data(TtreeNodesModel::KindRole);
    if (!kind.isValid())
        return;
    const int image = TreeNodeImage(TtreeNodeKind(kind.toInt()), index.data(TtreeNodesModel::HasChildrenRole).toBool(),
        index.data(TtreeNodesModel::ExpandedRole).toBool(), option->state.testFlag(QStyle::State_Selected));
    option->icon = treeIcon(image);
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
