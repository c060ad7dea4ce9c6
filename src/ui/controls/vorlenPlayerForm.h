#pragma once

#include "core/coreListener.h"

#include <QWidget>
#include <functional>

// The base of the main window: a top-level window that is one face of the
// application core (it overrides what it shows of the core's announcements).
// DoStartup raises OnStartup; closing the window raises OnClosed after the
// window's own close handling, so a window that overrides closeEvent calls
// this one last. The program hooks both to the core (start-up, saving the
// settings).
//
// GUI thread only.
class TvorlenPlayerForm : public QWidget, public TcoreListener {
public:
    explicit TvorlenPlayerForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    void DoStartup();

    // Raised at the window's first activation and when it has closed.
    std::function<void()> OnStartup;
    std::function<void()> OnClosed;

protected:
    void closeEvent(QCloseEvent *event) override;
};
