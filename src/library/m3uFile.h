#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// M3U playlists and plain file-name lists, one file name per line.

// How the bytes of a list are read: ".m3u8" files are UTF-8 by definition;
// other lists are UTF-8 when they are valid UTF-8 and Windows-1252 otherwise,
// as many players write them.
enum class Tm3uEncoding { Detect, Utf8 };
Tm3uEncoding M3uEncodingOf(const QString &fileName);

// No file name is this long: a longer line is skipped unread, so a list of
// garbage costs no memory.
inline constexpr qsizetype kMaxM3uLineBytes = 32 * 1024;

// The file names of a list, in order. Lines starting with "#" (extended-M3U
// information), blank lines and lines longer than kMaxM3uLineBytes are
// skipped; a relative name is taken from baseFolder, the list file's own
// folder. Lists written on Windows work: a relative name with "\" between
// its folders ("..\Music\song.mp3") is read as one with "/", and a name with
// a drive letter ("C:\Music\song.mp3"), which names no file here, is kept as
// written. Whether the files exist is left to the caller. Safe on any input.
QStringList ReadM3uLines(const QByteArray &text, const QString &baseFolder,
                         Tm3uEncoding encoding = Tm3uEncoding::Detect);

// A name of a list as read, and the same line taken as the file system's
// bytes when that gives another name (a Latin-1 name in a list written by
// this program).
struct Tm3uEntry {
    QString name;
    QString fileSystemName;
};
// The entries of a list file, read a line at a time (memory stays within
// what the names take, whatever the file holds). False, with the system's
// reason in errorText, when the list cannot be read.
bool ReadM3uEntries(const QString &fileName, std::vector<Tm3uEntry> &entries, int *overlong = nullptr,
                    QString *errorText = nullptr);

// What a list file gives.
struct Tm3uReading {
    // The names of existing files, in order; an entry finds its file by
    // either of its names.
    QStringList files;
    // The names that name no existing file, as read.
    QStringList notFound;
    // Lines skipped for their length.
    int overlong = 0;
    // The list itself could not be read: the system's reason.
    QString error;
};
// Reads a list file's entries and looks up each.
Tm3uReading ReadM3uFile(const QString &fileName);

// One file name per line, each ended by CR LF, no header line; names in the
// file system's bytes.
QByteArray WriteM3uLines(const QStringList &fileNames);
