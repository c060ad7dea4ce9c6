#include "metadata/textTrim.h"

QString TrimBlanksAndControls(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    if (first == 0 && last == text.size())
        return text;
    return text.mid(first, last - first);
}
