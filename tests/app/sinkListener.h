#pragma once

#include "pulseTestServer.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// The level of each tone listened for, keyed by its frequency, and the
// overall level under key 0; 1.0 is full scale.
using ToneLevels = std::map<int, double>;

// The test sink's monitor as it sounds now: the level of each of the tones
// over the last 300 ms of a recording that runs for the listener's lifetime.
class SinkListener {
public:
    // At the shared test server's sink, unless the environment names another.
    explicit SinkListener(std::vector<int> tones, QStringList serverEnvironment = PulseTestServer::serverEnvironment());

    bool Start() { return m_recorder.start(); }

    // Polls until done holds for the current levels; the levels last heard
    // are in *heard either way.
    bool WaitFor(const std::function<bool(const ToneLevels &)> &done, int timeoutMs, ToneLevels *heard);

private:
    ToneLevels levels() const;

    std::vector<int> m_tones;
    PulseRecorder m_recorder;
    std::vector<qint16> m_samples;
};

// The one tone of levels louder than audible, 0 when none or several are.
int SoundingTone(const ToneLevels &levels, double audible);

std::string Describe(const ToneLevels &levels);

// Polls until both channels of the sink stand within one step of the mixer
// (256) of expected.
bool WaitForSinkVolume(int expected, int timeoutMs, std::vector<int> *seen);

std::string Text(const std::vector<int> &values);
