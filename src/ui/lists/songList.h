#pragma once

#include "ui/lists/recordListView.h"

#include <vector>

class TcustomTaggerList;
struct TlibraryChanges;

// The song list (lbSongs): the tracks of the artist or album chosen in the
// tree, each row with the track picture in front. Several rows can be
// selected; dragging them (to the queue) shows the single-item or the
// multi-item drag pointer.
//
// The rows stand for the library's records: the window calls DropLibrary
// when the library announces a change, which empties the list, and
// LibraryChanged for a partial change: the list empties when its artist or
// album went, and shows it anew when its tracks changed, the selected
// tracks still selected and the top track still on top.
//
// GUI thread only.
class TsongList : public TrecordListView {
public:
    explicit TsongList(QWidget *parent = nullptr);

    // Shows the tracks of an artist or an album, as that list shows them.
    void Fill(TcustomTaggerList &list);
    void DropLibrary();
    void LibraryChanged(const TlibraryChanges &changes);
    // The records of the selected rows, in list order; each row is deselected
    // as it is taken.
    std::vector<TcustomTagger *> TakeSelectedRecords();
    // The records of every row, in order; selected rows are deselected.
    std::vector<TcustomTagger *> TakeAllRecords();

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::vector<TcustomTagger *> TakeRecords(bool selectedOnly);

    // The artist or album shown; null when none is.
    TcustomTaggerList *m_list = nullptr;
};
