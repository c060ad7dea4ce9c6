#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "library/tagPlaylist.h"
#include "platform/pendingEvents.h"
#include "playback/crossPlayer.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A core whose player plays a track that only a playlist holds: the
// operations below each let go of that playlist's records while it plays.
struct RecordsInUse : ::testing::Test {
    TcoreTestFolder folder;
    QString listed;
    QString other;
    QString list;
    QString otherList;
    std::unique_ptr<TrecordedCore> run;
    TdmMain *core = nullptr;

    void SetUp() override
    {
        listed = folder.addTrack(QStringLiteral("list/a.mp3"), QStringLiteral("Listed"), QStringLiteral("L"),
                                 QStringLiteral("Album"), 1, 440, 2.0);
        other = folder.addTrack(QStringLiteral("list/b.mp3"), QStringLiteral("Other"), QStringLiteral("O"),
                                QStringLiteral("Album"), 2, 660, 2.0);
        list = folder.writeM3u(QStringLiteral("list.m3u"), { listed });
        otherList = folder.writeM3u(QStringLiteral("other.m3u"), { other });
        run = std::make_unique<TrecordedCore>(folder.options());
        core = &run->core;
        // The tracks are shorter than a cross-fade: left to its timer, the
        // player would move on while the test looks at what it plays.
        DrivenPlayer(*core).Timer().SetEnabled(false);
        core->StartUp();
    }

    void expectStillPlayingListed()
    {
        ASSERT_EQ(core->Player().GetState(), ssPlaying);
        ASSERT_NE(core->Player().CurrentTrack(), nullptr);
        // The sanitizer build fails here when the record was freed.
        EXPECT_EQ(core->Player().CurrentTrack()->Title(), QStringLiteral("Listed"));
        // The stream goes on playing from its file.
        const qint64 before = core->Player().CurrentStream()->GetPosition();
        DrivenPlayer(*core).Engine().pump(4410);
        EXPECT_EQ(core->Player().CurrentStream()->GetPosition(), before + 100);
        EXPECT_EQ(core->Player().CurrentTrack()->Filename(), listed);
        core->Stop();
    }
};

using Operation = std::function<void(TdmMain &)>;

} // namespace

TEST_F(RecordsInUse, ReplacingTheLoadedPlaylistSparesTheRecordThatPlays)
{
    const std::vector<std::pair<const char *, Operation>> operations{
        {"genre rule",
         [](TdmMain &c) { c.ApplyPlaylistRule(prGenres, {}, false, {QStringLiteral("Rock")}); }},
        {"playlist file rule", [this](TdmMain &c) { c.ApplyPlaylistRule(prM3uFile, otherList, true, {}); }},
        {"no rule", [](TdmMain &c) { c.ApplyPlaylistRule(prNone, {}, false, {}); }},
        {"copy to jukebox",
         [this](TdmMain &c) {
             TtagPlaylist editing;
             editing.LoadFromM3U(otherList);
             c.CopyToJukebox(editing);
         }},
        {"deactivate playlists", [](TdmMain &c) { c.DeactivatePlaylists(); }},
    };
    for (const auto &[name, operation] : operations) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(core->ApplyPlaylistRule(prM3uFile, list, false, {}));
        core->Play();
        ASSERT_EQ(core->jblMain().LoadedPlaylist().Count(), 1);
        operation(*core);
        expectStillPlayingListed();
    }
}

TEST_F(RecordsInUse, ChangingThePreloadedPlaylistsSparesTheRecordThatPlays)
{
    const std::vector<std::pair<const char *, Operation>> operations {
        { "delete", [](TdmMain &c) { c.DeletePreloadedPlaylist(0); } },
        { "reload", [this](TdmMain &c) { EXPECT_TRUE(c.ReloadPreloadedPlaylist(0, otherList, false, true)); } },
        // The settings pass reads the playlist index afresh (there is none).
        { "reload the index", [](TdmMain &c) { c.LoadSettings(); } },
    };
    for (const auto &[name, operation] : operations) {
        SCOPED_TRACE(name);
        while (core->jblMain().PlaylistCollection().Count() > 0)
            core->DeletePreloadedPlaylist(0);
        ASSERT_TRUE(core->AddPreloadedPlaylist(QStringLiteral("Party"), list, false, true));
        core->ActivatePlaylist(QStringLiteral("Party"));
        core->Play();
        operation(*core);
        expectStillPlayingListed();
    }
}

TEST_F(RecordsInUse, QueuedAndPlayingRecordsOutliveARescanThatDropsThem)
{
    run->face.Watch(&core->jblMain());
    core->AddScannedFiles({listed, other}, false);
    ProcessPendingEvents();
    EXPECT_GT(run->face.TouchHeldPointers(), 0) << "the window holds the library's objects";
    core->QueueRecords(core->jblMain().MasterList().Records());
    core->Play();
    ASSERT_EQ(core->Player().GetState(), ssPlaying);
    const QString playing = core->Player().CurrentTrack()->Title();

    // Both files vanish and a rescan drops them. While the rescan runs the
    // window is kept busy (its held pointers are read at every pending
    // event); it must have been told to let go before anything was freed.
    run->face.log.clear();
    ASSERT_TRUE(QFile::remove(listed));
    ASSERT_TRUE(QFile::remove(other));
    const QString fresh = folder.addTrack(QStringLiteral("new/c.mp3"), QStringLiteral("Fresh"), QStringLiteral("F"),
                                          QStringLiteral("New"), 1);
    core->AddScannedFiles({fresh}, true);
    ASSERT_FALSE(run->face.log.isEmpty());
    EXPECT_EQ(run->face.log.first(), QStringLiteral("LibraryChanging"));
    EXPECT_EQ(run->face.log.last(), QStringLiteral("ListsUpdated"));
    EXPECT_EQ(core->jblMain().MasterList().Count(), 1);
    EXPECT_EQ(run->face.records.size(), 2u) << "the window holds the new library's record (album and artist)";

    EXPECT_EQ(core->Player().CurrentTrack()->Title(), playing);
    ASSERT_EQ(core->tqQueue().Count(), 1);
    EXPECT_FALSE(core->tqQueue().Items(0)->Title().isEmpty());
    // The vanished queued file is passed over for the library's new track.
    TtaggerRef next;
    core->ChooseNextTrack(next);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->Title(), QStringLiteral("Fresh"));
    core->Stop();
}

TEST_F(RecordsInUse, VanishedLibraryFilesArePassedOverWithoutAMessage)
{
    const QString third = folder.addTrack(QStringLiteral("x/c.mp3"), QStringLiteral("Third"), QStringLiteral("T"),
                                          QStringLiteral("X"), 1);
    core->AddScannedFiles({listed, other, third}, false);
    ASSERT_TRUE(QFile::remove(listed));
    ASSERT_TRUE(QFile::remove(third));
    for (int i = 0; i < 6; ++i) {
        TtaggerRef track;
        core->ChooseNextTrack(track);
        ASSERT_TRUE(track);
        EXPECT_EQ(track->Title(), QStringLiteral("Other"));
    }
    EXPECT_TRUE(run->ui.notices.isEmpty());
    EXPECT_TRUE(run->ui.messages.isEmpty());

    // With nothing left to play, the notice comes without stopping anyone.
    ASSERT_TRUE(QFile::remove(other));
    TtaggerRef none;
    core->ChooseNextTrack(none);
    EXPECT_FALSE(none);
    EXPECT_EQ(run->ui.notices.size(), 1);
    EXPECT_TRUE(run->ui.messages.isEmpty());
}

TEST_F(RecordsInUse, PauseResumesAndSkipWaitsWhileAStreamOpensOrStops)
{
    core->AddScannedFiles({listed, other}, false);
    core->QueueFile(listed);
    core->QueueFile(other);
    core->Play();
    ASSERT_EQ(core->Player().GetState(), ssPlaying);
    EXPECT_EQ(core->Player().CurrentTrack()->Title(), QStringLiteral("Listed"));
    core->Pause();
    EXPECT_EQ(core->Player().GetState(), ssPaused);
    core->Pause();
    EXPECT_EQ(core->Player().GetState(), ssPlaying);

    core->Skip();
    EXPECT_EQ(core->Player().GetState(), ssPlaying);
    EXPECT_EQ(core->Player().CurrentTrack()->Title(), QStringLiteral("Other"));
    EXPECT_EQ(core->tqQueue().Count(), 0);

    // A stream still opening: Skip leaves it alone and asks for nothing.
    core->QueueFile(listed);
    const TtaggerRef gone(new TcustomTagger);
    gone->SetFilename(folder.music() + QStringLiteral("/gone.mp3"));
    core->Player().CurrentStream()->Load(gone.get());
    ASSERT_EQ(core->Player().GetState(), ssLoading);
    core->Skip();
    EXPECT_EQ(core->Player().GetState(), ssLoading);
    EXPECT_EQ(core->tqQueue().Count(), 1);
    core->Stop();
}

// What the core announces as playing holds its record: a face that looks at
// it between two announcements (a guest's call, a window's refresh on its
// clock) reaches the record even when the library dropped it meanwhile. A
// stop clears it at once, not at the player's next tick, so that nothing is
// shown as playing that no longer plays and nothing keeps a dropped record.
TEST_F(RecordsInUse, WhatIsAnnouncedAsPlayingOutlivesTheLibraryAndEndsWithTheStop)
{
    core->AddScannedFiles({listed, other}, false);
    for (const bool stopFirst : {false, true}) {
        SCOPED_TRACE(stopFirst ? "stopped, then dropped" : "dropped while playing");
        ASSERT_TRUE(core->QueueFile(listed));
        core->Play();
        ASSERT_EQ(core->Player().GetState(), ssPlaying);
        ASSERT_TRUE(core->NowPlaying().track);
        if (stopFirst)
            core->Stop();
        // The file goes, and a scan drops its record from the library.
        const QString moved = listed + QStringLiteral(".away");
        ASSERT_TRUE(QFile::rename(listed, moved));
        core->AddScannedFiles({}, true);
        ASSERT_EQ(core->jblMain().MasterList().Count(), 1);
        if (!stopFirst) {
            // The sanitizer build fails here when the record was freed.
            EXPECT_EQ(core->NowPlaying().track->Title(), QStringLiteral("Listed"));
            core->Stop();
        }
        EXPECT_FALSE(core->NowPlaying().track);
        EXPECT_EQ(core->NowPlaying().stream, nullptr);
        EXPECT_EQ(run->face.tracks.constLast(), QString()) << "the stop is announced at once";
        ASSERT_TRUE(QFile::rename(moved, listed));
        core->AddScannedFiles({listed}, false);
    }
}
