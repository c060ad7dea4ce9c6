#pragma once

#include <QString>

// Real encoded files for the engine benchmark, made by ffmpeg.
struct BenchTrackSpec {
    // A sine tone of this frequency; 0 for pink noise (independent in each channel).
    int sineFrequency = 0;
    int sampleRate = 44100;
    int seconds = 60;
};

// Encodes the sound of spec into path: MP3 through libmp3lame (VBR quality 2),
// Ogg Vorbis through libvorbis (quality 5), FLAC, or Opus at 128 kbit/s
// (from 48 kHz), after the extension. False when ffmpeg failed; its message
// then went to stderr.
bool MakeBenchTrack(const QString &path, const BenchTrackSpec &spec);
