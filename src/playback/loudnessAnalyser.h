#pragma once

#include "platform/guiHandover.h"
#include "platform/pathList.h"
#include "playback/loudnessStore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Measures files one at a time on a thread of its own, at the system's idle
// priority for both the processor and the disc, so that it never takes time
// the sound or the window could use. Results go into the store, which is
// saved now and then from the analyser's thread, so that a restart resumes
// where it stopped; files measured already, unchanged since, are passed over.
//
// Created, driven and destroyed on the GUI thread; OnProgress runs there.
// The thread and the GUI thread share the work list and the counts, under
// m_mutex; the thread hands over a notice that carries no data.
// Measures file as it was when stamp was taken: its entry for the store
// (measured false when it could not be decoded). Stops early, with an entry
// that means nothing, once stop is set.
TloudnessEntry MeasureFile(const QString &file, const TfileStamp &stamp, const std::atomic<bool> &stop);

class TloudnessAnalyser {
public:
    // A progress report is due at most this often while files are measured.
    static constexpr int kProgressMs = 250;
    // The store is saved after this many new measurements, and when the list
    // is done.
    static constexpr int kSaveEvery = 200;

    TloudnessAnalyser(TloudnessStore &store, const QString &storeFile);
    // Stops the thread, then saves what it measured.
    ~TloudnessAnalyser();
    TloudnessAnalyser(const TloudnessAnalyser &) = delete;
    TloudnessAnalyser &operator=(const TloudnessAnalyser &) = delete;

    // The files to measure, in this order; replaces the list given before.
    void SetFiles(TpathList files);
    // Files to measure after those of the list (new to the library, or
    // written since).
    void Append(const QStringList &files);
    // Files to measure before all others (what plays, what is queued).
    void Prefer(const QStringList &files);
    // Start and Stop: whether the thread works through the list; a stopped
    // analyser leaves its file unfinished and takes it up again at Start.
    void Start();
    void Stop();
    bool Running() const;

    struct Progress {
        int done = 0;
        int total = 0;
        bool running = false;
    };
    // How far the list has got.
    Progress GetProgress() const;

    // After files were measured, and when the list is done.
    std::function<void()> OnProgress;

private:
    // The thread's notice that files were measured.
    struct Measured { };

    void run();
    bool takeNext(QString *file);
    void measure(const QString &file);
    void notify();
    void report();

    TloudnessStore &m_store;
    const QString m_storeFile;
    // The report timer's context on the GUI thread: the timer ends with the
    // analyser.
    QObject m_context;
    TguiHandover<Measured> m_notices;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    TpathList m_files;
    qsizetype m_next = 0;
    std::deque<QString> m_preferred;
    int m_done = 0;
    int m_unsaved = 0;
    bool m_running = false;
    bool m_quit = false;
    bool m_notifyPending = false;

    // GUI thread only: when the last report went out, and whether one waits.
    QElapsedTimer m_lastReport;
    bool m_reportDue = false;

    // Set to stop a measurement under way: by Stop and at destruction.
    std::atomic<bool> m_stopScan { false };
    std::thread m_thread;
};
