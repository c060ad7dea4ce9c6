#include "mprisSignals.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.vorlen");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A map inside a variant arrives still marshalled.
QVariant unpacked(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        if (argument.currentType() == QDBusArgument::MapType)
            return qdbus_cast<QVariantMap>(argument);
    }
    return value;
}

} // namespace

bool TmprisSignals::Listen(QDBusConnection bus)
{
    return bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
               SLOT(propertiesChanged(QString, QVariantMap, QStringList)))
        && bus.connect(kService, kPath, QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"), this,
            SLOT(seeked(qlonglong)));
}

QVariantList TmprisSignals::Values(const QString &name) const
{
    QVariantList values;
    for (const QVariantMap &changed : m_changes) {
        if (changed.contains(name))
            values.append(changed.value(name));
    }
    return values;
}

void TmprisSignals::propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
{
    if (interface != QLatin1String("org.mpris.MediaPlayer2.Player")
        && interface != QLatin1String("org.mpris.MediaPlayer2"))
        return;
    QVariantMap values;
    for (auto it = changed.begin(); it != changed.end(); ++it)
        values.insert(it.key(), unpacked(it.value()));
    m_changes.append(values);
}

void TmprisSignals::seeked(qlonglong position)
{
    m_seeks.append(position);
}

QVariant MprisProperty(QDBusConnection bus, const QString &name, const QString &interface)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
    call << interface << name;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 20000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QVariant();
    return unpacked(reply.arguments().constFirst().value<QDBusVariant>().variant());
}
