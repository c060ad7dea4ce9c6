#pragma once

#include <QFont>
#include <QStatusBar>

class QLabel;
class QListWidget;
class QPushButton;
class TstringList;
class TtaggerList;

// The window flags of the jukebox's dialogs: a title and a close button and
// nothing else (no help or maximise button); a dialog of fixed size adds
// Qt::MSWindowsFixedSizeDialogHint.
inline constexpr Qt::WindowFlags kDialogFlags
    = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// A push button named after its component that Return does not press: only
// a dialog's OK button is its default.
QPushButton *DialogButton(const QString &caption, const char *name, QWidget *parent, const QString &hint = QString());

// The typeface the jukebox window is designed in, at a size in pixels.
QFont DesignFont(int pixels, bool bold);

// The list box shows the lines' texts, in order.
void ShowLines(QListWidget &list, const TstringList &lines);

// The status bar of the playlist windows: three panels (stCount, stPlayTime,
// stArtistCount) with a playlist's count, play time and artist count.
class TplaylistStatusBar : public QStatusBar {
public:
    explicit TplaylistStatusBar(QWidget *parent = nullptr);
    void ShowPlaylist(const TtaggerList &playlist);

private:
    QLabel *m_panels[3];
};
