#include "playback/tinyVisLoader.h"
#include "audioFixtures.h"
#include "visProbePlugin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

const QString kShippedPlugin = QStringLiteral(VORLEN_TINYVIS_PLUGIN);
const QString kProbePlugin = QStringLiteral(VORLEN_TINYVIS_PROBE);

class TinyVisLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AudioEngineOptions options;
        options.manualPump = true;
        QString error;
        ASSERT_TRUE(engine.init(options, &error)) << error.toStdString();
        // Our own handle keeps the probe resident, so its counters survive the
        // loader unloading it.
        ASSERT_TRUE(probeLibrary.IsLoaded());
        auto countersOf = reinterpret_cast<VisProbeCountersFunc>(probeLibrary.Symbol(VIS_PROBE_COUNTERS_SYMBOL));
        ASSERT_NE(countersOf, nullptr);
        probe = countersOf();
        *probe = VisProbeCounters {};
    }

    AudioEngine engine;
    TdynamicLibrary probeLibrary { kProbePlugin };
    VisProbeCounters *probe = nullptr;
};

TEST_F(TinyVisLoaderTest, ListsAndSelectsTheShippedModules)
{
    TtinyVisLoader loader(&engine);
    loader.SetLibrary(kShippedPlugin);
    ASSERT_TRUE(loader.LibraryLoaded());
    EXPECT_EQ(loader.Library(), kShippedPlugin);
    EXPECT_EQ(loader.Description(), QStringLiteral("Vorlen visualisations"));
    EXPECT_EQ(loader.Modules(),
        (QStringList { QStringLiteral("Spectrum analyser"), QStringLiteral("Stereo waveform scope") }));
    // Listing leaves the last module's record in hand.
    EXPECT_STREQ(loader.Record().description, "Stereo waveform scope");
    EXPECT_EQ(loader.ModuleIndex(), -1);

    loader.SelectModule(0);
    EXPECT_TRUE(loader.LibraryLoaded());
    EXPECT_EQ(loader.ModuleIndex(), 0);
    EXPECT_STREQ(loader.Record().description, "Spectrum analyser");
    loader.SelectModule(2);
    loader.SelectModule(-1);
    EXPECT_EQ(loader.ModuleIndex(), 0);

    TvisSurface surface(64, 32);
    EXPECT_FALSE(loader.Start(nullptr));
    ASSERT_TRUE(loader.Start(&surface));
    EXPECT_EQ(loader.Render(), 0);
    loader.Stop();
    EXPECT_FALSE(loader.LibraryLoaded());
    EXPECT_TRUE(loader.Modules().isEmpty());
}

TEST_F(TinyVisLoaderTest, UnusableLibrariesLeaveNoLibrary)
{
    TtinyVisLoader loader(&engine);
    TvisSurface surface(16, 16);
    for (const QString &path : { QStringLiteral("/nonexistent/tinyvis.so"), QStringLiteral("libm.so.6"), QString() }) {
        loader.SetLibrary(path);
        EXPECT_FALSE(loader.LibraryLoaded()) << path.toStdString();
        EXPECT_TRUE(loader.Library().isEmpty());
        EXPECT_TRUE(loader.Modules().isEmpty());
        EXPECT_FALSE(loader.Start(&surface));
        EXPECT_EQ(loader.Render(), 0);
        loader.Configure();
        loader.SelectModule(0);
    }
    // Start still made the capture unit, ready for a later library.
    EXPECT_TRUE(loader.CaptureUnitExists());
}

TEST_F(TinyVisLoaderTest, FailedInitGetsNoRenderNorQuit)
{
    TtinyVisLoader loader(&engine);
    loader.SetLibrary(kProbePlugin);
    ASSERT_EQ(loader.Modules().size(), 3);
    loader.SelectModule(0);
    TvisSurface surface(16, 16);
    EXPECT_FALSE(loader.Start(&surface));
    EXPECT_FALSE(loader.Active());
    EXPECT_EQ(probe->initCalls, 1);
    EXPECT_EQ(loader.Render(), 0);
    loader.Configure();
    loader.Stop();
    EXPECT_EQ(probe->renderCalls, 0);
    EXPECT_EQ(probe->configureCalls, 0);
    EXPECT_EQ(probe->quitCalls, 0);

    // A module without functions cannot start either.
    loader.SetLibrary(kProbePlugin);
    loader.SelectModule(2);
    EXPECT_FALSE(loader.Start(&surface));
    EXPECT_EQ(loader.Render(), 0);
}

TEST_F(TinyVisLoaderTest, ModuleGetsTheHostsRecordFilledIn)
{
    int ownerForm = 0;
    TtinyVisLoader loader(&engine, &ownerForm);
    loader.SetSettingsPath(QStringLiteral("/tmp/vorlen-plugins"));
    loader.SetLibrary(kProbePlugin);
    loader.SelectModule(1);
    TvisSurface surface(64, 32);
    ASSERT_TRUE(loader.Start(&surface));
    EXPECT_TRUE(loader.Active());
    EXPECT_EQ(probe->initCalls, 1);
    // Always the host's own copy, never the plug-in's record.
    EXPECT_EQ(probe->lastRecord, &loader.Record());
    EXPECT_EQ(loader.Record().ownerWindow, &ownerForm);
    EXPECT_EQ(loader.Record().displayWindow, surface.Pixels());
    EXPECT_EQ(loader.Record().width, 64);
    EXPECT_EQ(loader.Record().height, 32);
    EXPECT_STREQ(loader.Record().settingsPath, "/tmp/vorlen-plugins");

    EXPECT_EQ(loader.Render(), 1);
    EXPECT_EQ(loader.Render(), 2);
    // The window resized its surface: the module draws into the new pixels.
    surface.Resize(80, 40);
    EXPECT_EQ(loader.Render(), 3);
    EXPECT_EQ(probe->lastRender.width, 80);
    EXPECT_EQ(probe->lastRender.height, 40);
    EXPECT_EQ(probe->lastRender.displayWindow, surface.Pixels());
    EXPECT_EQ(surface.Pixel(79, 39), 0xFFFFFFFFu);

    loader.Configure();
    EXPECT_EQ(probe->configureCalls, 1);
    loader.Stop();
    EXPECT_FALSE(loader.Active());
    EXPECT_EQ(probe->quitCalls, 1);
    EXPECT_EQ(loader.Render(), 0);
    loader.Configure();
    EXPECT_EQ(probe->renderCalls, 3);
    EXPECT_EQ(probe->configureCalls, 1);
    EXPECT_EQ(probe->quitCalls, 1);

    // Without an owning form the module gets the surface's parent.
    TtinyVisLoader orphan(&engine);
    int parent = 0;
    surface.ParentHandle = &parent;
    orphan.SetLibrary(kProbePlugin);
    orphan.SelectModule(1);
    ASSERT_TRUE(orphan.Start(&surface));
    EXPECT_EQ(orphan.Record().ownerWindow, &parent);
}

TEST_F(TinyVisLoaderTest, CaptureRingsFollowTheEngineBlocks)
{
    // Total buffering of 4 blocks gives rings of 8 blocks.
    AudioEngine fourBlocks;
    AudioEngineOptions options;
    options.manualPump = true;
    options.blockFrames = 1022;
    options.bufferBlocks = 4;
    ASSERT_TRUE(fourBlocks.init(options));
    TtinyVisLoader loader(&fourBlocks);
    ASSERT_TRUE(loader.CreateCaptureUnit());
    EXPECT_FALSE(loader.CreateCaptureUnit());
    ASSERT_EQ(loader.Rings().BlockCount(), 8);

    // The callback itself, as the mixing thread calls it.
    std::vector<qint16> mix(2 * 1022);
    for (int k = 0; k < 1022; ++k) {
        mix[std::size_t(2 * k)] = qint16(k);
        mix[std::size_t(2 * k + 1)] = qint16(-k);
    }
    qint16 passedOn = 0;
    EXPECT_EQ(TtinyVisLoader::CaptureCallback(mix.data(), &passedOn, 1022, &loader), &passedOn);
    EXPECT_EQ(loader.Rings().Index(), 1);
    EXPECT_EQ(loader.Rings().Left(1)[510], 1021);
    EXPECT_EQ(loader.Rings().Right(1)[0], -1);
    EXPECT_EQ(loader.Rings().Left(1)[511], 0);
    EXPECT_EQ(TtinyVisLoader::CaptureCallback(mix.data(), &passedOn, 511, &loader), &passedOn);
    EXPECT_EQ(loader.Rings().Left(2)[510], 510);
    EXPECT_EQ(TtinyVisLoader::CaptureCallback(mix.data(), &passedOn, 1022, nullptr), &passedOn);
    EXPECT_EQ(loader.Rings().Index(), 2);

    // Through the engine: capture runs only while a module runs, one block
    // per engine block, and comes round after 8 blocks.
    fourBlocks.pump(1022);
    EXPECT_EQ(loader.Rings().Index(), 2);
    loader.SetLibrary(kProbePlugin);
    loader.SelectModule(1);
    TvisSurface surface(8, 8);
    ASSERT_TRUE(loader.Start(&surface));
    fourBlocks.pump(1022);
    EXPECT_EQ(loader.Rings().Index(), 3);
    fourBlocks.pump(8 * 1022);
    EXPECT_EQ(loader.Rings().Index(), 3);
}

// The whole path: a tone mixed by the engine reaches the module as the last
// captured block and the spectrum, and nothing is captured once stopped.
TEST_F(TinyVisLoaderTest, EngineMixReachesTheModule)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    ToneSpec spec;
    spec.seconds = 2.0;
    spec.frequency = 1000;
    QString error;
    ASSERT_TRUE(MakeToneFile(tone, spec, &error)) << error.toStdString();

    engine.dspSetActive(engine.fftUnit(), true);
    TtinyVisLoader loader(&engine);
    loader.SetLibrary(kProbePlugin);
    loader.SelectModule(1);
    TvisSurface surface(32, 32);
    ASSERT_TRUE(loader.Start(&surface));
    ASSERT_TRUE(loader.CaptureUnitExists());

    const EngineStream stream = engine.streamOpen(tone);
    ASSERT_NE(stream, 0u);
    ASSERT_GE(engine.streamPlay(stream), 0);
    const int block = engine.dspBufferLength();
    std::vector<qint16> out(std::size_t(2 * block));
    for (int i = 0; i < 20; ++i)
        engine.pump(block, out.data());
    const int indexAfterPumping = loader.Rings().Index();

    ASSERT_EQ(loader.Render(), 1);
    const TinyVisModule &seen = probe->lastRender;
    // The last block pumped, squeezed into 511 positions as the capture does.
    double position = 0.0;
    std::vector<qint16> expectedLeft(512, 0);
    for (int k = 0; k < block; ++k) {
        expectedLeft[std::size_t(position)] = out[std::size_t(2 * k)];
        position += 511.0 / block;
    }
    EXPECT_EQ(std::vector<qint16>(seen.waveLeft, seen.waveLeft + 512), expectedLeft);
    EXPECT_GT(*std::max_element(seen.waveLeft, seen.waveLeft + 512), 1000);
    EXPECT_EQ(std::vector<float>(seen.spectrum, seen.spectrum + 512),
        std::vector<float>(seen.spectrum2, seen.spectrum2 + 512));
    EXPECT_GT(*std::max_element(seen.spectrum, seen.spectrum + 512), 0.0f);

    loader.Stop();
    engine.pump(block, out.data());
    EXPECT_EQ(loader.Rings().Index(), indexAfterPumping);
    loader.FreeCaptureUnit();
    EXPECT_FALSE(loader.CaptureUnitExists());
    engine.pump(block, out.data());
    EXPECT_EQ(loader.Rings().Index(), indexAfterPumping);
}

// A loader that goes takes its capture unit with it: the engine's units are
// few, and none may be left calling back into a loader that is gone.
TEST_F(TinyVisLoaderTest, DestroyedLoaderLeavesNoCaptureUnitBehind)
{
    for (int i = 0; i < 100; ++i) {
        TtinyVisLoader loader(&engine);
        loader.SetLibrary(kProbePlugin);
        loader.SelectModule(1);
        TvisSurface surface(8, 8);
        ASSERT_TRUE(loader.Start(&surface)) << i;
        ASSERT_TRUE(loader.CaptureUnitExists()) << i;
    }
    EXPECT_EQ(probe->quitCalls, 100);
    engine.pump(engine.dspBufferLength());
}

// What a user sees of the spectrum analyser's look with nothing playing: its
// bars along the bottom row (runs of pixels off the black background,
// marked by the bars' peaks) and the colours they show there.
struct SpectrumLook {
    int bars = 0;
    std::set<std::uint32_t> colours;
    bool operator==(const SpectrumLook &) const = default;
};

SpectrumLook LookOf(const TvisSurface &surface)
{
    SpectrumLook look;
    bool inBar = false;
    for (int x = 0; x < surface.Width(); ++x) {
        const std::uint32_t pixel = surface.Pixel(x, surface.Height() - 1);
        const bool lit = pixel != 0xFF000000u;
        look.bars += lit && !inBar;
        inBar = lit;
        if (lit)
            look.colours.insert(pixel);
    }
    return look;
}

// The shipped plug-in's spectrum module, started on a surface with its
// settings in folder; an empty look when it does not start.
SpectrumLook StartedLook(TtinyVisLoader &loader, TvisSurface &surface, const QString &folder)
{
    loader.SetSettingsPath(folder);
    loader.SetLibrary(kShippedPlugin);
    loader.SelectModule(0);
    if (!loader.Start(&surface))
        return {};
    loader.Render();
    return LookOf(surface);
}

TEST_F(TinyVisLoaderTest, ConfigureSwitchesTheLookAndLaterStartsKeepIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The folder does not exist yet: the plug-in makes it when it saves.
    const QString settings = dir.filePath(QStringLiteral("plugins"));
    TtinyVisLoader loader(&engine);
    TvisSurface surface(480, 60);
    const SpectrumLook first = StartedLook(loader, surface, settings);
    ASSERT_GT(first.bars, 0);

    // Each Configure changes what is shown, through a few looks and round.
    std::vector<SpectrumLook> looks { first };
    SpectrumLook look;
    for (int i = 0; i < 10; ++i) {
        loader.Configure();
        loader.Render();
        look = LookOf(surface);
        EXPECT_NE(look, looks.back()) << "Configure number " << i + 1 << " changed nothing";
        if (look == first)
            break;
        looks.push_back(look);
    }
    EXPECT_EQ(look, first) << "the looks never came round";
    EXPECT_GE(looks.size(), 3u);

    // The choice outlives the module, in the settings folder and nowhere else.
    loader.Configure();
    loader.Render();
    ASSERT_EQ(LookOf(surface), looks[1]);
    loader.Stop();
    EXPECT_EQ(StartedLook(loader, surface, settings), looks[1]);
    EXPECT_EQ(QDir(settings).entryList(QDir::Files), QStringList { QStringLiteral("tinyvis.cfg") });
    loader.Stop();
    EXPECT_EQ(StartedLook(loader, surface, dir.filePath(QStringLiteral("elsewhere"))), first);
    loader.Stop();

    // A file written by hand with other lines and other line ends still
    // names the look.
    QFile file(settings + QStringLiteral("/tinyvis.cfg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll().trimmed();
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# chosen by hand\r\n\r\n" + saved + "\r\n");
    file.close();
    EXPECT_EQ(StartedLook(loader, surface, settings), looks[1]);
}

TEST_F(TinyVisLoaderTest, DamagedSettingsStartWithTheFirstLookAndConfigureStillWorks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TtinyVisLoader loader(&engine);
    TvisSurface surface(480, 60);
    const SpectrumLook first = StartedLook(loader, surface, dir.filePath(QStringLiteral("fresh")));
    ASSERT_GT(first.bars, 0);
    loader.Configure();
    loader.Render();
    const SpectrumLook second = LookOf(surface);
    loader.Stop();
    QFile written(dir.filePath(QStringLiteral("fresh/tinyvis.cfg")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray secondLine = written.readAll().trimmed();

    const QByteArray damaged[] = {
        QByteArray(),
        QByteArray("look="),
        QByteArray("look=no-such-look\n"),
        "LOOK" + secondLine.mid(4),
        QByteArray("\0", 1) + secondLine,
        secondLine.left(secondLine.size() - 1),
        QByteArray(100000, 'x') + "\n" + secondLine,
        QByteArray(100000, '\xff'),
    };
    int n = 0;
    for (const QByteArray &content : damaged) {
        const QString folder = dir.filePath(QStringLiteral("damaged%1").arg(++n));
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/tinyvis.cfg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        EXPECT_EQ(StartedLook(loader, surface, folder), first) << "file " << n;
        // Configure replaces the damaged file with a sound one.
        loader.Configure();
        loader.Stop();
        EXPECT_EQ(StartedLook(loader, surface, folder), second) << "file " << n;
        loader.Stop();
    }

    // A settings "folder" that is a file, or a settings file that is a
    // folder: the look still changes for this run.
    const QString plainFile = dir.filePath(QStringLiteral("not-a-folder"));
    QFile(plainFile).open(QIODevice::WriteOnly);
    const QString folderFile = dir.filePath(QStringLiteral("folder-file"));
    ASSERT_TRUE(QDir().mkpath(folderFile + QStringLiteral("/tinyvis.cfg")));
    for (const QString &folder : { plainFile, folderFile, QString() }) {
        EXPECT_EQ(StartedLook(loader, surface, folder), first) << folder.toStdString();
        loader.Configure();
        loader.Render();
        EXPECT_EQ(LookOf(surface), second) << folder.toStdString();
        loader.Stop();
    }
    EXPECT_TRUE(QFileInfo(folderFile + QStringLiteral("/tinyvis.cfg")).isDir());
}

} // namespace
