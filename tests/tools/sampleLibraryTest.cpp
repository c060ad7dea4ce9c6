// The invented library of the screenshots and large-library trials.
#include "sampleLibrary.h"

#include "library/trackListFile.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(SampleLibrary, InventsAPlausibleCollectionThatTheLibraryReadsBack)
{
    const auto records = InventLibrary(3000);
    ASSERT_EQ(records.size(), 3000u);
    QSet<QString> artists;
    QSet<QString> albums;
    int compilationTracks = 0;
    int otherCharacterArtists = 0;
    for (const auto &record : records) {
        EXPECT_FALSE(record->Title().isEmpty());
        EXPECT_FALSE(record->Album().isEmpty());
        EXPECT_TRUE(record->ValidTag());
        EXPECT_GE(record->Duration(), 60000.0);
        EXPECT_GT(record->bitRate(), 0u);
        EXPECT_TRUE(record->Filename().endsWith(QStringLiteral(".mp3")));
        artists.insert(record->Artist());
        albums.insert(record->Artist() + QLatin1Char('/') + record->Album());
        compilationTracks += record->Artist() == QStringLiteral("Compilation");
        otherCharacterArtists += !record->Artist().front().isLetter();
    }
    // Enough artists and albums for every letter of the tree to fill, and the
    // tree's special nodes to show.
    EXPECT_GT(artists.size(), 80);
    EXPECT_GT(albums.size(), artists.size());
    EXPECT_GT(compilationTracks, 0);
    EXPECT_GT(otherCharacterArtists, 0);

    TtrackListWriter writer;
    for (const auto &record : records)
        writer.Write(*record);
    TtrackListReader reader(writer.Data());
    int read = 0;
    while (const auto record = reader.Next()) {
        EXPECT_EQ(record->Title(), records[std::size_t(read)]->Title());
        ++read;
    }
    EXPECT_EQ(read, 3000);
    EXPECT_EQ(reader.Skipped(), 0);
}

TEST(SampleLibrary, TheSameSeedGivesTheSameLibrary)
{
    const auto first = InventLibrary(200, 7);
    const auto again = InventLibrary(200, 7);
    const auto other = InventLibrary(200, 8);
    int sameAsOther = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i]->Filename(), again[i]->Filename());
        EXPECT_EQ(first[i]->Duration(), again[i]->Duration());
        sameAsOther += first[i]->Filename() == other[i]->Filename();
    }
    EXPECT_LT(sameAsOther, 20);
    EXPECT_TRUE(InventLibrary(0).empty());
}

} // namespace
