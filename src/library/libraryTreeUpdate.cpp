#include "library/libraryTreeUpdate.h"

#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/textCollator.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <unordered_set>

namespace {

constexpr int kRoots = 29;
constexpr int kNoNameRoot = 27;
constexpr int kCompilationsRoot = 28;

const QCollator &collator()
{
    // The same collator the master list's title order is made with.
    static const QCollator instance = TextCollator();
    return instance;
}

TcustomTagger *recordOf(const TtreeNodes &tree, TtreeNode node)
{
    const auto *record = std::get_if<TcustomTagger *>(&tree.Object(node));
    return record ? *record : nullptr;
}

TtreeNode trackRoot(const QList<TtreeNode> &rootNodes, const TcustomTagger &record)
{
    return rootNodes.value(record.Title().isEmpty() ? kNoNameRoot : LetterRoot(record.Title()));
}

// The rows of parent's tracks whose titles compare equal to title: [first, last).
std::pair<int, int> equalTitles(const TtreeNodes &tree, TtreeNode parent, const QString &title)
{
    const auto bound = [&](bool upper) {
        int low = 0;
        int high = tree.ChildCount(parent);
        while (low < high) {
            const int middle = low + (high - low) / 2;
            const int c = collator().compare(recordOf(tree, tree.Child(parent, middle))->Title(), title);
            if (c < 0 || (upper && c == 0))
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    };
    return { bound(false), bound(true) };
}

// The master list's records whose titles compare equal to title.
std::pair<std::vector<TcustomTagger *>::const_iterator, std::vector<TcustomTagger *>::const_iterator> masterTitles(
    const TtaggerList &master, const QString &title)
{
    const std::vector<TcustomTagger *> &records = master.Records();
    const auto low = std::lower_bound(records.begin(), records.end(), title,
        [](const TcustomTagger *r, const QString &t) { return collator().compare(r->Title(), t) < 0; });
    const auto high = std::upper_bound(low, records.end(), title,
        [](const QString &t, const TcustomTagger *r) { return collator().compare(t, r->Title()) < 0; });
    return { low, high };
}

// The text a fill gives a track of the master list at index.
QString trackText(const TtaggerList &master, int index)
{
    const TcustomTagger *record = master.Items(index);
    return record->Title().isEmpty() ? record->Filename() : master.DisplayText(index);
}

// The index of a record in the master list; -1 when it is not there.
int masterIndex(const TtaggerList &master, const TcustomTagger *record)
{
    const auto [low, high] = masterTitles(master, record->Title());
    const auto place = std::find(low, high, record);
    return place == high ? -1 : int(place - master.Records().begin());
}

// Puts a track of the master list where a fill puts it: among the tracks of
// an equal title in the master list's order.
void insertTrack(TtreeNodes &tree, const TtaggerList &master, const QList<TtreeNode> &rootNodes, TcustomTagger *record)
{
    const auto [low, high] = masterTitles(master, record->Title());
    const auto place = std::find(low, high, record);
    if (place == high)
        return;
    const TtreeNode parent = trackRoot(rootNodes, *record);
    auto [row, last] = equalTitles(tree, parent, record->Title());
    if (row < last) {
        const std::unordered_set<const TcustomTagger *> before(low, place);
        while (row < last && before.count(recordOf(tree, tree.Child(parent, row))))
            ++row;
    }
    tree.InsertChild(
        parent, row, trackText(master, int(place - master.Records().begin())), record, TtreeNodeKind::Track);
}

void updateByTitle(
    TtreeNodes &tree, const TtaggerList &master, const QList<TtreeNode> &rootNodes, const TlibraryChanges &changes)
{
    std::vector<TcustomTagger *> out;
    std::vector<TcustomTagger *> in;
    for (const TtaggerRef &record : changes.removed)
        out.push_back(record.get());
    for (const TtaggerRef &record : changes.added)
        in.push_back(record.get());
    // A track read anew or moved that the search of its title finds alone,
    // between neighbours that stay as they are (the search compared them),
    // is in its place: it only takes its new text. Taking a node out costs
    // the view a layout of its open rows.
    std::unordered_set<const TcustomTagger *> again;
    for (const TtaggerRef &record : changes.changed)
        again.insert(record.get());
    for (const TrecordMove &move : changes.moved)
        again.insert(move.record.get());
    const auto stays = [&](TtreeNode parent, int row) {
        return row < 0 || row >= tree.ChildCount(parent) || !again.count(recordOf(tree, tree.Child(parent, row)));
    };
    const auto readAgain = [&](TcustomTagger *record) {
        const TtreeNode parent = trackRoot(rootNodes, *record);
        const auto [first, last] = parent.IsValid() ? equalTitles(tree, parent, record->Title()) : std::pair(0, 0);
        const int index = masterIndex(master, record);
        if (last - first == 1 && recordOf(tree, tree.Child(parent, first)) == record && index >= 0
            && stays(parent, first - 1) && stays(parent, first + 1)) {
            tree.SetText(tree.Child(parent, first), trackText(master, index));
            return;
        }
        out.push_back(record);
        in.push_back(record);
    };
    for (const TtaggerRef &record : changes.changed)
        readAgain(record.get());
    for (const TrecordMove &move : changes.moved)
        readAgain(move.record.get());

    std::vector<TtreeNode> gone;
    std::unordered_set<const TcustomTagger *> lost;
    for (const TcustomTagger *record : out) {
        const TtreeNode node = FindTrackNode(tree, rootNodes, record);
        if (node.IsValid())
            gone.push_back(node);
        else
            lost.insert(record);
    }
    for (qint32 i = 0; i < tree.Count() && !lost.empty(); ++i) {
        const TtreeNode node(i);
        if (tree.IsNode(node) && tree.Kind(node) == TtreeNodeKind::Track && lost.erase(recordOf(tree, node)))
            gone.push_back(node);
    }
    for (TtreeNode node : gone)
        tree.Remove(node);
    for (TcustomTagger *record : in)
        insertTrack(tree, master, rootNodes, record);
}

void updateByArtist(TtreeNodes &tree, const Tmp3JukeBoxLists &library, const QList<TtreeNode> &rootNodes,
    const TlibraryChanges &changes)
{
    // The letters where what was named is filed, before and after: under
    // its name, its "…, The" alias, as a file without artist or among the
    // compilations.
    std::bitset<kRoots> touched;
    const auto touch = [&touched](const QString &name) {
        if (name.isEmpty() || name.compare(TtagArtistList::kNoName, Qt::CaseInsensitive) == 0)
            touched.set(kNoNameRoot);
        if (name.compare(TtagAlbum::kCompilation, Qt::CaseInsensitive) == 0)
            touched.set(kCompilationsRoot);
        touched.set(size_t(LetterRoot(name)));
        const QString alias = ArtistAliasKey(name);
        if (!alias.isEmpty())
            touched.set(size_t(LetterRoot(alias)));
    };
    const auto touchRecords = [&touch](const std::vector<TtaggerRef> &records) {
        for (const TtaggerRef &record : records)
            touch(record->Artist());
    };
    const auto touchAlbum = [&](const TtagAlbum *album) {
        touch(album->Artist());
        for (const TcustomTagger *record : album->Records())
            touch(record->Artist());
        touched.set(kCompilationsRoot);
    };
    touchRecords(changes.added);
    touchRecords(changes.removed);
    touchRecords(changes.changed);
    for (const TrecordMove &move : changes.moved)
        touch(move.record->Artist());
    for (const TtagArtist *artist : changes.artists)
        touch(artist->Artist());
    for (const auto &artist : changes.goneArtists)
        touch(artist->Artist());
    for (const TtagAlbum *album : changes.albums)
        touchAlbum(album);
    for (const auto &album : changes.goneAlbums)
        touchAlbum(album.get());

    // The touched letters' nodes as FillLibraryTree makes them.
    std::array<std::vector<TtreeNodes::TnodeSpec>, kRoots> roots;
    const TtagArtistList &artists = library.ArtistList();
    for (int i = 0; i < artists.Count(); ++i) {
        const QString &key = artists.Keys(i);
        TtagArtist *artist = artists.Artists(i);
        if (key.isEmpty() || key == TtagArtistList::kNoName) {
            if (touched.test(kNoNameRoot))
                roots[kNoNameRoot].push_back(
                    { QStringLiteral("Files"), static_cast<TcustomTaggerList *>(artist), TtreeNodeKind::Artist });
        } else if (key == TtagAlbum::kCompilation) {
            if (!touched.test(kCompilationsRoot))
                continue;
            const TtagAlbumList &albums = artist->AlbumList();
            for (int a = 0; a < albums.Count(); ++a)
                roots[kCompilationsRoot].push_back({ albums.Albums(a)->AlbumName(),
                    static_cast<TcustomTaggerList *>(albums.Albums(a)), TtreeNodeKind::Album });
        } else if (const int root = LetterRoot(key); touched.test(size_t(root))) {
            roots[size_t(root)].push_back({ key, static_cast<TcustomTaggerList *>(artist), TtreeNodeKind::Artist });
        }
    }
    std::vector<TtreeNodes::TnodeSpec> albumNodes;
    for (int root = 0; root < kRoots; ++root) {
        if (!touched.test(size_t(root)) || !rootNodes.value(root).IsValid())
            continue;
        const TtreeNode rootNode = rootNodes[root];
        tree.SyncChildren(rootNode, roots[size_t(root)]);
        if (root == kNoNameRoot || root == kCompilationsRoot)
            continue;
        for (int row = 0; row < tree.ChildCount(rootNode); ++row) {
            const TtreeNode node = tree.Child(rootNode, row);
            const auto *artist = static_cast<TtagArtist *>(std::get<TcustomTaggerList *>(tree.Object(node)));
            const TtagAlbumList &albums = artist->AlbumList();
            albumNodes.clear();
            for (int a = 0; a < albums.Count(); ++a)
                albumNodes.push_back({ albums.Albums(a)->AlbumName(),
                    static_cast<TcustomTaggerList *>(albums.Albums(a)), TtreeNodeKind::Album });
            tree.SyncChildren(node, albumNodes);
        }
    }
}

} // namespace

TtreeNode FindTrackNode(const TtreeNodes &tree, const QList<TtreeNode> &rootNodes, const TcustomTagger *record)
{
    const TtreeNode parent = trackRoot(rootNodes, *record);
    if (!parent.IsValid())
        return TtreeNode();
    const auto [first, last] = equalTitles(tree, parent, record->Title());
    for (int row = first; row < last; ++row) {
        const TtreeNode node = tree.Child(parent, row);
        if (recordOf(tree, node) == record)
            return node;
    }
    return TtreeNode();
}

void UpdateLibraryTree(TtreeNodes &tree, const Tmp3JukeBoxLists &library, bool byTitle,
    const QList<TtreeNode> &rootNodes, const TlibraryChanges &changes)
{
    if (!changes.IndexChanged() || rootNodes.size() < kNoNameRoot + 1)
        return;
    if (byTitle)
        updateByTitle(tree, library.MasterList(), rootNodes, changes);
    else
        updateByArtist(tree, library, rootNodes, changes);
}
