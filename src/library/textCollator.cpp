#include "library/textCollator.h"

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

QCollatorSortKey TextSortKey(const QString &text)
{
    thread_local const QCollator collator = TextCollator();
    return collator.sortKey(text);
}
