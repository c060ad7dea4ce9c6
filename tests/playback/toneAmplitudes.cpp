#include "toneAmplitudes.h"

#include <cmath>
#include <fftw3.h>
#include <memory>
#include <numbers>

namespace {

constexpr int kRate = 44100;
constexpr int kSkipHz = 8;

} // namespace

std::vector<double> AmplitudeSpectrum(const std::vector<float> &second)
{
    std::unique_ptr<float, decltype(&fftwf_free)> input(fftwf_alloc_real(kRate), &fftwf_free);
    std::unique_ptr<fftwf_complex, decltype(&fftwf_free)> output(fftwf_alloc_complex(kRate / 2 + 1), &fftwf_free);
    const fftwf_plan plan = fftwf_plan_dft_r2c_1d(kRate, input.get(), output.get(), FFTW_ESTIMATE);
    double windowSum = 0;
    for (int i = 0; i < kRate; ++i) {
        const double phase = 2 * std::numbers::pi * i / kRate;
        const double window
            = 0.35875 - 0.48829 * std::cos(phase) + 0.14128 * std::cos(2 * phase) - 0.01168 * std::cos(3 * phase);
        windowSum += window;
        input.get()[i] = float(second[std::size_t(i)] * window);
    }
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    std::vector<double> spectrum(kRate / 2 + 1);
    for (std::size_t bin = 0; bin < spectrum.size(); ++bin)
        spectrum[bin] = 2 * std::hypot(output.get()[bin][0], output.get()[bin][1]) / windowSum;
    return spectrum;
}

double Decibels(double amplitude)
{
    return 20 * std::log10(std::max(amplitude, 1e-12));
}

SpectrumPeak LoudestBin(const std::vector<double> &spectrum, int fromHz, int toHz, const std::vector<int> &skipHz)
{
    SpectrumPeak peak;
    for (int hz = fromHz; hz <= toHz && hz < int(spectrum.size()); ++hz) {
        bool skipped = false;
        for (const int skip : skipHz)
            skipped = skipped || std::abs(hz - skip) <= kSkipHz;
        if (!skipped && spectrum[std::size_t(hz)] > peak.amplitude)
            peak = { hz, spectrum[std::size_t(hz)] };
    }
    return peak;
}
