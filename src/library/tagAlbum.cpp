#include "library/tagAlbum.h"

TtagAlbum::TtagAlbum()
{
    // Holds its records, so the index never points at a freed record, even
    // while the library changes with its rebuild suspended.
    SetFreeOnDestroy(true);
    SetDisplayType(tdTrackTitle);
    SetSortType(tsTrack);
}

void TtagAlbum::SetDontUseTrackNumbers(bool value)
{
    m_dontUseTrackNumbers = value;
    deriveDisplay();
}

void TtagAlbum::SetIsCompilation(bool value)
{
    m_isCompilation = value;
    deriveDisplay();
}

void TtagAlbum::deriveDisplay()
{
    if (!m_dontUseTrackNumbers) {
        SetDisplayType(m_isCompilation ? tdTrackArtistTitle : tdTrackTitle);
        SetSortType(tsTrack);
    } else {
        SetDisplayType(m_isCompilation ? tdArtistTitle : tdTitle);
        SetSortType(m_isCompilation ? tsArtist : tsTitle);
    }
}
