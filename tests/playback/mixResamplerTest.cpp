#include "toneAmplitudes.h"

#include "playback/mixResampler.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {

constexpr int kMixRate = 44100;
constexpr double kAmplitude = 0.5;

// One second of the left channel at the mix rate, from the middle of two
// seconds of a sine of hz at inRate in both channels (planar float, as the
// decoders give it), through the filter.
std::vector<float> ResampledSecond(ResamplerFilter filter, int inRate, int hz)
{
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    const SwrPtr resampler = OpenMixResampler(stereo, AV_SAMPLE_FMT_FLTP, inRate, kMixRate, filter);
    if (!resampler) {
        ADD_FAILURE() << "no resampler";
        return std::vector<float>(kMixRate);
    }
    std::vector<float> tone(std::size_t(2 * inRate));
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = float(kAmplitude * std::sin(2 * std::numbers::pi * hz * double(i) / inRate));
    std::array<const uint8_t *, 2> planes { reinterpret_cast<const uint8_t *>(tone.data()),
        reinterpret_cast<const uint8_t *>(tone.data()) };
    std::vector<float> out(std::size_t(3 * kMixRate) * 2);
    auto *to = reinterpret_cast<uint8_t *>(out.data());
    int made = swr_convert(resampler.get(), &to, 3 * kMixRate, planes.data(), int(tone.size()));
    auto *rest = reinterpret_cast<uint8_t *>(out.data() + std::size_t(std::max(made, 0)) * 2);
    made += swr_convert(resampler.get(), &rest, 3 * kMixRate - made, nullptr, 0);
    EXPECT_NEAR(made, 2 * kMixRate, 2);
    std::vector<float> second(kMixRate);
    for (std::size_t i = 0; i < second.size(); ++i)
        second[i] = out[(kMixRate / 2 + i) * 2];
    return second;
}

} // namespace

// What a listener hears survives, and nothing folds back into it: tones up to
// 20 kHz of a 48 kHz source and up to 10 kHz of a 22,050 Hz one keep their
// level, and nothing else in the audible band (an alias, the image a
// 22,050 Hz source's tone leaves above its own band, noise) comes within 90 dB
// of them. Both filters: the engine falls back to libswresample's own where
// FFmpeg was built without libsoxr.
TEST(MixResampler, KeepsTheAudibleBandAndFoldsNothingBackIntoIt)
{
    struct Tone {
        int rate;
        int hz;
        double toleranceDb;
    };
    const std::array<Tone, 6> tones { { { 48000, 1000, 0.05 }, { 48000, 10000, 0.05 }, { 48000, 20000, 0.25 },
        { 22050, 1000, 0.05 }, { 22050, 9000, 0.1 }, { 22050, 10000, 0.25 } } };
    for (const ResamplerFilter filter : { ResamplerFilter::Soxr, ResamplerFilter::Swr }) {
        SCOPED_TRACE(filter == ResamplerFilter::Soxr ? "soxr" : "swr");
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (filter == ResamplerFilter::Soxr && !OpenMixResampler(stereo, AV_SAMPLE_FMT_FLTP, 48000, kMixRate, filter)) {
            std::printf("This FFmpeg has no libsoxr: only its own filter is checked.\n");
            continue;
        }
        for (const Tone &tone : tones) {
            SCOPED_TRACE(testing::Message() << tone.hz << " Hz at " << tone.rate << " Hz");
            const std::vector<double> spectrum = AmplitudeSpectrum(ResampledSecond(filter, tone.rate, tone.hz));
            EXPECT_NEAR(Decibels(spectrum[std::size_t(tone.hz)]), Decibels(kAmplitude), tone.toleranceDb);
            const SpectrumPeak other = LoudestBin(spectrum, 20, 20000, { tone.hz });
            EXPECT_LT(Decibels(other.amplitude), Decibels(kAmplitude) - 90) << "at " << other.hz << " Hz";
        }
    }
}
