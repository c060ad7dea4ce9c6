#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The folders an inotify instance watches: watch descriptor to folder path
// and back. Paths are in the file system's encoding and end with "/". A
// folder renamed keeps its watch (the kernel watches the folder, not its
// name), so a rename only renames the paths below it here.
//
// Owned and used by one thread (the folder watcher's worker).
class TwatchTable {
public:
    // Records a watch; false when the descriptor or the folder has one
    // already (the kernel hands out one descriptor per folder, whatever name
    // it is reached by).
    bool Add(int wd, const std::string &folder);
    // The folder of a watch; null when it is not known.
    const std::string *FolderOf(int wd) const;
    // The watch of a folder; -1 when it is not watched.
    int WatchOf(const std::string &folder) const;
    // Forgets a watch (the kernel removed it).
    void Forget(int wd);
    // Forgets the watches of a folder and of every folder below it, and
    // returns their descriptors (for the caller to remove from the kernel).
    std::vector<int> TakeBelow(std::string_view folder);
    // Renames a folder and every folder below it.
    void Rename(std::string_view from, std::string_view to);
    size_t Count() const { return m_folders.size(); }

private:
    std::unordered_map<int, std::string> m_folders;
    std::map<std::string, int, std::less<>> m_watches;
};
