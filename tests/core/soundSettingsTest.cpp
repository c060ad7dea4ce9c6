// The sound settings as vorlen.ini keeps them: defaults for a user of an
// older version, every key back as written, damaged values.
#include "core/soundControl.h"
#include "platform/iniFile.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundSettings, AFileWithoutThemPlaysAsBefore)
{
    TiniFile ini;
    ini.SetText("[CrossFader]\nFadeInTime=3000\n");
    const TsoundSettings s = ReadSoundSettings(ini);
    EXPECT_EQ(s.GainMode, gmOff) << "the file's own loudness, as every older version played it";
    EXPECT_EQ(s.TargetLoudness, -18);
    EXPECT_EQ(s.PreAmp, 0);
    EXPECT_TRUE(s.Gapless);
    EXPECT_TRUE(s.FadesMeetMusic);
}

TEST(SoundSettings, EveryKeyRoundTripsBesideTheFadeSettings)
{
    TiniFile ini;
    ini.SetText("[CrossFader]\nFadeInTime=3000\n");
    TsoundSettings s;
    s.GainMode = gmAuto;
    s.TargetLoudness = -23;
    s.PreAmp = -4;
    s.Gapless = false;
    s.FadesMeetMusic = false;
    WriteSoundSettings(ini, s);
    TiniFile again;
    again.SetText(ini.Text());
    EXPECT_EQ(ReadSoundSettings(again), s);
    EXPECT_EQ(again.ReadInteger(QStringLiteral("CrossFader"), QStringLiteral("FadeInTime"), 0), 3000);
}

struct Damaged {
    const char *text;
    TgainMode mode;
    int target;
    int preAmp;
};

class DamagedSoundSettingsTest : public ::testing::TestWithParam<Damaged> { };

TEST_P(DamagedSoundSettingsTest, TakeTheDefaultOrTheNearestAllowed)
{
    TiniFile ini;
    ini.SetText(QByteArray("[CrossFader]\n") + GetParam().text);
    const TsoundSettings s = ReadSoundSettings(ini);
    EXPECT_EQ(s.GainMode, GetParam().mode);
    EXPECT_EQ(s.TargetLoudness, GetParam().target);
    EXPECT_EQ(s.PreAmp, GetParam().preAmp);
}

INSTANTIATE_TEST_SUITE_P(Values, DamagedSoundSettingsTest,
    ::testing::Values(Damaged { "GainMode=loud\nTargetLoudness=x\nPreAmp=\n", gmOff, -18, 0 },
        Damaged { "GainMode=9\nTargetLoudness=-99\nPreAmp=40\n", gmAuto, -30, 12 },
        Damaged { "GainMode=-2\nTargetLoudness=0\nPreAmp=-40\n", gmOff, -10, -12 },
        Damaged { "GainMode=2\nTargetLoudness=-14\nPreAmp=3\n", gmAlbum, -14, 3 }));

} // namespace
