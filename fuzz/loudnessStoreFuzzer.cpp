// The store of loudness measurements: whatever a damaged file holds, what is
// read from it is written back and read again the same.
#include "playback/loudnessStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TloudnessStore::Entries entries
        = TloudnessStore::Parse(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (TloudnessStore::Parse(TloudnessStore::Serialise(entries)) != entries)
        __builtin_trap();
    return 0;
}
