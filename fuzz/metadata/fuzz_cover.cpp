// The picture readers of ID3v2 tags, FLAC metadata blocks and Ogg comment
// headers on the same bytes: a picture any of them returns is an image within
// the size limit.
#include "metadata/byteSource.h"
#include "metadata/embeddedCover.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TmemorySource source(data, qint64(size));
    for (const TembeddedCover &cover : { ReadId3v2Cover(source), ReadFlacCover(source), ReadOggCover(source) }) {
        if (!cover.isNull() && (cover.data.size() > kMaxCoverBytes || !LooksLikeImage(cover.data)))
            __builtin_trap();
    }
    return 0;
}
