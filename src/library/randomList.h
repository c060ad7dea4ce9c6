#pragma once

#include "library/component.h"

#include <QtGlobal>
#include <functional>
#include <vector>

// A random play order: a permutation of 0 .. Size - 1 walked by Next, drawn
// anew each time it has been walked through (the identity when Sorted).
//
// A permutation is drawn when it is first used after a change of size, not at
// every change: a playlist that grows by one record at a time would otherwise
// draw once per record.
class TRandomList : public TComponent {
public:
    // Picks a number in 0 .. bound - 1.
    using SlotPicker = std::function<quint32(quint32 bound)>;

    TRandomList();

    quint32 ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(quint32 value) { m_itemIndex = value; }
    quint32 Size() const { return m_size; }
    // Resizes (0 is taken as 1); a new permutation is drawn before the next
    // use. ItemIndex stays.
    void SetSize(quint32 value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value);
    // Advances ItemIndex (wrapping to 0 with a new permutation) and returns the
    // entry there.
    quint32 Next();
    quint32 Items(quint32 index) const;

    // Replaces the shared generator (tests draw known permutations).
    void SetSlotPicker(SlotPicker picker) { m_picker = std::move(picker); }

private:
    void draw() const;
    void drawIfStale() const;

    // The permutation is drawn lazily, also from const readers.
    mutable std::vector<quint32> m_items;
    mutable bool m_stale = true;
    SlotPicker m_picker;
    quint32 m_size = 1;
    quint32 m_itemIndex = 0;
    bool m_sorted = false;
};
