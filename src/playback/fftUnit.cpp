#include "playback/fftUnit.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <mutex>
#include <numbers>

namespace {

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex &plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

FftUnit::FftUnit()
    : m_input(fftwf_alloc_real(kFftSize)), m_output(fftwf_alloc_complex(kFftSize / 2 + 1))
{
    {
        std::lock_guard lock(plannerMutex());
        // Estimated, not measured: measuring costs about 100 ms at every start
        // of the program and gains a fraction of a microsecond per block.
        m_plan.reset(fftwf_plan_dft_r2c_1d(kFftSize, m_input.get(), m_output.get(), FFTW_ESTIMATE));
    }
    float sum = 0;
    for (int i = 0; i < kFftSize; ++i) {
        m_window[i] = 0.5f - 0.5f * std::cos(2 * std::numbers::pi_v<float> * float(i) / float(kFftSize));
        sum += m_window[i];
    }
    // A sine of amplitude 1 peaks at amplitude × sum(window) / 2.
    m_scale = 2.0f / sum;
    for (auto &value : m_values)
        value.store(0, std::memory_order_relaxed);
}

FftUnit::~FftUnit()
{
    std::lock_guard lock(plannerMutex());
    m_plan.reset();
}

void FftUnit::analyse(const qint16 *stereo, int frames)
{
    const int take = std::min(frames, kFftSize);
    std::move(m_history.begin() + take, m_history.end(), m_history.begin());
    const qint16 *from = stereo + std::size_t(frames - take) * 2;
    for (int i = 0; i < take; ++i)
        m_history[kFftSize - take + i] = (float(from[i * 2]) + float(from[i * 2 + 1])) / 65536.0f;

    float *input = m_input.get();
    for (int i = 0; i < kFftSize; ++i)
        input[i] = m_history[i] * m_window[i];
    fftwf_execute(m_plan.get());
    // Worked out in a plain array first: a loop that stores atomics does not vectorise.
    const fftwf_complex *output = m_output.get();
    std::array<float, kBins> magnitudes;
    for (int bin = 0; bin < kBins; ++bin) {
        const float magnitude = std::sqrt(output[bin][0] * output[bin][0] + output[bin][1] * output[bin][1]) * m_scale;
        magnitudes[bin] = magnitude < 1.0f ? magnitude : 1.0f;
    }
    for (int bin = 0; bin < kBins; ++bin)
        m_values[bin].store(magnitudes[bin], std::memory_order_relaxed);
}

std::array<float, FftUnit::kBins> FftUnit::snapshot() const
{
    std::array<float, kBins> values;
    for (int bin = 0; bin < kBins; ++bin)
        values[bin] = m_values[bin].load(std::memory_order_relaxed);
    return values;
}
