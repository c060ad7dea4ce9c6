#include "mpris/mprisService.h"

#include "mpris/mprisAdaptors.h"
#include "mpris/mprisPlayer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <utility>

namespace {

const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

void announce(const QDBusConnection &bus, const QString &interface, const QVariantMap &changed)
{
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(TmprisService::kObjectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << interface << changed << QStringList();
    bus.send(signal);
}

} // namespace

struct TmprisService::Private {
    Private(TdmMain &core, TmprisWindow shownWindow)
        : window(std::move(shownWindow))
        , player(core)
    {
    }

    TmprisWindow window;
    QDBusConnection bus { QString() };
    QString serviceName;
    // The bus object the two interfaces hang on.
    QObject object;
    TmprisPlayer player;
    TmprisPlayerAdaptor *playerAdaptor = nullptr;
};

TmprisService::TmprisService(TdmMain &core, TmprisWindow window)
    : d(std::make_unique<Private>(core, std::move(window)))
{
    d->player.OnRaise = d->window.raise;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    new TmprisRootAdaptor(&d->object, d->player, d->window);
    d->playerAdaptor = new TmprisPlayerAdaptor(&d->object, d->player, bus);
    const QString path = QString::fromLatin1(kObjectPath);
    if (!bus.registerObject(path, &d->object, QDBusConnection::ExportAdaptors))
        return;
    // A second jukebox on the same bus (another login of the same user) takes
    // an instance name, as the media-player naming rules ask.
    QString name = QString::fromLatin1(kServiceName);
    if (!bus.registerService(name)) {
        name += QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
        if (!bus.registerService(name)) {
            bus.unregisterObject(path);
            return;
        }
    }
    d->bus = bus;
    d->serviceName = name;

    Private *p = d.get();
    p->player.OnPropertiesChanged = [p](const QVariantMap &changed) { announce(p->bus, kPlayerInterface, changed); };
    p->player.OnSeeked = [p](qint64 positionUs) { Q_EMIT p->playerAdaptor->Seeked(positionUs); };
}

TmprisService::~TmprisService()
{
    if (!Registered())
        return;
    d->bus.unregisterService(d->serviceName);
    d->bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

bool TmprisService::Registered() const
{
    return !d->serviceName.isEmpty();
}

void TmprisService::FullScreenChanged()
{
    if (Registered() && d->window.isFullScreen)
        announce(d->bus, kRootInterface, { { QStringLiteral("Fullscreen"), d->window.isFullScreen() } });
}
