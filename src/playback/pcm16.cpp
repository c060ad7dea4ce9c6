#include "playback/pcm16.h"

#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Rounding before clipping gives the same samples as the other order; NaN
// passes neither comparison and lands on the lower limit.
qint16 ToPcm16(float sample)
{
    float scaled = sample * 32767.0f;
    scaled += std::copysign(0.5f, scaled);
    scaled = scaled > -32768.0f ? scaled : -32768.0f;
    scaled = scaled < 32767.0f ? scaled : 32767.0f;
    return qint16(scaled);
}

} // namespace

void FloatToPcm16(const float *from, qint16 *to, std::size_t count)
{
    std::size_t i = 0;
#ifdef __SSE2__
    // Compilers vectorise ToPcm16 with a slow emulated narrowing to 16 bits;
    // SSE2 has it in one saturating pack. The steps are ToPcm16's, in the same
    // order: MAXPS gives its second operand for NaN.
    const __m128 scale = _mm_set1_ps(32767.0f);
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 signBit = _mm_set1_ps(-0.0f);
    const __m128 lowest = _mm_set1_ps(-32768.0f);
    const __m128 highest = _mm_set1_ps(32767.0f);
    const auto convert = [&](const float *four) {
        __m128 scaled = _mm_mul_ps(_mm_loadu_ps(four), scale);
        scaled = _mm_add_ps(scaled, _mm_or_ps(half, _mm_and_ps(scaled, signBit)));
        scaled = _mm_min_ps(_mm_max_ps(scaled, lowest), highest);
        return _mm_cvttps_epi32(scaled);
    };
    for (; i + 8 <= count; i += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), _mm_packs_epi32(convert(from + i), convert(from + i + 4)));
#endif
    for (; i < count; ++i)
        to[i] = ToPcm16(from[i]);
}
