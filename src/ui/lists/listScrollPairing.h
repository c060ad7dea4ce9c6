#pragma once

#include <QObject>
#include <QPointer>

class QAbstractItemView;
class TvorlenScrollBar;

// Puts a skinned scroll bar in place of a list's own, which is hidden. The
// list scrolls by whole rows; the bar follows it: Min is the list's first
// row, Max the last row that can be at the top (the last row less the rows
// that fit, plus one), Value the row at the top, and for the tree LargeStep
// the rows that fit less one. Each is written only when it differs, and the
// value quietly, so the bar does not scroll the list back. A list that fits
// on its page gives the bar the least range it can show, 0 ... 1, so the bar
// keeps no range of an earlier, longer list.
//
// The bar is resynchronised whenever the list scrolls, its range changes or
// it is resized; the window may call Sync after anything else. Moving the bar
// lets pending window messages run and then scrolls the list to the bar's
// value, if it is not there already.
//
// GUI thread only.
class TlistScrollPairing : public QObject {
public:
    enum TpairedList { plTree, plList };

    TlistScrollPairing(QAbstractItemView *list, TvorlenScrollBar *bar, TpairedList kind, QObject *parent = nullptr);

    void Sync();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ScrollList(int value);
    int RowHeight() const;

    QPointer<QAbstractItemView> m_list;
    QPointer<TvorlenScrollBar> m_bar;
    TpairedList m_kind;
};
