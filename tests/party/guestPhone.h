#pragma once

#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QStringList>

// A guest's phone: Chromium, headless and phone-sized, driven by Selenium
// through tests/party/guestBrowser.py, one command at a time. Each phone has
// a browser profile of its own, so its cookies are its own.
class TguestPhone {
public:
    TguestPhone();
    ~TguestPhone();
    TguestPhone(const TguestPhone &) = delete;
    TguestPhone &operator=(const TguestPhone &) = delete;

    // Whether the browser started; the reason in *error when not.
    bool Start(QString *error);

    QString Open(const QString &url);
    QString Url();
    QString Text(const QString &css);
    QStringList Texts(const QString &css);
    QString Html(const QString &css);
    int Count(const QString &css);
    bool Type(const QString &css, const QString &text);
    bool Click(const QString &css, int index = 0);
    // Waits until the first element css matches shows text; what it showed
    // last in *seen.
    bool Wait(const QString &css, const QString &text, int timeoutMs, QString *seen = nullptr);
    QJsonValue Eval(const QString &script);
    // Waits until script (the body of a function) returns true.
    bool Until(const QString &script, int timeoutMs);
    // The text of an open alert box; empty when none is open.
    QString Alert();
    bool Screenshot(const QString &file);

    // The last command's failure, for the test's messages.
    const QString &LastError() const { return m_error; }

private:
    QJsonValue run(const QJsonObject &command, bool *ok = nullptr, int timeoutMs = 30000);

    QProcess m_process;
    QString m_error;
};
