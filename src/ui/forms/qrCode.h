#pragma once

#include <QImage>
#include <QString>

// The QR code of text (UTF-8, error correction level M): black modules on
// white, each module a square of moduleSize pixels, with the quiet zone of
// four modules that readers need around it. A null image when the text does
// not fit a QR code.
QImage QrCodeImage(const QString &text, int moduleSize);
