#include "playback/loudnessScan.h"

#include "playback/audioFile.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct EburCloser {
    void operator()(ebur128_state *state) const { ebur128_destroy(&state); }
};
using EburPtr = std::unique_ptr<ebur128_state, EburCloser>;

// How often the momentary loudness is taken for the ending, and how much of
// it is kept: a fade-out longer than this is as long as any fade.
constexpr int kMomentaryStepMs = 100;
constexpr int kEndingHistoryMs = 60000;
constexpr int kSilenceBlockMs = 10;

// Measures the frames it is given, in order.
class Meter {
public:
    Meter(ebur128_state *state, int channels, int rate)
        : m_state(state)
        , m_channels(channels)
        , m_rate(rate)
        , m_blockFrames(std::max(rate * kSilenceBlockMs / 1000, 1))
        , m_stepFrames(std::max<qint64>(qint64(rate) * kMomentaryStepMs / 1000, 1))
        , m_history(std::size_t(kEndingHistoryMs / kMomentaryStepMs))
    {
    }

    bool Add(const float *frames, qint64 count)
    {
        while (count > 0) {
            // Fed in pieces that end on the momentary steps.
            const qint64 piece = std::min(count, m_stepFrames - m_frames % m_stepFrames);
            if (ebur128_add_frames_float(m_state, frames, std::size_t(piece)) != EBUR128_SUCCESS)
                return false;
            findSound(frames, piece);
            m_frames += piece;
            frames += piece * m_channels;
            count -= piece;
            if (m_frames % m_stepFrames == 0) {
                double momentary = -HUGE_VAL;
                ebur128_loudness_momentary(m_state, &momentary);
                m_history[std::size_t(m_steps % qint64(m_history.size()))] = momentary;
                ++m_steps;
            }
        }
        return true;
    }

    void Finish(TloudnessScan &scan) const
    {
        scan.lengthMs = m_frames * 1000 / m_rate;
        double loudness = -HUGE_VAL;
        ebur128_loudness_global(m_state, &loudness);
        scan.loudness = std::isfinite(loudness) ? loudness : kSilentLufs - 1;
        for (int channel = 0; channel < m_channels; ++channel) {
            double peak = 0;
            if (ebur128_true_peak(m_state, unsigned(channel), &peak) == EBUR128_SUCCESS)
                scan.truePeak = std::max(scan.truePeak, peak);
        }
        if (m_firstSound < 0)
            return;
        scan.musicStartMs = m_firstSound * 1000 / m_rate;
        scan.musicEndMs = m_lastSound * 1000 / m_rate;
        // Back from the end of the music to the last momentary loudness still
        // near the track's own: what lies between is the ending's fall.
        const qint64 kept = std::min<qint64>(m_steps, qint64(m_history.size()));
        qint64 step = std::min(m_steps, m_lastSound / m_stepFrames);
        scan.endingMs = std::min<qint64>(kEndingHistoryMs, scan.musicEndMs);
        for (; step > 0 && step > m_steps - kept; --step) {
            const double momentary = m_history[std::size_t((step - 1) % qint64(m_history.size()))];
            if (momentary >= scan.loudness - kEndingDropLu) {
                scan.endingMs = std::max<qint64>(scan.musicEndMs - step * m_stepFrames * 1000 / m_rate, 0);
                break;
            }
        }
    }

private:
    // Notes the first and the last 10 ms block that holds sound.
    void findSound(const float *frames, qint64 count)
    {
        static const float threshold = float(std::pow(10.0, kSilenceDbfs / 20.0));
        for (qint64 i = 0; i < count;) {
            const qint64 at = m_frames + i;
            const qint64 blockEnd = std::min(count, i + m_blockFrames - at % m_blockFrames);
            float peak = 0;
            for (qint64 s = i * m_channels; s < blockEnd * m_channels; ++s)
                peak = std::max(peak, std::abs(frames[s]));
            if (peak >= threshold) {
                const qint64 block = at / m_blockFrames;
                if (m_firstSound < 0)
                    m_firstSound = block * m_blockFrames;
                m_lastSound = (block + 1) * m_blockFrames;
            }
            i = blockEnd;
        }
    }

    ebur128_state *m_state;
    const int m_channels;
    const int m_rate;
    const qint64 m_blockFrames;
    const qint64 m_stepFrames;
    qint64 m_frames = 0;
    qint64 m_steps = 0;
    qint64 m_firstSound = -1;
    qint64 m_lastSound = 0;
    // The momentary loudness of the last steps, a ring.
    std::vector<double> m_history;
};

} // namespace

TloudnessScan ScanLoudness(const QString &fileName, const std::atomic<bool> &stop)
{
    TloudnessScan scan;
    TaudioFile file;
    if (!OpenAudioFile(fileName, stop, file))
        return scan;
    AVCodecContext *codec = file.codec.get();
    const int channels = codec->ch_layout.nb_channels;
    const int rate = codec->sample_rate;
    if (channels <= 0 || rate <= 0)
        return scan;
    EburPtr state(ebur128_init(
        unsigned(channels), unsigned(rate), EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK | EBUR128_MODE_HISTOGRAM));
    if (!state)
        return scan;
    if (channels == 1)
        ebur128_set_channel(state.get(), 0, EBUR128_DUAL_MONO);
    // The decoder's own layout, interleaved float: no mixing, no new rate.
    AVChannelLayout layout {};
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, channels);
    else if (av_channel_layout_copy(&layout, &codec->ch_layout) < 0)
        return scan;
    SwrContext *raw = nullptr;
    const int made
        = swr_alloc_set_opts2(&raw, &layout, AV_SAMPLE_FMT_FLT, rate, &layout, codec->sample_fmt, rate, 0, nullptr);
    av_channel_layout_uninit(&layout);
    SwrPtr convert(raw);
    if (made < 0 || swr_init(raw) < 0)
        return scan;

    Meter meter(state.get(), channels, rate);
    AvPacketPtr packet(av_packet_alloc());
    AvFramePtr frame(av_frame_alloc());
    if (!packet || !frame)
        return scan;
    std::vector<float> samples;
    const auto take = [&]() {
        while (avcodec_receive_frame(codec, frame.get()) >= 0) {
            file.input->RestartCount();
            const int count = frame->nb_samples;
            samples.resize(std::size_t(std::max(count, 0)) * std::size_t(channels));
            auto *out = reinterpret_cast<uint8_t *>(samples.data());
            const int converted
                = swr_convert(convert.get(), &out, count, const_cast<const uint8_t **>(frame->extended_data), count);
            av_frame_unref(frame.get());
            if (converted > 0 && !meter.Add(samples.data(), converted))
                return false;
        }
        return true;
    };
    bool fine = true;
    while (fine && !stop.load(std::memory_order_relaxed) && av_read_frame(file.format.get(), packet.get()) >= 0) {
        if (packet->stream_index == file.streamIndex && avcodec_send_packet(codec, packet.get()) >= 0)
            fine = take();
        av_packet_unref(packet.get());
    }
    if (!fine || stop.load(std::memory_order_relaxed))
        return scan;
    if (avcodec_send_packet(codec, nullptr) >= 0 && !take())
        return scan;
    meter.Finish(scan);
    scan.ok = true;
    return scan;
}
