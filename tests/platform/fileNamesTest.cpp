#include "platform/fileExists.h"
#include "platform/fileNames.h"
#include "platform/fileTime.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ostream>
#include <unistd.h>

namespace {

struct RawName {
    const char *name;
    QByteArray bytes;
    QString readable;
};

// Test names show the case, not its bytes.
void PrintTo(const RawName &value, std::ostream *os)
{
    *os << value.name;
}

class FileNameBytesTest : public ::testing::TestWithParam<RawName> {};

} // namespace

TEST_P(FileNameBytesTest, NamesComeBackAsTheBytesTheyWere)
{
    const QByteArray &bytes = GetParam().bytes;
    const QString name = DecodeFileName(bytes);
    EXPECT_EQ(EncodeFileName(name), bytes);
    EXPECT_EQ(ReadableFileName(name), GetParam().readable);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameBytesTest,
    ::testing::Values(RawName{"Ascii", "/music/a.mp3", QStringLiteral("/music/a.mp3")},
                      RawName{"Utf8", "/music/Caf\xC3\xA9.mp3", QStringLiteral("/music/Café.mp3")},
                      RawName{"Latin1", "/music/caf\xE9.mp3", QStringLiteral("/music/café.mp3")},
                      RawName{"Mixed", "/m\xC3\xBCsic/\xE9t\xE9 \xE2\x82\xAC.mp3", QStringLiteral("/müsic/été €.mp3")},
                      // An overlong "/" and a surrogate written as UTF-8: both are not UTF-8.
                      RawName{"Overlong", "/a\xC0\xAF" "b", QStringLiteral("/aÀ¯b")},
                      RawName{"Surrogate", "/\xED\xA0\x80", QStringLiteral("/í\u00A0\u0080")},
                      RawName{"CutSequence", "/end\xE2\x82", QStringLiteral("/endâ\u0082")},
                      // A character beyond U+FFFF whose second half looks like a kept byte.
                      RawName{"BeyondTheBmp", "/\xE9 \xF0\x9F\x82\xA1.mp3", QStringLiteral("/é 🂡.mp3")}),
    [](const ::testing::TestParamInfo<RawName> &info) { return std::string(info.param.name); });

TEST(FileNameBytes, AFileWithALatin1NameIsFoundAgain)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path()) + "/caf\xE9.mp3";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "data", 4), 4);
    ::close(fd);
    const QString name = DecodeFileName(path);
    EXPECT_TRUE(QuietFileExists(name));
    EXPECT_NE(FileLastWriteTime(name).low | FileLastWriteTime(name).high, 0u);
    // What Qt makes of the bytes names another file.
    EXPECT_FALSE(QuietFileExists(QFile::decodeName(path)));
    // Qt cannot name the file to remove it with its folder.
    ::unlink(path.constData());
}
