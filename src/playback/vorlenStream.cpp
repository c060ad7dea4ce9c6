#include "playback/vorlenStream.h"

#include "metadata/customTagger.h"
#include "platform/fileExists.h"

#include <algorithm>
#include <cmath>
#include <limits>

TvorlenStream::TvorlenStream(AudioEngine &engine) : m_engine(engine) {}

TvorlenStream::~TvorlenStream()
{
    Stop();
}

void TvorlenStream::Load(TcustomTagger *track)
{
    LoadPlanned(track, TtrackPlan(), nullptr);
}

void TvorlenStream::LoadPlanned(TcustomTagger *track, const TtrackPlan &plan, const TvorlenStream *previous)
{
    m_state = ssLoading;
    TtaggerRef held(track);
    if (track && QuietFileExists(track->Filename()))
        openFile(track->Filename(), plan.gapless && previous ? previous->Handle() : 0);
    if (m_handle) {
        m_plan = plan;
        if (plan.gain != 1.0f)
            m_engine.streamSetGain(m_handle, plan.gain);
        if (plan.startMs > 0 && !plan.gapless)
            m_engine.streamSetTimeMs(m_handle, plan.startMs);
    }
    // Opening closes what was loaded before, and that forgets the record.
    m_track = std::move(held);
}

void TvorlenStream::OpenFile(const QString &fileName)
{
    openFile(fileName, 0);
}

void TvorlenStream::openFile(const QString &fileName, EngineStream follows)
{
    m_state = ssLoading;
    Stop();
    if (m_state != ssStopped)
        return;
    const EngineStream handle = follows ? m_engine.streamOpenAfter(fileName, follows) : m_engine.streamOpen(fileName);
    if (handle) {
        m_handle = handle;
        m_lengthMs = m_engine.streamLengthMs(handle);
    }
}

void TvorlenStream::Play()
{
    if (!m_handle || m_channel != -1)
        return;
    const int channel = m_engine.streamPlay(m_handle, 0);
    m_channel = channel;
    m_volume = 0;
    m_state = channel >= 0 ? ssPlaying : ssStopped;
}

void TvorlenStream::TogglePause()
{
    if (m_state != ssPlaying && m_state != ssPaused)
        return;
    m_engine.setPaused(m_channel, !m_engine.paused(m_channel));
    m_state = m_engine.paused(m_channel) ? ssPaused : ssPlaying;
}

void TvorlenStream::Stop()
{
    // The engine takes the stream off its channel before it returns (it waits
    // out the mixer's pass, which never waits for this thread), so the stream
    // is silent and closed without an event loop in between.
    Close();
}

void TvorlenStream::Close()
{
    if (m_handle) {
        m_engine.streamStop(m_handle);
        m_engine.streamClose(m_handle);
        forget();
    }
    m_state = ssStopped;
    m_handle = 0;
}

void TvorlenStream::forget()
{
    m_channel = -1;
    m_lengthMs = 0;
    m_track.reset();
    m_volume = 0;
    m_plan = TtrackPlan();
    m_holdToEnd = false;
}

bool TvorlenStream::Following() const
{
    return m_handle && m_plan.gapless && m_channel == -1 && m_engine.streamChannel(m_handle) >= 0;
}

void TvorlenStream::TakeOverChannel()
{
    m_channel = m_engine.streamChannel(m_handle);
    m_state = m_channel >= 0 ? ssPlaying : ssStopped;
    m_volume = quint8(m_engine.volume(m_channel));
}

void TvorlenStream::PassOn()
{
    if (!m_handle)
        return;
    m_engine.streamPassOn(m_handle);
    forget();
    m_state = ssStopped;
    m_handle = 0;
}

void TvorlenStream::HoldToEnd()
{
    m_holdToEnd = true;
}

qint64 TvorlenStream::EndMs() const
{
    const qint64 length = LengthMs();
    if (m_holdToEnd || m_plan.endMs <= 0 || (length > 0 && m_plan.endMs >= length))
        return length;
    return m_plan.endMs;
}

int TvorlenStream::FadeOutForEnding(qint64 endingMs, int fadeOutTime)
{
    if (endingMs < 0)
        return fadeOutTime;
    return int(std::clamp<qint64>(endingMs, std::min(kShortestFadeOutMs, fadeOutTime), std::max(fadeOutTime, 0)));
}

int TvorlenStream::FadeOutMs() const
{
    if (m_holdToEnd)
        return 0;
    return FadeOutForEnding(m_plan.endingMs, m_fadeOutTime);
}

qint64 TvorlenStream::GetPosition() const
{
    if (!m_handle || m_state == ssStopped)
        return 0;
    return m_engine.streamTimeMs(m_handle);
}

bool TvorlenStream::Opening() const
{
    return m_handle && m_engine.streamState(m_handle) == EngineStreamState::Opening;
}

bool TvorlenStream::OpenFailed() const
{
    return m_handle && m_engine.streamState(m_handle) == EngineStreamState::Failed;
}

qint64 TvorlenStream::LengthMs() const
{
    if (m_handle && m_lengthMs == 0)
        m_lengthMs = m_engine.streamLengthMs(m_handle);
    return m_lengthMs;
}

bool TvorlenStream::Ended() const
{
    return m_handle && m_state == ssPlaying && m_engine.streamEnded(m_handle);
}

void TvorlenStream::Seek(qint64 ms)
{
    if (!m_handle)
        return;
    const qint64 length = LengthMs();
    m_engine.streamSetTimeMs(m_handle, ms < length || length == 0 ? ms : length - 100);
}

void TvorlenStream::SetVolume(int volume)
{
    if (!m_handle || volume == m_volume)
        return;
    m_engine.setVolume(m_channel, volume);
    m_volume = quint8(volume);
}

int TvorlenStream::FadeVolume(qint64 position, qint64 length, int fadeInTime, int fadeOutTime, int fadeInFromVolume,
                              int fadeOutToVolume)
{
    double volume;
    if (position <= fadeInTime) {
        volume = fadeInTime <= 0
            ? 255.0
            : std::nearbyint(double(position) / fadeInTime * (255 - fadeInFromVolume) + fadeInFromVolume);
    } else {
        const qint64 remaining = length - position;
        if (remaining <= fadeOutTime) {
            volume = fadeOutTime <= 0
                ? fadeOutToVolume
                : std::nearbyint(double(remaining) / fadeOutTime * (255 - fadeOutToVolume) + fadeOutToVolume);
        } else {
            volume = 255.0;
        }
    }
    // Past the reported length the fall would go below zero.
    return int(std::clamp(volume, 0.0, 255.0));
}

// Both fades count from where the music is: from its start, to its end. A
// track that follows without a gap does not fade in; one held to its end
// does not fade out.
void TvorlenStream::ApplyFade()
{
    if (m_state != ssPlaying)
        return;
    const qint64 start = m_plan.gapless ? 0 : m_plan.startMs;
    const qint64 position = std::max<qint64>(GetPosition() - start, 0);
    const int fadeIn = m_plan.gapless ? 0 : m_fadeInTime;
    const qint64 length = m_holdToEnd ? std::numeric_limits<qint64>::max() / 2 : EndMs() - start;
    SetVolume(FadeVolume(position, length, fadeIn, FadeOutMs(), m_fadeInFromVolume, m_fadeOutToVolume));
}
