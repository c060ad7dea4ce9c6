#include "playback/audioEngine.h"

#include "playback/fftUnit.h"
#include "playback/pcm16.h"
#include "playback/streamSource.h"

#include <SDL.h>
#include <alsa/asoundlib.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr int kMaxChannels = 32;
constexpr int kMaxDspUnits = 16;
constexpr int kDspSlotBits = 5;
constexpr int kSpectrumSlot = 0;
constexpr int kHistogramBuckets = 4000;
constexpr qint64 kHistogramBucketNs = 5000;
// How long closing a stream waits for the mixer to leave the block it is in.
constexpr auto kMixerPassTimeout = std::chrono::milliseconds(500);

// The SDL audio subsystem, initialised for the engine's lifetime.
class SdlAudioSubsystem {
public:
    SdlAudioSubsystem() : m_ok(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}
    ~SdlAudioSubsystem()
    {
        if (m_ok)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SdlAudioSubsystem(const SdlAudioSubsystem &) = delete;
    SdlAudioSubsystem &operator=(const SdlAudioSubsystem &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

void ignoreAlsaError(const char *, int, const char *, int, const char *, ...) {}

// An open SDL output device; closing it waits for the callback to return.
class SdlAudioDevice {
public:
    explicit SdlAudioDevice(SDL_AudioDeviceID id) : m_id(id) {}
    ~SdlAudioDevice()
    {
        if (m_id)
            SDL_CloseAudioDevice(m_id);
    }
    SdlAudioDevice(const SdlAudioDevice &) = delete;
    SdlAudioDevice &operator=(const SdlAudioDevice &) = delete;
    SDL_AudioDeviceID id() const { return m_id; }

private:
    SDL_AudioDeviceID m_id;
};

// A mixer channel. The GUI thread attaches and detaches the source and sets
// volume and pause; the mixer reads them and owns gain. Whether the source
// has played out is asked of the source itself, so a seek revives it.
struct Channel {
    std::atomic<StreamSource *> source{nullptr};
    // The source that takes over the channel when source has played out.
    // The mixer moves it into source (and clears it); the GUI thread sets and
    // clears it.
    std::atomic<StreamSource *> next{nullptr};
    std::atomic<int> volume{255};
    std::atomic<bool> paused{false};
    // Set on attach: the first block takes the volume without a ramp.
    std::atomic<bool> fresh{false};
    float gain = 0;
};

// A DSP unit slot. The GUI thread fills a free slot and then publishes its
// handle; the mixer only reads. A freed slot is reused only after the mixer
// has left the block it was in.
struct DspSlot {
    std::atomic<EngineDsp> handle{0};
    std::atomic<EngineDspCallback> callback{nullptr};
    std::atomic<void *> userData{nullptr};
    std::atomic<int> priority{0};
    std::atomic<quint64> order{0};
    std::atomic<bool> active{false};
};

struct StreamEntry {
    std::unique_ptr<StreamSource> source;
    int channel = -1;
};

void *spectrumUnitCallback(void *, void *newBuffer, int length, void *userData)
{
    static_cast<FftUnit *>(userData)->take(static_cast<const qint16 *>(newBuffer), length);
    return newBuffer;
}

} // namespace

struct AudioEngine::Private {
    AudioEngineOptions options;
    bool open = false;
    int channelCount = kMaxChannels;
    std::unique_ptr<SdlAudioSubsystem> sdl;
    std::unique_ptr<SdlAudioDevice> device;

    std::array<Channel, kMaxChannels> channels;
    // GUI thread only.
    std::map<EngineStream, StreamEntry> streams;
    EngineStream nextStream = 1;
    // Sources the mixer might still have held when they were closed (it did
    // not leave its block in time); freed once the device is closed.
    std::vector<std::unique_ptr<StreamSource>> graveyard;

    std::array<DspSlot, kMaxDspUnits> dsps;
    quint32 nextDspSerial = 1;
    quint64 nextDspOrder = 1;
    std::unique_ptr<FftUnit> spectrum;

    // Mixer-owned scratch, sized at init.
    std::vector<float> mix;
    std::vector<qint16> original;
    std::vector<qint16> work;

    // Odd while the mixer is inside a block.
    std::atomic<quint64> epoch{0};

    std::array<std::atomic<quint32>, kHistogramBuckets> histogram{};
    std::atomic<qint64> blocks{0};
    std::atomic<qint64> worstNs{0};
    std::atomic<qint64> underruns{0};

    static void sdlCallback(void *userData, Uint8 *stream, int length);
    // The last block of a device buffer (or of a pump) also publishes the spectrum.
    void mixBlock(int frames, qint16 *out, bool last);
    template <bool Add> void mixRun(const float *frames, int count, int offset, float start, float step);
    void runDspChain(int frames);
    bool waitForMixerPass() const;
    StreamEntry *entry(EngineStream stream);
    Channel *channel(int index);
    DspSlot *dsp(EngineDsp unit);
    void detach(StreamEntry &entry);
    void release(std::unique_ptr<StreamSource> source);
};

void AudioEngine::Private::sdlCallback(void *userData, Uint8 *stream, int length)
{
    auto *d = static_cast<Private *>(userData);
    auto *out = reinterpret_cast<qint16 *>(stream);
    int frames = length / int(2 * sizeof(qint16));
    while (frames > 0) {
        const int block = std::min(frames, d->options.blockFrames);
        d->mixBlock(block, out, block == frames);
        out += block * 2;
        frames -= block;
    }
}

void AudioEngine::Private::mixBlock(int frames, qint16 *out, bool last)
{
    epoch.fetch_add(1);
    const auto started = std::chrono::steady_clock::now();
    const std::size_t samples = std::size_t(frames) * 2;
    // The first channel mixed writes the block rather than adding to zeros.
    bool written = false;
    for (int index = 0; index < channelCount; ++index) {
        Channel &ch = channels[index];
        StreamSource *source = ch.source.load();
        if (!source)
            continue;
        const float target = float(ch.volume.load(std::memory_order_relaxed)) / 255.0f;
        if (ch.fresh.exchange(false, std::memory_order_acq_rel))
            ch.gain = target;
        if (ch.paused.load(std::memory_order_relaxed))
            continue;
        const float start = ch.gain;
        const float step = (target - start) / float(frames);
        std::size_t done = 0;
        for (;;) {
            const StreamSource::PullResult pulled = source->pull(std::size_t(frames) - done);
            // The stream's own gain scales the volume ramp.
            const float gain = source->gain();
            const float from = start * gain;
            const float by = step * gain;
            const int at = int(done);
            if (written) {
                mixRun<true>(pulled.runs.first, int(pulled.runs.firstFrames), at, from, by);
                mixRun<true>(pulled.runs.second, int(pulled.runs.secondFrames), at + int(pulled.runs.firstFrames), from, by);
            } else {
                mixRun<false>(pulled.runs.first, int(pulled.runs.firstFrames), at, from, by);
                mixRun<false>(pulled.runs.second, int(pulled.runs.secondFrames), at + int(pulled.runs.firstFrames), from, by);
                std::fill(mix.begin() + std::ptrdiff_t((done + pulled.frames) * 2), mix.begin() + std::ptrdiff_t(samples),
                          0.0f);
                written = true;
            }
            source->release(pulled.frames);
            done += pulled.frames;
            if (pulled.underrun)
                underruns.fetch_add(1, std::memory_order_relaxed);
            // A successor goes on from the sample after the last, in this block.
            if (!pulled.ended || done >= std::size_t(frames))
                break;
            StreamSource *following = ch.next.load();
            if (!following || !ch.next.compare_exchange_strong(following, nullptr))
                break;
            StreamSource *ending = source;
            if (!ch.source.compare_exchange_strong(ending, following))
                break;
            source = following;
        }
        ch.gain = target;
    }
    if (!written)
        std::fill_n(mix.begin(), samples, 0.0f);
    FloatToPcm16(mix.data(), original.data(), samples);
    std::memcpy(work.data(), original.data(), samples * sizeof(qint16));
    runDspChain(frames);
    if (last)
        spectrum->publish();
    if (out)
        std::memcpy(out, work.data(), samples * sizeof(qint16));

    const qint64 ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started).count();
    histogram[std::size_t(std::min<qint64>(ns / kHistogramBucketNs, kHistogramBuckets - 1))].fetch_add(
        1, std::memory_order_relaxed);
    blocks.fetch_add(1, std::memory_order_relaxed);
    if (ns > worstNs.load(std::memory_order_relaxed))
        worstNs.store(ns, std::memory_order_relaxed);
    epoch.fetch_add(1);
}

// Adds (or, for the block's first channel, writes) frames of a channel,
// starting at frame offset of the block, with the gain ramping linearly from
// start by step per frame. The frame counter is an int because a 64-bit
// integer to float conversion keeps the loop from vectorising.
template <bool Add>
void AudioEngine::Private::mixRun(const float *frames, int count, int offset, float start, float step)
{
    float *to = mix.data() + std::size_t(offset) * 2;
    const auto put = [](float &into, float value) {
        if constexpr (Add)
            into += value;
        else
            into = value;
    };
    if (step == 0) {
        // Most blocks leave the volume as it is: a plain scaled copy, which
        // needs none of the ramp's per-frame work.
        for (int i = 0; i < count * 2; ++i)
            put(to[i], frames[i] * start);
        return;
    }
    for (int i = 0; i < count; ++i) {
        const float gain = start + step * float(offset + i + 1);
        put(to[i * 2], frames[i * 2] * gain);
        put(to[i * 2 + 1], frames[i * 2 + 1] * gain);
    }
}

void AudioEngine::Private::runDspChain(int frames)
{
    struct Unit {
        int priority;
        quint64 order;
        EngineDspCallback callback;
        void *userData;
    };
    std::array<Unit, kMaxDspUnits> units;
    int count = 0;
    for (DspSlot &slot : dsps) {
        if (!slot.handle.load() || !slot.active.load())
            continue;
        Unit unit{slot.priority.load(std::memory_order_relaxed), slot.order.load(std::memory_order_relaxed),
                  slot.callback.load(std::memory_order_relaxed), slot.userData.load(std::memory_order_relaxed)};
        int at = count++;
        while (at > 0 && std::tie(units[at - 1].priority, units[at - 1].order) > std::tie(unit.priority, unit.order)) {
            units[at] = units[at - 1];
            --at;
        }
        units[at] = unit;
    }
    void *buffer = work.data();
    for (int i = 0; i < count; ++i) {
        void *passed = units[i].callback(original.data(), buffer, frames, units[i].userData);
        if (passed && passed != buffer)
            std::memcpy(work.data(), passed, std::size_t(frames) * 2 * sizeof(qint16));
    }
}

bool AudioEngine::Private::waitForMixerPass() const
{
    if (!device)
        return true;
    const quint64 seen = epoch.load();
    if ((seen & 1) == 0)
        return true;
    const auto deadline = std::chrono::steady_clock::now() + kMixerPassTimeout;
    while (epoch.load() == seen) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

StreamEntry *AudioEngine::Private::entry(EngineStream stream)
{
    const auto it = streams.find(stream);
    return it == streams.end() ? nullptr : &it->second;
}

Channel *AudioEngine::Private::channel(int index)
{
    return index >= 0 && index < channelCount ? &channels[index] : nullptr;
}

DspSlot *AudioEngine::Private::dsp(EngineDsp unit)
{
    if (unit == 0)
        return nullptr;
    const int index = int(unit & ((1u << kDspSlotBits) - 1)) - 1;
    if (index < 0 || index >= kMaxDspUnits || dsps[index].handle.load() != unit)
        return nullptr;
    return &dsps[index];
}

// Takes the stream off its channel, as the channel's source or as the one
// waiting to follow it. The mixer may have moved a waiting stream into the
// channel in the block it was in: once it has left that block, the stream is
// taken off again.
void AudioEngine::Private::detach(StreamEntry &stream)
{
    if (stream.channel < 0)
        return;
    Channel &ch = channels[stream.channel];
    StreamSource *mine = stream.source.get();
    StreamSource *expected = mine;
    ch.next.compare_exchange_strong(expected, nullptr);
    expected = mine;
    ch.source.compare_exchange_strong(expected, nullptr);
    stream.channel = -1;
    waitForMixerPass();
    expected = mine;
    if (ch.source.compare_exchange_strong(expected, nullptr))
        waitForMixerPass();
}

void AudioEngine::Private::release(std::unique_ptr<StreamSource> source)
{
    if (!waitForMixerPass())
        graveyard.push_back(std::move(source));
}

AudioEngine::AudioEngine() : d(std::make_unique<Private>()) {}

AudioEngine::~AudioEngine()
{
    close();
}

bool AudioEngine::init(const AudioEngineOptions &options, QString *errorText)
{
    close();
    d->options = options;
    d->options.blockFrames = std::max(options.blockFrames, 16);
    d->options.bufferBlocks = std::max(options.bufferBlocks, 1);
    d->options.mixRate = std::max(options.mixRate, 8000);
    d->channelCount = std::clamp(options.maxChannels, 1, kMaxChannels);
    const std::size_t samples = std::size_t(d->options.blockFrames) * 2;
    d->mix.assign(samples, 0.0f);
    d->original.assign(samples, 0);
    d->work.assign(samples, 0);
    av_log_set_level(AV_LOG_FATAL);

    d->spectrum = std::make_unique<FftUnit>();
    DspSlot &spectrumSlot = d->dsps[kSpectrumSlot];
    spectrumSlot.callback.store(&spectrumUnitCallback);
    spectrumSlot.userData.store(d->spectrum.get());
    spectrumSlot.priority.store(kSpectrumPriority);
    spectrumSlot.order.store(0);
    spectrumSlot.active.store(false);
    spectrumSlot.handle.store((d->nextDspSerial++ << kDspSlotBits) | (kSpectrumSlot + 1));

    if (!d->options.manualPump) {
        // The program handles its own signals; SDL must not swallow SIGINT and SIGTERM.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        d->sdl = std::make_unique<SdlAudioSubsystem>();
        if (!d->sdl->ok()) {
            if (errorText)
                *errorText = QStringLiteral("The sound system could not be started: %1").arg(QString::fromUtf8(SDL_GetError()));
            close();
            return false;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = d->options.mixRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = Uint16(std::min(d->options.blockFrames * d->options.bufferBlocks, 32768));
        wanted.callback = &Private::sdlCallback;
        wanted.userdata = d.get();
        SDL_AudioSpec obtained{};
        const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (id == 0) {
            if (errorText)
                *errorText = QStringLiteral("No sound output could be opened: %1").arg(QString::fromUtf8(SDL_GetError()));
            close();
            return false;
        }
        d->device = std::make_unique<SdlAudioDevice>(id);
        SDL_PauseAudioDevice(id, 0);
    }
    d->open = true;
    return true;
}

bool AudioEngine::reopen(QString *errorText)
{
    if (d->open)
        return true;
    // The handler is the library's one global. It is set while the engine
    // has no device, so no audio thread of SDL's reads it; an open device's
    // thread may read it at any time, so after a success it stays as it is.
    snd_lib_error_set_handler(&ignoreAlsaError);
    const AudioEngineOptions options = d->options;
    if (init(options, errorText))
        return true;
    snd_lib_error_set_handler(nullptr);
    return false;
}

void AudioEngine::close()
{
    // Closing the device waits for a running callback; after that nothing mixes.
    d->device.reset();
    for (Channel &ch : d->channels) {
        ch.source.store(nullptr);
        ch.next.store(nullptr);
        ch.paused.store(false);
    }
    d->streams.clear();
    d->graveyard.clear();
    for (DspSlot &slot : d->dsps) {
        slot.handle.store(0);
        slot.active.store(false);
    }
    d->spectrum.reset();
    d->sdl.reset();
    d->open = false;
}

bool AudioEngine::isOpen() const
{
    return d->open;
}

EngineStream AudioEngine::streamOpen(const QString &fileName)
{
    if (!d->open)
        return 0;
    std::unique_ptr<StreamSource> source = StreamSource::open(
        fileName, d->options.mixRate, !d->options.manualPump,
        std::size_t(d->options.blockFrames) * std::size_t(d->options.bufferBlocks));
    if (!source)
        return 0;
    EngineStream handle = d->nextStream++;
    if (handle == 0)
        handle = d->nextStream++;
    d->streams[handle].source = std::move(source);
    return handle;
}

EngineStreamState AudioEngine::streamState(EngineStream stream) const
{
    const StreamEntry *e = d->entry(stream);
    if (!e)
        return EngineStreamState::None;
    switch (e->source->openState()) {
    case StreamSource::OpenState::Opening:
        return EngineStreamState::Opening;
    case StreamSource::OpenState::Ready:
        return EngineStreamState::Ready;
    case StreamSource::OpenState::Failed:
        break;
    }
    return EngineStreamState::Failed;
}

EngineStream AudioEngine::streamOpenAfter(const QString &fileName, EngineStream previous)
{
    StreamEntry *before = d->entry(previous);
    if (!d->open || !before)
        return streamOpen(fileName);
    std::unique_ptr<StreamSource> source = StreamSource::open(
        fileName, d->options.mixRate, !d->options.manualPump,
        std::size_t(d->options.blockFrames) * std::size_t(d->options.bufferBlocks), before->source->handover());
    if (!source)
        return 0;
    EngineStream handle = d->nextStream++;
    if (handle == 0)
        handle = d->nextStream++;
    StreamEntry &entry = d->streams[handle];
    entry.source = std::move(source);
    if (before->channel >= 0) {
        Channel &ch = d->channels[before->channel];
        StreamSource *waiting = ch.next.exchange(entry.source.get());
        // A stream that waited to follow before is left off the channel.
        for (auto &[other, otherEntry] : d->streams) {
            if (otherEntry.source.get() == waiting && other != handle)
                otherEntry.channel = -1;
        }
        entry.channel = before->channel;
    }
    return handle;
}

int AudioEngine::streamChannel(EngineStream stream) const
{
    const StreamEntry *e = d->entry(stream);
    return e ? e->channel : -1;
}

bool AudioEngine::streamPassOn(EngineStream stream)
{
    StreamEntry *e = d->entry(stream);
    if (!e)
        return false;
    if (e->channel >= 0) {
        Channel &ch = d->channels[e->channel];
        StreamSource *ending = e->source.get();
        StreamSource *following = ch.next.load();
        if (following && ch.source.load() == ending && ch.next.compare_exchange_strong(following, nullptr)
            && !ch.source.compare_exchange_strong(ending, following))
            ch.next.store(following);
    }
    return streamClose(stream);
}

bool AudioEngine::streamSetGain(EngineStream stream, float gain)
{
    StreamEntry *e = d->entry(stream);
    if (!e)
        return false;
    e->source->setGain(std::max(gain, 0.0f));
    return true;
}

qint64 AudioEngine::streamLengthMs(EngineStream stream) const
{
    const StreamEntry *e = d->entry(stream);
    return e ? e->source->lengthMs() : 0;
}

int AudioEngine::streamPlay(EngineStream stream)
{
    return streamPlay(stream, 255);
}

int AudioEngine::streamPlay(EngineStream stream, int volume)
{
    StreamEntry *e = d->entry(stream);
    if (!e)
        return -1;
    if (e->channel >= 0)
        return e->channel;
    for (int index = 0; index < d->channelCount; ++index) {
        Channel &ch = d->channels[index];
        if (ch.source.load())
            continue;
        ch.volume.store(std::clamp(volume, 0, 255));
        ch.paused.store(false);
        ch.fresh.store(true);
        ch.source.store(e->source.get());
        e->channel = index;
        return index;
    }
    return -1;
}

qint64 AudioEngine::streamTimeMs(EngineStream stream) const
{
    const StreamEntry *e = d->entry(stream);
    return e ? e->source->positionMs() : 0;
}

bool AudioEngine::streamEnded(EngineStream stream) const
{
    const StreamEntry *e = d->entry(stream);
    return e && e->source->playedOut();
}

bool AudioEngine::streamSetTimeMs(EngineStream stream, qint64 ms)
{
    StreamEntry *e = d->entry(stream);
    if (!e)
        return false;
    const qint64 length = e->source->lengthMs();
    e->source->requestSeek(length > 0 ? std::clamp<qint64>(ms, 0, length) : std::max<qint64>(ms, 0));
    return true;
}

bool AudioEngine::streamStop(EngineStream stream)
{
    StreamEntry *e = d->entry(stream);
    if (!e)
        return false;
    d->detach(*e);
    return true;
}

bool AudioEngine::streamClose(EngineStream stream)
{
    const auto it = d->streams.find(stream);
    if (it == d->streams.end())
        return false;
    d->detach(it->second);
    std::unique_ptr<StreamSource> source = std::move(it->second.source);
    d->streams.erase(it);
    d->release(std::move(source));
    return true;
}

bool AudioEngine::isPlaying(int channel) const
{
    const Channel *ch = d->channel(channel);
    const StreamSource *source = ch ? ch->source.load() : nullptr;
    return source && !source->playedOut();
}

bool AudioEngine::setVolume(int channel, int volume)
{
    Channel *ch = d->channel(channel);
    if (!ch || !ch->source.load())
        return false;
    ch->volume.store(std::clamp(volume, 0, 255));
    return true;
}

int AudioEngine::volume(int channel) const
{
    const Channel *ch = d->channel(channel);
    return ch && ch->source.load() ? ch->volume.load() : 0;
}

bool AudioEngine::setPaused(int channel, bool paused)
{
    Channel *ch = d->channel(channel);
    if (!ch || !ch->source.load())
        return false;
    ch->paused.store(paused);
    return true;
}

bool AudioEngine::paused(int channel) const
{
    const Channel *ch = d->channel(channel);
    return ch && ch->source.load() && ch->paused.load();
}

EngineDsp AudioEngine::fftUnit() const
{
    return d->open ? d->dsps[kSpectrumSlot].handle.load() : 0;
}

EngineDsp AudioEngine::dspCreate(EngineDspCallback callback, int priority, void *userData)
{
    if (!d->open || !callback)
        return 0;
    for (int index = 0; index < kMaxDspUnits; ++index) {
        DspSlot &slot = d->dsps[index];
        if (index == kSpectrumSlot || slot.handle.load())
            continue;
        slot.callback.store(callback);
        slot.userData.store(userData);
        slot.priority.store(priority);
        slot.order.store(d->nextDspOrder++);
        slot.active.store(false);
        const EngineDsp handle = (d->nextDspSerial++ << kDspSlotBits) | EngineDsp(index + 1);
        slot.handle.store(handle);
        return handle;
    }
    return 0;
}

bool AudioEngine::dspSetActive(EngineDsp unit, bool active)
{
    DspSlot *slot = d->dsp(unit);
    if (!slot)
        return false;
    slot->active.store(active);
    return true;
}

void AudioEngine::dspFree(EngineDsp unit)
{
    DspSlot *slot = d->dsp(unit);
    if (!slot || slot == &d->dsps[kSpectrumSlot])
        return;
    slot->active.store(false);
    slot->handle.store(0);
    d->waitForMixerPass();
}

std::array<float, AudioEngine::kSpectrumSize> AudioEngine::spectrum() const
{
    if (!d->open || !d->spectrum || !d->dsps[kSpectrumSlot].active.load())
        return {};
    return d->spectrum->snapshot();
}

int AudioEngine::dspBufferLength() const
{
    return d->open ? d->options.blockFrames : 0;
}

int AudioEngine::dspBufferLengthTotal() const
{
    return d->open ? d->options.blockFrames * d->options.bufferBlocks : 0;
}

void AudioEngine::pump(int frames, qint16 *out)
{
    if (!d->open || !d->options.manualPump)
        return;
    while (frames > 0) {
        const int block = std::min(frames, d->options.blockFrames);
        for (int index = 0; index < d->channelCount; ++index) {
            Channel &ch = d->channels[index];
            StreamSource *source = ch.source.load();
            if (source && !ch.paused.load()) {
                source->fill(std::size_t(block));
                // A successor is ready before its predecessor ends.
                if (StreamSource *following = ch.next.load())
                    following->fill(std::size_t(block));
            }
        }
        d->mixBlock(block, out, block == frames);
        if (out)
            out += block * 2;
        frames -= block;
    }
}

AudioEngine::MixStats AudioEngine::mixStats() const
{
    MixStats stats;
    stats.blocks = d->blocks.load();
    stats.worstMs = double(d->worstNs.load()) / 1e6;
    stats.underruns = d->underruns.load();
    const qint64 wanted = (stats.blocks * 99 + 99) / 100;
    qint64 seen = 0;
    for (int bucket = 0; bucket < kHistogramBuckets && stats.blocks > 0; ++bucket) {
        seen += d->histogram[bucket].load(std::memory_order_relaxed);
        if (seen >= wanted) {
            stats.p99Ms = double((bucket + 1) * kHistogramBucketNs) / 1e6;
            break;
        }
    }
    return stats;
}

void AudioEngine::resetMixStats()
{
    for (auto &bucket : d->histogram)
        bucket.store(0, std::memory_order_relaxed);
    d->blocks.store(0);
    d->worstNs.store(0);
    d->underruns.store(0);
}
