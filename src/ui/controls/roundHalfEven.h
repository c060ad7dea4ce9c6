#pragma once

#include <QtGlobal>
#include <cmath>

// Pixel positions and colour channels computed from fractions round to the
// nearest integer, halves to even, so pictures come out the same on every
// machine.

// A fraction given as a double (the default rounding mode of the FPU).
inline int RoundHalfEven(double value)
{
    return int(std::lrint(value));
}

// num / den; den must not be 0.
constexpr qint64 RoundDiv(qint64 num, qint64 den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    qint64 quotient = num / den;
    qint64 remainder = num % den;
    if (remainder < 0) {
        --quotient;
        remainder += den;
    }
    if (2 * remainder > den || (2 * remainder == den && (quotient & 1)))
        ++quotient;
    return quotient;
}
