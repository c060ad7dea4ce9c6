// Vorbis headers, comments and the last page of an Ogg file.
#include "metadata/byteSource.h"
#include "metadata/oggTagger.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ToggTagger record;
    record.ReadTagFromSource(TmemorySource(data, qint64(size)));
    return 0;
}
