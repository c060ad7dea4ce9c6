#pragma once

#include "childProcess.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
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

// The environment entries that point pactl and parec at the test server.
QStringList serverEnvironment();

// Runs pactl against the test server; its standard output, empty on failure.
QByteArray pactl(const QStringList &arguments);

// The per-channel raw volumes pactl reports for the test sink.
std::vector<int> sinkVolumes();

} // namespace PulseTestServer

// Records the null sink's monitor with parec as raw 44100 Hz stereo s16le.
class PulseRecorder {
public:
    bool start();
    // The interleaved samples recorded since the start or the last take,
    // while recording goes on.
    std::vector<qint16> takeSamples();
    // Stops recording and returns the interleaved samples not taken yet.
    std::vector<qint16> stop();

private:
    std::vector<qint16> samplesFrom(QByteArray raw);

    QTemporaryFile m_output;
    TestChild m_child;
    // How far takeSamples() has read the recording, and a sample whose
    // second byte had not arrived yet.
    qint64 m_taken = 0;
    QByteArray m_partial;
};
