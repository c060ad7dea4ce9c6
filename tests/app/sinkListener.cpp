#include "sinkListener.h"

#include "toneLevel.h"

#include <QDeadlineTimer>
#include <QThread>
#include <cmath>

namespace {

constexpr std::size_t kWindow = 44100 * 3 / 10;

} // namespace

SinkListener::SinkListener(std::vector<int> tones, QStringList serverEnvironment)
    : m_tones(std::move(tones))
    , m_recorder(std::move(serverEnvironment))
{
}

bool SinkListener::WaitFor(const std::function<bool(const ToneLevels &)> &done, int timeoutMs, ToneLevels *heard)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QThread::msleep(100);
        const std::vector<qint16> taken = m_recorder.takeSamples();
        m_samples.insert(m_samples.end(), taken.begin(), taken.end());
        const std::size_t frames = m_samples.size() / 2;
        if (frames < kWindow)
            continue;
        // Keep one window, whole frames only.
        m_samples.erase(m_samples.begin(), m_samples.begin() + std::ptrdiff_t((frames - kWindow) * 2));
        *heard = levels();
        if (done(*heard))
            return true;
    } while (!deadline.hasExpired());
    return false;
}

ToneLevels SinkListener::levels() const
{
    ToneLevels result;
    for (int tone : m_tones)
        result[tone] = ToneAmplitude(m_samples, 0, kWindow, tone);
    double power = 0;
    for (std::size_t i = 0; i < kWindow * 2; ++i)
        power += double(m_samples[i]) * m_samples[i];
    result[0] = std::sqrt(power / double(kWindow * 2)) / 32768.0;
    return result;
}

int SoundingTone(const ToneLevels &levels, double audible)
{
    int sounding = 0;
    for (const auto &[tone, level] : levels) {
        if (tone != 0 && level > audible) {
            if (sounding != 0)
                return 0;
            sounding = tone;
        }
    }
    return sounding;
}

std::string Describe(const ToneLevels &levels)
{
    std::string text;
    for (const auto &[tone, level] : levels)
        text
            += (tone == 0 ? std::string("overall") : std::to_string(tone) + " Hz") + " " + std::to_string(level) + "; ";
    return text;
}

bool WaitForSinkVolume(int expected, int timeoutMs, std::vector<int> *seen)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        *seen = PulseTestServer::sinkVolumes();
        if (seen->size() == 2 && std::abs((*seen)[0] - expected) < 256 && std::abs((*seen)[1] - expected) < 256)
            return true;
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
}

std::string Text(const std::vector<int> &values)
{
    std::string text;
    for (int v : values)
        text += std::to_string(v) + " ";
    return text;
}
