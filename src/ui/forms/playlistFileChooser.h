#pragma once

#include <QString>
#include <functional>

class QWidget;
class TdmMain;

// How the playlist windows ask for an M3U file: the desktop's file dialogs
// unless a test answers instead. Each returns the chosen file's full path, or
// an empty text when the user cancelled.
struct TplaylistFileChooser {
    static constexpr const char *kFilter = "Playlist Files (*.m3u)";

    // An existing file, starting in folder.
    std::function<QString(QWidget *parent, const QString &folder)> Open = OpenPlaylistFile;
    // A file to write, starting in folder; a name without extension gets ".m3u".
    std::function<QString(QWidget *parent, const QString &folder)> Save = SavePlaylistFile;

    // Open, starting in the core's playlist folder; a choice makes its folder
    // the playlist folder.
    QString OpenFrom(QWidget *parent, TdmMain &core) const;

    static QString OpenPlaylistFile(QWidget *parent, const QString &folder);
    static QString SavePlaylistFile(QWidget *parent, const QString &folder);
};
