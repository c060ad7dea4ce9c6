#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <memory>

// The project's own audio engine: one SDL2 output device at 44100 Hz stereo,
// a software mixer of up to 32 channels running in the audio callback, one
// FFmpeg decoding thread per open stream feeding a lock-free ring, and DSP
// units run on the mix in priority order.
//
// All entries are called on the GUI thread. The audio callback (or pump() in
// manual-pump mode) runs the mixer and the DSP units; it never blocks, never
// allocates and never waits on a lock the GUI thread can hold. Every entry is
// safe to call with a handle or channel that is closed or never existed: it
// then does nothing and returns the "none" value.

// Stream handle; 0 is none.
using EngineStream = quint32;

// How far a stream's file has got: with an output device, files are opened on
// the stream's own thread, so a stream starts out opening and turns ready
// (its first sound decoded) or failed (no file, or no sound in it). In
// manual-pump mode a stream is ready as soon as it exists.
enum class EngineStreamState { None, Opening, Ready, Failed };
// DSP unit handle; 0 is none.
using EngineDsp = quint32;

// A DSP unit's callback. Runs on the mixing thread with the unprocessed mix and
// the buffer passed down the chain (both interleaved signed 16-bit stereo),
// the block length in sample frames and the unit's user value; returns the
// buffer to pass on (normally newBuffer unchanged). Must not block or allocate.
using EngineDspCallback = void *(*)(void *originalBuffer, void *newBuffer, int length, void *userData);

struct AudioEngineOptions {
    // No output device: the mix runs only when pump() is called.
    bool manualPump = false;
    int mixRate = 44100;
    int maxChannels = 32;
    // Frames mixed per audio callback / DSP block.
    int blockFrames = 1024;
    // The device buffer in blocks: each audio callback mixes this many blocks.
    // dspBufferLengthTotal() reports blockFrames × bufferBlocks.
    int bufferBlocks = 4;
};

class AudioEngine {
public:
    static constexpr int kSpectrumSize = 512;
    static constexpr int kSpectrumPriority = 900;

    AudioEngine();
    ~AudioEngine();
    AudioEngine(const AudioEngine &) = delete;
    AudioEngine &operator=(const AudioEngine &) = delete;

    // Opens the output (or prepares manual-pump mode). False with the reason in
    // errorText when no sound output can be opened.
    bool init(const AudioEngineOptions &options, QString *errorText = nullptr);
    // After an init that found no sound output: tries again, with the same
    // options. ALSA's library, whose complaints (a dozen lines an attempt on
    // stderr) were heard at the first attempt, stays quiet meanwhile, and from
    // then on once the output has opened.
    bool reopen(QString *errorText = nullptr);
    // Stops every stream, closes the device. Safe to call twice.
    void close();
    bool isOpen() const;

    // --- streams ------------------------------------------------------------
    // In manual-pump mode 0 when the file cannot be opened or holds no sound;
    // with a device, a stream that is still opening (see streamState).
    EngineStream streamOpen(const QString &fileName);
    // Opens fileName to follow previous without a gap: on previous's channel,
    // it starts on the sample after previous's last, at that channel's
    // volume, within the block in which previous ends; and it resamples on
    // where previous left off. Without previous on a channel, a plain open.
    EngineStream streamOpenAfter(const QString &fileName, EngineStream previous);
    // The channel the stream plays on; a stream that follows another reports
    // that one's channel. -1 when none.
    int streamChannel(EngineStream stream) const;
    // Closes a stream that has played out, its successor taking over the
    // channel if the mixer has not passed it on already.
    bool streamPassOn(EngineStream stream);
    // A factor on the stream's sound, applied before the channel volume (the
    // fades) and the master volume; 1 leaves the sound as the file has it.
    bool streamSetGain(EngineStream stream, float gain);
    EngineStreamState streamState(EngineStream stream) const;
    // 0 while the stream is opening.
    qint64 streamLengthMs(EngineStream stream) const;
    // Starts the stream on a free channel, returns the channel or -1.
    int streamPlay(EngineStream stream);
    // The same, with the channel's volume set before its first mixed sample.
    int streamPlay(EngineStream stream, int volume);
    // Play position: what the mixer has consumed, in ms.
    qint64 streamTimeMs(EngineStream stream) const;
    // Whether the stream's decoder has reached the real end of the file and
    // the mixer has consumed all of it. A length taken from a header (a VBR
    // frame count, a cut file) can promise more than the file holds; this
    // cannot.
    bool streamEnded(EngineStream stream) const;
    bool streamSetTimeMs(EngineStream stream, qint64 ms);
    bool streamStop(EngineStream stream);
    bool streamClose(EngineStream stream);

    // --- channels -----------------------------------------------------------
    bool isPlaying(int channel) const;
    // Volume 0..255, reached by a short linear ramp over the next mixed block.
    bool setVolume(int channel, int volume);
    int volume(int channel) const;
    bool setPaused(int channel, bool paused);
    bool paused(int channel) const;

    // --- DSP ----------------------------------------------------------------
    // The built-in spectrum unit (priority 900), inactive until switched on.
    EngineDsp fftUnit() const;
    EngineDsp dspCreate(EngineDspCallback callback, int priority, void *userData);
    bool dspSetActive(EngineDsp unit, bool active);
    void dspFree(EngineDsp unit);
    // The latest 512 spectrum values in 0..1 (all 0 while the unit is off).
    std::array<float, kSpectrumSize> spectrum() const;
    // DSP block length and total buffering, in sample frames.
    int dspBufferLength() const;
    int dspBufferLengthTotal() const;

    // --- manual-pump mode ---------------------------------------------------
    // Mixes frames of output (interleaved stereo 16-bit into out when given).
    void pump(int frames, qint16 *out = nullptr);

    // --- diagnostics --------------------------------------------------------
    // Time the mixer took per block (all channels, DSP units included; not the
    // synchronous decoding of manual-pump mode), and the blocks in which a
    // playing stream's ring ran dry before its file had ended.
    struct MixStats {
        qint64 blocks = 0;
        double worstMs = 0;
        double p99Ms = 0;
        qint64 underruns = 0;
    };
    MixStats mixStats() const;
    void resetMixStats();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
