#pragma once

#include "library/taggerList.h"

// An album ("virtual CD"): one album name in one folder. Holds records of the
// library's master list. Its display and sort type follow from
// DontUseTrackNumbers and IsCompilation.
class TtagAlbum : public TtaggerList {
public:
    TtagAlbum();

    // The artist of an album whose tracks name different artists.
    static inline const QString kCompilation = QStringLiteral("Compilation");

    const QString &AlbumName() const { return m_albumName; }
    void SetAlbumName(const QString &value) { m_albumName = value; }
    // The album's key in the library's album list: its name and its folder.
    const QString &Key() const { return m_key; }
    void SetKey(const QString &value) { m_key = value; }
    const QString &Artist() const { return m_artist; }
    void SetArtist(const QString &value) { m_artist = value; }
    bool DontUseTrackNumbers() const { return m_dontUseTrackNumbers; }
    void SetDontUseTrackNumbers(bool value);
    bool IsCompilation() const { return m_isCompilation; }
    void SetIsCompilation(bool value);

private:
    void deriveDisplay();

    QString m_albumName;
    QString m_key;
    QString m_artist;
    bool m_dontUseTrackNumbers = false;
    bool m_isCompilation = false;
};
