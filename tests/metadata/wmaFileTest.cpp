#include "metadata/byteSource.h"
#include "metadata/wmaFile.h"
#include "metadata/wmaTagger.h"
#include "tagBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tagBytes;

namespace {

const QByteArray kHeader("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArray kFileProperties("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
const QByteArray kStreamProperties("\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16);
const QByteArray kContent("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const QByteArray kExtended("\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
const QByteArray kAudio("\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B", 16);

QByteArray object(const QByteArray &guid, const QByteArray &payload)
{
    return guid + le64(quint64(24 + payload.size())) + payload;
}

QByteArray wideZ(const QString &text)
{
    return utf16le(text) + QByteArray(2, '\0');
}

QByteArray fileProperties(quint32 maxBitRate, quint64 playDuration100ns, quint64 prerollMs)
{
    QByteArray p(100 - 24, '\0');
    p.replace(64 - 24, 8, le64(playDuration100ns));
    p.replace(80 - 24, 8, le64(prerollMs));
    return object(kFileProperties, p + le32(maxBitRate) + QByteArray(4, '\0'));
}

QByteArray streamProperties(quint16 channels, quint32 rate, quint32 bytesPerSecond)
{
    QByteArray p = kAudio + QByteArray(78 - 40, '\0');
    p += le16(0x161) + le16(channels) + le32(rate) + le32(bytesPerSecond) + QByteArray(8, '\0');
    return object(kStreamProperties, p);
}

QByteArray contentDescription(const QString &title, const QString &author, const QString &description)
{
    const QByteArray t = wideZ(title), a = wideZ(author), d = wideZ(description);
    return object(kContent, le16(t.size()) + le16(a.size()) + le16(0) + le16(d.size()) + le16(0) + t + a + d);
}

QByteArray extended(const QList<std::pair<QString, QByteArray>> &descriptors)
{
    QByteArray p = le16(quint32(descriptors.size()));
    for (const auto &[name, value] : descriptors) {
        const QByteArray n = wideZ(name);
        p += le16(n.size()) + n + value;
    }
    return object(kExtended, p);
}

QByteArray text(const QString &value)
{
    const QByteArray v = wideZ(value);
    return le16(0) + le16(v.size()) + v;
}

QByteArray asf(const QList<QByteArray> &objects, qsizetype padTo = 0)
{
    QByteArray body;
    for (const QByteArray &o : objects)
        body += o;
    QByteArray file = kHeader + le64(quint64(30 + body.size())) + le32(quint32(objects.size())) + QByteArray("\x01\x02", 2) + body;
    if (file.size() < padTo)
        file += QByteArray(padTo - file.size(), '\0');
    return file;
}

TWMAfile read(const QByteArray &bytes)
{
    TWMAfile file;
    EXPECT_TRUE(file.ReadFromSource(TmemorySource(bytes.constData(), bytes.size())));
    return file;
}

} // namespace

TEST(WmaFile, ReadsTheHeaderObjects)
{
    const QByteArray bytes = asf({fileProperties(128000, 30'000'000 + 31'000'000, 3100), streamProperties(2, 44100, 12000),
                                  contentDescription(QStringLiteral("Title ✓"), QStringLiteral(" Author "),
                                                     QStringLiteral("Desc")),
                                  extended({{QStringLiteral("WM/AlbumTitle"), text(QStringLiteral("Album"))},
                                            {QStringLiteral("wm/track"), text(QStringLiteral("5"))},
                                            {QStringLiteral("WM/Year"), text(QStringLiteral("2001"))},
                                            {QStringLiteral("WM/Genre"), text(QStringLiteral("Rock"))},
                                            {QStringLiteral("WM/Picture"), le16(1) + le16(4) + "\1\2\3\4"}})});
    const TWMAfile file = read(bytes);
    ASSERT_TRUE(file.Valid());
    EXPECT_EQ(file.Channels(), 2);
    EXPECT_EQ(file.SampleRate(), 44100);
    EXPECT_EQ(file.BitRateKbps(), 96);
    EXPECT_DOUBLE_EQ(file.DurationSec(), 3.0);
    EXPECT_EQ(file.Title(), QStringLiteral("Title ✓"));
    EXPECT_EQ(file.Artist(), QStringLiteral("Author"));
    EXPECT_EQ(file.Comment(), QStringLiteral("Desc"));
    EXPECT_EQ(file.Album(), QStringLiteral("Album"));
    EXPECT_EQ(file.Track(), 5);
    EXPECT_EQ(file.Year(), QStringLiteral("2001"));
    EXPECT_EQ(file.Genre(), QStringLiteral("Rock"));

    TwmaTagger record;
    record.TakeFrom(file);
    EXPECT_EQ(record.bitRate(), 96000u);
    EXPECT_DOUBLE_EQ(record.Duration(), 3000.0);
    EXPECT_EQ(record.GenreByte(), 17);
    EXPECT_EQ(record.Date(), QStringLiteral("2001"));
    EXPECT_EQ(record.GetChannelModeText(), QStringLiteral("Stereo"));
    EXPECT_TRUE(record.ValidTag());
}

TEST(WmaFile, TrackNumberNameAndDurationEstimate)
{
    // No play time: the size over the peak bit rate.
    const QByteArray bytes = asf({fileProperties(64000, 0, 0), streamProperties(1, 22050, 8000),
                                  extended({{QStringLiteral("WM/TrackNumber"), text(QStringLiteral("9"))}})},
                                 80000);
    const TWMAfile file = read(bytes);
    ASSERT_TRUE(file.Valid());
    EXPECT_EQ(file.Track(), 0);
    EXPECT_DOUBLE_EQ(file.DurationSec(), 10.0);
}

TEST(WmaFile, InvalidHeadersLeaveTheRecordCleared)
{
    const QByteArray lowRate = asf({fileProperties(128000, 0, 0), streamProperties(2, 7999, 12000),
                                    contentDescription(QStringLiteral("T"), QStringLiteral("A"), QString())});
    const TWMAfile file = read(lowRate);
    EXPECT_FALSE(file.Valid());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.wma"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lowRate);
    out.close();
    TwmaTagger record;
    record.SetGenreByte(42);
    record.LoadFromFile(path);
    EXPECT_EQ(record.Filename(), path);
    EXPECT_EQ(record.Artist(), QString());
    EXPECT_FALSE(record.ValidTag());
    EXPECT_EQ(record.GenreByte(), 42);
    EXPECT_NE(record.ModDateLow() | record.ModDateHigh(), 0u);

    TwmaTagger missing;
    missing.LoadFromFile(dir.filePath(QStringLiteral("missing.wma")));
    EXPECT_FALSE(missing.ValidTag());

    // A truncated header is an unreadable file.
    TWMAfile truncated;
    const QByteArray cut = lowRate.left(60);
    EXPECT_FALSE(truncated.ReadFromSource(TmemorySource(cut.constData(), cut.size())));
    EXPECT_FALSE(truncated.Valid());
}
