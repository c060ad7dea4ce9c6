#pragma once

#include <QtGlobal>
#include <cstddef>
#include <vector>

// The amplitude of a sine of frequency Hz in the left channel of interleaved
// 44100 Hz stereo samples, over frames frames from firstFrame (Goertzel); a
// full-scale sine reads 1. Frames past the end count as silence.
double ToneAmplitude(const std::vector<qint16> &stereo, std::size_t firstFrame, std::size_t frames, int frequency);
