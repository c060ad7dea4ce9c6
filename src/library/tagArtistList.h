#pragma once

#include "library/caselessMap.h"
#include "library/component.h"

#include <memory>

class TcustomTagger;
class TtagArtist;

// Artists by key, keys compared without regard to case and ordered by the
// user's locale. An artist whose name starts with "the " is also filed under an
// alias ("The Lanterns" also as "Lanterns, The"). Owns its artists.
class TtagArtistList : public TComponent {
public:
    TtagArtistList() = default;
    ~TtagArtistList() override;

    static inline const QString kNoName = QStringLiteral("<no name>");

    // The artists a record was filed under: its name and its alias (null
    // when the name has none).
    struct Tfiling {
        TtagArtist *artist = nullptr;
        TtagArtist *alias = nullptr;
    };
    Tfiling AddTrack(TcustomTagger *record);
    void AddArtist(TtagArtist *artist, const QString &key);
    TtagArtist *FindArtist(const QString &key) const { return m_artists.Find(key); }
    // The key an artist is filed under; empty when it is not in the list.
    QString KeyOf(const TtagArtist *artist) const;
    // Takes an artist out of the list without freeing it.
    bool RemoveArtist(TtagArtist *artist) { return m_artists.RemoveObject(artist); }
    int Count() const { return m_artists.Count(); }
    TtagArtist *Artists(int index) const { return m_artists.At(index).object; }
    const QString &Keys(int index) const { return m_artists.At(index).key; }
    // Sorts every artist's tracks; they were filed in title order (the index
    // rebuild).
    void SortAllTitleOrdered();
    void Clear();

private:
    TcaselessMap<TtagArtist> m_artists;
};

// The alias key of an artist name starting with "the " (without regard to
// case): the rest of the name followed by ", The". Empty for other names.
QString ArtistAliasKey(const QString &artist);
