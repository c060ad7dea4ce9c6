#include "mpris/mprisAdaptors.h"

#include "core/dmMain.h"
#include "mpris/mprisPlayer.h"
#include "mpris/mprisService.h"

#include <QDBusError>
#include <QDBusMessage>

// --- org.mpris.MediaPlayer2 ------------------------------------------------------

TmprisRootAdaptor::TmprisRootAdaptor(QObject *object, TmprisPlayer &player, const TmprisWindow &window)
    : QDBusAbstractAdaptor(object)
    , m_player(player)
    , m_window(window)
{
}

bool TmprisRootAdaptor::Fullscreen() const
{
    return m_window.isFullScreen && m_window.isFullScreen();
}

void TmprisRootAdaptor::SetFullscreen(bool value)
{
    if (CanSetFullscreen())
        m_window.setFullScreen(value);
}

bool TmprisRootAdaptor::CanSetFullscreen() const
{
    return bool(m_window.setFullScreen);
}

QString TmprisRootAdaptor::Identity() const
{
    return QString::fromLatin1(TdmMain::kApplicationTitle);
}

QString TmprisRootAdaptor::DesktopEntry() const
{
    return QStringLiteral("vorlen");
}

QStringList TmprisRootAdaptor::SupportedUriSchemes() const
{
    return { QStringLiteral("file") };
}

QStringList TmprisRootAdaptor::SupportedMimeTypes() const
{
    return { QStringLiteral("audio/mpeg"), QStringLiteral("audio/ogg"), QStringLiteral("audio/x-vorbis+ogg"),
        QStringLiteral("audio/x-ms-wma") };
}

void TmprisRootAdaptor::Raise()
{
    m_player.Raise();
}

void TmprisRootAdaptor::Quit()
{
    m_player.Quit();
}

// --- org.mpris.MediaPlayer2.Player -------------------------------------------------

TmprisPlayerAdaptor::TmprisPlayerAdaptor(QObject *object, TmprisPlayer &player, const QDBusConnection &bus)
    : QDBusAbstractAdaptor(object)
    , m_player(player)
    , m_bus(bus)
{
}

QString TmprisPlayerAdaptor::PlaybackStatus() const
{
    return m_player.PlaybackStatus();
}

void TmprisPlayerAdaptor::SetRate(double rate)
{
    // The one rate a client may ask for besides 1.0 is 0.0, which means pause.
    if (rate == 0.0)
        m_player.Pause();
}

QVariantMap TmprisPlayerAdaptor::Metadata() const
{
    return m_player.Metadata();
}

double TmprisPlayerAdaptor::Volume() const
{
    return m_player.Volume();
}

void TmprisPlayerAdaptor::SetVolume(double volume)
{
    m_player.SetVolume(volume);
}

qlonglong TmprisPlayerAdaptor::Position() const
{
    return m_player.Position();
}

bool TmprisPlayerAdaptor::CanSeek() const
{
    return m_player.CanSeek();
}

void TmprisPlayerAdaptor::Next()
{
    m_player.Next();
}

void TmprisPlayerAdaptor::Previous()
{
}

void TmprisPlayerAdaptor::Pause()
{
    m_player.Pause();
}

void TmprisPlayerAdaptor::PlayPause()
{
    m_player.PlayPause();
}

void TmprisPlayerAdaptor::Stop()
{
    m_player.Stop();
}

void TmprisPlayerAdaptor::Play()
{
    m_player.Play();
}

void TmprisPlayerAdaptor::Seek(qlonglong Offset)
{
    m_player.Seek(Offset);
}

void TmprisPlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    m_player.SetPosition(TrackId, Position);
}

void TmprisPlayerAdaptor::OpenUri(const QString &Uri, const QDBusMessage &message)
{
    QString error;
    if (!m_player.OpenUri(Uri, &error)) {
        message.setDelayedReply(true);
        m_bus.send(message.createErrorReply(QDBusError::InvalidArgs, error));
    }
}
