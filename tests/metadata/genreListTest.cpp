#include "metadata/genreList.h"

#include <gtest/gtest.h>

TEST(GenreList, NamesAndNumbers)
{
    const TgenreList list;
    EXPECT_EQ(list.GenreName(0), QStringLiteral("Blues"));
    EXPECT_EQ(list.GenreName(48), QStringLiteral("Ethinic"));
    EXPECT_EQ(list.GenreName(147), QStringLiteral("Synthpop"));
    EXPECT_EQ(list.GenreName(148), QString());
    EXPECT_EQ(list.GenreName(255), QString());
    EXPECT_EQ(list.GenreName(-1), QString());
    EXPECT_EQ(list.IndexOfGenre(QStringLiteral("hip-hop")), 7);
    EXPECT_EQ(list.IndexOfGenre(QStringLiteral("ROCK")), 17);
    EXPECT_EQ(list.IndexOfGenre(QStringLiteral("Ethnic")), 255);
    EXPECT_EQ(list.IndexOfGenre(QString()), 255);
    // Every name finds its own number back.
    for (int i = 0; i < TgenreList::kGenreCount; ++i)
        EXPECT_EQ(list.IndexOfGenre(list.GenreName(i)), i) << list.GenreName(i).toStdString();
}

TEST(GenreList, SortedByCharacterCode)
{
    const TgenreList list;
    const QStringList &names = list.GenreNames();
    ASSERT_EQ(names.size(), 148);
    EXPECT_EQ(names.first(), QStringLiteral("A Capella"));
    EXPECT_LT(names.indexOf(QStringLiteral("A Capella")), names.indexOf(QStringLiteral("Acid")));
    EXPECT_LT(names.indexOf(QStringLiteral("AlternRock")), names.indexOf(QStringLiteral("Alternative")));
    for (qsizetype i = 1; i < names.size(); ++i)
        EXPECT_LT(QString::compare(names[i - 1], names[i], Qt::CaseSensitive), 0);
}
