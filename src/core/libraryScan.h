#pragma once

#include "platform/fileProblem.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TcoreListeners;
class Tmp3JukeBoxLists;
class TvorlenScanThread;

// Whether a library track lies in one of the music folders, by a plain
// prefix test on the path: the folder "/music" also holds "/music2/a.mp3".
bool InMusicFolders(const QString &fileName, const QStringList &folders);

// How a scan of the music folders treats what the library knows.
struct TscanOptions {
    // The library forgets what it knows: every file found is new, and the
    // library is rebuilt from the scan alone.
    bool fullScan = false;
    // Tracks that lie outside every music folder leave the library.
    bool removeMissing = false;
};

// How far a scan has got.
struct TscanProgress {
    QString folder;
    int newFiles = 0;
    int modifiedFiles = 0;
};

// What a completed scan found, for the library to take.
struct TscanFindings {
    TscanOptions options;
    QStringList newFiles;
    // Music folders the scan could not reach (gone, or a mount point with
    // nothing mounted): nothing below them is removed.
    QStringList missingFolders;
    std::vector<TfileProblem> unreadable;
};

// The user's scan of the music folders, which any face may start and stop:
// the folder scan runs on its worker, its progress and its end are announced
// to every face (ScanStarted, ScanProgress, ScanEnded), and a completed
// scan's findings go to OnCompleted before the end is announced. A stopped
// scan changes nothing.
//
// GUI thread only; the scan's worker is TvorlenScanThread's business.
class TlibraryScan {
public:
    TlibraryScan(const Tmp3JukeBoxLists &library, const TcoreListeners &listeners);
    ~TlibraryScan();
    TlibraryScan(const TlibraryScan &) = delete;
    TlibraryScan &operator=(const TlibraryScan &) = delete;

    // Starts scanning the music folders; false (nothing starts) while a scan
    // runs.
    bool Start(const QStringList &folders, TscanOptions options);
    void Stop();
    bool Running() const { return m_thread != nullptr; }
    const TscanProgress &Progress() const { return m_progress; }

    // A completed scan's findings.
    std::function<void(TscanFindings &findings)> OnCompleted;

private:
    void finished();

    const Tmp3JukeBoxLists &m_library;
    const TcoreListeners &m_listeners;
    std::unique_ptr<TvorlenScanThread> m_thread;
    TscanOptions m_options;
    TscanProgress m_progress;
    bool m_stopped = false;
    // Receives the worker's end on the GUI thread.
    QObject m_context;
};
