#pragma once

#include <QString>

// The loudness analysis of whole files against FFmpeg decoding the same files
// and nothing else, on one thread: how many times faster than real time each
// runs on one core (target: the analysis at 100 times or more, the decoding
// being its limit). Minute-long pink noise in MP3, Ogg Vorbis and FLAC at
// 44.1 kHz and Opus at 48 kHz, made in folder. Prints the figures; false when
// a file could not be made.
bool ReportLoudnessThroughput(const QString &folder);
