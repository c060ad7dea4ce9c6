#pragma once

#include "library/folderChanges.h"

#include <QHash>
#include <QString>
#include <chrono>

// The changes the folder watcher has seen and not yet reported, coalesced:
// copying an album in is one batch, however many events its files make, and
// a file still being written is reported once it is complete (closed after
// writing, or unchanged for kUnchanged). Times are given by the caller, so
// the rules can be followed step by step.
//
// Owned and used by one thread (the watcher's worker).
class TpendingChanges {
public:
    using Clock = std::chrono::steady_clock;
    using Time = Clock::time_point;

    // A burst of events is over when nothing has happened for this long, and
    // a file closed after writing is taken as complete this long after.
    static constexpr std::chrono::milliseconds kQuiet { 250 };
    // A file nobody closed (written through a map, or by a writer that keeps
    // it open) is complete once unchanged this long.
    static constexpr std::chrono::milliseconds kUnchanged { 1000 };
    // What is ready waits for the rest of its burst (a slow writer, a
    // stream of events that does not stop) at most this long.
    static constexpr std::chrono::milliseconds kLongestWait { 1000 };

    // A music file created, written, closed after writing (closed), or with
    // new times.
    void Written(const QString &path, bool closed, Time now);
    void Removed(const QString &path, Time now);
    // A rename within the watched tree; folders end with "/".
    void Moved(const QString &from, const QString &to, bool folder, Time now);
    // A folder deleted or moved out of the tree, or gone as a whole (lost):
    // what is pending below it goes with it.
    void RemovedFolder(const QString &folder, Time now);
    void Lost(const QString &folder, Time now);

    bool IsEmpty() const;
    // Whether a batch is due now.
    bool Due(Time now) const;
    // When a batch may next become due; Time::max() when nothing is pending.
    Time NextDue() const;
    // What is ready, when a batch is due (nothing otherwise); files still
    // being written stay. The written files come without records.
    TfolderChanges Take(Time now);

private:
    struct File {
        bool removed = false;
        bool closed = false;
        Time last;
    };
    Time readyAt(const File &file) const;
    // When the first and the last of what is pending are ready.
    void readiness(Time &first, Time &last) const;
    // Drops what is pending below a folder that is gone.
    void dropBelow(const QString &folder);

    QHash<QString, File> m_files;
    TfolderChanges m_structural;
    Time m_structuralSince;
    Time m_lastEvent;
};
