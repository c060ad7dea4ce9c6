#include "platform/cdDrives.h"
#include "platform/mountTable.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Any bytes must parse as either table; every mount point read is absolute
// and has no trailing "/" (but "/" itself).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray table(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const auto &points : {ParseFstabMountPoints(table), ParseMountInfoMountPoints(table)}) {
        for (const std::string &point : points) {
            if (point.size() > 1 && point.back() == '/')
                __builtin_trap();
        }
    }
    for (const std::string &point : ParseFstabMountPoints(table)) {
        if (point.empty() || point.front() != '/')
            __builtin_trap();
    }
    ParseOpticalMounts(table);
    return 0;
}
