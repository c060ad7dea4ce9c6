#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "core/playlistEditor.h"
#include "library/m3uFile.h"
#include "library/tagAlbum.h"
#include "library/tagPlaylist.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QStringList titles(const TcustomTaggerList &list)
{
    QStringList out;
    for (const TcustomTagger *record : list.Records())
        out << record->Title();
    return out;
}

struct PlaylistOperations : ::testing::Test {
    TcoreTestFolder folder;
    QStringList tracks;
    QString party;
    std::unique_ptr<TrecordedCore> run;
    TdmMain *core = nullptr;

    void SetUp() override
    {
        const char *genres[] = {"Rock", "Jazz", "Rock"};
        for (int i = 0; i < 3; ++i) {
            ToneSpec spec;
            spec.metadata = {{QStringLiteral("title"), QStringLiteral("Song %1").arg(i)},
                             {QStringLiteral("artist"), QStringLiteral("Band %1").arg(i % 2)},
                             {QStringLiteral("album"), QStringLiteral("Record")},
                             {QStringLiteral("genre"), QString::fromLatin1(genres[i])}};
            tracks << folder.music() + QStringLiteral("/%1.mp3").arg(i);
            QString error;
            EXPECT_TRUE(MakeToneFile(tracks.back(), spec, &error)) << error.toStdString();
        }
        party = writeList(QStringLiteral("party.m3u"), {tracks[0], tracks[1]});
        run = std::make_unique<TrecordedCore>(folder.options());
        core = &run->core;
        core->StartUp();
        core->AddScannedFiles(tracks, false);
    }

    QString writeList(const QString &name, const QStringList &names) { return folder.writeM3u(name, names); }

    const TtagPlaylist &loaded() { return core->jblMain().LoadedPlaylist(); }
};

} // namespace

TEST_F(PlaylistOperations, TheRulesOfTheLoadedPlaylist)
{
    run->face.log.clear();
    ASSERT_TRUE(core->ApplyPlaylistRule(prM3uFile, party, false, {}));
    EXPECT_EQ(titles(loaded()), (QStringList{"Song 0", "Song 1"}));
    EXPECT_FALSE(loaded().Randomise());
    EXPECT_EQ(run->face.count(QStringLiteral("PlaylistChanged")), 1) << "one change for the window";

    // A file that is missing, or names no music that exists, changes nothing.
    const QString dead = writeList(QStringLiteral("dead.m3u"), {folder.music() + QStringLiteral("/none.mp3")});
    EXPECT_FALSE(core->ApplyPlaylistRule(prM3uFile, dead, true, {}));
    EXPECT_FALSE(core->ApplyPlaylistRule(prM3uFile, folder.root.filePath(QStringLiteral("no.m3u")), true, {}));
    EXPECT_EQ(titles(loaded()), (QStringList{"Song 0", "Song 1"}));

    ASSERT_TRUE(core->ApplyPlaylistRule(prGenres, {}, false, {QStringLiteral("rock"), QStringLiteral("Nothing")}));
    QStringList rock = titles(loaded());
    rock.sort();
    EXPECT_EQ(rock, (QStringList{"Song 0", "Song 2"}));
    EXPECT_TRUE(loaded().Randomise());
    EXPECT_EQ(core->GetGenres(), (QStringList{"rock", "Nothing"}));
    // The genre rule plays the library's own records.
    EXPECT_TRUE(std::find(core->jblMain().MasterList().Records().begin(), core->jblMain().MasterList().Records().end(),
                          loaded().Items(0)) != core->jblMain().MasterList().Records().end());

    ASSERT_TRUE(core->ApplyPlaylistRule(prNone, {}, false, {}));
    EXPECT_EQ(loaded().Count(), 0);
    EXPECT_EQ(core->jblMain().MasterList().Count(), 3);
}

TEST_F(PlaylistOperations, PreloadedPlaylistsAreAddedUpdatedReloadedAndDeleted)
{
    const TtagPlayListCollection &collection = core->jblMain().PlaylistCollection();
    const TtagPlaylist *added = core->AddPreloadedPlaylist(QStringLiteral("Party"), party, true, false);
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->AutoCounterReset());
    EXPECT_TRUE(added->StopAtEnd()) << "not looped";
    EXPECT_EQ(added->DisplayType(), tdArtistTitle);
    EXPECT_EQ(core->AddPreloadedPlaylist(QStringLiteral("PARTY"), party, false, true), nullptr) << "name taken";
    EXPECT_EQ(core->AddPreloadedPlaylist(QString(), party, false, true), nullptr);
    EXPECT_EQ(core->AddPreloadedPlaylist(QStringLiteral("Lost"), folder.root.filePath(QStringLiteral("no.m3u")), false,
                                         true),
              nullptr);
    EXPECT_EQ(collection.Count(), 1);

    core->UpdatePreloadedPlaylist(0, false, true);
    EXPECT_FALSE(added->AutoCounterReset());
    EXPECT_FALSE(added->StopAtEnd());
    core->UpdatePreloadedPlaylist(5, true, true);

    const QString single = writeList(QStringLiteral("single.m3u"), {tracks[2]});
    ASSERT_TRUE(core->ReloadPreloadedPlaylist(0, single, true, false));
    EXPECT_EQ(titles(*collection.Playlists(0)), QStringList{"Song 2"});
    EXPECT_EQ(collection.Playlists(0)->Filename(), single);
    EXPECT_TRUE(collection.Playlists(0)->StopAtEnd());
    // A reload from a list that gives nothing keeps the playlist.
    QFile::remove(single);
    EXPECT_FALSE(core->ReloadPreloadedPlaylist(0, single, false, true));
    EXPECT_EQ(titles(*collection.Playlists(0)), QStringList{"Song 2"});
    EXPECT_TRUE(collection.Playlists(0)->StopAtEnd());

    core->DeletePreloadedPlaylist(3);
    EXPECT_EQ(collection.Count(), 1);
    core->DeletePreloadedPlaylist(0);
    EXPECT_EQ(collection.Count(), 0);
}

TEST_F(PlaylistOperations, TheEditorWorksOnItsOwnLibraryAndCopiesToAndFromTheJukebox)
{
    TplaylistEditor editor(*core);
    editor.Open();
    ASSERT_EQ(editor.Library().MasterList().Count(), 3);
    EXPECT_NE(editor.Library().MasterList().Items(0), core->jblMain().MasterList().Items(0))
        << "the editor's library is its own";
    TtagPlaylist &playlist = editor.Playlist();
    EXPECT_EQ(playlist.DisplayType(), tdQueue);

    int changes = 0;
    playlist.OnChange = [&](TComponent *) { ++changes; };
    editor.AddTracks(editor.Library().AlbumList().Albums(0)->Records());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(titles(playlist), (QStringList{"Song 0", "Song 1", "Song 2"}));
    EXPECT_EQ(editor.StatusTexts(),
              (QStringList{"Count : 3", "Play Time : 0:00:03", "Artist Count : 2"}));

    changes = 0;
    editor.Delete({2, 0, 2});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(titles(playlist), QStringList{"Song 1"});
    editor.MoveUp(0);
    editor.MoveDown(0);
    EXPECT_EQ(titles(playlist), QStringList{"Song 1"});

    ASSERT_TRUE(editor.Load(party, true));
    EXPECT_EQ(titles(playlist), (QStringList{"Song 1", "Song 0", "Song 1"}));
    EXPECT_EQ(core->Settings().PlaylistFolder, folder.root.path());
    EXPECT_FALSE(editor.Load(folder.root.filePath(QStringLiteral("no.m3u")), false));
    EXPECT_EQ(playlist.Count(), 3) << "a list that gives nothing changes nothing";

    editor.CopyToJukebox();
    EXPECT_EQ(titles(loaded()), (QStringList{"Song 1", "Song 0", "Song 1"}));
    EXPECT_NE(loaded().Items(0), playlist.Items(0)) << "the jukebox gets copies";
    editor.Clear();
    editor.CopyFromJukebox();
    EXPECT_EQ(playlist.Count(), 3);

    const QString saved = folder.root.filePath(QStringLiteral("lists/saved.m3u"));
    QDir().mkpath(QFileInfo(saved).path());
    ASSERT_TRUE(editor.Save(saved));
    EXPECT_EQ(core->Settings().PlaylistFolder, QFileInfo(saved).path());
    EXPECT_TRUE(QFile::exists(PlaylistCacheFile(saved, core->DataFolder())));

    editor.Randomize();
    EXPECT_EQ(playlist.Count(), 3);
    editor.Close();
    EXPECT_EQ(playlist.Count(), 0);
    EXPECT_EQ(loaded().Count(), 3);
    ASSERT_TRUE(editor.Load(saved, false));
    EXPECT_EQ(playlist.Count(), 3);
}

TEST_F(PlaylistOperations, FlacAndOpusTracksReachTheLibraryCacheAndTheEditor)
{
    const QString flac = folder.addTrack(QStringLiteral("formats/a.flac"), QStringLiteral("Lossless"),
        QStringLiteral("Band F"), QStringLiteral("Formats"), 1, 440, 2.0);
    const QString opus = folder.addTrack(QStringLiteral("formats/b.opus"), QStringLiteral("Small"),
        QStringLiteral("Band F"), QStringLiteral("Formats"), 2, 660, 1.0);
    core->AddScannedFiles({ flac, opus }, false);
    ASSERT_EQ(core->jblMain().MasterList().Count(), 5);

    // The editor's library comes from the library cache the core saved.
    TplaylistEditor editor(*core);
    editor.Open();
    const TtaggerList &cached = editor.Library().MasterList();
    QStringList classes;
    for (const TcustomTagger *record : cached.Records())
        if (record->Album() == QStringLiteral("Formats"))
            classes << QString::fromLatin1(record->ClassName()) + QLatin1Char(' ')
                    + QString::number(record->Duration());
    classes.sort();
    EXPECT_EQ(classes, (QStringList { QStringLiteral("TflacTagger 2000"), QStringLiteral("TopusTagger 1000") }));

    ASSERT_TRUE(editor.Load(writeList(QStringLiteral("formats.m3u"), { opus, flac, tracks[0] }), false));
    EXPECT_EQ(titles(editor.Playlist()), (QStringList { "Small", "Lossless", "Song 0" }));
    EXPECT_STREQ(editor.Playlist().Items(0)->ClassName(), "TopusTagger");
    EXPECT_EQ(editor.StatusTexts(), (QStringList { "Count : 3", "Play Time : 0:00:04", "Artist Count : 2" }));

    editor.Clear();
    std::vector<TcustomTagger *> formats;
    for (TcustomTagger *record : cached.Records())
        if (record->Album() == QStringLiteral("Formats"))
            formats.push_back(record);
    editor.AddTracks(formats);
    ASSERT_EQ(editor.Playlist().Count(), 2);
    EXPECT_STRNE(editor.Playlist().Items(0)->ClassName(), editor.Playlist().Items(1)->ClassName());
    for (const TcustomTagger *copy : editor.Playlist().Records())
        EXPECT_TRUE(QString::fromLatin1(copy->ClassName()) == QStringLiteral("TflacTagger")
            || QString::fromLatin1(copy->ClassName()) == QStringLiteral("TopusTagger"));
}
