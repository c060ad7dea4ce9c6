#pragma once

#include <array>
#include <cstdint>

// The 80-bit extended precision form of track-list files: bytes 0-7 the 64-bit
// significand with its explicit integer bit (little-endian), bytes 8-9 the
// 15-bit exponent (bias 16383) in bits 0-14 and the sign in bit 15.
using TextendedBytes = std::array<std::uint8_t, 10>;

// Exact: every double has an extended form.
TextendedBytes DoubleToExtended(double value);
// Rounds to the nearest double; out-of-range values become infinities or
// zeros, NaNs stay NaN, unnormal encodings are read by their bits.
double ExtendedToDouble(const TextendedBytes &bytes);
