#include "decodeBaseline.h"

#include "playback/mixResampler.h"

#include <QFile>
#include <vector>

namespace {

constexpr int kMixRate = 44100;

} // namespace

qint64 DecodeAlone(const QString &path, bool toMixFormat)
{
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return 0;
    const AvFormatPtr format(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return 0;
    const AVCodec *decoder = nullptr;
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0)
        return 0;
    const AvCodecPtr codec(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(codec.get(), raw->streams[index]->codecpar);
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return 0;
    SwrPtr resampler;
    if (toMixFormat) {
        resampler = OpenMixResampler(codec->ch_layout, codec->sample_fmt, codec->sample_rate, kMixRate);
        if (!resampler)
            return 0;
    }
    const AvPacketPtr packet(av_packet_alloc());
    const AvFramePtr frame(av_frame_alloc());
    // One buffer for the whole file, as a player that knows its block sizes would keep.
    std::vector<float> converted;
    qint64 frames = 0;
    const auto convert = [&](const AVFrame *from) {
        if (!resampler) {
            frames += from ? from->nb_samples : 0;
            return;
        }
        const int room = swr_get_out_samples(resampler.get(), from ? from->nb_samples : 0);
        if (room <= 0)
            return;
        if (converted.size() < std::size_t(room) * 2)
            converted.resize(std::size_t(room) * 2);
        auto *out = reinterpret_cast<uint8_t *>(converted.data());
        const int made = swr_convert(resampler.get(), &out, room,
            from ? const_cast<const uint8_t **>(from->extended_data) : nullptr, from ? from->nb_samples : 0);
        frames += std::max(made, 0);
    };
    const auto receive = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) >= 0) {
            convert(frame.get());
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(codec.get(), packet.get()) >= 0)
            receive();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(codec.get(), nullptr);
    receive();
    convert(nullptr);
    return frames;
}
