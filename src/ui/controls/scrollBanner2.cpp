#include "ui/controls/scrollBanner2.h"

#include "playback/threadedTimer.h"
#include "ui/controls/roundHalfEven.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

// The raster painter draws nothing beyond this coordinate: a title longer
// than that (a damaged tag) is cut rather than given a strip of many
// megabytes that would show blank.
constexpr int kWidestStrip = 32767;

} // namespace

TScrollBanner2::TScrollBanner2(QWidget *parent)
    : TgraphicControl(parent)
    , m_timer(std::make_unique<TThreadedTimer>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer->SetEnabled(false);
}

TScrollBanner2::~TScrollBanner2() = default;

void TScrollBanner2::MarkRebuild()
{
    m_rebuild = true;
    update();
}

void TScrollBanner2::SetColor_Off(const QColor &value)
{
    m_colorOff = value;
    MarkRebuild();
}

void TScrollBanner2::SetColor_Background(const QColor &value)
{
    m_colorBackground = value;
    MarkRebuild();
}

void TScrollBanner2::SetGridSize(int value)
{
    m_gridSize = std::clamp(value, 2, 10);
    MarkRebuild();
}

void TScrollBanner2::SetText(const QString &value)
{
    m_text = value;
    m_offset = 0;
    MarkRebuild();
}

void TScrollBanner2::SetScrollDelay(int value)
{
    m_scrollDelay = value;
    m_timer->SetInterval(quint16(value & 0xFFFF));
    if (value == 0) {
        SetText(m_text);
    } else if (m_timer->Enabled()) {
        // A restart begins a full period of the new delay.
        m_timer->SetEnabled(false);
        m_timer->SetEnabled(true);
    }
}

void TScrollBanner2::SetScrollEnabled(bool value)
{
    m_scrollEnabled = value;
    if (value) {
        m_timer->SetEnabled(true);
        m_timer->SetInterval(quint16(m_scrollDelay & 0xFFFF));
        m_timer->SetOnTimer([this](QObject *) { Step(); });
    } else {
        m_timer->SetEnabled(false);
        SetText(m_text);
    }
}

void TScrollBanner2::SetScrollInc(int value)
{
    m_scrollInc = std::clamp(value, 1, 100);
}

void TScrollBanner2::SetSmoothScrolling(bool value)
{
    m_smoothScrolling = value;
    m_offset = 0;
    MarkRebuild();
}

void TScrollBanner2::SetNumSpaces(int value)
{
    m_numSpaces = value;
    MarkRebuild();
}

void TScrollBanner2::FontChanged()
{
    m_rebuild = true;
}

const QImage &TScrollBanner2::Strip()
{
    UpdateStrip();
    return m_strip;
}

void TScrollBanner2::UpdateStrip()
{
    if (!m_rebuild && m_builtSize == size())
        return;
    if (!m_smoothScrolling) {
        const QFontMetrics metrics(font());
        int widest = metrics.horizontalAdvance(QLatin1Char(' '));
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(letter)));
        m_cellWidth = std::max(1, RoundHalfEven(widest * 0.8));
        resize(width() / m_cellWidth * m_cellWidth, height());
    }
    RebuildGrid();
    RebuildStrip();
    m_builtSize = size();
    m_rebuild = false;
}

void TScrollBanner2::RebuildGrid()
{
    if (m_colorBackground == m_colorOff || width() <= 0 || height() <= 0) {
        m_grid = QImage();
        return;
    }
    m_grid = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_grid.fill(Qt::transparent);
    QPainter painter(&m_grid);
    for (int y = 0; y < height(); y += m_gridSize)
        painter.fillRect(0, y, width(), 1, m_colorBackground);
    for (int x = 0; x < width(); x += m_gridSize)
        painter.fillRect(x, 0, 1, height(), m_colorBackground);
}

void TScrollBanner2::RebuildStrip()
{
    const QString shown = m_text + QString(m_numSpaces, QLatin1Char(' '));
    const QFontMetrics metrics(font());
    const int textWidth = m_smoothScrolling ? metrics.horizontalAdvance(shown) : int(shown.size()) * m_cellWidth;
    const int stripWidth = std::min(std::max(textWidth, width()), kWidestStrip);
    if (stripWidth <= 0 || height() <= 0) {
        m_strip = QImage();
        return;
    }
    m_strip = QImage(stripWidth, height(), QImage::Format_RGB32);
    m_strip.fill(m_colorOff);
    QPainter painter(&m_strip);
    painter.setFont(font());
    painter.setPen(FontColor());
    // The font's line height, not the ink of the letters in use: the text
    // does not move up or down from one title to the next.
    const int baseline = RoundHalfEven(height() / 2.0 - metrics.height() / 2.0) + metrics.ascent();
    if (m_smoothScrolling) {
        painter.drawText(0, baseline, shown);
        return;
    }
    for (int i = 0; i < shown.size(); ++i) {
        const QString character(shown[i]);
        const int left
            = i * m_cellWidth + RoundHalfEven(m_cellWidth / 2.0 - metrics.horizontalAdvance(character) / 2.0);
        painter.drawText(left, baseline, character);
    }
}

void TScrollBanner2::Step()
{
    UpdateStrip();
    m_offset -= m_smoothScrolling ? m_scrollInc : m_cellWidth;
    if (m_offset < -m_strip.width())
        m_offset = m_strip.width();
    repaint();
}

void TScrollBanner2::paintEvent(QPaintEvent *)
{
    UpdateStrip();
    QPainter painter(this);
    if (m_strip.isNull()) {
        painter.fillRect(rect(), m_colorOff);
        return;
    }
    const int stripWidth = m_strip.width();
    painter.drawImage(m_offset, 0, m_strip);
    painter.drawImage(m_offset < 0 ? m_offset + stripWidth : m_offset - stripWidth, 0, m_strip);
    if (!m_grid.isNull())
        painter.drawImage(0, 0, m_grid);
}
