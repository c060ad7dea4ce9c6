#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QtGlobal>
#include <functional>

class QDBusObjectPath;
class TcustomTagger;
class TdmMain;
class TfrmJukebox;
class TvorlenStream;

// The jukebox as the desktop's media controls see it: what plays, the
// playback status, the position and the volume, and the commands they may
// give. Every command goes through the same core operation as the window's
// key for it, so the window shows its effect as it shows a key's.
//
// Times on this side are microseconds; the volume is 0.0 to 1.0 over the
// master volume's 0 to 255.
//
// GUI thread only: the window's notifications and the bus's calls arrive
// there.
class TmprisPlayer {
public:
    // A jump of the position this much beyond where playing can take it is
    // a seek made elsewhere (the window's position bar).
    static constexpr qint64 kSeekToleranceMs = 1000;

    TmprisPlayer(TdmMain &core, TfrmJukebox &window);
    TmprisPlayer(const TmprisPlayer &) = delete;
    TmprisPlayer &operator=(const TmprisPlayer &) = delete;

    // --- the application ---------------------------------------------------
    void Raise();
    // Closes the window as Exit does, once the caller has had its answer:
    // the settings are saved on the way.
    void Quit();

    // --- commands ----------------------------------------------------------
    void Play();
    // Pauses a playing track; nothing otherwise.
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    // By offsetUs from the current position; before the start means the
    // start, past the end means the next track.
    void Seek(qint64 offsetUs);
    // Ignored when trackId is not the track playing now, or positionUs lies
    // outside the track.
    void SetPosition(const QDBusObjectPath &trackId, qint64 positionUs);
    // Queues a local music file ("file:" URI) as the Queue File command
    // does, and starts playing when the player is stopped. False, with the
    // reason in error, when nothing was queued.
    bool OpenUri(const QString &uri, QString *error);

    // --- state -------------------------------------------------------------
    QString PlaybackStatus() const;
    QVariantMap Metadata() const { return m_metadata; }
    qint64 Position() const;
    double Volume() const;
    void SetVolume(double volume);
    bool CanSeek() const;

    // --- what the window is told of --------------------------------------------
    void TrackChanged(TvorlenStream *stream);
    void PlayStateChanged(int state);
    void VolumeChanged();
    void PositionChanged(TvorlenStream *stream);

    // Raised with the player properties that changed and their new values.
    std::function<void(const QVariantMap &changed)> OnPropertiesChanged;
    // Raised with the new position after a seek.
    std::function<void(qint64 positionUs)> OnSeeked;
    // Brings the window to the front (the program's single-instance raise).
    std::function<void()> OnRaise;

private:
    TvorlenStream *playingStream() const;
    void seekTo(qint64 ms);
    void announce(const QString &name, const QVariant &value);

    TdmMain &m_core;
    TfrmJukebox &m_window;
    QVariantMap m_metadata;
    QString m_trackId;
    quint64 m_trackCount = 0;
    // The values clients were last told of.
    QString m_status;
    double m_volume = -1.0;
    bool m_canSeek = false;
    // Where the last position tick found the track, and when.
    qint64 m_lastPosition = 0;
    QElapsedTimer m_sinceLastPosition;
};

// The metadata of a track for the media controls: its id, length, tags, file
// and cover as URLs. A track without a valid tag is titled by its file name.
QVariantMap MprisMetadata(
    const TcustomTagger &track, const QString &trackId, qint64 lengthMs, const QString &coverFile);
