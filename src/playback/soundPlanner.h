#pragma once

#include "metadata/gainTags.h"
#include "playback/loudnessStore.h"
#include "playback/trackPlan.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class TcustomTagger;

// Which loudness a track is played at: off (the file's own), each track's,
// the album's, or the album's while consecutive tracks of one album play in
// album order and each track's otherwise.
enum TgainMode { gmOff, gmTrack, gmAlbum, gmAuto };

// The listener's choices of how tracks meet.
struct TsoundSettings {
    TgainMode GainMode = gmOff;
    // The loudness every track is brought to (LUFS), and a gain on top (dB).
    int TargetLoudness = -18;
    int PreAmp = 0;
    // Consecutive tracks of one album in album order follow each other
    // without a fade and without a gap.
    bool Gapless = true;
    // Fades skip the silence around the music, and a fade-out follows the
    // track's own ending.
    bool FadesMeetMusic = true;

    bool operator==(const TsoundSettings &) const = default;
    // Whether the tracks need measuring for these choices.
    bool NeedsMeasuring() const { return GainMode != gmOff || FadesMeetMusic; }
};

// Decides how each track the player is given is to sound (TtrackPlan): its
// gain, whether it follows the track before without a gap, where its music
// starts and ends. It reads the track's gain tags when it plans it, and
// takes what the store measured; what neither knows plays at the mean
// loudness of the tracks measured so far. GUI thread only.
class TsoundPlanner {
public:
    // The gain of a plan never goes above this (a track of near silence).
    static constexpr double kMaxGainDb = 24.0;

    explicit TsoundPlanner(const TloudnessStore &store);

    TsoundSettings &Settings() { return m_settings; }
    const TsoundSettings &Settings() const { return m_settings; }

    TtrackPlan Plan(const TcustomTagger &track, const TcustomTagger *previous);

    // The tracks of a track's album in the library (itself among them).
    std::function<std::vector<const TcustomTagger *>(const TcustomTagger &track)> AlbumTracks;
    // The track that will be asked for after the one planned, when that is
    // known already (the head of the queue).
    std::function<const TcustomTagger *()> UpcomingTrack;
    // Files that the plans would use measurements of, not measured yet.
    std::function<void(const QStringList &files)> WantMeasured;

    // Whether after follows before on one album, in album order: the same
    // album name (without regard to case), by the same artist or album
    // artist or from the same folder, and the next track number.
    static bool FollowsInAlbum(const TcustomTagger &before, const QString &beforeAlbumArtist,
        const TcustomTagger &after, const QString &afterAlbumArtist);
    // The factor that brings loudness to target plus pre-amp, held below
    // full scale by peak, and below kMaxGainDb.
    static float GainFactor(double loudness, std::optional<double> peak, int targetLoudness, int preAmp);

private:
    // What is known of one file: its tags and its measurement.
    struct Facts {
        QString path;
        TgainTags tags;
        std::optional<TloudnessEntry> measured;
        QString AlbumArtist() const;
    };
    const Facts &factsOf(const TcustomTagger &track);
    // The album's loudness and peak from the measurements of its tracks.
    std::optional<std::pair<double, double>> measuredAlbum(const TcustomTagger &track, QStringList *unmeasured);

    const TloudnessStore &m_store;
    TsoundSettings m_settings;
    // The last files planned: the track before is planned already.
    std::deque<Facts> m_recent;
};
