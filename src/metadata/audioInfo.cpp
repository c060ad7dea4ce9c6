#include "metadata/audioInfo.h"

#include "metadata/byteSource.h"
#include "metadata/id3v2.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

namespace {

// ID3v2 tags at the start of the analysis that the frame search steps over.
constexpr int kLeadingTagsSkipped = 4;

// Bytes of the search region fetched first (the window of a file source),
// unless at least kEnoughAtHand bytes are at hand already: the first frame
// nearly always starts right behind the tag, and its header, the Xing header
// and the next frame's header lie within its length.
constexpr qint64 kFirstSearchPart = 4096;
constexpr qint64 kEnoughAtHand = 1024;

// Where the Xing header sits behind the frame header: 4 header bytes plus the
// Layer III side information, whose size depends on version and channels.
int xingOffset(const TMpegFrameHdr &header)
{
    const bool mono = header.ChannelMode() == 3;
    if (header.VersionIndex() == 1)
        return mono ? 21 : 36;
    return mono ? 13 : 21;
}

quint32 bigEndian32(const uchar *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

} // namespace

void TAudioInfo::reset()
{
    m_header.Reset();
    m_headerOffset = -1;
    m_durationMs = 0;
    m_isVbr = false;
}

void TAudioInfo::setVbrDuration(quint32 frames)
{
    m_isVbr = true;
    if (m_header.SampleRate() <= 0)
        return;
    // Whole seconds, halves to even (the default rounding mode).
    const double seconds = double(m_header.SamplesPerFrame()) / m_header.SampleRate() * frames;
    m_durationMs = qint64(std::nearbyint(seconds)) * 1000;
}

void TAudioInfo::AnalyseFile(const QString &fileName)
{
    reset();
    if (fileName.trimmed().isEmpty())
        return;
    const TfileSource source(fileName, kMpegHeadBytes, 0);
    AnalyseStream(source, 0, source.Size());
}

void TAudioInfo::AnalyseStream(const TbyteSource &source, qint64 start, qint64 count)
{
    reset();
    const qint64 available = std::max<qint64>(0, std::min(count, source.Size() - start));

    // The frames begin behind a leading ID3v2 tag: searching from there keeps
    // a cover picture from using up the search window and rules out false
    // syncs inside the tag.
    // Some taggers put a new tag in front of an old one, so tags directly
    // behind the first are stepped over too.
    qint64 skip = 0;
    uchar head[10];
    for (int tags = 0; tags < kLeadingTagsSkipped && source.ReadExact(start + skip, head, sizeof head); ++tags) {
        const qint64 tagSize = TID3v2::TagSizeFromHeader(head, available - skip);
        if (tagSize <= 0)
            break;
        skip += tagSize;
    }

    // The search reads a first block of 128 bytes and then 124 new bytes at a
    // time until the limit is reached; every position whose four bytes were
    // read is tried once. The first frame usually follows at once, so the
    // bytes come in two steps: a short first part, the rest only when needed.
    const qint64 searchable = available - skip;
    qint64 toRead = std::min<qint64>(128, searchable);
    while (toRead < std::min(m_searchLimit, searchable))
        toRead = std::min(toRead + 124, searchable);
    QVarLengthArray<uchar, 16384> window(std::max<qint64>(toRead, 0));
    const qint64 atHand = source.BytesAtHand(start + skip);
    const qint64 firstPart = std::min(toRead, atHand >= kEnoughAtHand ? atHand : kFirstSearchPart);
    qint64 got = firstPart > 0 ? source.ReadAt(start + skip, window.data(), firstPart) : 0;
    qint64 found = m_header.FindHeader(window.data(), got);
    if (found < 0 && got == firstPart && toRead > firstPart) {
        got += source.ReadAt(start + skip + firstPart, window.data() + firstPart, toRead - firstPart);
        // Positions from firstPart - 3 on had too few bytes to be tried.
        const qint64 resume = std::max<qint64>(0, firstPart - 3);
        found = m_header.FindHeader(window.data() + resume, got - resume);
        if (found >= 0)
            found += resume;
    }
    if (found < 0) {
        m_header.Reset();
        return;
    }
    m_headerOffset = skip + found;

    if (m_header.Valid() && m_headerOffset + m_header.FrameLength() + 4 < available) {
        uchar next[4];
        TMpegFrameHdr second;
        const bool read = source.ReadExact(start + m_headerOffset + m_header.FrameLength(), next, 4);
        m_header.SetValid(read && second.Decode(next, 4));
    }

    if (m_header.Valid()) {
        const qint64 xingPos = m_headerOffset + xingOffset(m_header);
        uchar xing[12];
        if (xingPos + 12 < available && source.ReadExact(start + xingPos, xing, 12)
            && std::equal(xing, xing + 4, "Xing")) {
            setVbrDuration((xing[7] & 1) ? bigEndian32(xing + 8) : 0);
            return;
        }
        // The Fraunhofer encoder's VBRI header sits 32 bytes behind the frame
        // header, whatever the version and channels; without it such files
        // would be timed by their first frame's bit rate.
        const qint64 vbriPos = m_headerOffset + 36;
        uchar vbri[18];
        if (vbriPos + 18 < available && source.ReadExact(start + vbriPos, vbri, 18)
            && std::equal(vbri, vbri + 4, "VBRI")) {
            setVbrDuration(bigEndian32(vbri + 14));
            return;
        }
    }

    const qint64 bitRate = m_header.BitRate();
    if (bitRate > 0)
        m_durationMs = (available - m_headerOffset) * 8 / bitRate * 1000;
}
