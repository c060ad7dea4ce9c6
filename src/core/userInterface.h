#pragma once

#include <QString>
#include <QStringList>

class TtagAlbum;
class TtipDialogState;

enum class TmessageIcon { Information, Warning, Exclamation, Error };

// The windows the core opens on request.
enum class TcoreWindow {
    PreferencesMusicFolders,
    PreferencesCrossFade,
    PreferencesGeneral,
    MusicSearch,
    Stacker,
    PlaylistOptions,
    PlaylistListEditor,
    PlaylistEditor,
    Playlist,
    TipOfTheDay,
    About,
};

// How the core asks questions, shows messages and opens dialogs. The windows
// implement it; tests implement it with a recording fake that answers from a
// script. All calls come on the GUI thread and may run a modal loop.
class TcoreUserInterface {
public:
    virtual ~TcoreUserInterface() = default;

    virtual void ShowMessage(const QString &text, const QString &caption, TmessageIcon icon) = 0;
    // The same message without waiting for the user: it is shown while the
    // jukebox goes on. A notice given while the previous one is still shown
    // replaces it.
    virtual void ShowNotice(const QString &text, const QString &caption, TmessageIcon icon) = 0;
    // A Yes/No question; true on Yes.
    virtual bool AskYesNo(const QString &text, const QString &caption) = 0;
    // The multi-select music file dialog; empty when cancelled.
    virtual QStringList ChooseMusicFiles(const QString &filter) = 0;
    // The choose-CD window; the chosen album, or null when cancelled or no
    // album node was chosen.
    virtual TtagAlbum *ChooseAlbum() = 0;
    virtual void ShowWindow(TcoreWindow window) = 0;
    // The tip-of-the-day dialog for one showing, modal; false when it could
    // not be shown.
    virtual bool ShowTipDialog(TtipDialogState &state) = 0;
};
