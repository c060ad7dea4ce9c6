#include "library/watchTable.h"

bool TwatchTable::Add(int wd, const std::string &folder)
{
    if (m_folders.count(wd) || m_watches.count(folder))
        return false;
    m_folders.emplace(wd, folder);
    m_watches.emplace(folder, wd);
    return true;
}

const std::string *TwatchTable::FolderOf(int wd) const
{
    const auto found = m_folders.find(wd);
    return found == m_folders.end() ? nullptr : &found->second;
}

int TwatchTable::WatchOf(const std::string &folder) const
{
    const auto found = m_watches.find(folder);
    return found == m_watches.end() ? -1 : found->second;
}

void TwatchTable::Forget(int wd)
{
    const auto found = m_folders.find(wd);
    if (found == m_folders.end())
        return;
    m_watches.erase(found->second);
    m_folders.erase(found);
}

std::vector<int> TwatchTable::TakeBelow(std::string_view folder)
{
    std::vector<int> taken;
    auto it = m_watches.lower_bound(folder);
    while (it != m_watches.end() && std::string_view(it->first).substr(0, folder.size()) == folder) {
        taken.push_back(it->second);
        m_folders.erase(it->second);
        it = m_watches.erase(it);
    }
    return taken;
}

void TwatchTable::Rename(std::string_view from, std::string_view to)
{
    std::vector<std::pair<std::string, int>> renamed;
    auto it = m_watches.lower_bound(from);
    while (it != m_watches.end() && std::string_view(it->first).substr(0, from.size()) == from) {
        renamed.emplace_back(std::string(to) + it->first.substr(from.size()), it->second);
        it = m_watches.erase(it);
    }
    for (auto &[folder, wd] : renamed) {
        m_folders[wd] = folder;
        m_watches[std::move(folder)] = wd;
    }
}
