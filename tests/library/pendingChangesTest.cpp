// How the folder watcher coalesces what it sees, step by step in time.
#include "library/pendingChanges.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

class PendingChanges : public ::testing::Test {
protected:
    TpendingChanges::Time at(int ms) const { return start + milliseconds(ms); }

    // An event the watcher sees at a time.
    void on(int ms, std::function<void(TpendingChanges &, TpendingChanges::Time)> event)
    {
        events.emplace_back(ms, std::move(event));
    }
    void written(int ms, const char *path, bool closed)
    {
        on(ms, [=](TpendingChanges &p, TpendingChanges::Time t) { p.Written(QString::fromUtf8(path), closed, t); });
    }

    // Lets time pass from..to in steps of 10 ms: the events come at their
    // times, and a batch is taken at each step; the batches taken, each as
    // "time: written ..., removed ..., moved ...".
    QStringList run(int from, int to)
    {
        std::stable_sort(events.begin(), events.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        size_t next = 0;
        QStringList batches;
        for (int ms = from; ms <= to; ms += 10) {
            for (; next < events.size() && events[next].first <= ms; ++next)
                events[next].second(pending, at(events[next].first));
            TfolderChanges changes = pending.Take(at(ms));
            if (changes.IsEmpty())
                continue;
            QStringList parts;
            for (const TwrittenFile &file : changes.written)
                parts.append(QStringLiteral("written ") + file.path);
            for (const QString &path : changes.removedFiles)
                parts.append(QStringLiteral("removed ") + path);
            for (const TmovedPath &move : changes.moves)
                parts.append(QStringLiteral("moved ") + move.from + QStringLiteral(" to ") + move.to);
            for (const QString &folder : changes.removedFolders)
                parts.append(QStringLiteral("removed folder ") + folder);
            for (const QString &folder : changes.lostFolders)
                parts.append(QStringLiteral("lost ") + folder);
            batches.append(QString::number(ms) + QStringLiteral(": ") + parts.join(QStringLiteral(", ")));
        }
        return batches;
    }

    const TpendingChanges::Time start = TpendingChanges::Clock::now();
    TpendingChanges pending;
    std::vector<std::pair<int, std::function<void(TpendingChanges &, TpendingChanges::Time)>>> events;
};

} // namespace

TEST_F(PendingChanges, AnAlbumCopiedInIsOneBatchOnceTheLastFileIsComplete)
{
    // Files seen being written and closed over 100 ms, and three found
    // already in the new folder (nobody saw them closed).
    for (int i = 0; i < 20; ++i) {
        const QString path = QStringLiteral("/m/album/%1.mp3").arg(i, 2, 10, QLatin1Char('0'));
        if (i < 3) {
            on(0, [=](TpendingChanges &p, TpendingChanges::Time t) { p.Written(path, false, t); });
            continue;
        }
        on(i * 5, [=](TpendingChanges &p, TpendingChanges::Time t) { p.Written(path, false, t); });
        on(i * 5 + 2, [=](TpendingChanges &p, TpendingChanges::Time t) { p.Written(path, true, t); });
    }
    const QStringList batches = run(0, 3000);
    ASSERT_EQ(batches.size(), 1) << batches.join(u'\n').toStdString();
    // Those found already there are complete once unchanged for a second.
    EXPECT_TRUE(batches[0].startsWith(QStringLiteral("1000: "))) << batches[0].toStdString();
    EXPECT_EQ(batches[0].count(QStringLiteral("written")), 20);
    EXPECT_TRUE(pending.IsEmpty());
}

TEST_F(PendingChanges, AFileWrittenSlowlyIsReportedOnceAfterItIsClosed)
{
    for (int ms = 0; ms < 3000; ms += 500)
        written(ms, "/m/slow.mp3", false);
    written(3000, "/m/slow.mp3", true);
    EXPECT_EQ(run(0, 5000), QStringList { QStringLiteral("3250: written /m/slow.mp3") });
}

TEST_F(PendingChanges, AFileNobodyClosesIsCompleteWhenUnchangedForASecond)
{
    written(0, "/m/mapped.mp3", false);
    written(400, "/m/mapped.mp3", false);
    EXPECT_EQ(run(0, 3000), QStringList { QStringLiteral("1400: written /m/mapped.mp3") });
}

TEST_F(PendingChanges, WhatIsReadyWaitsForAStreamOfEventsAtMostASecond)
{
    written(0, "/m/a.mp3", true);
    // Another file keeps changing, never complete within the run.
    for (int ms = 0; ms <= 3000; ms += 100)
        written(ms, "/m/busy.mp3", false);
    EXPECT_EQ(run(0, 3000), QStringList { QStringLiteral("1250: written /m/a.mp3") });
}

TEST_F(PendingChanges, RenamesKeepTheirOrderAndCarryWhatIsPendingBelowThem)
{
    // A file still being written in a folder that is renamed, then a file
    // renamed in the renamed folder.
    written(0, "/m/a/1.mp3", false);
    on(10, [](TpendingChanges &p, TpendingChanges::Time t) {
        p.Moved(QStringLiteral("/m/a/"), QStringLiteral("/m/b/"), true, t);
    });
    on(20, [](TpendingChanges &p, TpendingChanges::Time t) {
        p.Moved(QStringLiteral("/m/b/2.mp3"), QStringLiteral("/m/b/3.mp3"), false, t);
    });
    EXPECT_EQ(run(0, 3000),
        QStringList {
            QStringLiteral("1000: written /m/b/1.mp3, moved /m/a/ to /m/b/, moved /m/b/2.mp3 to /m/b/3.mp3") });
}

TEST_F(PendingChanges, AFileWrittenThenRenamedIsReadUnderItsNewName)
{
    written(0, "/m/x.mp3", true);
    on(50, [](TpendingChanges &p, TpendingChanges::Time t) {
        p.Moved(QStringLiteral("/m/x.mp3"), QStringLiteral("/m/y.mp3"), false, t);
    });
    EXPECT_EQ(run(0, 2000), QStringList { QStringLiteral("300: written /m/y.mp3, moved /m/x.mp3 to /m/y.mp3") });
}

TEST_F(PendingChanges, ADeletedFileWrittenAgainIsWrittenAndAFileWrittenThenDeletedIsRemoved)
{
    on(0, [](TpendingChanges &p, TpendingChanges::Time t) { p.Removed(QStringLiteral("/m/again.mp3"), t); });
    written(20, "/m/again.mp3", true);
    written(0, "/m/gone.mp3", true);
    on(20, [](TpendingChanges &p, TpendingChanges::Time t) { p.Removed(QStringLiteral("/m/gone.mp3"), t); });
    EXPECT_EQ(run(0, 2000), QStringList { QStringLiteral("270: written /m/again.mp3, removed /m/gone.mp3") });
}

TEST_F(PendingChanges, WhatIsPendingBelowARemovedOrLostFolderGoesWithIt)
{
    written(0, "/m/gone/1.mp3", true);
    on(0, [](TpendingChanges &p, TpendingChanges::Time t) { p.Removed(QStringLiteral("/m/drive/2.mp3"), t); });
    written(0, "/m/kept/3.mp3", true);
    on(10, [](TpendingChanges &p, TpendingChanges::Time t) {
        p.RemovedFolder(QStringLiteral("/m/gone/"), t);
        p.RemovedFolder(QStringLiteral("/m/drive/sub/"), t);
    });
    on(20, [](TpendingChanges &p, TpendingChanges::Time t) { p.Lost(QStringLiteral("/m/drive/"), t); });
    EXPECT_EQ(run(0, 2000),
        QStringList { QStringLiteral("270: written /m/kept/3.mp3, removed folder /m/gone/, lost /m/drive/") });
}
