#pragma once

#include "core/coreListeners.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QtGlobal>
#include <functional>

class QDBusObjectPath;
class TcustomTagger;
class TdmMain;
class TvorlenStream;

// The jukebox as the desktop's media controls see it: what plays, the
// playback status, the position and the volume, and the commands they may
// give. It is a face of the core beside the window: it hears of every change
// from the core itself, and every command goes through the same core
// operation as the window's key for it, so every face shows its effect.
//
// Times on this side are microseconds; the volume is 0.0 to 1.0 over the
// master volume's 0 to 255.
//
// GUI thread only: the core's announcements and the bus's calls arrive
// there.
class TmprisPlayer : private TcoreListener {
public:
    explicit TmprisPlayer(TdmMain &core);
    TmprisPlayer(const TmprisPlayer &) = delete;
    TmprisPlayer &operator=(const TmprisPlayer &) = delete;

    // --- the application ---------------------------------------------------
    void Raise();
    // Asks the jukebox to end as Exit does, once the caller has had its
    // answer: the settings are saved on the way.
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

    // Raised with the player properties that changed and their new values.
    std::function<void(const QVariantMap &changed)> OnPropertiesChanged;
    // Raised with the new position after a seek.
    std::function<void(qint64 positionUs)> OnSeeked;
    // Brings the window to the front (the program's single-instance raise).
    std::function<void()> OnRaise;

private:
    // --- what the core announces ---------------------------------------------
    void TrackChanged(const TnowPlaying &playing) override;
    void PlayStateChanged(TstreamState state) override;
    void VolumeChanged() override;
    void PositionJumped(qint64 positionMs) override;

    // The stream of the track clients know of, while it can be sought in.
    const TvorlenStream *playingStream() const;
    void announce(const QString &name, const QVariant &value);

    TdmMain &m_core;
    TcoreSubscription m_subscription;
    QVariantMap m_metadata;
    QString m_trackId;
    quint64 m_trackCount = 0;
    // The values clients were last told of.
    QString m_status;
    double m_volume = -1.0;
    bool m_canSeek = false;
};

// The metadata of a track for the media controls: its id, length, tags, file
// and cover as URLs. A track without a valid tag is titled by its file name.
QVariantMap MprisMetadata(
    const TcustomTagger &track, const QString &trackId, qint64 lengthMs, const QString &coverFile);
