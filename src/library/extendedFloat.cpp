#include "library/extendedFloat.h"

#include <bit>
#include <cmath>
#include <limits>

TextendedBytes DoubleToExtended(double value)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = bits >> 63;
    const int exponent = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);

    std::uint64_t significand = 0;
    int extendedExponent = 0;
    if (exponent == 0x7FF) {
        extendedExponent = 0x7FFF;
        significand = (std::uint64_t(1) << 63) | (fraction << 11);
    } else if (exponent != 0) {
        extendedExponent = exponent - 1023 + 16383;
        significand = (std::uint64_t(1) << 63) | (fraction << 11);
    } else if (fraction != 0) {
        // A subnormal double is a normal extended number.
        const int shift = std::countl_zero(fraction);
        significand = fraction << shift;
        extendedExponent = -1022 - (shift - 11) + 16383;
    }

    TextendedBytes out{};
    for (int i = 0; i < 8; ++i)
        out[size_t(i)] = std::uint8_t(significand >> (8 * i));
    const unsigned top = unsigned(extendedExponent) | (negative ? 0x8000u : 0u);
    out[8] = std::uint8_t(top & 0xFF);
    out[9] = std::uint8_t(top >> 8);
    return out;
}

double ExtendedToDouble(const TextendedBytes &bytes)
{
    std::uint64_t significand = 0;
    for (int i = 0; i < 8; ++i)
        significand |= std::uint64_t(bytes[size_t(i)]) << (8 * i);
    const unsigned top = unsigned(bytes[8]) | (unsigned(bytes[9]) << 8);
    const bool negative = top & 0x8000u;
    const int exponent = int(top & 0x7FFF);

    double magnitude = 0;
    if (exponent == 0x7FFF) {
        const bool nan = (significand << 1) != 0;
        magnitude = nan ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
    } else if (significand != 0) {
        // Round the significand to 53 bits first (to nearest, halves to even)
        // so that ldexp scales an exact value; only a result in the subnormal
        // range is rounded again.
        const int lead = std::countl_zero(significand);
        std::uint64_t normalised = significand << lead;
        const std::uint64_t rest = normalised & 0x7FF;
        std::uint64_t mantissa = normalised >> 11;
        if (rest > 0x400 || (rest == 0x400 && (mantissa & 1)))
            ++mantissa;
        const int scale = (exponent == 0 ? 1 : exponent) - 16383 - lead - 52;
        magnitude = std::ldexp(double(mantissa), scale);
    }
    return negative ? -magnitude : magnitude;
}
