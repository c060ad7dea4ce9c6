#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <vector>

// The private PulseAudio server that CTest starts for sound tests (fixture
// "pulse_server"; see tests/CMakeLists.txt). Tests that play real sound link
// to it through the environment that UsePulseTestServer() sets.
namespace PulseTestServer {

QString socketPath();
QString sinkName();

// Points SDL2 (pulseaudio driver), ALSA's pulse plug-in and pactl/parec at the
// test server. False when the server does not answer.
bool UsePulseTestServer();

// Runs pactl against the test server; its standard output, empty on failure.
QByteArray pactl(const QStringList &arguments);

} // namespace PulseTestServer

// Records the null sink's monitor with parec as raw 44100 Hz stereo s16le.
class PulseRecorder {
public:
    PulseRecorder() = default;
    ~PulseRecorder();
    PulseRecorder(const PulseRecorder &) = delete;
    PulseRecorder &operator=(const PulseRecorder &) = delete;

    bool start();
    // The interleaved samples recorded since the start or the last take,
    // while recording goes on.
    std::vector<qint16> takeSamples();
    // Stops recording and returns the interleaved samples not taken yet.
    std::vector<qint16> stop();

private:
    std::vector<qint16> samplesFrom(QByteArray raw);

    QProcess m_process;
    // A sample whose second byte has not arrived yet.
    QByteArray m_partial;
};
