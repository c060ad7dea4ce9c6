#include "platform/commaText.h"

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

bool needsQuotes(const QString &item)
{
    for (const QChar c : item) {
        if (isBlank(c) || c == u'"' || c == u',')
            return true;
    }
    return false;
}

} // namespace

QString ToCommaText(const QStringList &items)
{
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += u',';
        const QString &item = items[i];
        if (needsQuotes(item)) {
            QString quoted = item;
            quoted.replace(u'"', QStringLiteral("\"\""));
            text += u'"' + quoted + u'"';
        } else {
            text += item;
        }
    }
    return text;
}

QStringList FromCommaText(QStringView text)
{
    QStringList items;
    qsizetype p = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (p < n && isBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        QString item;
        if (text[p] == u'"') {
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        item += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < n && !isBlank(text[p]) && text[p] != u',')
                ++p;
            item = text.mid(start, p - start).toString();
        }
        items.append(item);
        skipBlanks();
        if (p < n && text[p] == u',') {
            ++p;
            skipBlanks();
        }
    }
    return items;
}
