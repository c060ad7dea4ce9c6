// Runs the built vorlen-info on real files.
#include "audioFixtures.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<QJsonObject> runInfo(const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(QStringLiteral(VORLEN_INFO_BIN), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    *exitCode = process.exitCode();
    QList<QJsonObject> objects;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            objects.append(QJsonDocument::fromJson(line).object());
    return objects;
}

} // namespace

TEST(VorlenInfo, OneJsonLinePerFile)
{
    QTemporaryDir dir;
    ToneSpec spec;
    spec.seconds = 2;
    spec.metadata = {{QStringLiteral("title"), QStringLiteral("Song")}, {QStringLiteral("artist"), QStringLiteral("Band")}};
    const QString mp3 = dir.filePath(QStringLiteral("a.mp3"));
    const QString ogg = dir.filePath(QStringLiteral("b.ogg"));
    ASSERT_TRUE(MakeToneFile(mp3, spec));
    ASSERT_TRUE(MakeToneFile(ogg, spec));
    const QString wav = dir.filePath(QStringLiteral("c.wav"));
    ASSERT_TRUE(MakeToneFile(wav, spec));
    const QString unreadableOgg = dir.filePath(QStringLiteral("folder.ogg"));
    ASSERT_TRUE(QDir().mkpath(unreadableOgg));

    int exitCode = -1;
    const QList<QJsonObject> lines =
        runInfo({mp3, ogg, wav, dir.filePath(QStringLiteral("missing.mp3")), unreadableOgg}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(lines.size(), 5);

    const QJsonObject &a = lines[0];
    EXPECT_EQ(a[QStringLiteral("class")].toString(), QStringLiteral("Tid3Tagger"));
    EXPECT_EQ(a[QStringLiteral("Title")].toString(), QStringLiteral("Song"));
    EXPECT_EQ(a[QStringLiteral("Artist")].toString(), QStringLiteral("Band"));
    EXPECT_EQ(a[QStringLiteral("Duration")].toDouble(), 2000.0);
    EXPECT_EQ(a[QStringLiteral("bitRate")].toInt(), 128000);
    EXPECT_EQ(a[QStringLiteral("WriteType")].toString(), QStringLiteral("wtBoth"));
    EXPECT_EQ(a[QStringLiteral("MpegVersionText")].toString(), QStringLiteral("1.0"));
    EXPECT_EQ(a[QStringLiteral("MpegLayer")].toInt(), 3);
    EXPECT_EQ(a[QStringLiteral("TagKind")].toInt(), 2);
    EXPECT_FALSE(a[QStringLiteral("IsVBR")].toBool(true));
    for (const char *name : {"Tag", "Date", "Comment", "Track", "Genre", "GenreByte", "Filename", "SampleRate",
                             "ChannelMode", "ValidTag", "ModDateHigh", "ModDateLow", "TypeFlags"})
        EXPECT_TRUE(a.contains(QLatin1String(name))) << name;

    EXPECT_EQ(lines[1][QStringLiteral("class")].toString(), QStringLiteral("ToggTagger"));
    EXPECT_EQ(lines[1][QStringLiteral("Artist")].toString(), QStringLiteral("Band"));
    EXPECT_FALSE(lines[1].contains(QStringLiteral("IsVBR")));
    EXPECT_TRUE(lines[2][QStringLiteral("class")].isNull());
    EXPECT_FALSE(lines[2].contains(QStringLiteral("error")));
    EXPECT_FALSE(lines[3][QStringLiteral("error")].toString().isEmpty());
    EXPECT_FALSE(lines[4][QStringLiteral("error")].toString().isEmpty());

    runInfo({}, &exitCode);
    EXPECT_NE(exitCode, 0);
}
