#include "playback/audioFile.h"

#include "platform/fileNames.h"

bool OpenAudioFile(const QString &fileName, const std::atomic<bool> &stop, TaudioFile &file)
{
    file.input = BoundedFileInput::Open(fileName, stop);
    if (!file.input)
        return false;
    AVFormatContext *format = avformat_alloc_context();
    if (!format)
        return false;
    format->pb = file.input->Context();
    // The name only helps to tell the format (by its extension); the bytes
    // come from the input. A failed open frees the context.
    if (avformat_open_input(&format, EncodeFileName(fileName).constData(), nullptr, nullptr) < 0)
        return false;
    file.format.reset(format);
    file.input->HeadersRead();
    if (avformat_find_stream_info(format, nullptr) < 0)
        return false;
    const AVCodec *decoder = nullptr;
    file.streamIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (file.streamIndex < 0 || !decoder)
        return false;
    const AVStream *stream = format->streams[file.streamIndex];
    file.codec.reset(avcodec_alloc_context3(decoder));
    if (!file.codec || avcodec_parameters_to_context(file.codec.get(), stream->codecpar) < 0
        || avcodec_open2(file.codec.get(), decoder, nullptr) < 0)
        return false;
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        file.lengthMs = av_rescale(format->duration, 1000, AV_TIME_BASE);
    else if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        file.lengthMs = av_rescale_q(stream->duration, stream->time_base, AVRational { 1, 1000 });
    return true;
}
