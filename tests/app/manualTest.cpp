// The manual the build writes beside the program, and the tool that writes it.
#include "manualPage.h"

#include "ui/controls/captionText.h"
#include "ui/forms/jukeboxActions.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString ReadText(const char *path)
{
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The rows of the page's tables by their command name.
QMap<QString, QString> CommandRows(const QString &html)
{
    QMap<QString, QString> rows;
    static const QRegularExpression row(QStringLiteral("<tr id=\"(actn\\w+)\">(.*?)</tr>"));
    for (auto it = row.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        rows[match.captured(1)] += match.captured(2);
    }
    return rows;
}

TEST(Manual, TheBuiltManualListsEveryKeyOfTheWindow)
{
    const QString html = ReadText(VORLEN_MANUAL_PAGE);
    ASSERT_FALSE(html.isEmpty()) << "no manual at " VORLEN_MANUAL_PAGE;
    const QMap<QString, QString> rows = CommandRows(html);
    EXPECT_EQ(rows.size(), qsizetype(JukeboxActions().size()));
    int keys = 0;
    for (const TjukeboxActionSpec &action : JukeboxActions()) {
        const QString name = QString::fromLatin1(action.name);
        ASSERT_TRUE(rows.contains(name)) << action.name << " is missing from the manual";
        const QString row = rows[name];
        EXPECT_TRUE(row.contains(CaptionDisplayText(QString::fromLatin1(action.caption)).toHtmlEscaped()))
            << action.name;
        for (const QString &key : CommandKeys(action.key)) {
            ++keys;
            EXPECT_TRUE(row.contains(QStringLiteral("<kbd>%1</kbd>").arg(key)))
                << action.name << " " << key.toStdString();
            EXPECT_TRUE(row.contains(QStringLiteral("<code>%1</code>").arg(XdotoolKey(key))))
                << action.name << " " << key.toStdString();
        }
        // Every command is explained, not only named.
        EXPECT_FALSE(row.endsWith(QStringLiteral("<td></td>"))) << action.name;
    }
    // Help has two keys.
    EXPECT_EQ(keys,
        int(html.count(QStringLiteral("<kbd>"))) - int(ReadText(VORLEN_MANUAL_SOURCE).count(QStringLiteral("<kbd>"))));
    // The markers and the descriptions block are gone from the page.
    EXPECT_FALSE(html.contains(QStringLiteral("<!-- keys -->")));
    EXPECT_FALSE(html.contains(QStringLiteral("<!-- commands without keys -->")));
    EXPECT_FALSE(html.contains(QStringLiteral("command descriptions")));
}

TEST(Manual, ASourceThatDriftsFromTheWindowMakesNoPage)
{
    const QString source = ReadText(VORLEN_MANUAL_SOURCE);
    ASSERT_FALSE(source.isEmpty());
    ASSERT_TRUE(BuildManualPage(source).errors.isEmpty()) << BuildManualPage(source).errors.join('\n').toStdString();

    // A command of the window that the manual does not describe.
    QString missing = source;
    missing.remove(QRegularExpression(QStringLiteral("\nactnQueueMoveTo:[^\n]*")));
    QStringList errors = BuildManualPage(missing).errors;
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("actnQueueMoveTo")));

    // A command the window does not have, one described twice, a line that
    // is not a description.
    QString extra = source;
    extra.replace(
        QStringLiteral("actnPlay:"), QStringLiteral("actnRewind: Rewinds.\nactnPause: Again.\nnonsense\nactnPlay:"));
    errors = BuildManualPage(extra).errors;
    EXPECT_EQ(errors.size(), 3) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors.join(' ').contains(QStringLiteral("actnRewind")));

    // Descriptions may run over several lines.
    QString continued = source;
    continued.replace(
        QStringLiteral("actnStop: Stops playing."), QStringLiteral("actnStop: Stops\n  playing at once."));
    const TmanualPage page = BuildManualPage(continued);
    EXPECT_TRUE(page.errors.isEmpty());
    EXPECT_TRUE(CommandRows(page.html)[QStringLiteral("actnStop")].contains(QStringLiteral("Stops playing at once.")));

    // Each table needs its place, once.
    QString noKeys = source;
    noKeys.remove(QStringLiteral("<!-- keys -->"));
    EXPECT_EQ(BuildManualPage(noKeys).errors.size(), 1);
    EXPECT_EQ(BuildManualPage(source + QStringLiteral("<!-- commands without keys -->")).errors.size(), 1);
    EXPECT_FALSE(BuildManualPage(QString()).errors.isEmpty());
}

TEST(Manual, KeysAsXdotoolNamesThem)
{
    EXPECT_EQ(XdotoolKey(QStringLiteral("Ctrl+P")), QStringLiteral("ctrl+p"));
    EXPECT_EQ(XdotoolKey(QStringLiteral("Ctrl+Alt+F")), QStringLiteral("ctrl+alt+f"));
    EXPECT_EQ(XdotoolKey(QStringLiteral("Ctrl+Shift+F5")), QStringLiteral("ctrl+shift+F5"));
    EXPECT_EQ(XdotoolKey(QStringLiteral("F10")), QStringLiteral("F10"));
    EXPECT_EQ(CommandKeys("Ctrl+H; F1"), (QStringList { QStringLiteral("Ctrl+H"), QStringLiteral("F1") }));
    EXPECT_TRUE(CommandKeys("").isEmpty());
}

} // namespace
