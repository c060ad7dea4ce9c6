#pragma once

#include "playback/ffmpegHandles.h"

// The resampler that brings a decoder's frames to the mix format: interleaved
// stereo float at the mix rate.
//
// Its filter is chosen for what a listener can hear and no more: the passband
// stays flat to 20 kHz (or to 0.91 of a lower source's Nyquist frequency), and
// whatever would fold back into the audible band stays below the 16-bit
// output's own noise floor. libswresample's default filter does neither: it is
// down 1.3 dB at 20 kHz from a 48 kHz source, and a 22,050 Hz source's 10 kHz
// content comes back as an image at 12 kHz only 25 dB down.
enum class ResamplerFilter {
    // libsoxr at 16-bit precision: flat to 0.91 of the lower Nyquist, aliases
    // and images more than 100 dB down. Cheaper than libswresample's default
    // when raising the rate; when lowering it (48 kHz) it costs about as much
    // again as decoding an MP3.
    Soxr,
    // libswresample's own windowed sinc, long enough (80 taps at the lower
    // rate, cut at 0.96) to match: within 0.05 dB to 20 kHz, and a 22,050 Hz
    // source's images of content up to 10 kHz about 100 dB down. For FFmpeg
    // builds without libsoxr.
    Swr,
};

// The engine's resampler: soxr where this FFmpeg has it, else swr. Null when
// the input cannot be converted.
SwrPtr OpenMixResampler(const AVChannelLayout &inLayout, AVSampleFormat inFormat, int inRate, int mixRate);
// One filter in particular; null when this FFmpeg lacks it.
SwrPtr OpenMixResampler(
    const AVChannelLayout &inLayout, AVSampleFormat inFormat, int inRate, int mixRate, ResamplerFilter filter);
