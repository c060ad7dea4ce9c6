#pragma once

#include <QWidget>

class QListWidget;
class TdmMain;
class TplaylistStatusBar;

// The playlist window ("Playlist"): a resizable tool window, on top of the
// jukebox but not modal, that lists the playlist in use, the active
// preloaded playlist or else the loaded playlist, with its count, play time
// and artist count in the status bar. It is filled each time it comes on
// screen and not while it stays open. Its controls carry their component
// names (lbPlaylist, stCount, stPlayTime, stArtistCount).
//
// GUI thread only. It keeps only the texts, no playlist or record.
class TfrmPlaylist : public QWidget {
public:
    explicit TfrmPlaylist(TdmMain &core, QWidget *parent = nullptr);

    // Shows the window (filled now when it was hidden) and brings it forward.
    void ShowPlaylist();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fill();

    TdmMain &m_core;
    QListWidget *m_list;
    TplaylistStatusBar *m_status;
};
