#include "visCapture.h"

#include <algorithm>

void TvisCaptureRings::Resize(int blocks)
{
    blocks = std::max(blocks, 0);
    m_left.assign(std::size_t(blocks), Block {});
    m_right.assign(std::size_t(blocks), Block {});
    m_index.store(0, std::memory_order_release);
}

void TvisCaptureRings::Capture(const qint16 *mix, int length)
{
    const int blocks = BlockCount();
    if (blocks == 0 || !mix || length <= 0)
        return;
    int index = m_index.load(std::memory_order_relaxed) + 1;
    if (index >= blocks)
        index = 0;
    Block &left = m_left[std::size_t(index)];
    Block &right = m_right[std::size_t(index)];
    const double step = double(kBlockSize - 1) / length;
    double position = 0.0;
    for (int k = 0; k < length; ++k) {
        // Keeps accumulated rounding from ever leaving the block.
        const int p = std::min(int(position), kBlockSize - 1);
        left[std::size_t(p)] = mix[2 * k];
        right[std::size_t(p)] = mix[2 * k + 1];
        position += step;
    }
    m_index.store(index, std::memory_order_release);
}

void TvisCaptureRings::CopyLast(qint16 *left, qint16 *right) const
{
    const int blocks = BlockCount();
    if (blocks == 0) {
        std::fill_n(left, kBlockSize, qint16(0));
        std::fill_n(right, kBlockSize, qint16(0));
        return;
    }
    const int index = (blocks + Index()) % blocks;
    std::copy(m_left[std::size_t(index)].begin(), m_left[std::size_t(index)].end(), left);
    std::copy(m_right[std::size_t(index)].begin(), m_right[std::size_t(index)].end(), right);
}
