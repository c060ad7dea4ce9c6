// MPEG frame search, next-frame check, Xing header and duration.
#include "metadata/audioInfo.h"
#include "metadata/byteSource.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TmemorySource source(data, qint64(size));
    TAudioInfo info;
    info.AnalyseStream(source, 0, source.Size());
    if (size > 7)
        info.AnalyseStream(source, 7, qint64(size) / 2);
    TMpegFrameHdr header;
    header.FindHeader(data, qint64(size));
    return 0;
}
