// The ID3v2 reader, and the writer on what it read: a tag built from any
// fields must read back with the same title.
#include "metadata/byteSource.h"
#include "metadata/id3v2.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TID3v2 tag;
    if (!tag.ReadFromSource(TmemorySource(data, qint64(size))))
        return 0;
    const QByteArray rebuilt = tag.BuildTag();
    TID3v2 again;
    if (!again.ReadFromSource(TmemorySource(rebuilt.constData(), rebuilt.size()))
        || again.Title() != tag.Title().left(again.Title().size()))
        __builtin_trap();
    return 0;
}
