#include "library/pendingChanges.h"

#include <algorithm>

namespace {

bool below(const QString &path, const QString &folder)
{
    return path.startsWith(folder);
}

bool hasStructural(const TfolderChanges &changes)
{
    return !changes.moves.empty() || !changes.removedFolders.isEmpty() || !changes.lostFolders.isEmpty();
}

} // namespace

TpendingChanges::Time TpendingChanges::readyAt(const File &file) const
{
    if (file.removed || file.closed)
        return file.last + kQuiet;
    return file.last + kUnchanged;
}

void TpendingChanges::Written(const QString &path, bool closed, Time now)
{
    File &file = m_files[path];
    file.removed = false;
    file.closed = closed;
    file.last = now;
    m_lastEvent = now;
}

void TpendingChanges::Removed(const QString &path, Time now)
{
    File &file = m_files[path];
    file.removed = true;
    file.closed = false;
    file.last = now;
    m_lastEvent = now;
}

void TpendingChanges::Moved(const QString &from, const QString &to, bool folder, Time now)
{
    if (!hasStructural(m_structural))
        m_structuralSince = now;
    m_lastEvent = now;
    m_structural.moves.push_back(TmovedPath { from, to, folder });
    if (!folder) {
        // A file written and then renamed (a download finished under its own
        // name, a tagger's safe save): its record follows the rename and is
        // read again under the new name. Whatever was pending for the target
        // it replaced is over.
        const auto written = m_files.constFind(from);
        const bool wasWritten = written != m_files.constEnd() && !written->removed;
        const bool closed = wasWritten && written->closed;
        m_files.remove(from);
        m_files.remove(to);
        if (wasWritten)
            Written(to, closed, now);
        return;
    }
    // What is pending below the folder is below its new name now.
    QHash<QString, File> renamed;
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (below(it.key(), from)) {
            renamed.insert(to + it.key().mid(from.size()), it.value());
            it = m_files.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = renamed.cbegin(); it != renamed.cend(); ++it)
        m_files.insert(it.key(), it.value());
}

void TpendingChanges::dropBelow(const QString &folder)
{
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (below(it.key(), folder))
            it = m_files.erase(it);
        else
            ++it;
    }
}

void TpendingChanges::RemovedFolder(const QString &folder, Time now)
{
    if (!hasStructural(m_structural))
        m_structuralSince = now;
    m_lastEvent = now;
    dropBelow(folder);
    m_structural.removedFolders.append(folder);
}

void TpendingChanges::Lost(const QString &folder, Time now)
{
    if (!hasStructural(m_structural))
        m_structuralSince = now;
    m_lastEvent = now;
    dropBelow(folder);
    m_structural.removedFolders.removeIf([&](const QString &removed) { return below(removed, folder); });
    if (!m_structural.lostFolders.contains(folder))
        m_structural.lostFolders.append(folder);
}

bool TpendingChanges::IsEmpty() const
{
    return m_files.isEmpty() && !hasStructural(m_structural);
}

void TpendingChanges::readiness(Time &first, Time &last) const
{
    first = Time::max();
    last = Time::min();
    if (hasStructural(m_structural)) {
        first = m_structuralSince;
        last = m_structuralSince;
    }
    for (const File &file : m_files) {
        first = std::min(first, readyAt(file));
        last = std::max(last, readyAt(file));
    }
}

bool TpendingChanges::Due(Time now) const
{
    return !IsEmpty() && NextDue() <= now;
}

TpendingChanges::Time TpendingChanges::NextDue() const
{
    if (IsEmpty())
        return Time::max();
    Time first;
    Time last;
    readiness(first, last);
    // Everything goes together once all of it is ready and the burst is
    // over: an album copied in is one batch, whether its files were seen
    // being closed or found already there. What is ready goes anyway once it
    // has waited kLongestWait for the rest.
    return std::min(std::max(last, m_lastEvent + kQuiet), first + kLongestWait);
}

TfolderChanges TpendingChanges::Take(Time now)
{
    if (!Due(now))
        return {};
    TfolderChanges changes = std::move(m_structural);
    m_structural = TfolderChanges();
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (readyAt(it.value()) > now) {
            ++it;
            continue;
        }
        if (it->removed)
            changes.removedFiles.append(it.key());
        else
            changes.written.push_back(TwrittenFile { it.key(), nullptr });
        it = m_files.erase(it);
    }
    // Reported in path order: the order of a hash is of no use to anybody.
    changes.removedFiles.sort();
    std::sort(changes.written.begin(), changes.written.end(),
        [](const TwrittenFile &a, const TwrittenFile &b) { return a.path < b.path; });
    return changes;
}
