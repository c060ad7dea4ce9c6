#pragma once

#include <QtGlobal>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A table from byte strings to values that is looked up far more often than
// it grows: open addressing over the keys' hashes, the keys' bytes one after
// another in one string and the values in one vector. A look-up reads a slot
// and, when the hash matches, one key, all of them close together, whatever
// the program allocated between two inserts.
template <typename Value> class TbyteKeyTable {
public:
    // The value stored under key; null when there is none.
    Value *Find(std::string_view key)
    {
        const size_t hash = hashOf(key);
        if (m_slots.empty())
            return nullptr;
        for (size_t i = hash & mask();; i = (i + 1) & mask()) {
            const Slot &slot = m_slots[i];
            if (slot.entry < 0)
                return nullptr;
            if (slot.hash == hash && keyOf(m_entries[size_t(slot.entry)]) == key)
                return &m_entries[size_t(slot.entry)].value;
        }
    }

    // Stores value under a key that is not in the table yet.
    Value &Insert(std::string_view key, Value value)
    {
        if ((m_entries.size() + 1) * 2 > m_slots.size())
            grow();
        const size_t hash = hashOf(key);
        m_entries.push_back(Entry { m_keys.size(), key.size(), std::move(value) });
        m_keys.append(key);
        place(hash, qint64(m_entries.size()) - 1);
        return m_entries.back().value;
    }

    size_t Count() const { return m_entries.size(); }

private:
    struct Slot {
        size_t hash = 0;
        qint64 entry = -1;
    };
    struct Entry {
        size_t offset;
        size_t length;
        Value value;
    };

    static size_t hashOf(std::string_view key) { return std::hash<std::string_view> {}(key); }
    size_t mask() const { return m_slots.size() - 1; }
    std::string_view keyOf(const Entry &entry) const
    {
        return std::string_view(m_keys).substr(entry.offset, entry.length);
    }

    void place(size_t hash, qint64 entry)
    {
        size_t i = hash & mask();
        while (m_slots[i].entry >= 0)
            i = (i + 1) & mask();
        m_slots[i] = Slot { hash, entry };
    }

    void grow()
    {
        const std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 64 : old.size() * 2, Slot {});
        for (const Slot &slot : old) {
            if (slot.entry >= 0)
                place(slot.hash, slot.entry);
        }
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::string m_keys;
};
