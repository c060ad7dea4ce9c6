#pragma once

#include <QString>

class QFontMetrics;

// A folder or file path shortened to fit maxWidth pixels in metrics' font,
// the way a status line shows the folder being scanned: whole leading
// folders give way to "..." one at a time ("/home/ann/Music/Air/" becomes
// "/.../ann/Music/Air/", then "/.../Music/Air/" ...), then the root and the
// ellipsis go, and at last only the name after the final "/" is left, even
// when that is still too wide.
QString FitFolderName(const QString &path, const QFontMetrics &metrics, int maxWidth);
