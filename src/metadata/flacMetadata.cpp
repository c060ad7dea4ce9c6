#include "metadata/flacMetadata.h"

#include "metadata/byteSource.h"
#include "metadata/id3v2.h"

#include <cstring>

namespace {

// Real files have a handful; a file of millions of empty blocks is damaged.
constexpr int kMaxBlocks = 4096;
constexpr qint64 kStreamInfoLength = 34;

} // namespace

TflacBlockWalker::TflacBlockWalker(const TbyteSource &source)
    : m_source(source)
{
    uchar head[10];
    qint64 marker = 0;
    if (source.ReadExact(0, head, sizeof head))
        marker = TID3v2::TagSizeFromHeader(head, source.Size());
    uchar magic[4];
    if (source.ReadExact(marker, magic, 4) && std::memcmp(magic, "fLaC", 4) == 0)
        m_pos = marker + 4;
}

bool TflacBlockWalker::Next()
{
    if (m_pos < 0 || m_last || m_blocks >= kMaxBlocks)
        return false;
    uchar header[4];
    if (!m_source.ReadExact(m_pos, header, 4)) {
        m_pos = -1;
        return false;
    }
    m_type = header[0] & 0x7F;
    m_last = header[0] & 0x80;
    m_length = (qint64(header[1]) << 16) | (qint64(header[2]) << 8) | header[3];
    m_contentPos = m_pos + 4;
    if (m_type == 127 || m_contentPos + m_length > m_source.Size()) {
        m_pos = -1;
        return false;
    }
    m_pos = m_contentPos + m_length;
    ++m_blocks;
    if (m_last)
        m_audioStart = m_pos;
    return true;
}

TflacStreamInfo ReadFlacStreamInfo(const TbyteSource &source, const TflacBlockWalker &block)
{
    TflacStreamInfo info;
    uchar b[kStreamInfoLength];
    if (block.Type() != TflacBlockWalker::btStreamInfo || block.Length() < kStreamInfoLength
        || !source.ReadExact(block.Position(), b, kStreamInfoLength))
        return info;
    // Behind the block and frame sizes (10 bytes): sample rate (20 bits),
    // channels - 1 (3), bits per sample - 1 (5), total samples (36).
    info.found = true;
    info.sampleRate = (quint32(b[10]) << 12) | (quint32(b[11]) << 4) | (b[12] >> 4);
    info.channels = quint8(((b[12] >> 1) & 0x07) + 1);
    info.bitsPerSample = quint8((((b[12] & 0x01) << 4) | (b[13] >> 4)) + 1);
    info.totalSamples = (quint64(b[13] & 0x0F) << 32) | (quint64(b[14]) << 24) | (quint64(b[15]) << 16)
        | (quint64(b[16]) << 8) | b[17];
    return info;
}
