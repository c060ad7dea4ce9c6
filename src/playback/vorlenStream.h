#pragma once

#include "metadata/taggerRef.h"
#include "playback/audioEngine.h"
#include "playback/streamState.h"
#include "playback/trackPlan.h"

#include <QString>
#include <QtGlobal>

// One track played through one engine stream, with a linear volume rise at
// its start and a linear fall at its end. The stream holds the record it
// plays, so the lists it came from may drop it meanwhile. GUI thread only.
class TvorlenStream {
public:
    explicit TvorlenStream(AudioEngine &engine);
    ~TvorlenStream();
    TvorlenStream(const TvorlenStream &) = delete;
    TvorlenStream &operator=(const TvorlenStream &) = delete;

    void Load(TcustomTagger *track);
    // Load, to sound as plan says: a gapless plan follows the stream
    // previous plays on, without a gap (a plain load without it).
    void LoadPlanned(TcustomTagger *track, const TtrackPlan &plan, const TvorlenStream *previous);
    void OpenFile(const QString &fileName);
    void Play();
    void TogglePause();
    void Stop();
    void Close();
    qint64 GetPosition() const;
    // Playing, and every sample of the file has been heard: the track is over
    // even when its position never reaches LengthMs (a header that promised
    // more than the file holds).
    bool Ended() const;
    // The file is still being opened on the stream's own thread (a handle
    // exists, but its sound and length are not known yet).
    bool Opening() const;
    // The file turned out to hold no sound: the stream will never play.
    bool OpenFailed() const;
    // Loaded to follow another stream without a gap, and waiting for it to end.
    bool Following() const;
    // The stream followed has ended: this one has its channel now, playing
    // at the volume that channel had.
    void TakeOverChannel();
    // The stream has played out and a stream following it takes over its
    // channel: closes it without touching that channel.
    void PassOn();
    // A stream followed without a gap plays to its very end, at full volume.
    void HoldToEnd();
    const TtrackPlan &Plan() const { return m_plan; }
    // Where the music ends: the plan's end, or the stream's length.
    qint64 EndMs() const;
    // The fade-out of this track: the player's, or shorter when the plan
    // knows the track ends hard; 0 for a stream held to its end.
    int FadeOutMs() const;
    void Seek(qint64 ms);
    void SetVolume(int volume);
    void ApplyFade();

    // The fade volume at position of a track of length ms: the rise from
    // fadeInFromVolume to 255 over fadeInTime, the fall from 255 to
    // fadeOutToVolume over the last fadeOutTime, halves rounded to even. A
    // fade time of 0 takes the end value at once.
    static int FadeVolume(qint64 position, qint64 length, int fadeInTime, int fadeOutTime, int fadeInFromVolume,
                          int fadeOutToVolume);
    // A fade-out that follows a track's ending, measured as endingMs: the
    // ending's own length, at least kShortestFadeOutMs, at most fadeOutTime.
    static int FadeOutForEnding(qint64 endingMs, int fadeOutTime);
    static constexpr int kShortestFadeOutMs = 1000;

    int FadeOutTime() const { return m_fadeOutTime; }
    void SetFadeOutTime(int value) { m_fadeOutTime = value; }
    int FadeInTime() const { return m_fadeInTime; }
    void SetFadeInTime(int value) { m_fadeInTime = value; }
    quint8 FadeInFromVolume() const { return m_fadeInFromVolume; }
    void SetFadeInFromVolume(quint8 value) { m_fadeInFromVolume = value; }
    quint8 FadeOutToVolume() const { return m_fadeOutToVolume; }
    void SetFadeOutToVolume(quint8 value) { m_fadeOutToVolume = value; }

    // Taken from the engine once the file is open.
    qint64 LengthMs() const;
    int Channel() const { return m_channel; }
    EngineStream Handle() const { return m_handle; }
    quint8 Volume() const { return m_volume; }
    quint8 State() const { return m_state; }
    TcustomTagger *Track() const { return m_track.get(); }

private:
    // Opens the file, to follow the stream follows when it is not 0.
    void openFile(const QString &fileName, EngineStream follows);
    // What a closed stream no longer holds.
    void forget();

    AudioEngine &m_engine;
    int m_fadeOutTime = 0;
    int m_fadeInTime = 0;
    quint8 m_fadeInFromVolume = 0;
    quint8 m_fadeOutToVolume = 0;
    // Filled in by LengthMs once the engine knows it.
    mutable qint64 m_lengthMs = 0;
    int m_channel = -1;
    EngineStream m_handle = 0;
    quint8 m_volume = 0;
    quint8 m_state = ssStopped;
    TtaggerRef m_track;
    // How the loaded track is to sound; reset when it closes.
    TtrackPlan m_plan;
    bool m_holdToEnd = false;
};
