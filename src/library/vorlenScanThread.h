#pragma once

#include "library/stringList.h"
#include "library/vorlenFileRec.h"

#include <QHash>
#include <QStringList>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class TcustomTagger;

// Scans the music folders for new and modified music files on its own thread,
// so that the window stays responsive and the scan can be stopped
// (requestInterruption). It never touches the library: new files are collected
// in NewFiles, and a known file whose last-write time changed is re-read on the
// GUI thread during its notification.
//
// Threads: the owner (GUI thread) configures the scan before start() and reads
// the results after the thread has finished (QThread::finished, delivered on
// the GUI thread). While it runs, the worker owns the current folder and file
// and the found-file records; every event runs on the GUI thread while the
// worker waits for it (a blocking hand-over), so the GUI thread may read the
// worker's fields inside an event. NewFiles and ModifiedCount are written on
// the GUI thread, inside those calls. The known records belong to the GUI
// thread: the worker never touches them; their times are compared and a
// modified record re-read on the GUI thread. The worker hands each call over
// under m_handOverMutex and the GUI thread takes that lock before it reads
// the event, and again once the worker has ended: the two threads take turns
// by a lock the thread sanitizer can see, not only by Qt's own (which it
// cannot see in a Qt that was not built for it).
class TvorlenScanThread : public QThread {
public:
    using FolderEvent = std::function<void(TvorlenScanThread *sender, const QString &folder)>;
    using NewFileEvent = std::function<void(TvorlenScanThread *sender, const QString &fileName, int newCount)>;
    using ModifiedFileEvent = std::function<void(TvorlenScanThread *sender, int modifiedCount)>;

    // Create on the GUI thread: the events are delivered to the thread this
    // object lives in.
    TvorlenScanThread();
    // Stops a running scan and waits for it, letting the events it is
    // delivering run meanwhile.
    ~TvorlenScanThread() override;

    // "mp3;mp2;wma;ogg": split at ";", each piece upper-cased; an empty last
    // piece (after a final ";") is dropped.
    void SetExtensions(const QString &text);
    const QStringList &Extensions() const { return m_extensions; }

    // Set before start().
    QStringList FolderList;
    bool Recursive = false;
    // Full path of every file already in the library, to its record. Paths are
    // compared exactly (case-sensitively), as stored by the previous scan.
    QHash<QString, TcustomTagger *> KnownFiles;

    FolderEvent OnFolder;
    NewFileEvent OnNewFile;
    ModifiedFileEvent OnModifiedFile;

    // Results: one line per new file, its path with its TvorlenFileRec (owned
    // by this object) attached.
    const TstringList &NewFiles() const { return m_newFiles; }
    int ModifiedCount() const { return m_modifiedCount; }
    const QString &CurrentFolder() const { return m_currentFolder; }
    const QString &CurrentFile() const { return m_currentFile; }

protected:
    void run() override;
    // Runs the calls handed over by the worker.
    bool event(QEvent *event) override;

private:
    void scanFolders();
    void scanDirectory(const QString &folder, bool recursive);
    bool acceptedExtension(const QString &name) const;
    void onGuiThread(const std::function<void()> &call);

    QString m_extensionText;
    QStringList m_extensions;
    TstringList m_newFiles;
    std::deque<TvorlenFileRec> m_fileRecs;
    QString m_currentFolder;
    QString m_currentFile;
    int m_modifiedCount = 0;

    // The call the worker waits on, until the GUI thread has run it.
    std::mutex m_handOverMutex;
    std::condition_variable m_handedBack;
    const std::function<void()> *m_handedOver = nullptr;
};
