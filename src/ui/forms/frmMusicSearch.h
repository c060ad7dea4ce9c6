#pragma once

#include "core/coreListeners.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class TdmMain;
class TiniFile;

// "Music Search": brings the library up to date with the music folders. Start
// asks the core for its scan of the music folders (TlibraryScan) and shows
// what it finds, as it shows a scan another face started; when the scan
// completes, the core adds the new files to the library, the window shows
// the progress of that update and then closes by itself. Stop ends the
// scan and adds nothing. Two options take tracks away: "Remove Missing
// Files" drops the library tracks that lie outside every music folder, "Full
// ReScan" empties the library so that it is rebuilt from the scan alone.
// Both take effect when the scan completes, just before the new files are
// added: a stopped run changes nothing.
//
// Created once and shown modally whenever asked. It refuses to close while a
// run is in progress. "Remove Missing Files" is kept in vorlen.ini (section
// "MusicSearch", key "DeleteFiles"); "Full ReScan" is cleared at every showing.
//
// Threads: GUI thread only. The scan worker reports to it on the GUI thread;
// the window keeps no library pointer (the worker looks records up in the
// library when it re-reads them).
class TfrmMusicSearch : public QDialog, private TcoreListener {
public:
    // Subscribes to the core's settings pass for the window's key and takes
    // the key from the settings file now.
    explicit TfrmMusicSearch(TdmMain &core, QWidget *parent = nullptr);
    ~TfrmMusicSearch() override;

    // Shows the window modally; returns when it has closed.
    int Execute();

    void LoadSettings(TiniFile &ini) override;
    void SaveSettings(TiniFile &ini) override;

    // A run is in progress: scanning or updating the library.
    bool Running() const { return !m_mayClose; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void btnStartClick();
    void btnStopClick();
    void showFolder(const QString &folder);
    // The scan, whichever face started it.
    void ScanStarted() override;
    void ScanProgress(const TscanProgress &progress) override;
    void ScanEnded(bool completed) override;
    // The progress of the library update after a scan.
    void TaskStarted(TcoreTask task, const QString &title, int count) override;
    void TaskProgress(TcoreTask task, int index) override;
    void TaskFinished(TcoreTask task) override;

    TdmMain &m_core;
    TcoreSubscription m_subscription;
    QCheckBox *m_cbRemoveMissing;
    QCheckBox *m_cbFullScan;
    QLabel *m_lblCurrentDir;
    QLabel *m_lblNewFilesFound;
    QLabel *m_lblModFilesFound;
    QLabel *m_lblAction;
    QProgressBar *m_pgbMusic;
    QLabel *m_lblProgressCount;
    QPushButton *m_btnStart;
    QPushButton *m_btnStop;

    // Paces the repaints of one library update; invalid before its first.
    QElapsedTimer m_sinceRepaint;
    QString m_currentFolder;
    bool m_mayClose = true;
};
