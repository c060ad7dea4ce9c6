#include "platform/fileTime.h"

#include "platform/fileNames.h"

#include <sys/stat.h>

namespace {
// 100 ns intervals between 1601-01-01 and 1970-01-01.
constexpr qint64 kEpochDifference = 116444736000000000LL;
} // namespace

WinFileTime WinFileTimeFromUnix(qint64 seconds, qint64 nanoseconds)
{
    const quint64 value = quint64(seconds * 10000000LL + nanoseconds / 100 + kEpochDifference);
    return WinFileTime{quint32(value >> 32), quint32(value & 0xFFFFFFFFu)};
}

WinFileTime FileLastWriteTime(const QString &fileName)
{
    struct stat st {};
    if (fileName.isEmpty() || ::stat(EncodeFileName(fileName).constData(), &st) != 0)
        return {};
    return WinFileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}
