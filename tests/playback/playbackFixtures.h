#pragma once

#include <QString>
#include <QTemporaryDir>

// Short generated audio files for the playback tests, in one temporary folder.
class PlaybackFiles {
public:
    PlaybackFiles();
    // A 44100 Hz stereo WAV whose both channels follow expression (ffmpeg
    // aevalsrc, in t seconds) for seconds.
    QString Wave(const QString &name, const QString &expression, double seconds);
    // A sine tone of frequency Hz at amplitude 1/8 (ffmpeg's sine source).
    QString Tone(const QString &name, int frequency, double seconds);
    QString Path(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Mixed frames in manual-pump mode at 44100 Hz.
constexpr int FramesForMs(int ms)
{
    return ms * 441 / 10;
}
