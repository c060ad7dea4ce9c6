#pragma once

#include <QFont>
#include <QStaticText>
#include <QStringView>
#include <array>
#include <optional>

class QPainter;
class QRect;

// Lays a short text out like a hardware display: every character sits centred
// in a cell as wide as the font's "0", so digits do not shift as they change.
// The row is centred in the area; the colon and blanks take cells like digits.
//
// Each character's layout is prepared once and kept, so drawing a text whose
// characters have been drawn before allocates nothing. The painter's font
// must be the font given here (a widget's painter starts with the widget's
// font) and its pen gives the colour.
class TfixedCellText {
public:
    explicit TfixedCellText(const QFont &font);

    void SetFont(const QFont &font);
    int CellWidth() const { return m_cellWidth; }

    // The left edge of character index of a text of length characters, drawn
    // in an area width wide: the row starts at round(W/2 - n*c/2) and each
    // character is centred in its cell by its own width.
    int CharacterLeft(int areaWidth, int length, int index, QChar character);
    // The top of the row in an area height high.
    int RowTop(int areaHeight) const;

    void Draw(QPainter &painter, const QRect &area, QStringView text);

private:
    struct Glyph {
        QStaticText text;
        int width = 0;
    };
    // The texts shown are ASCII (digits, blanks, signs, a and p); anything
    // else is laid out afresh at every draw.
    static constexpr int kCachedCharacters = 128;

    Glyph &GlyphOf(QChar character);

    QFont m_font;
    int m_cellWidth = 0;
    int m_height = 0;
    std::array<std::optional<Glyph>, kCachedCharacters> m_glyphs;
    Glyph m_uncached;
};
