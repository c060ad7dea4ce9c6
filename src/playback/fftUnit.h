#pragma once

#include <QtGlobal>
#include <array>
#include <atomic>
#include <fftw3.h>
#include <memory>

// The engine's spectrum unit: a 1024-point FFT (FFTW3, single precision) over
// the latest mixed samples, Hann-windowed, giving 512 magnitudes in 0..1 where
// a full-scale sine reads 1 in its bin.
//
// take() and publish() run on the mixing thread and allocate nothing (the plan
// and its buffers are made in the constructor); snapshot() may be called from
// any thread and reads the values last published (per value atomically).
class FftUnit {
public:
    static constexpr int kBins = 512;
    static constexpr int kFftSize = 2 * kBins;

    FftUnit();
    ~FftUnit();
    FftUnit(const FftUnit &) = delete;
    FftUnit &operator=(const FftUnit &) = delete;

    // Takes an interleaved signed 16-bit stereo block into the window.
    void take(const qint16 *stereo, int frames);
    // Transforms the window, when blocks came since the last transform, and
    // publishes the values. The engine calls it once per device buffer: its
    // blocks are mixed within microseconds of each other, so the spectra of
    // all but the last would be replaced before anyone could read them.
    void publish();
    std::array<float, kBins> snapshot() const;

private:
    struct FftwFree {
        void operator()(void *buffer) const { fftwf_free(buffer); }
    };
    struct PlanDestroy {
        void operator()(fftwf_plan_s *plan) const { fftwf_destroy_plan(plan); }
    };

    // Mixing thread only: the latest kFftSize mono samples, oldest first, and
    // whether any came since the last transform.
    std::array<float, kFftSize> m_history{};
    bool m_taken = false;
    std::array<float, kFftSize> m_window{};
    // The windowed samples, read by the plan as kBins complex values.
    std::unique_ptr<float, FftwFree> m_input;
    std::unique_ptr<fftwf_complex, FftwFree> m_output;
    std::unique_ptr<fftwf_plan_s, PlanDestroy> m_plan;
    // cos and sin of 2 pi k / kFftSize.
    std::array<float, kBins> m_twiddleCos{};
    std::array<float, kBins> m_twiddleSin{};
    // The plan's output split into parts, with bin 0 repeated at kBins.
    std::array<float, kBins + 1> m_real{};
    std::array<float, kBins + 1> m_imaginary{};
    float m_scale = 0;

    std::array<std::atomic<float>, kBins> m_values{};
};
