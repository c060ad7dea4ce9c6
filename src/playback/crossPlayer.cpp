#include "playback/crossPlayer.h"

#include "platform/raiseEvent.h"

#include <QTimer>

TcrossPlayer::TcrossPlayer(const AudioEngineOptions &engineOptions)
{
    m_engineOpen = m_engine.init(engineOptions, &m_engineError);
    if (!m_engineOpen) {
        m_engineRetry.setInterval(kEngineRetryMs);
        QObject::connect(&m_engineRetry, &QTimer::timeout, &m_engineRetry, [this] { RetryEngine(); });
        m_engineRetry.start();
    }
    m_streamA = std::make_unique<TvorlenStream>(m_engine);
    m_streamB = std::make_unique<TvorlenStream>(m_engine);
    m_currentStream = m_streamA.get();
    m_timer = std::make_unique<TThreadedTimer>();
    m_timer->SetInterval(kPlayingInterval);
    m_timer->SetOnTimer([this](QObject *) { Tick(); });
    m_timer->SetEnabled(true);
    CopyFadeSettings();
}

TcrossPlayer::~TcrossPlayer()
{
    m_engineRetry.stop();
    m_timer->SetEnabled(false);
    m_timer.reset();
    m_streamA.reset();
    m_streamB.reset();
    m_engine.close();
}

void TcrossPlayer::CopyFadeSettings()
{
    for (TvorlenStream *stream : {m_streamA.get(), m_streamB.get()}) {
        stream->SetFadeInTime(m_fadeInTime);
        stream->SetFadeOutTime(m_fadeOutTime);
        stream->SetFadeInFromVolume(m_fadeInFromVolume);
        stream->SetFadeOutToVolume(m_fadeOutToVolume);
    }
}

void TcrossPlayer::SetFadeInTime(int value)
{
    m_fadeInTime = value;
    CopyFadeSettings();
}

void TcrossPlayer::SetFadeOutTime(int value)
{
    m_fadeOutTime = value;
    CopyFadeSettings();
}

void TcrossPlayer::SetFadeInFromVolume(quint8 value)
{
    m_fadeInFromVolume = value;
    CopyFadeSettings();
}

void TcrossPlayer::SetFadeOutToVolume(quint8 value)
{
    m_fadeOutToVolume = value;
    CopyFadeSettings();
}

TvorlenStream *TcrossPlayer::OtherStream() const
{
    return m_currentStream == m_streamA.get() ? m_streamB.get() : m_streamA.get();
}

// No stream exists while the engine is closed: nothing plays or needs
// stopping, so the engine can be opened afresh.
void TcrossPlayer::RetryEngine()
{
    m_engineOpen = m_engine.reopen(&m_engineError);
    if (!m_engineOpen)
        return;
    m_engineRetry.stop();
    m_engineError.clear();
    RaiseEvent(OnEngineOpen, this);
}

void TcrossPlayer::Play()
{
    // Without an output every track asked for would fail to open and be
    // passed over: the queue would empty itself into the void.
    if (!m_engineOpen)
        return;
    switch (m_currentStream->State()) {
    case ssStopped:
        StopAll();
        RequestPlayableTrack(m_currentStream);
        StartCurrent();
        break;
    case ssPaused:
        m_currentStream->TogglePause();
        break;
    default:
        break;
    }
}

void TcrossPlayer::TogglePause()
{
    if (m_currentStream)
        m_currentStream->TogglePause();
}

void TcrossPlayer::StopAll()
{
    m_streamA->Stop();
    m_streamB->Stop();
    m_currentStream = m_streamA.get();
    // Both streams are closed now: a fade-out or a requested successor from
    // before would otherwise be switched to, silently, at the next track's end.
    m_outgoingStream = nullptr;
    m_nextRequested = false;
    m_retryRequest = false;
    m_startPending = false;
    m_failedStarts = 0;
}

void TcrossPlayer::Next()
{
    if (m_streamA->State() != ssStopped && m_streamB->State() != ssStopped)
        return;
    StopAll();
    Play();
}

quint8 TcrossPlayer::GetState() const
{
    return m_currentStream->State();
}

void TcrossPlayer::Seek(qint64 ms)
{
    m_currentStream->Seek(ms);
}

TcustomTagger *TcrossPlayer::CurrentTrack() const
{
    return m_currentStream->Track();
}

bool TcrossPlayer::RequestTrack(TvorlenStream *stream)
{
    return RequestTrackAfter(stream, nullptr);
}

bool TcrossPlayer::RequestTrackAfter(TvorlenStream *stream, TvorlenStream *previous)
{
    TtaggerRef track;
    RaiseEvent(OnNeedTrack, this, track);
    if (!track)
        return false;
    const TcustomTagger *before = previous ? previous->Track() : nullptr;
    const TtrackPlan plan = OnPlanTrack ? OnPlanTrack(this, track.get(), before) : TtrackPlan();
    stream->LoadPlanned(track.get(), plan, previous);
    // The track before plays to its very end, without fading, for this one
    // to follow it.
    if (stream->Handle() && plan.gapless && previous && stream->Following())
        previous->HoldToEnd();
    return true;
}

// True when stream now holds an open file. Without one the stream is left
// stopped: a record whose file vanished would otherwise leave it loading,
// a state in which Play does nothing.
bool TcrossPlayer::RequestPlayableTrack(TvorlenStream *stream, TvorlenStream *previous)
{
    m_retryRequest = false;
    int failed = 0;
    while (RequestTrackAfter(stream, previous)) {
        if (stream->Handle())
            return true;
        if (++failed == kRequestAttempts) {
            m_retryRequest = true;
            break;
        }
    }
    if (stream->State() == ssLoading)
        stream->Close();
    return false;
}

// OnTrackStart only for a stream that did start, and only once its file is
// open: a file that holds no sound is passed over as one that would not open.
void TcrossPlayer::StartCurrent()
{
    m_currentStream->Play();
    m_startPending = m_currentStream->State() == ssPlaying;
    SettleStart();
}

void TcrossPlayer::SettleStart()
{
    if (!m_startPending)
        return;
    if (m_currentStream->Opening()) {
        QTimer::singleShot(kOpenPollMs, &m_pollContext, [this] { SettleStart(); });
        return;
    }
    m_startPending = false;
    if (m_currentStream->OpenFailed()) {
        m_currentStream->Close();
        if (++m_failedStarts < kRequestAttempts) {
            if (RequestPlayableTrack(m_currentStream))
                StartCurrent();
        } else {
            m_failedStarts = 0;
            m_retryRequest = true;
        }
        return;
    }
    m_failedStarts = 0;
    RaiseEvent(OnTrackStart, this, m_currentStream);
}

void TcrossPlayer::PassOnToFollower()
{
    TvorlenStream *ended = m_currentStream;
    m_currentStream = OtherStream();
    ended->PassOn();
    m_currentStream->TakeOverChannel();
    m_nextRequested = false;
    m_startPending = m_currentStream->State() == ssPlaying;
    SettleStart();
}

void TcrossPlayer::Tick()
{
    // A failing handler ends this tick; the next one starts afresh.
    try {
        SettleStart();
    } catch (...) {
    }
    const qint64 position = m_currentStream->GetPosition();
    // Where the current track's music ends, and how long it fades out.
    const qint64 length = m_currentStream->EndMs();
    const int fadeOut = m_currentStream->FadeOutMs();
    // A damaged file can end long before the length its header claims; its
    // position then never comes near that length.
    const bool ended = m_currentStream->Ended();
    const quint16 interval = m_currentStream->State() == ssPlaying ? kPlayingInterval : kIdleInterval;
    if (m_timer->Interval() != interval)
        m_timer->SetInterval(interval);
    try {
        m_streamA->ApplyFade();
        m_streamB->ApplyFade();

        if (m_outgoingStream) {
            // Past the end of its music there is only silence to fade.
            const qint64 outgoingPosition = m_outgoingStream->GetPosition();
            const qint64 musicEnd = m_outgoingStream->EndMs();
            if (outgoingPosition == 0 || outgoingPosition == m_outgoingStream->LengthMs()
                || (musicEnd < m_outgoingStream->LengthMs() && outgoingPosition >= musicEnd)
                || !m_engine.isPlaying(m_outgoingStream->Channel())) {
                m_outgoingStream->Close();
                m_outgoingStream = nullptr;
            }
        }

        if (m_currentStream->State() != m_lastState) {
            m_lastState = m_currentStream->State();
            RaiseEvent(OnStateChange, this);
        }

        // A successor whose file held no sound is asked for again.
        if (m_nextRequested && OtherStream()->OpenFailed()) {
            OtherStream()->Close();
            m_nextRequested = false;
        }

        const qint64 remaining = length - position;
        // Until the current track's file has opened, its length and position
        // say nothing: no successor is asked for, none is switched to.
        if (m_startPending)
            return;
        if (m_currentStream->State() == ssPlaying) {
            RaiseEvent(OnPlaying, this, m_currentStream);
            // The other stream may still be fading out the previous track (a
            // track shorter than two fades plus the lead time): loading into
            // it now would cut that fade off and the closing of the outgoing
            // stream would then close the freshly loaded track, leaving the
            // player silent. Ask once it has played out.
            if ((ended || remaining < fadeOut + kRequestLeadMs) && !m_nextRequested && !m_outgoingStream) {
                m_nextRequested = true;
                RequestPlayableTrack(OtherStream(), m_currentStream);
            }
        }

        if (m_nextRequested && OtherStream()->Following()) {
            // No fade and no gap: the mixer moved on at the current track's
            // last sample; the player follows once it has.
            if (ended)
                PassOnToFollower();
        } else if ((ended || remaining < fadeOut || position == 0) && m_nextRequested) {
            m_outgoingStream = m_currentStream;
            m_currentStream = OtherStream();
            StartCurrent();
            m_nextRequested = false;
        }

        if (m_currentStream->State() != ssPlaying && m_currentStream->State() != ssPaused) {
            if (m_retryRequest && !m_currentStream->Handle())
                RequestPlayableTrack(m_currentStream);
            StartCurrent();
        }
    } catch (...) {
    }
}
