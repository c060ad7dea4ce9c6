// FLAC metadata blocks: STREAMINFO, the comments and the walk to the audio.
#include "metadata/byteSource.h"
#include "metadata/flacTagger.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TflacTagger record;
    record.ReadTagFromSource(TmemorySource(data, qint64(size)));
    return 0;
}
