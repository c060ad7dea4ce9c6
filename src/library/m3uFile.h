#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// M3U playlists and plain file-name lists: UTF-8 text, one file name per line.

// The file names of a list, in order. Lines starting with "#" (extended-M3U
// information) and blank lines are skipped; a relative name is taken from
// baseFolder, the list file's own folder. Whether the files exist is left to
// the caller. Safe on any input.
QStringList ReadM3uLines(const QByteArray &text, const QString &baseFolder);

// One file name per line, each ended by CR LF, no header line.
QByteArray WriteM3uLines(const QStringList &fileNames);
