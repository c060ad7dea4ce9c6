#include "ui/forms/qrCode.h"

#include <QPainter>
#include <memory>
#include <qrencode.h>

namespace {

constexpr int kQuietModules = 4;
// Below three pixels a module a phone across the room no longer reads it;
// the layout is asked for at least that much, and for room to grow.
constexpr int kMinimumModulePixels = 3;
constexpr int kPreferredModulePixels = 8;

struct QrCodeFree {
    void operator()(QRcode *code) const { QRcode_free(code); }
};

} // namespace

QImage QrCodeImage(const QString &text, int moduleSize)
{
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, QrCodeFree> code(QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M));
    if (!code || moduleSize < 1)
        return QImage();
    const int modules = code->width;
    const int side = (modules + 2 * kQuietModules) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            // Bit 0 of each byte is the module's colour.
            if (code->data[y * modules + x] & 1)
                painter.fillRect((x + kQuietModules) * moduleSize, (y + kQuietModules) * moduleSize, moduleSize,
                    moduleSize, Qt::black);
        }
    }
    return image;
}

TqrCodeView::TqrCodeView(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TqrCodeView::SetText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_modules = text.isEmpty() ? 0 : QrCodeImage(text, 1).width();
    m_image = QImage();
    updateGeometry();
    drawCode();
}

QSize TqrCodeView::sizeHint() const
{
    const int side = std::max(m_modules, 30) * kPreferredModulePixels;
    return { side, side };
}

QSize TqrCodeView::minimumSizeHint() const
{
    const int side = std::max(m_modules, 30) * kMinimumModulePixels;
    return { side, side };
}

void TqrCodeView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage((width() - m_image.width()) / 2, (height() - m_image.height()) / 2, m_image);
}

void TqrCodeView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    drawCode();
}

void TqrCodeView::drawCode()
{
    // Whole pixels per module, as large as the room allows: a scaled code
    // with blurred edges reads worse from across a room.
    const int room = std::min(width(), height());
    const int moduleSize = m_modules > 0 ? std::max(1, room / m_modules) : 0;
    if (moduleSize == 0)
        m_image = QImage();
    else if (m_image.isNull() || m_image.width() != moduleSize * m_modules)
        m_image = QrCodeImage(m_text, moduleSize);
    update();
}
