#include "ui/lists/rowListModel.h"

TrowListModel::TrowListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void TrowListModel::Fill(const std::function<void(TstringList &rows)> &fill)
{
    beginResetModel();
    m_rows.Clear();
    fill(m_rows);
    endResetModel();
}

void TrowListModel::Clear()
{
    Fill([](TstringList &) {});
}

TcustomTagger *TrowListModel::Record(int row) const
{
    return row >= 0 && row < m_rows.Count() ? m_rows.ObjectAs<TcustomTagger>(row) : nullptr;
}

int TrowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.Count();
}

QVariant TrowListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.Count())
        return QVariant();
    return m_rows.Strings(index.row());
}

Qt::ItemFlags TrowListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}
