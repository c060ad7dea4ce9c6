#include "audioFixtures.h"
#include "library/m3uFile.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagPlaylist.h"
#include "platform/iniFile.h"
#include "testRecords.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString &name, const QByteArray &data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A tagged MP3 file made by the encoder: playlists keep tagged files only.
void writeTaggedFile(const QString &name, const QString &title)
{
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
    ASSERT_EQ(collection.Count(), 2);
    EXPECT_EQ(collection.Names(0), QStringLiteral("chill"));
    EXPECT_EQ(collection.Names(1), QStringLiteral("Zed"));
    EXPECT_EQ(collection.Names(2), QString());
    EXPECT_EQ(collection.Playlists(-1), nullptr);
    EXPECT_TRUE(collection.Playlists(0)->StopAtEnd());
    EXPECT_FALSE(collection.Playlists(0)->AutoCounterReset());
    EXPECT_TRUE(collection.Playlists(1)->AutoCounterReset());
    EXPECT_EQ(collection.Playlists(1)->Filename(), party);
    TstringList names;
    collection.FillNames(names);
    EXPECT_EQ(names.Strings(1), QStringLiteral("Zed"));

    ASSERT_TRUE(collection.SaveIndex(index, data));
    const TiniFile written(index);
    EXPECT_EQ(written.ReadSections(), (QStringList{"chill", "Zed"}));
    EXPECT_EQ(written.ReadString(QStringLiteral("zed"), QStringLiteral("StopAtEnd"), {}), QStringLiteral("0"));
    EXPECT_TRUE(QFile::exists(PlaylistCacheFile(party, data)));
    EXPECT_TRUE(QFileInfo(PlaylistCacheFile(party, data)).fileName().startsWith(QStringLiteral("party.")));

    // The next start reads the caches, not the music files.
    for (const QString &t : tracks)
        QFile::remove(t);
    TtagPlayListCollection reloaded;
    reloaded.LoadIndex(index, data, false);
    ASSERT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(reloaded.Playlists(1)->Count(), 2);
    EXPECT_EQ(reloaded.Playlists(1)->Items(1)->Filename(), tracks[1]);
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
