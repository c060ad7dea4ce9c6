#pragma once

#include <QtGlobal>
#include <array>
#include <atomic>
#include <vector>

// The waveform of the mix as the visualisation sees it: two rings (left and
// right) of blocks of 512 samples, each block one engine block squeezed into
// 512 positions.
//
// Threads: Resize() runs on the GUI thread while no capture unit exists (so
// the mixing thread cannot be inside Capture()). Capture() runs on the audio
// engine's mixing thread and is the only writer of the blocks and of the
// ring index; it fills the next block first and then publishes its index.
// CopyLast() runs on the GUI thread and reads the block at the published
// index; it takes no lock, so a copy made while the mixing thread has come
// round the whole ring may mix two blocks (the data are for display only).
class TvisCaptureRings {
public:
    static constexpr int kBlockSize = 512;
    using Block = std::array<qint16, kBlockSize>;

    // N zero-filled blocks per channel; the index goes back to 0.
    void Resize(int blocks);
    int BlockCount() const { return int(m_left.size()); }
    // The block written last (0 before the first capture).
    int Index() const { return m_index.load(std::memory_order_acquire); }
    const Block &Left(int block) const { return m_left[std::size_t(block)]; }
    const Block &Right(int block) const { return m_right[std::size_t(block)]; }

    // Advances the index (back to 0 at N) and resamples one block of
    // interleaved 16-bit stereo, length frames, into that slot: frame k lands
    // on position floor(k x 511 / length) as a double accumulator counts it,
    // the last frame on a position wins and position 511 is never written.
    // Does nothing while the rings are empty. No allocation.
    void Capture(const qint16 *mix, int length);

    // Copies the block written last into left and right (512 samples each);
    // zeros while the rings are empty.
    void CopyLast(qint16 *left, qint16 *right) const;

private:
    std::vector<Block> m_left;
    std::vector<Block> m_right;
    std::atomic<int> m_index { 0 };
};
