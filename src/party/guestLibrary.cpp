#include "party/guestLibrary.h"

#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/tagArtistList.h"
#include "metadata/customTagger.h"
#include "party/textFold.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

constexpr char kFieldEnd = '\x1F';
constexpr char kTrackEnd = '\x1E';
// Words of this length or shorter are looked up by where words start.
constexpr size_t kShortWord = 2;

bool isSeparator(char c)
{
    return c == ' ' || c == kFieldEnd || c == kTrackEnd;
}

quint64 keyedId(const QString &text, quint64 key)
{
    // Never 0: 0 is "none" on the wire.
    const quint64 id = quint64(qHash(text, size_t(key)));
    return id ? id : 1;
}

// Words of a folded text, split at its spaces.
std::vector<std::string> wordsOf(const std::string &folded)
{
    std::vector<std::string> words;
    size_t start = 0;
    while (start < folded.size()) {
        size_t end = folded.find(' ', start);
        if (end == std::string::npos)
            end = folded.size();
        if (end > start)
            words.emplace_back(folded, start, end - start);
        start = end + 1;
    }
    return words;
}

// How well word matches a field: the whole field, the start of one of its
// words, or inside a word; 0 when it does not occur.
int fieldMatch(std::string_view field, std::string_view word, int whole, int start, int inside)
{
    if (word.size() > field.size())
        return 0;
    if (field == word)
        return whole;
    int best = 0;
    size_t at = field.find(word);
    while (at != std::string_view::npos) {
        if (at == 0 || field[at - 1] == ' ')
            return start;
        best = inside;
        at = field.find(word, at + 1);
    }
    return best;
}

} // namespace

TguestLibrary::TguestLibrary(const Tmp3JukeBoxLists &library, quint64 key)
    : m_key(key)
{
    const TtaggerList &master = library.MasterList();
    const int count = master.Count();
    m_tracks.reserve(size_t(count));
    m_starts.reserve(size_t(count) + 1);
    m_text.reserve(size_t(count) * 48);
    m_trackIds.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        TcustomTagger *record = master.Items(i);
        const quint64 id = TrackIdOf(record->Filename());
        // A second file with the same id (a chance of one in billions) stays
        // searchable but cannot be asked for.
        m_trackIds.emplace(id, int(m_tracks.size()));
        m_tracks.push_back({ record, id });
        m_starts.push_back(quint32(m_text.size()));
        AppendFoldedText(record->Artist(), m_text);
        m_text += kFieldEnd;
        AppendFoldedText(record->Album(), m_text);
        m_text += kFieldEnd;
        // A track without a title goes by its file's name, as everywhere.
        AppendFoldedText(GuestTitle(*record), m_text);
        m_text += kTrackEnd;
    }
    m_starts.push_back(quint32(m_text.size()));

    m_wordStarts.reserve(size_t(count) * 6);
    for (size_t track = 0; track + 1 < m_starts.size(); ++track) {
        for (quint32 at = m_starts[track]; at < m_starts[track + 1]; ++at) {
            if (!isSeparator(m_text[at]) && (at == m_starts[track] || isSeparator(m_text[at - 1])))
                m_wordStarts.push_back({ at, quint32(track) });
        }
    }
    std::sort(m_wordStarts.begin(), m_wordStarts.end(),
        [this](const WordStart &a, const WordStart &b) { return wordAt(a.offset) < wordAt(b.offset); });

    // Albums are filed under their artist by name alone and, for an artist
    // whose name starts with "The", under an alias too: each artist and
    // album is listed once.
    const TtagArtistList &artists = library.ArtistList();
    std::unordered_set<const TtagArtist *> seenArtists;
    std::unordered_set<const TtagAlbum *> seenAlbums;
    for (int i = 0; i < artists.Count(); ++i) {
        const TtagArtist *artist = artists.Artists(i);
        const QString alias = ArtistAliasKey(artist->Artist());
        if (!seenArtists.insert(artist).second
            || (!alias.isEmpty() && artists.Keys(i).compare(alias, Qt::CaseInsensitive) == 0))
            continue;
        TguestArtist guestArtist;
        guestArtist.name = artist->Artist();
        guestArtist.id = keyedId(QStringLiteral("artist\n") + artists.Keys(i).toLower(), m_key);
        guestArtist.tracks = artist->Count();
        const TtagAlbumList &albums = artist->AlbumList();
        for (int a = 0; a < albums.Count(); ++a) {
            const TtagAlbum *album = albums.Albums(a);
            if (album->Count() == 0 || !seenAlbums.insert(album).second)
                continue;
            TguestAlbum guestAlbum;
            guestAlbum.name = album->AlbumName();
            guestAlbum.artist = album->Artist().isEmpty() ? artist->Artist() : album->Artist();
            guestAlbum.album = album;
            guestAlbum.id
                = keyedId(QStringLiteral("album\n") + album->AlbumName() + u'\n' + album->Items(0)->Folder(), m_key);
            if (m_albumIds.emplace(guestAlbum.id, int(m_albums.size())).second) {
                guestArtist.albums.push_back(int(m_albums.size()));
                m_albums.push_back(std::move(guestAlbum));
            }
        }
        if (m_artistIds.emplace(guestArtist.id, int(m_artists.size())).second)
            m_artists.push_back(std::move(guestArtist));
    }
}

std::string_view TguestLibrary::wordAt(quint32 offset) const
{
    quint32 end = offset;
    while (end < m_text.size() && !isSeparator(m_text[end]))
        ++end;
    return std::string_view(m_text.data() + offset, end - offset);
}

quint64 TguestLibrary::TrackIdOf(const QString &fileName) const
{
    return GuestTrackId(fileName, m_key);
}

quint64 GuestTrackId(const QString &fileName, quint64 key)
{
    return keyedId(fileName, key);
}

QString GuestTitle(const TcustomTagger &record)
{
    if (!record.Title().isEmpty())
        return record.Title();
    const QString &name = record.NameInFolder();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

TcustomTagger *TguestLibrary::TrackById(quint64 id) const
{
    const auto it = m_trackIds.find(id);
    return it == m_trackIds.end() ? nullptr : m_tracks[size_t(it->second)].record;
}

const TguestArtist *TguestLibrary::ArtistById(quint64 id) const
{
    const auto it = m_artistIds.find(id);
    return it == m_artistIds.end() ? nullptr : &m_artists[size_t(it->second)];
}

const TguestAlbum *TguestLibrary::AlbumById(quint64 id) const
{
    const auto it = m_albumIds.find(id);
    return it == m_albumIds.end() ? nullptr : &m_albums[size_t(it->second)];
}

int TguestLibrary::score(size_t track, const std::vector<std::string> &words, const std::string &phrase) const
{
    const std::string_view text(m_text.data() + m_starts[track], m_starts[track + 1] - m_starts[track] - 1);
    const size_t artistEnd = text.find(kFieldEnd);
    const size_t albumEnd = text.find(kFieldEnd, artistEnd + 1);
    const std::string_view artist = text.substr(0, artistEnd);
    const std::string_view album = text.substr(artistEnd + 1, albumEnd - artistEnd - 1);
    const std::string_view title = text.substr(albumEnd + 1);
    int total = 0;
    for (const std::string &word : words) {
        const int best = std::max({ fieldMatch(title, word, 100, 40, 10), fieldMatch(artist, word, 60, 25, 6),
            fieldMatch(album, word, 40, 15, 4) });
        // A word that occurs only across fields ("artist title" typed as
        // one) does not count.
        if (best == 0)
            return 0;
        total += best;
    }
    if (words.size() > 1)
        total += std::max({ fieldMatch(title, phrase, 120, 50, 0), fieldMatch(artist, phrase, 80, 30, 0),
            fieldMatch(album, phrase, 60, 20, 0) });
    return total;
}

std::vector<int> TguestLibrary::Search(QStringView query, int limit) const
{
    const std::string phrase = FoldedText(query);
    const std::vector<std::string> words = wordsOf(phrase);
    limit = std::clamp(limit, 0, kMaxResults);
    if (words.empty() || limit == 0 || m_tracks.empty())
        return {};
    // The longest word leads the scan through the whole text: it occurs in
    // the fewest tracks. Every place it occurs names a track, and the scan
    // goes on after that track's end.
    const std::string &lead = *std::max_element(
        words.begin(), words.end(), [](const std::string &a, const std::string &b) { return a.size() < b.size(); });
    std::vector<Scored> found;
    if (lead.size() <= kShortWord) {
        // A letter or two: the tracks with a word that starts so.
        const auto first = std::lower_bound(m_wordStarts.begin(), m_wordStarts.end(), lead,
            [this](const WordStart &start, const std::string &prefix) { return wordAt(start.offset) < prefix; });
        std::vector<bool> seen(m_tracks.size());
        for (auto it = first; it != m_wordStarts.end() && wordAt(it->offset).substr(0, lead.size()) == lead; ++it) {
            if (seen[it->track])
                continue;
            seen[it->track] = true;
            if (const int points = score(it->track, words, phrase))
                found.push_back({ points, int(it->track) });
        }
    }
    const char *const begin = m_text.data();
    const char *const end = begin + m_text.size();
    const char *at = lead.size() <= kShortWord ? end : begin;
    while (at < end) {
        const void *hit = memmem(at, size_t(end - at), lead.data(), lead.size());
        if (!hit)
            break;
        const quint32 offset = quint32(static_cast<const char *>(hit) - begin);
        const size_t track = size_t(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin()) - 1;
        if (const int points = score(track, words, phrase))
            found.push_back({ points, int(track) });
        at = begin + m_starts[track + 1];
    }
    const size_t keep = std::min(found.size(), size_t(limit));
    // Equal scores: the shorter title first, then the library's own order.
    const auto better = [this](const Scored &a, const Scored &b) {
        if (a.score != b.score)
            return a.score > b.score;
        const qsizetype la = m_tracks[size_t(a.track)].record->Title().size();
        const qsizetype lb = m_tracks[size_t(b.track)].record->Title().size();
        if (la != lb)
            return la < lb;
        return a.track < b.track;
    };
    std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(keep), found.end(), better);
    std::vector<int> result;
    result.reserve(keep);
    for (size_t i = 0; i < keep; ++i)
        result.push_back(found[i].track);
    return result;
}
