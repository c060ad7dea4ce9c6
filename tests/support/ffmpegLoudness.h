#pragma once

#include <QString>
#include <optional>

// What FFmpeg's own EBU R 128 filter (ebur128) reads of a file: integrated
// loudness (LUFS) and true peak (dBFS). A meter of its own, against which the
// jukebox's measurements and what it plays are checked. Nothing when ffmpeg
// fails.
struct FfmpegLoudness {
    double loudness = 0;
    double truePeakDb = 0;
};
std::optional<FfmpegLoudness> MeasureWithFfmpeg(const QString &path, bool dualMono = false);
