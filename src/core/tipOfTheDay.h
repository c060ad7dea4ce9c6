#pragma once

#include <QString>
#include <QStringList>
#include <functional>

struct TcoreSettings;

// One showing of the tip dialog: its own copy of the tips, the number of the
// tip on screen and the state of "Display Tips on Startup".
class TtipDialogState {
public:
    static constexpr const char *kNoTips = "No Tips Available!";

    TtipDialogState(QStringList tips, int index, bool showAtStart);

    // The dialog coming on screen: an empty list gets the single line
    // "No Tips Available!", and a number outside the list becomes 0.
    void Show();
    int Count() const { return int(m_tips.size()); }
    int Index() const { return m_index; }
    // The text of the tip on screen; empty before Show.
    QString TipText() const;
    // "Next Tip" moves on only when there is more than one tip to move to.
    bool CanGoNext() const { return m_tips.size() != 1; }
    // The following tip, after the last one the first.
    void Next();

    bool ShowAtStart;

private:
    QStringList m_tips;
    int m_index;
};

// The tip-of-the-day component: the tips, the number of the tip to show first
// and the show-at-start flag. The flag and the number are the settings'
// ShowTips and TipNo, so they are read and saved with the other settings.
//
// GUI thread only.
class TTipDialog {
public:
    explicit TTipDialog(TcoreSettings &settings);
    TTipDialog(const TTipDialog &) = delete;
    TTipDialog &operator=(const TTipDialog &) = delete;

    bool ShowAtStart() const;
    void SetShowAtStart(bool value);
    int TipNo() const;
    void SetTipNo(int value);
    const QStringList &Tips() const { return m_tips; }
    void SetTips(const QStringList &value) { m_tips = value; }

    // Shows the dialog modally (through OnShowDialog) on a fresh copy of the
    // tips; when it has closed, the flag takes the check box's state and the
    // number the tip shown last. A dialog that could not be shown changes
    // nothing. Always true.
    bool Execute();

    // Shows the dialog for one showing and returns when it has closed; false
    // when it could not be shown. The windows assign it.
    std::function<bool(TtipDialogState &state)> OnShowDialog;

private:
    TcoreSettings &m_settings;
    QStringList m_tips;
};

// The jukebox's own tips, in order.
QStringList JukeboxTips();
