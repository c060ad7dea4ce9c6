#include "library/stringList.h"

void TstringList::Add(const QString &text, TlistObject object)
{
    m_lines.push_back(Line{text, object});
    changed();
}

void TstringList::Clear()
{
    if (m_lines.empty())
        return;
    m_lines.clear();
    changed();
}

int TstringList::IndexOf(const QString &text) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].text.compare(text, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void TstringList::BeginUpdate()
{
    ++m_updateCount;
}

void TstringList::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0 && m_changedDuringUpdate) {
        m_changedDuringUpdate = false;
        RaiseEvent(OnChange, nullptr);
    }
}

void TstringList::changed()
{
    if (m_updateCount > 0)
        m_changedDuringUpdate = true;
    else
        RaiseEvent(OnChange, nullptr);
}
