#pragma once

#include "core/userInterface.h"

// A user interface that shows nothing and answers no to every question:
// benchmarks time the core, not dialogs.
class TsilentUi : public TcoreUserInterface {
public:
    void ShowMessage(const QString &, const QString &, TmessageIcon) override {}
    void ShowNotice(const QString &, const QString &, TmessageIcon) override {}
    bool AskYesNo(const QString &, const QString &) override { return false; }
    void OfferYesNo(const QString &, const QString &, std::function<void(bool)>) override {}
    QStringList ChooseMusicFiles(const QString &) override { return {}; }
    TtagAlbum *ChooseAlbum() override { return nullptr; }
    void ShowWindow(TcoreWindow) override {}
    bool ShowTipDialog(TtipDialogState &) override { return false; }
};
