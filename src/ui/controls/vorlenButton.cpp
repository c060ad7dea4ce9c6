#include "ui/controls/vorlenButton.h"

#include "platform/raiseEvent.h"
#include "ui/controls/captionText.h"
#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/skinPainting.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

bool IsPressKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
}

// A part of the shaded glyph whose bottom-left colour is see-through.
QImage TransparentPart(const QImage &glyph, const QRect &part)
{
    if (part.width() <= 0 || part.height() <= 0)
        return QImage();
    QImage image = glyph.copy(part).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = 0;
        }
    }
    return image;
}

} // namespace

TvorlenButton::TvorlenButton(QWidget *parent)
    : QWidget(parent)
    , m_color(SystemColor(clBtnFace))
{
    resize(75, 25);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_captionText.setTextFormat(Qt::PlainText);
    m_captionText.setPerformanceHint(QStaticText::AggressiveCaching);
}

void TvorlenButton::SetIsCheckButton(bool value)
{
    m_isCheckButton = value;
    update();
}

void TvorlenButton::SetChecked(bool value)
{
    m_checked = value;
    DrawFrame();
}

void TvorlenButton::SetGlyphs(const QImage &value)
{
    m_glyphs = ToControlBitmap(value);
    BuildGlyphCopy();
    update();
}

void TvorlenButton::SetGlyphPos(TglyphPos value)
{
    m_glyphPos = value;
    update();
}

void TvorlenButton::SetGlyphPadding(int value)
{
    m_glyphPadding = value;
    update();
}

void TvorlenButton::SetCaption(const QString &value)
{
    m_caption = value;
    m_captionText.setText(CaptionDisplayText(value));
    m_captionWidth = fontMetrics().horizontalAdvance(m_captionText.text());
    update();
}

void TvorlenButton::SetColor(const QColor &value)
{
    m_color = value;
    BuildGlyphCopy();
    update();
}

void TvorlenButton::SetFontHiliteColor(const QColor &value)
{
    m_fontHiliteColor = value;
    update();
}

void TvorlenButton::SetBevelWidth(int value)
{
    m_bevelWidth = qMax(value, 0);
    update();
}

void TvorlenButton::SetShowFocusRect(bool value)
{
    m_showFocusRect = value;
    update();
}

void TvorlenButton::SetIsSkinned(bool value)
{
    m_isSkinned = value;
    m_showFocusRect = false;
    update();
}

void TvorlenButton::SetSkinBitmap(const QImage &value)
{
    m_skinBitmap = ToControlBitmap(value);
    update();
}

void TvorlenButton::SetAction(QAction *action)
{
    if (m_action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (action) {
        connect(action, &QAction::changed, this, [this] { FollowAction(); });
        FollowAction();
    }
}

void TvorlenButton::FollowAction()
{
    if (!m_action)
        return;
    setEnabled(m_action->isEnabled());
    setVisible(m_action->isVisible());
    setToolTip(m_action->toolTip());
    SetCaption(m_action->text());
}

bool TvorlenButton::TabStop() const
{
    return focusPolicy() & Qt::TabFocus;
}

void TvorlenButton::SetTabStop(bool value)
{
    setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus);
}

bool TvorlenButton::HitTest() const
{
    if (!m_isSkinned || IsEmptyBitmap(m_skinBitmap) || m_skinBitmap.width() <= 4)
        return true;
    const int maskLeft = (m_skinBitmap.width() / FrameCount()) * (FrameCount() - 1);
    const QPoint mask(maskLeft + m_mouse.x(), m_mouse.y());
    return m_skinBitmap.valid(mask) && (m_skinBitmap.pixel(mask) & 0xFFFFFF) == 0xFFFFFF;
}

void TvorlenButton::Click()
{
    const QPointer<TvorlenButton> self(this);
    if (HitTest()) {
        m_checked = m_isCheckButton ? !m_checked : false;
        if (OnClick)
            OnClick(this);
        else if (m_action)
            m_action->trigger();
    }
    if (self)
        DrawFrame();
}

void TvorlenButton::ApplySkinColors(const QColor &buttonColor, const QColor &panelColor)
{
    if (IsEmptyBitmap(m_skinBitmap))
        return;
    QImage skin = m_skinBitmap;
    TintSkinBitmap(skin, FrameCount(), buttonColor, { QColor(Qt::white) }, panelColor);
    m_skinBitmap = ToControlBitmap(skin);
    update();
    DrawFrame();
}

void TvorlenButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TvorlenButton::Paint(QPainter &painter)
{
    if (m_isSkinned) {
        if (IsEmptyBitmap(m_skinBitmap) || m_skinBitmap.width() <= 4) {
            m_isSkinned = false;
            update();
        } else {
            PaintSkinned(painter);
            return;
        }
    }
    PaintUnskinned(painter);
}

void TvorlenButton::PaintSkinned(QPainter &painter)
{
    const int frameWidth = m_skinBitmap.width() / FrameCount();
    int frame = m_pressed ? 1 : 0;
    if (m_isCheckButton && m_checked)
        frame += 2;
    painter.drawImage(rect(), m_skinBitmap, QRect(frame * frameWidth, 0, frameWidth, m_skinBitmap.height()));
}

void TvorlenButton::PaintUnskinned(QPainter &painter)
{
    if (!m_glyphCopyBuilt)
        BuildGlyphCopy();
    DrawBevel(painter, rect(), m_color, m_pressed, m_bevelWidth);
    const int shift = m_pressed ? int(RoundDiv(m_bevelWidth, 2)) : 0;
    const QRect client = rect();

    if (!m_caption.isEmpty()) {
        // The pen is kept: one made from a colour on every paint would
        // allocate on every paint.
        const QColor textColor = hasFocus() ? m_fontHiliteColor : palette().color(QPalette::WindowText);
        if (m_captionPen.color() != textColor)
            m_captionPen = QPen(textColor);
        painter.setPen(m_captionPen);
        painter.setFont(font());
        const int textWidth = int(m_captionText.size().width());
        const QPoint origin(
            shift + (client.width() - textWidth) / 2, shift + (client.height() - fontMetrics().height()) / 2);
        painter.drawStaticText(origin, m_captionText);
    }

    const int partIndex = m_checked ? 2 : (m_isCheckButton ? 1 : 0);
    const QImage &part = m_glyphParts[partIndex];
    if (!part.isNull()) {
        const int gw = part.width();
        const int gh = part.height();
        int x = 0;
        switch (m_glyphPos) {
        case gpLeft:
            x = m_glyphPadding;
            break;
        case gpRight:
            x = width() - m_glyphPadding - gw;
            break;
        case gpCenter:
        case gpCenterLeft:
        case gpCenterRight:
            x = int(RoundDiv(width() - gw, 2));
            break;
        }
        const int beside = int(RoundDiv(m_captionWidth, 2)) + m_glyphPadding + int(RoundDiv(gw, 2));
        if (m_glyphPos == gpCenterLeft)
            x -= beside;
        else if (m_glyphPos == gpCenterRight)
            x += beside;
        painter.drawImage(QPoint(x + shift, shift + int(RoundDiv(height() - gh, 2))), part);
    }

    if (hasFocus() && m_showFocusRect) {
        const int inset = m_bevelWidth + 1;
        const QRect focus = client.adjusted(inset, inset, -inset, -inset);
        if (focus.width() > 0 && focus.height() > 0) {
            static const QBrush dots(Qt::black, Qt::Dense4Pattern);
            painter.fillRect(QRect(focus.left(), focus.top(), focus.width(), 1), dots);
            painter.fillRect(QRect(focus.left(), focus.bottom(), focus.width(), 1), dots);
            painter.fillRect(QRect(focus.left(), focus.top(), 1, focus.height()), dots);
            painter.fillRect(QRect(focus.right(), focus.top(), 1, focus.height()), dots);
        }
    }
}

void TvorlenButton::BuildGlyphCopy()
{
    m_glyphCopyBuilt = true;
    for (QImage &part : m_glyphParts)
        part = QImage();
    if (IsEmptyBitmap(m_glyphs))
        return;
    QImage copy(m_glyphs.size(), QImage::Format_RGB888);
    copy.fill(ResolveColor(m_color));
    EmbossGlyph(m_glyphs, copy);
    const int half = copy.width() / 2;
    m_glyphParts[0] = TransparentPart(copy, copy.rect());
    m_glyphParts[1] = TransparentPart(copy, QRect(0, 0, half, copy.height()));
    m_glyphParts[2] = TransparentPart(copy, QRect(half, 0, copy.width() - half, copy.height()));
}

void TvorlenButton::mousePressEvent(QMouseEvent *event)
{
    m_mouse = event->position().toPoint();
    m_pressed = HitTest();
    DrawFrame();
    if (!m_pressed)
        return;
    setFocus(Qt::MouseFocusReason);
    RaiseEvent(OnMouseDown, this, event->button(), event->modifiers(), m_mouse.x(), m_mouse.y());
}

void TvorlenButton::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointer<TvorlenButton> self(this);
    const QPoint position = event->position().toPoint();
    // The click comes first and judges the press position, still recorded.
    if (event->button() == Qt::LeftButton && rect().contains(position)) {
        Click();
        if (!self)
            return;
    }
    m_mouse = position;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    DrawFrame();
    if (wasPressed)
        RaiseEvent(OnMouseUp, this, event->button(), event->modifiers(), position.x(), position.y());
}

void TvorlenButton::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove) {
        const QPoint position = event->position().toPoint();
        OnMouseMove(this, event->modifiers(), position.x(), position.y());
    }
}

void TvorlenButton::keyPressEvent(QKeyEvent *event)
{
    if (!IsPressKey(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A held key repeats its press; the button stays pressed once.
    if (!event->isAutoRepeat()) {
        m_pressed = true;
        DrawFrame();
    }
    event->accept();
}

void TvorlenButton::keyReleaseEvent(QKeyEvent *event)
{
    if (!IsPressKey(event)) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && m_pressed) {
        const QPointer<TvorlenButton> self(this);
        m_pressed = false;
        Click();
        if (!self)
            return;
        DrawFrame();
    }
    event->accept();
}

void TvorlenButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    DrawFrame();
    RaiseEvent(OnEnter, this);
}

void TvorlenButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    DrawFrame();
    RaiseEvent(OnExit, this);
}

void TvorlenButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_captionWidth = fontMetrics().horizontalAdvance(m_captionText.text());
        m_captionText.prepare(QTransform(), font());
        DrawFrame();
    }
}
