#pragma once

#include <QByteArray>
#include <QString>

// A picture stored inside a music file, written out so that programs that
// know covers only as files (the desktop's media controls) can show it too.
// The folder keeps one such file, named after its content, so that a client
// that caches pictures by name never shows an old one under a new track.
// Returns the file's path, or an empty string when it could not be written.
QString StoreShownCover(const QString &folder, const QByteArray &picture);
