#include "playback/fftUnit.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex &plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The mean of each frame's two samples, full scale 1. Their sum is exact in
// an int and in a float alike, and so is the scaling by a power of two.
void StereoToMono(const qint16 *stereo, float *mono, int frames)
{
    int i = 0;
#ifdef __SSE2__
    // PMADDWD adds each frame's two samples into 32 bits in one step, where
    // the vectorised loop spends many shuffles.
    const __m128i ones = _mm_set1_epi16(1);
    const __m128 scale = _mm_set1_ps(1.0f / 65536.0f);
    for (; i + 4 <= frames; i += 4) {
        const __m128i sums = _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(stereo + i * 2)), ones);
        _mm_storeu_ps(mono + i, _mm_mul_ps(_mm_cvtepi32_ps(sums), scale));
    }
#endif
    for (; i < frames; ++i)
        mono[i] = float(stereo[i * 2] + stereo[i * 2 + 1]) / 65536.0f;
}

} // namespace

FftUnit::FftUnit()
    : m_input(fftwf_alloc_real(kFftSize)), m_output(fftwf_alloc_complex(kBins))
{
    {
        std::lock_guard lock(plannerMutex());
        // Estimated, not measured: measuring costs about 100 ms at every start
        // of the program and gains a fraction of a microsecond per block.
        m_plan.reset(fftwf_plan_dft_1d(kBins, reinterpret_cast<fftwf_complex *>(m_input.get()), m_output.get(),
                                       FFTW_FORWARD, FFTW_ESTIMATE));
    }
    float sum = 0;
    for (int i = 0; i < kFftSize; ++i) {
        m_window[i] = 0.5f - 0.5f * std::cos(2 * std::numbers::pi_v<float> * float(i) / float(kFftSize));
        sum += m_window[i];
    }
    for (int k = 0; k < kBins; ++k) {
        const double angle = 2 * std::numbers::pi * k / kFftSize;
        m_twiddleCos[k] = float(std::cos(angle));
        m_twiddleSin[k] = float(std::sin(angle));
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

void FftUnit::take(const qint16 *stereo, int frames)
{
    const int count = std::min(frames, kFftSize);
    std::move(m_history.begin() + count, m_history.end(), m_history.begin());
    StereoToMono(stereo + std::size_t(frames - count) * 2, m_history.data() + kFftSize - count, count);
    m_taken = true;
}

void FftUnit::publish()
{
    if (!m_taken)
        return;
    m_taken = false;
    float *input = m_input.get();
    for (int i = 0; i < kFftSize; ++i)
        input[i] = m_history[i] * m_window[i];
    fftwf_execute(m_plan.get());

    // FFTW's real-input transform of this size costs twice what its complex
    // transform of half the size does, so the input goes in as 512 complex
    // values z[k] = x[2k] + i x[2k+1] and the real transform is taken from
    // their transform Z: X[k] = E[k] + W^k O[k] with W = e^(-2 pi i / 1024),
    // the even samples' transform E[k] = (Z[k] + conj Z[512-k]) / 2 and the
    // odd ones' O[k] = (Z[k] - conj Z[512-k]) / 2i. Split into real and
    // imaginary parts first, so that the loop vectorises.
    const float *z = reinterpret_cast<const float *>(m_output.get());
    for (int k = 0; k < kBins; ++k) {
        m_real[k] = z[k * 2];
        m_imaginary[k] = z[k * 2 + 1];
    }
    m_real[kBins] = m_real[0];
    m_imaginary[kBins] = m_imaginary[0];
    // Worked out in a plain array first: a loop that stores atomics does not vectorise.
    std::array<float, kBins> magnitudes;
    for (int k = 0; k < kBins; ++k) {
        const float ar = m_real[k];
        const float ai = m_imaginary[k];
        const float br = m_real[kBins - k];
        const float bi = m_imaginary[kBins - k];
        const float evenReal = (ar + br) * 0.5f;
        const float evenImaginary = (ai - bi) * 0.5f;
        const float oddReal = (ai + bi) * 0.5f;
        const float oddImaginary = (br - ar) * 0.5f;
        const float c = m_twiddleCos[k];
        const float s = m_twiddleSin[k];
        const float real = evenReal + c * oddReal + s * oddImaginary;
        const float imaginary = evenImaginary + c * oddImaginary - s * oddReal;
        const float magnitude = std::sqrt(real * real + imaginary * imaginary) * m_scale;
        magnitudes[k] = magnitude < 1.0f ? magnitude : 1.0f;
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
