#pragma once

#include <QString>

// Where the program keeps its files.
//
// home: everything the program writes (vorlen.ini, vorlen.vsk, playlists.pll,
// Data/, the plug-ins' settings).
// assets: what it only reads (Doc/).
// plugins: the plug-ins it loads.
//
// Three layouts:
// - beside the executable: a folder holding plugins/ or Doc/ next to the
//   program (the build tree, a portable copy) holds everything, and is also
//   the home when it is writable;
// - installed: the executable in PREFIX/bin finds its assets in
//   PREFIX/share/vorlen and its plug-ins below PREFIX/lib, wherever the prefix
//   was moved; it never writes into the prefix, even a writable one;
// - a lone executable: the assets of the configured install prefix.
// $VORLEN_HOME names the home in every layout; without it the home is the
// user's data folder (~/.local/share/vorlen) unless the layout says otherwise.
struct ProgramFolders {
    QString home;
    QString assets;
    QString plugins;

    QString dataFolder() const { return home + QStringLiteral("/Data"); }
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
