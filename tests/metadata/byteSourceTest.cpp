#include "metadata/byteSource.h"
#include "platform/vorlenError.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FileSource, EveryReadMatchesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bytes.bin"));
    QByteArray bytes(100000, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &b : bytes)
        b = char(random.bounded(256));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const TfileSource source(path, 1000, 500);
    ASSERT_EQ(source.Size(), bytes.size());
    // Reads inside, across and outside the head, the tail and the window.
    const qint64 positions[] = { 0, 1, 996, 999, 1000, 5000, 5001, 9000, 9095, 99499, 99500, 99999, 100000, -1 };
    const qint64 counts[] = { 0, 1, 4, 10, 600, 4096, 4097, 20000 };
    QByteArray out(20000, '\0');
    for (const qint64 pos : positions) {
        for (const qint64 count : counts) {
            const qint64 expected = pos < 0 || pos >= bytes.size() ? 0 : std::min(count, bytes.size() - pos);
            ASSERT_EQ(source.ReadAt(pos, out.data(), count), expected) << pos << " " << count;
            ASSERT_EQ(out.left(expected), bytes.mid(pos, expected)) << pos << " " << count;
        }
    }
    // A small file is read whole once; head and tail overlap.
    const TfileSource whole(path, 200000, 128);
    ASSERT_TRUE(whole.ReadExact(99872, out.data(), 128));
    EXPECT_EQ(out.left(128), bytes.right(128));
}

TEST(FileSource, BytesAtHandAreServedWithoutTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bytes.bin"));
    QByteArray bytes(20000, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(bytes);
    file.flush();

    const TfileSource source(path, 1000, 128);
    char out[4096];
    // The tail is fetched by the first read inside it, a window by a small
    // read elsewhere.
    EXPECT_EQ(source.BytesAtHand(19900), 0);
    ASSERT_TRUE(source.ReadExact(19990, out, 10));
    ASSERT_TRUE(source.ReadExact(5000, out, 10));
    EXPECT_EQ(source.BytesAtHand(0), 1000);
    EXPECT_EQ(source.BytesAtHand(999), 1);
    EXPECT_EQ(source.BytesAtHand(1000), 0);
    EXPECT_EQ(source.BytesAtHand(19872), 128);
    EXPECT_EQ(source.BytesAtHand(5000), 4096);
    EXPECT_EQ(source.BytesAtHand(20000), 0);

    // What is at hand is what was read before the file changed.
    file.seek(0);
    file.write(QByteArray(bytes.size(), '\0'));
    file.flush();
    for (const qint64 pos : { qint64(0), qint64(999), qint64(5000), qint64(7000), qint64(19872), qint64(19999) }) {
        const qint64 count = std::min<qint64>(source.BytesAtHand(pos), sizeof out);
        ASSERT_EQ(source.ReadAt(pos, out, count), count);
        EXPECT_EQ(QByteArray(out, count), bytes.mid(pos, count)) << pos;
    }
    EXPECT_TRUE(source.ReadExact(12000, out, 1));
    EXPECT_EQ(out[0], '\0');
}

TEST(FileSource, UnopenableFilesRaiseWithTheirName)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.mp3"));
    try {
        TfileSource source(missing, 10, 0);
        FAIL() << "opened a missing file";
    } catch (const VorlenError &error) {
        EXPECT_TRUE(error.message().contains(missing));
    }
    EXPECT_THROW(TfileSource(dir.path(), 10, 0), VorlenError);
}
