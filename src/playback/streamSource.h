#pragma once

#include "playback/audioFile.h"
#include "playback/ffmpegHandles.h"
#include "playback/resamplerHandover.h"
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
//
// A threaded source opens its file on its own thread: probing a file can
// take long (a slow share, a file of zeros), and the GUI thread must never
// wait for it. Until the file is open and its first sound decoded, the source
// is opening; the mixer takes nothing from it and counts no underrun.
class StreamSource {
public:
    enum class OpenState { Opening, Ready, Failed };

    // A threaded source is returned at once, opening; it turns ready once its
    // first primeFrames (the device buffer) are decoded, so that the first
    // callback that plays it finds them, or failed when the file cannot be
    // opened or yields no sound. Without a thread the file is opened here,
    // and the result is null when that fails.
    //
    // A source that follows another without a gap takes that one's handover:
    // it converts nothing before the other has decoded its last sample and
    // given over (or declined to give) its resampler. Without a thread it is
    // not tried for sound when opened: its first sound waits for that moment.
    static std::unique_ptr<StreamSource> open(const QString &fileName, int mixRate, bool threaded,
                                              std::size_t primeFrames = 0,
                                              std::shared_ptr<TresamplerHandover> follows = nullptr);
    ~StreamSource();
    StreamSource(const StreamSource &) = delete;
    StreamSource &operator=(const StreamSource &) = delete;

    // Any thread.
    OpenState openState() const { return m_openState.load(std::memory_order_acquire); }
    // 0 while opening.
    qint64 lengthMs() const { return m_lengthMs.load(std::memory_order_relaxed); }
    // What a source that follows this one without a gap is opened with.
    const std::shared_ptr<TresamplerHandover> &handover() const { return m_handoverOut; }
    // A factor on the sound, applied by the mixer before the channel volume.
    // Any thread.
    void setGain(float gain) { m_gain.store(gain, std::memory_order_relaxed); }
    float gain() const { return m_gain.load(std::memory_order_relaxed); }

    // --- GUI thread ---------------------------------------------------------
    void requestSeek(qint64 ms);
    // What the mixer has consumed since the last seek, plus that seek's target.
    qint64 positionMs() const;
    // Decoded to the end and all of it mixed, with no seek pending; or the
    // file failed to open. Any thread.
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
        // These are the file's last frames: a successor may start right behind them.
        bool ended = false;
    };
    PullResult pull(std::size_t frames);
    void release(std::size_t frames);

private:
    StreamSource(int mixRate, bool threaded);
    bool openFile(const QString &fileName);
    // Takes what the source followed gives over; false while that has not
    // decided yet (a threaded source waits for it).
    bool takeHandover();
    // At the end of the file: gives the resampler to a successor waiting for
    // it; false when none does.
    bool giveHandover();
    // The resampler for the decoder's input, made anew.
    SwrPtr openResampler() const;
    // Decodes until frames are buffered; false when the file gave no sound.
    bool prime(std::size_t frames);
    void openAndDecode(const QString &fileName, std::size_t primeFrames);
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
    const bool m_threaded;
    std::atomic<qint64> m_lengthMs{0};
    std::atomic<float> m_gain{1.0f};
    // Made with the source; what it gives a successor. The one it takes from
    // the source it follows, set before the decoder starts; whether the
    // decoder has taken it (decoder-owned).
    const std::shared_ptr<TresamplerHandover> m_handoverOut = std::make_shared<TresamplerHandover>();
    std::shared_ptr<TresamplerHandover> m_handoverIn;
    bool m_handoverTaken = false;
    std::atomic<OpenState> m_openState{OpenState::Opening};
    SampleRing m_ring;

    // Decoder-owned FFmpeg state, and the decoder's output format.
    TaudioFile m_file;
    SwrPtr m_resampler;
    AVChannelLayout m_inLayout{};
    AvPacketPtr m_packet;
    AvFramePtr m_frame;
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
