#include "platform/pathList.h"

#include <gtest/gtest.h>

namespace {

QStringList pathsOf(const TpathList &list)
{
    QStringList paths;
    for (qsizetype i = 0; i < list.Count(); ++i)
        paths << list.Path(i);
    return paths;
}

} // namespace

// Folders shared by several paths, given again after others, as equal texts
// apart, or empty, each join their own names in the order added; and a
// folder whose source replaced its text (a record renamed) keeps its paths:
// a new text never takes the place of one the list still names.
TEST(PathList, PathsComeBackWholeInTheirOrder)
{
    const QString music = QStringLiteral("/music/");
    const QString other = QStringLiteral("/other/");
    TpathList list;
    list.Append(music, QStringLiteral("a.mp3"));
    list.Append(other, QStringLiteral("b.mp3"));
    list.Append(QString(), QStringLiteral("bare.mp3"));
    list.Append(music, QStringLiteral("c.mp3"));
    list.Append(QString(other.constData(), other.size()), QStringLiteral("d.mp3"));
    list.Append(QStringLiteral("/"), QStringLiteral("e.mp3"));
    QStringList expected { QStringLiteral("/music/a.mp3"), QStringLiteral("/other/b.mp3"), QStringLiteral("bare.mp3"),
        QStringLiteral("/music/c.mp3"), QStringLiteral("/other/d.mp3"), QStringLiteral("/e.mp3") };
    for (int i = 0; i < 200; ++i) {
        const QString folder = QStringLiteral("/music/album %1/").arg(i);
        list.Append(folder, QStringLiteral("track.mp3"));
        expected << folder + QStringLiteral("track.mp3");
    }
    EXPECT_EQ(pathsOf(list), expected);
    EXPECT_EQ(pathsOf(TpathList(pathsOf(list))), expected);
}
