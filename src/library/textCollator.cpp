#include "library/textCollator.h"

#include <QHash>
#include <QLocale>

QCollator TextCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

QCollatorSortKey CachedSortKey(const QString &text)
{
    // Bounded: names that are gone from the library are dropped wholesale
    // now and then rather than tracked one by one.
    constexpr qsizetype kRemembered = 200000;
    thread_local const QCollator collator = TextCollator();
    thread_local QHash<QString, QCollatorSortKey> keys;
    const auto found = keys.constFind(text);
    if (found != keys.constEnd())
        return *found;
    if (keys.size() >= kRemembered)
        keys.clear();
    return *keys.insert(text, collator.sortKey(text));
}
