#include "ui/controls/vorlenScrollBar.h"

#include "platform/pendingEvents.h"
#include "playback/threadedTimer.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/skinPainting.h"
#include "ui/controls/vorlenButton.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kRepeatIntervalMs = 100;
// An unskinned thumb's length and thickness.
constexpr int kThumbLength = 40;
constexpr int kThumbThickness = 20;

TvorlenButton *MakeButton(QWidget *parent, const QColor &color, int width, int height)
{
    auto *button = new TvorlenButton(parent);
    button->SetTabStop(false);
    button->SetColor(color);
    button->resize(width, height);
    return button;
}

} // namespace

TvorlenScrollBar::TvorlenScrollBar(QWidget *parent)
    : QWidget(parent)
    , m_buttonColor(SystemColor(clBtnFace))
    , m_backColor(SystemColor(clScrollBar))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(2, 2);
    resize(20, 60);
    m_up = MakeButton(this, m_buttonColor, width(), width());
    m_down = MakeButton(this, m_buttonColor, width(), width());
    m_thumb = MakeButton(this, m_buttonColor, width(), 2 * width());

    const auto leftOnly = [this](Trepeat action) {
        return [this, action](QObject *, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
            if (button == Qt::LeftButton)
                StartRepeat(action);
        };
    };
    const auto stop = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { StopRepeat(); };
    m_up->OnMouseDown = leftOnly(rpLineBack);
    m_up->OnMouseUp = stop;
    m_down->OnMouseDown = leftOnly(rpLineForward);
    m_down->OnMouseUp = stop;
    m_thumb->OnMouseDown = [this](QObject *, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        if (button == Qt::LeftButton)
            ThumbMouseDown(x, y);
    };
    m_thumb->OnMouseMove = [this](QObject *, Qt::KeyboardModifiers, int x, int y) { ThumbMouseMove(x, y); };
    m_thumb->OnMouseUp = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ThumbMouseUp(); };
    LayoutButtons();
}

TvorlenScrollBar::~TvorlenScrollBar()
{
    StopRepeat();
}

void TvorlenScrollBar::SetIsAligned(bool value)
{
    m_isAligned = value;
    ApplyDocking();
}

void TvorlenScrollBar::SetLeftTopAligned(bool value)
{
    m_leftTopAligned = value;
    if (m_isAligned)
        ApplyDocking();
    update();
}

void TvorlenScrollBar::SetStyle(TvsbStyle value)
{
    m_style = value;
    if (m_isAligned)
        ApplyDocking();
    LayoutButtons();
    update();
}

void TvorlenScrollBar::ApplyDocking()
{
    TAlign align = alNone;
    if (m_isAligned) {
        if (Vertical())
            align = m_leftTopAligned ? alLeft : alRight;
        else
            align = m_leftTopAligned ? alTop : alBottom;
    }
    SetControlAlign(this, align);
    update();
}

void TvorlenScrollBar::SetMin(int value)
{
    if (value < 0 || value >= m_max)
        return;
    m_min = value;
    update();
    UpdateAndNotify(false);
}

void TvorlenScrollBar::SetMax(int value)
{
    if (value <= m_min)
        return;
    m_max = value;
    update();
    UpdateAndNotify(false);
}

void TvorlenScrollBar::SetValue(int value)
{
    m_value = qBound(m_min, value, m_max);
    const QPointer<TvorlenScrollBar> self(this);
    ProcessPendingEvents();
    if (self)
        UpdateAndNotify(true);
}

void TvorlenScrollBar::SetValueQuietly(int value)
{
    if (m_thumbHeld)
        return;
    m_value = qBound(m_min, value, m_max);
    UpdateAndNotify(false);
}

void TvorlenScrollBar::SetButtonColor(const QColor &value)
{
    m_buttonColor = value;
    for (TvorlenButton *button : { m_up, m_down, m_thumb })
        button->SetColor(value);
    update();
}

void TvorlenScrollBar::SetBackColor(const QColor &value)
{
    m_backColor = value;
    update();
}

void TvorlenScrollBar::SetBackBitmap(const QImage &value)
{
    m_backBitmap = ToControlBitmap(value);
    update();
}

const QImage &TvorlenScrollBar::UpButtonSkin() const
{
    return m_up->SkinBitmap();
}

void TvorlenScrollBar::SetUpButtonSkin(const QImage &value)
{
    SetButtonSkin(m_up, value);
}

const QImage &TvorlenScrollBar::DownButtonSkin() const
{
    return m_down->SkinBitmap();
}

void TvorlenScrollBar::SetDownButtonSkin(const QImage &value)
{
    SetButtonSkin(m_down, value);
}

const QImage &TvorlenScrollBar::ScrollButtonSkin() const
{
    return m_thumb->SkinBitmap();
}

void TvorlenScrollBar::SetScrollButtonSkin(const QImage &value)
{
    SetButtonSkin(m_thumb, value);
}

void TvorlenScrollBar::SetButtonSkin(TvorlenButton *button, const QImage &value)
{
    button->SetSkinBitmap(value);
    if (!IsEmptyBitmap(button->SkinBitmap()))
        button->SetIsSkinned(true);
    LayoutButtons();
    update();
}

int TvorlenScrollBar::TrackLength() const
{
    if (Vertical())
        return height() - m_up->height() - m_down->height() - m_thumb->height();
    return width() - m_up->width() - m_down->width() - m_thumb->width();
}

int TvorlenScrollBar::ThumbPosition() const
{
    if (m_min == m_max)
        return 0;
    const int start = Vertical() ? m_up->height() : m_up->width();
    const int track = TrackLength();
    const int position = start + int(RoundDiv(qint64(m_value - m_min) * track, m_max - m_min));
    // A value left outside a narrowed range keeps the thumb on the track.
    return qBound(start, position, start + qMax(track, 0));
}

void TvorlenScrollBar::LayoutButtons()
{
    for (TvorlenButton *button : { m_up, m_down, m_thumb }) {
        const QImage &skin = button->SkinBitmap();
        if (IsEmptyBitmap(skin))
            continue;
        if (!button->IsSkinned())
            button->SetIsSkinned(true);
        button->resize(skin.width() / 3, skin.height());
    }
    if (IsEmptyBitmap(m_thumb->SkinBitmap())) {
        if (Vertical())
            m_thumb->setGeometry(0, m_thumb->y(), kThumbThickness, kThumbLength);
        else
            m_thumb->setGeometry(m_thumb->x(), 0, kThumbLength, kThumbThickness);
    }
    m_up->move(0, 0);
    if (Vertical()) {
        m_down->move(0, height() - m_down->height());
        m_thumb->move(0, m_thumb->y());
    } else {
        m_down->move(width() - m_down->width(), 0);
        m_thumb->move(m_thumb->x(), 0);
    }
    UpdateAndNotify(false);
}

void TvorlenScrollBar::UpdateAndNotify(bool notify)
{
    if (!m_thumbHeld) {
        if (Vertical())
            m_thumb->move(m_thumb->x(), ThumbPosition());
        else
            m_thumb->move(ThumbPosition(), m_thumb->y());
    }
    if (!notify)
        return;
    const QPointer<TvorlenScrollBar> self(this);
    if (PositionChanged && (!m_noChangeWhileMoving || !m_thumbHeld)) {
        PositionChanged(this, m_value);
        if (!self)
            return;
    }
    if (Vertical() && m_scrollComponent)
        m_scrollComponent->verticalScrollBar()->setValue(m_value);
}

void TvorlenScrollBar::StartRepeat(Trepeat action)
{
    m_repeat = action;
    if (!m_repeatTimer) {
        // Made with its interval: the first step comes after a tenth of a
        // second, not after the default second.
        m_repeatTimer = std::make_unique<TThreadedTimer>(kRepeatIntervalMs);
        m_repeatTimer->SetOnTimer([this](QObject *) { RepeatStep(); });
    }
    if (!m_repeatTimer->Enabled())
        m_repeatTimer->SetEnabled(true);
}

void TvorlenScrollBar::StopRepeat()
{
    if (m_repeatTimer)
        m_repeatTimer->SetEnabled(false);
}

void TvorlenScrollBar::RepeatStep()
{
    int step = 0;
    switch (m_repeat) {
    case rpLineBack:
        step = -m_smallStep;
        break;
    case rpLineForward:
        step = m_smallStep;
        break;
    case rpPageBack:
        step = -m_largeStep;
        break;
    case rpPageForward:
        step = m_largeStep;
        break;
    }
    // At the end of the range the held press has nothing more to do.
    if (qBound(m_min, m_value + step, m_max) != m_value)
        SetValue(m_value + step);
}

void TvorlenScrollBar::ThumbMouseDown(int x, int y)
{
    m_dragging = true;
    m_thumbHeld = true;
    m_thumbPress = QPoint(x, y);
}

void TvorlenScrollBar::ThumbMouseMove(int x, int y)
{
    const QPointer<TvorlenScrollBar> self(this);
    ProcessPendingEvents();
    if (!self || !m_dragging || m_max == m_min)
        return;
    const int start = Vertical() ? m_up->height() : m_up->width();
    const int end
        = Vertical() ? height() - m_down->height() - m_thumb->height() : width() - m_down->width() - m_thumb->width();
    int position = Vertical() ? m_thumb->y() + (y - m_thumbPress.y()) : m_thumb->x() + (x - m_thumbPress.x());
    if (position < start)
        position = start;
    if (position > end)
        position = end;
    if (Vertical() && position != m_thumb->y())
        m_thumb->move(m_thumb->x(), position);
    else if (!Vertical() && position != m_thumb->x())
        m_thumb->move(position, m_thumb->y());
    // A bar with no room for the thumb to travel has no value to drag to.
    const int track = TrackLength();
    if (track <= 0)
        return;
    const int offset = (Vertical() ? m_thumb->y() : m_thumb->x()) - start;
    SetValue(m_min + int(RoundDiv(qint64(offset) * (m_max - m_min), track)));
}

void TvorlenScrollBar::ThumbMouseUp()
{
    m_dragging = false;
    m_thumbHeld = false;
    UpdateAndNotify(true);
}

void TvorlenScrollBar::ApplySkinColors(const QColor &buttonColor, const QColor &panelColor)
{
    for (TvorlenButton *button : { m_up, m_down, m_thumb })
        button->ApplySkinColors(buttonColor, panelColor);
    if (!IsEmptyBitmap(m_backBitmap)) {
        TintSkinBitmap(m_backBitmap, 1, panelColor);
        m_backBitmap = ToControlBitmap(m_backBitmap);
    }
    update();
}

void TvorlenScrollBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TvorlenScrollBar::Paint(QPainter &painter)
{
    if (IsEmptyBitmap(m_backBitmap)) {
        painter.fillRect(rect(), ResolveColor(m_backColor));
        return;
    }
    painter.setBrushOrigin(0, 0);
    painter.fillRect(rect(), QBrush(m_backBitmap));
}

void TvorlenScrollBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void TvorlenScrollBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = event->position().toPoint();
    const bool before = Vertical() ? position.y() < m_thumb->y() : position.x() < m_thumb->x();
    StartRepeat(before ? rpPageBack : rpPageForward);
}

void TvorlenScrollBar::mouseReleaseEvent(QMouseEvent *)
{
    StopRepeat();
}
