#include "platform/pathList.h"

TpathList::TpathList(const QStringList &paths)
{
    Reserve(paths.size());
    for (const QString &path : paths)
        Append(QString(), path);
}

void TpathList::Append(const QString &folder, const QString &name)
{
    const auto [at, added] = m_folderAt.try_emplace(folder.constData(), quint32(m_folders.size()));
    if (added)
        m_folders.push_back(folder);
    m_entries.push_back({at->second, name});
}

QString TpathList::Path(qsizetype index) const
{
    const Entry &entry = m_entries[size_t(index)];
    const QString &folder = m_folders[entry.folder];
    return folder.isEmpty() ? entry.name : folder + entry.name;
}
