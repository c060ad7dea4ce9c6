#pragma once

#include "library/taggerList.h"

// An album ("virtual CD"): one album name in one folder. Holds records of the
// library's master list. Its display and sort type follow from
// DontUseTrackNumbers and IsCompilation.
class TtagAlbum : public TtaggerList {
public:
    TtagAlbum();

    const QString &AlbumName() const { return m_albumName; }
    void SetAlbumName(const QString &value) { m_albumName = value; }
    const QString &Artist() const { return m_artist; }
    void SetArtist(const QString &value) { m_artist = value; }
    bool DontUseTrackNumbers() const { return m_dontUseTrackNumbers; }
    void SetDontUseTrackNumbers(bool value);
    bool IsCompilation() const { return m_isCompilation; }
    void SetIsCompilation(bool value);

private:
    void deriveDisplay();

    QString m_albumName;
    QString m_artist;
    bool m_dontUseTrackNumbers = false;
    bool m_isCompilation = false;
};
