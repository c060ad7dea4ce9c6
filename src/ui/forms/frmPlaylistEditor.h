#pragma once

#include "core/playlistEditor.h"
#include "library/stringList.h"
#include "library/treeNodes.h"
#include "ui/forms/playlistFileChooser.h"

#include <QDialog>

class QAction;
class QListWidget;
class QTreeView;
class TdmMain;
class TplaylistStatusBar;
class TtreeNodesModel;

// The playlist editor ("Playlist Editor"): browses a library of its own, read
// from the library cache each time it opens, and builds the editing playlist
// from its tracks and from M3U files; the playlist can be saved, or copied to
// and from the jukebox's loaded playlist. Every change goes through the
// editor model (TplaylistEditor), and after each one the list and the status
// bar show the playlist anew. Closing empties the editing playlist.
//
// Its actions and controls carry their component names (actnLoad ...
// actnClose, tvArtists, lbSongs, lbPlaylist, and the status panels
// stCount, stPlayTime, stArtistCount).
//
// GUI thread only. The tree and the song list hold the editor library's
// albums, artists and records; they drop them whenever that library is about
// to change.
class TfrmPlaylistEditor : public QDialog {
public:
    explicit TfrmPlaylistEditor(TdmMain &core, QWidget *parent = nullptr);
    ~TfrmPlaylistEditor() override;

    // Shows the window modally; each time it comes on screen it reads its
    // library afresh from the library cache.
    void Execute();
    void SetFileChooser(TplaylistFileChooser chooser) { m_chooser = std::move(chooser); }

    TplaylistEditor &Editor() { return m_editor; }
    TtreeNodes &Nodes() { return m_nodes; }
    QAction *Action(const char *name) const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QAction *makeAction(const char *name, const QString &caption, void (TfrmPlaylistEditor::*slot)());
    void dropLibrary();
    void fillTree();
    void treeChange();
    void playlistChanged();
    std::vector<int> selectedRows(QListWidget *list) const;
    void refuse(const QString &text);

    void actnLoadExecute();
    void actnAddPlaylistExecute();
    void actnSaveExecute();
    void actnMoveUpExecute();
    void actnMoveDownExecute();
    void actnDeleteExecute();
    void actnClearExecute();
    void actnAddSelectedTracksExecute();
    void actnAddAllTracksExecute();
    void actnAddToJukeboxExecute();
    void actnAddFromJukeboxExecute();
    void actnRandomizeExecute();
    void actnCloseExecute();
    void load(bool append);

    TdmMain &m_core;
    TplaylistEditor m_editor;
    TplaylistFileChooser m_chooser;
    TtreeNodes m_nodes;
    QList<TtreeNode> m_rootNodes;
    // The tree is held in one update from the moment the library starts to
    // change until it is filled again, so what was open comes back.
    bool m_treeHeld = false;
    // Reading an M3U file lets window messages run; the window stays until
    // the file is in, so that closing cannot leave tracks behind.
    bool m_loading = false;
    TstringList m_songs;
    TtreeNodesModel *m_model;
    QTreeView *m_tree;
    QListWidget *m_songList;
    QListWidget *m_playlist;
    TplaylistStatusBar *m_status;
};
