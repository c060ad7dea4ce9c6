#pragma once

#include "audioFixtures.h"

#include <QString>
#include <QTemporaryDir>

// Short generated audio files for the playback tests, in one temporary folder.
class PlaybackFiles {
public:
    PlaybackFiles();
    // A 44100 Hz stereo WAV whose both channels follow expression (ffmpeg
    // aevalsrc, in t seconds) for seconds.
    QString Wave(const QString &name, const QString &expression, double seconds);
    // A stereo file of 32-bit float samples at sampleRate, left and right
    // following their own expressions (aevalsrc, in n samples or t seconds),
    // in codec with sampleFormat (pcm_f32le and flt give packed samples,
    // wavpack and fltp planar ones).
    QString FloatFile(const QString &name, const QString &left, const QString &right, double seconds,
                      const QString &codec, const QString &sampleFormat, int sampleRate = 44100);
    // A sine tone of frequency Hz at amplitude 1/8 (ffmpeg's sine source).
    QString Tone(const QString &name, int frequency, double seconds);
    QString Tone(const QString &name, const ToneSpec &spec);
    // Files that are not what their names promise, as a long-running library
    // collects them: bytes of a fixed pseudo-random sequence; the first bytes
    // of another file (a copy cut short).
    QString RandomBytes(const QString &name, int bytes, unsigned seed);
    QString CutCopy(const QString &name, const QString &from, qint64 bytes);
    QString Path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Mixed frames in manual-pump mode at 44100 Hz.
constexpr int FramesForMs(int ms)
{
    return ms * 441 / 10;
}
