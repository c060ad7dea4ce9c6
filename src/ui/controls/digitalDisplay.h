#pragma once

#include "ui/controls/fixedCellText.h"
#include "ui/controls/graphicControl.h"

// The counter text of a number of seconds: a sign place ("-" for a countdown,
// a blank otherwise), then minutes right-aligned in two places, a colon and
// two digits of seconds; 0 gives "  0:00", 75 "  1:15", -75 "- 1:15" and 6000
// " 100:00" (the minutes grow).
QString DigitalDisplayText(int seconds);

// The large minutes-and-seconds counter of the playing time, drawn in fixed
// cells like the clock. The font colour is the palette's window text. Used
// on the GUI thread only.
class TdigitalDisplay : public TgraphicControl {
public:
    explicit TdigitalDisplay(QWidget *parent = nullptr);

    int Seconds() const { return m_seconds; }
    // Shows the new count at once.
    void SetSeconds(int value);
    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor &value);

    const QString &DisplayText() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void FontChanged() override;

private:
    int m_seconds = 0;
    QColor m_backColor = Qt::black;
    QString m_text = QStringLiteral("  0:00");
    TfixedCellText m_cells;
};
