#include "platform/commaText.h"
#include "platform/iniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniFile, MatchesNamesWithoutCaseAndKeepsUnknownLines)
{
    TiniFile ini;
    ini.SetText("stray\n[General]\r\nShowTips=0\r\n; a comment\r\nOther Key = kept value\r\n"
                "[Dirs]\nDirList=\"/m/a b\",/m/c\n");
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("general"), QStringLiteral("SHOWTIPS"), true));
    EXPECT_EQ(ini.ReadString(QStringLiteral("GENERAL"), QStringLiteral("other key"), {}),
              QStringLiteral(" kept value"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{QStringLiteral("General"), QStringLiteral("Dirs")}));

    ini.WriteBool(QStringLiteral("GENERAL"), QStringLiteral("showtips"), true);
    ini.WriteInteger(QStringLiteral("New"), QStringLiteral("TipNo"), -4);
    const QByteArray text = ini.Text();
    EXPECT_EQ(text, QByteArray("stray\n[General]\nShowTips=1\n; a comment\nOther Key= kept value\n\n"
                               "[Dirs]\nDirList=\"/m/a b\",/m/c\n\n[New]\nTipNo=-4\n\n"));

    TiniFile again;
    again.SetText(text);
    EXPECT_EQ(again.Text(), text);
}

TEST(IniFile, ValueFormsAndDefaults)
{
    TiniFile ini;
    ini.SetText("[S]\nBool=7\nZero=0\nNum= 42 \nBad=12abc\nEmpty=\n");
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("Bool"), false));
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("Zero"), true));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("Missing"), true));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("Num"), 1), 42);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("Bad"), 5), 5);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("Empty"), 6), 6);
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("s"), QStringLiteral("EMPTY")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("Empty"), QStringLiteral("d")), QString());

    ini.WriteString(QStringLiteral("S"), QStringLiteral("Text"), QStringLiteral("two\nlines"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("Text"), {}), QStringLiteral("two lines"));
    ini.DeleteKey(QStringLiteral("s"), QStringLiteral("bool"));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("S"), QStringLiteral("Bool")));
    ini.EraseSection(QStringLiteral("s"));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("S")));
}

TEST(IniFile, WritesBackWholeToDisk)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("vorlen.ini"));
    {
        TiniFile ini(name);
        EXPECT_TRUE(ini.ReadSections().isEmpty());
        ini.WriteString(QStringLiteral("General"), QStringLiteral("MusicFolder"), QStringLiteral("/home/ü/Music"));
        ASSERT_TRUE(ini.UpdateFile());
    }
    TiniFile reread(name);
    EXPECT_EQ(reread.ReadString(QStringLiteral("general"), QStringLiteral("musicfolder"), {}),
              QStringLiteral("/home/ü/Music"));

    TiniFile unwritable(dir.filePath(QStringLiteral("missing/sub/vorlen.ini")));
    QString error;
    EXPECT_FALSE(unwritable.UpdateFile(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CommaText, QuotesWhatNeedsQuotingAndReadsItBack)
{
    const QStringList items{QStringLiteral("/m/plain"), QStringLiteral("/m/with space"), QStringLiteral("say \"hi\""),
                            QStringLiteral("a,b"), QString(), QStringLiteral("tab\there")};
    const QString text = ToCommaText(items);
    EXPECT_EQ(text, QStringLiteral("/m/plain,\"/m/with space\",\"say \"\"hi\"\"\",\"a,b\",,\"tab\there\""));
    EXPECT_EQ(FromCommaText(text), items);

    EXPECT_EQ(ToCommaText({QString()}), QStringLiteral("\"\""));
    EXPECT_EQ(FromCommaText(u"\"\""), QStringList{QString()});
    EXPECT_EQ(ToCommaText({}), QString());
    EXPECT_TRUE(FromCommaText(u"   ").isEmpty());
}

TEST(CommaText, ReadingRules)
{
    // Unquoted items end at a space; blanks around items and after commas are skipped.
    EXPECT_EQ(FromCommaText(u"  a b , c,"), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(FromCommaText(u"a,,b"), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    // An unterminated quote takes the rest of the text.
    EXPECT_EQ(FromCommaText(u"\"open, end"), QStringList{QStringLiteral("open, end")});
    EXPECT_EQ(FromCommaText(u"\"x\"y"), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
}
