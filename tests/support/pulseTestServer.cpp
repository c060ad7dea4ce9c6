#include "pulseTestServer.h"

#include "audioFixtures.h"
#include "childProcess.h"

#include <QFile>
#include <QRegularExpression>
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

QStringList serverEnvironment()
{
    return { QStringLiteral("PULSE_SERVER=unix:") + socketPath() };
}

QByteArray pactl(const QStringList &arguments)
{
    QByteArray output;
    return RunChild(QStringLiteral("pactl"), arguments, serverEnvironment(), &output, 10000) ? output : QByteArray();
}

std::vector<int> sinkVolumes()
{
    const QString text = QString::fromUtf8(pactl({ QStringLiteral("get-sink-volume"), sinkName() }));
    std::vector<int> volumes;
    static const QRegularExpression channel(QStringLiteral("front-(?:left|right):\\s*(\\d+)\\s*/"));
    for (auto it = channel.globalMatch(text); it.hasNext();)
        volumes.push_back(it.next().captured(1).toInt());
    return volumes;
}

} // namespace PulseTestServer

LatePulseServer::LatePulseServer() = default;

LatePulseServer::~LatePulseServer()
{
    if (m_started)
        RunTool(QStringLiteral(VORLEN_PULSE_SERVER_SCRIPT), { QStringLiteral("stop"), m_folder.path() });
}

QByteArray LatePulseServer::address() const
{
    return "unix:" + QFile::encodeName(m_folder.filePath(QStringLiteral("native")));
}

QStringList LatePulseServer::environment() const
{
    return { QStringLiteral("PULSE_SERVER=") + QString::fromUtf8(address()) };
}

bool LatePulseServer::start(QString *error)
{
    if (!m_folder.isValid()) {
        *error = QStringLiteral("no temporary folder: ") + m_folder.errorString();
        return false;
    }
    m_started = true;
    return RunTool(QStringLiteral(VORLEN_PULSE_SERVER_SCRIPT), { QStringLiteral("start"), m_folder.path() }, error);
}

PulseRecorder::PulseRecorder(QStringList serverEnvironment)
    : m_serverEnvironment(std::move(serverEnvironment))
{
}

bool PulseRecorder::start()
{
    return m_output.open()
        && m_child.Start(QStringLiteral("parec"),
            { QStringLiteral("--device=") + PulseTestServer::sinkName() + QStringLiteral(".monitor"),
                QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                QStringLiteral("--raw"), QStringLiteral("--latency-msec=20") },
            m_serverEnvironment, m_output.fileName(), false);
}

std::vector<qint16> PulseRecorder::takeSamples()
{
    QFile file(m_output.fileName());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_taken))
        return {};
    const QByteArray raw = file.readAll();
    m_taken += raw.size();
    return samplesFrom(raw);
}

std::vector<qint16> PulseRecorder::stop()
{
    m_child.Terminate();
    m_child.Wait(5000);
    return takeSamples();
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
