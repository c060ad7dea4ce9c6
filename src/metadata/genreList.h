#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

// The 148 genre names of the ID3v1 genre byte, numbered 0 to 147.
//
// Two views are built once: (number, name) pairs sorted by plain character
// code ("A Capella" before "Acid"), and the names in that order for genre
// choosers. Immutable after construction, so the shared instance may be read
// from any thread.
class TgenreList {
public:
    static constexpr int kGenreCount = 148;
    static constexpr quint8 kNoGenre = 255;

    TgenreList();

    // Number of the first pair, in sorted order, whose name equals the text
    // without regard to case; 255 when there is none or the text is empty.
    quint8 IndexOfGenre(const QString &name) const;
    // The table's name for a number below 148 (the table's own copy, which
    // lives as long as the table); empty for any other number.
    const QString &GenreName(int number) const;
    // The names sorted by character code.
    const QStringList &GenreNames() const { return m_sortedNames; }

private:
    struct Entry {
        QString name;
        quint8 number;
    };
    std::vector<QString> m_names;    // by number
    std::vector<Entry> m_sorted;     // by character code
    std::vector<Entry> m_lookup;     // by case-insensitive order, for IndexOfGenre
    QStringList m_sortedNames;
    // No two names are equal without regard to case, so a name spelled as
    // the table spells it (as taggers write it) is found by an exact match.
    bool m_caseDistinct = false;
};

// The one genre table shared by the track records' genre rule.
const TgenreList &SharedGenreList();
