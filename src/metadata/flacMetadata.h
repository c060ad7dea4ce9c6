#pragma once

#include <QtGlobal>

class TbyteSource;

// The metadata blocks at the start of a FLAC file: the marker "fLaC" (behind
// an ID3v2 tag when a tagger put one in front), then blocks of a one-byte
// header (bit 7: last block; bits 0-6: type) and a 24-bit big-endian length.
// Only block headers are read while stepping; contents are read by the caller.
class TflacBlockWalker {
public:
    enum BlockType : quint8 { btStreamInfo = 0, btVorbisComment = 4, btPicture = 6 };

    explicit TflacBlockWalker(const TbyteSource &source);

    // The source starts with the FLAC marker (after an ID3v2 tag, if any).
    bool IsFlac() const { return m_pos >= 0; }
    // Steps to the next block; false after the last one or at a damaged header.
    bool Next();
    quint8 Type() const { return m_type; }
    // Where the current block's content starts, and its length.
    qint64 Position() const { return m_contentPos; }
    qint64 Length() const { return m_length; }
    // Where the audio frames start, once the last block has been stepped
    // over; -1 before, or when the blocks are damaged.
    qint64 AudioStart() const { return m_audioStart; }

private:
    const TbyteSource &m_source;
    qint64 m_pos = -1; // the next block header
    qint64 m_contentPos = 0;
    qint64 m_length = 0;
    qint64 m_audioStart = -1;
    int m_blocks = 0;
    quint8 m_type = 0;
    bool m_last = false;
};

// The fields of the STREAMINFO block that describe the sound.
struct TflacStreamInfo {
    bool found = false;
    quint32 sampleRate = 0;
    quint8 channels = 0;
    quint8 bitsPerSample = 0;
    quint64 totalSamples = 0; // per channel; 0 when the encoder did not know
};

// Reads the STREAMINFO block at the walker's current block.
TflacStreamInfo ReadFlacStreamInfo(const TbyteSource &source, const TflacBlockWalker &block);
