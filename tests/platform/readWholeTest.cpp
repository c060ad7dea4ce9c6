// Files read as far as they can be, and told apart from files read whole:
// bounded lines, INI files that are cut off or hold garbage, and damaged
// files kept beside themselves.
#include "platform/atomicFile.h"
#include "platform/boundedLines.h"
#include "platform/damagedFile.h"
#include "platform/iniFile.h"
#include "unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>

namespace {

void writeFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(data), data.size());
}

QByteArray readAll(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kWholeSettings = "[Dirs]\nDirList=/music/a,/music/b\n[General]\nShowTips=0\nTipNo=7\n";

} // namespace

TEST(BoundedLines, LongLinesAreDroppedWhileTheyStreamBy)
{
    TboundedLineSplitter splitter(8);
    // Fed in pieces that cut lines and line ends apart, as blocks of a file do.
    for (const char *piece : {"short\r", "\nexactly8\n0123", "456789 too long\nlast\r\n", "cut"})
        splitter.Feed(piece);
    const TboundedLines lines = splitter.Finish();
    EXPECT_EQ(lines.lines, (QList<QByteArray>{"short", "exactly8", "last", "cut"}));
    EXPECT_EQ(lines.lineCount, 5);
    EXPECT_EQ(lines.overlong, 1);
    EXPECT_EQ(lines.firstOverlong, 3);
    EXPECT_TRUE(lines.cutOff);
    EXPECT_FALSE(SplitBoundedLines("a\n\nb\n", 8).cutOff);
    EXPECT_EQ(SplitBoundedLines("a\n\nb\n", 8).lines, (QList<QByteArray>{"a", "", "b"}));
}

// A settings file damaged in one way: the keys that stand whole are read, the
// damage is named, and what is written back is whole again.
struct DamagedIni {
    const char *name;
    QByteArray text;
    const char *named;
};

// Test names show the case, not its bytes.
void PrintTo(const DamagedIni &value, std::ostream *os)
{
    *os << value.name;
}

class DamagedIniTest : public ::testing::TestWithParam<DamagedIni> {};

TEST_P(DamagedIniTest, KeysAroundTheDamageAreReadAndTheDamageIsNamed)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("vorlen.ini"));
    writeFile(name, GetParam().text);
    TiniFile ini(name);
    EXPECT_TRUE(ini.ReadProblem().contains(QLatin1String(GetParam().named))) << ini.ReadProblem().toStdString();
    EXPECT_EQ(ini.ReadString(QStringLiteral("Dirs"), QStringLiteral("DirList"), {}),
              QStringLiteral("/music/a,/music/b"));
    ASSERT_TRUE(ini.UpdateFile());
    const TiniFile again(name);
    EXPECT_EQ(again.ReadProblem(), QString());
    EXPECT_LT(QFileInfo(name).size(), 1024) << "an over-long line was written back";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DamagedIniTest,
    ::testing::Values(DamagedIni{"CutOff", kWholeSettings + "[CrossFader]\nFadeInTi", "ends in the middle of a line"},
                      DamagedIni{"Zeros", kWholeSettings + QByteArray(300, '\0') + "\n", "not text"},
                      DamagedIni{"NotUtf8", kWholeSettings + "[G\xFF\xFE]\nX=\xC0\xAF\n", "not text"},
                      DamagedIni{"OverlongLine",
                                 kWholeSettings + "[Junk]\nKey=" + QByteArray(TiniFile::kMaxLineBytes + 10, 'j') +
                                     "\n[After]\nKept=1\n",
                                 "longer than any setting"}),
    [](const ::testing::TestParamInfo<DamagedIni> &info) { return std::string(info.param.name); });

TEST(DamagedFile, KeptBytesSurviveTheFileBeingReplaced)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("jukebox.dat"));
    writeFile(name, "older damage");
    ASSERT_EQ(KeepDamagedFile(name), DamagedFileName(name));
    writeFile(name + QStringLiteral(".tmp"), "damaged bytes");
    ASSERT_TRUE(QFile::remove(name));
    ASSERT_TRUE(QFile::rename(name + QStringLiteral(".tmp"), name));

    // An older copy is replaced by the newer damage.
    EXPECT_EQ(KeepDamagedFile(name), DamagedFileName(name));
    EXPECT_EQ(KeepDamagedFile(name), DamagedFileName(name)) << "keeping the same file twice";
    ASSERT_TRUE(WriteFileAtomically(name, "rewritten"));
    EXPECT_EQ(readAll(name), QByteArray("rewritten"));
    EXPECT_EQ(readAll(DamagedFileName(name)), QByteArray("damaged bytes"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("jukebox.dat"), QStringLiteral("jukebox.dat.damaged")}));

    QString error;
    EXPECT_EQ(KeepDamagedFile(dir.filePath(QStringLiteral("absent.ini")), &error), QString());
    EXPECT_FALSE(error.isEmpty());
}

TEST(DamagedFile, AnUnreadableSettingsFileIsNamedAndStillKept)
{
    VORLEN_RUN_UNPRIVILEGED();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("vorlen.ini"));
    writeFile(name, kWholeSettings);
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0), 0);
    const TiniFile ini(name);
    EXPECT_TRUE(ini.ReadProblem().contains(QLatin1String("cannot be read"))) << ini.ReadProblem().toStdString();
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    EXPECT_EQ(KeepDamagedFile(name), DamagedFileName(name));
    ASSERT_EQ(::chmod(QFile::encodeName(DamagedFileName(name)).constData(), 0600), 0);
    EXPECT_EQ(readAll(DamagedFileName(name)), kWholeSettings);
}
