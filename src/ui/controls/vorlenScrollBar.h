#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class TThreadedTimer;
class TvorlenButton;

enum TvsbStyle { vsbVertical, vsbHorizontal };
using TvsbChangeEvent = std::function<void(QObject *sender, int value)>;

// A scroll bar built from three skinnable buttons, two arrows and a thumb,
// over a background colour or a tiled background picture. The thumb's
// position shows Value within Min ... Max.
//
// Dragging the thumb sets Value as it moves; while the thumb is held the
// bar does not move it from Value and SetValueQuietly is ignored, so a value
// that follows the playing position cannot pull the thumb from the user's
// hand. Holding an arrow steps by SmallStep, holding the track before or
// after the thumb steps by LargeStep, every 100 ms from the first tick until
// the release or the end of the range.
//
// Every change of Value raises PositionChanged (not while the thumb is held
// when NoChangeWhileMoving is set, and never for SetValueQuietly, a range
// change or a resize). Setting Value lets pending window messages run first,
// so other handlers may run inside it.
//
// Threads: the repeat runs on a TThreadedTimer whose ticks are delivered on
// the GUI thread; everything here is used on the GUI thread only.
class TvorlenScrollBar : public QWidget {
public:
    explicit TvorlenScrollBar(QWidget *parent = nullptr);
    ~TvorlenScrollBar() override;

    // Docks the bar to its parent: a vertical bar to the left edge when
    // LeftTopAligned, else the right; a horizontal one to the top or bottom.
    bool IsAligned() const { return m_isAligned; }
    void SetIsAligned(bool value);
    bool LeftTopAligned() const { return m_leftTopAligned; }
    void SetLeftTopAligned(bool value);
    TvsbStyle Style() const { return m_style; }
    void SetStyle(TvsbStyle value);

    // Min ignores a value that is negative or not below Max; Max one not
    // above Min. Neither changes Value: callers set it again.
    int Min() const { return m_min; }
    void SetMin(int value);
    int Max() const { return m_max; }
    void SetMax(int value);
    int Value() const { return m_value; }
    void SetValue(int value);
    // Sets Value without PositionChanged or the scroll message; ignored while
    // the thumb is held.
    void SetValueQuietly(int value);
    int LargeStep() const { return m_largeStep; }
    void SetLargeStep(int value) { m_largeStep = value; }
    int SmallStep() const { return m_smallStep; }
    void SetSmallStep(int value) { m_smallStep = value; }
    bool NoChangeWhileMoving() const { return m_noChangeWhileMoving; }
    void SetNoChangeWhileMoving(bool value) { m_noChangeWhileMoving = value; }

    const QColor &ButtonColor() const { return m_buttonColor; }
    void SetButtonColor(const QColor &value);
    const QColor &BackColor() const { return m_backColor; }
    void SetBackColor(const QColor &value);
    const QImage &BackBitmap() const { return m_backBitmap; }
    void SetBackBitmap(const QImage &value);
    // The three-frame skins of the top (left) arrow, the bottom (right)
    // arrow and the thumb; a non-empty skin also skins its button and sizes
    // it to one frame.
    const QImage &UpButtonSkin() const;
    void SetUpButtonSkin(const QImage &value);
    const QImage &DownButtonSkin() const;
    void SetDownButtonSkin(const QImage &value);
    const QImage &ScrollButtonSkin() const;
    void SetScrollButtonSkin(const QImage &value);

    // A vertical bar scrolls this list to Value on every change it reports.
    QAbstractScrollArea *ScrollComponent() const { return m_scrollComponent; }
    void SetScrollComponent(QAbstractScrollArea *value) { m_scrollComponent = value; }

    TvorlenButton *UpButton() const { return m_up; }
    TvorlenButton *DownButton() const { return m_down; }
    TvorlenButton *ScrollButton() const { return m_thumb; }
    bool ThumbHeld() const { return m_thumbHeld; }
    // Where the thumb belongs for Value: its top (vertical) or left.
    int ThumbPosition() const;

    // Tints the three buttons' skins as buttons and the background with
    // panelColor; then repaints.
    void ApplySkinColors(const QColor &buttonColor, const QColor &panelColor);
    void Paint(QPainter &painter);

    TvsbChangeEvent PositionChanged;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum Trepeat { rpLineBack, rpLineForward, rpPageBack, rpPageForward };

    bool Vertical() const { return m_style == vsbVertical; }
    // Length of the thumb's travel: the bar less both arrows and the thumb.
    int TrackLength() const;
    void LayoutButtons();
    void UpdateAndNotify(bool notify);
    void ApplyDocking();
    void SetButtonSkin(TvorlenButton *button, const QImage &value);
    void StartRepeat(Trepeat action);
    void StopRepeat();
    void RepeatStep();
    void ThumbMouseDown(int x, int y);
    void ThumbMouseMove(int x, int y);
    void ThumbMouseUp();

    bool m_isAligned = false;
    bool m_leftTopAligned = false;
    TvsbStyle m_style = vsbVertical;
    int m_min = 0;
    int m_max = 1;
    int m_value = 0;
    int m_largeStep = 10;
    int m_smallStep = 1;
    bool m_noChangeWhileMoving = false;
    QColor m_buttonColor;
    QColor m_backColor;
    QImage m_backBitmap;
    QPointer<QAbstractScrollArea> m_scrollComponent;

    TvorlenButton *m_up;
    TvorlenButton *m_down;
    TvorlenButton *m_thumb;
    bool m_dragging = false;
    bool m_thumbHeld = false;
    QPoint m_thumbPress;
    Trepeat m_repeat = rpLineBack;
    std::unique_ptr<TThreadedTimer> m_repeatTimer;
};
