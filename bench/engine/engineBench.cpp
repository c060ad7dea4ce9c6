// Measures what the audio engine costs beyond decoding, how long the mixer
// takes per block, and whether a stalled GUI thread makes the sound stutter.
//
// 1. Manual-pump mode: ten minutes of a cross-faded sequence of generated MP3
//    tracks, rendered by the cross-fade player with the spectrum unit on,
//    against decoding the same files with FFmpeg alone (CPU time ratio,
//    target at most 1.25).
// 2. The mixer's worst and 99th-percentile time per 1024-frame block
//    (target: p99 under 1 ms).
// 3. Real time into SDL's dummy device while the GUI thread is blocked for
//    3 s: buffer underruns (target 0).

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QCoreApplication>
#include <algorithm>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kTrackSeconds = 60;
constexpr int kSequenceTracks = 11;
constexpr int kDistinctFiles = 3;
constexpr int kTickFrames = 44100 / 4;
constexpr int kRuns = 3;

// CPU time of the calling thread: in manual-pump mode the engine decodes,
// mixes and analyses on the thread that pumps.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

bool MakeMp3(const QString &path, int frequency)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                  QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("sine=frequency=%1:duration=%2:sample_rate=44100").arg(frequency).arg(kTrackSeconds),
                  QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("libmp3lame"),
                  QStringLiteral("-b:a"), QStringLiteral("192k"), path});
    return ffmpeg.waitForFinished(300000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

struct FormatCloser {
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};

// Decodes a whole file with libavcodec alone; the sample frames decoded.
qint64 DecodeWithFfmpeg(const QString &path)
{
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return 0;
    std::unique_ptr<AVFormatContext, FormatCloser> format(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return 0;
    const AVCodec *decoder = nullptr;
    const int index = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0)
        return 0;
    std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(codec.get(), raw->streams[index]->codecpar);
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return 0;
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    qint64 frames = 0;
    const auto receive = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) >= 0) {
            frames += frame->nb_samples;
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
    return frames;
}

// The player asks for the sequence's tracks one by one.
void SupplyTracks(TcrossPlayer &player, std::vector<TtaggerRef> &tracks, std::size_t &next)
{
    player.OnNeedTrack = [&tracks, &next](TcrossPlayer *, TtaggerRef &track) {
        if (next < tracks.size())
            track = tracks[next++];
    };
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("bench-engine: generating %d MP3 tracks of %d s...\n", kDistinctFiles, kTrackSeconds);
    std::fflush(stdout);
    QStringList files;
    for (int i = 0; i < kDistinctFiles; ++i) {
        files << dir.filePath(QStringLiteral("track%1.mp3").arg(i));
        if (!MakeMp3(files.back(), 330 + 110 * i)) {
            std::fprintf(stderr, "bench-engine: ffmpeg could not make %s\n", qPrintable(files.back()));
            return 1;
        }
    }
    std::vector<TtaggerRef> sequence;
    for (int i = 0; i < kSequenceTracks; ++i) {
        sequence.emplace_back(new TcustomTagger);
        sequence.back()->SetFilename(files[i % kDistinctFiles]);
    }

    // 1 and 2: the cross-faded sequence in manual-pump mode, against FFmpeg
    // alone; each measured kRuns times, the least CPU time counts (the
    // machine may be busy with other work).
    double engineCpu = 1e9;
    double decodeCpu = 1e9;
    qint64 renderedFrames = 0;
    qint64 decodedFrames = 0;
    AudioEngine::MixStats manualStats;
    for (int run = 0; run < kRuns; ++run) {
        AudioEngineOptions options;
        options.manualPump = true;
        TcrossPlayer player(options);
        player.Timer().SetEnabled(false);
        std::size_t next = 0;
        SupplyTracks(player, sequence, next);
        player.Engine().dspSetActive(player.Engine().fftUnit(), true);
        player.Engine().resetMixStats();
        renderedFrames = 0;
        const double start = CpuSeconds();
        player.Play();
        while (player.GetState() == ssPlaying || player.OutgoingStream()) {
            player.Engine().pump(kTickFrames);
            renderedFrames += kTickFrames;
            player.Tick();
        }
        engineCpu = std::min(engineCpu, CpuSeconds() - start);
        if (run == 0)
            manualStats = player.Engine().mixStats();
        if (next != sequence.size()) {
            std::fprintf(stderr, "bench-engine: the sequence stopped after %zu tracks\n", next);
            return 1;
        }

        const double decodeStart = CpuSeconds();
        decodedFrames = 0;
        for (const auto &track : sequence)
            decodedFrames += DecodeWithFfmpeg(track->Filename());
        decodeCpu = std::min(decodeCpu, CpuSeconds() - decodeStart);
    }

    std::printf("\nCross-faded sequence, manual-pump mode, spectrum unit on\n");
    std::printf("  rendered                 %.1f s of mix from %d tracks (%.1f s decoded by FFmpeg alone)\n",
                double(renderedFrames) / 44100, kSequenceTracks, double(decodedFrames) / 44100);
    std::printf("  engine CPU time          %.3f s   (least of %d runs)\n", engineCpu, kRuns);
    std::printf("  FFmpeg decode CPU time   %.3f s\n", decodeCpu);
    std::printf("  CPU time ratio           %.3f   (target <= 1.25)\n", engineCpu / decodeCpu);
    std::printf("\nMixer time per 1024-frame block (manual-pump run, %lld blocks)\n", manualStats.blocks);
    std::printf("  worst                    %.3f ms\n", manualStats.worstMs);
    std::printf("  p99                      %.3f ms   (target < 1 ms)\n", manualStats.p99Ms);
    std::fflush(stdout);

    // 3: real time into the dummy device while the GUI thread stalls.
    qputenv("SDL_AUDIODRIVER", "dummy");
    std::vector<TtaggerRef> live;
    for (int i = 0; i < 2; ++i) {
        live.emplace_back(new TcustomTagger);
        live.back()->SetFilename(files[i]);
    }
    TcrossPlayer player;
    if (!player.EngineOpen()) {
        std::fprintf(stderr, "bench-engine: %s\n", qPrintable(player.EngineError()));
        return 1;
    }
    std::size_t next = 0;
    SupplyTracks(player, live, next);
    player.Engine().dspSetActive(player.Engine().fftUnit(), true);
    player.Play();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    player.Engine().resetMixStats();
    const qint64 before = player.CurrentStream()->GetPosition();
    QThread::msleep(3000);
    const qint64 after = player.CurrentStream()->GetPosition();
    const AudioEngine::MixStats blocked = player.Engine().mixStats();
    while (clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const AudioEngine::MixStats liveStats = player.Engine().mixStats();

    std::printf("\nReal time into SDL's dummy device, GUI thread blocked for 3 s\n");
    std::printf("  played while blocked     %lld ms\n", after - before);
    std::printf("  buffer underruns         %lld   (target 0)\n", blocked.underruns);
    std::printf("  mixer per callback block worst %.3f ms, p99 %.3f ms (%lld blocks)\n", liveStats.worstMs,
                liveStats.p99Ms, liveStats.blocks);
    return 0;
}
