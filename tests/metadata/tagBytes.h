#pragma once

// Builders of the byte layouts the metadata tests feed to the readers.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace tagBytes {

inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    b[0] = char(v >> 24);
    b[1] = char(v >> 16);
    b[2] = char(v >> 8);
    b[3] = char(v);
    return b;
}

inline QByteArray le16(quint32 v)
{
    QByteArray b(2, '\0');
    b[0] = char(v);
    b[1] = char(v >> 8);
    return b;
}

inline QByteArray le32(quint32 v)
{
    return le16(v & 0xFFFF) + le16(v >> 16);
}

inline QByteArray le64(quint64 v)
{
    return le32(quint32(v)) + le32(quint32(v >> 32));
}

inline QByteArray syncSafe(quint32 v)
{
    QByteArray b(4, '\0');
    b[0] = char((v >> 21) & 0x7F);
    b[1] = char((v >> 14) & 0x7F);
    b[2] = char((v >> 7) & 0x7F);
    b[3] = char(v & 0x7F);
    return b;
}

// An ID3v2.3 frame (plain 32-bit size) or, with v24, a sync-safe sized one.
inline QByteArray frame(const char *id, const QByteArray &content, bool v24 = false)
{
    return QByteArray(id) + (v24 ? syncSafe(quint32(content.size())) : be32(quint32(content.size())))
        + QByteArray(2, '\0') + content;
}

// An ID3v2.2 frame: 3-character identifier and 24-bit size.
inline QByteArray frame22(const char *id, const QByteArray &content)
{
    return QByteArray(id) + be32(quint32(content.size())).mid(1) + content;
}

inline QByteArray tag(int major, const QByteArray &body, int flags = 0)
{
    return QByteArray("ID3") + char(major) + char(0) + char(flags) + syncSafe(quint32(body.size())) + body;
}

inline QByteArray utf16le(const QString &text)
{
    QByteArray b;
    for (QChar c : text)
        b += le16(c.unicode());
    return b;
}

inline QByteArray utf16be(const QString &text)
{
    QByteArray b;
    for (QChar c : text) {
        b += char(c.unicode() >> 8);
        b += char(c.unicode() & 0xFF);
    }
    return b;
}

// MPEG 1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 417 bytes a frame.
inline QByteArray mpegFrame(uchar b2 = 0x90, uchar b3 = 0x64, int length = 417)
{
    QByteArray f(length, '\0');
    f[0] = char(0xFF);
    f[1] = char(0xFB);
    f[2] = char(b2);
    f[3] = char(b3);
    return f;
}

// A first frame carrying a Xing header (at offset 36 for MPEG 1 stereo).
inline QByteArray xingFrame(
    quint32 frames, bool framesFlag, uchar b1 = 0xFB, uchar b2 = 0x90, uchar b3 = 0x64, int offset = 36)
{
    QByteArray f = mpegFrame(b2, b3);
    f[1] = char(b1);
    f.replace(offset, 12, QByteArray("Xing") + be32(framesFlag ? 1 : 0) + be32(frames));
    return f;
}

// One Ogg page carrying body; lacing values split it into 255-byte segments.
inline QByteArray oggPage(const QByteArray &body, quint64 granule, quint32 sequence, bool continued = false,
    quint32 serial = 0x1234, bool beginning = false)
{
    QByteArray lacing;
    qsizetype left = body.size();
    while (left >= 255) {
        lacing += char(255);
        left -= 255;
    }
    lacing += char(left);
    return QByteArray("OggS") + char(0) + char((continued ? 1 : 0) | (beginning ? 2 : 0)) + le64(granule) + le32(serial)
        + le32(sequence) + le32(0) + char(lacing.size()) + lacing + body;
}

// A comment list: vendor, count, then each entry with its length.
inline QByteArray commentList(const QList<QByteArray> &entries, const QByteArray &vendor = "vendor")
{
    QByteArray out = le32(quint32(vendor.size())) + vendor + le32(quint32(entries.size()));
    for (const QByteArray &entry : entries)
        out += le32(quint32(entry.size())) + entry;
    return out;
}

// A FLAC metadata block: header byte (type, last-block flag), 24-bit length.
inline QByteArray flacBlock(quint8 type, const QByteArray &content, bool last = false)
{
    return char(type | (last ? 0x80 : 0)) + be32(quint32(content.size())).mid(1) + content;
}

// STREAMINFO: block sizes 4096, frame sizes unknown, then sample rate (20
// bits), channels - 1 (3), bits per sample - 1 (5), total samples (36), MD5.
inline QByteArray flacStreamInfo(quint32 rate, int channels, int bits, quint64 totalSamples)
{
    const quint64 packed = (quint64(rate) << 44) | (quint64(channels - 1) << 41) | (quint64(bits - 1) << 36)
        | (totalSamples & 0xFFFFFFFFFull);
    return QByteArray("\x10\x00\x10\x00", 4) + QByteArray(6, '\0') + be32(quint32(packed >> 32)) + be32(quint32(packed))
        + QByteArray(16, '\x5A');
}

inline QByteArray mpegFrames(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += mpegFrame();
    return out;
}

} // namespace tagBytes
