#pragma once

#include <QString>

// Where the program keeps its files.
//
// home: everything the program writes (vorlen.ini, playlists.pll, Data/).
// assets: what it only reads (plugins/, Doc/, the default skin vorlen.vsk).
//
// Resolution: $VORLEN_HOME when set; otherwise the executable's folder when it
// is writable (portable layout, also the build tree); otherwise the user's data
// folder (~/.local/share/vorlen). Assets come from the executable's folder when
// it holds a plugins/ or Doc/ folder, else from the install prefix.
struct ProgramFolders {
    QString home;
    QString assets;

    QString dataFolder() const { return home + QStringLiteral("/Data"); }
    QString pluginsFolder() const { return assets + QStringLiteral("/plugins"); }
    // Where the plug-ins keep their settings: beside the plug-ins in the
    // portable layout, in the user's own folder when they are installed
    // read-only.
    QString pluginSettingsFolder() const { return home + QStringLiteral("/plugins"); }
    QString docFolder() const { return assets + QStringLiteral("/Doc"); }
    QString settingsFile() const { return home + QStringLiteral("/vorlen.ini"); }
    QString playlistIndexFile() const { return home + QStringLiteral("/playlists.pll"); }
};

// Resolves the folders for an executable living in executableFolder (the
// running program's folder when empty).
ProgramFolders ResolveProgramFolders(const QString &executableFolder = QString());

// The per-user configuration folder (~/.config/vorlen), created on demand by
// whoever writes there.
QString UserConfigFolder();
