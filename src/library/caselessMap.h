#pragma once

#include "library/textCollator.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <vector>

// A text as a hash key compared without regard to case: the hash folds each
// code point as QString::compare(Qt::CaseInsensitive) does, so keys that
// compare equal hash equal and no folded copy of a key is ever made.
struct TcaselessKey {
    QString text;
    friend bool operator==(const TcaselessKey &a, const TcaselessKey &b)
    {
        return a.text.size() == b.text.size() &&
               (a.text == b.text || a.text.compare(b.text, Qt::CaseInsensitive) == 0);
    }
};

size_t qHash(const TcaselessKey &key, size_t seed = 0) noexcept;

// Whether key a comes before key b in a TcaselessMap: for a reader that
// keeps a list of its own in the map's order.
inline bool CaselessKeyBefore(const QString &a, const QString &b)
{
    const int c = TextSortKey(a).compare(TextSortKey(b));
    return c != 0 ? c < 0 : a.toCaseFolded() < b.toCaseFolded();
}

// A map from text keys to objects, keys compared without regard to case and
// ordered by the user's locale; inserting a key that is present is ignored.
// Small maps (an artist's albums) are searched in place; larger ones keep a
// hash of their keys. The key order is worked out when it is first asked for
// after the map was filled, so filling the map costs no collation per insert;
// from then on a key inserted goes to its place, so a change of a few keys
// costs no new order of them all. It does not own the objects.
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
        if (Find(key))
            return false;
        if (m_keepsOrder && m_ordered) {
            const auto place = std::upper_bound(m_entries.begin(), m_entries.end(), key,
                [](const QString &k, const Entry &e) { return CaselessKeyBefore(k, e.key); });
            m_entries.insert(place, Entry{key, object});
        } else {
            m_entries.push_back(Entry{key, object});
            m_ordered = m_entries.size() < 2;
        }
        if (!m_index.isEmpty())
            m_index.insert(TcaselessKey{key}, object);
        else if (m_entries.size() > kSearchedInPlace)
            buildIndex();
        return true;
    }

    T *Find(const QString &key) const
    {
        if (!m_index.isEmpty())
            return m_index.value(TcaselessKey{key}, nullptr);
        for (const Entry &e : m_entries) {
            if (e.key.size() == key.size() && (e.key == key || e.key.compare(key, Qt::CaseInsensitive) == 0))
                return e.object;
        }
        return nullptr;
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
        if (!m_index.isEmpty())
            m_index.remove(TcaselessKey{it->key});
        m_entries.erase(it);
        return true;
    }

    void Clear()
    {
        m_index.clear();
        m_entries.clear();
        m_ordered = true;
        m_keepsOrder = false;
    }

private:
    static constexpr size_t kSearchedInPlace = 8;

    void buildIndex()
    {
        m_index.reserve(qsizetype(m_entries.size()));
        for (const Entry &e : m_entries)
            m_index.insert(TcaselessKey{e.key}, e.object);
    }

    void order() const
    {
        m_keepsOrder = true;
        if (m_ordered)
            return;
        struct Keyed {
            QCollatorSortKey sortKey;
            Entry entry;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(m_entries.size());
        for (const Entry &e : m_entries)
            keyed.push_back(Keyed{TextSortKey(e.key), e});
        // Keys the collator finds equal are rare: they are folded only then
        // (as CaselessKeyBefore does, with the keys made once here).
        std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
            const int c = a.sortKey.compare(b.sortKey);
            return c != 0 ? c < 0 : a.entry.key.toCaseFolded() < b.entry.key.toCaseFolded();
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            m_entries[i] = keyed[i].entry;
        m_ordered = true;
    }

    // Empty while the map is searched in place; the keys share the entries' texts.
    QHash<TcaselessKey, T *> m_index;
    mutable std::vector<Entry> m_entries;
    mutable bool m_ordered = true;
    // The order was asked for since the map was last filled from empty.
    mutable bool m_keepsOrder = false;
};
