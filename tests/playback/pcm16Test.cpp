#include "playback/pcm16.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Samples around every rounding and clipping edge.
std::vector<float> EdgeSamples()
{
    std::vector<float> samples{0.0f, -0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 1e30f, -1e30f,
                               std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min(),
                               0.3f, -0.7f, 0.999f, 1.2f / 32767, -1.7f / 32767};
    for (const float step : {0.5f, 1.5f, 2.5f, 100.5f, 32766.5f, 32767.5f, 32768.5f}) {
        for (const float sign : {1.0f, -1.0f}) {
            const float at = sign * step / 32767.0f;
            samples.push_back(at);
            samples.push_back(std::nextafter(at, 0.0f));
            samples.push_back(std::nextafter(at, 2 * at));
        }
    }
    return samples;
}

qint16 Single(float sample)
{
    qint16 pcm = 0;
    FloatToPcm16(&sample, &pcm, 1);
    return pcm;
}

} // namespace

TEST(FloatToPcm16, RoundsHalfAwayFromZeroAndClips)
{
    EXPECT_EQ(Single(1.0f), 32767);
    EXPECT_EQ(Single(-1.0f), -32767);
    EXPECT_EQ(Single(2.0f), 32767);
    EXPECT_EQ(Single(-2.0f), -32768);
    EXPECT_EQ(Single(std::numeric_limits<float>::infinity()), 32767);
    EXPECT_EQ(Single(-std::numeric_limits<float>::infinity()), -32768);
    EXPECT_EQ(Single(std::numeric_limits<float>::quiet_NaN()), -32768);
    EXPECT_EQ(Single(0.25f / 32767), 0);
    EXPECT_EQ(Single(0.75f / 32767), 1);
    EXPECT_EQ(Single(-0.75f / 32767), -1);
    EXPECT_EQ(Single(1000.25f / 32767), 1000);
    EXPECT_EQ(Single(-1000.75f / 32767), -1001);
}

// Long runs go through a wider path than single samples: every edge value in
// every position of a run, and run lengths around the path's width, give what
// the sample alone gives.
TEST(FloatToPcm16, RunsGiveWhatSingleSamplesGive)
{
    const std::vector<float> edges = EdgeSamples();
    for (std::size_t length = 0; length <= 19; ++length) {
        for (std::size_t shift = 0; shift < edges.size(); ++shift) {
            std::vector<float> run(length);
            for (std::size_t i = 0; i < length; ++i)
                run[i] = edges[(i + shift) % edges.size()];
            std::vector<qint16> pcm(length + 1, 12345);
            FloatToPcm16(run.data(), pcm.data(), length);
            for (std::size_t i = 0; i < length; ++i)
                ASSERT_EQ(pcm[i], Single(run[i])) << "sample " << run[i] << " at " << i << " of " << length;
            EXPECT_EQ(pcm[length], 12345) << "wrote past a run of " << length;
        }
    }
}
