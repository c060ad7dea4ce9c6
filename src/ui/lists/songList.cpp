#include "ui/lists/songList.h"

#include "library/customTaggerList.h"
#include "ui/lists/listDrag.h"
#include "ui/skinArt/builtInSkin.h"

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
    Rows().Fill([&list](TstringList &rows) { list.FillStrings(rows); });
}

void TsongList::DropLibrary()
{
    Clear();
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
