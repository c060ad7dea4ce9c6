#pragma once

#include "library/caselessMap.h"
#include "library/component.h"

class TcustomTagger;
class TtagAlbum;

// Albums by key (album name followed by the folder, so one album name in one
// folder is one album), keys compared without regard to case and ordered by the
// user's locale.
class TtagAlbumList : public TComponent {
public:
    TtagAlbumList() = default;
    ~TtagAlbumList() override;

    // Files a record into its album; a record without an album joins none.
    // Returns the album, or null.
    TtagAlbum *AddTrack(TcustomTagger *record);
    // Inserts an album under its AlbumName (ignored when that name is present).
    void AddAlbum(TtagAlbum *album);
    // Takes an album out of the list without freeing it: an index that
    // follows a change in place keeps an emptied album alive until the
    // change has been announced. False when the list does not hold it.
    bool Take(TtagAlbum *album) { return m_albums.RemoveObject(album); }
    int Count() const { return m_albums.Count(); }
    // The album a record was filed into; null for none.
    TtagAlbum *AlbumOf(const TcustomTagger &record) const;
    TtagAlbum *Albums(int index) const { return m_albums.At(index).object; }
    // Sorts every album; its records were filed in title order (the index
    // rebuild).
    void SortAllTitleOrdered();
    // Empties the list, freeing the albums when FreeObjects is set.
    void Clear();

    // Whether the list frees its albums (true when created).
    bool FreeObjects() const { return m_freeObjects; }
    void SetFreeObjects(bool value) { m_freeObjects = value; }

private:
    TcaselessMap<TtagAlbum> m_albums;
    bool m_freeObjects = true;
};
