#pragma once

#include "library/tagAlbumList.h"
#include "library/taggerList.h"

// An artist: the artist's tracks (records of the library's master list, held)
// and the artist's albums, keyed by album name alone.
class TtagArtist : public TtaggerList {
public:
    TtagArtist();

    const QString &Artist() const { return m_artist; }
    void SetArtist(const QString &value) { m_artist = value; }
    // The artist's albums; the albums belong to the library's album list.
    TtagAlbumList &AlbumList() { return m_albumList; }
    const TtagAlbumList &AlbumList() const { return m_albumList; }

private:
    QString m_artist;
    TtagAlbumList m_albumList;
};
