#include "ui/controls/captionText.h"

QString StripAmpersand(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return caption.left(i) + caption.mid(i + 1);
    }
    return caption;
}

QString CaptionDisplayText(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            if (i + 1 >= caption.size() || caption.at(i + 1) != u'&')
                continue;
            ++i;
        }
        text += caption.at(i);
    }
    return text;
}
