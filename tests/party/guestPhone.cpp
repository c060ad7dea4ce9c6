#include "guestPhone.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <sys/prctl.h>

TguestPhone::TguestPhone()
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // The browser goes with the test, whichever way the test ends.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

TguestPhone::~TguestPhone()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("{\"op\": \"quit\"}\n");
    if (!m_process.waitForFinished(15000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool TguestPhone::Start(QString *error)
{
    m_process.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral(VORLEN_GUEST_BROWSER) });
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("python3 did not start: ") + m_process.errorString();
        return false;
    }
    // The script says "ready" once the browser is up.
    bool ok = false;
    const QJsonValue ready = run(QJsonObject(), &ok, 60000);
    if (!ok || ready.toString() != QStringLiteral("ready")) {
        *error = QStringLiteral("the browser did not start: ") + m_error
            + QString::fromUtf8(m_process.readAllStandardError());
        return false;
    }
    return true;
}

QJsonValue TguestPhone::run(const QJsonObject &command, bool *ok, int timeoutMs)
{
    if (ok)
        *ok = false;
    if (!command.isEmpty())
        m_process.write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n');
    const QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_error
                = QStringLiteral("no answer from the browser: ") + QString::fromUtf8(m_process.readAllStandardError());
            return QJsonValue();
        }
        m_process.waitForReadyRead(100);
    }
    const QJsonObject answer = QJsonDocument::fromJson(m_process.readLine()).object();
    if (!answer.value(QStringLiteral("ok")).toBool()) {
        m_error = answer.value(QStringLiteral("error")).toString();
        return QJsonValue();
    }
    m_error.clear();
    if (ok)
        *ok = true;
    return answer.value(QStringLiteral("value"));
}

QString TguestPhone::Open(const QString &url)
{
    return run({ { QStringLiteral("op"), QStringLiteral("open") }, { QStringLiteral("url"), url } }).toString();
}

QString TguestPhone::Url()
{
    return run({ { QStringLiteral("op"), QStringLiteral("url") } }).toString();
}

QString TguestPhone::Text(const QString &css)
{
    return run({ { QStringLiteral("op"), QStringLiteral("text") }, { QStringLiteral("css"), css } }).toString();
}

QStringList TguestPhone::Texts(const QString &css)
{
    QStringList texts;
    for (const QJsonValue text :
        run({ { QStringLiteral("op"), QStringLiteral("texts") }, { QStringLiteral("css"), css } }).toArray())
        texts << text.toString();
    return texts;
}

QString TguestPhone::Html(const QString &css)
{
    return run({ { QStringLiteral("op"), QStringLiteral("html") }, { QStringLiteral("css"), css } }).toString();
}

int TguestPhone::Count(const QString &css)
{
    return run({ { QStringLiteral("op"), QStringLiteral("count") }, { QStringLiteral("css"), css } }).toInt(-1);
}

bool TguestPhone::Type(const QString &css, const QString &text)
{
    bool ok = false;
    run({ { QStringLiteral("op"), QStringLiteral("type") }, { QStringLiteral("css"), css },
            { QStringLiteral("text"), text } },
        &ok);
    return ok;
}

bool TguestPhone::Click(const QString &css, int index)
{
    bool ok = false;
    run({ { QStringLiteral("op"), QStringLiteral("click") }, { QStringLiteral("css"), css },
            { QStringLiteral("index"), index } },
        &ok);
    return ok;
}

bool TguestPhone::Wait(const QString &css, const QString &text, int timeoutMs, QString *seen)
{
    bool ok = false;
    const QJsonValue shown = run({ { QStringLiteral("op"), QStringLiteral("wait") }, { QStringLiteral("css"), css },
                                     { QStringLiteral("text"), text }, { QStringLiteral("ms"), timeoutMs } },
        &ok, timeoutMs + 30000);
    if (seen)
        *seen = ok ? shown.toString() : m_error;
    return ok;
}

QJsonValue TguestPhone::Eval(const QString &script)
{
    return run({ { QStringLiteral("op"), QStringLiteral("eval") }, { QStringLiteral("js"), script } });
}

bool TguestPhone::Until(const QString &script, int timeoutMs)
{
    bool ok = false;
    run({ { QStringLiteral("op"), QStringLiteral("until") }, { QStringLiteral("js"), script },
            { QStringLiteral("ms"), timeoutMs } },
        &ok, timeoutMs + 30000);
    return ok;
}

QString TguestPhone::Alert()
{
    return run({ { QStringLiteral("op"), QStringLiteral("alert") } }).toString();
}

bool TguestPhone::Screenshot(const QString &file)
{
    return run({ { QStringLiteral("op"), QStringLiteral("screenshot") }, { QStringLiteral("file"), file } }).toBool();
}
