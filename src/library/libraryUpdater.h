#pragma once

#include "library/folderChanges.h"

#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

class Tmp3JukeBoxLists;

// Brings a library up to date with what the folder watcher reports
// (TfolderChanges), one batch as one change of the library (TlibraryEdit):
// announced as a change set once the library took it, and only when
// something changed.
//
// - A renamed or moved file or folder keeps its records, and whatever holds
//   them keeps them too (the queue, the stacker, playlists).
// - A removed file or folder removes its records; a written file's record is
//   read again (the record stays the same one) or added.
// - A folder lost as a whole (an unmounted drive) removes nothing: its
//   records are marked unavailable, until a listing shows their files again.
//   A listing that shows a folder without a known file, or a listed tree
//   without a known folder, marks those records unavailable too; only a scan
//   the user starts removes them.
// - Listed files the library does not know, or whose time differs from
//   their record's, are handed back to be read (Tresult::toRead).
//
// GUI thread only.
class TlibraryUpdater {
public:
    explicit TlibraryUpdater(Tmp3JukeBoxLists &library);
    ~TlibraryUpdater();

    struct Tresult {
        // Records were added, removed, renamed or read again: the library
        // cache is out of date.
        bool changed = false;
        // Records became unavailable or available again.
        bool availability = false;
        // Files to read: new or changed, as listings showed them.
        QStringList toRead;
    };
    // Takes the records of the written files.
    Tresult Apply(TfolderChanges &changes);

    // The folders lost now.
    const QStringList &LostFolders() const { return m_lost; }
    // Marks the records below the lost folders unavailable again: the
    // library was loaded afresh. True when any record changed.
    bool MarkLost();

    // Called for each record just before it leaves the library.
    std::function<void(const TcustomTagger &record)> OnRemoving;

private:
    class Index;
    Index &index();

    Tmp3JukeBoxLists &m_library;
    std::unique_ptr<Index> m_index;
    QStringList m_lost;
    // Folders listed since the walk of the trees that hold them began.
    QSet<QString> m_listed;
};
