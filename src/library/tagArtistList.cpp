#include "library/tagArtistList.h"

#include "library/tagArtist.h"

QString ArtistAliasKey(const QString &artist)
{
    if (!artist.startsWith(QLatin1StringView("the "), Qt::CaseInsensitive))
        return QString();
    return artist.mid(4) + QStringLiteral(", The");
}

TtagArtistList::~TtagArtistList()
{
    Clear();
}

TtagArtistList::Tfiling TtagArtistList::AddTrack(TcustomTagger *record)
{
    const QString &name = record->Artist();
    TtagArtist *artist = m_artists.Find(name);
    if (!artist && name.isEmpty())
        artist = m_artists.Find(kNoName);
    if (!artist) {
        artist = new TtagArtist;
        artist->SetKeepUntagged(true);
        artist->SetArtist(name.isEmpty() ? kNoName : name);
        artist->Add(record);
        m_artists.Insert(artist->Artist(), artist);
    } else {
        artist->Add(record);
    }

    const QString alias = ArtistAliasKey(name);
    if (alias.isEmpty())
        return {artist, nullptr};
    TtagArtist *aliasArtist = m_artists.Find(alias);
    if (!aliasArtist) {
        aliasArtist = new TtagArtist;
        aliasArtist->SetKeepUntagged(true);
        aliasArtist->SetArtist(name);
        aliasArtist->Add(record);
        m_artists.Insert(alias, aliasArtist);
    } else {
        aliasArtist->Add(record);
    }
    return {artist, aliasArtist};
}

void TtagArtistList::AddArtist(TtagArtist *artist, const QString &key)
{
    if (!m_artists.Insert(key, artist))
        delete artist;
}

std::unique_ptr<TtagArtist> TtagArtistList::Take(TtagArtist *artist)
{
    return std::unique_ptr<TtagArtist>(m_artists.RemoveObject(artist) ? artist : nullptr);
}

void TtagArtistList::SortAllTitleOrdered()
{
    for (const auto &entry : m_artists.UnorderedEntries())
        entry.object->ApplySortTitleOrdered();
}

void TtagArtistList::Clear()
{
    for (const auto &entry : m_artists.UnorderedEntries())
        delete entry.object;
    m_artists.Clear();
}
