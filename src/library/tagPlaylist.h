#pragma once

#include "library/randomList.h"
#include "library/taggerList.h"
#include "platform/fileProblem.h"

#include <optional>

// What loading a playlist found wrong with its files.
struct TplaylistLoadReport {
    // The cache could not be read whole or does not match the M3U file (it
    // names files the M3U file does not list): the playlist was read from
    // the M3U file instead, when there was one. The damaged cache is left as
    // it is for whoever keeps it.
    std::optional<TfileProblem> damagedCache;
    // When the M3U file was read: its entries that name no existing file.
    QStringList notFound;
    // The M3U file could not be read: the system's reason.
    QString m3uError;
};

// A playlist: a track list walked in order or at random when the queue is
// empty. Created owning its records. The play position lives in memory only.
class TtagPlaylist : public TtaggerList {
public:
    TtagPlaylist();

    bool StopAtEnd() const { return m_stopAtEnd; }
    void SetStopAtEnd(bool value) { m_stopAtEnd = value; }
    bool AutoCounterReset() const { return m_autoCounterReset; }
    void SetAutoCounterReset(bool value) { m_autoCounterReset = value; }
    const QString &Caption() const { return m_caption; }
    void SetCaption(const QString &value) { m_caption = value; }
    bool Randomise() const { return m_randomise; }
    void SetRandomise(bool value);
    // The M3U file the playlist was made from.
    const QString &Filename() const { return m_filename; }
    void SetFilename(const QString &value) { m_filename = value; }
    int Position() const { return m_position; }
    TRandomList &RandomOrder() { return m_randomOrder; }

    // The next record to play: the random order's next when Randomise, else the
    // record at the play position (wrapping, or none at the end with StopAtEnd).
    TcustomTagger *NextRecord();
    void ResetPosition() { m_position = 0; }
    void Activated();
    void Changed() override;

    void LoadFromM3U(const QString &fileName, TplaylistLoadReport *report = nullptr);
    // LoadFromM3U that keeps the playlist as it was when the file is missing
    // or names no existing music file; false then.
    bool ReloadFromM3U(const QString &fileName, TplaylistLoadReport *report = nullptr);
    // With a cache folder, the playlist's cache there is read when it exists
    // (no music file is touched); otherwise the M3U file itself. A cache that
    // cannot be read whole, names files the M3U file does not list, or holds
    // fewer tracks than the M3U file now finds, gives way to the M3U file.
    void LoadPlaylist(const QString &fileName, bool append, const QString &cacheFolder,
                      TplaylistLoadReport *report = nullptr);
    // Writes the cache (with a cache folder) and the M3U file; false when
    // either could not be written. Both are tried; failures (with the system's
    // reason) are added to failures when given.
    bool SavePlaylist(const QString &fileName, const QString &cacheFolder,
                      std::vector<TfileProblem> *failures = nullptr);

private:
    // How the records just read from a cache stand to the M3U file: they are
    // what it lists, fewer than it now finds, or they name files it does not
    // list.
    enum TcacheMatch { cmMatches, cmStale, cmForeign };
    static TcacheMatch cacheMatch(const TtagPlaylist &cached, const QString &m3uFile);
    void loadFromM3u(const QString &fileName, bool append, TplaylistLoadReport *report);
    void takeRecords(TtagPlaylist &source, bool append);

    QString m_caption;
    QString m_filename;
    TRandomList m_randomOrder;
    int m_position = 0;
    bool m_stopAtEnd = false;
    bool m_autoCounterReset = false;
    bool m_randomise = false;
};

// The cache file of a playlist made from an M3U file, in the cache folder: the
// M3U file's name without folder and extension, a dot, eight hexadecimal
// digits that tell apart lists of the same name in different folders, and
// ".vpl" ("party.1f0a33c2.vpl").
QString PlaylistCacheFile(const QString &m3uFile, const QString &cacheFolder);
