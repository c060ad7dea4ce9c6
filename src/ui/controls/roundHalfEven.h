#pragma once

#include <QtGlobal>

// num / den rounded to the nearest integer, halves to even: every pixel
// position and colour channel that comes from a fraction is rounded this way,
// so pictures come out the same on every machine. den must not be 0.
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
