#include "loudnessThroughput.h"

#include "benchTracks.h"
#include "decodeBaseline.h"

#include "playback/ffmpegHandles.h"
#include "playback/loudnessScan.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kSeconds = 60;
constexpr int kRuns = 3;

double ThreadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

bool ReportLoudnessThroughput(const QString &folder)
{
    // The decoders' notes on the files' own gapless trimming are no figures.
    av_log_set_level(AV_LOG_FATAL);
    struct Format {
        const char *name;
        const char *file;
        int rate;
    };
    const Format formats[] = { { "MP3, 44.1 kHz", "loud.mp3", 44100 }, { "Ogg Vorbis, 44.1 kHz", "loud.ogg", 44100 },
        { "FLAC, 44.1 kHz", "loud.flac", 44100 }, { "Opus, 48 kHz", "loud.opus", 48000 } };
    std::printf("\nLoudness analysis of minute-long files, one thread (target: 100 x real time or more)\n");
    std::printf("  %-22s %14s %18s %10s\n", "file", "analysis", "decode alone", "ratio");
    for (const Format &format : formats) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(format.file);
        if (!MakeBenchTrack(path, BenchTrackSpec { 0, format.rate, kSeconds }))
            return false;
        double scan = 1e9;
        double decode = 1e9;
        bool ok = true;
        for (int run = 0; run < kRuns; ++run) {
            const std::atomic<bool> stop { false };
            double start = ThreadCpuSeconds();
            ok = ScanLoudness(path, stop).ok && ok;
            scan = std::min(scan, ThreadCpuSeconds() - start);
            start = ThreadCpuSeconds();
            DecodeAlone(path, false);
            decode = std::min(decode, ThreadCpuSeconds() - start);
        }
        std::printf("  %-22s %9.0f x rt %13.0f x rt %10.2f%s\n", format.name, kSeconds / scan, kSeconds / decode,
            scan / decode, ok ? "" : "  (the analysis failed)");
    }
    std::fflush(stdout);
    return true;
}
