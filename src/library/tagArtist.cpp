#include "library/tagArtist.h"

TtagArtist::TtagArtist()
{
    SetFreeOnDestroy(false);
    SetDisplayType(tdTitle);
    SetSortType(tsTitle);
    m_albumList.SetFreeObjects(false);
}
