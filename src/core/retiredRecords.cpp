#include "core/retiredRecords.h"

#include "metadata/customTagger.h"

#include <algorithm>

TretiredRecords::~TretiredRecords()
{
    for (TcustomTagger *record : m_records)
        delete record;
}

void TretiredRecords::Retire(std::vector<TcustomTagger *> records)
{
    m_records.insert(m_records.end(), records.begin(), records.end());
}

void TretiredRecords::Release(const std::function<bool(const TcustomTagger *)> &inUse)
{
    const auto kept = std::partition(m_records.begin(), m_records.end(), inUse);
    for (auto it = kept; it != m_records.end(); ++it)
        delete *it;
    m_records.erase(kept, m_records.end());
}
