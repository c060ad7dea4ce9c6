#pragma once

#include "ui/controls/graphicControl.h"

#include <QImage>
#include <QSize>
#include <memory>

class TThreadedTimer;

// A scrolling marquee for the song title. The text, followed by NumSpaces
// blanks, is rendered once into a strip at least as wide as the banner; the
// banner shows the strip at the scroll offset and a second copy beside it, so
// the text leaves on the left and comes back from the right without a gap.
// Smooth mode moves ScrollInc pixels a step; cell mode lays every character
// out in a cell and moves a cell a step.
//
// The steps come from a TThreadedTimer, which delivers them on the GUI
// thread; the banner is used on the GUI thread only.
class TScrollBanner2 : public TgraphicControl {
public:
    explicit TScrollBanner2(QWidget *parent = nullptr);
    ~TScrollBanner2() override;

    QColor Color_Off() const { return m_colorOff; }
    void SetColor_Off(const QColor &value);
    // The colour of the grid lines. Lines in the banner's own background
    // colour would only cut the text, so the grid shows only while the two
    // colours differ.
    QColor Color_Background() const { return m_colorBackground; }
    void SetColor_Background(const QColor &value);
    // 2 ... 10 pixels between grid lines.
    int GridSize() const { return m_gridSize; }
    void SetGridSize(int value);
    const QString &Text() const { return m_text; }
    // Always starts the text over from the left.
    void SetText(const QString &value);
    int ScrollDelay() const { return m_scrollDelay; }
    void SetScrollDelay(int value);
    bool ScrollEnabled() const { return m_scrollEnabled; }
    void SetScrollEnabled(bool value);
    // 1 ... 100 pixels a step in smooth mode.
    int ScrollInc() const { return m_scrollInc; }
    void SetScrollInc(int value);
    bool SmoothScrolling() const { return m_smoothScrolling; }
    void SetSmoothScrolling(bool value);
    int NumSpaces() const { return m_numSpaces; }
    void SetNumSpaces(int value);

    // One scroll step, drawn at once; the timer's tick.
    void Step();

    // What is drawn: the offset of the strip, the cell width of cell mode and
    // the strip itself (brought up to date first).
    int ScrollOffset() const { return m_offset; }
    int CellWidth() const { return m_cellWidth; }
    const QImage &Strip();
    TThreadedTimer &Timer() { return *m_timer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void FontChanged() override;

private:
    void MarkRebuild();
    void UpdateStrip();
    void RebuildGrid();
    void RebuildStrip();

    QColor m_colorOff = QColor(0x00, 0x88, 0x00);
    QColor m_colorBackground = Qt::black;
    int m_gridSize = 2;
    QString m_text;
    int m_scrollDelay = 250;
    bool m_scrollEnabled = false;
    int m_scrollInc = 10;
    bool m_smoothScrolling = true;
    int m_numSpaces = 10;

    int m_offset = 0;
    int m_cellWidth = 0;
    QSize m_builtSize;
    bool m_rebuild = true;
    QImage m_strip;
    // Transparent but for the grid lines; null while no grid shows.
    QImage m_grid;
    std::unique_ptr<TThreadedTimer> m_timer;
};
