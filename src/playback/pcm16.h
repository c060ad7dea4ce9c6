#pragma once

#include <QtGlobal>
#include <cstddef>

// The mixer's float samples (full scale ±1) as signed 16-bit ones: scaled by
// 32767, rounded half away from zero, clipped to the 16-bit range. NaN gives
// -32768 rather than an undefined conversion.
void FloatToPcm16(const float *from, qint16 *to, std::size_t count);
