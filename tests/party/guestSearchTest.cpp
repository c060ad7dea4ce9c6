#include "../library/testRecords.h"

#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "party/guestLibrary.h"
#include "party/textFold.h"

#include <gtest/gtest.h>

namespace {

// --- folding -----------------------------------------------------------------------

struct FoldCase {
    const char *name;
    QString text;
    std::string folded;
};

class Folding : public ::testing::TestWithParam<FoldCase> { };

TEST_P(Folding, IgnoresCaseAccentsAndPunctuation)
{
    EXPECT_EQ(FoldedText(GetParam().text), GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(GuestSearch, Folding,
    ::testing::Values(FoldCase { "Plain", QStringLiteral("Two Rivers"), "two rivers" },
        FoldCase { "Accents", QStringLiteral("Über Café Ångström"), "uber cafe angstrom" },
        FoldCase { "LettersOfTheirOwn", QStringLiteral("Straße Æon Øre Łódź"), "strasse aeon ore lodz" },
        FoldCase { "Punctuation", QStringLiteral("  AC/DC -- Live!!  "), "ac dc live" },
        FoldCase { "Digits", QStringLiteral("99 Luftballons (1983)"), "99 luftballons 1983" },
        FoldCase { "Cyrillic", QStringLiteral("Кино"), "кино" },
        FoldCase { "FullWidth", QStringLiteral("ＡＢＣ"), "abc" },
        FoldCase { "Markup", QStringLiteral("<img src=x>"), "img src x" }, FoldCase { "Empty", QString(), "" }),
    [](const auto &info) { return std::string(info.param.name); });

// --- the library ---------------------------------------------------------------------

class GuestLibrary : public ::testing::Test {
protected:
    GuestLibrary()
    {
        const std::vector<RecordSpec> specs {
            { QStringLiteral("Love Song"), QStringLiteral("The Lanterns"), QStringLiteral("Glow"),
                QStringLiteral("/m/lan/1.mp3"), 1 },
            { QStringLiteral("Dim"), QStringLiteral("The Lanterns"), QStringLiteral("Glow"),
                QStringLiteral("/m/lan/2.mp3"), 2 },
            { QStringLiteral("Lovely Day"), QStringLiteral("Sunny"), QStringLiteral("Songs of Love"),
                QStringLiteral("/m/sun/1.mp3"), 1 },
            { QStringLiteral("Glove"), QStringLiteral("Hands"), QStringLiteral("Wear"), QStringLiteral("/m/h/1.mp3"),
                1 },
            { QStringLiteral("Love"), QStringLiteral("Sunny"), QStringLiteral("Songs of Love"),
                QStringLiteral("/m/sun/2.mp3"), 2 },
            { QStringLiteral("Blue"), QStringLiteral("Lovelace"), QStringLiteral("Colours"),
                QStringLiteral("/m/lo/1.mp3"), 1 },
            { QStringLiteral("Über den Wolken"), QStringLiteral("Reinhard"), QStringLiteral("Live"),
                QStringLiteral("/m/r/1.mp3"), 1 },
            { QString(), QStringLiteral("Nameless"), QString(), QStringLiteral("/m/n/untitled track.mp3"), 1 },
        };
        library.SuspendRebuild();
        for (const RecordSpec &spec : specs)
            library.MasterList().Add(MakeRecord(spec));
        library.ResumeRebuild();
    }

    QStringList search(const QString &query, int limit = 50) const
    {
        const TguestLibrary guests(library, 42);
        QStringList titles;
        for (const int index : guests.Search(query, limit))
            titles << GuestTitle(*guests.Track(index).record);
        return titles;
    }

    Tmp3JukeBoxLists library;
};

struct SearchCase {
    const char *name;
    QString query;
    QStringList titles;
};

class Ranking : public GuestLibrary, public ::testing::WithParamInterface<SearchCase> { };

TEST_P(Ranking, PutsTheBestMatchesFirst)
{
    EXPECT_EQ(search(GetParam().query), GetParam().titles);
}

INSTANTIATE_TEST_SUITE_P(GuestSearch, Ranking,
    ::testing::Values(
        // The whole title, a title's word start, an artist's word, an album's
        // word, then inside words; equal ones shorter title first.
        SearchCase { "TitleBeforeArtistBeforeAlbum", QStringLiteral("love"),
            { "Love", "Love Song", "Lovely Day", "Blue", "Glove" } },
        SearchCase { "EveryWordMustMatch", QStringLiteral("love sunny"), { "Love", "Lovely Day" } },
        SearchCase { "WordsInAnyField", QStringLiteral("lanterns dim"), { "Dim" } },
        SearchCase { "AccentsAndCase", QStringLiteral("UBER wolken"), { "Über den Wolken" } },
        SearchCase { "AccentTypedToo", QStringLiteral("über"), { "Über den Wolken" } },
        SearchCase { "UntitledByFileName", QStringLiteral("untitled"), { "untitled track" } },
        SearchCase { "Nothing", QStringLiteral("zebra"), {} },
        SearchCase { "OnlyPunctuation", QStringLiteral("!!"), {} },
        SearchCase { "AWordAcrossTwoFieldsIsNoMatch", QStringLiteral("songglow"), {} }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(GuestLibrary, ResultsAreBounded)
{
    EXPECT_EQ(search(QStringLiteral("l"), 3).size(), 3);
    EXPECT_EQ(search(QStringLiteral("l"), 0).size(), 0);
    EXPECT_LE(search(QStringLiteral("l"), 5000).size(), TguestLibrary::kMaxResults);
}

// A letter or two, as a guest starts typing: the tracks with a word that
// begins so, not every track that holds the letters somewhere.
TEST_F(GuestLibrary, ALetterOrTwoFindWordStarts)
{
    QStringList found = search(QStringLiteral("gl"));
    found.sort();
    EXPECT_EQ(found, QStringList({ "Dim", "Glove", "Love Song" }));
    EXPECT_TRUE(search(QStringLiteral("ov")).isEmpty()) << "inside words only";
}

TEST_F(GuestLibrary, TracksAreFoundByIdAndIdsDependOnTheKey)
{
    const TguestLibrary guests(library, 42);
    ASSERT_EQ(guests.TrackCount(), 8);
    for (int i = 0; i < guests.TrackCount(); ++i) {
        const TguestTrack &track = guests.Track(i);
        EXPECT_EQ(guests.TrackById(track.id), track.record);
        EXPECT_EQ(track.id, guests.TrackIdOf(track.record->Filename()));
    }
    const TguestLibrary again(library, 42);
    EXPECT_EQ(again.Track(3).id, guests.Track(3).id) << "the same session keeps its ids";
    const TguestLibrary other(library, 43);
    EXPECT_NE(other.Track(3).id, guests.Track(3).id) << "another session has others";
    EXPECT_EQ(guests.TrackById(12345), nullptr);
}

TEST_F(GuestLibrary, ArtistsAreListedOnceWithTheirAlbums)
{
    const TguestLibrary guests(library, 7);
    QStringList names;
    for (const TguestArtist &artist : guests.Artists())
        names << artist.name;
    EXPECT_EQ(names.count(QStringLiteral("The Lanterns")), 1) << "filed under an alias as well, listed once";
    EXPECT_EQ(names.size(), 6) << names.join(u',').toStdString();

    const auto sunny = std::find_if(guests.Artists().begin(), guests.Artists().end(),
        [](const TguestArtist &a) { return a.name == QStringLiteral("Sunny"); });
    ASSERT_NE(sunny, guests.Artists().end());
    EXPECT_EQ(guests.ArtistById(sunny->id), &*sunny);
    ASSERT_EQ(sunny->albums.size(), 1u);
    const TguestAlbum &album = guests.Albums()[size_t(sunny->albums[0])];
    EXPECT_EQ(album.name, QStringLiteral("Songs of Love"));
    EXPECT_EQ(guests.AlbumById(album.id), &album);
    QStringList titles;
    for (const TcustomTagger *record : album.album->Records())
        titles << record->Title();
    EXPECT_EQ(titles, (QStringList { "Lovely Day", "Love" })) << "in the album's own order";
}

} // namespace
