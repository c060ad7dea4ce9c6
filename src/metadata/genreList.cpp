#include "metadata/genreList.h"

#include <algorithm>
#include <array>

namespace {

// Spelled as the ID3v1 genre byte's table has always been spelled by this
// program (entry 48 "Ethinic" included): stored records and users' genre rules
// depend on these exact names.
constexpr std::array<const char *, TgenreList::kGenreCount> kGenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethinic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop Folk", "Eurodance", "Dream", "Southern Rocky", "Comedy", "Cult", "Gangsta",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "ShowTunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing",
    "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock",
    "Progressive Rock", "Psychadelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba",
    "Folklore", "Ballad", "Power Ballad", "Rythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo",
    "A Capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Harcore", "Terror",
    "Indie", "Britpop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "Jpop", "Synthpop",
};

} // namespace

TgenreList::TgenreList()
{
    m_names.reserve(kGenreNames.size());
    m_sorted.reserve(kGenreNames.size());
    for (std::size_t i = 0; i < kGenreNames.size(); ++i) {
        m_names.push_back(QString::fromLatin1(kGenreNames[i]));
        m_sorted.push_back(Entry{m_names.back(), quint8(i)});
    }
    std::stable_sort(m_sorted.begin(), m_sorted.end(),
                     [](const Entry &a, const Entry &b) { return QString::compare(a.name, b.name, Qt::CaseSensitive) < 0; });
    for (const Entry &entry : m_sorted)
        m_sortedNames.append(entry.name);
    // Stable sort keeps, among names equal without regard to case, the one
    // that comes first in character-code order in front: IndexOfGenre's rule.
    m_lookup = m_sorted;
    std::stable_sort(m_lookup.begin(), m_lookup.end(), [](const Entry &a, const Entry &b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    m_caseDistinct = std::adjacent_find(m_lookup.begin(), m_lookup.end(), [](const Entry &a, const Entry &b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) == 0;
    }) == m_lookup.end();
}

quint8 TgenreList::IndexOfGenre(const QString &name) const
{
    if (name.isEmpty())
        return kNoGenre;
    if (m_caseDistinct) {
        const auto exact = std::lower_bound(m_sorted.begin(), m_sorted.end(), name,
            [](const Entry &entry, const QString &key) { return entry.name < key; });
        if (exact != m_sorted.end() && exact->name == name)
            return exact->number;
    }
    const auto it = std::lower_bound(m_lookup.begin(), m_lookup.end(), name, [](const Entry &entry, const QString &key) {
        return QString::compare(entry.name, key, Qt::CaseInsensitive) < 0;
    });
    if (it != m_lookup.end() && QString::compare(it->name, name, Qt::CaseInsensitive) == 0)
        return it->number;
    return kNoGenre;
}

const QString &TgenreList::GenreName(int number) const
{
    static const QString none;
    if (number < 0 || number >= kGenreCount)
        return none;
    // Every record of a genre shares the table's one copy of its name.
    return m_names[std::size_t(number)];
}

const TgenreList &SharedGenreList()
{
    static const TgenreList list;
    return list;
}
