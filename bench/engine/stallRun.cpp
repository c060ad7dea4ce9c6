#include "stallRun.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"
#include "playback/loudnessAnalyser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace {

constexpr int kMixRate = 44100;
constexpr int kStallMs = 1000;
constexpr int kFadeOutMs = 5000;
// How long before a moment the tick that stalls comes: a tick is 250 ms.
constexpr int kTickLeadMs = 400;
constexpr int kRunLimitMs = 120000;
constexpr int kAnalysisRunLimitMs = 600000;

// Records the mixed blocks the DSP chain passes on, into memory reserved up
// front: the mixing thread writes, the GUI thread reads once the device is closed.
struct MixCapture {
    explicit MixCapture(int limitMs)
        : samples(std::size_t(limitMs / 1000 + 30) * kMixRate * 2)
    {
    }
    std::vector<qint16> samples;
    std::atomic<std::size_t> frames { 0 };

    static void *Unit(void *, void *newBuffer, int length, void *userData)
    {
        auto *self = static_cast<MixCapture *>(userData);
        const std::size_t at = self->frames.load(std::memory_order_relaxed);
        const std::size_t take = std::min(std::size_t(length), self->samples.size() / 2 - at);
        std::memcpy(self->samples.data() + at * 2, newBuffer, take * 2 * sizeof(qint16));
        self->frames.store(at + take, std::memory_order_release);
        return newBuffer;
    }
};

double LongestSilenceMs(const qint16 *stereo, std::size_t frames)
{
    const auto audible = [stereo](std::size_t frame) {
        return std::abs(stereo[frame * 2]) > kSilenceThreshold || std::abs(stereo[frame * 2 + 1]) > kSilenceThreshold;
    };
    // Before the first sound and after the last the music has not begun or is over.
    std::size_t first = 0;
    while (first < frames && !audible(first))
        ++first;
    std::size_t last = frames;
    while (last > first && !audible(last - 1))
        --last;
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t frame = first; frame < last; ++frame) {
        run = audible(frame) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return double(longest) * 1000.0 / kMixRate;
}

TvorlenStream *Other(TcrossPlayer &player, const TvorlenStream *current)
{
    return current == &player.StreamA() ? &player.StreamB() : &player.StreamA();
}

bool RunScript(const QString &script, const QString &action, const QString &dir)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(script, { action, dir });
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The private server for the run's length; stopped again on every way out.
class PulseServer {
public:
    PulseServer(QString script, QString dir)
        : m_script(std::move(script))
        , m_dir(std::move(dir))
    {
        m_running = QFile::exists(m_script) && RunScript(m_script, QStringLiteral("start"), m_dir);
    }
    ~PulseServer()
    {
        if (m_running)
            RunScript(m_script, QStringLiteral("stop"), m_dir);
    }
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;
    bool running() const { return m_running; }
    QString server() const { return QStringLiteral("unix:") + m_dir + QStringLiteral("/native"); }

private:
    QString m_script;
    QString m_dir;
    bool m_running = false;
};

// Records the null sink's monitor as raw 44100 Hz stereo s16le.
class SinkRecorder {
public:
    explicit SinkRecorder(const QString &server)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), server);
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral("parec"),
            { QStringLiteral("--device=vorlen_null.monitor"), QStringLiteral("--format=s16le"),
                QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"), QStringLiteral("--raw"),
                QStringLiteral("--latency-msec=20") });
        m_started = m_process.waitForStarted(5000);
    }
    ~SinkRecorder()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    SinkRecorder(const SinkRecorder &) = delete;
    SinkRecorder &operator=(const SinkRecorder &) = delete;
    bool started() const { return m_started; }
    // Reads what came so far, so that the pipe never fills.
    void collect() { m_data += m_process.readAllStandardOutput(); }
    QByteArray stop()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
        collect();
        return m_data;
    }

private:
    QProcess m_process;
    QByteArray m_data;
    bool m_started = false;
};

} // namespace

StallRunReport RunStalledCrossFades(const QStringList &files, const QString &pulseScript, const QString &pulseDir,
    const QStringList &analyse, const QString &storeFolder)
{
    StallRunReport report;
    PulseServer pulse(pulseScript, pulseDir);
    std::unique_ptr<SinkRecorder> recorder;
    if (pulse.running()) {
        qputenv("PULSE_SERVER", pulse.server().toUtf8());
        qputenv("PULSE_SINK", "vorlen_null");
        qputenv("PULSE_RUNTIME_PATH", (pulseDir + QStringLiteral("/runtime")).toUtf8());
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        recorder = std::make_unique<SinkRecorder>(pulse.server());
        if (!recorder->started())
            recorder.reset();
        report.output = QStringLiteral("the private PulseAudio server");
    } else {
        qputenv("SDL_AUDIODRIVER", "dummy");
        report.output = QStringLiteral("SDL's dummy driver (no PulseAudio server could be started)");
    }

    std::vector<TtaggerRef> tracks;
    for (const QString &file : files) {
        tracks.emplace_back(new TcustomTagger);
        tracks.back()->SetFilename(file);
    }
    const int limit = analyse.isEmpty() ? kRunLimitMs : kAnalysisRunLimitMs;
    auto capture = std::make_unique<MixCapture>(limit);
    {
        TcrossPlayer player;
        if (!player.EngineOpen()) {
            report.error = player.EngineError();
            return report;
        }
        player.SetFadeOutTime(kFadeOutMs);
        AudioEngine &engine = player.Engine();
        engine.dspSetActive(engine.fftUnit(), true);
        const EngineDsp captureUnit = engine.dspCreate(&MixCapture::Unit, 950, capture.get());
        engine.dspSetActive(captureUnit, true);

        TloudnessStore store;
        TloudnessAnalyser analyser(store, storeFolder + QStringLiteral("/loudness.dat"));
        analyser.SetFiles(analyse);
        bool analysing = !analyse.isEmpty();
        QElapsedTimer analysisClock;
        analyser.OnProgress = [&] {
            const TloudnessAnalyser::Progress progress = analyser.GetProgress();
            report.analysed = progress.done;
            if (analysing && progress.done == progress.total) {
                analysing = false;
                report.analysisSeconds = double(analysisClock.nsecsElapsed()) / 1e9;
            }
        };
        std::size_t next = 0;
        // While the analysis goes on, the files are played again.
        player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
            if (next == tracks.size() && analysing)
                next = 0;
            if (next < tracks.size())
                track = tracks[next++];
        };
        player.OnTrackStart = [&](TcrossPlayer *, TvorlenStream *) { ++report.tracksStarted; };
        // Each moment stalls once per cross-fade: keyed by the tracks started so far.
        std::set<std::pair<int, QString>> done;
        const auto stall = [&](const QString &moment) {
            if (!done.insert({ report.tracksStarted, moment }).second)
                return;
            const qint64 before = player.CurrentStream()->GetPosition();
            QThread::msleep(kStallMs);
            report.stalls.push_back({ moment, player.CurrentStream()->GetPosition() - before });
        };
        player.OnPlaying = [&](TcrossPlayer *sender, TvorlenStream *current) {
            const qint64 remaining = current->LengthMs() - current->GetPosition();
            const bool nextExists = next < tracks.size() || sender->NextRequested();
            if (nextExists && !sender->NextRequested()
                && remaining < kFadeOutMs + TcrossPlayer::kRequestLeadMs + kTickLeadMs)
                stall(QStringLiteral("just before the next track is requested"));
            else if (sender->NextRequested() && Other(*sender, current)->Handle()
                && remaining < kFadeOutMs + kTickLeadMs)
                stall(QStringLiteral("at the switch to the next track"));
            if (TvorlenStream *outgoing = sender->OutgoingStream()) {
                if (current->GetPosition() >= 2000)
                    stall(QStringLiteral("during the fade"));
                if (outgoing->LengthMs() - outgoing->GetPosition() < kTickLeadMs)
                    stall(QStringLiteral("as the outgoing track ends"));
            }
        };

        engine.resetMixStats();
        player.Play();
        if (analysing) {
            analysisClock.start();
            analyser.Start();
        }
        QElapsedTimer clock;
        clock.start();
        while ((player.GetState() == ssPlaying || player.OutgoingStream()) && clock.elapsed() < limit) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (recorder)
                recorder->collect();
        }
        report.stats = engine.mixStats();
        if (clock.elapsed() >= limit)
            report.error = QStringLiteral("the sequence did not end within %1 s").arg(limit / 1000);
    }
    // The player and its device are gone: nothing writes the capture any more.
    report.longestMixSilenceMs = LongestSilenceMs(capture->samples.data(), capture->frames.load());
    if (recorder) {
        const QByteArray raw = recorder->stop();
        std::vector<qint16> recorded(std::size_t(raw.size()) / sizeof(qint16));
        std::memcpy(recorded.data(), raw.constData(), recorded.size() * sizeof(qint16));
        report.longestOutputSilenceMs = LongestSilenceMs(recorded.data(), recorded.size() / 2);
    }
    return report;
}
