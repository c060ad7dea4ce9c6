#pragma once

#include "playback/audioEngine.h"
#include "playback/threadedTimer.h"
#include "playback/trackPlan.h"
#include "playback/vorlenStream.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class TcustomTagger;

// Plays an open-ended sequence of tracks without gaps on two streams: while
// one track fades out, the next fades in. It does not know the queue; it asks
// its owner for each track through OnNeedTrack. Owns the audio engine, which
// lives exactly as long as the player. Without a sound output at its creation
// it tries again to open one every kEngineRetryMs until it can, and does not
// play meanwhile. GUI thread only.
class TcrossPlayer {
public:
    using TplayerEvent = std::function<void(TcrossPlayer *sender)>;
    using TstreamEvent = std::function<void(TcrossPlayer *sender, TvorlenStream *stream)>;
    // The handler sets track to the record to play, or leaves it empty.
    using TneedTrackEvent = std::function<void(TcrossPlayer *sender, TtaggerRef &track)>;
    // How a track just supplied is to sound; previous is the track it
    // follows, or null when nothing plays before it.
    using TplanEvent
        = std::function<TtrackPlan(TcrossPlayer *sender, TcustomTagger *track, const TcustomTagger *previous)>;

    static constexpr quint16 kPlayingInterval = 250;
    static constexpr quint16 kIdleInterval = 1000;
    // The next track is asked for this long before the fade-out begins.
    static constexpr int kRequestLeadMs = 2000;
    // A record whose file is gone or will not open is skipped and the next
    // one asked for at once, at most this many times in a row; then the
    // player idles and asks again at its next tick, so a library of nothing
    // but damaged files costs a few failed opens a second, not a busy loop.
    static constexpr int kRequestAttempts = 5;
    // A stream opens its file on a thread of its own; the player looks this
    // often whether a track it started has opened, so that its start is
    // announced (or its failure passed over) without waiting for a tick.
    static constexpr int kOpenPollMs = 10;
    // A sound server started late or a device plugged in is found within
    // this time; each attempt costs a start of the sound system, so not less.
    static constexpr int kEngineRetryMs = 2000;

    explicit TcrossPlayer(const AudioEngineOptions &engineOptions = {});
    ~TcrossPlayer();
    TcrossPlayer(const TcrossPlayer &) = delete;
    TcrossPlayer &operator=(const TcrossPlayer &) = delete;

    // Whether the sound output is open, and if not, why the last attempt
    // failed.
    bool EngineOpen() const { return m_engineOpen; }
    const QString &EngineError() const { return m_engineError; }
    AudioEngine &Engine() { return m_engine; }

    void Play();
    void TogglePause();
    void StopAll();
    void Next();
    quint8 GetState() const;
    void Seek(qint64 ms);
    TcustomTagger *CurrentTrack() const;
    // Raises OnNeedTrack and loads what it supplies into stream; false when
    // it supplied nothing.
    bool RequestTrack(TvorlenStream *stream);
    // The timer's handler; public so that a caller may drive the player itself.
    void Tick();

    int FadeInTime() const { return m_fadeInTime; }
    void SetFadeInTime(int value);
    int FadeOutTime() const { return m_fadeOutTime; }
    void SetFadeOutTime(int value);
    quint8 FadeInFromVolume() const { return m_fadeInFromVolume; }
    void SetFadeInFromVolume(quint8 value);
    quint8 FadeOutToVolume() const { return m_fadeOutToVolume; }
    void SetFadeOutToVolume(quint8 value);

    TvorlenStream &StreamA() { return *m_streamA; }
    TvorlenStream &StreamB() { return *m_streamB; }
    TvorlenStream *CurrentStream() const { return m_currentStream; }
    TvorlenStream *OutgoingStream() const { return m_outgoingStream; }
    bool NextRequested() const { return m_nextRequested; }
    TThreadedTimer &Timer() { return *m_timer; }

    TplayerEvent OnStateChange;
    TstreamEvent OnPlaying;
    TneedTrackEvent OnNeedTrack;
    TstreamEvent OnTrackStart;
    // Unset: every track plays as its file is, with the player's fades.
    TplanEvent OnPlanTrack;
    // The sound output, missing until now, has opened: the engine's DSP
    // units can be made from here on.
    TplayerEvent OnEngineOpen;

private:
    void CopyFadeSettings();
    TvorlenStream *OtherStream() const;
    // RequestTrack, planned to follow previous (null: nothing before it).
    bool RequestTrackAfter(TvorlenStream *stream, TvorlenStream *previous);
    bool RequestPlayableTrack(TvorlenStream *stream, TvorlenStream *previous = nullptr);
    // The current stream has ended and the other, which follows it without a
    // gap, has its channel: the other becomes current.
    void PassOnToFollower();
    void StartCurrent();
    // Announces a started track whose file has opened since; replaces one
    // whose file turned out to hold no sound.
    void SettleStart();
    void RetryEngine();

    AudioEngine m_engine;
    bool m_engineOpen = false;
    QString m_engineError;
    // Runs only while the sound output is missing.
    QTimer m_engineRetry;
    std::unique_ptr<TvorlenStream> m_streamA;
    std::unique_ptr<TvorlenStream> m_streamB;
    TvorlenStream *m_currentStream = nullptr;
    TvorlenStream *m_outgoingStream = nullptr;
    quint8 m_lastState = ssStopped;
    bool m_nextRequested = false;
    // The owner's last tracks all failed to open: the next tick that finds
    // the current stream idle asks again.
    bool m_retryRequest = false;
    // The current stream was started while its file was still opening: its
    // start is announced once it has opened.
    bool m_startPending = false;
    // Started tracks in a row whose files held no sound.
    int m_failedStarts = 0;
    int m_fadeInTime = 5000;
    int m_fadeOutTime = 5000;
    quint8 m_fadeInFromVolume = 120;
    quint8 m_fadeOutToVolume = 30;
    std::unique_ptr<TThreadedTimer> m_timer;
    // Owns the looks at a pending start: they end with the player.
    QObject m_pollContext;
};
