#include "library/taggerList.h"

#include "library/randomEngine.h"
#include "platform/fileExists.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace {

const QStringList &scanPatterns()
{
    static const QStringList patterns { QStringLiteral("*.mp3"), QStringLiteral("*.ogg"), QStringLiteral("*.wma"),
        QStringLiteral("*.flac"), QStringLiteral("*.opus") };
    return patterns;
}

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

TtaggerList::TtaggerList()
{
    SetOwnsRecords(true);
}

void TtaggerList::SetSortType(TtagSortType value)
{
    if (value == m_sortType)
        return;
    m_sortType = value;
    m_sorted = false;
}

void TtaggerList::ApplySort()
{
    SortTaggers(MutableRecords(), m_sortType);
    m_sorted = true;
}

void TtaggerList::ApplySortTitleOrdered()
{
    SortTitleOrderedTaggers(MutableRecords(), m_sortType);
    m_sorted = true;
}

void TtaggerList::SortBy(TtagSortType sortType)
{
    if (sortType == m_sortType && m_sorted)
        return;
    SetSortType(sortType);
    ApplySort();
}

void TtaggerList::Add(TcustomTagger *record)
{
    m_sorted = false;
    TcustomTaggerList::Add(record);
}

TcustomTagger *TtaggerList::AddFile(const QString &fileName)
{
    m_sorted = false;
    return TcustomTaggerList::AddFile(fileName);
}

void TtaggerList::LoadListFile(const QString &fileName, bool append, const QString &cdRoot, TlistFileReport *report)
{
    m_sorted = false;
    TcustomTaggerList::LoadListFile(fileName, append, cdRoot, report);
}

void TtaggerList::FillStrings(TstringList &strings)
{
    ApplySort();
    TcustomTaggerList::FillStrings(strings);
}

void TtaggerList::scanFiles(const QString &folder)
{
    const QDir dir(folder);
    const QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
    RaiseEvent(OnDirScanStart, this, int(dir.entryList(scanPatterns(), filters, QDir::Unsorted).size()), folder);
    for (const QString &pattern : scanPatterns()) {
        for (const QString &name : dir.entryList({pattern}, filters, QDir::Unsorted)) {
            AddFile(joinPath(folder, name));
            RaiseEvent(OnFileFound, this, name);
        }
    }
}

void TtaggerList::scanSubfolders(const QString &folder)
{
    // Symbolic links to folders are not followed: a link pointing up the tree
    // would make the scan endless.
    const QStringList subfolders =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
    for (const QString &name : subfolders) {
        const QString path = joinPath(folder, name);
        scanFiles(path);
        scanSubfolders(path);
    }
}

void TtaggerList::ScanFolder(const QString &folder, bool recursive, const QString &cacheFile, bool append)
{
    if (!QuietFolderExists(folder))
        return;
    BeginUpdate();
    if (!append) {
        m_sorted = false;
        ClearRecords();
    }
    scanFiles(folder);
    if (recursive)
        scanSubfolders(folder);
    if (!cacheFile.isEmpty())
        SaveListFile(cacheFile, folder);
    EndUpdate();
}

void TtaggerList::Shuffle()
{
    BeginUpdate();
    std::shuffle(MutableRecords().begin(), MutableRecords().end(), RandomEngine());
    m_sorted = false;
    EndUpdate();
}

int TtaggerList::ArtistCount() const
{
    QSet<QString> artists;
    for (const TcustomTagger *record : Records())
        artists.insert(record->Artist().toCaseFolded());
    return int(artists.size());
}
