#include "testRecords.h"

#include "library/taggerList.h"
#include "library/taggerQueue.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A queue of five invented tracks "t0".."t4" in which t1 and t3 were asked for
// by guests and the rest queued by the host; the same record t0 stands twice,
// once as the host's and once as Cleo's.
class QueueRequesters : public ::testing::Test {
protected:
    QueueRequesters()
    {
        for (int i = 0; i < 5; ++i)
            tracks.Add(MakeRecord({ QStringLiteral("t%1").arg(i), QStringLiteral("a"), {},
                QStringLiteral("/m/%1.mp3").arg(i), 0, 61000 }));
        queue.SetDisplayType(tdQueue);
        queue.Add(tracks.Items(0));
        queue.InsertRequested(9, tracks.Items(1), { 1, QStringLiteral("Anna") });
        queue.Add(tracks.Items(2));
        queue.InsertRequested(9, tracks.Items(3), { 2, QStringLiteral("Ben") });
        queue.InsertRequested(9, tracks.Items(0), { 3, QStringLiteral("Cleo") });
        queue.OnChange = [this](TComponent *) { ++changes; };
    }

    // "title:name" per row, the host's rows without a name.
    QStringList rows() const
    {
        QStringList list;
        for (int row = 0; row < queue.Count(); ++row) {
            const QString name = queue.Requester(row).name;
            list << queue.Items(row)->Title() + (name.isEmpty() ? QString() : u':' + name);
        }
        return list;
    }

    TtaggerList tracks;
    TtaggerQueue queue;
    int changes = 0;
};

TEST_F(QueueRequesters, TravelWithTheirEntries)
{
    ASSERT_EQ(rows(), (QStringList { "t0", "t1:Anna", "t2", "t3:Ben", "t0:Cleo" }));
    queue.Move(4, 0);
    queue.Move(2, 4);
    EXPECT_EQ(rows(), (QStringList { "t0:Cleo", "t0", "t2", "t3:Ben", "t1:Anna" }));
    queue.Delete(1);
    EXPECT_EQ(rows(), (QStringList { "t0:Cleo", "t2", "t3:Ben", "t1:Anna" })) << "the host's t0 went, not Cleo's";
    queue.Remove(tracks.Items(3));
    EXPECT_EQ(rows(), (QStringList { "t0:Cleo", "t2", "t1:Anna" }));
    TqueueRequester who;
    EXPECT_EQ(queue.Pop(&who).get(), tracks.Items(0));
    EXPECT_EQ(who, (TqueueRequester { 3, QStringLiteral("Cleo") }));
    queue.Pop(&who);
    EXPECT_FALSE(who.IsGuest());
    EXPECT_EQ(changes, 6) << "one change per operation";
    queue.Clear();
    queue.Pop(&who);
    EXPECT_FALSE(who.IsGuest()) << "an empty queue gives nobody";
}

TEST_F(QueueRequesters, AnInsertedRequestIsOneChange)
{
    queue.InsertRequested(1, tracks.Items(4), { 1, QStringLiteral("Anna") });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(rows().at(1), QStringLiteral("t4:Anna"));
    queue.InsertRequested(-3, tracks.Items(4), { 2, QStringLiteral("Ben") });
    EXPECT_EQ(rows().at(0), QStringLiteral("t4:Ben")) << "a row before the start is the start";
    EXPECT_EQ(tracks.Items(4)->Holders(), 3u) << "the list and both entries hold it";
}

TEST_F(QueueRequesters, TheQueueListNamesTheGuest)
{
    EXPECT_EQ(queue.DisplayText(1), QStringLiteral("002: t1 - a [1:01]  (for Anna)"));
    EXPECT_EQ(queue.DisplayText(2), QStringLiteral("003: t2 - a [1:01]"));
    TstringList strings;
    queue.FillStringsAsStored(strings);
    EXPECT_EQ(strings.Strings(3), QStringLiteral("004: t3 - a [1:01]  (for Ben)"));
}

TEST_F(QueueRequesters, TheListsOwnOperationsCarryThemToo)
{
    TcustomTaggerList &list = queue;
    list.MoveDown(1);
    list.Move(4, 0);
    EXPECT_EQ(rows(), (QStringList { "t0:Cleo", "t0", "t2", "t1:Anna", "t3:Ben" }));
    list.Delete(0);
    EXPECT_EQ(rows(), (QStringList { "t0", "t2", "t1:Anna", "t3:Ben" }));
    // A copy of a list is new entries: all of them the host's.
    TtaggerList other;
    other.SetFreeOnDestroy(false);
    other.Add(tracks.Items(1));
    list.AssignPlaylist(other);
    EXPECT_EQ(rows(), (QStringList { "t1" }));
    list.Clear();
    list.Add(tracks.Items(2));
    EXPECT_EQ(rows(), (QStringList { "t2" }));
}

// A guest's request is handled on the GUI thread between events; one that
// arrives while the host queues an album finds the album queued whole.
TEST(QueueAlbum, AGuestsRequestWaitsForTheWholeAlbum)
{
    constexpr int kTracks = 200;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TtaggerList album;
    for (int i = 0; i < kTracks; ++i) {
        const QString file = dir.filePath(QStringLiteral("%1.mp3").arg(i));
        ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
        album.Add(MakeRecord({ QStringLiteral("t%1").arg(i), QStringLiteral("a"), {}, file, 0, 61000 }));
    }
    TtaggerQueue queue;
    int queuedWhenAsked = -1;
    QTimer::singleShot(0, [&] {
        queuedWhenAsked = queue.Count();
        queue.InsertRequested(9, album.Items(0), { 1, QStringLiteral("Anna") });
    });
    queue.AddExisting(album);
    QCoreApplication::processEvents();
    EXPECT_EQ(queuedWhenAsked, kTracks);
    ASSERT_EQ(queue.Count(), kTracks + 1);
    EXPECT_EQ(queue.Requester(9).name, QStringLiteral("Anna"));
}

} // namespace
