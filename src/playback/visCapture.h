#pragma once

#include <QtGlobal>
#include <array>
#include <atomic>
#include <memory>

// The waveform of the mix as the visualisation sees it: two rings (left and
// right) of blocks of 512 samples, each block one engine block squeezed into
// 512 positions.
//
// Threads: Resize() runs on the GUI thread while no capture unit exists (so
// the mixing thread cannot be inside Capture()); it alone sets the block
// count and the storage. Capture() runs on the audio engine's mixing thread
// and is the only writer of the blocks, their sequence counters and the ring
// index; it never waits. The readers (CopyLast(), Left(), Right()) run on the
// GUI thread. Each block carries a sequence counter that is odd while
// Capture() writes the block; a reader copies a block between two reads of
// its counter and copies again when the counter moved, so it always gets the
// samples of one block, never a mix of two. Samples are relaxed atomics,
// ordered by acquire/release on the samples themselves rather than by
// fences, which the thread sanitizer cannot follow.
class TvisCaptureRings {
public:
    static constexpr int kBlockSize = 512;
    using Block = std::array<qint16, kBlockSize>;

    // N zero-filled blocks per channel; the index goes back to 0.
    void Resize(int blocks);
    int BlockCount() const { return m_count; }
    // The block written last (0 before the first capture).
    int Index() const { return m_index.load(std::memory_order_acquire); }
    // Consistent copies of one block of each ring.
    Block Left(int block) const;
    Block Right(int block) const;

    // Advances the index (back to 0 at N) and resamples one block of
    // interleaved 16-bit stereo, length frames, into that slot: frame k lands
    // on position floor(k x 511 / length) as a double accumulator counts it,
    // the last frame on a position wins and position 511 is never written.
    // Does nothing while the rings are empty. No allocation, no waiting.
    void Capture(const qint16 *mix, int length);

    // Copies the block written last into left and right (512 samples each);
    // zeros while the rings are empty.
    void CopyLast(qint16 *left, qint16 *right) const;

private:
    struct Slot {
        std::atomic<quint32> sequence { 0 };
        std::array<std::atomic<qint16>, kBlockSize> left {};
        std::array<std::atomic<qint16>, kBlockSize> right {};
    };

    // One attempt at copying slot block; false when Capture() wrote it meanwhile.
    bool TryRead(int block, qint16 *left, qint16 *right) const;
    void Read(int block, qint16 *left, qint16 *right) const;

    std::unique_ptr<Slot[]> m_slots;
    int m_count = 0;
    std::atomic<int> m_index { 0 };
};
