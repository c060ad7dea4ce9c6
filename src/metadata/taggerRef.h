#pragma once

#include "metadata/customTagger.h"

#include <utility>

// A holder of one track record: while it holds the record, the record stays
// alive whatever happens to the lists it came from. What plays and what is
// queued hold their records this way. GUI thread only, like the records.
class TtaggerRef {
public:
    TtaggerRef() = default;
    explicit TtaggerRef(TcustomTagger *record) : m_record(record)
    {
        if (m_record)
            m_record->Hold();
    }
    TtaggerRef(const TtaggerRef &other) : TtaggerRef(other.m_record) {}
    TtaggerRef(TtaggerRef &&other) noexcept : m_record(std::exchange(other.m_record, nullptr)) {}
    TtaggerRef &operator=(TtaggerRef other) noexcept
    {
        std::swap(m_record, other.m_record);
        return *this;
    }
    ~TtaggerRef()
    {
        if (m_record)
            m_record->Release();
    }

    TcustomTagger *get() const { return m_record; }
    TcustomTagger *operator->() const { return m_record; }
    TcustomTagger &operator*() const { return *m_record; }
    explicit operator bool() const { return m_record != nullptr; }
    void reset() { *this = TtaggerRef(); }

private:
    TcustomTagger *m_record = nullptr;
};
