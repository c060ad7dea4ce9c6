#include "library/tagArtist.h"

TtagArtist::TtagArtist()
{
    // Holds its records, so the index never points at a freed record, even
    // while the library changes with its rebuild suspended.
    SetFreeOnDestroy(true);
    SetDisplayType(tdTitle);
    SetSortType(tsTitle);
    m_albumList.SetFreeObjects(false);
}
