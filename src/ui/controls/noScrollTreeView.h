#pragma once

#include <QTreeView>
#include <functional>

// A tree view without scroll bars of its own (a skinned scroll bar beside it
// stands in for them) that reports wheel scrolling: OnScrolled fires after
// the tree has handled the wheel. The wheel still scrolls the tree. It shows
// no header, as a tree of names needs none. Used on the GUI thread only.
class TnoScrollTreeView : public QTreeView {
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;

    explicit TnoScrollTreeView(QWidget *parent = nullptr);

    TNotifyEvent OnScrolled;

protected:
    void wheelEvent(QWheelEvent *event) override;
};
