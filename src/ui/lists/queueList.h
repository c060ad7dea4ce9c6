#pragma once

#include "metadata/taggerRef.h"
#include "ui/lists/recordListView.h"

class TcustomTaggerList;

// The queue list (lbQueue): one row per queued track, in queue order, in a
// bold font. One row can be selected (the queue commands work on it).
//
// Drag and drop: a row dragged within the list moves its track to the row
// under the mouse (a drop below the last row means the last row); while it
// is dragged the row under the mouse is the current row, and when the drag
// ends the row that now holds the track is. The move itself is the window's
// (OnMoveTrack: it moves the track in the queue, whose change refills this
// list). Tracks dragged from the song list or the tree and dropped here raise
// OnDropTracks: the window queues the selection there. A drag of nothing is
// not accepted.
//
// The rows stand for queued records, held by the queue: valid until the
// queue changes, when the window calls Refill.
//
// GUI thread only.
class TqueueList : public TrecordListView {
public:
    using TmoveEvent = std::function<void(QObject *sender, int from, int to)>;

    explicit TqueueList(QWidget *parent = nullptr);

    // Shows the queue anew, keeping the top row and the selected row where
    // they still exist.
    void Refill(const TcustomTaggerList &queue);
    // The selected row, or -1.
    int SelectedRow() const;
    // Selects a row and shows it; -1 (or no such row) selects none.
    void SetSelectedRow(int row);

    TmoveEvent OnMoveTrack;
    TNotifyEvent OnDropTracks;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The row a drop at pos lands on: the row there, or the last row below
    // the rows; -1 in an empty list.
    int TargetRow(const QPoint &pos) const;
    // Whether a drag can be dropped here, and as what.
    bool Accept(QDropEvent *event) const;

    // The track of the queue row being dragged, and where it was dropped.
    TtaggerRef m_dragged;
    int m_dropRow = -1;
};
