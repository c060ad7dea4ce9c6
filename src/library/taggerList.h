#pragma once

#include "library/customTaggerList.h"
#include "library/taggerSort.h"

// A track list with sorting, ownership control, folder scanning and shuffling.
// Created owning its records (FreeOnDestroy true).
class TtaggerList : public TcustomTaggerList {
public:
    TtaggerList();

    TtagSortType SortType() const { return m_sortType; }
    // Stores a different value and marks the list unsorted; does not sort.
    void SetSortType(TtagSortType value);
    bool Sorted() const { return m_sorted; }
    void ApplySort();
    // ApplySort for a list whose records are known to be in title order.
    void ApplySortTitleOrdered();
    void SortBy(TtagSortType sortType);

    bool FreeOnDestroy() const { return OwnsRecords(); }
    void SetFreeOnDestroy(bool value) { SetOwnsRecords(value); }

    // Adding marks the list unsorted; taking a record out leaves the rest in
    // order, so a sorted list stays sorted (a rebuild after a delete does not
    // sort the library again).
    void Add(TcustomTagger *record) override;
    TcustomTagger *AddFile(const QString &fileName) override;
    void LoadListFile(const QString &fileName, bool append, const QString &cdRoot = QString(),
                      TlistFileReport *report = nullptr) override;
    void FillStrings(TstringList &strings) override;

    // For a list in title order (the library's master list): where a record
    // stands, found by its title; -1 when it is not in the list.
    int IndexInTitleOrder(const TcustomTagger &record) const;
    // Takes the records at the places leaving out of a list in title order,
    // letting go of them, and merges the arriving records into their places
    // by title: one pass over the list however many come and go. Raises
    // nothing.
    void SpliceInTitleOrder(std::vector<int> leaving, std::vector<TcustomTagger *> arriving);

    // Adds the ".mp3", ".ogg", ".wma", ".flac" and ".opus" files of a folder (a disc's mount
    // point), and of its subfolders depth first when recursive. With a
    // cacheFile the list is then saved there, file names below folder in the
    // "cdrom:" form. A file that cannot be read is skipped.
    void ScanFolder(const QString &folder, bool recursive, const QString &cacheFile, bool append);
    // Puts the records in a random order.
    void Shuffle();
    // Number of distinct artists, compared without regard to case.
    int ArtistCount() const;

    TdirScanStartEvent OnDirScanStart;
    TFileFoundEvent OnFileFound;

protected:
    void MarkUnsorted() { m_sorted = false; }

private:
    void scanFiles(const QString &folder);
    void scanSubfolders(const QString &folder);

    TtagSortType m_sortType = tsNone;
    bool m_sorted = false;
};
