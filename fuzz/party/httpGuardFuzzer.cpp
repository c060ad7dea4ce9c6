// The guard over the bytes a guest's connection sends: any bytes give a
// verdict without crashing, and the same verdict whether they come at once
// or in pieces.
#include "party/httpGuard.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the size of the pieces.
    const size_t piece = size_t(data[0] % 17) + 1;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qint64 length = qint64(size - 1);

    ThttpGuard whole;
    whole.Feed(bytes, length);
    ThttpGuard pieces;
    for (qint64 at = 0; at < length; at += qint64(piece))
        pieces.Feed(bytes + at, std::min<qint64>(qint64(piece), length - at));
    if (whole.State() != pieces.State() || whole.Status() != pieces.Status() || whole.Requests() != pieces.Requests()
        || whole.InRequest() != pieces.InRequest())
        std::abort();
    return 0;
}
