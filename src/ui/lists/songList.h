#pragma once

#include "ui/lists/recordListView.h"

#include <vector>

class TcustomTaggerList;

// The song list (lbSongs): the tracks of the artist or album chosen in the
// tree, each row with the track picture in front. Several rows can be
// selected; dragging them (to the queue) shows the single-item or the
// multi-item drag pointer.
//
// The rows stand for the library's records: the window calls DropLibrary
// when the library announces a change, which empties the list.
//
// GUI thread only.
class TsongList : public TrecordListView {
public:
    explicit TsongList(QWidget *parent = nullptr);

    // Shows the tracks of an artist or an album, as that list shows them.
    void Fill(TcustomTaggerList &list);
    void DropLibrary();
    // The records of the selected rows, in list order; each row is deselected
    // as it is taken.
    std::vector<TcustomTagger *> TakeSelectedRecords();
    // The records of every row, in order; selected rows are deselected.
    std::vector<TcustomTagger *> TakeAllRecords();

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::vector<TcustomTagger *> TakeRecords(bool selectedOnly);
};
