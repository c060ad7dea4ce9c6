#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <memory>

// Owning pointers for the FFmpeg objects a stream decoder holds.
struct AvFormatCloser {
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
struct AvCodecFreer {
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
struct SwrFreer {
    void operator()(SwrContext *context) const { swr_free(&context); }
};
struct AvPacketFreer {
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
struct AvFrameFreer {
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};

using AvFormatPtr = std::unique_ptr<AVFormatContext, AvFormatCloser>;
using AvCodecPtr = std::unique_ptr<AVCodecContext, AvCodecFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFreer>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFreer>;
