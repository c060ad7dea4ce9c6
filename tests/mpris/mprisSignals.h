#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QVariantMap>

// What the jukebox announces on the bus: the property changes of the
// application and its player (Metadata as a map) and its seeks, in the order
// they came.
class TmprisSignals : public QObject {
    Q_OBJECT

public:
    // Starts listening on bus; false when the bus refused.
    bool Listen(QDBusConnection bus);

    // Every value property name was announced with, oldest first.
    QVariantList Values(const QString &name) const;
    const QList<qlonglong> &Seeks() const { return m_seeks; }

private Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);
    void seeked(qlonglong position);

private:
    QList<QVariantMap> m_changes;
    QList<qlonglong> m_seeks;
};

// The value of a property of the jukebox's player (org.mpris.MediaPlayer2.Player,
// or the application's interface when given), maps unpacked; invalid when the
// call failed.
QVariant MprisProperty(QDBusConnection bus, const QString &name,
    const QString &interface = QStringLiteral("org.mpris.MediaPlayer2.Player"));
