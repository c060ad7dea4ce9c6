#pragma once

#include <QCollator>

// The collator for names and titles: the user's locale, without regard to
// case. Under the "C" locale Qt's collator compares code points and ignores
// the case setting, so English rules stand in for it there.
QCollator TextCollator();

// The text collator's sort key of a text, remembered: the library's index is
// rebuilt from the same album and artist names again and again (every change
// of the stacker rebuilds it), and a sort key costs far more than a lookup.
// Each thread has its own memory of them.
QCollatorSortKey CachedSortKey(const QString &text);
