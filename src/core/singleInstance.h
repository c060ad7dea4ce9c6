#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

// Keeps the jukebox to one running instance per user: the first instance
// listens on a local socket named after the application title; a later start
// finds it, asks it to raise its window and ends without showing its own.
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
