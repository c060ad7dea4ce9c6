#include "metadata/timeTexts.h"

QString FormatMinSec(qint64 seconds)
{
    return QString::asprintf("%lld:%2.2lld", seconds / 60, seconds % 60);
}

QString FormatHourMinSec(qint64 seconds)
{
    return QString::asprintf("%lld:%2.2lld:%2.2lld", seconds / 3600, seconds % 3600 / 60, seconds % 60);
}

QString FormatMsMinSec(qint64 milliseconds)
{
    return QString::asprintf("%lld:%2.2lld", milliseconds / 60000, milliseconds / 1000 % 60);
}

QString FormatMsHourMinSec(qint64 milliseconds)
{
    return FormatHourMinSec(milliseconds / 1000);
}
