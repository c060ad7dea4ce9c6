#include "ui/lists/recordListView.h"

#include "platform/raiseEvent.h"
#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"

#include <QAbstractItemDelegate>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kImagePadding = 8;
constexpr int kTextGap = 4;
constexpr int kTextIndent = 2;

class TrecordRowDelegate : public QAbstractItemDelegate {
public:
    explicit TrecordRowDelegate(TrecordListView &list)
        : QAbstractItemDelegate(&list)
        , m_list(list)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect &row = option.rect;
        painter->fillRect(row, selected ? SystemColor(clHighlight) : m_list.Color());
        const QImage &image = m_list.RowImage();
        if (!image.isNull())
            painter->drawImage(QPoint(row.left(), row.top() + (row.height() - image.height()) / 2), image);
        painter->setFont(m_list.font());
        painter->setPen(selected ? SystemColor(clHighlightText) : m_list.FontColor());
        const int baseline = row.top() + m_list.TextTop() + m_list.fontMetrics().ascent();
        painter->drawText(QPoint(row.left() + m_list.TextLeft(), baseline), index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return QSize(m_list.viewport()->width(), m_list.RowHeight());
    }

private:
    TrecordListView &m_list;
};

} // namespace

TrecordListView::TrecordListView(QWidget *parent)
    : QListView(parent)
    , m_rows(new TrowListModel(this))
    , m_color(Qt::black)
    , m_fontColor(60, 166, 230)
{
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont design(QStringLiteral("Arial"));
    design.setPixelSize(16);
    setFont(design);
    SetColor(m_color);
    setModel(m_rows);
    setItemDelegate(new TrecordRowDelegate(*this));
}

void TrecordListView::Clear()
{
    m_rows->Clear();
}

void TrecordListView::SetColor(const QColor &color)
{
    m_color = color;
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    colors.setColor(QPalette::Window, color);
    setPalette(colors);
    viewport()->update();
}

void TrecordListView::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    viewport()->update();
}

void TrecordListView::SetRowImage(const QImage &image)
{
    m_rowImage = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Relayout();
}

int TrecordListView::RowHeight() const
{
    const int text = fontMetrics().height();
    return m_rowImage.isNull() ? text : std::max(m_rowImage.height() + kImagePadding, text);
}

int TrecordListView::TextLeft() const
{
    return m_rowImage.isNull() ? kTextIndent : m_rowImage.width() + kTextGap;
}

int TrecordListView::TextTop() const
{
    return RoundHalfEven((RowHeight() - fontMetrics().height()) / 2.0);
}

void TrecordListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        RaiseEvent(OnDblClick, this);
}

void TrecordListView::changeEvent(QEvent *event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Relayout();
}

void TrecordListView::Relayout()
{
    scheduleDelayedItemsLayout();
    viewport()->update();
}
