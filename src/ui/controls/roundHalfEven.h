#pragma once

#include <cmath>

// Pixel positions and colour channels computed from fractions round to the
// nearest integer, halves to even (the default rounding mode of the FPU).
inline int RoundHalfEven(double value)
{
    return int(std::lrint(value));
}
