// Runs the built vorlen-info's track-list verbs on real files.
#include "audioFixtures.h"
#include "library/trackListFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QList<QJsonObject> lines;
    QByteArray err;
};

ToolRun runInfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VORLEN_INFO_BIN), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    ToolRun run;
    run.exitCode = process.exitCode();
    run.err = process.readAllStandardError();
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            run.lines.append(QJsonDocument::fromJson(line).object());
    }
    return run;
}

} // namespace

TEST(VorlenInfoLists, SaveListThenListEveryRecord)
{
    QTemporaryDir dir;
    ToneSpec spec;
    spec.seconds = 1;
    spec.metadata = {{QStringLiteral("title"), QStringLiteral("Song")}, {QStringLiteral("artist"), QStringLiteral("Band")}};
    const QString mp3 = dir.filePath(QStringLiteral("a.mp3"));
    const QString ogg = dir.filePath(QStringLiteral("b.ogg"));
    ASSERT_TRUE(MakeToneFile(mp3, spec));
    ASSERT_TRUE(MakeToneFile(ogg, spec));
    const QString dat = dir.filePath(QStringLiteral("jukebox.dat"));

    const ToolRun saved = runInfo({QStringLiteral("--save-list"), dat, mp3, ogg, dir.filePath(QStringLiteral("x.wav"))});
    EXPECT_EQ(saved.exitCode, 0);
    EXPECT_TRUE(saved.err.contains("x.wav"));

    // A damaged record between two intact ones is skipped and reported.
    QFile file(dat);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray data = file.readAll();
    const qsizetype second = data.indexOf("TPF0", 4);
    data.insert(second, QByteArray("TPF0\x0aTid3Tagger\x00\x05Title\x02", 23));
    file.seek(0);
    file.write(data);
    file.close();

    const ToolRun listed = runInfo({QStringLiteral("--list"), dat});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(listed.err.contains("skipped 1 damaged record"));
    ASSERT_EQ(listed.lines.size(), 2);
    const QJsonObject &a = listed.lines[0];
    EXPECT_EQ(a[QStringLiteral("class")].toString(), QStringLiteral("Tid3Tagger"));
    EXPECT_EQ(a[QStringLiteral("Title")].toString(), QStringLiteral("Song"));
    EXPECT_EQ(a[QStringLiteral("Filename")].toString(), mp3);
    EXPECT_GT(a[QStringLiteral("Duration")].toDouble(), 900.0); // stream information was read
    EXPECT_EQ(a[QStringLiteral("WriteType")].toString(), QStringLiteral("wtBoth"));
    EXPECT_FALSE(a.contains(QStringLiteral("Tag"))); // not stored, not listed
    EXPECT_FALSE(a.contains(QStringLiteral("Comment")));
    EXPECT_EQ(listed.lines[1][QStringLiteral("class")].toString(), QStringLiteral("ToggTagger"));
    EXPECT_FALSE(listed.lines[1].contains(QStringLiteral("WriteType")));

    EXPECT_EQ(runInfo({QStringLiteral("--list"), dir.filePath(QStringLiteral("none.dat"))}).exitCode, 1);
    EXPECT_EQ(runInfo({QStringLiteral("--save-list"), dir.filePath(QStringLiteral("no/dir/x.dat")), mp3}).exitCode, 1);
    EXPECT_EQ(runInfo({QStringLiteral("--list")}).exitCode, 2);
}
