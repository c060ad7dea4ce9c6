#include "ui/forms/folderNameFit.h"

#include <QFont>
#include <QFontMetrics>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

QString fit(const QString &path, const QString &roomFor)
{
    const QFontMetrics metrics { QFont() };
    return FitFolderName(path, metrics, metrics.horizontalAdvance(roomFor));
}

} // namespace

TEST(FolderNameFit, LeadingFoldersGiveWayOneAtATime)
{
    const QString path = QStringLiteral("/home/ann/Music/Air/Moon Safari");
    EXPECT_EQ(fit(path, path), path) << "a path that fits stays whole";
    // Each step is taken only when the text before it is too wide.
    const QStringList steps { QStringLiteral("/.../ann/Music/Air/Moon Safari"),
        QStringLiteral("/.../Music/Air/Moon Safari"), QStringLiteral("/.../Air/Moon Safari"),
        QStringLiteral("/.../Moon Safari"), QStringLiteral(".../Moon Safari"), QStringLiteral("Moon Safari") };
    for (const QString &step : steps)
        EXPECT_EQ(fit(path, step), step);
    EXPECT_EQ(fit(path, QStringLiteral("M")), QStringLiteral("Moon Safari")) << "the name is never cut";
}

TEST(FolderNameFit, FoldersPathsAndOddNames)
{
    // A folder given with its final "/" keeps it; its name part is empty.
    EXPECT_EQ(fit(QStringLiteral("/srv/media/Music/"), QStringLiteral("/.../Music/")), QStringLiteral("/.../Music/"));
    EXPECT_EQ(fit(QStringLiteral("/srv/media/Music/"), QString()), QString());
    // A hidden folder is a folder, not the ellipsis of an earlier cut.
    EXPECT_EQ(fit(QStringLiteral("/home/.cache/music/x.mp3"), QStringLiteral("/.../music/x.mp3")),
        QStringLiteral("/.../music/x.mp3"));
    EXPECT_EQ(fit(QStringLiteral("/home/.cache/music/x.mp3"), QStringLiteral("/.../.cache/music/x.mp3")),
        QStringLiteral("/.../.cache/music/x.mp3"));
    // A relative name without folders has nothing to give.
    EXPECT_EQ(fit(QStringLiteral("Moon Safari"), QString()), QStringLiteral("Moon Safari"));
    EXPECT_EQ(fit(QStringLiteral("/x"), QString()), QStringLiteral("x"));
}
