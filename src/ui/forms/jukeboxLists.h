#pragma once

#include "library/stringList.h"
#include "library/treeNodes.h"

#include <QFont>
#include <QList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TcustomTagger;
class TdmMain;
class TjukeboxTree;
class TqueueList;
class TsongList;
class TtrackSearch;
class TvorlenScrollBar;
struct TlibraryChanges;
struct TtreeFont;

// The three lists of the jukebox window (the artist/album/track tree, the
// song list and the queue list), each with its skinned scroll bar, and the
// track search: what the window's commands take tracks from. The window
// places them in its panels; this class keeps them filled from the core.
//
// The tree and the song list hold library objects from ListsUpdated to the
// next LibraryChanging (DropLibrary empties them), letting go of those a
// LibraryChanged names as gone; the queue list holds
// queued records until the next QueueChanged (FillQueue).
//
// GUI thread only.
class TjukeboxLists {
public:
    TjukeboxLists(QWidget *treePanel, QWidget *songPanel, QWidget *queuePanel);
    ~TjukeboxLists();
    TjukeboxLists(const TjukeboxLists &) = delete;
    TjukeboxLists &operator=(const TjukeboxLists &) = delete;

    void SetCore(TdmMain *core);

    // The library is about to change: every library object goes.
    void DropLibrary();
    // The tree from the library, by artist or (all-tracks view) by title.
    void RefillTree(bool byTitle);
    // The library took a partial change: the tree, the song list and the
    // search's hits follow it in place.
    void LibraryChanged(const TlibraryChanges &changes);
    void FillQueue();

    // Add selected: the song list's selected records (deselected), or in
    // all-tracks view the tree's track (its selection cleared).
    std::vector<TcustomTagger *> TakeSelectedSongs(bool allTracksView);
    // Add all: every record of the song list.
    std::vector<TcustomTagger *> TakeAllSongs();

    int SelectedQueueRow() const;
    void SetSelectedQueueRow(int row);

    void SetTreeFonts(const TtreeFont &font, const TtreeFont &detailFont);
    QFont SongListFont() const;
    void SetSongListFont(const QFont &font, const QColor &color);
    QFont QueueListFont() const;
    void SetQueueListFont(const QFont &font, const QColor &color);

    // Opens the track search box with its top left at pos (in the tree
    // panel's coordinates).
    void OpenSearch(QPoint pos);

    TjukeboxTree &Tree();
    TsongList &Songs();
    TqueueList &Queue();
    TtrackSearch &Search();
    QWidget &TreeView();
    QWidget &SongView();
    QWidget &QueueView();
    TvorlenScrollBar &TreeBar();
    TvorlenScrollBar &SongBar();
    TvorlenScrollBar &QueueBar();
    // The letter nodes of the tree ('<A>' ... '<Z>', "<other>", "<no name>",
    // "<Compilations>").
    const QList<TtreeNode> &LetterNodes() const;
    TtreeNodes &TreeNodes();

    // A double click or a drop onto the queue asks for "add selected".
    std::function<void()> OnAddSelected;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
