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

int TtaggerList::IndexInTitleOrder(const TcustomTagger &record) const
{
    const std::vector<TcustomTagger *> &records = Records();
    auto [first, last] = std::equal_range(records.begin(), records.end(), &record, TitleBefore);
    auto found = std::find(first, last, &record);
    if (found == last) {
        // A list whose titles changed in place since it was ordered may hide a
        // record from the search.
        found = std::find(records.begin(), records.end(), &record);
        if (found == records.end())
            return -1;
    }
    return int(found - records.begin());
}

void TtaggerList::SpliceInTitleOrder(std::vector<int> leaving, std::vector<TcustomTagger *> arriving)
{
    std::vector<TcustomTagger *> &records = MutableRecords();
    std::sort(leaving.begin(), leaving.end());
    leaving.erase(std::unique(leaving.begin(), leaving.end()), leaving.end());
    for (int index : leaving)
        LetGo(*records[size_t(index)]);
    std::stable_sort(arriving.begin(), arriving.end(), TitleBefore);
    for (TcustomTagger *record : arriving)
        TakeIn(*record);
    if (leaving.empty() && arriving.empty())
        return;

    // Only the part of the list from the first place that changes is moved.
    size_t from = leaving.empty() ? records.size() : size_t(leaving.front());
    if (!arriving.empty()) {
        const auto place = std::upper_bound(records.begin(), records.end(), arriving.front(), TitleBefore);
        from = std::min(from, size_t(place - records.begin()));
    }
    std::vector<TcustomTagger *> rest;
    rest.reserve(records.size() - from);
    auto gone = leaving.begin();
    for (size_t i = from; i < records.size(); ++i) {
        if (gone != leaving.end() && size_t(*gone) == i) {
            ++gone;
            continue;
        }
        rest.push_back(records[i]);
    }
    records.resize(from);
    records.reserve(from + rest.size() + arriving.size());
    // Each arriving record is placed by a search, not by comparing it along
    // the way: a title comparison costs far more than a move.
    auto kept = rest.cbegin();
    for (TcustomTagger *record : arriving) {
        const auto place = std::upper_bound(kept, rest.cend(), record, TitleBefore);
        records.insert(records.end(), kept, place);
        records.push_back(record);
        kept = place;
    }
    records.insert(records.end(), kept, rest.cend());
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
