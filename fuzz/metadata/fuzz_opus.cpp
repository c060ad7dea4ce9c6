// The Opus identification and comment headers over Ogg pages, and the last
// page's granule position.
#include "metadata/byteSource.h"
#include "metadata/opusTagger.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TopusTagger record;
    record.ReadTagFromSource(TmemorySource(data, qint64(size)));
    return 0;
}
