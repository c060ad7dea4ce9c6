#pragma once

#include "metadata/customTagger.h"
#include "platform/fileTime.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// What the folder watcher reports about the music folders, one batch at a
// time. Paths are full paths; a folder's path ends with "/".

// A music file written (created, changed, or renamed or moved into the
// watched tree) and complete: closed after writing, or unchanged for a
// while. Its record is read on the watcher's worker; null when the file
// could not be read (vanished, unreadable, not a file its readers know).
struct TwrittenFile {
    QString path;
    std::unique_ptr<TcustomTagger> record;
};

// A rename within the watched tree, of a file or of a folder (with every
// file below it): the records follow, whoever holds them.
struct TmovedPath {
    QString from;
    QString to;
    bool folder = false;
};

// A folder as it is now: the music files in it and their last-write times.
struct TfolderListing {
    struct File {
        QString name;
        WinFileTime time;
    };
    QString folder;
    std::vector<File> files;
};

struct TfolderChanges {
    // Renames, in the order they were made; the paths of everything else in
    // the batch are the paths after all of them.
    std::vector<TmovedPath> moves;
    // Files deleted, or moved out of the watched tree.
    QStringList removedFiles;
    // Folders (below a music folder) deleted or moved out of the watched
    // tree: every file below them is gone.
    QStringList removedFolders;
    // Music folders, or mounts within them, gone as a whole (an unmounted
    // drive, a dropped share, a folder removed with everything in it): what
    // was below them is out of reach for now, not gone.
    QStringList lostFolders;
    std::vector<TwrittenFile> written;
    // Folders looked through (at the start, when a folder comes back, in the
    // regular look at the folders that could not be watched), and the trees
    // whose every folder has now been listed: a known file in a listed folder
    // that is not in its listing, or in a folder of such a tree that was not
    // listed, is out of reach.
    std::vector<TfolderListing> listings;
    QStringList listedTrees;

    bool IsEmpty() const
    {
        return moves.empty() && removedFiles.isEmpty() && removedFolders.isEmpty() && lostFolders.isEmpty()
            && written.empty() && listings.empty() && listedTrees.isEmpty();
    }
};
