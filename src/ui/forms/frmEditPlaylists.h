#pragma once

#include "core/coreListeners.h"
#include "ui/forms/playlistFileChooser.h"

#include <QDialog>
#include <QElapsedTimer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;
class TdmMain;

// The playlist list editor ("Edit Playlists"): adds, updates, reloads and
// deletes the preloaded playlists, each change through the core. While a
// playlist is being added its progress replaces the Add and Update buttons,
// and the rest of the window waits, so that nothing edits the playlists
// halfway through. However it closes, the main window hears that the
// playlists changed. Its controls carry their component names (lbPlaylists,
// edName, edFilename, cbResetCounter, cbLoop, btnAdd ...).
//
// GUI thread only. It keeps no playlist between two clicks: each one reads
// the collection afresh.
class TfrmEditPlaylists : public QDialog, private TcoreListener {
public:
    explicit TfrmEditPlaylists(TdmMain &core, QWidget *parent = nullptr);

    // Shows the window modally; it lists the playlists as they are when it
    // comes on screen.
    void Execute();
    void SetFileChooser(TplaylistFileChooser chooser) { m_chooser = std::move(chooser); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refill(int selectRow);
    void playlistsClick();
    void browseClick();
    void addClick();
    void updateClick();
    void deleteClick();
    void reloadClick();
    // What Add (row -1) and Reload (the selected row) ask of the boxes: a
    // name, an existing file, and a name no other playlist has. A refusal
    // says what is wrong.
    bool checkEntry(const QString &name, const QString &file, int row);
    void setBusy(bool busy);
    // The progress of the playlist being added.
    void TaskStarted(TcoreTask task, const QString &title, int count) override;
    void TaskProgress(TcoreTask task, int index) override;
    void TaskFinished(TcoreTask task) override;
    void progressEnd();
    void refuse(const QString &text);

    TdmMain &m_core;
    TcoreSubscription m_subscription;
    TplaylistFileChooser m_chooser;
    QListWidget *m_list;
    QLineEdit *m_name;
    QLineEdit *m_filename;
    QToolButton *m_browse;
    QCheckBox *m_resetCounter;
    QCheckBox *m_loop;
    QPushButton *m_add;
    QPushButton *m_update;
    QPushButton *m_delete;
    QPushButton *m_reload;
    QPushButton *m_close;
    QLabel *m_adding;
    QProgressBar *m_progress;
    QLabel *m_count;
    int m_progressCount = 0;
    // Paces the repaints of one import; invalid before its first.
    QElapsedTimer m_sinceRepaint;
    bool m_busy = false;
};
