// The ID3v1 block at the end of a file, and the MPEG record reading a file
// that has no ID3v2 tag.
#include "metadata/byteSource.h"
#include "metadata/id3Tagger.h"
#include "metadata/id3v1.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size >= TId3v1Tag::kSize) {
        TId3v1Tag tag;
        if (tag.Parse(data + size - TId3v1Tag::kSize) && tag.Build().size() != TId3v1Tag::kSize)
            __builtin_trap();
    }
    Tid3Tagger record;
    record.SetReadFrameHeaders(false);
    record.ReadTagFromSource(TmemorySource(data, qint64(size)));
    return 0;
}
