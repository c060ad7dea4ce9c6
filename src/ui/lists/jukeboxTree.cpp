#include "ui/lists/jukeboxTree.h"

#include "core/dmMain.h"
#include "library/libraryChanges.h"
#include "library/libraryTreeUpdate.h"
#include "library/mp3JukeBoxLists.h"
#include "platform/raiseEvent.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/lists/listDrag.h"
#include "ui/skinArt/builtInSkin.h"

#include <QAbstractItemDelegate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The jukebox's own fonts, until the window gives the core's.
const TtreeFont kTreeFont { QStringLiteral("Arial"), 14, false, 0x3CA6E6 };
const TtreeFont kDetailFont { QStringLiteral("Arial"), 8, true, 0xE0E0E0 };

QFont FontOf(const TtreeFont &font)
{
    QFont result(font.family);
    result.setPointSize(std::max(1, font.pointSize));
    result.setBold(font.bold);
    return result;
}

// Each row is drawn whole, from the tree's left edge, by the row painter.
class TtreeRowDelegate : public QAbstractItemDelegate {
public:
    TtreeRowDelegate(TtreeRowPainter &painter, const TtreeNodesModel &model, QObject *parent)
        : QAbstractItemDelegate(parent)
        , m_painter(painter)
        , m_model(model)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const TtreeNode node = m_model.NodeAt(index);
        if (node.IsValid())
            m_painter.PaintRow(*painter, option.rect, node);
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return QSize(TtreeRowPainter::kIndent, m_painter.RowHeight());
    }

private:
    TtreeRowPainter &m_painter;
    const TtreeNodesModel &m_model;
};

} // namespace

TjukeboxTree::TjukeboxTree(QWidget *parent)
    : TnoScrollTreeView(parent)
    , m_model(new TtreeNodesModel(m_nodes, this))
    , m_rowPainter(m_nodes)
{
    setFrameShape(QFrame::NoFrame);
    setRootIsDecorated(false);
    setIndentation(TtreeRowPainter::kIndent);
    setUniformRowHeights(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAnimated(false);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDragEnabled(false);
    setAutoScroll(false);

    QList<QImage> images;
    for (int i = 0; i < 9; ++i)
        images.append(BuiltInTreeImage(i));
    m_rowPainter.SetImages(images);
    m_rowPainter.SetTreeFont(FontOf(kTreeFont), QColor::fromRgb(kTreeFont.rgb));
    m_rowPainter.SetDetailFont(FontOf(kDetailFont), QColor::fromRgb(kDetailFont.rgb));
    SetColor(Qt::black);
    setFont(m_rowPainter.TreeFont());

    setItemDelegate(new TtreeRowDelegate(m_rowPainter, *m_model, this));
    m_model->Attach(this);
    for (int i = 0; i < kLetterNodes; ++i)
        m_letters.append(TtreeNode());

    // Counts may have been laid out in the middle of a refill.
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_rowPainter.ForgetTexts(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_rowPainter.ForgetTexts(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        const TtreeNode node = m_model->NodeAt(current);
        setDragEnabled(node.IsValid() && m_nodes.Kind(node) == TtreeNodeKind::Track);
        RaiseEvent(OnChange, this, node);
    });
    const auto expanded = [this](const QModelIndex &index) { RaiseEvent(OnExpanded, this, m_model->NodeAt(index)); };
    connect(this, &QTreeView::expanded, this, expanded);
    connect(this, &QTreeView::collapsed, this, expanded);
}

TjukeboxTree::~TjukeboxTree()
{
    // The model reads the nodes, which go before the view's children do.
    setModel(nullptr);
    delete m_model;
}

void TjukeboxTree::Refill(const Tmp3JukeBoxLists &library, bool byTitle)
{
    m_byTitle = byTitle;
    m_rowPainter.SetByTitle(byTitle);
    library.FillLibraryTree(m_nodes, byTitle, m_letters);
    while (m_letters.size() < kLetterNodes)
        m_letters.append(TtreeNode());
}

void TjukeboxTree::DropLibrary()
{
    m_nodes.ClearKeepingOpenNodes();
    m_letters.fill(TtreeNode());
}

void TjukeboxTree::LibraryChanged(const Tmp3JukeBoxLists &library, const TlibraryChanges &changes)
{
    if (!m_letters.value(0).IsValid())
        return;
    // A track read anew or moved gets a node of its own in its new place:
    // the selection and the top row follow it there. A letter node stays.
    TcustomTagger *selectedTrack = SelectedTrack();
    const TtreeNode top = m_model->NodeAt(indexAt(QPoint(0, 0)));
    const auto trackOf = [this](TtreeNode node) {
        const auto *track = m_nodes.IsNode(node) ? std::get_if<TcustomTagger *>(&m_nodes.Object(node)) : nullptr;
        return track ? *track : nullptr;
    };
    const auto listOf = [this](TtreeNode node) {
        const auto *list = m_nodes.IsNode(node) ? std::get_if<TcustomTaggerList *>(&m_nodes.Object(node)) : nullptr;
        return list ? *list : nullptr;
    };
    TcustomTagger *topTrack = trackOf(top);
    TcustomTaggerList *topList = listOf(top);
    const auto follow = [&](TtreeNode node) {
        if (trackOf(node) != topTrack || listOf(node) != topList || !m_nodes.IsNode(node))
            return m_byTitle && topTrack ? FindTrackNode(m_nodes, m_letters, topTrack) : TtreeNode();
        return node;
    };

    UpdateLibraryTree(m_nodes, library, m_byTitle, m_letters, changes);
    m_rowPainter.ForgetTexts();

    if (selectedTrack && SelectedTrack() != selectedTrack && m_byTitle) {
        const TtreeNode node = FindTrackNode(m_nodes, m_letters, selectedTrack);
        if (node.IsValid())
            m_nodes.Select(node);
    }
    if (const TtreeNode node = follow(top); node.IsValid() && changes.IndexChanged())
        scrollTo(m_model->IndexOf(node), QAbstractItemView::PositionAtTop);
    viewport()->update();
}

void TjukeboxTree::Select(TtreeNode node)
{
    m_nodes.Select(node);
    if (node.IsValid())
        scrollTo(m_model->IndexOf(node));
}

TlistObject TjukeboxTree::SelectedObject() const
{
    const TtreeNode node = m_nodes.Selected();
    return node.IsValid() ? m_nodes.Object(node) : TlistObject();
}

TcustomTaggerList *TjukeboxTree::SelectedTrackList() const
{
    const TlistObject object = SelectedObject();
    const auto *list = std::get_if<TcustomTaggerList *>(&object);
    return list ? *list : nullptr;
}

TcustomTagger *TjukeboxTree::SelectedTrack() const
{
    const TlistObject object = SelectedObject();
    const auto *track = std::get_if<TcustomTagger *>(&object);
    return track ? *track : nullptr;
}

void TjukeboxTree::SetTreeFont(const TtreeFont &font)
{
    m_rowPainter.SetTreeFont(FontOf(font), QColor::fromRgb(font.rgb));
    setFont(m_rowPainter.TreeFont());
    FontsChanged();
}

void TjukeboxTree::SetDetailFont(const TtreeFont &font)
{
    m_rowPainter.SetDetailFont(FontOf(font), QColor::fromRgb(font.rgb));
    FontsChanged();
}

void TjukeboxTree::SetColor(const QColor &color)
{
    m_rowPainter.SetColors(color, SystemColor(clHighlight), SystemColor(clHighlightText));
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    colors.setColor(QPalette::Window, color);
    setPalette(colors);
    viewport()->update();
}

void TjukeboxTree::SetImages(const QList<QImage> &images)
{
    m_rowPainter.SetImages(images);
    FontsChanged();
}

void TjukeboxTree::FontsChanged()
{
    // The rows' height may have changed: lay the rows out again.
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void TjukeboxTree::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && text.size() == 1) {
        const QChar letter = text[0].toUpper();
        if (letter >= u'A' && letter <= u'Z') {
            const TtreeNode node = m_letters.value(letter.unicode() - u'A');
            if (node.IsValid())
                Select(node);
            event->accept();
            return;
        }
    }
    TnoScrollTreeView::keyPressEvent(event);
}

void TjukeboxTree::mouseReleaseEvent(QMouseEvent *event)
{
    TnoScrollTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        RaiseEvent(OnClick, this);
}

void TjukeboxTree::mouseDoubleClickEvent(QMouseEvent *event)
{
    TnoScrollTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        RaiseEvent(OnDblClick, this);
}

void TjukeboxTree::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem row = option;
    row.rect = QRect(0, option.rect.y(), viewport()->width(), option.rect.height());
    itemDelegate()->paint(painter, row, index);
}

void TjukeboxTree::drawBranches(QPainter *, const QRect &, const QModelIndex &) const
{
}

void TjukeboxTree::startDrag(Qt::DropActions)
{
    const TtreeNode node = m_nodes.Selected();
    if (node.IsValid() && m_nodes.Kind(node) == TtreeNodeKind::Track)
        RunListDrag(this, TlistDrag { dsTree, 1, -1 }, Qt::CopyAction);
}
