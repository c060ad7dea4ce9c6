#include "library/knownFiles.h"

#include "library/customTaggerList.h"
#include "metadata/customTagger.h"
#include "platform/fileNames.h"

#include <QHash>
#include <algorithm>

const TknownFile *TknownFolder::Find(std::string_view encodedName) const
{
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), encodedName,
        [this](const Entry &entry, std::string_view name) { return nameOf(entry) < name; });
    if (found == m_entries.end() || nameOf(*found) != encodedName)
        return nullptr;
    return &found->file;
}

TknownFiles::TknownFiles(const TcustomTaggerList &list)
{
    // The records of a folder share its text, so each folder is encoded once.
    QHash<QString, TknownFolder *> byFolder;
    for (int i = 0; i < list.Count(); ++i) {
        const TcustomTagger *record = list.Items(i);
        const QString &folderText = record->Folder();
        TknownFolder *&folder = byFolder[folderText];
        if (!folder) {
            const QByteArray encoded = EncodeFileName(folderText);
            folder = &m_folders[std::string(encoded.constData(), size_t(encoded.size()))];
        }
        const QByteArray name = EncodeFileName(record->NameInFolder());
        folder->m_entries.push_back(TknownFolder::Entry { quint32(folder->m_names.size()), quint32(name.size()),
            TknownFile { WinFileTime { record->ModDateHigh(), record->ModDateLow() }, i } });
        folder->m_names.append(name.constData(), size_t(name.size()));
    }
    for (auto &entry : m_folders) {
        TknownFolder &folder = entry.second;
        const auto byName = [&folder](const TknownFolder::Entry &a, const TknownFolder::Entry &b) {
            return folder.nameOf(a) < folder.nameOf(b);
        };
        const auto sameName = [&folder](const TknownFolder::Entry &a, const TknownFolder::Entry &b) {
            return folder.nameOf(a) == folder.nameOf(b);
        };
        std::stable_sort(folder.m_entries.begin(), folder.m_entries.end(), byName);
        folder.m_entries.erase(
            std::unique(folder.m_entries.begin(), folder.m_entries.end(), sameName), folder.m_entries.end());
        m_count += int(folder.m_entries.size());
    }
}

const TknownFolder *TknownFiles::FindFolder(std::string_view encodedFolder) const
{
    const auto found = m_folders.find(encodedFolder);
    return found == m_folders.end() ? nullptr : &found->second;
}

TcustomTagger *FindKnownRecord(const TcustomTaggerList &list, const QString &path, int indexHint)
{
    if (indexHint >= 0 && indexHint < list.Count() && list.Items(indexHint)->Filename() == path)
        return list.Items(indexHint);
    for (TcustomTagger *record : list.Records()) {
        // The folder test first spares building the file name of most records.
        if (path.startsWith(record->Folder()) && record->Filename() == path)
            return record;
    }
    return nullptr;
}
