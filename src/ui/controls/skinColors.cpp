#include "ui/controls/skinColors.h"

#include <QGuiApplication>
#include <QPalette>

QColor SystemColor(TsystemColor color)
{
    const QPalette palette = QGuiApplication::palette();
    switch (color) {
    case clBtnFace:
        return palette.color(QPalette::Button);
    case clScrollBar:
        return palette.color(QPalette::Midlight);
    case clBtnHighlight:
        return palette.color(QPalette::Light);
    case clBtnShadow:
        return palette.color(QPalette::Dark);
    case clHighlight:
        return palette.color(QPalette::Highlight);
    case clHighlightText:
        return palette.color(QPalette::HighlightedText);
    case clInfoBk:
        return palette.color(QPalette::ToolTipBase);
    case clInfoText:
        return palette.color(QPalette::ToolTipText);
    case clWindow:
        return palette.color(QPalette::Base);
    case clWindowText:
        return palette.color(QPalette::Text);
    }
    return palette.color(QPalette::Button);
}

QColor ResolveColor(const QColor &color)
{
    return QColor(qRgb(qRed(color.rgb()), qGreen(color.rgb()), qBlue(color.rgb())));
}

QString ColorToSkinText(const QColor &color)
{
    const QRgb rgb = ResolveColor(color).rgb();
    return QString::asprintf("#%2.2X%2.2X%2.2X", qRed(rgb), qGreen(rgb), qBlue(rgb));
}

bool IsSkinColorText(const QString &text)
{
    if (text.size() != 7 || text.at(0) != QLatin1Char('#'))
        return false;
    for (qsizetype i = 1; i < 7; ++i) {
        const char16_t c = text.at(i).unicode();
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return false;
    }
    return true;
}

QColor SkinTextToColor(const QString &text, const QColor &defaultColor)
{
    if (!IsSkinColorText(text))
        return defaultColor;
    const int red = text.mid(1, 2).toInt(nullptr, 16);
    const int green = text.mid(3, 2).toInt(nullptr, 16);
    const int blue = text.mid(5, 2).toInt(nullptr, 16);
    return QColor(red, green, blue);
}

int ColorToNumber(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return qBlue(rgb) * 65536 + qGreen(rgb) * 256 + qRed(rgb);
}

QColor NumberToColor(int number)
{
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}
