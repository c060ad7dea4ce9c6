#pragma once

#include "core/playerForm.h"

#include <QWidget>

// The base of the main window: a top-level window that the application
// core drives through its notification operations. DoStartup raises
// OnStartup; closing the window raises OnClosed after the window's own
// close handling, so a window that overrides closeEvent calls this one last.
// The other notifications are the main window's to implement.
//
// GUI thread only.
class TvorlenPlayerForm : public QWidget, public TvorlenPlayerFormInterface {
public:
    explicit TvorlenPlayerForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    void DoStartup() override;
    void LibraryChanging() override { }

protected:
    void closeEvent(QCloseEvent *event) override;
};
