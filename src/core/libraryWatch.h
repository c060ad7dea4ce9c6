#pragma once

#include "library/folderWatcher.h"
#include "library/libraryUpdater.h"

#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class TcoreUserInterface;
class Tmp3JukeBoxLists;

// Keeps the library current with the music folders while the jukebox runs:
// the folder watcher's batches reach the library through the updater, each
// announced to the faces as one change set. The library cache is saved a
// while after the last change (and at exit), not after each one: a large
// library takes a moment to write.
//
// A batch that arrives while the core has the library's rebuild suspended
// (loading the library, adding a scan's files) waits until it is done.
//
// GUI thread only; the watcher's worker is the watcher's business.
class TlibraryWatch {
public:
    TlibraryWatch(Tmp3JukeBoxLists &library, TcoreUserInterface &ui);
    ~TlibraryWatch();

    // Saves the library cache; false when it could not be written.
    std::function<bool()> SaveCache;
    // Starts saving the library cache without waiting for it (the save a
    // while after a change); SaveFailed reports a failure.
    std::function<void()> SaveCacheInBackground;
    void SaveFailed();
    // A record is about to leave the library.
    std::function<void(const TcustomTagger &record)> OnRemoving;

    // Watches these folders (every other watch stops); none stops watching.
    // Nothing is watched before the library was first loaded: there would
    // be nothing to keep current, and all the music would look new.
    void Start(const QStringList &folders);
    void Stop();
    bool Watching() const { return m_watcher.Running(); }
    const QStringList &Folders() const { return m_folders; }
    // The library was loaded afresh: what is out of reach is marked again.
    void LibraryLoaded();
    // Saves the cache now when the watch changed the library since the last
    // save; false when that save failed.
    bool SaveIfChanged();

    const TfolderWatcher &Watcher() const { return m_watcher; }
    const TlibraryUpdater &Updater() const { return m_updater; }
    // How long after the last change the cache is saved.
    static constexpr int kSaveDelayMs = 10000;

private:
    void arrived(TfolderChanges &changes);
    void applyWaiting();

    Tmp3JukeBoxLists &m_library;
    TcoreUserInterface &m_ui;
    TfolderWatcher m_watcher;
    TlibraryUpdater m_updater;
    QStringList m_folders;
    std::deque<TfolderChanges> m_waiting;
    QTimer m_retry;
    QTimer m_save;
    bool m_unsaved = false;
    bool m_loaded = false;
};
