#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "testRecords.h"

#include <gtest/gtest.h>

namespace {

void addAll(Tmp3JukeBoxLists &library, const std::vector<RecordSpec> &specs)
{
    library.SuspendRebuild();
    for (const RecordSpec &spec : specs)
        library.MasterList().Add(MakeRecord(spec));
    library.ResumeRebuild();
}

QStringList titles(const TcustomTaggerList &list)
{
    QStringList out;
    for (const TcustomTagger *r : list.Records())
        out.append(r->Title());
    return out;
}

const std::vector<RecordSpec> &sampleLibrary()
{
    static const std::vector<RecordSpec> specs{
        {QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("/m/mix/a.mp3"), 1, 61000},
        {QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("X"), QStringLiteral("/m/mix/b.mp3"), 2, 60000},
        {QStringLiteral("Love Song"), QStringLiteral("The Lanterns"), QStringLiteral("Glow"),
         QStringLiteral("/m/lan/1.mp3"), 1, 120000},
        {QStringLiteral("Dim"), QStringLiteral("The Lanterns"), QStringLiteral("Glow"), QStringLiteral("/m/lan/2.mp3"),
         2, 60400},
        {QStringLiteral("north"), QStringLiteral("nordwave"), QStringLiteral("Fjord"), QStringLiteral("/m/n1/1.mp3"), 1},
        {QStringLiteral("South"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"), QStringLiteral("/m/n2/1.mp3"), 1},
        {QStringLiteral("East"), QStringLiteral("Nordwave"), QStringLiteral("Bay"), QStringLiteral("/m/n3/1.mp3"), 1},
        {QStringLiteral("9 lives"), QStringLiteral("nordwave"), QString(), QStringLiteral("/m/n4/9.mp3"), 1},
        {QStringLiteral("Élan"), QString(), QStringLiteral("Anon"), QStringLiteral("/m/x/e.mp3"), 1},
        {QStringLiteral("Track"), QStringLiteral("4 Hands"), QStringLiteral("Duo"), QStringLiteral("/m/d/1.mp3"), 1},
        {QString(), QStringLiteral("Zed"), QString(), QStringLiteral("/m/z/untitled.mp3"), 1},
    };
    return specs;
}

} // namespace

TEST(ArtistsAndAlbums, GroupingRules)
{
    Tmp3JukeBoxLists library;
    int updates = 0;
    library.OnListsUpdated = [&](TComponent *) { ++updates; };
    addAll(library, sampleLibrary());
    EXPECT_EQ(updates, 1);

    // One album name in one folder is one album: "Fjord" twice.
    QStringList albumNames;
    for (int i = 0; i < library.AlbumList().Count(); ++i)
        albumNames.append(library.AlbumList().Albums(i)->AlbumName());
    EXPECT_EQ(albumNames, (QStringList{"Anon", "Bay", "Duo", "Fjord", "Fjord", "Glow", "X"}));

    TtagArtistList &artists = library.ArtistList();
    QStringList keys;
    for (int i = 0; i < artists.Count(); ++i)
        keys.append(artists.Keys(i));
    EXPECT_EQ(keys, (QStringList{"<no name>", "4 Hands", "A", "B", "Compilation", "Lanterns, The", "nordwave", "The Lanterns", "Zed"}));

    // Tracks of different artists in one album make a compilation, listed only
    // under "Compilation"; each track stays with its own artist.
    TtagArtist *compilation = artists.FindArtist(QStringLiteral("compilation"));
    ASSERT_TRUE(compilation);
    ASSERT_EQ(compilation->AlbumList().Count(), 1);
    TtagAlbum *x = compilation->AlbumList().Albums(0);
    EXPECT_TRUE(x->IsCompilation());
    EXPECT_EQ(x->Artist(), QStringLiteral("Compilation"));
    EXPECT_EQ(x->DisplayType(), tdTrackArtistTitle);
    EXPECT_EQ(artists.FindArtist(QStringLiteral("A"))->AlbumList().Count(), 0);
    EXPECT_EQ(titles(*artists.FindArtist(QStringLiteral("B"))), QStringList{"b"});

    // Case variants join the artist seen first (in title order, "9 lives"); the
    // second "Fjord" album is not
    // listed under the artist (albums are keyed by name there).
    TtagArtist *nordwave = artists.FindArtist(QStringLiteral("NORDWAVE"));
    EXPECT_EQ(nordwave->Artist(), QStringLiteral("nordwave"));
    EXPECT_EQ(titles(*nordwave), (QStringList{"9 lives", "East", "north", "South"}));
    EXPECT_EQ(nordwave->AlbumList().Count(), 2);

    // "The Lanterns" also under its alias, with the same tracks and albums.
    TtagArtist *alias = artists.FindArtist(QStringLiteral("Lanterns, The"));
    EXPECT_EQ(alias->Artist(), QStringLiteral("The Lanterns"));
    EXPECT_EQ(titles(*alias), (QStringList{"Dim", "Love Song"}));
    EXPECT_EQ(alias->AlbumList().Count(), 1);
    EXPECT_EQ(artists.FindArtist(QStringLiteral("The Lanterns"))->AlbumList().Albums(0), alias->AlbumList().Albums(0));

    // Albums are sorted by track number, and without track numbers by title
    // (by artist for compilations).
    TtagAlbum *glow = alias->AlbumList().Albums(0);
    EXPECT_EQ(titles(*glow), (QStringList{"Love Song", "Dim"}));
    library.SetDontUseTrackNumbers(true);
    TstringList lines;
    glow->FillStrings(lines);
    EXPECT_EQ(lines.Strings(0), QStringLiteral("Dim"));
    x->FillStrings(lines);
    EXPECT_EQ(lines.Strings(0), QStringLiteral("A - a"));
    EXPECT_EQ(lines.Strings(1), QStringLiteral("B - b"));
}

TEST(ArtistsAndAlbums, LibraryTreeByTitleAndByArtist)
{
    Tmp3JukeBoxLists library;
    addAll(library, sampleLibrary());
    RecordingTree tree;
    QList<TtreeNode> roots;

    library.FillLibraryTree(tree, true, roots);
    EXPECT_EQ(tree.beginCount, 1);
    EXPECT_EQ(tree.endCount, 1);
    ASSERT_EQ(roots.size(), 28);
    QStringList rootTexts = tree.Children(-1);
    EXPECT_EQ(rootTexts.front(), QStringLiteral("<A>"));
    EXPECT_EQ(rootTexts[25], QStringLiteral("<Z>"));
    EXPECT_EQ(rootTexts[26], QStringLiteral("<other>"));
    EXPECT_EQ(rootTexts[27], QStringLiteral("<no name>"));
    // A title without an artist shows its file name.
    EXPECT_EQ(tree.Children(tree.IndexOf(roots[26])), (QStringList{"9 lives", "e.mp3"}));
    EXPECT_EQ(tree.Children(tree.IndexOf(roots[27])), QStringList{"/m/z/untitled.mp3"});
    EXPECT_EQ(tree.Children(tree.IndexOf(roots['L' - 'A'])), QStringList{"Love Song"});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(tree.Object(TtreeNode(0))));

    library.FillLibraryTree(tree, false, roots);
    ASSERT_EQ(roots.size(), 29);
    EXPECT_EQ(tree.Children(tree.IndexOf(roots[28])), QStringList{"X"});
    EXPECT_EQ(tree.Children(tree.IndexOf(roots[27])), QStringList{"Files"});
    EXPECT_EQ(tree.Children(tree.IndexOf(roots[26])), QStringList{"4 Hands"});
    const int lanterns = tree.Find(QStringLiteral("The Lanterns"), tree.IndexOf(roots['T' - 'A']));
    const int alias = tree.Find(QStringLiteral("Lanterns, The"), tree.IndexOf(roots['L' - 'A']));
    ASSERT_GE(lanterns, 0);
    ASSERT_GE(alias, 0);
    EXPECT_EQ(tree.Children(lanterns), QStringList{"Glow"});
    EXPECT_EQ(tree.Children(alias), QStringList{"Glow"});
    EXPECT_EQ(tree.Children(tree.Find(QStringLiteral("nordwave"), tree.IndexOf(roots['N' - 'A']))),
              (QStringList{"Bay", "Fjord"}));
    auto *artistObject = std::get<TcustomTaggerList *>(tree.Object(TtreeNode(lanterns)));
    EXPECT_EQ(dynamic_cast<TtagArtist *>(artistObject), library.ArtistList().FindArtist(QStringLiteral("the lanterns")));
}

TEST(ArtistsAndAlbums, ChooseCdAndStackerTrees)
{
    Tmp3JukeBoxLists library;
    addAll(library, sampleLibrary());
    RecordingTree tree;
    QList<TtreeNode> roots;
    library.FillArtistTree(tree, roots);
    ASSERT_EQ(roots.size(), 28);
    EXPECT_EQ(tree.Text(TtreeNode(tree.IndexOf(roots['N' - 'A']))), QStringLiteral("<N> (1 artist)"));
    EXPECT_EQ(tree.Text(TtreeNode(tree.IndexOf(roots[0]))), QStringLiteral("<A> (0 artists)"));
    // Shown under its own letter twice, through the alias.
    EXPECT_EQ(tree.Children(tree.IndexOf(roots['T' - 'A'])),
              (QStringList{"The Lanterns (1 album)", "The Lanterns (1 album)"}));
    const int nordwave = tree.Find(QStringLiteral("nordwave (2 albums)"), tree.IndexOf(roots['N' - 'A']));
    EXPECT_EQ(tree.Children(nordwave), (QStringList{"Bay  [0:00]", "Fjord  [0:00]"}));
    EXPECT_EQ(tree.Text(TtreeNode(tree.IndexOf(roots[27]))), QStringLiteral("<Compilations> (1 artist)"));
    EXPECT_EQ(tree.Children(tree.IndexOf(roots[27])), QStringList{"X  [2:01]"});
    // Albums without an artist ("Anon") belong to no artist; artists without
    // albums are not shown.
    EXPECT_EQ(tree.Text(TtreeNode(tree.IndexOf(roots[26]))), QStringLiteral("<other> (1 artist)"));
    // Under "<other>" albums show without their durations.
    EXPECT_EQ(tree.Children(tree.Find(QStringLiteral("4 Hands (1 album)"), tree.IndexOf(roots[26]))),
              QStringList{"Duo"});

    library.FillAlbumTree(tree, true, false);
    const QStringList albumRoots = tree.Children(-1);
    EXPECT_EQ(albumRoots, (QStringList{" - Anon [0:00]", "Nordwave - Bay [0:00]", "4 Hands - Duo [0:00]", "nordwave - Fjord [0:00]",
                                       "Nordwave - Fjord [0:00]", "The Lanterns - Glow [3:00]", "X [2:01]"}));
    EXPECT_EQ(tree.Children(tree.Find(QStringLiteral("X [2:01]"), -1)), (QStringList{"01: A - a", "02: B - b"}));
    EXPECT_EQ(tree.Children(tree.Find(QStringLiteral("The Lanterns - Glow [3:00]"), -1)),
              (QStringList{"01: Love Song", "02: Dim"}));
}

TEST(ArtistsAndAlbums, ClearAndEmptyRebuild)
{
    Tmp3JukeBoxLists library;
    addAll(library, sampleLibrary());
    int updates = 0;
    library.OnListsUpdated = [&](TComponent *) { ++updates; };
    library.Clear();
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(library.MasterList().Count(), 0);
    EXPECT_EQ(library.AlbumList().Count(), 0);
    library.RebuildIndex();
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(library.ArtistList().Count(), 0);
    EXPECT_EQ(library.RandomTrack(), nullptr);
}
