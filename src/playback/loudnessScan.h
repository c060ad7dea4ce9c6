#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>

// What a listener hears of one file, measured by decoding all of it: EBU R 128
// integrated loudness and true peak (libebur128), where its music starts and
// ends, and how its ending falls away.
struct TloudnessScan {
    // False when the file could not be decoded (or the scan was stopped).
    bool ok = false;
    // Integrated loudness in LUFS; below kSilentLufs for a file of silence.
    double loudness = 0;
    // The largest true peak of any channel, 1.0 being full scale.
    double truePeak = 0;
    // The decoded length.
    qint64 lengthMs = 0;
    // The music: from the first to the end of the last 10 ms block whose
    // sample peak reaches kSilenceDbfs. Both 0 for a file of silence.
    qint64 musicStartMs = 0;
    qint64 musicEndMs = 0;
    // How long the ending falls away: from the last moment the momentary
    // loudness (400 ms) still stood within kEndingDropLu of the whole
    // track's loudness, to the end of the music. Short for a hard ending,
    // long for a slow fade-out.
    qint64 endingMs = 0;
};

// Sound below this level (dBFS, sample peak) counts as silence.
inline constexpr double kSilenceDbfs = -50.0;
// How far below the track's loudness its ending has fallen once it fades.
inline constexpr double kEndingDropLu = 1.5;
// Integrated loudness of silence as libebur128 reports it is minus infinity;
// anything below this is taken as silence.
inline constexpr double kSilentLufs = -70.0;

// Decodes fileName with FFmpeg at its own rate and channels, on the calling
// thread, and measures it. A mono file counts twice (it plays on both
// speakers). Returns soon after stop is set, with ok false.
TloudnessScan ScanLoudness(const QString &fileName, const std::atomic<bool> &stop);
