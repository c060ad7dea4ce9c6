#include "toneLevel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double ToneAmplitude(const std::vector<qint16> &stereo, std::size_t firstFrame, std::size_t frames, int frequency)
{
    if (frames == 0)
        return 0;
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / 44100.0);
    const std::size_t available = stereo.size() / 2;
    double previous = 0;
    double beforePrevious = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t frame = firstFrame + i;
        const double sample = frame < available ? stereo[frame * 2] / 32768.0 : 0.0;
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power
        = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(frames);
}
