#include "library/taggerList.h"
#include "library/taggerQueue.h"
#include "testRecords.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &name, const QByteArray &data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A socket file: it exists, but opening it for reading fails, for every user.
int makeUnreadableFile(const QString &name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    std::memcpy(address.sun_path, path.constData(), std::min(size_t(path.size()), sizeof address.sun_path - 1));
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    return fd;
}

} // namespace

TEST(TrackLists, DisplayTextsInEveryForm)
{
    TtaggerList list;
    list.Add(MakeRecord({QStringLiteral("A"), QStringLiteral("B"), {}, QStringLiteral("/m/a.mp3"), 7, 225400}));
    list.Add(MakeRecord({QStringLiteral("x"), {}, {}, QStringLiteral("/music/x.mp3")}));
    list.SetDisplayType(tdTitle);
    EXPECT_EQ(list.DisplayText(0), QStringLiteral("A"));
    list.SetDisplayType(tdArtistTitle);
    EXPECT_EQ(list.DisplayText(0), QStringLiteral("B - A"));
    list.SetDisplayType(tdTitleArtist);
    EXPECT_EQ(list.DisplayText(0), QStringLiteral("A - B"));
    list.SetDisplayType(tdTrackTitle);
    EXPECT_EQ(list.DisplayText(0), QStringLiteral("07: A"));
    list.SetDisplayType(tdTrackArtistTitle);
    EXPECT_EQ(list.DisplayText(0), QStringLiteral("07: B - A"));
    EXPECT_EQ(list.DisplayText(1), QStringLiteral("x.mp3"));
    list.SetDisplayType(tdQueue);
    EXPECT_EQ(list.DisplayText(1), QStringLiteral("002: x.mp3"));
    for (int i = 0; i < 8; ++i)
        list.Add(MakeRecord({QStringLiteral("t"), QStringLiteral("a"), {}, QStringLiteral("/m/t.mp3")}));
    list.Move(0, 9);
    EXPECT_EQ(list.DisplayText(9), QStringLiteral("010: A - B [3:45]"));
    EXPECT_EQ(MinutesSecondsText(2500), QStringLiteral("0:02"));
    EXPECT_EQ(MinutesSecondsText(3500), QStringLiteral("0:04"));
}

TEST(TrackLists, ChangeEventsAndUpdateBatching)
{
    TtaggerList list;
    int changes = 0;
    TComponent *sender = nullptr;
    list.OnChange = [&](TComponent *s) {
        ++changes;
        sender = s;
    };
    list.Add(MakeRecord({QStringLiteral("a"), {}, {}, QStringLiteral("/a.mp3")}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &list);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(MakeRecord({QStringLiteral("b"), {}, {}, QStringLiteral("/b.mp3")}));
    list.Add(MakeRecord({QStringLiteral("c"), {}, {}, QStringLiteral("/c.mp3")}));
    EXPECT_EQ(changes, 1);
    list.EndUpdate(); // not counted: one EndUpdate ends both
    EXPECT_EQ(changes, 2);
    list.EndUpdate(); // unbalanced still raises
    EXPECT_EQ(changes, 3);

    list.MoveUp(0);
    list.MoveDown(2);
    list.Move(0, 3);
    list.Delete(-1);
    list.Delete(3);
    EXPECT_EQ(changes, 3);

    list.Move(0, 2);
    EXPECT_EQ(list.Items(2)->Title(), QStringLiteral("a"));
    EXPECT_EQ(changes, 4);
    list.MoveUp(2);
    EXPECT_EQ(list.Items(1)->Title(), QStringLiteral("a"));

    list.OnChange = nullptr;
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TrackLists, ListsThatOwnRecordsHoldThemAndTheLastHolderFreesThem)
{
    // As the player holds the record it plays.
    TtaggerRef playing(MakeRecord({QStringLiteral("kept"), {}, {}, QStringLiteral("/k.mp3")}));
    {
        TtaggerQueue queue;
        queue.Add(playing.get());
        queue.Add(playing.get()); // the same record queued twice
        EXPECT_EQ(queue.Count(), 2);
        EXPECT_EQ(playing->Holders(), 3u);
        queue.Delete(0);
        EXPECT_EQ(queue.Items(0), playing.get());
        const TtaggerRef popped = queue.Pop();
        EXPECT_EQ(popped.get(), playing.get());
        EXPECT_EQ(queue.Count(), 0);
        EXPECT_EQ(playing->Holders(), 2u);
    }
    EXPECT_EQ(playing->Holders(), 1u);
    {
        TtaggerList notOwning;
        notOwning.SetFreeOnDestroy(false);
        notOwning.Add(playing.get());
        EXPECT_EQ(playing->Holders(), 1u);
        // Starting to own holds what is there; stopping lets go without freeing.
        notOwning.SetFreeOnDestroy(true);
        EXPECT_EQ(playing->Holders(), 2u);
        notOwning.SetFreeOnDestroy(false);
        EXPECT_EQ(playing->Holders(), 1u);
        // Nothing would free a copy it made: it makes none.
        EXPECT_EQ(notOwning.AddCopy(playing.get()), nullptr);
        EXPECT_EQ(notOwning.AddFile(QStringLiteral("/no/such/file.mp3")), nullptr);
        EXPECT_EQ(notOwning.Count(), 1);
        notOwning.Remove(playing.get());
        EXPECT_EQ(notOwning.Count(), 0);
    }
    // The library takes it over; the player lets go; the library frees it
    // (the sanitizer build checks both the access and the leak).
    TtaggerList owning;
    EXPECT_TRUE(owning.FreeOnDestroy());
    owning.Add(playing.get());
    playing.reset();
    EXPECT_EQ(owning.Items(0)->Title(), QStringLiteral("kept"));
    EXPECT_EQ(owning.Items(0)->Holders(), 1u);
}

TEST(TrackLists, CopiesAndPlaylistAssignmentDoNotShareRecords)
{
    TtaggerList source;
    source.Add(MakeRecord({QStringLiteral("one"), QStringLiteral("Art"), {}, QStringLiteral("/m/1.mp3"), 1, 1000}));
    source.Add(MakeRecord({QStringLiteral("two"), QStringLiteral("art"), {}, QStringLiteral("/m/2.ogg"), 2, 2500}));
    source.Add(MakeRecord({QStringLiteral("skip"), QStringLiteral("x"), {}, QStringLiteral("/m/3.wav"), 3, 99}));
    TtaggerList copy;
    int changes = 0;
    copy.OnChange = [&](TComponent *) { ++changes; };
    copy.AssignPlaylist(source);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(copy.Count(), 2); // no record class for ".wav"
    EXPECT_NE(copy.Items(0), source.Items(0));
    EXPECT_EQ(copy.Items(1)->Title(), QStringLiteral("two"));
    EXPECT_STREQ(copy.Items(1)->ClassName(), "ToggTagger");
    EXPECT_DOUBLE_EQ(copy.TotalDuration(), 3500);
    EXPECT_EQ(source.ArtistCount(), 2);
}

TEST(TrackLists, TextFilesAreFileNameListsWrittenWithCrLf)
{
    QTemporaryDir dir;
    TtaggerList list;
    list.Add(MakeRecord({QStringLiteral("a"), {}, {}, dir.filePath(QStringLiteral("ä b.mp3"))}));
    list.Add(MakeRecord({QStringLiteral("b"), {}, {}, dir.filePath(QStringLiteral("c.mp3"))}));
    const QString textFile = dir.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(list.SaveToTextFile(textFile));
    EXPECT_EQ(readAll(textFile), (dir.filePath(QStringLiteral("ä b.mp3")) + QStringLiteral("\r\n") +
                                  dir.filePath(QStringLiteral("c.mp3")) + QStringLiteral("\r\n"))
                                     .toUtf8());
    EXPECT_FALSE(list.SaveToTextFile(dir.filePath(QStringLiteral("no/such/folder.txt"))));

    TtaggerList missing;
    missing.LoadFromTextFile(dir.filePath(QStringLiteral("absent.txt")), false);
    EXPECT_EQ(missing.Count(), 0);
}

TEST(TrackLists, AddFileListSkipsMissingAndUnreadableFilesAndFinishes)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.mp3"));
    const QString broken = dir.filePath(QStringLiteral("broken.mp3"));
    const QString later = dir.filePath(QStringLiteral("later.mp3"));
    writeFile(good, QByteArray(400, 'x'));
    const int socket = makeUnreadableFile(broken); // the reader fails on this one
    writeFile(later, QByteArray(400, 'y'));

    TtaggerList list;
    list.SetKeepUntagged(true);
    std::vector<int> progress;
    int starts = 0, finishes = 0, changes = 0;
    list.OnListProcessStart = [&](TComponent *, int count) { starts += count; };
    list.OnListProcess = [&](TComponent *, int index) { progress.push_back(index); };
    list.OnListProcessFinished = [&](TComponent *) { ++finishes; };
    list.OnChange = [&](TComponent *) { ++changes; };
    list.AddFileList({good, dir.filePath(QStringLiteral("gone.mp3")), broken, later,
                      dir.filePath(QStringLiteral("notes.txt"))},
                     false, false);
    EXPECT_EQ(starts, 5);
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(finishes, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(list.Updating());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Filename(), good);
    EXPECT_EQ(list.Items(1)->Filename(), later);
    ::close(socket);
}

TEST(PlayQueue, PopAddExistingAndOneChangePerOperation)
{
    QTemporaryDir dir;
    TtaggerList album;
    for (int i = 0; i < 3; ++i) {
        const QString name = dir.filePath(QStringLiteral("%1.mp3").arg(i));
        writeFile(name, "data");
        album.Add(MakeRecord({QStringLiteral("t%1").arg(i), QStringLiteral("a"), {}, name, quint32(i + 1)}));
    }
    QFile::remove(album.Items(1)->Filename());

    TtaggerQueue queue;
    int changes = 0;
    queue.OnChange = [&](TComponent *) { ++changes; };
    EXPECT_FALSE(queue.Pop());
    EXPECT_EQ(changes, 1);

    queue.AddExisting(album);
    EXPECT_EQ(changes, 2);
    ASSERT_EQ(queue.Count(), 2);
    EXPECT_EQ(queue.Items(0), album.Items(0));
    EXPECT_EQ(queue.Items(1), album.Items(2));

    queue.AddExisting(queue); // queuing the queue itself doubles it
    EXPECT_EQ(queue.Count(), 4);

    EXPECT_EQ(queue.Pop().get(), album.Items(0));
    EXPECT_EQ(changes, 4);
    queue.Clear();
    EXPECT_EQ(album.Count(), 3); // the records stay in their list
}

TEST(TrackLists, ShuffleKeepsEveryRecordOnceInOneChange)
{
    TtaggerList list;
    std::vector<const TcustomTagger *> before;
    for (int i = 0; i < 200; ++i) {
        list.Add(MakeRecord({QStringLiteral("t%1").arg(i, 3, 10, QLatin1Char('0')), {}, {},
                             QStringLiteral("/m/%1.mp3").arg(i)}));
        before.push_back(list.Items(i));
    }
    list.SortBy(tsTitle);
    ASSERT_TRUE(list.Sorted());
    int changes = 0;
    list.OnChange = [&](TComponent *) { ++changes; };
    list.Shuffle();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(list.Sorted());
    std::vector<const TcustomTagger *> after(list.Records().begin(), list.Records().end());
    EXPECT_NE(after, before) << "200 records kept in order by chance";
    std::sort(after.begin(), after.end());
    std::sort(before.begin(), before.end());
    EXPECT_EQ(after, before);
    for (const TcustomTagger *record : list.Records())
        EXPECT_EQ(record->Holders(), 1u);
}
