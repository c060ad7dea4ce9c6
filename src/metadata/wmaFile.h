#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class TbyteSource;

// The header objects of an ASF (Windows Media Audio) file: audio format,
// bit rate and the content descriptions.
class TWMAfile {
public:
    // True when the file could be read (also when it is no valid WMA file).
    bool ReadFromFile(const QString &fileName);
    bool ReadFromSource(const TbyteSource &source);

    bool Valid() const { return m_valid; }
    qint64 FileSize() const { return m_fileSize; }
    quint8 Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    double DurationSec() const { return m_durationSec; }
    int BitRateKbps() const { return m_bitRateKbps; }
    const QString &Title() const { return m_title; }
    const QString &Artist() const { return m_artist; }
    const QString &Album() const { return m_album; }
    const QString &TrackText() const { return m_trackText; }
    int Track() const { return m_track; }
    const QString &Year() const { return m_year; }
    const QString &Genre() const { return m_genre; }
    const QString &Comment() const { return m_comment; }
    // The extended content items about loudness (REPLAYGAIN_*) and the album
    // artist (WM/AlbumArtist), as "NAME=value" lines with the name as stored.
    const QStringList &SoundTexts() const { return m_soundTexts; }

private:
    void reset() { *this = TWMAfile(); }
    // False when a read fell outside the file.
    bool readObjects(const TbyteSource &source);

    QString m_title;
    QString m_artist;
    QString m_album;
    QString m_trackText;
    QString m_year;
    QString m_genre;
    QString m_comment;
    QStringList m_soundTexts;
    qint64 m_fileSize = 0;
    double m_durationSec = 0.0;
    double m_playSeconds = 0.0; // play duration less preroll, from the file properties
    quint32 m_maxBitRate = 0;
    quint32 m_averageBytesPerSecond = 0;
    int m_sampleRate = 0;
    int m_bitRateKbps = 0;
    int m_track = 0;
    quint16 m_channelCount = 0;
    quint8 m_channels = 0;
    bool m_valid = false;
};
