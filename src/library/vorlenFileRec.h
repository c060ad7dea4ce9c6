#pragma once

#include <QString>
#include <QtGlobal>

// A new file found by the folder scan: its full path and its last-write time
// as found (the two 32-bit halves of a Windows file time).
struct TvorlenFileRec {
    QString path;
    quint32 low = 0;
    quint32 high = 0;
};
