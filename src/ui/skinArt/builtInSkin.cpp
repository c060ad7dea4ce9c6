#include "ui/skinArt/builtInSkin.h"

#include <QString>

// The resources live in a static library: a reference keeps the linker from
// dropping them, and they are registered once, before the first look-up.
// Outside any namespace, as the registration function's declaration must be.
static void RegisterSkinArt()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(skinArt);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

QImage Load(const QString &path, QImage::Format format)
{
    RegisterSkinArt();
    const QImage image(QStringLiteral(":/vorlen/skin/") + path);
    return image.isNull() ? image : image.convertToFormat(format);
}

} // namespace

QImage BuiltInSkinBitmap(QAnyStringView control, QAnyStringView piece)
{
    return Load(
        control.toString() + QLatin1Char('/') + piece.toString() + QStringLiteral(".png"), QImage::Format_RGB32);
}

QImage BuiltInTreeImage(int index)
{
    if (index < 0 || index > 8)
        return QImage();
    return Load(QStringLiteral("tree/%1.png").arg(index), QImage::Format_ARGB32_Premultiplied);
}

QImage BuiltInTipPicture()
{
    return Load(QStringLiteral("tip.png"), QImage::Format_RGB32);
}
