#include "audioFixtures.h"
#include "library/m3uFile.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagPlaylist.h"
#include "platform/fileNames.h"
#include "platform/iniFile.h"
#include "testRecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <unistd.h>

namespace {

void writeFile(const QString &name, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(name).path());
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A tagged MP3 file made by the encoder: playlists keep tagged files only.
void writeTaggedFile(const QString &name, const QString &title)
{
    QDir().mkpath(QFileInfo(name).path());
    ToneSpec spec;
    spec.seconds = 0.2;
    spec.metadata = {{QStringLiteral("title"), title}, {QStringLiteral("artist"), QStringLiteral("P")}};
    QString error;
    ASSERT_TRUE(MakeToneFile(name, spec, &error)) << error.toStdString();
}

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList titles(const TcustomTaggerList &list)
{
    QStringList out;
    for (const TcustomTagger *record : list.Records())
        out << record->Title();
    return out;
}

QStringList playOrder(TtagPlaylist &playlist, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i) {
        const TcustomTagger *r = playlist.NextRecord();
        out.append(r ? r->Title() : QStringLiteral("-"));
    }
    return out;
}

} // namespace

TEST(Playlists, PlayOrderStopAtEndAndRandomise)
{
    TtagPlaylist playlist;
    EXPECT_EQ(playlist.NextRecord(), nullptr);
    for (const char *t : {"1", "2", "3"})
        playlist.Add(MakeRecord({QString::fromLatin1(t), {}, {}, QStringLiteral("/m/x.mp3")}));
    EXPECT_EQ(playOrder(playlist, 5), (QStringList{"1", "2", "3", "1", "2"}));
    playlist.ResetPosition();
    playlist.SetStopAtEnd(true);
    EXPECT_EQ(playOrder(playlist, 5), (QStringList{"1", "2", "3", "-", "-"}));
    playlist.SetRandomise(true);
    // The walk goes on from the order's position: the rest of the first
    // permutation, then whole permutations, each playing every record once.
    const QStringList random = playOrder(playlist, 8);
    EXPECT_FALSE(random.contains(QStringLiteral("-")));
    for (qsizetype start : {2, 5}) {
        QStringList round = random.mid(start, 3);
        round.sort();
        EXPECT_EQ(round, (QStringList{"1", "2", "3"})) << random.join(u',').toStdString();
    }
    // The random order follows the size of the list.
    playlist.Add(MakeRecord({QStringLiteral("4"), {}, {}, QStringLiteral("/m/x.mp3")}));
    EXPECT_EQ(playlist.RandomOrder().Size(), 4u);
}

TEST(Playlists, ActivationAndAutoCounterReset)
{
    QTemporaryDir dir;
    QStringList tracks;
    for (int i = 0; i < 3; ++i) {
        tracks.append(dir.filePath(QStringLiteral("t%1.mp3").arg(i)));
        writeTaggedFile(tracks.back(), QStringLiteral("t%1").arg(i));
    }
    const QString m3u = dir.filePath(QStringLiteral("party.m3u"));
    writeFile(m3u, WriteM3uLines(tracks));
    TtagPlayListCollection collection;
    TtagPlaylist *party = collection.AddFromFile(QStringLiteral("Party"), m3u);
    ASSERT_TRUE(party);
    EXPECT_TRUE(party->ReadFrameHeaders());
    EXPECT_EQ(collection.AddFromFile(QStringLiteral("party"), m3u), nullptr); // name taken
    EXPECT_EQ(collection.AddFromFile(QStringLiteral("Gone"), dir.filePath(QStringLiteral("none.m3u"))), nullptr);

    collection.Activate(QStringLiteral("PARTY"));
    EXPECT_TRUE(collection.Active());
    EXPECT_EQ(collection.ActiveNext()->Filename(), tracks[0]);
    EXPECT_EQ(collection.ActiveNext()->Filename(), tracks[1]);
    collection.SetActive(false);
    EXPECT_EQ(collection.ActiveNext(), nullptr);
    collection.Activate(QStringLiteral("Party"));
    EXPECT_EQ(collection.ActiveNext()->Filename(), tracks[2]);
    party->SetAutoCounterReset(true);
    collection.SetActive(true);
    EXPECT_EQ(collection.ActivePlaylist(), party);
    EXPECT_EQ(collection.ActiveNext()->Filename(), tracks[0]);

    collection.Activate(QStringLiteral("nothing"));
    EXPECT_EQ(collection.ActivePlaylist(), party);
    collection.Delete(0);
    EXPECT_FALSE(collection.Active());
    EXPECT_EQ(collection.ActivePlaylist(), nullptr);
    EXPECT_EQ(collection.Count(), 0);
}

TEST(Playlists, M3uLinesCommentsAndRelativeNames)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    const QString a = dir.filePath(QStringLiteral("sub/a.mp3"));
    const QString b = dir.filePath(QStringLiteral("b c.ogg"));
    writeFile(a, QByteArray(300, 'a'));
    writeFile(b, QByteArray(300, 'b'));
    const QByteArray text = "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:10,Someone - a\r\nsub/a.mp3\r\n\r\n" + b.toUtf8() +
                            "\n" + dir.filePath(QStringLiteral("missing.mp3")).toUtf8() + "\n#" + a.toUtf8() + "\n";
    EXPECT_EQ(ReadM3uLines(text, dir.path()), (QStringList{a, b, dir.filePath(QStringLiteral("missing.mp3"))}));
    const QString m3u = dir.filePath(QStringLiteral("list.m3u"));
    writeFile(m3u, text);
    TtagPlaylist playlist;
    playlist.SetKeepUntagged(true);
    playlist.LoadFromM3U(m3u);
    ASSERT_EQ(playlist.Count(), 2);
    EXPECT_EQ(playlist.Items(0)->Filename(), a);
    EXPECT_EQ(playlist.Filename(), m3u);

    const QString saved = dir.filePath(QStringLiteral("saved.m3u"));
    ASSERT_TRUE(playlist.SavePlaylist(saved, QString()));
    EXPECT_EQ(readAll(saved), (a + QStringLiteral("\r\n") + b + QStringLiteral("\r\n")).toUtf8());
}

TEST(Playlists, IndexFileAndCachesRoundTrip)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(data);
    QStringList tracks;
    for (int i = 0; i < 2; ++i) {
        tracks.append(dir.filePath(QStringLiteral("t%1.mp3").arg(i)));
        writeTaggedFile(tracks.back(), QStringLiteral("t%1").arg(i));
    }
    const QString party = dir.filePath(QStringLiteral("party.m3u"));
    const QString chill = dir.filePath(QStringLiteral("chill.m3u"));
    const QString empty = dir.filePath(QStringLiteral("empty.m3u"));
    writeFile(party, WriteM3uLines(tracks));
    writeFile(chill, WriteM3uLines({tracks[1]}));
    writeFile(empty, "#nothing\n");
    const QString index = dir.filePath(QStringLiteral("playlists.pll"));
    writeFile(index, ("[Zed]\nFilename=" + party + "\nAutoCounterReset=1\nStopAtEnd=0\n"
                      "[chill]\nFilename=" + chill + "\nStopAtEnd=5\n"
                      "[Empty]\nFilename=" + empty + "\n"
                      "[Lost]\nFilename=" + dir.filePath(QStringLiteral("lost.m3u")) + "\n")
                         .toUtf8());

    Tmp3JukeBoxLists library;
    int progressStarts = 0;
    TComponent *sender = nullptr;
    library.OnListProcessStart = [&](TComponent *s, int) {
        ++progressStarts;
        sender = s;
    };
    TtagPlayListCollection &collection = library.PlaylistCollection();
    collection.LoadIndex(index, data, false);
    EXPECT_EQ(sender, &library);
    EXPECT_EQ(progressStarts, 3); // the three M3U files that exist
    // A playlist that gives no track for now (its list names nothing, or is
    // on a drive not plugged in) stays, empty, and keeps its place in the index.
    ASSERT_EQ(collection.Count(), 4);
    EXPECT_EQ(collection.Names(0), QStringLiteral("chill"));
    EXPECT_EQ(collection.Names(1), QStringLiteral("Empty"));
    EXPECT_EQ(collection.Names(2), QStringLiteral("Lost"));
    EXPECT_EQ(collection.Names(3), QStringLiteral("Zed"));
    EXPECT_EQ(collection.Names(4), QString());
    EXPECT_EQ(collection.Playlists(-1), nullptr);
    EXPECT_EQ(collection.Find(QStringLiteral("lost"))->Count(), 0);
    EXPECT_TRUE(collection.Playlists(0)->StopAtEnd());
    EXPECT_FALSE(collection.Playlists(0)->AutoCounterReset());
    EXPECT_TRUE(collection.Playlists(3)->AutoCounterReset());
    EXPECT_EQ(collection.Playlists(3)->Filename(), party);
    TstringList names;
    collection.FillNames(names);
    EXPECT_EQ(names.Strings(3), QStringLiteral("Zed"));

    ASSERT_TRUE(collection.SaveIndex(index, data));
    const TiniFile written(index);
    EXPECT_EQ(written.ReadSections(), (QStringList{"chill", "Empty", "Lost", "Zed"}));
    EXPECT_EQ(written.ReadString(QStringLiteral("zed"), QStringLiteral("StopAtEnd"), {}), QStringLiteral("0"));
    EXPECT_TRUE(QFile::exists(PlaylistCacheFile(party, data)));
    EXPECT_TRUE(QFileInfo(PlaylistCacheFile(party, data)).fileName().startsWith(QStringLiteral("party.")));

    // The next start reads the caches, not the music files.
    for (const QString &t : tracks)
        QFile::remove(t);
    TtagPlayListCollection reloaded;
    reloaded.LoadIndex(index, data, false);
    ASSERT_EQ(reloaded.Count(), 4);
    EXPECT_EQ(reloaded.Playlists(3)->Count(), 2);
    EXPECT_EQ(reloaded.Playlists(3)->Items(1)->Filename(), tracks[1]);
}

TEST(Playlists, GenreRuleHoldsTheLibraryRecords)
{
    Tmp3JukeBoxLists library;
    library.SuspendRebuild();
    for (const char *genre : {"Rock", "Jazz", "rock"}) {
        Tid3Tagger *r = MakeRecord({QString::fromLatin1(genre), {}, {}, QStringLiteral("/m/g.mp3")});
        r->SetGenre(QString::fromLatin1(genre));
        library.MasterList().Add(r);
    }
    library.ResumeRebuild();
    int playlistChanges = 0;
    library.OnPlayListChange = [&](TComponent *s) {
        EXPECT_EQ(s, &library.LoadedPlaylist());
        ++playlistChanges;
    };
    library.FillLoadedPlaylistByGenres({17});
    EXPECT_EQ(playlistChanges, 1);
    ASSERT_EQ(library.LoadedPlaylist().Count(), 2);
    EXPECT_TRUE(library.LoadedPlaylist().Randomise());
    for (const TcustomTagger *r : library.LoadedPlaylist().Records())
        EXPECT_EQ(std::count(library.MasterList().Records().begin(), library.MasterList().Records().end(), r), 1);
    // The library is reloaded: the playlist's records live on with it.
    library.Clear();
    ASSERT_EQ(library.LoadedPlaylist().Count(), 2);
    EXPECT_EQ(library.LoadedPlaylist().Items(0)->GenreByte(), 17);
    // Clearing the playlist does not take the library's records with it.
    library.MasterList().Add(library.LoadedPlaylist().Items(0));
    library.LoadedPlaylist().Clear();
    EXPECT_EQ(library.MasterList().Items(0)->Title().toLower(), QStringLiteral("rock"));
}

TEST(Playlists, ListsOfTheSameNameInTwoFoldersKeepTheirOwnCaches)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(data);
    QDir().mkpath(dir.filePath(QStringLiteral("home")));
    QDir().mkpath(dir.filePath(QStringLiteral("work")));
    const QString homeTrack = dir.filePath(QStringLiteral("home.mp3"));
    const QString workTrack = dir.filePath(QStringLiteral("work.mp3"));
    writeTaggedFile(homeTrack, QStringLiteral("Home Song"));
    writeTaggedFile(workTrack, QStringLiteral("Work Song"));
    const QString homeList = dir.filePath(QStringLiteral("home/party.m3u"));
    const QString workList = dir.filePath(QStringLiteral("work/party.m3u"));
    writeFile(homeList, WriteM3uLines({homeTrack}));
    writeFile(workList, WriteM3uLines({workTrack}));
    EXPECT_NE(PlaylistCacheFile(homeList, data), PlaylistCacheFile(workList, data));

    const QString index = dir.filePath(QStringLiteral("playlists.pll"));
    {
        TtagPlayListCollection collection;
        ASSERT_TRUE(collection.AddFromFile(QStringLiteral("Home"), homeList));
        ASSERT_TRUE(collection.AddFromFile(QStringLiteral("Work"), workList));
        collection.Find(QStringLiteral("Home"))->SetFilename(homeList);
        collection.Find(QStringLiteral("Work"))->SetFilename(workList);
        ASSERT_TRUE(collection.SaveIndex(index, data));
    }
    // From the caches alone: each list has its own track.
    QFile::remove(homeTrack);
    QFile::remove(workTrack);
    TtagPlayListCollection reloaded;
    reloaded.LoadIndex(index, data, false);
    ASSERT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(reloaded.Find(QStringLiteral("Home"))->Items(0)->Filename(), homeTrack);
    EXPECT_EQ(reloaded.Find(QStringLiteral("Work"))->Items(0)->Filename(), workTrack);
}

TEST(Playlists, ListsWrittenInWindowsCodePagesKeepTheirNonAsciiNames)
{
    QTemporaryDir dir;
    const QString cafe = dir.filePath(QStringLiteral("Café.mp3"));
    const QString euro = dir.filePath(QStringLiteral("€uro “mix”.mp3"));
    writeTaggedFile(cafe, QStringLiteral("Cafe"));
    writeTaggedFile(euro, QStringLiteral("Euro"));
    // Windows-1252: é is E9, € is 80, the curly quotes 93 and 94.
    const QByteArray cp1252 = "#EXTM3U\r\nCaf\xE9.mp3\r\n\x80uro \x93mix\x94.mp3\r\n";
    EXPECT_EQ(ReadM3uLines(cp1252, dir.path()), (QStringList{cafe, euro}));
    // Valid UTF-8 is UTF-8, also when it would be readable as Windows-1252.
    EXPECT_EQ(ReadM3uLines(QStringLiteral("Café.mp3\n").toUtf8(), dir.path()), QStringList{cafe});
    // An .m3u8 list is UTF-8 whatever it holds: bytes that are not are not
    // taken for another code page.
    EXPECT_EQ(M3uEncodingOf(QStringLiteral("/a/b.M3U8")), Tm3uEncoding::Utf8);
    EXPECT_NE(ReadM3uLines("Caf\xE9.mp3\n", dir.path(), Tm3uEncoding::Utf8), QStringList{cafe});

    const QString list = dir.filePath(QStringLiteral("old player.m3u"));
    writeFile(list, cp1252);
    TtagPlaylist playlist;
    playlist.LoadFromM3U(list);
    ASSERT_EQ(playlist.Count(), 2);
    EXPECT_EQ(playlist.Items(1)->Filename(), euro);
    // Written back as UTF-8.
    const QString saved = dir.filePath(QStringLiteral("saved.m3u"));
    ASSERT_TRUE(playlist.SavePlaylist(saved, QString()));
    EXPECT_EQ(readAll(saved), (cafe + QStringLiteral("\r\n") + euro + QStringLiteral("\r\n")).toUtf8());
}

TEST(WindowsPlaylists, BackslashNamesResolveAndDrivePathsCountAsNotFound)
{
    QTemporaryDir dir;
    writeTaggedFile(dir.filePath(QStringLiteral("Music/Artist/song.mp3")), QStringLiteral("Song"));
    writeTaggedFile(dir.filePath(QStringLiteral("lists/Near/two.mp3")), QStringLiteral("Two"));
    const QString list = dir.filePath(QStringLiteral("lists/windows.m3u"));
    writeFile(list, "#EXTM3U\r\n#EXTINF:12,P - Song\r\n..\\Music\\Artist\\song.mp3\r\nNear\\two.mp3\r\n"
                    "C:\\Music\\Artist\\gone.mp3\r\n" + QByteArray(100000, 'x') + "\r\nd:/Music/gone too.mp3\r\n");

    const Tm3uReading reading = ReadM3uFile(list);
    EXPECT_EQ(reading.files, (QStringList{dir.filePath(QStringLiteral("Music/Artist/song.mp3")),
                                          dir.filePath(QStringLiteral("lists/Near/two.mp3"))}));
    EXPECT_EQ(reading.notFound,
              (QStringList{QStringLiteral("C:\\Music\\Artist\\gone.mp3"), QStringLiteral("d:/Music/gone too.mp3")}));
    EXPECT_EQ(reading.overlong, 1);

    TtagPlaylist playlist;
    TplaylistLoadReport report;
    playlist.LoadPlaylist(list, false, QString(), &report);
    EXPECT_EQ(titles(playlist), (QStringList{QStringLiteral("Song"), QStringLiteral("Two")}));
    EXPECT_EQ(report.notFound.size(), 2);
}

TEST(WindowsPlaylists, Latin1FileNamesSurviveAPlaylistAndACache)
{
    QTemporaryDir dir;
    const QString latin1 = DecodeFileName(QFile::encodeName(dir.path()) + "/caf\xE9.mp3");
    writeTaggedFile(dir.filePath(QStringLiteral("plain.mp3")), QStringLiteral("Plain"));
    ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("plain.mp3")), dir.filePath(QStringLiteral("x.mp3"))));
    ASSERT_EQ(::rename(QFile::encodeName(dir.filePath(QStringLiteral("x.mp3"))).constData(),
                       EncodeFileName(latin1).constData()),
              0);
    writeTaggedFile(dir.filePath(QStringLiteral("Café.mp3")), QStringLiteral("Utf8"));

    TtagPlaylist playlist;
    ASSERT_TRUE(playlist.AddFile(latin1));
    ASSERT_TRUE(playlist.AddFile(dir.filePath(QStringLiteral("Café.mp3"))));
    const QString list = dir.filePath(QStringLiteral("mixed.m3u"));
    const QString data = dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(data);
    ASSERT_TRUE(playlist.SavePlaylist(list, data));

    TtagPlaylist fromList;
    fromList.LoadPlaylist(list, false, QString());
    EXPECT_EQ(titles(fromList), (QStringList{QStringLiteral("Plain"), QStringLiteral("Utf8")}));
    TtagPlaylist fromCache;
    TplaylistLoadReport report;
    fromCache.LoadPlaylist(list, false, data, &report);
    EXPECT_FALSE(report.damagedCache.has_value()) << report.damagedCache->reason.toStdString();
    ASSERT_EQ(fromCache.Count(), 2);
    EXPECT_EQ(fromCache.Items(0)->Filename(), latin1);
    // Qt cannot name the file to remove it with its folder.
    ::unlink(EncodeFileName(latin1).constData());
}

// A playlist cache damaged in one way; the M3U file beside it is whole.
struct CacheDamage {
    const char *name;
    std::function<void(QByteArray &cache, const QByteArray &secondName)> damage;
    bool reported;
};

// Test names show the case, not its bytes.
void PrintTo(const CacheDamage &value, std::ostream *os)
{
    *os << value.name;
}

class DamagedPlaylistCacheTest : public ::testing::TestWithParam<CacheDamage> {};

TEST_P(DamagedPlaylistCacheTest, ThePlaylistIsRebuiltFromItsListAndStaysInTheIndex)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Data"));
    QDir().mkpath(data);
    QStringList tracks;
    for (const char *title : {"One", "Two", "Three"}) {
        tracks << dir.filePath(QStringLiteral("music/%1.mp3").arg(QLatin1String(title)));
        writeTaggedFile(tracks.back(), QLatin1String(title));
    }
    const QString list = dir.filePath(QStringLiteral("party.m3u"));
    writeFile(list, WriteM3uLines(tracks));
    const QString index = dir.filePath(QStringLiteral("playlists.pll"));
    {
        TtagPlayListCollection collection;
        ASSERT_TRUE(collection.AddFromFile(QStringLiteral("Party"), list));
        collection.Find(QStringLiteral("Party"))->SetFilename(list);
        ASSERT_TRUE(collection.SaveIndex(index, data));
    }
    const QString cache = PlaylistCacheFile(list, data);
    QByteArray bytes = readAll(cache);
    ASSERT_EQ(bytes.count("TPF0"), 3);
    GetParam().damage(bytes, tracks[1].toUtf8());
    writeFile(cache, bytes);

    TtagPlayListCollection collection;
    std::vector<TfileProblem> problems;
    collection.LoadIndex(index, data, false, &problems);
    ASSERT_EQ(collection.Count(), 1);
    EXPECT_EQ(titles(*collection.Playlists(0)), (QStringList{"One", "Two", "Three"}));
    EXPECT_EQ(problems.size(), GetParam().reported ? 1u : 0u);
    if (!problems.empty()) {
        EXPECT_EQ(problems.front().path, cache);
    }

    // With its files gone for now the playlist is kept, empty, in the index.
    for (const QString &track : tracks)
        QFile::remove(track);
    writeFile(cache, QByteArray());
    TtagPlayListCollection later;
    later.LoadIndex(index, data, false);
    ASSERT_EQ(later.Count(), 1);
    EXPECT_EQ(later.Playlists(0)->Count(), 0);
    ASSERT_TRUE(later.SaveIndex(index, data));
    EXPECT_EQ(TiniFile(index).ReadString(QStringLiteral("Party"), QStringLiteral("Filename"), {}), list);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedPlaylistCacheTest,
    ::testing::Values(
        CacheDamage{"Emptied", [](QByteArray &cache, const QByteArray &) { cache.clear(); }, false},
        CacheDamage{"CutInARecord", [](QByteArray &cache, const QByteArray &) { cache.truncate(cache.size() * 2 / 3); },
                    true},
        CacheDamage{"FlippedSignature",
                    [](QByteArray &cache, const QByteArray &) { cache[qsizetype(cache.indexOf("TPF0", 1)) + 2] ^= 1; },
                    true},
        CacheDamage{"FlippedFileName",
                    [](QByteArray &cache, const QByteArray &second) {
                        cache[cache.indexOf(second) + second.size() - 6] ^= 2;
                    },
                    true},
        CacheDamage{"GarbageAppended", [](QByteArray &cache, const QByteArray &) { cache += "\x01\x02garbage"; },
                    true}),
    [](const ::testing::TestParamInfo<CacheDamage> &info) { return std::string(info.param.name); });
