#pragma once

#include <QString>
#include <QtGlobal>

// Duration texts of lists and displays, by integer division; minutes and
// hours are not padded.

// "m:ss" of a count of seconds: 245 gives "4:05".
QString FormatMinSec(qint64 seconds);
// "h:mm:ss" of a count of seconds: 3725 gives "1:02:05".
QString FormatHourMinSec(qint64 seconds);
// "m:ss" of milliseconds (positions and lengths of the player).
QString FormatMsMinSec(qint64 milliseconds);
// "h:mm:ss" of milliseconds.
QString FormatMsHourMinSec(qint64 milliseconds);
