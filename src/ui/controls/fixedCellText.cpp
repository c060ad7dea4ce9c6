#include "ui/controls/fixedCellText.h"

#include "ui/controls/roundHalfEven.h"

#include <QFontMetrics>
#include <QPainter>

TfixedCellText::TfixedCellText(const QFont &font)
{
    SetFont(font);
}

void TfixedCellText::SetFont(const QFont &font)
{
    m_font = font;
    const QFontMetrics metrics(font);
    m_cellWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    m_height = metrics.height();
    for (auto &glyph : m_glyphs)
        glyph.reset();
}

TfixedCellText::Glyph &TfixedCellText::GlyphOf(QChar character)
{
    const bool cached = character.unicode() < kCachedCharacters;
    if (cached && m_glyphs[character.unicode()])
        return *m_glyphs[character.unicode()];
    Glyph glyph;
    glyph.text.setText(QString(character));
    glyph.text.setTextFormat(Qt::PlainText);
    glyph.text.prepare(QTransform(), m_font);
    glyph.width = QFontMetrics(m_font).horizontalAdvance(character);
    if (!cached) {
        m_uncached = std::move(glyph);
        return m_uncached;
    }
    return m_glyphs[character.unicode()].emplace(std::move(glyph));
}

int TfixedCellText::CharacterLeft(int areaWidth, int length, int index, QChar character)
{
    const int rowLeft = RoundHalfEven(areaWidth / 2.0 - length * m_cellWidth / 2.0);
    return rowLeft + index * m_cellWidth + RoundHalfEven(m_cellWidth / 2.0 - GlyphOf(character).width / 2.0);
}

int TfixedCellText::RowTop(int areaHeight) const
{
    return RoundHalfEven(areaHeight / 2.0 - m_height / 2.0);
}

void TfixedCellText::Draw(QPainter &painter, const QRect &area, QStringView text)
{
    const int top = area.top() + RowTop(area.height());
    for (int i = 0; i < text.size(); ++i) {
        const int left = area.left() + CharacterLeft(area.width(), int(text.size()), i, text[i]);
        painter.drawStaticText(left, top, GlyphOf(text[i]).text);
    }
}
