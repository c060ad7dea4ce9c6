#include "playback/dynamicLibrary.h"
#include "playback/visSurface.h"
#include "tinyvis.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// The shipped plug-in driven through its C interface alone, as any host would.
class TinyVisPluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.IsLoaded()) << VORLEN_TINYVIS_PLUGIN;
        auto getHeader = reinterpret_cast<TinyVisGetHeaderFunc>(library.Symbol(TINYVIS_HEADER_SYMBOL));
        ASSERT_NE(getHeader, nullptr);
        header = getHeader();
        ASSERT_NE(header, nullptr);
    }

    // The host's copy of module index, bound to surface.
    TinyVisModule Record(int index, TvisSurface &surface)
    {
        TinyVisModule record = *header->getModule(index);
        record.displayWindow = surface.Pixels();
        record.width = surface.Width();
        record.height = surface.Height();
        record.settingsPath = "/nonexistent";
        return record;
    }

    TdynamicLibrary library { QStringLiteral(VORLEN_TINYVIS_PLUGIN) };
    TinyVisHeader *header = nullptr;
};

TEST_F(TinyVisPluginTest, ListsAFftUnitAndAScope)
{
    EXPECT_STREQ(header->description, "Vorlen visualisations");
    ASSERT_NE(header->getModule(0), nullptr);
    ASSERT_NE(header->getModule(1), nullptr);
    EXPECT_STREQ(header->getModule(0)->description, "Spectrum analyser");
    EXPECT_STREQ(header->getModule(1)->description, "Stereo waveform scope");
    EXPECT_EQ(header->getModule(2), nullptr);
    EXPECT_EQ(header->getModule(-1), nullptr);
    for (int i = 0; i < 2; ++i) {
        const TinyVisModule *module = header->getModule(i);
        EXPECT_NE(module->init, nullptr);
        EXPECT_NE(module->render, nullptr);
        EXPECT_NE(module->quit, nullptr);
        EXPECT_NE(module->configure, nullptr);
    }
}

// Rows of column x that hold neither the background nor the peak colour.
int BarPixels(const TvisSurface &surface, int x)
{
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        count += surface.Pixel(x, y) != kBlack && surface.Pixel(x, y) != kWhite;
    return count;
}

// The highest row of column x in the peak colour, -1 when there is none.
int PeakRow(const TvisSurface &surface, int x)
{
    for (int y = 0; y < surface.Height(); ++y)
        if (surface.Pixel(x, y) == kWhite)
            return y;
    return -1;
}

TEST_F(TinyVisPluginTest, SpectrumBarsFollowTheLevelsAndPeaksFallSlowly)
{
    TvisSurface surface(320, 100);
    TinyVisModule record = Record(0, surface);
    ASSERT_EQ(record.init(&record), 0);

    std::fill(std::begin(record.spectrum), std::end(record.spectrum), 1.0f);
    record.render(&record);
    EXPECT_EQ(BarPixels(surface, 2), 99);
    EXPECT_EQ(PeakRow(surface, 2), 0);

    std::fill(std::begin(record.spectrum), std::end(record.spectrum), 0.0f);
    record.render(&record);
    EXPECT_EQ(BarPixels(surface, 2), 0);
    const int firstFall = PeakRow(surface, 2);
    EXPECT_GT(firstFall, 0);
    EXPECT_LT(firstFall, 10);
    for (int i = 0; i < 60; ++i)
        record.render(&record);
    EXPECT_EQ(PeakRow(surface, 2), 99);

    // A quarter of full scale shows as half the height (square-root scale).
    std::fill(std::begin(record.spectrum), std::end(record.spectrum), 0.25f);
    record.render(&record);
    EXPECT_EQ(BarPixels(surface, 2), 50);
    record.quit(&record);
}

TEST_F(TinyVisPluginTest, ScopeDrawsLeftAboveAndRightBelow)
{
    TvisSurface surface(200, 100);
    TinyVisModule record = Record(1, surface);
    ASSERT_EQ(record.init(&record), 0);
    std::fill(std::begin(record.waveLeft), std::end(record.waveLeft), qint16(16384));
    std::fill(std::begin(record.waveRight), std::end(record.waveRight), qint16(-16384));
    record.render(&record);

    // Half scale sits a quarter of each channel's band from its middle line.
    const std::uint32_t leftTrace = surface.Pixel(100, 25 - 12);
    const std::uint32_t rightTrace = surface.Pixel(100, 75 + 12);
    EXPECT_NE(leftTrace, kBlack);
    EXPECT_NE(rightTrace, kBlack);
    EXPECT_NE(leftTrace, rightTrace);
    for (int x = 0; x < 200; ++x) {
        ASSERT_EQ(surface.Pixel(x, 13), leftTrace) << x;
        ASSERT_EQ(surface.Pixel(x, 87), rightTrace) << x;
        ASSERT_EQ(surface.Pixel(x, 40), kBlack) << x;
    }
    record.quit(&record);
}

TEST_F(TinyVisPluginTest, ModulesLeaveAnUnusableSurfaceAlone)
{
    for (int i = 0; i < 2; ++i) {
        TvisSurface surface(10, 10);
        TinyVisModule record = Record(i, surface);
        ASSERT_EQ(record.init(&record), 0);
        record.width = 0;
        EXPECT_EQ(record.render(&record), 0);
        record.width = 10;
        record.height = -4;
        EXPECT_EQ(record.render(&record), 0);
        record.height = 10;
        record.displayWindow = nullptr;
        EXPECT_EQ(record.render(&record), 0);
        record.quit(&record);
        // A one-pixel surface still draws.
        TvisSurface tiny(1, 1);
        record = Record(i, tiny);
        record.init(&record);
        record.render(&record);
        record.quit(&record);
    }
}

} // namespace
