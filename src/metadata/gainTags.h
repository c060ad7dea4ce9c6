#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TbyteSource;

// The loudness a file's tags state for it: ReplayGain and R 128 gains, turned
// into the loudness (LUFS) of what the decoder makes of the file, so that
// gains written for different reference levels compare.
struct TgainTags {
    std::optional<double> trackLoudness;
    std::optional<double> albumLoudness;
    // Sample peaks, 1.0 being full scale.
    std::optional<double> trackPeak;
    std::optional<double> albumPeak;
    // The album artist, to tell which tracks form one album (compilations).
    QString albumArtist;

    bool HasLoudness() const { return trackLoudness || albumLoudness; }
};

// ReplayGain's reference: a gain of 0 dB means a loudness of -18 LUFS.
inline constexpr double kReplayGainReferenceLufs = -18.0;
// R 128 gains in Opus comments are relative to -23 LUFS.
inline constexpr double kOpusR128ReferenceLufs = -23.0;
// A stated gain beyond this many dB either way is damaged, not a gain.
inline constexpr double kMaxTagGainDb = 40.0;

// The gain tags of a file, chosen by its extension without regard to case:
// ".mp3"/".mp2" ID3v2 (TXXX REPLAYGAIN_* in any case, RVA2, TPE2) and an APEv2
// tag at the end (filling in what the ID3v2 tag lacks); ".ogg" and ".flac"
// Vorbis comments (REPLAYGAIN_*, ALBUMARTIST); ".opus" R128_TRACK_GAIN and
// R128_ALBUM_GAIN (ReplayGain comments where those are missing); ".wma" the
// ASF extended content description. Damaged values are ignored one by one.
// Never raises: a file that cannot be read gives no tags.
TgainTags ReadGainTags(const QString &fileName);

// The same from bytes held in memory, by container.
TgainTags ReadId3GainTags(const TbyteSource &source);
TgainTags ReadApeGainTags(const TbyteSource &source);
TgainTags ReadOggGainTags(const TbyteSource &source);
TgainTags ReadFlacGainTags(const TbyteSource &source);
TgainTags ReadAsfGainTags(const TbyteSource &source);

// The gains of "NAME=value" lines (Vorbis comments, APEv2 items, ASF):
// REPLAYGAIN_TRACK_GAIN / _PEAK, REPLAYGAIN_ALBUM_GAIN / _PEAK,
// R128_TRACK_GAIN / R128_ALBUM_GAIN, album artist.
TgainTags GainTagsOfLines(const QStringList &lines);

// A ReplayGain gain text ("-7.89 dB", "+3.2", "2 db"); nothing for a damaged
// one ("+inf dB", "12,3 dB", "500 dB").
std::optional<double> ParseGainText(const QString &text);
// A peak text ("0.988831"); nothing unless it is a plain positive number no
// larger than 10.
std::optional<double> ParsePeakText(const QString &text);
