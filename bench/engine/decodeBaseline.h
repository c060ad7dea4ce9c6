#pragma once

#include <QString>
#include <QtGlobal>

// What the engine's work is measured against: a file decoded with FFmpeg
// alone, and optionally brought to the mix format (interleaved stereo float at
// 44100 Hz) by the resampler the engine uses, with its settings, and nothing
// else. Returns the sample frames decoded (resampled: the frames made), 0 when
// the file could not be read.
qint64 DecodeAlone(const QString &path, bool toMixFormat);
