#pragma once

#include "library/caselessMap.h"
#include "library/customTaggerList.h"
#include "platform/fileProblem.h"

#include <vector>

class TtagPlaylist;
struct TplaylistLoadReport;

// The named (preloaded) playlists, ordered by name without regard to case, one
// of which may be active. Owns its playlists. Routes every playlist's progress
// events to its own, with the playlist as sender.
class TtagPlayListCollection : public TComponent {
public:
    TtagPlayListCollection() = default;
    ~TtagPlayListCollection() override;

    void Clear();
    int Count() const { return m_playlists.Count(); }
    // Name and playlist at a position; empty / null outside 0 .. Count - 1.
    QString Names(int index) const;
    TtagPlaylist *Playlists(int index) const;
    TtagPlaylist *Find(const QString &name) const { return m_playlists.Find(name); }
    void FillNames(TstringList &strings) const;

    // A playlist made from an M3U file (every track's stream information
    // read); none when the file is missing or names no existing music file.
    // report, when given, receives the entries that named no file.
    TtagPlaylist *AddFromFile(const QString &name, const QString &m3uFile, TplaylistLoadReport *report = nullptr);
    // The same from a cache file when it exists.
    TtagPlaylist *AddFromCache(const QString &name, const QString &m3uFile, const QString &cacheFile);
    // Reads the index file (an INI file, one section per playlist). Every
    // playlist of the index is kept, also one whose files give no track for
    // now (its drive is unplugged, its cache was lost): it shows empty and
    // stays in the index. A cache that cannot be read whole gives way to the
    // M3U file. What could not be read whole (the index, damaged caches) is
    // added to problems when given; nothing is written.
    void LoadIndex(const QString &indexFile, const QString &cacheFolder, bool append,
                   std::vector<TfileProblem> *problems = nullptr);
    // Writes the index file (replacing it atomically) and, when the cache folder
    // exists, every playlist's cache; false when anything could not be written.
    // Every file is tried; the failures, with the system's reason, are added
    // to failures when given.
    bool SaveIndex(const QString &indexFile, const QString &cacheFolder,
                   std::vector<TfileProblem> *failures = nullptr) const;

    void Activate(const QString &name);
    void SetActive(bool flag);
    bool Active() const { return m_active; }
    TtagPlaylist *ActivePlaylist() const { return m_activePlaylist; }
    TcustomTagger *ActiveNext();
    void Delete(int index);
    void RemovePlaylist(TtagPlaylist *playlist);
    void SetDisplayTypeAll(TtagDisplayType type);
    TtagDisplayType DisplayType() const { return m_displayType; }

    TlistProcessStartEvent OnListProcessStart;
    TlistProcessEvent OnListProcess;
    TNotifyEvent OnListProcessFinished;

private:
    TtagPlaylist *newPlaylist(const QString &name);
    TtagPlaylist *keepIfFilled(TtagPlaylist *playlist, const QString &name);

    TcaselessMap<TtagPlaylist> m_playlists;
    TtagPlaylist *m_activePlaylist = nullptr;
    TtagDisplayType m_displayType = tdTitle;
    bool m_active = false;
};
