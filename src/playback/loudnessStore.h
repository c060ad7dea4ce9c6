#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QtGlobal>
#include <mutex>
#include <optional>

// What the jukebox measured of one file (see TloudnessScan), with the file's
// size and modification time when it was measured: a file that changed since
// is measured again.
struct TloudnessEntry {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    // False when the file could not be decoded: it is not tried again until
    // it changes.
    bool measured = false;
    double loudness = 0;
    double truePeak = 0;
    qint64 lengthMs = 0;
    qint64 musicStartMs = 0;
    qint64 musicEndMs = 0;
    qint64 endingMs = 0;
    // From the file's tags when it was measured: which tracks form an album.
    QString albumArtist;

    bool operator==(const TloudnessEntry &) const = default;
};

// A file's size and modification time (nanoseconds since the epoch) now;
// size -1 when it cannot be queried.
struct TfileStamp {
    qint64 size = -1;
    qint64 modifiedNs = 0;
};
TfileStamp FileStampOf(const QString &path);

// The measurements of every file measured so far, keyed by path, and kept in
// a file of their own in the data folder ("loudness.dat"), apart from the
// library cache, whose format they leave alone.
//
// The file is UTF-8 text: a first line "VorlenLoudness<TAB>1", then a line
// per file of eleven fields separated by tabs: the path (percent-encoded),
// size, modification time, measured (1 or 0), loudness, true peak, length,
// music start, music end, ending, album artist (percent-encoded), and its
// newline. A line that does not read whole is passed by; the file is a cache,
// and what it loses is measured again.
//
// Used from the GUI thread and the analyser's thread: every member takes the
// store's own lock.
class TloudnessStore {
public:
    using Entries = QHash<QString, TloudnessEntry>;

    // The entry for path as the file is now: none when the file was never
    // measured or has changed since.
    std::optional<TloudnessEntry> Find(const QString &path, const TfileStamp &stamp) const;
    std::optional<TloudnessEntry> FindCurrent(const QString &path) const { return Find(path, FileStampOf(path)); }
    void Put(const QString &path, const TloudnessEntry &entry);
    int Count() const;
    // The mean loudness of the files measured (silent ones left out); none
    // before the first.
    std::optional<double> MeanLoudness() const;

    // Replaces the entries with the file's; a missing file reads as empty.
    // False when the file exists but cannot be read.
    bool Load(const QString &fileName);
    // Writes the entries, atomically, when they changed since the last Load
    // or Save; false with the reason in errorText when that failed.
    bool Save(const QString &fileName, QString *errorText = nullptr);

    static QByteArray Serialise(const Entries &entries);
    // The entries of a file's bytes, damaged lines passed by.
    static Entries Parse(const QByteArray &bytes);

private:
    void recount();

    mutable std::mutex m_mutex;
    Entries m_entries;
    double m_loudnessSum = 0;
    int m_loudnessCount = 0;
    bool m_changed = false;
};
