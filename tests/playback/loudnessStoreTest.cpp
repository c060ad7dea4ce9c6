// The store of measurements and the analyser that fills it from real files:
// what survives a restart, what a damaged store keeps, what is measured again.
#include "eventWait.h"
#include "playbackFixtures.h"

#include "playback/loudnessAnalyser.h"
#include "playback/loudnessStore.h"
#include "platform/fileNames.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utime.h>

namespace {

TloudnessEntry Entry(double loudness, qint64 size = 1000, qint64 modifiedNs = 5)
{
    TloudnessEntry entry;
    entry.size = size;
    entry.modifiedNs = modifiedNs;
    entry.measured = true;
    entry.loudness = loudness;
    entry.truePeak = 0.8912;
    entry.lengthMs = 240000;
    entry.musicStartMs = 120;
    entry.musicEndMs = 236000;
    entry.endingMs = 4100;
    entry.albumArtist = QStringLiteral("Üñí\tcode, 100% \"quoted\"");
    return entry;
}

TEST(LoudnessStore, EveryPathAndNameSurvivesTheFile)
{
    TloudnessStore::Entries entries;
    for (const QString &path : { QStringLiteral("/music/plain.mp3"), QStringLiteral("/music/tab\there.ogg"),
             QStringLiteral("/music/new\nline.flac"), QStringLiteral("/music/100% naïve café.opus"),
             QStringLiteral("/music/日本語/曲.mp3"), DecodeFileName("/music/Latin-1 caf\xE9.mp3") })
        entries.insert(path, Entry(-14.25 - double(entries.size())));
    TloudnessEntry failed;
    failed.size = 7;
    failed.modifiedNs = 1700000000123456789;
    entries.insert(QStringLiteral("/music/broken.wma"), failed);
    EXPECT_EQ(TloudnessStore::Parse(TloudnessStore::Serialise(entries)), entries);
}

struct DamagedLine {
    const char *name;
    const char *line;
};

class DamagedStoreTest : public ::testing::TestWithParam<DamagedLine> { };

// A good line before and after the damaged one: only the damaged one is lost.
TEST_P(DamagedStoreTest, ADamagedLineIsPassedByAlone)
{
    TloudnessStore::Entries good;
    good.insert(QStringLiteral("/a.mp3"), Entry(-10));
    good.insert(QStringLiteral("/b.mp3"), Entry(-20));
    QByteArray bytes = TloudnessStore::Serialise(good);
    const qsizetype second = bytes.indexOf('\n', bytes.indexOf('\n') + 1) + 1;
    bytes.insert(second, QByteArray(GetParam().line) + '\n');
    EXPECT_EQ(TloudnessStore::Parse(bytes), good);
}

INSTANTIATE_TEST_SUITE_P(Lines, DamagedStoreTest,
    ::testing::Values(DamagedLine { "TooFewFields", "/c.mp3\t1\t2\t1\t-10\t0.5\t100\t0\t100" },
        DamagedLine { "TooManyFields", "/c.mp3\t1\t2\t1\t-10\t0.5\t100\t0\t100\t50\t\tx" },
        DamagedLine { "NotANumber", "/c.mp3\t1\t2\t1\tnan\t0.5\t100\t0\t100\t50\t" },
        DamagedLine { "CommaDecimal", "/c.mp3\t1\t2\t1\t-10,5\t0.5\t100\t0\t100\t50\t" },
        DamagedLine { "NegativeSize", "/c.mp3\t-1\t2\t1\t-10\t0.5\t100\t0\t100\t50\t" },
        DamagedLine { "BadFlag", "/c.mp3\t1\t2\t2\t-10\t0.5\t100\t0\t100\t50\t" },
        DamagedLine { "LoudnessOutOfRange", "/c.mp3\t1\t2\t1\t900\t0.5\t100\t0\t100\t50\t" },
        DamagedLine { "NoPath", "\t1\t2\t1\t-10\t0.5\t100\t0\t100\t50\t" }, DamagedLine { "Empty", "" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LoudnessStore, AStoreWithoutItsFirstLineOrWithAnEndlessLineKeepsWhatReads)
{
    EXPECT_TRUE(TloudnessStore::Parse("/a.mp3\t1\t2\t1\t-10\t0.5\t100\t0\t100\t50\t\n").isEmpty());
    TloudnessStore::Entries good;
    good.insert(QStringLiteral("/a.mp3"), Entry(-10));
    const QByteArray endless = TloudnessStore::Serialise(good) + QByteArray(200 * 1024, 'x');
    EXPECT_EQ(TloudnessStore::Parse(endless), good);
    // Cut in the middle of its last line.
    good.insert(QStringLiteral("/b.mp3"), Entry(-20));
    const QByteArray whole = TloudnessStore::Serialise(good);
    EXPECT_EQ(TloudnessStore::Parse(whole.chopped(20)).size(), 1);
}

TEST(LoudnessStore, AChangedFileIsNotFoundAndTheMeanLeavesSilenceOut)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("track.mp3"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1000, 'x'));
    file.close();
    const TfileStamp stamp = FileStampOf(path);
    ASSERT_EQ(stamp.size, 1000);

    TloudnessStore store;
    EXPECT_FALSE(store.MeanLoudness());
    store.Put(path, Entry(-10, stamp.size, stamp.modifiedNs));
    store.Put(QStringLiteral("/b.mp3"), Entry(-20));
    store.Put(QStringLiteral("/silence.mp3"), Entry(-120));
    TloudnessEntry failed;
    store.Put(QStringLiteral("/broken.mp3"), failed);
    ASSERT_TRUE(store.FindCurrent(path));
    EXPECT_DOUBLE_EQ(*store.MeanLoudness(), -15.0);
    // Measured again: the old value leaves the mean.
    store.Put(QStringLiteral("/b.mp3"), Entry(-30));
    EXPECT_DOUBLE_EQ(*store.MeanLoudness(), -20.0);

    utimbuf times { 1000000, 1000000 };
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
    EXPECT_FALSE(store.FindCurrent(path)) << "a changed file is measured again";
    EXPECT_FALSE(store.FindCurrent(dir.filePath(QStringLiteral("gone.mp3"))));

    const QString storeFile = dir.filePath(QStringLiteral("loudness.dat"));
    ASSERT_TRUE(store.Save(storeFile));
    TloudnessStore again;
    ASSERT_TRUE(again.Load(storeFile));
    EXPECT_EQ(again.Count(), 4);
    EXPECT_DOUBLE_EQ(*again.MeanLoudness(), -20.0);
    EXPECT_TRUE(again.Load(dir.filePath(QStringLiteral("none.dat"))));
    EXPECT_EQ(again.Count(), 0);
}

// The analyser on real files: tones at three levels and a file that is no
// sound at all.
class AnalyserTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        files = new PlaybackFiles;
        for (const auto &[name, level] :
            { std::pair { "quiet.wav", "0.05" }, std::pair { "middle.wav", "0.2" }, std::pair { "loud.wav", "0.8" } })
            paths << files->Wave(
                QLatin1String(name), QStringLiteral("%1*sin(2*PI*440*t)").arg(QLatin1String(level)), 20);
        paths << files->RandomBytes(QStringLiteral("noise.mp3"), 20000, 5);
    }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    QString storeFile() const { return dir.filePath(QStringLiteral("loudness.dat")); }

    bool RunToTheEnd(TloudnessAnalyser &analyser)
    {
        return RunEventsUntil(
            [&] {
                const TloudnessAnalyser::Progress progress = analyser.GetProgress();
                return progress.done == progress.total && !progress.running;
            },
            60000);
    }

    static inline PlaybackFiles *files = nullptr;
    static inline QStringList paths;
    QTemporaryDir dir;
    TloudnessStore store;
};

TEST_F(AnalyserTest, MeasuresEveryFileAndSavesTheStore)
{
    {
        TloudnessAnalyser analyser(store, storeFile());
        int reports = 0;
        analyser.OnProgress = [&] { ++reports; };
        analyser.SetFiles(paths);
        EXPECT_EQ(analyser.GetProgress().done, 0);
        analyser.Start();
        ASSERT_TRUE(RunToTheEnd(analyser));
        ASSERT_TRUE(RunEventsUntil([&] { return reports > 0; }, 5000));
    }
    const auto quiet = store.FindCurrent(paths[0]);
    const auto middle = store.FindCurrent(paths[1]);
    const auto loud = store.FindCurrent(paths[2]);
    ASSERT_TRUE(quiet && middle && loud);
    // Each is four times (12 dB) louder than the one before.
    EXPECT_NEAR(middle->loudness - quiet->loudness, 12.04, 0.1);
    EXPECT_NEAR(loud->loudness - middle->loudness, 12.04, 0.1);
    EXPECT_NEAR(loud->truePeak, 0.8, 0.01);
    EXPECT_NEAR(loud->lengthMs, 20000, 5);
    const auto noise = store.FindCurrent(paths[3]);
    ASSERT_TRUE(noise);
    EXPECT_FALSE(noise->measured);
    TloudnessStore saved;
    ASSERT_TRUE(saved.Load(storeFile()));
    EXPECT_EQ(saved.Count(), 4);
}

// After a restart, what was measured is not measured again (an entry the
// analyser would never have written stays); a file changed since is.
TEST_F(AnalyserTest, ARestartResumesAndAChangedFileIsMeasuredAgain)
{
    for (const QString &path : paths.mid(0, 2)) {
        const TfileStamp stamp = FileStampOf(path);
        store.Put(path, Entry(-99.5, stamp.size, stamp.modifiedNs));
    }
    ASSERT_TRUE(store.Save(storeFile()));
    TloudnessStore restarted;
    ASSERT_TRUE(restarted.Load(storeFile()));
    utimbuf times { 2000000, 2000000 };
    ASSERT_EQ(utime(QFile::encodeName(paths[1]).constData(), &times), 0);
    {
        TloudnessAnalyser analyser(restarted, storeFile());
        analyser.SetFiles(paths);
        analyser.Start();
        ASSERT_TRUE(RunToTheEnd(analyser));
    }
    EXPECT_DOUBLE_EQ(restarted.FindCurrent(paths[0])->loudness, -99.5);
    ASSERT_TRUE(restarted.FindCurrent(paths[1]));
    EXPECT_GT(restarted.FindCurrent(paths[1])->loudness, -40.0);
    EXPECT_TRUE(restarted.FindCurrent(paths[2]));
}

TEST_F(AnalyserTest, APreferredFileComesFirstAndStopHoldsTheList)
{
    TloudnessAnalyser analyser(store, storeFile());
    QStringList measuredAtFirstReport;
    analyser.OnProgress = [&] {
        if (measuredAtFirstReport.isEmpty()) {
            for (const QString &path : paths)
                if (store.FindCurrent(path))
                    measuredAtFirstReport << path;
            analyser.Stop();
        }
    };
    analyser.SetFiles(paths);
    analyser.Prefer({ paths[2] });
    analyser.Start();
    ASSERT_TRUE(RunEventsUntil([&] { return !measuredAtFirstReport.isEmpty(); }, 30000));
    EXPECT_TRUE(measuredAtFirstReport.contains(paths[2]));
    EXPECT_FALSE(analyser.Running());
    const int counted = store.Count();
    QThread::msleep(300);
    QCoreApplication::processEvents();
    EXPECT_LE(store.Count(), counted + 1) << "a stopped analyser went on through its list";
    analyser.Start();
    ASSERT_TRUE(RunToTheEnd(analyser));
    EXPECT_EQ(store.Count(), paths.size());
}

// A file whose name is not UTF-8 (an old copy's Latin-1 "café") is
// measured through its own bytes, and its measurement is found again after
// a restart instead of being taken anew.
TEST_F(AnalyserTest, AFileNamedInLatin1IsMeasuredAndFoundAfterARestart)
{
    const QString latin1 = DecodeFileName(QFile::encodeName(dir.path()) + "/caf\xE9.wav");
    ASSERT_EQ(::link(QFile::encodeName(paths[1]).constData(), EncodeFileName(latin1).constData()), 0);
    {
        TloudnessAnalyser analyser(store, storeFile());
        analyser.SetFiles(QStringList { latin1 });
        analyser.Start();
        ASSERT_TRUE(RunToTheEnd(analyser));
    }
    TloudnessStore restarted;
    ASSERT_TRUE(restarted.Load(storeFile()));
    const auto found = restarted.FindCurrent(latin1);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->measured);
    EXPECT_GT(found->loudness, -40.0);
}

} // namespace
