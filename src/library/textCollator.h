#pragma once

#include <QCollator>

// The collator for names and titles: the user's locale, without regard to
// case. Under the "C" locale Qt's collator compares code points and ignores
// the case setting, so English rules stand in for it there.
QCollator TextCollator();

// The text collator's sort key of a text, from a collator of the calling
// thread's own. Not remembered: filling a memory of the index's album keys
// took twice as long as making them, the rebuilds after it saved about a
// millisecond per 1,000 albums, and the memory held some 200 bytes a name
// (of up to 200,000 names) for as long as the program ran.
QCollatorSortKey TextSortKey(const QString &text);
