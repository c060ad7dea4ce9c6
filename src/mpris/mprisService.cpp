#include "mpris/mprisService.h"

#include "mpris/mprisAdaptors.h"
#include "mpris/mprisPlayer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

} // namespace

struct TmprisService::Private {
    explicit Private(TdmMain &core)
        : player(core)
    {
    }

    QDBusConnection bus { QString() };
    QString serviceName;
    // The bus object the two interfaces hang on.
    QObject object;
    TmprisPlayer player;
    TmprisPlayerAdaptor *playerAdaptor = nullptr;
};

TmprisService::TmprisService(TdmMain &core, std::function<void()> raise)
    : d(std::make_unique<Private>(core))
{
    d->player.OnRaise = std::move(raise);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    new TmprisRootAdaptor(&d->object, d->player);
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
    p->player.OnPropertiesChanged = [p](const QVariantMap &changed) {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kObjectPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        signal << kPlayerInterface << changed << QStringList();
        p->bus.send(signal);
    };
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
