#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// M3U playlists and plain file-name lists, one file name per line.

// How the bytes of a list are read: ".m3u8" files are UTF-8 by definition;
// other lists are UTF-8 when they are valid UTF-8 and Windows-1252 otherwise,
// as many players write them.
enum class Tm3uEncoding { Detect, Utf8 };
Tm3uEncoding M3uEncodingOf(const QString &fileName);

// The file names of a list, in order. Lines starting with "#" (extended-M3U
// information) and blank lines are skipped; a relative name is taken from
// baseFolder, the list file's own folder. Whether the files exist is left to
// the caller. Safe on any input.
QStringList ReadM3uLines(const QByteArray &text, const QString &baseFolder,
                         Tm3uEncoding encoding = Tm3uEncoding::Detect);

// One file name per line in UTF-8, each ended by CR LF, no header line.
QByteArray WriteM3uLines(const QStringList &fileNames);
