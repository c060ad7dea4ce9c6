#pragma once

#include "platform/fileTime.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TcustomTagger;
class TcustomTaggerList;

// What the folder scan knows of a file that is already in the library.
struct TknownFile {
    // The record's stored last-write time (ModDateHigh, ModDateLow).
    WinFileTime time;
    // Where the record stood in the list the table was built from. Only a
    // hint for finding the record again: the list may have changed since.
    int index = -1;
};

// The known files of one folder, by name.
class TknownFolder {
public:
    // name in the file system's encoding; null when it is not known.
    const TknownFile *Find(std::string_view encodedName) const;

private:
    friend class TknownFiles;
    struct Entry {
        quint32 offset;
        quint32 length;
        TknownFile file;
    };
    std::string_view nameOf(const Entry &entry) const { return { m_names.data() + entry.offset, entry.length }; }

    // The names one after another, and an entry per name sorted by name: a
    // folder's files sit together, so a scan of the folder finds them in a few
    // cache lines.
    std::string m_names;
    std::vector<Entry> m_entries;
};

// The library's files by exact (case-sensitive) path, for the folder scan to
// read on its own thread. It is a plain value holding no pointer into the
// library, so the library may change, and free records, while a scan reads it.
// Paths are kept in the file system's encoding, the form a directory listing
// gives them, and by folder, so that an unchanged file costs no text
// conversion and one short search among its folder's names.
class TknownFiles {
public:
    // Knows no file.
    TknownFiles() = default;
    // Every record of list by its file name, with its stored time and its
    // index; of two records with one file name the first is kept.
    explicit TknownFiles(const TcustomTaggerList &list);

    int Count() const { return m_count; }
    // The known files whose paths start with folder (in the file system's
    // encoding, up to and including the last "/" of their paths); null when
    // there are none.
    const TknownFolder *FindFolder(std::string_view encodedFolder) const;

private:
    struct PathHash {
        using is_transparent = void;
        size_t operator()(std::string_view path) const noexcept { return std::hash<std::string_view> {}(path); }
    };
    std::unordered_map<std::string, TknownFolder, PathHash, std::equal_to<>> m_folders;
    int m_count = 0;
};

// The record of list named path as it stands now: the one at indexHint when
// that is still it, else the first with that file name; null when the list no
// longer holds one.
TcustomTagger *FindKnownRecord(const TcustomTaggerList &list, const QString &path, int indexHint);
