#include "library/taggerSort.h"

#include "library/textCollator.h"
#include "metadata/customTagger.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace {

// Up to three keys per record, each reduced to a number: text keys become the
// rank of the text among the distinct texts of the sort, so comparisons during
// the sort are plain number comparisons and each distinct text is collated once.
using KeyRow = std::array<double, 3>;

const QCollator &collator()
{
    // The list operations run on the GUI thread only.
    static const QCollator instance = TextCollator();
    return instance;
}

// Identity of a text's storage: records share the storage of repeated texts
// (artist, album, genre), so distinct storages are far fewer than records and
// cheaper to tell apart than the texts themselves. Equal texts in different
// storage are merged by their equal collation keys.
struct TextStorage {
    const QChar *data;
    qsizetype size;
    bool operator==(const TextStorage &) const = default;
};

struct TextStorageHash {
    size_t operator()(const TextStorage &s) const noexcept
    {
        return std::hash<const void *>()(s.data) ^ (std::hash<qsizetype>()(s.size) << 1);
    }
};

template <typename TextOf>
std::vector<double> textRanks(const std::vector<TcustomTagger *> &records, TextOf textOf)
{
    std::unordered_map<TextStorage, int, TextStorageHash> distinctIndex;
    std::vector<const QString *> distinct; // the records outlive the ranking
    std::vector<int> recordText(records.size());
    distinctIndex.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const QString &text = textOf(i);
        const auto [it, inserted] = distinctIndex.try_emplace(TextStorage{text.constData(), text.size()}, int(distinct.size()));
        if (inserted)
            distinct.push_back(&text);
        recordText[i] = it->second;
    }

    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (const QString *text : distinct)
        keys.push_back(collator().sortKey(*text));
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });

    std::vector<double> rankOfDistinct(distinct.size());
    int rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && keys[size_t(order[k - 1])].compare(keys[size_t(order[k])]) != 0)
            ++rank;
        rankOfDistinct[size_t(order[k])] = rank;
    }
    std::vector<double> ranks(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        ranks[i] = rankOfDistinct[size_t(recordText[i])];
    return ranks;
}

template <typename NumberOf>
std::vector<double> numbers(const std::vector<TcustomTagger *> &records, NumberOf numberOf)
{
    std::vector<double> values(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        values[i] = numberOf(*records[i]);
    return values;
}

double creationTime(const TcustomTagger &record)
{
    const QFileInfo info(record.Filename());
    if (!info.exists())
        return -std::numeric_limits<double>::infinity();
    QDateTime time = info.birthTime();
    if (!time.isValid())
        time = info.lastModified();
    return double(time.toMSecsSinceEpoch());
}

// The key columns of a sort type, primary first; withTitle false leaves out a
// trailing title tie-break.
std::vector<std::vector<double>> keyColumns(const std::vector<TcustomTagger *> &records, TtagSortType sortType,
                                            bool withTitle = true)
{
    const auto title = [&] {
        return withTitle ? textRanks(records, [&](size_t i) -> const QString & { return records[i]->Title(); })
                         : std::vector<double>();
    };
    switch (sortType) {
    case tsNone:
        return {};
    case tsTrack:
        return {numbers(records, [](const TcustomTagger &r) { return double(r.Track()); }), title()};
    case tsAlbum:
        return {textRanks(records, [&](size_t i) -> const QString & { return records[i]->Album(); }),
                numbers(records, [](const TcustomTagger &r) { return double(r.Track()); }), title()};
    case tsArtist:
        return {textRanks(records, [&](size_t i) -> const QString & { return records[i]->Artist(); }), title()};
    case tsTitle:
        return {title()};
    case tsComment:
        return {textRanks(records, [&](size_t i) -> const QString & { return records[i]->Comment(); }), title()};
    case tsYear:
        return {textRanks(records, [&](size_t i) -> const QString & { return records[i]->Date(); }), title()};
    case tsBitRate:
        return {numbers(records, [](const TcustomTagger &r) { return double(r.bitRate()); }), title()};
    case tsSampleRate:
        return {numbers(records, [](const TcustomTagger &r) { return double(r.SampleRate()); }), title()};
    case tsDuration:
        return {numbers(records, [](const TcustomTagger &r) { return r.Duration(); }), title()};
    case tsGenre:
        return {textRanks(records, [&](size_t i) -> const QString & { return records[i]->Genre(); }), title()};
    case tsTimeStamp:
        return {numbers(records, creationTime)};
    case tsChannelMode: {
        // The texts are made per record; keep them alive while they are ranked.
        std::vector<QString> texts;
        texts.reserve(records.size());
        for (const TcustomTagger *record : records)
            texts.push_back(record->GetChannelModeText());
        return {textRanks(records, [&](size_t i) -> const QString & { return texts[i]; }), title()};
    }
    }
    return {};
}

} // namespace

namespace {

void sortByColumns(std::vector<TcustomTagger *> &records, std::vector<std::vector<double>> columns, bool stable)
{
    std::erase_if(columns, [](const std::vector<double> &c) { return c.empty(); });
    if (columns.empty())
        return;
    struct Entry {
        KeyRow keys;
        TcustomTagger *record;
    };
    std::vector<Entry> entries(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        entries[i].record = records[i];
        entries[i].keys = {0, 0, 0};
        for (size_t c = 0; c < columns.size(); ++c)
            entries[i].keys[c] = columns[c][i];
    }
    // A NaN duration has no place in an order; it sorts below every number.
    for (Entry &e : entries) {
        for (double &k : e.keys) {
            if (k != k)
                k = -std::numeric_limits<double>::infinity();
        }
    }
    const auto less = [](const Entry &a, const Entry &b) { return a.keys < b.keys; };
    if (stable)
        std::stable_sort(entries.begin(), entries.end(), less);
    else
        std::sort(entries.begin(), entries.end(), less);
    for (size_t i = 0; i < records.size(); ++i)
        records[i] = entries[i].record;
}


// How many records at the start are in title order.
size_t titleOrderedPrefix(const std::vector<TcustomTagger *> &records)
{
    for (size_t i = 1; i < records.size(); ++i) {
        if (TitleBefore(records[i], records[i - 1]))
            return i;
    }
    return records.size();
}

// Sorts by title records whose first `ordered` are in title order already:
// the rest is sorted on its own and merged in, each of its records placed by
// a binary search in what is left of the ordered part.
void mergeIntoTitleOrder(std::vector<TcustomTagger *> &records, size_t ordered)
{
    std::vector<TcustomTagger *> rest(records.begin() + qsizetype(ordered), records.end());
    sortByColumns(rest, keyColumns(rest, tsTitle), false);
    std::vector<TcustomTagger *> merged;
    merged.reserve(records.size());
    auto from = records.begin();
    const auto orderedEnd = records.begin() + qsizetype(ordered);
    for (TcustomTagger *record : rest) {
        const auto place = std::upper_bound(from, orderedEnd, record, TitleBefore);
        merged.insert(merged.end(), from, place);
        merged.push_back(record);
        from = place;
    }
    merged.insert(merged.end(), from, orderedEnd);
    records = std::move(merged);
}

} // namespace

void SortTaggers(std::vector<TcustomTagger *> &records, TtagSortType sortType)
{
    if (records.size() < 2)
        return;
    // A library saved after a rebuild comes back in title order, and one
    // that grew since has its new tracks at the end: confirming the order
    // costs a fraction of sorting again, and only what is out of order is
    // sorted and merged in. A list in no order shows itself within the first
    // few records.
    if (sortType == tsTitle) {
        const size_t ordered = titleOrderedPrefix(records);
        if (ordered == records.size())
            return;
        if (ordered >= records.size() / 2) {
            mergeIntoTitleOrder(records, ordered);
            return;
        }
    }
    sortByColumns(records, keyColumns(records, sortType), false);
}

void SortTitleOrderedTaggers(std::vector<TcustomTagger *> &records, TtagSortType sortType)
{
    if (records.size() < 2 || sortType == tsTitle)
        return;
    if (sortType == tsNone || sortType == tsTimeStamp) {
        SortTaggers(records, sortType);
        return;
    }
    // Every other order ends in the title: a stable sort by the keys ahead of
    // it keeps the title order among records that tie on them.
    sortByColumns(records, keyColumns(records, sortType, false), true);
}

bool TitleBefore(const TcustomTagger *a, const TcustomTagger *b)
{
    return collator().compare(a->Title(), b->Title()) < 0;
}
