#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

// Lock-free ring of interleaved stereo float frames between one producer (a
// stream's decoder) and one consumer (the mixer). The write position belongs
// to the producer, the read position to the consumer; each only reads the
// other's. Positions count frames from the start and never wrap.
class SampleRing {
public:
    explicit SampleRing(std::size_t capacityFrames) : m_capacity(capacityFrames), m_data(capacityFrames * 2) {}

    std::size_t capacity() const { return m_capacity; }

    // --- producer -----------------------------------------------------------
    std::uint64_t writePosition() const { return m_write.load(std::memory_order_relaxed); }
    std::size_t freeFrames() const
    {
        return m_capacity - std::size_t(m_write.load(std::memory_order_relaxed) - m_read.load(std::memory_order_acquire));
    }
    // Appends up to count frames; returns how many fitted.
    std::size_t write(const float *frames, std::size_t count)
    {
        const std::uint64_t w = m_write.load(std::memory_order_relaxed);
        count = std::min(count, freeFrames());
        copyRing(w, count, [&](std::size_t slot, std::size_t n, std::size_t done) {
            std::memcpy(&m_data[slot * 2], frames + done * 2, n * 2 * sizeof(float));
        });
        m_write.store(w + count, std::memory_order_release);
        return count;
    }

    std::uint64_t readPosition() const { return m_read.load(std::memory_order_acquire); }

    // --- consumer -----------------------------------------------------------
    std::size_t availableFrames() const
    {
        return std::size_t(m_write.load(std::memory_order_acquire) - m_read.load(std::memory_order_relaxed));
    }
    std::size_t read(float *out, std::size_t count)
    {
        const std::uint64_t r = m_read.load(std::memory_order_relaxed);
        count = std::min(count, availableFrames());
        copyRing(r, count, [&](std::size_t slot, std::size_t n, std::size_t done) {
            std::memcpy(out + done * 2, &m_data[slot * 2], n * 2 * sizeof(float));
        });
        m_read.store(r + count, std::memory_order_release);
        return count;
    }
    // Drops everything written before position (a flush after a seek).
    void skipTo(std::uint64_t position) { m_read.store(position, std::memory_order_release); }

private:
    template <typename Copy> void copyRing(std::uint64_t position, std::size_t count, Copy copy)
    {
        std::size_t done = 0;
        while (done < count) {
            const std::size_t slot = std::size_t((position + done) % m_capacity);
            const std::size_t n = std::min(count - done, m_capacity - slot);
            copy(slot, n, done);
            done += n;
        }
    }

    const std::size_t m_capacity;
    std::vector<float> m_data;
    alignas(64) std::atomic<std::uint64_t> m_write{0};
    alignas(64) std::atomic<std::uint64_t> m_read{0};
};
