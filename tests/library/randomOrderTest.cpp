#include "library/mp3JukeBoxLists.h"
#include "library/randomList.h"
#include "testRecords.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>

namespace {

// Feeds the permutation drawing a known sequence of picks.
TRandomList::SlotPicker scriptedSlots(std::deque<quint32> &picks)
{
    return [&picks](quint32) {
        const quint32 slot = picks.front();
        picks.pop_front();
        return slot;
    };
}

std::vector<quint32> items(const TRandomList &list)
{
    std::vector<quint32> out;
    for (quint32 i = 0; i < list.Size(); ++i)
        out.push_back(list.Items(i));
    return out;
}

} // namespace

TEST(RandomOrder, DrawsWhenFirstUsedAfterAChangeOfSize)
{
    TRandomList order;
    std::deque<quint32> picks{3, 0, 2, 0};
    order.SetSlotPicker(scriptedSlots(picks));
    order.SetSize(7);
    order.SetSize(5);
    EXPECT_EQ(picks.size(), 4u) << "no permutation is drawn until one is used";
    // From the last place down, each place swaps with a picked one at or
    // before it: [0 1 2 4 3], [4 1 2 0 3], [4 1 2 0 3], [1 4 2 0 3].
    EXPECT_EQ(items(order), (std::vector<quint32>{1, 4, 2, 0, 3}));
    EXPECT_TRUE(picks.empty());

    order.SetSorted(true);
    order.SetSize(0);
    EXPECT_EQ(order.Size(), 1u);
    order.SetSize(4);
    EXPECT_EQ(items(order), (std::vector<quint32>{0, 1, 2, 3}));
}

TEST(RandomOrder, EveryDrawIsAPermutation)
{
    TRandomList order;
    for (quint32 size : {1u, 2u, 17u, 1000u}) {
        order.SetSize(size);
        std::vector<quint32> drawn = items(order);
        std::sort(drawn.begin(), drawn.end());
        for (quint32 i = 0; i < size; ++i)
            ASSERT_EQ(drawn[i], i);
    }
}

TEST(RandomOrder, NextTrackWalksThePermutationThenDrawsAgain)
{
    Tmp3JukeBoxLists library;
    library.SuspendRebuild();
    for (const char *title : {"t0", "t1", "t2"})
        library.MasterList().Add(MakeRecord({QString::fromLatin1(title), {}, {}, QStringLiteral("/m/x.mp3")}));
    std::deque<quint32> picks{2, 0, /* next draw */ 1, 1};
    library.RandomOrder().SetSlotPicker(scriptedSlots(picks));
    library.ResumeRebuild();
    EXPECT_EQ(library.RandomOrder().ItemIndex(), 0u);
    // First permutation [1 0 2], walked from position 1; then [0 2 1].
    QStringList played;
    for (int i = 0; i < 5; ++i)
        played.append(library.NextTrack()->Title());
    EXPECT_EQ(played, (QStringList{"t0", "t2", "t0", "t2", "t1"}));
}

TEST(RandomOrder, NextTrackPrefersActiveThenLoadedPlaylist)
{
    Tmp3JukeBoxLists library;
    library.MasterList().Add(MakeRecord({QStringLiteral("lib"), {}, {}, QStringLiteral("/m/l.mp3")}));
    EXPECT_EQ(library.NextTrack()->Title(), QStringLiteral("lib"));
    EXPECT_EQ(library.PlaylistTrack(), nullptr);

    library.LoadedPlaylist().Add(MakeRecord({QStringLiteral("loaded"), {}, {}, QStringLiteral("/m/p.mp3")}));
    EXPECT_EQ(library.NextTrack()->Title(), QStringLiteral("loaded"));

    TtagPlayListCollection &collection = library.PlaylistCollection();
    EXPECT_EQ(collection.ActiveNext(), nullptr);
    EXPECT_EQ(library.NextTrack()->Title(), QStringLiteral("loaded"));
}

TEST(RandomOrder, SearchTitlesIgnoresCaseOfPlainLettersOnly)
{
    Tmp3JukeBoxLists library;
    library.SuspendRebuild();
    library.MasterList().Add(MakeRecord({QStringLiteral("Love Song"), QStringLiteral("The Lanterns"), {}, QStringLiteral("/a.mp3")}));
    library.MasterList().Add(MakeRecord({QStringLiteral("Glove"), QStringLiteral("X"), {}, QStringLiteral("/b.mp3")}));
    library.MasterList().Add(MakeRecord({QStringLiteral("Über"), QStringLiteral("Y"), {}, QStringLiteral("/c.mp3")}));
    library.ResumeRebuild();
    TstringList found;
    int changes = 0;
    found.OnChange = [&](TComponent *) { ++changes; };
    library.SearchTitles(QStringLiteral("lOVe"), found);
    ASSERT_EQ(found.Count(), 2);
    EXPECT_EQ(found.Strings(0), QStringLiteral("Glove - X"));
    EXPECT_EQ(found.Strings(1), QStringLiteral("Love Song - The Lanterns"));
    EXPECT_EQ(found.ObjectAs<TcustomTagger>(1)->Filename(), QStringLiteral("/a.mp3"));
    library.SearchTitles(QStringLiteral("über"), found);
    EXPECT_EQ(found.Count(), 0);
    library.SearchTitles(QString(), found);
    EXPECT_EQ(found.Count(), 0);
    EXPECT_GE(changes, 2);
}
