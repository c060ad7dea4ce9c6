#pragma once

#include "library/component.h"

#include <QtGlobal>
#include <functional>
#include <vector>

// A random play order: a permutation of 0 .. Size - 1 walked by Next, drawn
// anew each time it has been walked through (the identity when Sorted).
class TRandomList : public TComponent {
public:
    // Picks a slot in 0 .. bound - 1.
    using SlotPicker = std::function<quint32(quint32 bound)>;

    TRandomList();

    quint32 ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(quint32 value) { m_itemIndex = value; }
    quint32 Size() const { return quint32(m_items.size()); }
    // Resizes (0 is taken as 1) and draws a new permutation; ItemIndex stays.
    void SetSize(quint32 value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value) { m_sorted = value; }
    // Advances ItemIndex (wrapping to 0 with a new permutation) and returns the
    // entry there.
    quint32 Next();
    quint32 Items(quint32 index) const { return m_items[index]; }

    // Replaces the clock-seeded generator (tests draw known permutations).
    void SetSlotPicker(SlotPicker picker) { m_picker = std::move(picker); }

private:
    void draw();

    std::vector<quint32> m_items;
    SlotPicker m_picker;
    quint32 m_itemIndex = 0;
    bool m_sorted = false;
};
