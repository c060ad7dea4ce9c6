#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

// One four-byte MPEG audio frame header, decoded.
class TMpegFrameHdr {
public:
    // Copies four bytes and decodes them; false when fewer than 4 are given.
    // Returns Valid.
    bool Decode(const uchar *bytes, qint64 count);
    // The first position i (0 .. count-4) where byte i is 0xFF, byte i+1 is
    // 0xE0 or above and the header there decodes as valid; -1 when there is
    // none, and the fields then hold the last candidate tried.
    qint64 FindHeader(const uchar *buffer, qint64 count);
    // Forgets every field (as when no header was ever decoded).
    void Reset() { *this = TMpegFrameHdr(); }

    const std::array<uchar, 4> &Bytes() const { return m_bytes; }
    bool Valid() const { return m_valid; }
    // The verdict of a confirming header (the next frame) replaces our own.
    void SetValid(bool value) { m_valid = value; }
    // 1 = MPEG 1, 2 = MPEG 2, 3 = MPEG 2.5, 0 = reserved.
    int VersionIndex() const { return m_versionIndex; }
    // "1.0", "2.0", "2.5", or "?!!" for the reserved version.
    QString VersionText() const;
    // 1 to 3; 0 = reserved.
    int Layer() const;
    int BitrateIndex() const { return m_bytes[2] >> 4; }
    int SampleRateIndex() const { return (m_bytes[2] >> 2) & 3; }
    bool PaddingBit() const { return (m_bytes[2] & 0x02) != 0; }
    // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono.
    int ChannelMode() const { return m_bytes[3] >> 6; }
    // kbit/s: 0 free format, -1 invalid.
    int BitrateKbps() const { return m_bitrateKbps; }
    qint64 BitRate() const { return qint64(m_bitrateKbps) * 1000; }
    // Hz; -1 invalid.
    int SampleRate() const { return m_sampleRate; }
    int PaddingBytes() const;
    // Bytes from this header to the next one.
    int FrameLength() const { return m_frameLength; }
    // PCM samples one frame carries: 384 (Layer I), 1152 (Layer II, Layer III
    // of MPEG 1), 576 (Layer III of MPEG 2 and 2.5).
    int SamplesPerFrame() const;

private:
    bool isValid() const;
    int computeFrameLength() const;

    std::array<uchar, 4> m_bytes{};
    bool m_valid = false;
    int m_versionIndex = 0;
    int m_bitrateKbps = 0;
    int m_sampleRate = 0;
    int m_frameLength = 0;
};
