#include "party/guestSearchIndex.h"

#include "metadata/customTagger.h"
#include "party/textFold.h"

#include <QHash>
#include <algorithm>
#include <cstring>

namespace {

constexpr char kFieldEnd = '\x1F';
constexpr char kTrackEnd = '\x1E';
// Words of this length or shorter are looked up by where words start.
constexpr size_t kShortWord = 2;
constexpr quint32 kNoSlot = ~quint32(0);

bool isSeparator(char c)
{
    return c == ' ' || c == kFieldEnd || c == kTrackEnd;
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

quint64 GuestId(const QString &text, quint64 key)
{
    const quint64 id = quint64(qHash(text, size_t(key)));
    return id ? id : 1;
}

quint64 GuestTrackId(const QString &fileName, quint64 key)
{
    return GuestId(fileName, key);
}

QString GuestTitle(const TcustomTagger &record)
{
    if (!record.Title().isEmpty())
        return record.Title();
    const QString &name = record.NameInFolder();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

TguestSearchIndex::TguestSearchIndex(quint64 key, size_t count, TguestIndexLimits limits)
    : m_key(key)
    , m_limits(limits)
{
    // Room to grow by an eighth before the first move of everything (a
    // pause of its own at a million tracks): pages reserved and not written
    // take no memory.
    const size_t room = count + count / 8 + 64;
    m_tracks.reserve(room);
    m_starts.reserve(room + 1);
    m_starts.push_back(0);
    m_text.reserve(room * 48);
    m_trackIds.reserve(room);
    m_pendingStarts.reserve(count * 6);
}

quint64 TguestSearchIndex::TrackIdOf(const QString &fileName) const
{
    return GuestTrackId(fileName, m_key);
}

void TguestSearchIndex::Add(TcustomTagger *record)
{
    const quint32 slot = quint32(m_tracks.size());
    const quint64 id = TrackIdOf(record->Filename());
    // A second file with the same id (a chance of one in billions) stays
    // searchable but cannot be asked for.
    m_trackIds.emplace(id, int(slot));
    m_tracks.push_back({ record, id });
    const quint32 begin = quint32(m_text.size());
    AppendFoldedText(record->Artist(), m_text);
    m_text += kFieldEnd;
    AppendFoldedText(record->Album(), m_text);
    m_text += kFieldEnd;
    // A track without a title goes by its file's name, as everywhere.
    AppendFoldedText(GuestTitle(*record), m_text);
    m_text += kTrackEnd;
    m_starts.push_back(quint32(m_text.size()));
    for (quint32 at = begin; at < m_text.size(); ++at) {
        if (!isSeparator(m_text[at]) && (at == begin || isSeparator(m_text[at - 1])))
            m_pendingStarts.push_back({ at, slot });
    }
}

bool TguestSearchIndex::Drop(const TcustomTagger *record, const QString &fileName)
{
    size_t slot = 0;
    const auto it = m_trackIds.find(TrackIdOf(fileName));
    if (it != m_trackIds.end() && m_tracks[size_t(it->second)].record == record) {
        slot = size_t(it->second);
        m_trackIds.erase(it);
    } else {
        // The second file of an id, which only a look through the slots finds.
        const auto found = std::find_if(
            m_tracks.begin(), m_tracks.end(), [record](const TguestTrack &track) { return track.record == record; });
        if (found == m_tracks.end())
            return false;
        slot = size_t(found - m_tracks.begin());
    }
    m_tracks[slot].record = nullptr;
    ++m_dead;
    return true;
}

void TguestSearchIndex::sortWords(std::vector<WordStart> &words) const
{
    // Sorted by their first eight letters, which settle nearly every
    // comparison without a look into the text (a cache miss each, for a
    // library's text).
    struct Keyed {
        quint64 prefix;
        WordStart word;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(words.size());
    for (const WordStart &word : words) {
        quint64 prefix = 0;
        const std::string_view text = wordAt(word.offset).substr(0, 8);
        for (size_t i = 0; i < 8; ++i)
            prefix = prefix << 8 | (i < text.size() ? quint8(text[i]) : 0);
        keyed.push_back({ prefix, word });
    }
    std::sort(keyed.begin(), keyed.end(), [this](const Keyed &a, const Keyed &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        // Words of fewer than eight letters are equal already.
        return (a.prefix & 0xFF) != 0 && wordBefore(a.word, b.word);
    });
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = keyed[i].word;
}

void TguestSearchIndex::EndAdding()
{
    sortWords(m_pendingStarts);
    if (m_words.empty()) {
        const size_t block = std::max<size_t>(m_limits.blockWords, 1);
        for (size_t at = 0; at < m_pendingStarts.size(); at += block) {
            const auto from = m_pendingStarts.begin() + std::ptrdiff_t(at);
            m_words.emplace_back(from, from + std::ptrdiff_t(std::min(block, m_pendingStarts.size() - at)));
        }
    } else {
        for (const WordStart &word : m_pendingStarts)
            insertWord(word);
    }
    m_pendingStarts.clear();
    m_pendingStarts.shrink_to_fit();
    if (m_dead >= m_limits.minDead && m_dead * 8 > m_tracks.size())
        compact();
}

void TguestSearchIndex::insertWord(const WordStart &word)
{
    const auto before = [this](const WordStart &a, const WordStart &b) { return wordBefore(a, b); };
    // The last block that starts at or before the word.
    auto block = std::upper_bound(m_words.begin(), m_words.end(), word,
        [this](const WordStart &a, const std::vector<WordStart> &b) { return wordBefore(a, b.front()); });
    if (block != m_words.begin())
        --block;
    // A block grows by an eighth, not twice: most blocks take a word or two
    // between compactions.
    if (block->size() == block->capacity())
        block->reserve(block->size() + block->size() / 8 + 8);
    block->insert(std::upper_bound(block->begin(), block->end(), word, before), word);
    if (block->size() < 2 * std::max<size_t>(m_limits.blockWords, 1))
        return;
    const auto half = block->begin() + std::ptrdiff_t(block->size() / 2);
    std::vector<WordStart> second(half, block->end());
    block->erase(half, block->end());
    block->shrink_to_fit();
    m_words.insert(block + 1, std::move(second));
}

void TguestSearchIndex::compact()
{
    std::vector<quint32> slotOf(m_tracks.size(), kNoSlot);
    size_t textSize = 0;
    for (size_t track = 0; track < m_tracks.size(); ++track) {
        if (m_tracks[track].record)
            textSize += m_starts[track + 1] - m_starts[track];
    }
    // Room to grow by an eighth, as after a build.
    const size_t live = m_tracks.size() - m_dead;
    std::vector<TguestTrack> tracks;
    tracks.reserve(live + live / 8 + 64);
    std::vector<quint32> starts;
    starts.reserve(tracks.capacity() + 1);
    starts.push_back(0);
    std::string text;
    text.reserve(textSize + textSize / 8 + 64 * 48);
    for (size_t track = 0; track < m_tracks.size(); ++track) {
        if (!m_tracks[track].record)
            continue;
        slotOf[track] = quint32(tracks.size());
        tracks.push_back(m_tracks[track]);
        text.append(m_text, m_starts[track], m_starts[track + 1] - m_starts[track]);
        starts.push_back(quint32(text.size()));
    }
    // A word keeps its text, so the runs keep their order.
    const auto move = [&](std::vector<WordStart> &run) {
        size_t kept = 0;
        for (const WordStart &word : run) {
            const quint32 slot = slotOf[word.track];
            if (slot != kNoSlot)
                run[kept++] = { starts[slot] + (word.offset - m_starts[word.track]), slot };
        }
        run.resize(kept);
        run.shrink_to_fit();
    };
    for (std::vector<WordStart> &block : m_words)
        move(block);
    m_words.erase(std::remove_if(m_words.begin(), m_words.end(),
                      [](const std::vector<WordStart> &block) { return block.empty(); }),
        m_words.end());
    for (auto &entry : m_trackIds)
        entry.second = int(slotOf[size_t(entry.second)]);
    m_tracks = std::move(tracks);
    m_starts = std::move(starts);
    m_text = std::move(text);
    m_dead = 0;
}

std::string_view TguestSearchIndex::wordAt(quint32 offset) const
{
    quint32 end = offset;
    while (end < m_text.size() && !isSeparator(m_text[end]))
        ++end;
    return std::string_view(m_text.data() + offset, end - offset);
}

bool TguestSearchIndex::wordBefore(const WordStart &a, const WordStart &b) const
{
    return wordAt(a.offset) < wordAt(b.offset);
}

TcustomTagger *TguestSearchIndex::TrackById(quint64 id) const
{
    const auto it = m_trackIds.find(id);
    return it == m_trackIds.end() ? nullptr : m_tracks[size_t(it->second)].record;
}

TguestSearchIndex::Fields TguestSearchIndex::fieldsOf(size_t track) const
{
    const std::string_view text(m_text.data() + m_starts[track], m_starts[track + 1] - m_starts[track] - 1);
    const size_t artistEnd = text.find(kFieldEnd);
    const size_t albumEnd = text.find(kFieldEnd, artistEnd + 1);
    return { text.substr(0, artistEnd), text.substr(artistEnd + 1, albumEnd - artistEnd - 1),
        text.substr(albumEnd + 1) };
}

int TguestSearchIndex::score(size_t track, const std::vector<std::string> &words, const std::string &phrase) const
{
    const Fields fields = fieldsOf(track);
    int total = 0;
    for (const std::string &word : words) {
        const int best = std::max({ fieldMatch(fields.title, word, 100, 40, 10),
            fieldMatch(fields.artist, word, 60, 25, 6), fieldMatch(fields.album, word, 40, 15, 4) });
        // A word that occurs only across fields ("artist title" typed as
        // one) does not count.
        if (best == 0)
            return 0;
        total += best;
    }
    if (words.size() > 1)
        total += std::max({ fieldMatch(fields.title, phrase, 120, 50, 0), fieldMatch(fields.artist, phrase, 80, 30, 0),
            fieldMatch(fields.album, phrase, 60, 20, 0) });
    return total;
}

bool TguestSearchIndex::better(const Scored &a, const Scored &b) const
{
    if (a.score != b.score)
        return a.score > b.score;
    const TcustomTagger &first = *m_tracks[size_t(a.track)].record;
    const TcustomTagger &second = *m_tracks[size_t(b.track)].record;
    if (first.Title().size() != second.Title().size())
        return first.Title().size() < second.Title().size();
    // Then in title order, as the library lists its tracks, and by file: an
    // order of the tracks alone, the same whichever slots they took.
    const int titles = fieldsOf(size_t(a.track)).title.compare(fieldsOf(size_t(b.track)).title);
    if (titles != 0)
        return titles < 0;
    return first.Filename() < second.Filename();
}

std::vector<int> TguestSearchIndex::Search(QStringView query, int limit) const
{
    const std::string phrase = FoldedText(query);
    const std::vector<std::string> words = wordsOf(phrase);
    limit = std::clamp(limit, 0, kMaxResults);
    if (words.empty() || limit == 0 || m_tracks.size() == m_dead)
        return {};
    // The longest word leads the scan through the whole text: it occurs in
    // the fewest tracks. Every place it occurs names a track, and the scan
    // goes on after that track's end.
    const std::string &lead = *std::max_element(
        words.begin(), words.end(), [](const std::string &a, const std::string &b) { return a.size() < b.size(); });
    std::vector<Scored> found;
    if (lead.size() <= kShortWord) {
        // A letter or two: the tracks with a word that starts so.
        std::vector<bool> seen(m_tracks.size());
        const auto before
            = [this](const WordStart &start, const std::string &prefix) { return wordAt(start.offset) < prefix; };
        // The first block that ends at or after the letters.
        auto block = std::lower_bound(m_words.begin(), m_words.end(), lead,
            [&](const std::vector<WordStart> &b, const std::string &prefix) { return before(b.back(), prefix); });
        for (bool more = true; more && block != m_words.end(); ++block) {
            for (auto it = std::lower_bound(block->begin(), block->end(), lead, before); it != block->end(); ++it) {
                more = wordAt(it->offset).substr(0, lead.size()) == lead;
                if (!more)
                    break;
                if (seen[it->track] || !m_tracks[it->track].record)
                    continue;
                seen[it->track] = true;
                if (const int points = score(it->track, words, phrase))
                    found.push_back({ points, int(it->track) });
            }
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
        if (m_tracks[track].record) {
            if (const int points = score(track, words, phrase))
                found.push_back({ points, int(track) });
        }
        at = begin + m_starts[track + 1];
    }
    const size_t keep = std::min(found.size(), size_t(limit));
    std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(keep), found.end(),
        [this](const Scored &a, const Scored &b) { return better(a, b); });
    std::vector<int> result;
    result.reserve(keep);
    for (size_t i = 0; i < keep; ++i)
        result.push_back(found[i].track);
    return result;
}
