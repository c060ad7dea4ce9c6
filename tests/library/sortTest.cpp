#include "library/taggerList.h"
#include "library/textCollator.h"
#include "testRecords.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QStringList titles(const TtaggerList &list)
{
    QStringList out;
    for (const TcustomTagger *r : list.Records())
        out.append(r->Title());
    return out;
}

} // namespace

TEST(Sorting, EverySortTypeUsesItsKeyAndTieBreak)
{
    TtaggerList list;
    auto add = [&](const char *title, const char *artist, const char *album, quint32 track, double duration,
                   quint32 bitRate, const char *date, const char *genre, quint32 channelMode) {
        Tid3Tagger *r = MakeRecord({QString::fromUtf8(title), QString::fromUtf8(artist), QString::fromUtf8(album),
                                    QStringLiteral("/m/%1.mp3").arg(QString::fromUtf8(title)), track, duration});
        r->SetBitRate(bitRate);
        r->SetSampleRate(bitRate / 4);
        r->SetDate(QString::fromUtf8(date));
        r->SetComment(QString::fromUtf8(album));
        r->SetGenre(QString::fromUtf8(genre));
        r->SetChannelMode(channelMode);
        list.Add(r);
    };
    add("delta", "beta", "Zulu", 2, 3000, 128000, "1999", "Rock", 3);
    add("Alpha", "alpha", "zulu", 1, 1000, 320000, "2001", "jazz", 0);
    add("charlie", "Beta", "able", 1, 2000, 128000, "1999", "Blues", 1);
    add("bravo", "beta", "Able", 2, 3000, 64000, "", "rock", 3);

    list.SortBy(tsTrack);
    EXPECT_EQ(titles(list), (QStringList{"Alpha", "charlie", "bravo", "delta"}));
    list.SortBy(tsAlbum);
    EXPECT_EQ(titles(list), (QStringList{"charlie", "bravo", "Alpha", "delta"}));
    list.SortBy(tsArtist);
    EXPECT_EQ(titles(list), (QStringList{"Alpha", "bravo", "charlie", "delta"}));
    list.SortBy(tsTitle);
    EXPECT_EQ(titles(list), (QStringList{"Alpha", "bravo", "charlie", "delta"}));
    list.SortBy(tsComment);
    EXPECT_EQ(titles(list), (QStringList{"bravo", "charlie", "Alpha", "delta"}));
    list.SortBy(tsYear);
    EXPECT_EQ(titles(list), (QStringList{"bravo", "charlie", "delta", "Alpha"}));
    list.SortBy(tsBitRate);
    EXPECT_EQ(titles(list), (QStringList{"bravo", "charlie", "delta", "Alpha"}));
    list.SortBy(tsSampleRate);
    EXPECT_EQ(titles(list), (QStringList{"bravo", "charlie", "delta", "Alpha"}));
    list.SortBy(tsDuration);
    EXPECT_EQ(titles(list), (QStringList{"Alpha", "charlie", "bravo", "delta"}));
    list.SortBy(tsGenre);
    EXPECT_EQ(titles(list), (QStringList{"charlie", "Alpha", "bravo", "delta"}));
    list.SortBy(tsChannelMode);
    // Channel-mode texts of MPEG records: "Joint Stereo" < "Mono" < "Stereo".
    EXPECT_EQ(titles(list), (QStringList{"charlie", "bravo", "delta", "Alpha"}));
}

TEST(Sorting, SettingTheSortTypeDoesNotReorderUntilAsked)
{
    TtaggerList list;
    list.Add(MakeRecord({QStringLiteral("b"), QStringLiteral("x"), {}, QStringLiteral("/b.mp3"), 1}));
    list.Add(MakeRecord({QStringLiteral("a"), QStringLiteral("x"), {}, QStringLiteral("/a.mp3"), 2}));
    list.SetSortType(tsTitle);
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(titles(list), (QStringList{"b", "a"}));
    TstringList lines;
    list.FillStrings(lines);
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(lines.Strings(0), QStringLiteral("a"));
    EXPECT_EQ(lines.ObjectAs<TcustomTagger>(0), list.Items(0));

    list.Add(MakeRecord({QStringLiteral("0"), {}, {}, QStringLiteral("/0.mp3"), 3}));
    EXPECT_FALSE(list.Sorted());
    list.SortBy(tsTitle);
    EXPECT_EQ(titles(list), (QStringList{"0", "a", "b"}));
    list.SortBy(tsNone);
    EXPECT_EQ(titles(list), (QStringList{"0", "a", "b"}));
}

TEST(Sorting, TimeStampReadsFilesOnceAndKeepsUnreadableFilesTogether)
{
    QTemporaryDir dir;
    TtaggerList list;
    const QStringList names{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")};
    for (const QString &name : names) {
        const QString path = dir.filePath(name + QStringLiteral(".mp3"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        QThread::msleep(20);
    }
    list.Add(MakeRecord({QStringLiteral("third"), {}, {}, dir.filePath(QStringLiteral("third.mp3"))}));
    list.Add(MakeRecord({QStringLiteral("gone"), {}, {}, dir.filePath(QStringLiteral("gone.mp3"))}));
    list.Add(MakeRecord({QStringLiteral("first"), {}, {}, dir.filePath(QStringLiteral("first.mp3"))}));
    list.Add(MakeRecord({QStringLiteral("second"), {}, {}, dir.filePath(QStringLiteral("second.mp3"))}));
    list.SortBy(tsTimeStamp);
    EXPECT_EQ(titles(list), (QStringList{"gone", "first", "second", "third"}));
}

TEST(Sorting, TitleOrderIsCheckedToTheLastRecordBeforeTheSortIsSkipped)
{
    TtaggerList list;
    // Already in title order under the collator, though not by code points.
    for (const char *title : {"apple", "Banana", "cherry", "Date"})
        list.Add(MakeRecord({QString::fromUtf8(title), QString(), QString(), QStringLiteral("/m/%1.mp3").arg(title), 1, 1000}));
    list.SortBy(tsTitle);
    EXPECT_EQ(titles(list), (QStringList{"apple", "Banana", "cherry", "Date"}));

    list.Add(MakeRecord({QStringLiteral("avocado"), QString(), QString(), QStringLiteral("/m/avocado.mp3"), 1, 1000}));
    list.SortBy(tsTitle);
    EXPECT_EQ(titles(list), (QStringList{"apple", "avocado", "Banana", "cherry", "Date"}));
}

namespace {

// A list whose first `ordered` records are in title order, followed by the
// rest in an order of their own (sorted backwards, or unsorted).
struct PartlyOrdered {
    int ordered;
    int rest;
};

class TitleSortOfAPartlyOrderedList : public ::testing::TestWithParam<PartlyOrdered> {};

} // namespace

TEST_P(TitleSortOfAPartlyOrderedList, EndsInTheCollatorsOrderWithEveryRecordOnce)
{
    // Titles the collator orders otherwise than code points do: case, accents,
    // digits and equal titles.
    const QStringList words{QStringLiteral("apple"), QStringLiteral("Apple"), QStringLiteral("Äpfel"),
                            QStringLiteral("banana"), QStringLiteral("Zebra"), QStringLiteral("zeal"),
                            QStringLiteral("10 lives"), QStringLiteral("9 lives"), QStringLiteral("éclair"),
                            QStringLiteral("eclipse"), QStringLiteral("Échos")};
    QStringList all;
    for (int i = 0; i < GetParam().ordered + GetParam().rest; ++i)
        all.append(words[i % words.size()] + QString::number(i % 7));
    QCollator collator = TextCollator();
    QStringList head = all.mid(0, GetParam().ordered);
    std::sort(head.begin(), head.end(), [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    QStringList rest = all.mid(GetParam().ordered);
    std::reverse(rest.begin(), rest.end());

    TtaggerList list;
    for (const QString &title : head + rest)
        list.Add(MakeRecord({title, {}, {}, QStringLiteral("/m/") + title + QStringLiteral(".mp3")}));
    list.SortBy(tsTitle);

    const QStringList sorted = titles(list);
    for (int i = 1; i < sorted.size(); ++i)
        EXPECT_LE(collator.compare(sorted[i - 1], sorted[i]), 0) << sorted[i - 1].toStdString() << " before "
                                                                  << sorted[i].toStdString();
    QStringList expected = all;
    QStringList got = sorted;
    expected.sort();
    got.sort();
    EXPECT_EQ(got, expected);
}

INSTANTIATE_TEST_SUITE_P(OrderedHeadAndRest, TitleSortOfAPartlyOrderedList,
                         ::testing::Values(PartlyOrdered{40, 1}, PartlyOrdered{40, 5}, PartlyOrdered{30, 29},
                                           PartlyOrdered{1, 60}, PartlyOrdered{0, 33}, PartlyOrdered{60, 0}));
