#include "metadata/oggVorbis.h"

#include "metadata/byteSource.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kSearchLimit = 1024;
// Beginning-of-stream pages looked at for the Vorbis stream.
constexpr int kBeginPagesSearched = 8;
// Comment values beyond this are not kept (only embedded pictures get there).
constexpr qint64 kCommentCap = 64 * 1024;

quint32 littleEndian32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// The packet data of an Ogg file as one byte stream: the bodies of the pages
// of the first logical stream, one after the other. A file that does not begin
// with a page is taken as it stands.
class PacketStream {
public:
    explicit PacketStream(const TbyteSource &source)
        : m_source(source)
    {
        uchar magic[4];
        m_paged = source.ReadExact(0, magic, 4) && std::memcmp(magic, "OggS", 4) == 0;
        if (!m_paged)
            m_bodyLeft = source.Size();
        else
            chooseVorbisStream();
    }

    qint64 Position() const { return m_position; }
    bool Paged() const { return m_paged; }

    // Copies up to count bytes (dest may be null to skip them); returns how
    // many were available.
    qint64 Read(void *dest, qint64 count)
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

    // The serial of the logical stream followed, once a page has been read.
    std::optional<quint32> Serial() const { return m_paged && m_serialKnown ? std::optional(m_serial) : std::nullopt; }

    bool ReadU32(quint32 *value)
    {
        uchar bytes[4];
        if (Read(bytes, 4) != 4)
            return false;
        *value = littleEndian32(bytes);
        return true;
    }

private:
    // Follows the Vorbis stream when the file multiplexes several (a
    // skeleton or video stream may come first): the beginning-of-stream page
    // whose packet is a Vorbis identification header names it. Without one,
    // the first page's stream is followed.
    void chooseVorbisStream()
    {
        qint64 pos = 0;
        for (int page = 0; page < kBeginPagesSearched; ++page) {
            uchar header[27];
            uchar segments[255];
            uchar packet[7];
            if (!m_source.ReadExact(pos, header, sizeof header) || std::memcmp(header, "OggS", 4) != 0
                || !(header[5] & 0x02) || !m_source.ReadExact(pos + 27, segments, header[26]))
                return;
            qint64 body = 0;
            for (int i = 0; i < header[26]; ++i)
                body += segments[i];
            if (m_source.ReadExact(pos + 27 + header[26], packet, 7) && std::memcmp(packet, "\x01vorbis", 7) == 0) {
                m_serial = littleEndian32(header + 14);
                m_serialKnown = true;
                return;
            }
            pos += 27 + header[26] + body;
        }
    }

    bool nextPage()
    {
        if (!m_paged)
            return false;
        for (;;) {
            uchar header[27];
            uchar segments[255];
            if (!m_source.ReadExact(m_nextPage, header, sizeof header) || std::memcmp(header, "OggS", 4) != 0)
                return false;
            const quint32 serial = littleEndian32(header + 14);
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

    const TbyteSource &m_source;
    qint64 m_position = 0; // in packet data
    qint64 m_filePos = 0;
    qint64 m_bodyLeft = 0;
    qint64 m_nextPage = 0;
    quint32 m_serial = 0;
    bool m_serialKnown = false;
    bool m_paged = false;
};

// Reads on until the packet type byte followed by "vorbis" has been read;
// false when the first kilobyte holds none.
bool findHeader(PacketStream &stream, qint64 streamSize, uchar packetType)
{
    static constexpr char kName[] = "vorbis";
    int matched = 0;
    while (stream.Position() <= kSearchLimit && (stream.Paged() || stream.Position() < streamSize - 1)) {
        uchar byte = 0;
        if (stream.Read(&byte, 1) != 1)
            return false;
        if (matched == 0) {
            if (byte == packetType)
                matched = 1;
        } else if (byte == uchar(kName[matched - 1])) {
            if (++matched == 7)
                return true;
        } else {
            matched = 0;
        }
    }
    return false;
}

bool continuation(const uchar *p, qsizetype i, qsizetype size)
{
    return i < size && (p[i] & 0xC0) == 0x80;
}

} // namespace

QString DecodeUtf8UpToError(const char *bytes, qsizetype size)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes);
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = p[i];
        int length = 0;
        bool secondOk = true;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (i + 1 < size)
                secondOk = !(lead == 0xE0 && p[i + 1] < 0xA0) && !(lead == 0xED && p[i + 1] > 0x9F);
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (i + 1 < size)
                secondOk = !(lead == 0xF0 && p[i + 1] < 0x90) && !(lead == 0xF4 && p[i + 1] > 0x8F);
        } else {
            break;
        }
        bool ok = secondOk;
        for (int k = 1; ok && k < length; ++k)
            ok = continuation(p, i + k, size);
        if (!ok)
            break;
        i += length;
    }
    return QString::fromUtf8(bytes, i);
}

QStringList ReadVorbisComments(const TbyteSource &source)
{
    QStringList lines;
    PacketStream stream(source);
    if (!findHeader(stream, source.Size(), 3))
        return lines;
    quint32 vendorLength = 0;
    quint32 count = 0;
    if (!stream.ReadU32(&vendorLength) || stream.Read(nullptr, vendorLength) != vendorLength || !stream.ReadU32(&count))
        return lines;
    QByteArray bytes;
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        if (!stream.ReadU32(&length))
            break;
        const qint64 kept = std::min<qint64>(length, kCommentCap);
        bytes.resize(kept);
        if (stream.Read(bytes.data(), kept) != kept || stream.Read(nullptr, length - kept) != length - kept)
            break;
        lines.append(DecodeUtf8UpToError(bytes.constData(), bytes.size()));
    }
    return lines;
}

QString VorbisCommentValue(const QStringList &lines, QLatin1StringView name)
{
    for (const QString &line : lines) {
        if (line.size() > name.size() && line.at(name.size()) == QLatin1Char('=')
            && QStringView(line).left(name.size()).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(name.size() + 1);
    }
    return QString();
}

TvorbisStreamInfo ReadVorbisStreamInfo(const TbyteSource &source)
{
    TvorbisStreamInfo info;
    PacketStream stream(source);
    if (!findHeader(stream, source.Size(), 1))
        return info;
    info.found = true;
    uchar fields[17];
    const qint64 got = stream.Read(fields, sizeof fields);
    if (got >= 5)
        info.channels = fields[4];
    if (got >= 9)
        info.sampleRate = littleEndian32(fields + 5);
    if (got >= 17)
        info.nominalBitrate = qint32(littleEndian32(fields + 13));
    info.serial = stream.Serial();
    return info;
}

qint64 LastOggGranule(const TbyteSource &source, std::optional<quint32> serial)
{
    const qint64 size = source.Size();
    const qint64 start = std::max<qint64>(0, size - kOggEndWindow);
    QByteArray window(size - start, Qt::Uninitialized);
    if (source.ReadAt(start, window.data(), window.size()) != window.size())
        return -1;
    const auto *p = reinterpret_cast<const uchar *>(window.constData());
    for (qint64 i = window.size() - 27; i >= 0; --i) {
        if (std::memcmp(p + i, "OggS", 4) != 0 || p[i + 4] != 0)
            continue;
        // A page of another stream (video, a second audio track) counts other units.
        if (serial && littleEndian32(p + i + 14) != *serial)
            continue;
        quint64 granule = 0;
        for (int k = 7; k >= 0; --k)
            granule = (granule << 8) | p[i + 6 + k];
        // -1 marks a page on which no packet ends.
        if (granule != ~quint64(0) && granule < (quint64(1) << 62))
            return qint64(granule);
    }
    return -1;
}
