// The APEv2 reader at the end of a file: every item it returns lies within
// the tag and has a key.
#include "metadata/apeTag.h"
#include "metadata/byteSource.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList items = ReadApeTextItems(TmemorySource(data, qint64(size)));
    if (items.size() > kMaxApeItems)
        __builtin_trap();
    for (const QString &item : items) {
        if (item.indexOf(QLatin1Char('=')) < 2)
            __builtin_trap();
    }
    return 0;
}
