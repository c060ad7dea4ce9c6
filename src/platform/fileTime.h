#pragma once

#include <QString>
#include <QtGlobal>

// A file's last-write time in the form the track records store it: a Windows
// file time (100 ns units since 1601-01-01 UTC) split into two 32-bit halves.
struct WinFileTime {
    quint32 high = 0;
    quint32 low = 0;

    quint64 value() const { return (quint64(high) << 32) | low; }
    bool operator==(const WinFileTime &) const = default;
};

// Converts a POSIX time (seconds and nanoseconds since 1970) to a file time.
WinFileTime WinFileTimeFromUnix(qint64 seconds, qint64 nanoseconds);

// The last-write time of a file; both halves 0 when it cannot be queried.
WinFileTime FileLastWriteTime(const QString &fileName);
