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
        return produce(count, [frames](float *to, std::size_t n, std::size_t done) {
            std::memcpy(to, frames + done * 2, n * 2 * sizeof(float));
        });
    }
    // Appends up to count frames made in place, so that they need no copy:
    // make(to, n, done) writes frames done .. done + n - 1 at to (at most
    // twice, the second time after the wrap). Returns how many fitted.
    template <typename Make> std::size_t produce(std::size_t count, Make make)
    {
        const std::uint64_t w = m_write.load(std::memory_order_relaxed);
        count = std::min(count, freeFrames());
        copyRing(w, count, [&](std::size_t slot, std::size_t n, std::size_t done) { make(&m_data[slot * 2], n, done); });
        m_write.store(w + count, std::memory_order_release);
        return count;
    }

    // The free frames up to the wrap, to be written in place before commit()
    // appends what was written: for a producer that learns how many frames it
    // made only while making them.
    float *writable(std::size_t &frames)
    {
        const std::size_t slot = std::size_t(m_write.load(std::memory_order_relaxed) % m_capacity);
        frames = std::min(freeFrames(), m_capacity - slot);
        return &m_data[slot * 2];
    }
    void commit(std::size_t frames)
    {
        m_write.store(m_write.load(std::memory_order_relaxed) + frames, std::memory_order_release);
    }

    std::uint64_t readPosition() const { return m_read.load(std::memory_order_acquire); }

    // --- consumer -----------------------------------------------------------
    std::size_t availableFrames() const
    {
        return std::size_t(m_write.load(std::memory_order_acquire) - m_read.load(std::memory_order_relaxed));
    }
    // The next frames to read, as up to two runs (the second after the wrap),
    // without consuming them; advance() consumes.
    struct Runs {
        const float *first = nullptr;
        std::size_t firstFrames = 0;
        const float *second = nullptr;
        std::size_t secondFrames = 0;
    };
    Runs peek(std::size_t count) const
    {
        const std::uint64_t r = m_read.load(std::memory_order_relaxed);
        count = std::min(count, availableFrames());
        const std::size_t slot = std::size_t(r % m_capacity);
        Runs runs;
        runs.first = &m_data[slot * 2];
        runs.firstFrames = std::min(count, m_capacity - slot);
        runs.second = m_data.data();
        runs.secondFrames = count - runs.firstFrames;
        return runs;
    }
    void advance(std::size_t count)
    {
        m_read.store(m_read.load(std::memory_order_relaxed) + count, std::memory_order_release);
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
