#include "playback/streamSource.h"

#include "playback/mixResampler.h"

#include <chrono>
#include <cstring>

namespace {

constexpr int kRingSeconds = 2;
// A decoder with a full ring (or at the end of its file) rests until the
// mixer has had time to take a quarter of the ring: it wakes a few times a
// second rather than a hundred and refills in bursts, and the ring still
// holds about three quarters of its length when it does. A seek, or closing
// the stream, wakes it at once.
constexpr int kRingRestDivisor = 4;
const AVChannelLayout kStereo = AV_CHANNEL_LAYOUT_STEREO;

} // namespace

StreamSource::StreamSource(int mixRate, bool threaded)
    : m_mixRate(mixRate), m_threaded(threaded), m_ring(std::size_t(mixRate) * kRingSeconds)
{
}

std::unique_ptr<StreamSource> StreamSource::open(const QString &fileName, int mixRate, bool threaded,
                                                 std::size_t primeFrames, std::shared_ptr<TresamplerHandover> follows)
{
    std::unique_ptr<StreamSource> source(new StreamSource(mixRate, threaded));
    if (follows) {
        std::lock_guard lock(follows->mutex);
        ++follows->successors;
        source->m_handoverIn = std::move(follows);
    }
    if (threaded) {
        source->m_thread = std::thread(
            [raw = source.get(), fileName, primeFrames] { raw->openAndDecode(fileName, primeFrames); });
        return source;
    }
    if (!source->openFile(fileName) || (!source->m_handoverIn && !source->prime(1)))
        return nullptr;
    source->m_openState.store(OpenState::Ready, std::memory_order_release);
    return source;
}

StreamSource::~StreamSource()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_wakeMutex);
            m_quit.store(true);
        }
        m_wake.notify_all();
        if (m_handoverIn) {
            // A thread waiting for the source it follows wakes to leave.
            std::lock_guard lock(m_handoverIn->mutex);
            m_handoverIn->decided.notify_all();
        }
        m_thread.join();
    }
    if (m_handoverIn) {
        std::lock_guard lock(m_handoverIn->mutex);
        --m_handoverIn->successors;
    }
    {
        // A successor still waiting goes on with a resampler of its own.
        std::lock_guard lock(m_handoverOut->mutex);
        if (m_handoverOut->state == TresamplerHandover::Waiting)
            m_handoverOut->state = TresamplerHandover::Declined;
        m_handoverOut->decided.notify_all();
    }
    av_channel_layout_uninit(&m_inLayout);
}

void StreamSource::openAndDecode(const QString &fileName, std::size_t primeFrames)
{
    // A stream is often played the moment it is ready: its first frames are
    // decoded before it says so.
    const bool opened = openFile(fileName) && (!m_handoverIn || takeHandover())
        && prime(std::max<std::size_t>(std::min(primeFrames, m_ring.capacity()), 1));
    m_openState.store(opened ? OpenState::Ready : OpenState::Failed, std::memory_order_release);
    if (opened)
        decoderLoop();
}

bool StreamSource::prime(std::size_t frames)
{
    fill(frames);
    return m_ring.writePosition() > 0 || m_pendingFrames > m_pendingOffset;
}

bool StreamSource::openFile(const QString &fileName)
{
    if (!OpenAudioFile(fileName, m_quit, m_file))
        return false;
    const AVCodecContext *codec = m_file.codec.get();
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&m_inLayout, codec->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&m_inLayout, &codec->ch_layout) < 0)
        return false;
    m_resampler = openResampler();
    if (!m_resampler)
        return false;

    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_packet || !m_frame)
        return false;
    m_lengthMs.store(m_file.lengthMs, std::memory_order_relaxed);
    return true;
}

SwrPtr StreamSource::openResampler() const
{
    return OpenMixResampler(m_inLayout, m_file.codec->sample_fmt, m_file.codec->sample_rate, m_mixRate);
}

bool StreamSource::takeHandover()
{
    TresamplerHandover &handover = *m_handoverIn;
    std::unique_lock lock(handover.mutex);
    if (m_threaded)
        handover.decided.wait(lock, [&] { return handover.state != TresamplerHandover::Waiting || m_quit.load(); });
    if (handover.state == TresamplerHandover::Waiting)
        return false;
    if (handover.state == TresamplerHandover::Given && handover.resampler) {
        SwrPtr given = std::move(handover.resampler);
        const AVCodecContext *codec = m_file.codec.get();
        if (handover.rate == codec->sample_rate && handover.format == codec->sample_fmt
            && av_channel_layout_compare(&handover.layout, &m_inLayout) == 0) {
            m_resampler = std::move(given);
        } else {
            // Another format: the last frames of the source before, which it
            // holds yet, come out first; this source's own resampler goes on.
            std::swap(m_resampler, given);
            convertFrame(nullptr);
            std::swap(m_resampler, given);
        }
    }
    m_handoverTaken = true;
    return true;
}

bool StreamSource::giveHandover()
{
    TresamplerHandover &handover = *m_handoverOut;
    std::lock_guard lock(handover.mutex);
    if (handover.state != TresamplerHandover::Waiting)
        return false;
    if (handover.successors == 0) {
        handover.state = TresamplerHandover::Declined;
        handover.decided.notify_all();
        return false;
    }
    handover.resampler = std::move(m_resampler);
    handover.rate = m_file.codec->sample_rate;
    handover.format = m_file.codec->sample_fmt;
    av_channel_layout_uninit(&handover.layout);
    av_channel_layout_copy(&handover.layout, &m_inLayout);
    handover.state = TresamplerHandover::Given;
    handover.decided.notify_all();
    return true;
}

void StreamSource::requestSeek(qint64 ms)
{
    m_seekTargetMs.store(std::max<qint64>(ms, 0));
    {
        std::lock_guard lock(m_wakeMutex);
        m_requestedGeneration.fetch_add(1, std::memory_order_release);
    }
    m_wake.notify_all();
}

qint64 StreamSource::positionMs() const
{
    const std::uint64_t requested = m_requestedGeneration.load(std::memory_order_acquire);
    if (requested != m_consumedGeneration.load(std::memory_order_acquire))
        return m_seekTargetMs.load();
    return m_positionFrames.load(std::memory_order_relaxed) * 1000 / m_mixRate;
}

bool StreamSource::playedOut() const
{
    const OpenState state = openState();
    if (state != OpenState::Ready)
        return state == OpenState::Failed;
    const std::uint64_t consumed = m_consumedGeneration.load(std::memory_order_acquire);
    return m_requestedGeneration.load(std::memory_order_acquire) == consumed
        && m_finishedGeneration.load(std::memory_order_acquire) == consumed && m_ring.availableFrames() == 0;
}

void StreamSource::decoderLoop()
{
    while (!m_quit.load()) {
        if (decodeStep())
            continue;
        std::unique_lock lock(m_wakeMutex);
        const auto rest = std::chrono::milliseconds(qint64(m_ring.capacity()) * 1000 / m_mixRate / kRingRestDivisor);
        m_wake.wait_for(lock, rest, [this] {
            return m_quit.load() || m_requestedGeneration.load() != m_handledGeneration;
        });
    }
}

void StreamSource::fill(std::size_t frames)
{
    for (;;) {
        // Frames before an unapplied flush will be dropped by the mixer, so they do not count.
        const std::uint64_t from = std::max(m_ring.readPosition(), m_flushPosition.load(std::memory_order_relaxed));
        const bool seekPending = m_requestedGeneration.load() != m_handledGeneration;
        if (!seekPending && m_ring.writePosition() - from >= frames)
            return;
        if (!decodeStep())
            return;
    }
}

bool StreamSource::decodeStep()
{
    const std::uint64_t requested = m_requestedGeneration.load(std::memory_order_acquire);
    if (requested != m_handledGeneration) {
        handleSeek(requested);
        return true;
    }
    if (m_handoverIn && !m_handoverTaken && !takeHandover())
        return false;
    if (!flushPending())
        return false;
    if (m_inputDone) {
        if (m_finishedGeneration.load(std::memory_order_relaxed) != m_handledGeneration)
            m_finishedGeneration.store(m_handledGeneration, std::memory_order_release);
        return false;
    }
    if (!decodePacket()) {
        drain();
        m_inputDone = true;
    }
    return true;
}

bool StreamSource::flushPending()
{
    if (m_pendingOffset < m_pendingFrames) {
        m_pendingOffset += m_ring.write(m_pending.data() + m_pendingOffset * 2, m_pendingFrames - m_pendingOffset);
        if (m_pendingOffset < m_pendingFrames)
            return false;
    }
    m_pendingFrames = 0;
    m_pendingOffset = 0;
    return true;
}

void StreamSource::handleSeek(std::uint64_t generation)
{
    const qint64 targetMs = m_seekTargetMs.load();
    const AVStream *stream = m_file.stream();
    qint64 timestamp = av_rescale_q(targetMs, AVRational{1, 1000}, stream->time_base);
    if (stream->start_time != AV_NOPTS_VALUE)
        timestamp += stream->start_time;
    m_file.input->RestartCount();
    av_seek_frame(m_file.format.get(), m_file.streamIndex, timestamp, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(m_file.codec.get());
    // A resampler given to a successor is made anew.
    if (m_resampler)
        swr_init(m_resampler.get());
    else
        m_resampler = openResampler();
    m_pendingFrames = 0;
    m_pendingOffset = 0;
    m_inputDone = false;
    m_seekTargetFrames = targetMs * m_mixRate / 1000;
    m_measureSkip = true;
    m_skipFrames = 0;
    m_handledGeneration = generation;

    const std::uint32_t sequence = m_flushSequence.load(std::memory_order_relaxed);
    m_flushSequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    m_flushGeneration.store(generation, std::memory_order_relaxed);
    m_flushPosition.store(m_ring.writePosition(), std::memory_order_relaxed);
    m_flushBaseFrames.store(m_seekTargetFrames, std::memory_order_relaxed);
    m_flushSequence.store(sequence + 2, std::memory_order_release);
}

bool StreamSource::decodePacket()
{
    if (av_read_frame(m_file.format.get(), m_packet.get()) < 0)
        return false;
    if (m_packet->stream_index == m_file.streamIndex && avcodec_send_packet(m_file.codec.get(), m_packet.get()) >= 0) {
        while (avcodec_receive_frame(m_file.codec.get(), m_frame.get()) >= 0) {
            m_file.input->RestartCount();
            convertFrame(m_frame.get());
            av_frame_unref(m_frame.get());
        }
    }
    av_packet_unref(m_packet.get());
    return true;
}

void StreamSource::drain()
{
    if (avcodec_send_packet(m_file.codec.get(), nullptr) >= 0) {
        while (avcodec_receive_frame(m_file.codec.get(), m_frame.get()) >= 0) {
            convertFrame(m_frame.get());
            av_frame_unref(m_frame.get());
        }
    }
    // A successor that follows without a gap takes the last samples the
    // resampler holds; else they come out here.
    if (!giveHandover())
        convertFrame(nullptr);
}

void StreamSource::convertFrame(const AVFrame *frame)
{
    const int inFrames = frame ? frame->nb_samples : 0;
    if (frame && m_measureSkip && frame->best_effort_timestamp != AV_NOPTS_VALUE) {
        const AVStream *stream = m_file.stream();
        qint64 pts = frame->best_effort_timestamp;
        if (stream->start_time != AV_NOPTS_VALUE)
            pts -= stream->start_time;
        const qint64 startFrames = av_rescale_q(pts, stream->time_base, AVRational{1, m_mixRate});
        m_skipFrames = std::max<qint64>(m_seekTargetFrames - startFrames, 0);
        m_measureSkip = false;
    }
    if (frame && (frame->format == AV_SAMPLE_FMT_FLTP || frame->format == AV_SAMPLE_FMT_FLT)
        && frame->sample_rate == m_mixRate && av_channel_layout_compare(&frame->ch_layout, &kStereo) == 0) {
        takeFrame(frame);
        return;
    }
    const int room = swr_get_out_samples(m_resampler.get(), inFrames);
    if (room <= 0)
        return;
    // Straight into the ring when it has the room in one piece and no frames
    // wait before these; else into the pending buffer, which the ring takes later.
    std::size_t contiguous = 0;
    float *start = m_ring.writable(contiguous);
    const bool direct = m_pendingOffset == m_pendingFrames && m_skipFrames == 0 && contiguous >= std::size_t(room);
    if (!direct) {
        if (m_pending.size() < (m_pendingFrames + std::size_t(room)) * 2)
            m_pending.resize((m_pendingFrames + std::size_t(room)) * 2);
        start = m_pending.data() + m_pendingFrames * 2;
    }
    auto *out = reinterpret_cast<uint8_t *>(start);
    const int made = swr_convert(m_resampler.get(), &out, room,
                                 frame ? const_cast<const uint8_t **>(frame->extended_data) : nullptr, inFrames);
    if (made <= 0)
        return;
    if (direct) {
        m_ring.commit(std::size_t(made));
        return;
    }
    std::size_t kept = std::size_t(made);
    if (m_skipFrames > 0) {
        const std::size_t drop = std::size_t(std::min<qint64>(m_skipFrames, made));
        std::memmove(start, start + drop * 2, (kept - drop) * 2 * sizeof(float));
        kept -= drop;
        m_skipFrames -= qint64(drop);
    }
    m_pendingFrames += kept;
}

// A frame already in the mix format needs no resampler, which would only copy
// it: it goes straight into the ring, interleaved. What does not fit waits in
// the pending buffer, and so does all of it while frames wait there already.
void StreamSource::takeFrame(const AVFrame *frame)
{
    std::size_t first = 0;
    std::size_t count = std::size_t(frame->nb_samples);
    if (m_skipFrames > 0) {
        first = std::min(std::size_t(m_skipFrames), count);
        count -= first;
        m_skipFrames -= qint64(first);
    }
    const auto copy = [frame](float *to, std::size_t from, std::size_t frames) {
        if (frame->format == AV_SAMPLE_FMT_FLT) {
            std::memcpy(to, reinterpret_cast<const float *>(frame->extended_data[0]) + from * 2,
                        frames * 2 * sizeof(float));
            return;
        }
        const float *left = reinterpret_cast<const float *>(frame->extended_data[0]) + from;
        const float *right = reinterpret_cast<const float *>(frame->extended_data[1]) + from;
        for (std::size_t i = 0; i < frames; ++i) {
            to[i * 2] = left[i];
            to[i * 2 + 1] = right[i];
        }
    };
    std::size_t written = 0;
    if (m_pendingOffset == m_pendingFrames)
        written = m_ring.produce(count, [&](float *to, std::size_t n, std::size_t done) { copy(to, first + done, n); });
    if (written == count)
        return;
    const std::size_t rest = count - written;
    if (m_pending.size() < (m_pendingFrames + rest) * 2)
        m_pending.resize((m_pendingFrames + rest) * 2);
    copy(m_pending.data() + m_pendingFrames * 2, first + written, rest);
    m_pendingFrames += rest;
}

StreamSource::PullResult StreamSource::pull(std::size_t frames)
{
    PullResult result;
    if (m_openState.load(std::memory_order_acquire) != OpenState::Ready)
        return result;
    const std::uint32_t sequence = m_flushSequence.load(std::memory_order_acquire);
    if ((sequence & 1) == 0) {
        const std::uint64_t generation = m_flushGeneration.load(std::memory_order_relaxed);
        const std::uint64_t position = m_flushPosition.load(std::memory_order_relaxed);
        const qint64 base = m_flushBaseFrames.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (m_flushSequence.load(std::memory_order_relaxed) == sequence
            && generation != m_consumedGeneration.load(std::memory_order_relaxed)) {
            m_ring.skipTo(position);
            m_positionFrames.store(base, std::memory_order_relaxed);
            m_consumedGeneration.store(generation, std::memory_order_release);
        }
    }
    const std::uint64_t consumed = m_consumedGeneration.load(std::memory_order_relaxed);
    // A seek not yet answered by the decoder: stay silent rather than play stale frames.
    if (m_requestedGeneration.load(std::memory_order_acquire) != consumed)
        return result;
    const bool finished = m_finishedGeneration.load(std::memory_order_acquire) == consumed;
    result.runs = m_ring.peek(frames);
    result.frames = result.runs.firstFrames + result.runs.secondFrames;
    result.underrun = result.frames < frames && !finished;
    result.ended = result.frames < frames && finished;
    return result;
}

void StreamSource::release(std::size_t frames)
{
    m_ring.advance(frames);
    m_positionFrames.fetch_add(qint64(frames), std::memory_order_relaxed);
}
