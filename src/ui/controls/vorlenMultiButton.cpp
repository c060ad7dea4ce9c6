#include "ui/controls/vorlenMultiButton.h"

#include "ui/controls/skinColors.h"
#include "ui/controls/skinPainting.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <cstring>

TvorlenMultiButton::TvorlenMultiButton(QWidget *parent)
    : QWidget(parent)
    , m_partColors { QColor(255, 0, 255), QColor(0, 0, 255), QColor(0, 255, 0), QColor(255, 0, 0) }
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TvorlenMultiButton::SetButtonColor(int part, const QColor &value)
{
    if (part < 1 || part > 4)
        return;
    m_partColors[part - 1] = value;
    BuildOverlays();
    update();
}

void TvorlenMultiButton::SetButtonChecked(int value)
{
    m_buttonChecked = value;
    repaint();
}

void TvorlenMultiButton::SetSkinBitmap(const QImage &value)
{
    m_skinBitmap = ToControlBitmap(value);
    BuildOverlays();
    update();
}

void TvorlenMultiButton::CheckButton(int index, bool toggle)
{
    m_buttonChecked = toggle && index == m_buttonChecked ? 0 : index;
    repaint();
}

bool TvorlenMultiButton::HasSkin() const
{
    return !IsEmptyBitmap(m_skinBitmap) && m_skinBitmap.width() >= 4;
}

int TvorlenMultiButton::PartAt(int x, int y) const
{
    if (!HasSkin()) {
        if (x < width() / 2)
            return y < height() / 2 ? 1 : 3;
        return y < height() / 2 ? 2 : 4;
    }
    const int frameWidth = FrameWidth();
    if (x < 0 || x >= frameWidth || y < 0 || y >= m_skinBitmap.height())
        return 0;
    const QRgb map = m_skinBitmap.pixel(3 * frameWidth + x, y) & 0xFFFFFF;
    for (int part = 0; part < 4; ++part) {
        if ((ResolveColor(m_partColors[part]).rgb() & 0xFFFFFF) == map)
            return part + 1;
    }
    return 0;
}

void TvorlenMultiButton::BuildOverlays()
{
    for (QImage &overlay : m_overlays)
        overlay = QImage();
    if (!HasSkin())
        return;
    const int frameWidth = FrameWidth();
    const int height = m_skinBitmap.height();
    for (int part = 0; part < 4; ++part) {
        const QRgb partColor = ResolveColor(m_partColors[part]).rgb() & 0xFFFFFF;
        QImage overlay = m_skinBitmap;
        for (int y = 0; y < height; ++y) {
            const auto *map = reinterpret_cast<const QRgb *>(m_skinBitmap.constScanLine(y)) + 3 * frameWidth;
            auto *line = reinterpret_cast<QRgb *>(overlay.scanLine(y));
            for (int x = 0; x < frameWidth; ++x) {
                // A pure-white map pixel belongs to every part.
                const QRgb rgb = map[x] & 0xFFFFFF;
                if (rgb == partColor || rgb == 0xFFFFFF)
                    continue;
                for (int frame = 0; frame < 4; ++frame)
                    line[frame * frameWidth + x] = 0xFF000000;
            }
        }
        m_overlays[part] = overlay;
    }
}

void TvorlenMultiButton::LayOverlay(int part, int frame)
{
    const QImage &overlay = m_overlays[part - 1];
    const int frameWidth = FrameWidth();
    for (int y = 0; y < m_work.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(overlay.constScanLine(y)) + frame * frameWidth;
        auto *to = reinterpret_cast<QRgb *>(m_work.scanLine(y));
        for (int x = 0; x < frameWidth; ++x) {
            if ((from[x] & 0xFFFFFF) != 0)
                to[x] = from[x];
        }
    }
}

void TvorlenMultiButton::ApplySkinColors(const QColor &buttonColor, const QColor &panelColor)
{
    if (!IsEmptyBitmap(m_skinBitmap)) {
        QImage skin = m_skinBitmap;
        TintSkinBitmap(skin, 4, buttonColor,
            { QColor(0, 0, 255), QColor(0, 255, 0), QColor(255, 0, 0), QColor(255, 0, 255) }, panelColor);
        m_skinBitmap = ToControlBitmap(skin);
    }
    BuildOverlays();
    update();
    repaint();
}

void TvorlenMultiButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TvorlenMultiButton::Paint(QPainter &painter)
{
    if (!HasSkin()) {
        painter.fillRect(rect(), ResolveColor(SystemColor(clBtnFace)));
        painter.fillRect(QRect(0, height() / 2, width(), 1), Qt::black);
        painter.fillRect(QRect(width() / 2, 0, 1, height()), Qt::black);
        return;
    }
    if (m_overlays[0].isNull())
        BuildOverlays();
    const int frameWidth = FrameWidth();
    const QRect frame(0, 0, frameWidth, m_skinBitmap.height());
    // Beyond the skin's frame the control shows the button face.
    if (width() > frame.width() || height() > frame.height())
        painter.fillRect(rect(), ResolveColor(SystemColor(clBtnFace)));
    const bool checked = m_buttonChecked >= 1 && m_buttonChecked <= 4 && m_buttonChecked != m_pressedPart;
    const bool pressed = m_pressedPart >= 1 && m_pressedPart <= 4;
    if (!pressed && !checked) {
        painter.drawImage(QPoint(0, 0), m_skinBitmap, frame);
        return;
    }
    if (m_work.size() != frame.size())
        m_work = QImage(frame.size(), QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(m_work.scanLine(y), m_skinBitmap.constScanLine(y), size_t(frameWidth) * sizeof(QRgb));
    if (pressed)
        LayOverlay(m_pressedPart, 1);
    if (checked)
        LayOverlay(m_buttonChecked, 2);
    painter.drawImage(QPoint(0, 0), m_work);
}

void TvorlenMultiButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mouse = event->position().toPoint();
    m_pressedPart = PartAt(m_mouse.x(), m_mouse.y());
    repaint();
}

void TvorlenMultiButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mouse = event->position().toPoint();
    const int part = m_pressedPart;
    if (part >= 1 && part <= 4 && PartAt(m_mouse.x(), m_mouse.y()) == part) {
        // The part keeps its pressed look while its command runs.
        const TwidgetEvent *events[] = { &OnButton1Click, &OnButton2Click, &OnButton3Click, &OnButton4Click };
        const QPointer<TvorlenMultiButton> self(this);
        if (*events[part - 1])
            (*events[part - 1])(this);
        if (!self)
            return;
    }
    m_pressedPart = 0;
    repaint();
}
