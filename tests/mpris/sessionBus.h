#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A session bus of the test's own (dbus-daemon --session), listening in a
// temporary folder; it ends with the object, or with the test process should
// that crash.
class SessionBus {
public:
    SessionBus() = default;
    ~SessionBus();
    SessionBus(const SessionBus &) = delete;
    SessionBus &operator=(const SessionBus &) = delete;

    // Starts the daemon and waits until it takes connections.
    bool Start(QString *error);
    // What DBUS_SESSION_BUS_ADDRESS would say of it.
    QString Address() const { return m_address; }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};
