#pragma once

#include "childProcess.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
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

// A PulseAudio server of a test's own, started by the same script as the
// shared one (the same null sink) in a temporary folder, when the test likes:
// a sound server that appears after its clients. Stopped with the object.
class LatePulseServer {
public:
    LatePulseServer();
    ~LatePulseServer();
    LatePulseServer(const LatePulseServer &) = delete;
    LatePulseServer &operator=(const LatePulseServer &) = delete;

    // PULSE_SERVER's value for it, whether it runs yet or not.
    QByteArray address() const;
    // The entries that point pactl and parec at it.
    QStringList environment() const;
    // False, with the script's output in error, when it does not answer.
    bool start(QString *error);

private:
    QTemporaryDir m_folder;
    bool m_started = false;
};

// Records the null sink's monitor with parec as raw 44100 Hz stereo s16le.
class PulseRecorder {
public:
    // The shared test server's sink, unless the environment names another.
    explicit PulseRecorder(QStringList serverEnvironment = PulseTestServer::serverEnvironment());
    bool start();
    // The interleaved samples recorded since the start or the last take,
    // while recording goes on.
    std::vector<qint16> takeSamples();
    // Stops recording and returns the interleaved samples not taken yet.
    std::vector<qint16> stop();

private:
    std::vector<qint16> samplesFrom(QByteArray raw);

    QStringList m_serverEnvironment;
    QTemporaryFile m_output;
    TestChild m_child;
    // How far takeSamples() has read the recording, and a sample whose
    // second byte had not arrived yet.
    qint64 m_taken = 0;
    QByteArray m_partial;
};
