#include "visCapture.h"

#include <algorithm>
#include <thread>

void TvisCaptureRings::Resize(int blocks)
{
    m_count = std::max(blocks, 0);
    m_slots = m_count > 0 ? std::make_unique<Slot[]>(std::size_t(m_count)) : nullptr;
    m_index.store(0, std::memory_order_release);
}

void TvisCaptureRings::Capture(const qint16 *mix, int length)
{
    if (m_count == 0 || !mix || length <= 0)
        return;
    int index = m_index.load(std::memory_order_relaxed) + 1;
    if (index >= m_count)
        index = 0;
    Slot &slot = m_slots[std::size_t(index)];
    // Odd while the block is written. The samples are stored with release, so
    // a reader that sees any of the new ones also sees the odd count.
    const quint32 sequence = slot.sequence.load(std::memory_order_relaxed);
    slot.sequence.store(sequence + 1, std::memory_order_relaxed);
    const double step = double(kBlockSize - 1) / length;
    double position = 0.0;
    for (int k = 0; k < length; ++k) {
        // Keeps accumulated rounding from ever leaving the block.
        const auto p = std::size_t(std::min(int(position), kBlockSize - 1));
        slot.left[p].store(mix[2 * k], std::memory_order_release);
        slot.right[p].store(mix[2 * k + 1], std::memory_order_release);
        position += step;
    }
    slot.sequence.store(sequence + 2, std::memory_order_release);
    m_index.store(index, std::memory_order_release);
}

bool TvisCaptureRings::TryRead(int block, qint16 *left, qint16 *right) const
{
    const Slot &slot = m_slots[std::size_t(block)];
    const quint32 before = slot.sequence.load(std::memory_order_acquire);
    if (before & 1)
        return false;
    for (std::size_t p = 0; p < kBlockSize; ++p) {
        left[p] = slot.left[p].load(std::memory_order_acquire);
        right[p] = slot.right[p].load(std::memory_order_acquire);
    }
    return slot.sequence.load(std::memory_order_relaxed) == before;
}

// The writer moves on to the next block after each one and needs N blocks'
// time to come back to this one, so a retry is rare and never long.
void TvisCaptureRings::Read(int block, qint16 *left, qint16 *right) const
{
    while (!TryRead(block, left, right))
        std::this_thread::yield();
}

TvisCaptureRings::Block TvisCaptureRings::Left(int block) const
{
    Block left {};
    Block right {};
    Read(block, left.data(), right.data());
    return left;
}

TvisCaptureRings::Block TvisCaptureRings::Right(int block) const
{
    Block left {};
    Block right {};
    Read(block, left.data(), right.data());
    return right;
}

void TvisCaptureRings::CopyLast(qint16 *left, qint16 *right) const
{
    if (m_count == 0) {
        std::fill_n(left, kBlockSize, qint16(0));
        std::fill_n(right, kBlockSize, qint16(0));
        return;
    }
    // A block rewritten while it was copied is no longer the last one: the
    // next attempt takes the one written since.
    while (!TryRead(Index(), left, right))
        std::this_thread::yield();
}
