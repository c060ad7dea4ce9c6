#include "ui/lists/songList.h"

#include "library/customTaggerList.h"
#include "library/libraryChanges.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "ui/lists/listDrag.h"
#include "ui/skinArt/builtInSkin.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr int kTrackImage = 7;

} // namespace

TsongList::TsongList(QWidget *parent)
    : TrecordListView(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDragEnabled(true);
    SetRowImage(BuiltInTreeImage(kTrackImage));
}

void TsongList::Fill(TcustomTaggerList &list)
{
    m_list = &list;
    Rows().Fill([&list](TstringList &rows) { list.FillStrings(rows); });
}

void TsongList::DropLibrary()
{
    m_list = nullptr;
    Clear();
}

void TsongList::LibraryChanged(const TlibraryChanges &changes)
{
    if (!m_list)
        return;
    const auto isShown = [this](const auto &list) { return static_cast<TcustomTaggerList *>(&*list) == m_list; };
    if (std::any_of(changes.goneAlbums.begin(), changes.goneAlbums.end(), isShown)
        || std::any_of(changes.goneArtists.begin(), changes.goneArtists.end(), isShown)) {
        DropLibrary();
        return;
    }
    const auto isShownPointer = [this](const auto *list) { return static_cast<const TcustomTaggerList *>(list) == m_list; };
    bool anew = std::any_of(changes.albums.begin(), changes.albums.end(), isShownPointer)
                || std::any_of(changes.artists.begin(), changes.artists.end(), isShownPointer);
    if (!anew) {
        std::unordered_set<const TcustomTagger *> named;
        for (const TtaggerRef &record : changes.removed)
            named.insert(record.get());
        for (const TtaggerRef &record : changes.changed)
            named.insert(record.get());
        for (const TrecordMove &move : changes.moved)
            named.insert(move.record.get());
        for (int row = 0; row < Count() && !anew; ++row)
            anew = named.count(Record(row)) > 0;
    }
    if (!anew) {
        // Only what is within reach changed: the rows grey at their next paint.
        viewport()->update();
        return;
    }
    std::unordered_set<const TcustomTagger *> selected;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        selected.insert(Record(index.row()));
    const TcustomTagger *top = Record(indexAt(QPoint(0, 0)).row());
    Fill(*m_list);
    for (int row = 0; row < Count(); ++row) {
        const QModelIndex index = Rows().index(row);
        if (selected.count(Record(row)))
            selectionModel()->select(index, QItemSelectionModel::Select);
        if (top && Record(row) == top)
            scrollTo(index, QAbstractItemView::PositionAtTop);
    }
}

std::vector<TcustomTagger *> TsongList::TakeSelectedRecords()
{
    return TakeRecords(true);
}

std::vector<TcustomTagger *> TsongList::TakeAllRecords()
{
    return TakeRecords(false);
}

std::vector<TcustomTagger *> TsongList::TakeRecords(bool selectedOnly)
{
    std::vector<TcustomTagger *> records;
    QItemSelectionModel *selection = selectionModel();
    for (int row = 0; row < Count(); ++row) {
        const QModelIndex index = Rows().index(row);
        const bool selected = selection->isSelected(index);
        if (selectedOnly && !selected)
            continue;
        if (selected)
            selection->select(index, QItemSelectionModel::Deselect);
        if (TcustomTagger *record = Record(row))
            records.push_back(record);
    }
    return records;
}

void TsongList::startDrag(Qt::DropActions)
{
    const int rows = int(selectionModel()->selectedRows().size());
    if (rows > 0)
        RunListDrag(this, TlistDrag { dsSongList, rows, -1 }, Qt::CopyAction);
}
