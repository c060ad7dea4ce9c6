#include "mpris/mprisPlayer.h"

#include "core/dmMain.h"
#include "metadata/customTagger.h"
#include "platform/raiseEvent.h"
#include "playback/vorlenStream.h"

#include <QDBusObjectPath>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

QString fileUrl(const QString &path)
{
    return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
}

QString statusText(TstreamState state)
{
    switch (state) {
    case ssStopped:
        return QStringLiteral("Stopped");
    case ssPlaying:
        return QStringLiteral("Playing");
    case ssPaused:
        return QStringLiteral("Paused");
    default:
        return QString();
    }
}

} // namespace

QVariantMap MprisMetadata(const TcustomTagger &track, const QString &trackId, qint64 lengthMs, const QString &coverFile)
{
    QVariantMap metadata;
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId)));
    if (lengthMs > 0)
        metadata.insert(QStringLiteral("mpris:length"), qint64(lengthMs * 1000));
    const QString file = track.Filename();
    metadata.insert(QStringLiteral("xesam:url"), fileUrl(file));
    if (!coverFile.isEmpty())
        metadata.insert(QStringLiteral("mpris:artUrl"), fileUrl(coverFile));
    if (!track.ValidTag()) {
        metadata.insert(QStringLiteral("xesam:title"), QFileInfo(file).fileName());
        return metadata;
    }
    metadata.insert(QStringLiteral("xesam:title"), track.Title());
    if (!track.Artist().isEmpty())
        metadata.insert(QStringLiteral("xesam:artist"), QStringList { track.Artist() });
    if (!track.Album().isEmpty())
        metadata.insert(QStringLiteral("xesam:album"), track.Album());
    if (!track.Genre().isEmpty())
        metadata.insert(QStringLiteral("xesam:genre"), QStringList { track.Genre() });
    if (track.Track() > 0)
        metadata.insert(QStringLiteral("xesam:trackNumber"), int(std::min<quint32>(track.Track(), INT_MAX)));
    return metadata;
}

TmprisPlayer::TmprisPlayer(TdmMain &core)
    : m_core(core)
    , m_subscription(core.Subscribe(*this))
    , m_status(statusText(ssStopped))
{
    m_status = PlaybackStatus();
    m_volume = Volume();
    TrackChanged(core.NowPlaying());
}

// --- the application -------------------------------------------------------

void TmprisPlayer::Raise()
{
    RaiseEvent(OnRaise);
}

void TmprisPlayer::Quit()
{
    // Saving the settings may ask the user something: the caller must not
    // wait for that.
    QTimer::singleShot(0, [&core = m_core] { core.RequestQuit(); });
}

// --- commands ----------------------------------------------------------------

void TmprisPlayer::Play()
{
    m_core.Play();
}

void TmprisPlayer::Pause()
{
    // The core's pause toggles: on a paused track it would resume.
    if (m_core.PlayState() == ssPlaying)
        m_core.Pause();
}

void TmprisPlayer::PlayPause()
{
    if (m_core.PlayState() == ssPlaying)
        m_core.Pause();
    else
        m_core.Play();
}

void TmprisPlayer::Stop()
{
    m_core.Stop();
}

void TmprisPlayer::Next()
{
    m_core.Skip();
}

const TvorlenStream *TmprisPlayer::playingStream() const
{
    if (m_trackId.isEmpty())
        return nullptr;
    const TvorlenStream *stream = m_core.PlayingStream();
    return stream && stream->LengthMs() > 0 ? stream : nullptr;
}

bool TmprisPlayer::CanSeek() const
{
    return playingStream() != nullptr;
}

void TmprisPlayer::Seek(qint64 offsetUs)
{
    const TvorlenStream *stream = playingStream();
    if (!stream)
        return;
    const qint64 target = std::max<qint64>(0, stream->GetPosition() + offsetUs / 1000);
    if (target > stream->LengthMs())
        Next();
    else
        m_core.Seek(target);
}

void TmprisPlayer::SetPosition(const QDBusObjectPath &trackId, qint64 positionUs)
{
    const TvorlenStream *stream = playingStream();
    // A client that has not yet heard of the track change asks for a place
    // in the track before.
    if (!stream || trackId.path() != m_trackId || positionUs < 0 || positionUs / 1000 > stream->LengthMs())
        return;
    m_core.Seek(positionUs / 1000);
}

bool TmprisPlayer::OpenUri(const QString &uri, QString *error)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isLocalFile()) {
        *error = QStringLiteral("Only local files (file: URIs) can be opened: %1").arg(uri);
        return false;
    }
    if (!m_core.QueueFile(url.toLocalFile(), error))
        return false;
    if (m_core.PlayState() == ssStopped)
        m_core.Play();
    return true;
}

// --- state -------------------------------------------------------------------

QString TmprisPlayer::PlaybackStatus() const
{
    // Opening and stopping are passing states: the status stays what it was.
    const QString status = statusText(m_core.PlayState());
    return status.isEmpty() ? m_status : status;
}

qint64 TmprisPlayer::Position() const
{
    const TvorlenStream *stream = playingStream();
    return stream ? stream->GetPosition() * 1000 : 0;
}

double TmprisPlayer::Volume() const
{
    return m_core.GetMasterVolume() / 255.0;
}

void TmprisPlayer::SetVolume(double volume)
{
    // Halves round to even, as everywhere in the jukebox.
    const int value = int(std::nearbyint(std::clamp(volume, 0.0, 1.0) * 255.0));
    m_core.SetMasterVolume(value);
}

// --- what the core announces ------------------------------------------------

void TmprisPlayer::announce(const QString &name, const QVariant &value)
{
    RaiseEvent(OnPropertiesChanged, QVariantMap { { name, value } });
}

void TmprisPlayer::TrackChanged(const TnowPlaying &playing)
{
    const TvorlenStream *stream = playing.stream;
    const TcustomTagger *track = stream ? playing.track.get() : nullptr;
    QVariantMap changed;
    if (track) {
        m_trackId = QStringLiteral("/org/vorlen/track/%1").arg(++m_trackCount);
        const qint64 length = stream->LengthMs() > 0 ? stream->LengthMs() : qint64(track->Duration());
        m_metadata = MprisMetadata(*track, m_trackId, length, playing.coverFile);
        changed.insert(QStringLiteral("Metadata"), m_metadata);
    } else if (!m_trackId.isEmpty()) {
        m_trackId.clear();
        m_metadata.clear();
        changed.insert(QStringLiteral("Metadata"), m_metadata);
    }
    if (CanSeek() != m_canSeek) {
        m_canSeek = CanSeek();
        changed.insert(QStringLiteral("CanSeek"), m_canSeek);
    }
    if (!changed.isEmpty())
        RaiseEvent(OnPropertiesChanged, changed);
}

void TmprisPlayer::PlayStateChanged(TstreamState)
{
    const QString status = PlaybackStatus();
    if (status != m_status) {
        m_status = status;
        announce(QStringLiteral("PlaybackStatus"), status);
    }
    if (CanSeek() != m_canSeek) {
        m_canSeek = CanSeek();
        announce(QStringLiteral("CanSeek"), m_canSeek);
    }
}

void TmprisPlayer::VolumeChanged()
{
    const double volume = Volume();
    if (volume != m_volume) {
        m_volume = volume;
        announce(QStringLiteral("Volume"), volume);
    }
}

void TmprisPlayer::PositionJumped(qint64 positionMs)
{
    RaiseEvent(OnSeeked, positionMs * 1000);
}
