#pragma once

#include "playback/ffmpegHandles.h"
#include "playback/sampleRing.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// One open stream of the audio engine: an FFmpeg decoder that resamples the
// file to stereo float at the mix rate and feeds a ring the mixer reads.
//
// Threads: the GUI thread opens, seeks, reads the position and destroys it.
// The decoder runs on the stream's own thread, or, in manual-pump mode, on the
// thread that calls fill(). The mixer (audio callback or pump) calls pull().
// They meet only through atomics: a seek raises the requested generation; the
// decoder answers with a flush record (ring position and new base, under a
// sequence counter) that the mixer applies before reading on.
class StreamSource {
public:
    // Null when the file cannot be opened or holds no decodable audio. A
    // threaded source decodes its first primeFrames (the device buffer) on
    // the calling thread before its decoder starts, so that the first
    // callback after it is played finds them.
    static std::unique_ptr<StreamSource> open(const QString &fileName, int mixRate, bool threaded,
                                              std::size_t primeFrames = 0);
    ~StreamSource();
    StreamSource(const StreamSource &) = delete;
    StreamSource &operator=(const StreamSource &) = delete;

    qint64 lengthMs() const { return m_lengthMs; }

    // --- GUI thread ---------------------------------------------------------
    void requestSeek(qint64 ms);
    // What the mixer has consumed since the last seek, plus that seek's target.
    qint64 positionMs() const;
    // Decoded to the end and all of it mixed, with no seek pending. Any thread.
    bool playedOut() const;

    // --- decoder, manual-pump mode ------------------------------------------
    // Decodes on the calling thread until frames are buffered or the file ends.
    void fill(std::size_t frames);

    // --- mixer --------------------------------------------------------------
    // The next frames to mix (up to frames of them), read in place from the
    // ring; release() then consumes what was mixed.
    struct PullResult {
        SampleRing::Runs runs;
        std::size_t frames = 0;
        bool underrun = false;
    };
    PullResult pull(std::size_t frames);
    void release(std::size_t frames);

private:
    StreamSource(int mixRate);
    bool openFile(const QString &fileName);
    void decoderLoop();
    // One unit of decoder work; false when there was nothing to do (ring full or file done).
    bool decodeStep();
    void handleSeek(std::uint64_t generation);
    bool decodePacket();
    void convertFrame(const AVFrame *frame);
    void takeFrame(const AVFrame *frame);
    void drain();
    bool flushPending();

    const int m_mixRate;
    qint64 m_lengthMs = 0;
    SampleRing m_ring;

    // Decoder-owned FFmpeg state.
    AvFormatPtr m_format;
    AvCodecPtr m_codec;
    SwrPtr m_resampler;
    AvPacketPtr m_packet;
    AvFramePtr m_frame;
    int m_streamIndex = -1;
    // Converted frames not yet in the ring: m_pending[m_pendingOffset .. m_pendingFrames) in frames.
    std::vector<float> m_pending;
    std::size_t m_pendingFrames = 0;
    std::size_t m_pendingOffset = 0;
    std::uint64_t m_handledGeneration = 0;
    qint64 m_skipFrames = 0;
    bool m_measureSkip = false;
    qint64 m_seekTargetFrames = 0;
    bool m_inputDone = false;

    // Written by the GUI thread, read by the decoder.
    std::atomic<std::uint64_t> m_requestedGeneration{0};
    std::atomic<qint64> m_seekTargetMs{0};
    std::atomic<bool> m_quit{false};

    // Written by the decoder, read by the mixer: the flush record under a
    // sequence counter, and the generation whose decoding reached the end.
    std::atomic<std::uint32_t> m_flushSequence{0};
    std::atomic<std::uint64_t> m_flushGeneration{0};
    std::atomic<std::uint64_t> m_flushPosition{0};
    std::atomic<qint64> m_flushBaseFrames{0};
    std::atomic<std::uint64_t> m_finishedGeneration{UINT64_MAX};

    // Written by the mixer, read by the GUI thread.
    std::atomic<std::uint64_t> m_consumedGeneration{0};
    std::atomic<qint64> m_positionFrames{0};

    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::thread m_thread;
};
