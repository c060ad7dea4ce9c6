#pragma once

#include "library/stringList.h"

#include <QAbstractListModel>
#include <functional>

class TcustomTagger;

// The rows of one of the jukebox's list boxes: texts, each with the object it
// stands for (a track record), kept as one string list and read by the view
// without an item per row, so a list of thousands of tracks fills at once.
//
// GUI thread only.
class TrowListModel : public QAbstractListModel {
public:
    explicit TrowListModel(QObject *parent = nullptr);

    const TstringList &Rows() const { return m_rows; }
    // Replaces the rows with what fill puts into the emptied list.
    void Fill(const std::function<void(TstringList &rows)> &fill);
    void Clear();
    // The record of a row; null for a row without one or no such row.
    TcustomTagger *Record(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    TstringList m_rows;
};
