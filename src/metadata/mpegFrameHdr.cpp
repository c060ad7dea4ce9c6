#include "metadata/mpegFrameHdr.h"

#include <cstring>

namespace {

// kbit/s by [version index - 1][layer - 1][bit rate index].
constexpr int kBitrates[3][3][16] = {
    {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},
    },
    {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
    },
    {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
    },
};

constexpr int kSampleRates[3][4] = {
    {44100, 48000, 32000, -1},
    {22050, 24000, 16000, -1},
    {32000, 16000, 8000, -1},
};

constexpr int kVersionFromBits[4] = {3, 0, 2, 1};
constexpr int kLayerFromBits[4] = {0, 3, 2, 1};

} // namespace

bool TMpegFrameHdr::Decode(const uchar *bytes, qint64 count)
{
    if (count < 4)
        return false;
    std::memcpy(m_bytes.data(), bytes, 4);
    m_versionIndex = kVersionFromBits[(m_bytes[1] >> 3) & 3];
    const int layer = Layer();
    m_bitrateKbps = (m_versionIndex == 0 || layer == 0) ? -1 : kBitrates[m_versionIndex - 1][layer - 1][BitrateIndex()];
    m_sampleRate = m_versionIndex == 0 ? -1 : kSampleRates[m_versionIndex - 1][SampleRateIndex()];
    m_frameLength = computeFrameLength();
    m_valid = isValid();
    return m_valid;
}

qint64 TMpegFrameHdr::FindHeader(const uchar *buffer, qint64 count)
{
    for (qint64 i = 0; i + 4 <= count; ++i) {
        if (buffer[i] == 0xFF && buffer[i + 1] >= 0xE0 && Decode(buffer + i, count - i))
            return i;
    }
    return -1;
}

QString TMpegFrameHdr::VersionText() const
{
    switch (m_versionIndex) {
    case 1:
        return QStringLiteral("1.0");
    case 2:
        return QStringLiteral("2.0");
    case 3:
        return QStringLiteral("2.5");
    default:
        return QStringLiteral("?!!");
    }
}

int TMpegFrameHdr::Layer() const
{
    return kLayerFromBits[(m_bytes[1] >> 1) & 3];
}

int TMpegFrameHdr::PaddingBytes() const
{
    if (!PaddingBit())
        return 0;
    return Layer() == 1 ? 4 : 1;
}

int TMpegFrameHdr::SamplesPerFrame() const
{
    const int layer = Layer();
    if (layer == 1)
        return 384;
    if (layer == 3 && m_versionIndex != 1)
        return 576;
    return 1152;
}

bool TMpegFrameHdr::isValid() const
{
    return m_bytes[0] == 0xFF && m_bytes[1] > 0xDF && m_versionIndex != 0 && Layer() != 0 && m_bitrateKbps != -1 &&
           m_sampleRate != -1;
}

int TMpegFrameHdr::computeFrameLength() const
{
    if (m_sampleRate <= 0)
        return 0;
    // Layer I counts in 4-byte slots, so its length is truncated in slots.
    if (Layer() == 1)
        return int(BitRate() * 12 / m_sampleRate) * 4 + PaddingBytes();
    return int(BitRate() * (SamplesPerFrame() / 8) / m_sampleRate) + PaddingBytes();
}
