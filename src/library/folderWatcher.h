#pragma once

#include "library/folderChanges.h"
#include "platform/guiHandover.h"

#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>

// Watches music folders, and every folder below them, through Linux inotify,
// and reports what changed in coalesced batches (TfolderChanges): files
// written (once complete, their records read on the worker), removed and
// renamed, folders renamed and removed, folders gone as a whole and folders
// listed as they are now.
//
// - At the start every folder is listed once, so what changed while nobody
//   watched is found too; a music folder that comes back (a drive mounted
//   again) is listed again, and so is one that is another folder now (a
//   bind mount, a mount point left behind).
// - New folders are watched as they appear. Folders below the watch limit
//   (the kernel's, or one of this class's own) are not watched: OnWatchLimit
//   says so once, and those folders are listed again every RescanInterval.
// - A music folder removed, unmounted or moved away is lost, not removed:
//   what was below it is reported lost, and it is looked for again every
//   RootCheckInterval.
//
// Threads: the owner's thread (the GUI thread) configures, starts and stops
// the watcher and receives OnChanges and OnWatchLimit, handed to the thread
// this object was made in. One worker thread of its own watches, walks
// folders and reads records; it shares only the hand-over and the read
// requests (each under its lock) and the count of watched folders (atomic)
// with the owner's thread.
class TfolderWatcher {
public:
    TfolderWatcher();
    // Stops the worker; batches not yet delivered are dropped.
    ~TfolderWatcher();
    TfolderWatcher(const TfolderWatcher &) = delete;
    TfolderWatcher &operator=(const TfolderWatcher &) = delete;

    // Set before Start. At most this many folders are watched; 0 leaves the
    // limit to the kernel.
    void SetWatchLimit(int folders) { m_watchLimit = folders; }
    void SetRescanInterval(std::chrono::milliseconds interval) { m_rescanInterval = interval; }
    void SetRootCheckInterval(std::chrono::milliseconds interval) { m_rootCheckInterval = interval; }

    // Watches the folders (a running watch stops first). A folder that does
    // not exist is lost from the start, and looked for.
    void Start(const QStringList &folders);
    void Stop();
    bool Running() const { return m_thread.joinable(); }
    // Reads the files on the worker and reports them as written (the owner
    // asks for files a listing showed new or changed).
    void Read(const QStringList &paths);
    // Folders watched now.
    int WatchedFolders() const { return m_watched.load(); }

    std::function<void(TfolderChanges &changes)> OnChanges;
    // Some folders could not be watched: how many. Once per Start.
    std::function<void(int unwatched)> OnWatchLimit;

private:
    class Worker;
    friend class Worker;

    // What the worker hands over: a batch, or how many folders could not be
    // watched.
    using Notice = std::variant<TfolderChanges, int>;
    void deliver(Notice &notice);

    int m_watchLimit = 0;
    std::chrono::milliseconds m_rescanInterval { std::chrono::minutes(3) };
    std::chrono::milliseconds m_rootCheckInterval { std::chrono::seconds(1) };

    std::unique_ptr<Worker> m_worker;
    std::thread m_thread;
    std::atomic<int> m_watched { 0 };

    // From the worker to the owner's thread.
    TguiHandover<Notice> m_notices;
    // The files the owner asked to read, taken by the worker; under
    // m_requestLock.
    std::mutex m_requestLock;
    QStringList m_readRequests;
};
