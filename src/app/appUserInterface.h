#pragma once

#include "core/userInterface.h"

#include <QHash>
#include <QPointer>
#include <functional>

class QMessageBox;
class QWidget;

// How the core asks its questions and opens its windows in the program:
// message boxes and file dialogs of the desktop, and the jukebox's own
// windows through the openers the program registers for each of them.
//
// GUI thread only.
class TappUserInterface : public TcoreUserInterface {
public:
    explicit TappUserInterface(QWidget *mainWindow);
    ~TappUserInterface() override;

    void ShowMessage(const QString &text, const QString &caption, TmessageIcon icon) override;
    void ShowNotice(const QString &text, const QString &caption, TmessageIcon icon) override;
    bool AskYesNo(const QString &text, const QString &caption) override;
    QStringList ChooseMusicFiles(const QString &filter) override;
    TtagAlbum *ChooseAlbum() override;
    void ShowWindow(TcoreWindow window) override;
    bool ShowTipDialog(TtipDialogState &state) override;

    // The openers of the jukebox's windows; a window without one opens
    // nothing.
    void SetWindowOpener(TcoreWindow window, std::function<void()> opener);
    std::function<TtagAlbum *()> AlbumChooser;

private:
    QWidget *m_mainWindow;
    QHash<int, std::function<void()>> m_openers;
    QPointer<QMessageBox> m_notice;
};
