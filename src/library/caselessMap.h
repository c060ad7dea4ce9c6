#pragma once

#include "library/textCollator.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <vector>

// A map from text keys to objects, keys compared without regard to case and
// ordered by the user's locale; inserting a key that is present is ignored.
// Lookups go through a hash of the case-folded key; the key order is worked
// out when it is first asked for after a change, so filling the map costs no
// collation per insert. It does not own the objects.
template <typename T>
class TcaselessMap {
public:
    struct Entry {
        QString key;
        T *object;
    };

    int Count() const { return int(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }

    // False (nothing changes) when the key is present.
    bool Insert(const QString &key, T *object)
    {
        if (m_exact.contains(key))
            return false;
        const QString folded = key.toCaseFolded();
        if (m_index.contains(folded))
            return false;
        m_index.insert(folded, object);
        m_exact.insert(key, object);
        m_entries.push_back(Entry{key, object});
        m_ordered = m_entries.size() < 2;
        return true;
    }

    T *Find(const QString &key) const
    {
        // Most lookups use the very spelling a key was inserted or found with.
        if (T *object = m_exact.value(key, nullptr))
            return object;
        T *object = m_index.value(key.toCaseFolded(), nullptr);
        if (object)
            m_exact.insert(key, object);
        return object;
    }

    // Entry at position i in key order.
    const Entry &At(int i) const
    {
        order();
        return m_entries[size_t(i)];
    }
    const std::vector<Entry> &Entries() const
    {
        order();
        return m_entries;
    }

    // The entries in insertion order, when the order does not matter.
    const std::vector<Entry> &UnorderedEntries() const { return m_entries; }

    bool RemoveObject(T *object)
    {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.object == object; });
        if (it == m_entries.end())
            return false;
        m_index.remove(it->key.toCaseFolded());
        m_exact.removeIf([&](const auto &entry) { return entry.value() == object; });
        m_entries.erase(it);
        return true;
    }

    void Clear()
    {
        m_index.clear();
        m_exact.clear();
        m_entries.clear();
        m_ordered = true;
    }

private:
    void order() const
    {
        if (m_ordered)
            return;
        const QCollator collator = TextCollator();
        struct Keyed {
            QCollatorSortKey sortKey;
            QString folded;
            Entry entry;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(m_entries.size());
        for (const Entry &e : m_entries)
            keyed.push_back(Keyed{collator.sortKey(e.key), e.key.toCaseFolded(), e});
        std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
            const int c = a.sortKey.compare(b.sortKey);
            return c != 0 ? c < 0 : a.folded < b.folded;
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            m_entries[i] = keyed[i].entry;
        m_ordered = true;
    }

    QHash<QString, T *> m_index; // by case-folded key
    // Spellings already seen, to their objects: lookups without case folding.
    mutable QHash<QString, T *> m_exact;
    mutable std::vector<Entry> m_entries;
    mutable bool m_ordered = true;
};
