#pragma once

#include "library/knownFiles.h"
#include "library/stringList.h"
#include "library/vorlenFileRec.h"
#include "platform/fileProblem.h"
#include "platform/guiHandover.h"

#include <QStringList>
#include <QThread>
#include <deque>
#include <functional>
#include <vector>

class TcustomTagger;

// The extensions of the music files the folder scan looks for.
inline constexpr QLatin1StringView kMusicExtensions { "mp3;mp2;wma;ogg;flac;opus" };

// Scans the music folders for new and modified music files on its own thread,
// so that the window stays responsive and the scan can be stopped
// (requestInterruption ends it at the next directory entry). It never touches
// the library: new files are collected in NewFiles, and a known file whose
// last-write time differs from the one in KnownFiles is re-read on the GUI
// thread during its notification.
//
// The worker walks the folders, compares times and collects what it finds in
// batches; only new and modified files (and now and then the folder being
// scanned) cross to the GUI thread, a batch at a time, without the worker
// waiting for each. An unchanged file costs a stat, a table lookup and a time
// comparison on the worker.
//
// Threads: the owner (GUI thread) sets FolderList, Recursive, the extensions,
// KnownFiles, LookupRecord and the events before start(), and leaves them
// alone until finished; the worker only reads them. Everything the owner can
// read (NewFiles, ModifiedCount, MissingFolders, Unreadable, the current
// folder and file) is written on the GUI thread while a batch is delivered,
// so it may be read at any time there; every event runs on the GUI thread.
// All batches of a run are delivered before QThread::finished reaches a
// receiver on the GUI thread, unless an event handler lets pending events
// run: then the batches that arrive meanwhile wait for that handler to
// return, and finished may overtake them.
// The worker holds no pointer to a track record: a modified file's record is
// looked up through LookupRecord at the moment it is re-read.
class TvorlenScanThread : public QThread {
public:
    using FolderEvent = std::function<void(TvorlenScanThread *sender, const QString &folder)>;
    using NewFileEvent = std::function<void(TvorlenScanThread *sender, const QString &fileName, int newCount)>;
    using ModifiedFileEvent = std::function<void(TvorlenScanThread *sender, int modifiedCount)>;
    // The record of a known file as it stands now (see FindKnownRecord), or
    // null when the library no longer holds it. Called on the GUI thread.
    using RecordLookup = std::function<TcustomTagger *(const QString &path, int indexHint)>;

    // Create on the GUI thread: the events are delivered to the thread this
    // object lives in.
    TvorlenScanThread();
    // Stops a running scan and waits for it; findings not yet delivered are
    // dropped.
    ~TvorlenScanThread() override;

    // "mp3;mp2;wma;ogg": split at ";", each piece upper-cased; an empty last
    // piece (after a final ";") is dropped.
    void SetExtensions(const QString &text);
    const QStringList &Extensions() const { return m_extensions; }

    // Set before start().
    QStringList FolderList;
    bool Recursive = false;
    // The files already in the library (built from the master list).
    // Paths are compared exactly (case-sensitively), as the previous scan
    // stored them.
    TknownFiles KnownFiles;
    // Finds the record of a modified known file; when it is unset or finds
    // none, nothing is re-read and the file is not counted as modified.
    RecordLookup LookupRecord;
    // The folders of FolderList below which the library holds music: one of
    // them found empty is a drive's mount point left behind far more often
    // than music the user deleted as a whole.
    QStringList FoldersWithMusic;
    // The system's tables of the mount points it knows and of what is
    // mounted now, read when the scan starts.
    QString FstabFile = QStringLiteral("/etc/fstab");
    QString MountInfoFile = QStringLiteral("/proc/self/mountinfo");

    // Raised on the GUI thread. OnFolder is raised for each folder of
    // FolderList, and for the folder whose scan began last before a new or
    // modified file is reported, when it has not been yet; other folders are
    // reported a few times a second, as many as a window can show.
    FolderEvent OnFolder;
    NewFileEvent OnNewFile;
    ModifiedFileEvent OnModifiedFile;

    // Results: one line per new file, its path with its TvorlenFileRec (owned
    // by this object) attached.
    const TstringList &NewFiles() const { return m_newFiles; }
    int ModifiedCount() const { return m_modifiedCount; }
    const QString &CurrentFolder() const { return m_currentFolder; }
    // Folders that are not there (an unplugged drive, an unmounted share), in
    // the order found: a folder of FolderList that does not exist, or that is
    // empty and one of FoldersWithMusic, and any folder that the
    // system's file system table names as a mount point with nothing mounted
    // on it now. Nothing below them was seen, and nothing below them is gone.
    const QStringList &MissingFolders() const { return m_missingFolders; }
    // Folders and new files that are there but could not be read, with the
    // system's reason. Such a file is not among NewFiles; nothing below such
    // a folder was seen.
    const std::vector<TfileProblem> &Unreadable() const { return m_unreadable; }
    const QString &CurrentFile() const { return m_currentFile; }

protected:
    void run() override;

private:
    class Walker;

    // What the worker found, in the order found.
    struct Finding {
        enum Kind { fkFolder, fkNewFile, fkModifiedFile, fkMissingFolder, fkUnreadable };
        Kind kind;
        QString path;
        WinFileTime time;
        int indexHint;
        // fkUnreadable: the system's reason.
        QString reason = QString();
    };
    struct Batch {
        std::vector<Finding> findings;
        // The first batch of a run: the counts start again.
        bool startsRun = false;
    };

    // GUI thread: reports a batch.
    void deliver(const Batch &batch);
    void report(const Finding &finding);

    QString m_extensionText;
    QStringList m_extensions;

    // From the worker to the GUI thread; a few batches at most undelivered,
    // which bounds the memory and the lag of a worker that runs ahead of a
    // busy GUI thread.
    TguiHandover<Batch> m_batches;

    // GUI thread only.
    TstringList m_newFiles;
    std::deque<TvorlenFileRec> m_fileRecs;
    QString m_currentFolder;
    QString m_currentFile;
    QStringList m_missingFolders;
    std::vector<TfileProblem> m_unreadable;
    int m_modifiedCount = 0;
};
