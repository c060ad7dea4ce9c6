#include "library/randomList.h"

#include "library/randomEngine.h"

#include <numeric>

TRandomList::TRandomList() = default;

void TRandomList::SetSize(quint32 value)
{
    m_size = value == 0 ? 1 : value;
    m_stale = true;
}

void TRandomList::SetSorted(bool value)
{
    m_sorted = value;
    m_stale = true;
}

quint32 TRandomList::Next()
{
    drawIfStale();
    ++m_itemIndex;
    if (m_itemIndex >= m_size) {
        m_itemIndex = 0;
        draw();
    }
    return m_items[m_itemIndex];
}

quint32 TRandomList::Items(quint32 index) const
{
    drawIfStale();
    return m_items[index];
}

void TRandomList::drawIfStale() const
{
    if (m_stale)
        draw();
}

void TRandomList::draw() const
{
    m_items.resize(m_size);
    std::iota(m_items.begin(), m_items.end(), 0u);
    m_stale = false;
    if (m_sorted)
        return;
    // Fisher-Yates: every order equally likely, each number once.
    for (quint32 i = m_size - 1; i > 0; --i) {
        const quint32 j = m_picker ? m_picker(i + 1) % (i + 1)
                                   : std::uniform_int_distribution<quint32>(0, i)(RandomEngine());
        std::swap(m_items[i], m_items[j]);
    }
}
