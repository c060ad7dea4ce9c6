#include "playback/visCapture.h"
#include "playback/visSurface.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// Interleaved stereo whose left sample k is k + 1 and right sample -(k + 1).
std::vector<qint16> NumberedFrames(int length, int offset = 0)
{
    std::vector<qint16> mix(std::size_t(2 * length));
    for (int k = 0; k < length; ++k) {
        mix[std::size_t(2 * k)] = qint16(offset + k + 1);
        mix[std::size_t(2 * k + 1)] = qint16(-(offset + k + 1));
    }
    return mix;
}

TEST(VisCaptureRings, BlockOf1022FramesKeepsTheOddFrameOfEachPair)
{
    TvisCaptureRings rings;
    rings.Resize(4);
    const std::vector<qint16> mix = NumberedFrames(1022);
    rings.Capture(mix.data(), 1022);
    ASSERT_EQ(rings.Index(), 1);
    const auto &left = rings.Left(1);
    const auto &right = rings.Right(1);
    for (int p = 0; p <= 510; ++p) {
        // Frames 2p and 2p + 1 land on p; the later one (numbered 2p + 2) wins.
        ASSERT_EQ(left[std::size_t(p)], 2 * p + 2) << p;
        ASSERT_EQ(right[std::size_t(p)], -(2 * p + 2)) << p;
    }
    EXPECT_EQ(left[511], 0);
    EXPECT_EQ(right[511], 0);
}

TEST(VisCaptureRings, BlockOf511FramesMapsOneToOne)
{
    TvisCaptureRings rings;
    rings.Resize(2);
    const std::vector<qint16> mix = NumberedFrames(511);
    rings.Capture(mix.data(), 511);
    const auto &left = rings.Left(rings.Index());
    for (int k = 0; k <= 510; ++k)
        ASSERT_EQ(left[std::size_t(k)], k + 1) << k;
    EXPECT_EQ(left[511], 0);
}

TEST(VisCaptureRings, OtherBlockLengthsStayInsideTheBlock)
{
    TvisCaptureRings rings;
    rings.Resize(1);
    // Longer than a block: several frames per position, the last one wins.
    std::vector<qint16> mix = NumberedFrames(4096);
    rings.Capture(mix.data(), 4096);
    EXPECT_EQ(rings.Left(0)[0], 9);
    EXPECT_EQ(rings.Left(0)[510], 4096);
    EXPECT_EQ(rings.Left(0)[511], 0);

    // Shorter: frames spread out, the gaps keep what they held.
    rings.Resize(1);
    mix = NumberedFrames(3);
    rings.Capture(mix.data(), 3);
    EXPECT_EQ(rings.Left(0)[0], 1);
    EXPECT_EQ(rings.Left(0)[170], 2);
    EXPECT_EQ(rings.Left(0)[340], 3);
    EXPECT_EQ(rings.Left(0)[1], 0);
    EXPECT_EQ(rings.Left(0)[511], 0);

    mix = NumberedFrames(1, 100);
    rings.Capture(mix.data(), 1);
    EXPECT_EQ(rings.Left(0)[0], 101);
    EXPECT_EQ(rings.Left(0)[170], 2);

    // Nothing to read: no change.
    rings.Capture(mix.data(), 0);
    rings.Capture(mix.data(), -5);
    rings.Capture(nullptr, 1);
    EXPECT_EQ(rings.Left(0)[0], 101);
}

TEST(VisCaptureRings, RingWrapsAfterNBlocksAndCopyLastFollowsIt)
{
    TvisCaptureRings rings;
    rings.Resize(8);
    EXPECT_EQ(rings.BlockCount(), 8);
    EXPECT_EQ(rings.Index(), 0);
    qint16 left[512];
    qint16 right[512];
    for (int call = 1; call <= 8; ++call) {
        const std::vector<qint16> mix = NumberedFrames(511, 1000 * call);
        rings.Capture(mix.data(), 511);
        EXPECT_EQ(rings.Index(), call % 8);
        rings.CopyLast(left, right);
        EXPECT_EQ(left[0], 1000 * call + 1);
        EXPECT_EQ(right[510], -(1000 * call + 511));
    }
    // The ninth block overwrites the first one written.
    const std::vector<qint16> mix = NumberedFrames(511, 9000);
    rings.Capture(mix.data(), 511);
    EXPECT_EQ(rings.Index(), 1);
    EXPECT_EQ(rings.Left(1)[0], 9001);
    EXPECT_EQ(rings.Left(2)[0], 2001);

    // Resizing starts over with silence.
    rings.Resize(3);
    EXPECT_EQ(rings.Index(), 0);
    rings.CopyLast(left, right);
    EXPECT_EQ(left[0], 0);
}

TEST(VisCaptureRings, EmptyRingsIgnoreCaptureAndReadSilence)
{
    TvisCaptureRings rings;
    const std::vector<qint16> mix = NumberedFrames(511);
    rings.Capture(mix.data(), 511);
    EXPECT_EQ(rings.Index(), 0);
    qint16 left[512];
    qint16 right[512];
    std::fill_n(left, 512, qint16(7));
    std::fill_n(right, 512, qint16(7));
    rings.CopyLast(left, right);
    EXPECT_EQ(std::count(left, left + 512, 0), 512);
    EXPECT_EQ(std::count(right, right + 512, 0), 512);
}

// The mixing thread captures block after block while the GUI thread copies
// the last one: every copy holds one block, never parts of two, and copies
// never go back to an older block. Block n carries n + 1 at every position
// on the left and its negation on the right (1022 frames write positions
// 0 to 510).
TEST(VisCaptureRings, CopiesMadeWhileCapturingHoldOneBlock)
{
    constexpr int kLength = 1022;
#if defined(__SANITIZE_THREAD__)
    // The sanitizer reports the first unordered copy; its atomics are slow.
    constexpr int kBlocks = 2000;
#else
    // Enough blocks for copies to overlap captures many times over.
    constexpr int kBlocks = 20000;
#endif
    TvisCaptureRings rings;
    rings.Resize(4);
    std::atomic<bool> done { false };
    std::thread mixer([&rings, &done] {
        std::vector<qint16> mix(2 * kLength);
        for (int n = 0; n < kBlocks; ++n) {
            const auto mark = qint16(n % 32000 + 1);
            for (int k = 0; k < kLength; ++k) {
                mix[std::size_t(2 * k)] = mark;
                mix[std::size_t(2 * k + 1)] = qint16(-mark);
            }
            rings.Capture(mix.data(), kLength);
        }
        done.store(true);
    });

    qint16 left[512];
    qint16 right[512];
    int copies = 0;
    int torn = 0;
    int previous = 0;
    int backwards = 0;
    while (!done.load() || copies == 0) {
        rings.CopyLast(left, right);
        ++copies;
        const qint16 mark = left[0];
        torn += std::count(left, left + 511, mark) != 511 || std::count(right, right + 511, qint16(-mark)) != 511
            || left[511] != 0 || right[511] != 0;
        backwards += mark < previous;
        previous = mark;
        const TvisCaptureRings::Block block = rings.Left(rings.Index());
        torn += std::count(block.begin(), block.begin() + 511, block[0]) != 511;
    }
    mixer.join();
    EXPECT_EQ(torn, 0) << "of " << copies << " copies";
    EXPECT_EQ(backwards, 0);
    rings.CopyLast(left, right);
    EXPECT_EQ(left[0], (kBlocks - 1) % 32000 + 1);
}

TEST(VisSurface, ResizeClearsAndClampsNegativeSizes)
{
    TvisSurface surface(4, 3);
    EXPECT_EQ(surface.Width(), 4);
    EXPECT_EQ(surface.Height(), 3);
    surface.Pixels()[11] = 0xFFFFFFFFu;
    EXPECT_EQ(surface.Pixel(3, 2), 0xFFFFFFFFu);
    surface.Resize(5, 2);
    EXPECT_EQ(surface.Pixel(4, 1), 0xFF000000u);
    surface.Resize(-3, 10);
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_EQ(surface.Pixels(), nullptr);
}

} // namespace
