#include "library/mp3JukeBoxLists.h"

#include "library/tagAlbum.h"
#include "library/tagArtist.h"

#include <unordered_map>

namespace {


QString letterRootText(int letter)
{
    return u'<' + QChar(u'A' + letter) + u'>';
}

QString countText(qsizetype count, const char *noun)
{
    return QStringLiteral(" (") + QString::number(count) + u' ' + QLatin1StringView(noun) +
           (count == 1 ? QString() : QStringLiteral("s")) + u')';
}

bool containsAsciiCaseless(const QString &text, const QString &upperQuery)
{
    const qsizetype n = text.size();
    const qsizetype m = upperQuery.size();
    const QChar *t = text.constData();
    const QChar *q = upperQuery.constData();
    for (qsizetype i = 0; i + m <= n; ++i) {
        qsizetype j = 0;
        while (j < m) {
            char16_t c = t[i + j].unicode();
            if (c >= u'a' && c <= u'z')
                c = char16_t(c - (u'a' - u'A'));
            if (c != q[j].unicode())
                break;
            ++j;
        }
        if (j == m)
            return true;
    }
    return false;
}

QString asciiUpper(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper) {
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - (u'a' - u'A')));
    }
    return upper;
}

} // namespace

Tmp3JukeBoxLists::Tmp3JukeBoxLists()
{
    m_master.SetKeepUntagged(true);
    m_master.SetReadFrameHeaders(false);
    m_loadedPlaylist.SetDisplayType(tdArtistTitle);
    // The loaded playlist holds its records: those the genre rule takes from
    // the library and those it reads from a file alike.
    m_loadedPlaylist.SetFreeOnDestroy(true);

    m_master.OnChange = [this](TComponent *) {
        if (!m_rebuildSuspended)
            RebuildIndex();
    };
    m_master.OnListProcessStart = [this](TComponent *, int count) { RaiseEvent(OnListProcessStart, this, count); };
    m_master.OnListProcess = [this](TComponent *, int index) { RaiseEvent(OnListProcess, this, index); };
    m_master.OnListProcessFinished = [this](TComponent *) { RaiseEvent(OnListProcessFinished, this); };
    m_master.OnDirScanStart = [this](TComponent *, int numFiles, const QString &dirName) {
        RaiseEvent(OnDirScanStart, this, numFiles, dirName);
    };
    m_master.OnFileFound = [this](TComponent *, const QString &fileName) { RaiseEvent(OnFileFound, this, fileName); };
    m_playlists.OnListProcessStart = [this](TComponent *, int count) { RaiseEvent(OnListProcessStart, this, count); };
    m_playlists.OnListProcess = [this](TComponent *, int index) { RaiseEvent(OnListProcess, this, index); };
    m_playlists.OnListProcessFinished = [this](TComponent *) { RaiseEvent(OnListProcessFinished, this); };
    m_loadedPlaylist.OnChange = [this](TComponent *) { RaiseEvent(OnPlayListChange, &m_loadedPlaylist); };
}

Tmp3JukeBoxLists::~Tmp3JukeBoxLists()
{
    // The index refers to the master list's records: drop it first.
    m_albums.Clear();
    m_artists.Clear();
    m_loadedPlaylist.OnChange = nullptr;
}

void Tmp3JukeBoxLists::SetDontUseTrackNumbers(bool value)
{
    m_dontUseTrackNumbers = value;
    for (int i = 0; i < m_albums.Count(); ++i)
        m_albums.Albums(i)->SetDontUseTrackNumbers(value);
}

void Tmp3JukeBoxLists::Clear()
{
    RaiseEvent(OnListsChanging, this);
    m_albums.Clear();
    m_artists.Clear();
    TNotifyEvent rebuildOnChange = std::move(m_master.OnChange);
    m_master.OnChange = nullptr;
    m_master.Clear();
    m_master.OnChange = std::move(rebuildOnChange);
}

void Tmp3JukeBoxLists::SuspendRebuild()
{
    if (!m_rebuildSuspended)
        RaiseEvent(OnListsChanging, this);
    m_rebuildSuspended = true;
}

void Tmp3JukeBoxLists::ResumeRebuild()
{
    m_rebuildSuspended = false;
    RebuildIndex();
}

void Tmp3JukeBoxLists::RebuildIndex()
{
    RaiseEvent(OnListsChanging, this);
    m_albums.Clear();
    m_artists.Clear();
    if (m_master.Count() > 0)
        rebuild();
    m_random.SetSize(quint32(m_master.Count()));
    RaiseEvent(OnListsUpdated, this);
}

void Tmp3JukeBoxLists::rebuild()
{
    m_master.SortBy(tsTitle);
    const std::vector<TcustomTagger *> &records = m_master.Records();
    RaiseEvent(OnListProcessStart, this, int(records.size()));
    // Records that share their texts share artist, album and folder: only the
    // first of them is looked up by name, the others follow it.
    struct Filed {
        TtagAlbum *album;
        TtagArtistList::Tfiling artists;
    };
    std::unordered_map<const TtaggerTexts *, Filed> filedByTexts;
    for (size_t i = 0; i < records.size(); ++i) {
        TcustomTagger *record = records[i];
        const auto [filed, first] = filedByTexts.try_emplace(record->Texts().constData());
        if (first) {
            filed->second = Filed{m_albums.AddTrack(record), m_artists.AddTrack(record)};
        } else {
            if (filed->second.album)
                filed->second.album->Add(record);
            filed->second.artists.artist->Add(record);
            if (filed->second.artists.alias)
                filed->second.artists.alias->Add(record);
        }
        RaiseEvent(OnListProcess, this, int(i));
    }
    RaiseEvent(OnListProcessFinished, this);
    // The records were filed in title order.
    m_albums.SortAllTitleOrdered();
    m_artists.SortAllTitleOrdered();
    for (int i = 0; i < m_albums.Count(); ++i)
        m_albums.Albums(i)->ShrinkToFit();
    for (int i = 0; i < m_artists.Count(); ++i)
        m_artists.Artists(i)->ShrinkToFit();

    for (int i = 0; i < m_albums.Count(); ++i) {
        TtagAlbum *album = m_albums.Albums(i);
        album->SetDontUseTrackNumbers(m_dontUseTrackNumbers);
        if (album->Artist() == TtagAlbum::kCompilation)
            album->SetIsCompilation(true);
        TtagArtist *artist = m_artists.FindArtist(album->Artist());
        if (artist)
            artist->AlbumList().AddAlbum(album);
        const QString alias = ArtistAliasKey(album->Artist());
        if (!alias.isEmpty()) {
            artist = m_artists.FindArtist(alias);
            if (artist)
                artist->AlbumList().AddAlbum(album);
        }
        if (!artist && album->Artist() == TtagAlbum::kCompilation) {
            auto *compilation = new TtagArtist;
            compilation->SetArtist(TtagAlbum::kCompilation);
            m_artists.AddArtist(compilation, TtagAlbum::kCompilation);
            compilation->AlbumList().AddAlbum(album);
        }
    }
}

TcustomTagger *Tmp3JukeBoxLists::RandomTrack()
{
    if (m_master.Count() == 0)
        return nullptr;
    const quint32 index = m_random.Next();
    // The order follows the count after each rebuild; a list changed while
    // rebuilding was suspended may be shorter than the order.
    return index < quint32(m_master.Count()) ? m_master.Items(int(index)) : m_master.Items(0);
}

TcustomTagger *Tmp3JukeBoxLists::PlaylistTrack()
{
    return m_loadedPlaylist.Count() == 0 ? nullptr : m_loadedPlaylist.NextRecord();
}

TcustomTagger *Tmp3JukeBoxLists::NextTrack()
{
    TcustomTagger *record = nullptr;
    if (m_playlists.Active() && m_playlists.ActivePlaylist())
        record = m_playlists.ActiveNext();
    if (!record && m_loadedPlaylist.Count() > 0)
        record = PlaylistTrack();
    if (!record)
        record = RandomTrack();
    return record;
}

void Tmp3JukeBoxLists::FillLoadedPlaylistByGenres(const QList<quint8> &genreNumbers)
{
    m_loadedPlaylist.BeginUpdate();
    m_loadedPlaylist.Clear();
    for (TcustomTagger *record : m_master.Records()) {
        if (genreNumbers.contains(record->GenreByte()))
            m_loadedPlaylist.Add(record);
    }
    m_loadedPlaylist.SetRandomise(true);
    m_loadedPlaylist.EndUpdate();
}

void Tmp3JukeBoxLists::SearchTitles(const QString &text, TstringList &strings) const
{
    strings.Clear();
    if (text.isEmpty())
        return;
    const QString query = asciiUpper(text);
    strings.BeginUpdate();
    for (TcustomTagger *record : m_master.Records()) {
        if (containsAsciiCaseless(record->Title(), query))
            strings.Add(record->Title() + QStringLiteral(" - ") + record->Artist(), record);
    }
    strings.EndUpdate();
}

void Tmp3JukeBoxLists::FillLibraryTree(TlibraryTree &tree, bool byTitle, QList<TtreeNode> &rootNodes) const
{
    tree.BeginUpdate();
    tree.Clear();
    rootNodes.clear();
    for (int letter = 0; letter < 26; ++letter)
        rootNodes.append(tree.AddChild(TtreeNode(), letterRootText(letter), {}, TtreeNodeKind::Letter));
    rootNodes.append(tree.AddChild(TtreeNode(), QStringLiteral("<other>"), {}, TtreeNodeKind::Letter));
    rootNodes.append(tree.AddChild(TtreeNode(), TtagArtistList::kNoName, {}, TtreeNodeKind::Letter));
    const TtreeNode noName = rootNodes[27];

    if (byTitle) {
        for (int i = 0; i < m_master.Count(); ++i) {
            TcustomTagger *record = m_master.Items(i);
            if (record->Title().isEmpty())
                tree.AddChild(noName, record->Filename(), record, TtreeNodeKind::Track);
            else
                tree.AddChild(rootNodes[LetterRoot(record->Title())], m_master.DisplayText(i), record,
                              TtreeNodeKind::Track);
        }
    } else {
        rootNodes.append(tree.AddChild(TtreeNode(), QStringLiteral("<Compilations>"), {}, TtreeNodeKind::Letter));
        const TtreeNode compilations = rootNodes[28];
        for (int i = 0; i < m_artists.Count(); ++i) {
            const QString &key = m_artists.Keys(i);
            TtagArtist *artist = m_artists.Artists(i);
            const TtagAlbumList &albums = artist->AlbumList();
            if (key.isEmpty() || key == TtagArtistList::kNoName) {
                tree.AddChild(noName, QStringLiteral("Files"), static_cast<TcustomTaggerList *>(artist),
                              TtreeNodeKind::Artist);
            } else if (key == TtagAlbum::kCompilation) {
                for (int a = 0; a < albums.Count(); ++a) {
                    TtagAlbum *album = albums.Albums(a);
                    tree.AddChild(compilations, album->AlbumName(), static_cast<TcustomTaggerList *>(album),
                                  TtreeNodeKind::Album);
                }
            } else {
                const TtreeNode node = tree.AddChild(rootNodes[LetterRoot(key)], key,
                                                     static_cast<TcustomTaggerList *>(artist), TtreeNodeKind::Artist);
                for (int a = 0; a < albums.Count(); ++a) {
                    TtagAlbum *album = albums.Albums(a);
                    tree.AddChild(node, album->AlbumName(), static_cast<TcustomTaggerList *>(album),
                                  TtreeNodeKind::Album);
                }
            }
        }
    }
    tree.EndUpdate();
}

void Tmp3JukeBoxLists::FillArtistTree(TlibraryTree &tree, QList<TtreeNode> &rootNodes) const
{
    // The counts are part of the root and artist texts, so the tree is laid
    // out first and then added.
    struct ArtistNode {
        QString text;
        TtagArtist *artist = nullptr;
        std::vector<std::pair<QString, TtagAlbum *>> albums;
    };
    std::vector<std::vector<ArtistNode>> roots(27);
    std::vector<std::pair<QString, TtagAlbum *>> compilationAlbums;
    auto albumText = [](const TtagAlbum *album) {
        return album->AlbumName() + QStringLiteral("  [") + MinutesSecondsText(album->TotalDuration()) + u']';
    };
    for (int i = 0; i < m_artists.Count(); ++i) {
        TtagArtist *artist = m_artists.Artists(i);
        const QString &name = artist->Artist();
        const TtagAlbumList &albums = artist->AlbumList();
        if (name == TtagAlbum::kCompilation) {
            for (int a = 0; a < albums.Count(); ++a)
                compilationAlbums.emplace_back(albumText(albums.Albums(a)), albums.Albums(a));
            continue;
        }
        if (albums.Count() == 0)
            continue;
        const int root = LetterRoot(name);
        ArtistNode node{name, artist, {}};
        for (int a = 0; a < albums.Count(); ++a) {
            TtagAlbum *album = albums.Albums(a);
            node.albums.emplace_back(root < 26 ? albumText(album) : album->AlbumName(), album);
        }
        roots[size_t(root)].push_back(std::move(node));
    }

    tree.BeginUpdate();
    tree.Clear();
    rootNodes.clear();
    for (int root = 0; root < 27; ++root) {
        const QString base = root < 26 ? letterRootText(root) : QStringLiteral("<other>");
        const auto &artists = roots[size_t(root)];
        const TtreeNode rootNode = tree.AddChild(TtreeNode(), base + countText(qsizetype(artists.size()), "artist"),
                                                 {}, TtreeNodeKind::Letter);
        rootNodes.append(rootNode);
        for (const ArtistNode &a : artists) {
            const TtreeNode node = tree.AddChild(rootNode, a.text + countText(qsizetype(a.albums.size()), "album"),
                                                 static_cast<TcustomTaggerList *>(a.artist), TtreeNodeKind::Artist);
            for (const auto &[text, album] : a.albums)
                tree.AddChild(node, text, static_cast<TcustomTaggerList *>(album), TtreeNodeKind::Album);
        }
    }
    const TtreeNode compilations =
        tree.AddChild(TtreeNode(), QStringLiteral("<Compilations>") + countText(qsizetype(compilationAlbums.size()), "artist"),
                      {}, TtreeNodeKind::Letter);
    rootNodes.append(compilations);
    for (const auto &[text, album] : compilationAlbums)
        tree.AddChild(compilations, text, static_cast<TcustomTaggerList *>(album), TtreeNodeKind::Album);
    tree.EndUpdate();
}

void Tmp3JukeBoxLists::FillAlbumTree(TlibraryTree &tree, bool showDurations, bool includePlaylists) const
{
    tree.BeginUpdate();
    tree.Clear();
    for (int i = 0; i < m_albums.Count(); ++i) {
        TtagAlbum *album = m_albums.Albums(i);
        bool uniform = true;
        for (const TcustomTagger *record : album->Records()) {
            if (record->Artist() != album->Artist()) {
                uniform = false;
                break;
            }
        }
        album->SetDisplayType(uniform ? tdTrackTitle : tdTrackArtistTitle);
        QString text = uniform ? album->Artist() + QStringLiteral(" - ") + album->AlbumName() : album->AlbumName();
        if (showDurations)
            text += QStringLiteral(" [") + MinutesSecondsText(album->TotalDuration()) + u']';
        const TtreeNode node =
            tree.AddChild(TtreeNode(), text, static_cast<TcustomTaggerList *>(album), TtreeNodeKind::Album);
        for (int j = 0; j < album->Count(); ++j)
            tree.AddChild(node, album->DisplayText(j), album->Items(j), TtreeNodeKind::Track);
    }
    if (includePlaylists) {
        for (int p = 0; p < m_playlists.Count(); ++p) {
            TtagPlaylist *playlist = m_playlists.Playlists(p);
            const TtreeNode node = tree.AddChild(TtreeNode(), m_playlists.Names(p),
                                                 static_cast<TcustomTaggerList *>(playlist), TtreeNodeKind::Playlist);
            for (int j = 0; j < playlist->Count(); ++j)
                tree.AddChild(node, playlist->DisplayText(j), playlist->Items(j), TtreeNodeKind::Track);
        }
    }
    tree.EndUpdate();
}
