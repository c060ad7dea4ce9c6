// The gain tag readers of every container on the same bytes: whatever they
// take for a gain or a peak stays within the bounds a tag may state.
#include "metadata/byteSource.h"
#include "metadata/gainTags.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

void check(const TgainTags &tags)
{
    for (const auto &loudness : { tags.trackLoudness, tags.albumLoudness }) {
        if (loudness && (!std::isfinite(*loudness) || std::abs(*loudness + 20.5) > kMaxTagGainDb + 2.5))
            __builtin_trap();
    }
    for (const auto &peak : { tags.trackPeak, tags.albumPeak }) {
        if (peak && !(*peak > 0 && *peak <= 10))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TmemorySource source(data, qint64(size));
    check(ReadId3GainTags(source));
    check(ReadApeGainTags(source));
    check(ReadOggGainTags(source));
    check(ReadFlacGainTags(source));
    check(ReadAsfGainTags(source));
    return 0;
}
