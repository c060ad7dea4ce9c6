#include "metadata/customTagger.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(CustomTagger, GenreRule)
{
    TcustomTagger t;
    EXPECT_EQ(t.GenreByte(), 0);
    t.SetGenre(QStringLiteral("rock"));
    EXPECT_EQ(t.GenreByte(), 17);
    EXPECT_EQ(t.Genre(), QStringLiteral("rock"));
    t.SetGenreByte(200);
    EXPECT_EQ(t.GenreByte(), 200);
    EXPECT_EQ(t.Genre(), QStringLiteral("rock"));
    t.SetGenre(QStringLiteral("Not A Genre"));
    EXPECT_EQ(t.GenreByte(), 200);
    t.SetGenreByte(13);
    EXPECT_EQ(t.Genre(), QStringLiteral("Pop"));
}

TEST(CustomTagger, ClearKeepsFileNameAndGenreNumber)
{
    TcustomTagger t;
    t.SetFilename(QStringLiteral("/music/x.mp3"));
    t.SetTitle(QStringLiteral("T"));
    t.SetGenreByte(17);
    t.SetDuration(1234);
    t.SetValidTag(true);
    t.ReadTag();
    EXPECT_EQ(t.Title(), QString());
    EXPECT_EQ(t.Genre(), QString());
    EXPECT_EQ(t.GenreByte(), 17);
    EXPECT_EQ(t.Duration(), 0.0);
    EXPECT_FALSE(t.ValidTag());
    EXPECT_EQ(t.Filename(), QStringLiteral("/music/x.mp3"));
}

TEST(CustomTagger, AssignCopiesDataAndMarksTheTagValid)
{
    TcustomTagger source;
    source.SetFilename(QStringLiteral("/m/a.ogg"));
    source.SetTitle(QStringLiteral("Song"));
    source.SetArtist(QStringLiteral("Nordwave"));
    source.SetAlbum(QStringLiteral("Hits"));
    source.SetGenre(QStringLiteral("Jazz"));
    source.SetTrack(4);
    source.SetDate(QStringLiteral("1999"));
    source.SetComment(QStringLiteral("c"));
    source.SetDuration(245000.5);
    source.SetBitRate(128000);
    source.SetSampleRate(44100);
    source.SetChannelMode(2);
    source.SetModDateHigh(7);
    source.SetModDateLow(9);
    TcustomTagger copy;
    copy.Assign(&source);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Filename(), source.Filename());
    EXPECT_EQ(copy.Title(), source.Title());
    EXPECT_EQ(copy.Artist(), source.Artist());
    EXPECT_EQ(copy.Album(), source.Album());
    EXPECT_EQ(copy.Genre(), QStringLiteral("Jazz"));
    EXPECT_EQ(copy.GenreByte(), 8);
    EXPECT_EQ(copy.Track(), 4u);
    EXPECT_EQ(copy.Date(), source.Date());
    EXPECT_EQ(copy.Comment(), source.Comment());
    EXPECT_EQ(copy.Duration(), 245000.5);
    EXPECT_EQ(copy.bitRate(), 128000u);
    EXPECT_EQ(copy.SampleRate(), 44100u);
    EXPECT_EQ(copy.ChannelMode(), 2u);
    EXPECT_TRUE(copy.ValidTag());
    EXPECT_EQ(copy.ModDateHigh(), 7u);
    EXPECT_EQ(copy.ModDateLow(), 9u);
}

TEST(CustomTagger, PropertyTableInStreamOrder)
{
    TcustomTagger t;
    QStringList names;
    for (const TaggerProperty &p : t.Properties())
        names << QString::fromLatin1(p.name);
    EXPECT_EQ(names.join(QLatin1Char(',')),
              QStringLiteral("Tag,Title,Artist,Album,Date,Comment,Track,Genre,GenreByte,Filename,Duration,bitRate,"
                             "SampleRate,ChannelMode,ValidTag,ModDateHigh,ModDateLow"));
    // Unsigned 32-bit values travel as their unsigned value through the table.
    for (const TaggerProperty &p : t.Properties())
        if (QLatin1String(p.name) == QLatin1String("ModDateHigh"))
            p.setInteger(t, 4294967295LL);
    EXPECT_EQ(t.ModDateHigh(), 4294967295u);
}

TEST(CustomTagger, DigitsToNumber)
{
    EXPECT_EQ(DigitsToNumber(QStringLiteral("12")), 12u);
    EXPECT_EQ(DigitsToNumber(QStringLiteral("007")), 7u);
    EXPECT_EQ(DigitsToNumber(QString()), 0u);
    EXPECT_EQ(DigitsToNumber(QStringLiteral("3/12")), 0u);
    EXPECT_EQ(DigitsToNumber(QStringLiteral("-3")), 0u);
    EXPECT_EQ(DigitsToNumber(QStringLiteral("99999999999")), 0u);
}
