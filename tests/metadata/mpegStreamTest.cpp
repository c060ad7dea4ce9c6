#include "metadata/audioInfo.h"
#include "metadata/byteSource.h"
#include "metadata/mpegFrameHdr.h"
#include "metadata/timeTexts.h"
#include "tagBytes.h"

#include <gtest/gtest.h>

using namespace tagBytes;

namespace {

TAudioInfo analyse(const QByteArray &bytes)
{
    TAudioInfo info;
    info.AnalyseStream(TmemorySource(bytes.constData(), bytes.size()), 0, bytes.size());
    return info;
}

// A file of any size that holds given bytes at its start and zeros behind.
class ZeroTailSource : public TbyteSource {
public:
    ZeroTailSource(QByteArray head, qint64 size)
        : m_head(std::move(head))
        , m_size(size)
    {
    }
    qint64 Size() const override { return m_size; }
    qint64 ReadAt(qint64 pos, void *dest, qint64 count) const override
    {
        if (pos < 0 || pos >= m_size || count <= 0)
            return 0;
        count = std::min(count, m_size - pos);
        for (qint64 i = 0; i < count; ++i)
            static_cast<char *>(dest)[i] = pos + i < m_head.size() ? m_head[pos + i] : '\0';
        return count;
    }

private:
    QByteArray m_head;
    qint64 m_size;
};

} // namespace

TEST(MpegFrameHdr, DecodesTheFieldsOfAHeader)
{
    TMpegFrameHdr h;
    const uchar plain[] = { 0xFF, 0xFB, 0x90, 0x64 };
    ASSERT_TRUE(h.Decode(plain, 4));
    EXPECT_EQ(h.VersionText(), QStringLiteral("1.0"));
    EXPECT_EQ(h.Layer(), 3);
    EXPECT_EQ(h.BitRate(), 128000);
    EXPECT_EQ(h.SampleRate(), 44100);
    EXPECT_EQ(h.ChannelMode(), 1);
    EXPECT_EQ(h.FrameLength(), 417);
    const uchar padded[] = { 0xFF, 0xFB, 0x92, 0x64 };
    h.Decode(padded, 4);
    EXPECT_EQ(h.FrameLength(), 418);

    const uchar mpeg2[] = { 0xFF, 0xF3, 0x80, 0x00 };
    ASSERT_TRUE(h.Decode(mpeg2, 4));
    EXPECT_EQ(h.VersionText(), QStringLiteral("2.0"));
    EXPECT_EQ(h.BitrateKbps(), 64);
    EXPECT_EQ(h.SampleRate(), 22050);
    EXPECT_EQ(h.FrameLength(), 208);
    const uchar mpeg2Padded[] = { 0xFF, 0xF3, 0x82, 0x00 };
    h.Decode(mpeg2Padded, 4);
    EXPECT_EQ(h.FrameLength(), 209);

    // Layer II of MPEG 2 carries 1152 samples like MPEG 1: 144 * 64000 / 22050.
    const uchar mpeg2Layer2[] = { 0xFF, 0xF5, 0x80, 0x00 };
    ASSERT_TRUE(h.Decode(mpeg2Layer2, 4));
    EXPECT_EQ(h.Layer(), 2);
    EXPECT_EQ(h.FrameLength(), 417);
    // Layer I counts 4-byte slots: (12 * 32000 / 44100 = 8 slots) * 4.
    const uchar layer1[] = { 0xFF, 0xFF, 0x10, 0x00 };
    ASSERT_TRUE(h.Decode(layer1, 4));
    EXPECT_EQ(h.Layer(), 1);
    EXPECT_EQ(h.FrameLength(), 32);

    EXPECT_FALSE(h.Decode(plain, 3));
    const uchar reservedVersion[] = { 0xFF, 0xEB, 0x90, 0x64 };
    EXPECT_FALSE(h.Decode(reservedVersion, 4));
    EXPECT_EQ(h.VersionText(), QStringLiteral("?!!"));
    EXPECT_EQ(h.BitrateKbps(), -1);
    const uchar badBitrate[] = { 0xFF, 0xFB, 0xF0, 0x64 };
    EXPECT_FALSE(h.Decode(badBitrate, 4));
    const uchar badRate[] = { 0xFF, 0xFB, 0x9C, 0x64 };
    EXPECT_FALSE(h.Decode(badRate, 4));
}

TEST(MpegFrameHdr, FindHeaderSkipsFalseSyncsAndKeepsTheLastCandidate)
{
    const uchar bytes[] = { 0x00, 0xFF, 0xEB, 0x90, 0x64, 0xFF, 0xFB, 0x90, 0x64, 0x00 };
    TMpegFrameHdr h;
    EXPECT_EQ(h.FindHeader(bytes, sizeof bytes), 5);
    EXPECT_EQ(h.FindHeader(bytes, 8), -1);
    EXPECT_EQ(h.VersionIndex(), 0); // the rejected candidate at 1
}

TEST(AudioInfo, ConstantBitRateDurationInWholeSeconds)
{
    QByteArray file = mpegFrames(2);
    file.resize(4000000);
    const TAudioInfo atStart = analyse(file);
    EXPECT_EQ(atStart.HeaderOffset(), 0);
    EXPECT_TRUE(atStart.Header().Valid());
    EXPECT_FALSE(atStart.IsVBR());
    EXPECT_EQ(atStart.DurationMs(), 250000);

    QByteArray behindJunk = QByteArray(417, 'x') + mpegFrames(2);
    behindJunk.resize(4000000);
    const TAudioInfo shifted = analyse(behindJunk);
    EXPECT_EQ(shifted.HeaderOffset(), 417);
    EXPECT_EQ(shifted.DurationMs(), 249000);
}

TEST(AudioInfo, LargeFilesDoNotOverflow)
{
    const qint64 size = 5'000'000'000LL;
    TAudioInfo info;
    info.AnalyseStream(ZeroTailSource(mpegFrames(2), size), 0, size);
    EXPECT_EQ(info.DurationMs(), size * 8 / 128000 * 1000);
}

TEST(AudioInfo, XingHeaderGivesTheVariableBitRateDuration)
{
    const TAudioInfo vbr = analyse(xingFrame(10000, true) + mpegFrames(3));
    EXPECT_TRUE(vbr.IsVBR());
    EXPECT_EQ(vbr.DurationMs(), 261000);

    const TAudioInfo noCount = analyse(xingFrame(10000, false) + mpegFrames(3));
    EXPECT_TRUE(noCount.IsVBR());
    EXPECT_EQ(noCount.DurationMs(), 0);

    QByteArray vbri = mpegFrame();
    vbri.replace(36, 18, QByteArray("VBRI") + QByteArray(10, '\0') + be32(10000));
    const TAudioInfo fraunhofer = analyse(vbri + mpegFrames(3));
    EXPECT_TRUE(fraunhofer.IsVBR());
    EXPECT_EQ(fraunhofer.DurationMs(), 261000);

    // MPEG 2 Layer III, mono, 22050 Hz: 576 samples a frame, Xing at 13.
    QByteArray mpeg2 = xingFrame(22050, true, 0xF3, 0x80, 0xC0, 13).left(208) + QByteArray(208, '\0');
    mpeg2[208] = char(0xFF);
    mpeg2[209] = char(0xF3);
    mpeg2[210] = char(0x80);
    mpeg2[211] = char(0xC0);
    const TAudioInfo lsf = analyse(mpeg2 + QByteArray(100, '\0'));
    EXPECT_TRUE(lsf.IsVBR());
    EXPECT_EQ(lsf.DurationMs(), 576000);
}

TEST(AudioInfo, FramesAreSearchedBehindALeadingTag)
{
    // A tag hiding a false sync, then 10,000 bytes of junk after it.
    QByteArray body(20000, '\0');
    body[100] = char(0xFF);
    body[101] = char(0xFB);
    body[102] = char(0x90);
    body[103] = char(0x64);
    const QByteArray tagged = tag(3, body);
    const QByteArray file = tagged + QByteArray(10000, 'j') + mpegFrames(4);
    const TAudioInfo info = analyse(file);
    EXPECT_EQ(info.HeaderOffset(), tagged.size() + 10000);
    EXPECT_TRUE(info.Header().Valid());
    EXPECT_EQ(info.DurationMs(), 0); // four frames: 0.1 s, whole seconds

    // A second tag right behind the first is stepped over as well.
    EXPECT_EQ(analyse(tagged + tagged + mpegFrames(4)).HeaderOffset(), 2 * tagged.size());

    // Beyond the search window behind the tag nothing is found: all zero.
    const TAudioInfo far = analyse(tagged + QByteArray(10400, 'j') + mpegFrames(4));
    EXPECT_EQ(far.HeaderOffset(), -1);
    EXPECT_EQ(far.Header().BitrateKbps(), 0);
    EXPECT_EQ(far.Header().SampleRate(), 0);
    EXPECT_EQ(far.DurationMs(), 0);
}

TEST(AudioInfo, FalseSyncWithoutNextFrameIsInvalidButReported)
{
    QByteArray file = QByteArray(50, 'a') + mpegFrame() + QByteArray(2000, 'b');
    const TAudioInfo info = analyse(file);
    EXPECT_EQ(info.HeaderOffset(), 50);
    EXPECT_FALSE(info.Header().Valid());
    EXPECT_EQ(info.Header().BitRate(), 128000);
    EXPECT_EQ(info.Header().SampleRate(), 44100);

    // Short files end the analysis without reading past the end.
    const TAudioInfo tiny = analyse(mpegFrame().left(40));
    EXPECT_EQ(tiny.HeaderOffset(), 0);
    EXPECT_FALSE(tiny.IsVBR());
}

TEST(TimeTexts, IntegerDivisionWithoutPaddingOfTheLeadingField)
{
    EXPECT_EQ(FormatMinSec(245), QStringLiteral("4:05"));
    EXPECT_EQ(FormatMinSec(3725), QStringLiteral("62:05"));
    EXPECT_EQ(FormatHourMinSec(3725), QStringLiteral("1:02:05"));
    EXPECT_EQ(FormatHourMinSec(59), QStringLiteral("0:00:59"));
    EXPECT_EQ(FormatMsMinSec(245999), QStringLiteral("4:05"));
    EXPECT_EQ(FormatMsHourMinSec(3725999), QStringLiteral("1:02:05"));
}
