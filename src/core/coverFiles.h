#pragma once

#include <QByteArray>
#include <QString>

class TcustomTagger;

// The cover file of a track: named "Artist - Album", "Album - Artist",
// "Artist - (Album)" or "Album - (Artist)" with ".jpg" or ".bmp", looked for
// in the cover folder, then beside the track, for each name in that order.
// Empty when the track has no valid tag or no such file exists.
QString FindCoverFile(const TcustomTagger &track, const QString &coverFolder);

// A picture stored inside a music file, written out so that the faces that
// know covers only as files (the window's cover, the desktop's media
// controls) can show it. The folder keeps one such file, named after its
// content, so that a client that caches pictures by name never shows an old
// one under a new track. The file's path, or an empty string when the bytes
// are no picture that decodes or the file could not be written.
QString StoreEmbeddedCover(const QString &folder, const QByteArray &picture);
