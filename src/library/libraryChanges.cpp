#include "library/libraryChanges.h"

#include "library/tagAlbum.h"
#include "library/tagArtist.h"

TlibraryChanges::TlibraryChanges() = default;
TlibraryChanges::~TlibraryChanges() = default;
TlibraryChanges::TlibraryChanges(TlibraryChanges &&) noexcept = default;
TlibraryChanges &TlibraryChanges::operator=(TlibraryChanges &&) noexcept = default;

bool TlibraryChanges::IsEmpty() const
{
    return !IndexChanged() && unavailable.empty() && available.empty();
}

bool TlibraryChanges::IndexChanged() const
{
    return !added.empty() || !removed.empty() || !changed.empty() || !moved.empty() || !albums.empty()
           || !artists.empty() || !goneAlbums.empty() || !goneArtists.empty();
}
