#include "library/knownFiles.h"
#include "library/taggerList.h"
#include "testRecords.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

std::string encoded(const QString &text)
{
    return QFile::encodeName(text).toStdString();
}

void addRecord(TtaggerList &list, const QString &filename, quint32 high, quint32 low)
{
    Tid3Tagger *record = MakeRecord({ QStringLiteral("t"), {}, {}, filename });
    record->SetModDateHigh(high);
    record->SetModDateLow(low);
    list.Add(record);
}

// The entry of a path as the scan finds it: its folder, then its name.
const TknownFile *lookUp(const TknownFiles &table, const QString &folder, const QString &name)
{
    const TknownFolder *known = table.FindFolder(encoded(folder));
    return known ? known->Find(encoded(name)) : nullptr;
}

} // namespace

TEST(KnownFiles, ExactPathsWithTheirTimesAndPlaces)
{
    TtaggerList list;
    addRecord(list, QStringLiteral("/music/b.mp3"), 1, 2);
    addRecord(list, QStringLiteral("/music/a.mp3"), 3, 4);
    addRecord(list, QStringLiteral("/music//c.mp3"), 5, 6);
    addRecord(list, QStringLiteral("/music/Sub/Café – ü.ogg"), 7, 8);
    addRecord(list, QStringLiteral("/music/a.mp3"), 9, 9); // the same file again: the first entry holds
    const TknownFiles table(list);
    EXPECT_EQ(table.Count(), 4);

    const TknownFile *a = lookUp(table, QStringLiteral("/music/"), QStringLiteral("a.mp3"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->time, (WinFileTime { 3, 4 }));
    EXPECT_EQ(a->index, 1);
    const TknownFile *b = lookUp(table, QStringLiteral("/music/"), QStringLiteral("b.mp3"));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->index, 0);
    const TknownFile *accented = lookUp(table, QStringLiteral("/music/Sub/"), QStringLiteral("Café – ü.ogg"));
    ASSERT_TRUE(accented);
    EXPECT_EQ(accented->time, (WinFileTime { 7, 8 }));

    // Case and doubled separators make other paths.
    EXPECT_FALSE(lookUp(table, QStringLiteral("/music/"), QStringLiteral("A.mp3")));
    EXPECT_FALSE(lookUp(table, QStringLiteral("/Music/"), QStringLiteral("a.mp3")));
    EXPECT_FALSE(lookUp(table, QStringLiteral("/music/"), QStringLiteral("c.mp3")));
    EXPECT_TRUE(lookUp(table, QStringLiteral("/music//"), QStringLiteral("c.mp3")));
    EXPECT_FALSE(table.FindFolder(encoded(QStringLiteral("/music"))));
    EXPECT_FALSE(lookUp(table, QStringLiteral("/music/"), QStringLiteral("a.mp")));
    EXPECT_FALSE(lookUp(table, QStringLiteral("/music/"), QStringLiteral("a.mp3x")));

    EXPECT_EQ(TknownFiles().Count(), 0);
    EXPECT_FALSE(TknownFiles().FindFolder(encoded(QStringLiteral("/music/"))));
}

TEST(KnownFiles, TheTableOutlivesTheRecordsItWasBuiltFrom)
{
    auto list = std::make_unique<TtaggerList>();
    addRecord(*list, QStringLiteral("/music/a.mp3"), 1, 2);
    const TknownFiles table(*list);
    list.reset();
    const TknownFile *a = lookUp(table, QStringLiteral("/music/"), QStringLiteral("a.mp3"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->time, (WinFileTime { 1, 2 }));
}

TEST(KnownFiles, RecordsAreFoundAgainAsTheListStandsNow)
{
    TtaggerList list;
    addRecord(list, QStringLiteral("/music/a.mp3"), 0, 1);
    addRecord(list, QStringLiteral("/music/b.mp3"), 0, 2);
    addRecord(list, QStringLiteral("/other/b.mp3"), 0, 3);
    TcustomTagger *b = list.Items(1);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/music/b.mp3"), 1), b);

    // The hint no longer points at the record: it is searched for by name.
    list.Delete(0);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/music/b.mp3"), 1), b);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/music/b.mp3"), 99), b);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/music/b.mp3"), -1), b);

    // Gone from the list: nothing to re-read.
    list.Delete(0);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/music/b.mp3"), 1), nullptr);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/music/B.mp3"), 0), nullptr);
    EXPECT_EQ(FindKnownRecord(list, QStringLiteral("/other/b.mp3"), 0)->ModDateLow(), 3u);
}
