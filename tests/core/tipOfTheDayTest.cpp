#include "core/tipOfTheDay.h"
#include "core/coreSettings.h"

#include <gtest/gtest.h>

TEST(TipOfTheDay, TheComponentKeepsItsNumberAndFlagInTheSettings)
{
    TcoreSettings settings;
    settings.TipNo = 4;
    TTipDialog tips(settings);
    EXPECT_TRUE(tips.ShowAtStart());
    EXPECT_EQ(tips.TipNo(), 4);
    ASSERT_EQ(tips.Tips().size(), 12);
    EXPECT_TRUE(tips.Tips()[5].contains(QStringLiteral("the window called \"Vorlen Mp3 Jukebox\".  Details")));

    // Without a dialog to show, or when it cannot be shown, nothing changes.
    EXPECT_TRUE(tips.Execute());
    tips.OnShowDialog = [](TtipDialogState &state) {
        state.Next();
        state.ShowAtStart = false;
        return false;
    };
    EXPECT_TRUE(tips.Execute());
    EXPECT_EQ(settings.TipNo, 4);
    EXPECT_TRUE(settings.ShowTips);

    // The dialog gets its own copy of the list, on screen at the stored number.
    QStringList seen;
    tips.OnShowDialog = [&](TtipDialogState &state) {
        seen << state.TipText();
        state.Next();
        state.Next();
        seen << state.TipText();
        state.ShowAtStart = false;
        return true;
    };
    tips.SetTips(
        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")});
    EXPECT_TRUE(tips.Execute());
    EXPECT_EQ(seen, (QStringList{"e", "b"}));
    EXPECT_EQ(settings.TipNo, 1);
    EXPECT_FALSE(settings.ShowTips);
}
