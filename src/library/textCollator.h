#pragma once

#include <QCollator>

// The collator for names and titles: the user's locale, without regard to
// case. Under the "C" locale Qt's collator compares code points and ignores
// the case setting, so English rules stand in for it there.
QCollator TextCollator();
