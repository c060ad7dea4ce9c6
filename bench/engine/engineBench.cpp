// Measures what the audio engine costs beyond decoding and resampling, how
// long the mixer takes per block, and whether a stalled GUI thread makes the
// sound stutter.
//
// 1. Manual-pump mode: ten minutes of a cross-faded sequence of real encoded
//    files, rendered by the cross-fade player with the spectrum unit on,
//    against FFmpeg decoding the same files and converting them to the mix
//    format (44100 Hz stereo float) with the engine's own resampler settings,
//    and nothing else. CPU time ratio, target at most 1.25. Sources: 44.1 kHz
//    MP3 sine tones, and pink noise in MP3 and Ogg Vorbis at 44.1 kHz, 48 kHz
//    and 22,050 Hz.
// 2. The mixer's worst and 99th-percentile time per 1024-frame block
//    (target: p99 under 1 ms).
// 3. Real-time cross-fades with the GUI thread blocked for 1 s at each step of
//    each cross-fade: underruns (target 0) and the longest silence.
// 4. Giving up on a 4 GB file of zeros: time (target under 0.5 s) and peak
//    memory (target under 50 MB).
// 5. The loudness analysis as a multiple of real time on one core (target
//    100 x or more), against decoding alone.
// 6. A thousand files analysed in the background while the cross-fades of 3
//    play on, played again until the analysis is done: underruns (target 0).
// With a gain on every stream (matched loudness), the engine's CPU time of 1
// is measured too (target: still at most 1.25 of decoding and resampling).

#include "benchTracks.h"
#include "decodeBaseline.h"
#include "loudnessThroughput.h"
#include "stallRun.h"
#include "zeroFile.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kTrackSeconds = 60;
constexpr int kSequenceTracks = 11;
constexpr int kTickFrames = 44100 / 4;
constexpr int kRuns = 5;
constexpr int kStallTrackSeconds = 16;

// CPU time of the whole process: the engine decodes, mixes and analyses on
// the thread that pumps, but a resampler library could bring threads of its own.
double CpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Scenario {
    const char *title;
    std::vector<std::pair<QString, BenchTrackSpec>> files;
};

struct Figures {
    double engine = 1e9;
    double engineWithGain = 1e9;
    double decode = 1e9;
    double decodeAndResample = 1e9;
    std::vector<double> ratios;
    qint64 renderedFrames = 0;
    qint64 decodedFrames = 0;
    AudioEngine::MixStats mix;
};

// The cross-faded sequence once, in manual-pump mode; false when the player
// did not play it all.
bool RenderSequence(const std::vector<TtaggerRef> &sequence, double &cpu, qint64 &frames,
    AudioEngine::MixStats &mix, bool withGain = false)
{
    AudioEngineOptions options;
    options.manualPump = true;
    TcrossPlayer player(options);
    player.Timer().SetEnabled(false);
    // A gain of its own on each stream, as matched loudness puts it there.
    if (withGain) {
        player.OnPlanTrack = [](TcrossPlayer *, TcustomTagger *, const TcustomTagger *) {
            TtrackPlan plan;
            plan.gain = 0.7f;
            return plan;
        };
    }
    std::size_t next = 0;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
        if (next < sequence.size())
            track = sequence[next++];
    };
    player.Engine().dspSetActive(player.Engine().fftUnit(), true);
    player.Engine().resetMixStats();
    // Mixed in the device's callback sizes, ticked at the player's period, as
    // a device and the timer would.
    const int callbackFrames = player.Engine().dspBufferLengthTotal();
    frames = 0;
    qint64 nextTick = kTickFrames;
    const double start = CpuSeconds();
    player.Play();
    while (player.GetState() == ssPlaying || player.OutgoingStream()) {
        player.Engine().pump(callbackFrames);
        frames += callbackFrames;
        if (frames >= nextTick) {
            player.Tick();
            nextTick += kTickFrames;
        }
    }
    cpu = CpuSeconds() - start;
    mix = player.Engine().mixStats();
    if (next != sequence.size()) {
        std::fprintf(stderr, "bench-engine: the sequence stopped after %zu tracks\n", next);
        return false;
    }
    return true;
}

bool Measure(const Scenario &scenario, const QStringList &paths, Figures &figures)
{
    std::vector<TtaggerRef> sequence;
    for (int i = 0; i < kSequenceTracks; ++i) {
        sequence.emplace_back(new TcustomTagger);
        sequence.back()->SetFilename(paths[i % paths.size()]);
    }
    // Engine and baselines take turns, so that a busy spell of the machine
    // hits them alike; the least CPU time of each counts.
    for (int run = 0; run < kRuns; ++run) {
        double engineCpu = 0;
        AudioEngine::MixStats mix;
        if (!RenderSequence(sequence, engineCpu, figures.renderedFrames, mix))
            return false;
        if (run == 0)
            figures.mix = mix;
        double gainCpu = 0;
        qint64 gainFrames = 0;
        AudioEngine::MixStats gainMix;
        if (!RenderSequence(sequence, gainCpu, gainFrames, gainMix, true))
            return false;
        figures.engineWithGain = std::min(figures.engineWithGain, gainCpu);

        double start = CpuSeconds();
        for (const auto &track : sequence)
            DecodeAlone(track->Filename(), false);
        const double decodeCpu = CpuSeconds() - start;

        start = CpuSeconds();
        figures.decodedFrames = 0;
        for (const auto &track : sequence)
            figures.decodedFrames += DecodeAlone(track->Filename(), true);
        const double resampleCpu = CpuSeconds() - start;

        figures.engine = std::min(figures.engine, engineCpu);
        figures.decode = std::min(figures.decode, decodeCpu);
        figures.decodeAndResample = std::min(figures.decodeAndResample, resampleCpu);
        figures.ratios.push_back(engineCpu / resampleCpu);
    }
    std::printf("\n%s\n", scenario.title);
    std::printf("  rendered                    %.1f s of mix from %d tracks (%.1f s converted by FFmpeg alone)\n",
        double(figures.renderedFrames) / 44100, kSequenceTracks, double(figures.decodedFrames) / 44100);
    std::printf("  engine CPU time             %.3f s   (least of %d runs)\n", figures.engine, kRuns);
    std::printf("  decode alone                %.3f s\n", figures.decode);
    std::printf("  decode + resample alone     %.3f s\n", figures.decodeAndResample);
    std::printf("  engine / decode alone       %.3f\n", figures.engine / figures.decode);
    // Each run's own ratio too: engine and baselines ran back to back, so a
    // busy spell of the machine shows as a spread rather than a shift.
    std::sort(figures.ratios.begin(), figures.ratios.end());
    std::printf("  engine / (decode+resample)  %.3f   (target <= 1.25; per run %.3f..%.3f, median %.3f)\n",
        figures.engine / figures.decodeAndResample, figures.ratios.front(), figures.ratios.back(),
        figures.ratios[figures.ratios.size() / 2]);
    std::printf("  with a gain on each stream  %.3f s, / (decode+resample) %.3f   (target <= 1.25)\n",
        figures.engineWithGain, figures.engineWithGain / figures.decodeAndResample);
    std::printf("  mixer per 1024-frame block  worst %.3f ms, p99 %.3f ms (first run, %lld blocks)\n",
        figures.mix.worstMs, figures.mix.p99Ms, figures.mix.blocks);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Parts to run: "cpu", "stall", "zeros", "loudness", "analyse"; all without arguments.
    const QStringList parts = app.arguments().mid(1);
    const auto wanted = [&parts](const char *part) { return parts.isEmpty() || parts.contains(QLatin1String(part)); };
    QTemporaryDir dir;
    if (wanted("zeros") && !ReportZeroFile(dir.path()))
        return 1;
    if (wanted("loudness") && !ReportLoudnessThroughput(dir.path()))
        return 1;
    const QStringList quickParts { QStringLiteral("zeros"), QStringLiteral("loudness") };
    if (!parts.isEmpty() && std::all_of(parts.begin(), parts.end(), [&](const QString &p) { return quickParts.contains(p); }))
        return 0;
    const auto pink = [](int rate, int seconds = kTrackSeconds) { return BenchTrackSpec { 0, rate, seconds }; };
    const std::vector<Scenario> scenarios {
        { "44.1 kHz MP3, sine tones",
            { { "sine330.mp3", { 330, 44100, kTrackSeconds } }, { "sine440.mp3", { 440, 44100, kTrackSeconds } },
                { "sine550.mp3", { 550, 44100, kTrackSeconds } } } },
        { "44.1 kHz pink noise, MP3 and Ogg Vorbis", { { "pink44.mp3", pink(44100) }, { "pink44.ogg", pink(44100) } } },
        { "48 kHz pink noise, MP3 and Ogg Vorbis (resampled)",
            { { "pink48.mp3", pink(48000) }, { "pink48.ogg", pink(48000) } } },
        { "22,050 Hz pink noise, MP3 and Ogg Vorbis (resampled)",
            { { "pink22.mp3", pink(22050) }, { "pink22.ogg", pink(22050) } } },
    };
    std::printf("bench-engine: encoding the tracks...\n");
    std::fflush(stdout);
    std::vector<QStringList> paths;
    for (const Scenario &scenario : scenarios) {
        paths.emplace_back();
        for (const auto &[name, spec] : scenario.files) {
            paths.back() << dir.filePath(name);
            if (!MakeBenchTrack(paths.back().back(), spec))
                return 1;
        }
    }
    const QStringList stallFiles { dir.filePath(QStringLiteral("stall48.mp3")),
        dir.filePath(QStringLiteral("stall22.ogg")), dir.filePath(QStringLiteral("stall48.ogg")) };
    const std::vector<BenchTrackSpec> stallSpecs { pink(48000, kStallTrackSeconds), pink(22050, kStallTrackSeconds),
        pink(48000, kStallTrackSeconds) };
    for (int i = 0; i < stallFiles.size(); ++i) {
        if (!MakeBenchTrack(stallFiles[i], stallSpecs[std::size_t(i)]))
            return 1;
    }

    if (wanted("cpu")) {
        std::printf("\nCross-faded sequences in manual-pump mode, spectrum unit on: CPU time\n");
        for (std::size_t i = 0; i < scenarios.size(); ++i) {
            Figures figures;
            if (!Measure(scenarios[i], paths[i], figures))
                return 1;
        }
    }
    if (wanted("analyse")) {
        // A thousand files to measure: symbolic links to four short ones, each
        // measured as a file of its own.
        const QString library = dir.filePath(QStringLiteral("library"));
        QDir().mkpath(library);
        QStringList originals;
        for (const char *name : { "short.mp3", "short.ogg", "short.flac", "short.opus" }) {
            originals << library + QLatin1Char('/') + QLatin1String(name);
            if (!MakeBenchTrack(originals.back(), pink(originals.back().endsWith(QLatin1String(".opus")) ? 48000 : 44100, 4)))
                return 1;
        }
        QStringList analyse;
        for (int i = 0; i < 1000; ++i) {
            const QString &original = originals[i % originals.size()];
            const QString link = library + QStringLiteral("/%1-%2").arg(i, 4, 10, QLatin1Char('0')).arg(QFileInfo(original).fileName());
            if (!QFile::link(original, link) && !QFile::copy(original, link))
                return 1;
            analyse << link;
        }
        const StallRunReport analysed = RunStalledCrossFades(stallFiles, QStringLiteral(VORLEN_PULSE_SERVER_SCRIPT),
            QStringLiteral(VORLEN_BENCH_PULSE_DIR), analyse, dir.path());
        std::printf("\nA thousand files analysed while cross-fades play into %s, GUI thread blocked for 1 s at each step\n",
            qPrintable(analysed.output));
        if (!analysed.error.isEmpty()) {
            std::fprintf(stderr, "bench-engine: %s\n", qPrintable(analysed.error));
            return 1;
        }
        std::printf("  files analysed              %d of %lld in %.1f s (%d tracks started)\n", analysed.analysed,
            qint64(analyse.size()), analysed.analysisSeconds, analysed.tracksStarted);
        std::printf("  buffer underruns            %lld   (target 0)\n", analysed.stats.underruns);
        std::printf("  longest silence in the mix  %.1f ms\n", analysed.longestMixSilenceMs);
        std::fflush(stdout);
    }
    if (!wanted("stall"))
        return 0;

    const StallRunReport stalled = RunStalledCrossFades(
        stallFiles, QStringLiteral(VORLEN_PULSE_SERVER_SCRIPT), QStringLiteral(VORLEN_BENCH_PULSE_DIR));
    std::printf(
        "\nReal-time cross-fades into %s, GUI thread blocked for 1 s at each step\n", qPrintable(stalled.output));
    if (!stalled.error.isEmpty()) {
        std::fprintf(stderr, "bench-engine: %s\n", qPrintable(stalled.error));
        return 1;
    }
    std::printf("  tracks started              %d of %lld\n", stalled.tracksStarted, qint64(stallFiles.size()));
    for (const StallRunReport::Stall &stall : stalled.stalls)
        std::printf("  blocked %-40s played %lld ms meanwhile\n", qPrintable(stall.moment), stall.playedMs);
    std::printf("  buffer underruns            %lld   (target 0)\n", stalled.stats.underruns);
    std::printf(
        "  longest silence in the mix  %.1f ms   (samples within %d of zero, from the first sound to the last)\n",
        stalled.longestMixSilenceMs, kSilenceThreshold);
    if (stalled.longestOutputSilenceMs >= 0)
        std::printf(
            "  longest silence recorded    %.1f ms   (from the sink's monitor)\n", stalled.longestOutputSilenceMs);
    std::printf("  mixer per callback block    worst %.3f ms, p99 %.3f ms (%lld blocks)\n", stalled.stats.worstMs,
        stalled.stats.p99Ms, stalled.stats.blocks);
    return 0;
}
