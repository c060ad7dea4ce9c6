#include "metadata/oggPacketStream.h"

#include <algorithm>
#include <cstring>

namespace {

// Beginning-of-stream pages looked at for the stream to follow.
constexpr int kBeginPagesSearched = 8;
constexpr qsizetype kMagicCap = 16;

} // namespace

ToggPacketStream::ToggPacketStream(const TbyteSource &source, QByteArrayView firstPacketMagic)
    : m_source(source)
{
    uchar magic[4];
    m_paged = source.ReadExact(0, magic, 4) && std::memcmp(magic, "OggS", 4) == 0;
    if (!m_paged)
        m_bodyLeft = source.Size();
    else
        chooseStream(firstPacketMagic);
}

qint64 ToggPacketStream::Read(void *dest, qint64 count)
{
    qint64 done = 0;
    while (done < count) {
        if (m_bodyLeft == 0 && !nextPage())
            break;
        const qint64 take = std::min(count - done, m_bodyLeft);
        if (dest && m_source.ReadAt(m_filePos, static_cast<char *>(dest) + done, take) != take) {
            m_bodyLeft = 0;
            m_paged = false;
            break;
        }
        m_filePos += take;
        m_bodyLeft -= take;
        m_position += take;
        done += take;
    }
    return done;
}

void ToggPacketStream::chooseStream(QByteArrayView magic)
{
    const qsizetype magicSize = std::min(magic.size(), kMagicCap);
    qint64 pos = 0;
    for (int page = 0; page < kBeginPagesSearched; ++page) {
        uchar header[27];
        uchar segments[255];
        uchar packet[kMagicCap];
        if (!m_source.ReadExact(pos, header, sizeof header) || std::memcmp(header, "OggS", 4) != 0
            || !(header[5] & 0x02) || !m_source.ReadExact(pos + 27, segments, header[26]))
            return;
        qint64 body = 0;
        for (int i = 0; i < header[26]; ++i)
            body += segments[i];
        if (m_source.ReadExact(pos + 27 + header[26], packet, magicSize)
            && std::memcmp(packet, magic.data(), size_t(magicSize)) == 0) {
            m_serial = LittleEndian32(header + 14);
            m_serialKnown = true;
            return;
        }
        pos += 27 + header[26] + body;
    }
}

bool ToggPacketStream::nextPage()
{
    if (!m_paged)
        return false;
    for (;;) {
        uchar header[27];
        uchar segments[255];
        if (!m_source.ReadExact(m_nextPage, header, sizeof header) || std::memcmp(header, "OggS", 4) != 0)
            return false;
        const quint32 serial = LittleEndian32(header + 14);
        const int count = header[26];
        if (!m_source.ReadExact(m_nextPage + 27, segments, count))
            return false;
        qint64 body = 0;
        for (int i = 0; i < count; ++i)
            body += segments[i];
        const qint64 bodyStart = m_nextPage + 27 + count;
        m_nextPage = bodyStart + body;
        if (!m_serialKnown) {
            m_serial = serial;
            m_serialKnown = true;
        }
        if (serial != m_serial || body == 0)
            continue;
        m_filePos = bodyStart;
        m_bodyLeft = body;
        return true;
    }
}
