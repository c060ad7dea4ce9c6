#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The QR code of text (UTF-8, error correction level M): black modules on
// white, each module a square of moduleSize pixels, with the quiet zone of
// four modules that readers need around it. A null image when the text does
// not fit a QR code.
QImage QrCodeImage(const QString &text, int moduleSize);

// Shows the QR code of a text as large as the widget's room allows, always
// whole: whenever the room changes (the window is resized, or a neighbour
// grows or shrinks) the code is drawn again at the largest whole number of
// pixels per module that fits, centred, quiet zone included. Empty text
// shows nothing.
class TqrCodeView : public QWidget {
public:
    explicit TqrCodeView(QWidget *parent = nullptr);

    void SetText(const QString &text);
    const QString &Text() const { return m_text; }
    // The code as it is drawn now; null when there is nothing to show.
    const QImage &Image() const { return m_image; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void drawCode();

    QString m_text;
    // The side of the code at one pixel per module, quiet zone included; 0
    // when there is no code.
    int m_modules = 0;
    QImage m_image;
};
