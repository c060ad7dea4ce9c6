// The ASF header objects of a WMA file.
#include "metadata/byteSource.h"
#include "metadata/wmaFile.h"
#include "metadata/wmaTagger.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TWMAfile file;
    file.ReadFromSource(TmemorySource(data, qint64(size)));
    TwmaTagger record;
    record.TakeFrom(file);
    return 0;
}
