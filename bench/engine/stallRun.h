#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "playback/audioEngine.h"

// Real-time cross-fades with the GUI thread blocked for a second at each step
// of every cross-fade: just before the next track is asked for, at the switch
// to it, during the fade, and as the outgoing track ends. The real
// TcrossPlayer plays, driven by its own timer, into a real SDL device: the
// private PulseAudio server of the sound tests, started here, whose sink is
// recorded, or SDL's dummy driver when no server can be started.
// At most this far from zero counts as silence (-72 dBFS); the quietest the
// tracks get is pink noise at volume 30 of 255.
inline constexpr int kSilenceThreshold = 8;

struct StallRunReport {
    struct Stall {
        QString moment;
        // How far the current track moved while the GUI thread was blocked.
        qint64 playedMs = 0;
    };
    QString output;
    QString error;
    std::vector<Stall> stalls;
    int tracksStarted = 0;
    AudioEngine::MixStats stats;
    // The longest run of silent frames between the first and the last sound:
    // in the mix as the DSP chain saw it, and as recorded from the sink (-1
    // without a recording).
    double longestMixSilenceMs = 0;
    double longestOutputSilenceMs = -1;
    // With files to analyse: how many the loudness analyser measured while
    // the tracks played (in rounds, until it was done), and in how long.
    int analysed = 0;
    double analysisSeconds = 0;
};

// Plays files one after the other; pulseScript is the sound tests' server
// script and pulseDir where its server lives. With files to analyse, the
// loudness analyser measures them meanwhile (into a store in storeFolder),
// and the files are played again until it is done.
StallRunReport RunStalledCrossFades(const QStringList &files, const QString &pulseScript, const QString &pulseDir,
    const QStringList &analyse = {}, const QString &storeFolder = QString());
