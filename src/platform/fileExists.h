#pragma once

#include <QString>

// Existence test used before any track's file is touched. On Linux there are
// no critical-error boxes to suppress, so this is a plain stat(); a removed disc
// or an unreachable mount simply answers false.
bool QuietFileExists(const QString &fileName);

// The same test for a folder.
bool QuietFolderExists(const QString &folder);
