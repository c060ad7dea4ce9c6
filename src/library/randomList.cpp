#include "library/randomList.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <numeric>

TRandomList::TRandomList()
{
    SetSize(1);
}

void TRandomList::SetSize(quint32 value)
{
    m_items.assign(value == 0 ? 1 : value, 0);
    draw();
}

quint32 TRandomList::Next()
{
    ++m_itemIndex;
    if (m_itemIndex >= Size()) {
        m_itemIndex = 0;
        draw();
    }
    return m_items[m_itemIndex];
}

void TRandomList::draw()
{
    const quint32 size = Size();
    if (m_sorted) {
        std::iota(m_items.begin(), m_items.end(), 0u);
        return;
    }
    QRandomGenerator clockSeeded{quint32(QDateTime::currentMSecsSinceEpoch())};
    const SlotPicker pick = m_picker ? m_picker : SlotPicker([&](quint32 bound) { return clockSeeded.bounded(bound); });
    // Each number k goes to a random slot, or to the first free slot after it
    // (wrapping round) when that one is taken.
    std::vector<char> taken(size, 0);
    for (quint32 k = 0; k < size; ++k) {
        quint32 slot = pick(size) % size;
        while (taken[slot])
            slot = slot + 1 == size ? 0 : slot + 1;
        taken[slot] = 1;
        m_items[slot] = k;
    }
}
