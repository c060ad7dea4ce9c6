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
