#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

// The local socket of the jukebox that keeps programFolder: a path in the
// user's runtime folder ($XDG_RUNTIME_DIR, when it is a folder of the user's
// that nobody else may enter), else in a folder of the same kind that the
// jukebox makes for the user in the temporary folder, else (that name taken by
// someone else) a name of the user's own in the temporary folder. In a shared
// folder another user could make the socket first and answer for the
// jukebox. The name tells program folders apart, so two jukeboxes with their
// own VORLEN_HOME run side by side.
QString SingleInstanceName(const QString &programFolder);

// Keeps the jukebox to one running instance per program folder: the first
// instance listens on a local socket (SingleInstanceName); a later start finds
// it, asks it to raise its window and ends without showing its own.
class TsingleInstanceGuard : public QObject {
public:
    explicit TsingleInstanceGuard(const QString &name, QObject *parent = nullptr);
    ~TsingleInstanceGuard() override;

    // True when this is the first instance (it now serves the name). False when
    // another instance answered; that instance has been asked to raise its
    // window, and this one should end.
    bool Claim();

    // Raised in the first instance when a later start asks it to come forward.
    std::function<void()> OnRaiseRequested;

private:
    void serveConnection();

    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
};
