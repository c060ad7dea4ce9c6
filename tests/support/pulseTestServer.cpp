#include "pulseTestServer.h"

#include <QProcess>
#include <cstring>

namespace PulseTestServer {

QString socketPath()
{
    return QStringLiteral(VORLEN_PULSE_DIR "/native");
}

QString sinkName()
{
    return QStringLiteral("vorlen_null");
}

bool UsePulseTestServer()
{
    const QByteArray server = "unix:" + socketPath().toUtf8();
    qputenv("PULSE_SERVER", server);
    qputenv("PULSE_SINK", sinkName().toUtf8());
    qputenv("PULSE_RUNTIME_PATH", QByteArray(VORLEN_PULSE_DIR "/runtime"));
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    return !pactl({QStringLiteral("info")}).isEmpty();
}

QByteArray pactl(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + socketPath());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

} // namespace PulseTestServer

PulseRecorder::~PulseRecorder()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool PulseRecorder::start()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + PulseTestServer::socketPath());
    m_process.setProcessEnvironment(env);
    m_process.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=") + PulseTestServer::sinkName() + QStringLiteral(".monitor"),
                     QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                     QStringLiteral("--raw"), QStringLiteral("--latency-msec=20")});
    return m_process.waitForStarted(5000);
}

std::vector<qint16> PulseRecorder::takeSamples()
{
    m_process.waitForReadyRead(0);
    return samplesFrom(m_process.readAllStandardOutput());
}

std::vector<qint16> PulseRecorder::stop()
{
    m_process.terminate();
    m_process.waitForFinished(5000);
    return samplesFrom(m_process.readAllStandardOutput());
}

std::vector<qint16> PulseRecorder::samplesFrom(QByteArray raw)
{
    raw.prepend(m_partial);
    const std::size_t count = std::size_t(raw.size()) / sizeof(qint16);
    m_partial = raw.mid(qsizetype(count * sizeof(qint16)));
    std::vector<qint16> samples(count);
    std::memcpy(samples.data(), raw.constData(), count * sizeof(qint16));
    return samples;
}
