#pragma once

#include <QListWidget>
#include <functional>

// A list box that reports wheel scrolling, so that a skinned scroll bar beside
// it can follow: OnScrolled fires after the list has handled the wheel.
// Used on the GUI thread only.
class TscrollEventListBox : public QListWidget {
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;

    explicit TscrollEventListBox(QWidget *parent = nullptr);

    TNotifyEvent OnScrolled;

protected:
    void wheelEvent(QWheelEvent *event) override;
};
