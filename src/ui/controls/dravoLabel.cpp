#include "ui/controls/dravoLabel.h"

#include "ui/controls/skinColors.h"

#include <QEvent>
#include <QPainter>

namespace {

// The largest picture a label draws its text into.
constexpr int kMaxTextSide = 8192;

} // namespace

TdravoLabel::TdravoLabel(QWidget *parent)
    : QWidget(parent)
{
    RaiseMouseEventsOf(this);
    AdjustBounds();
}

void TdravoLabel::SetCaption(const QString &value)
{
    m_caption = value;
    AdjustBounds();
    Invalidate();
}

void TdravoLabel::SetLabelStyle(TlabelStyle value)
{
    m_labelStyle = value;
    AdjustBounds();
    Invalidate();
}

void TdravoLabel::SetAlignment(Qt::Alignment value)
{
    m_alignment = value & Qt::AlignHorizontal_Mask;
    Invalidate();
}

void TdravoLabel::SetLayout(TtextLayout value)
{
    m_layout = value;
    Invalidate();
}

void TdravoLabel::SetWordWrap(bool value)
{
    m_wordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TdravoLabel::SetAutoSize(bool value)
{
    m_autoSize = value;
    AdjustBounds();
    Invalidate();
}

void TdravoLabel::SetShowAccelChar(bool value)
{
    m_showAccelChar = value;
    AdjustBounds();
    Invalidate();
}

int TdravoLabel::TextFlags() const
{
    int flags = int(m_alignment) | Qt::TextExpandTabs;
    flags |= m_layout == tlTop ? Qt::AlignTop : (m_layout == tlCenter ? Qt::AlignVCenter : Qt::AlignBottom);
    flags |= m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

void TdravoLabel::AdjustBounds()
{
    if (!m_autoSize)
        return;
    // An empty text measures as a space, so an empty label keeps a line's
    // height.
    const QString text = m_caption.isEmpty() ? QStringLiteral(" ") : m_caption;
    const int available = m_wordWrap ? qMax(width(), 1) : kMaxTextSide * 4;
    const int flags = (TextFlags() & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
    QSize size = fontMetrics().boundingRect(QRect(0, 0, available, kMaxTextSide * 4), flags, text).size();
    if (m_wordWrap)
        size.setWidth(width());
    if (m_labelStyle == lsShadow)
        size += QSize(2, 2);
    int left = x();
    if (m_alignment == Qt::AlignRight && !m_wordWrap)
        left += width() - size.width();
    setGeometry(left, y(), size.width(), size.height());
}

void TdravoLabel::Invalidate()
{
    m_textValid = false;
    update();
}

QRect TdravoLabel::ShownArea() const
{
    QRect area = rect();
    if (parentWidget())
        area &= QRect(-x(), -y(), parentWidget()->width(), parentWidget()->height());
    area.setWidth(qMin(area.width(), kMaxTextSide));
    area.setHeight(qMin(area.height(), kMaxTextSide));
    return area;
}

void TdravoLabel::RenderText(const QRect &area)
{
    m_textValid = true;
    m_textArea = area;
    if (area.isEmpty()) {
        m_text = QImage();
        return;
    }
    if (m_text.size() != area.size())
        m_text = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    // Drawn on a see-through picture, so that the edges of the letters blend
    // with whatever is under the label rather than with the key colour.
    m_text.fill(Qt::transparent);
    {
        QPainter painter(&m_text);
        painter.setFont(font());
        painter.translate(-area.topLeft());
        const int flags = TextFlags();
        const auto drawAt = [&](int dx, int dy, const QColor &color) {
            painter.setPen(color);
            painter.drawText(rect().translated(dx, dy), flags, m_caption);
        };
        const QColor textColor = palette().color(QPalette::WindowText);
        if (!isEnabled()) {
            drawAt(1, 1, SystemColor(clBtnHighlight));
            drawAt(0, 0, SystemColor(clBtnShadow));
        } else if (m_labelStyle == lsShadow) {
            drawAt(1, 1, Qt::black);
            drawAt(0, 0, textColor);
        } else if (m_labelStyle == lsBorder) {
            static constexpr QPoint kOutline[]
                = { { 1, 2 }, { 2, 2 }, { 2, 1 }, { 2, 0 }, { 1, 0 }, { 0, 0 }, { 0, 1 }, { 0, 2 } };
            for (const QPoint &offset : kOutline)
                drawAt(offset.x(), offset.y(), Qt::black);
            drawAt(1, 1, textColor);
        } else {
            drawAt(0, 0, textColor);
        }
    }
    const QRgb key = kKeyColor | 0xFF000000;
    for (int y = 0; y < m_text.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_text.scanLine(y));
        for (int x = 0; x < m_text.width(); ++x) {
            if (line[x] == key)
                line[x] = 0;
        }
    }
}

void TdravoLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TdravoLabel::Paint(QPainter &painter)
{
    // The parent may have grown or shrunk around the label since.
    const QRect area = ShownArea();
    if (!m_textValid || area != m_textArea)
        RenderText(area);
    if (!m_text.isNull())
        painter.drawImage(m_textArea.topLeft(), m_text);
}

void TdravoLabel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        AdjustBounds();
        Invalidate();
        break;
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
        Invalidate();
        break;
    default:
        break;
    }
}

void TdravoLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}
