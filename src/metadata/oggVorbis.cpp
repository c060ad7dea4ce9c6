#include "metadata/oggVorbis.h"

#include "metadata/byteSource.h"
#include "metadata/oggPacketStream.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kSearchLimit = 1024;
const QByteArrayView kIdentificationMagic("\x01vorbis", 7);

// Reads on until the packet type byte followed by "vorbis" has been read;
// false when the first kilobyte holds none.
bool findHeader(ToggPacketStream &stream, qint64 streamSize, uchar packetType)
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

} // namespace

bool FindVorbisCommentHeader(ToggPacketStream &stream, qint64 streamSize)
{
    return findHeader(stream, streamSize, 3);
}

QStringList ReadVorbisComments(const TbyteSource &source)
{
    ToggPacketStream stream(source, kIdentificationMagic);
    if (!FindVorbisCommentHeader(stream, source.Size()))
        return QStringList();
    return ReadCommentList(stream);
}

TvorbisStreamInfo ReadVorbisStreamInfo(const TbyteSource &source)
{
    TvorbisStreamInfo info;
    ToggPacketStream stream(source, kIdentificationMagic);
    if (!findHeader(stream, source.Size(), 1))
        return info;
    info.found = true;
    uchar fields[17];
    const qint64 got = stream.Read(fields, sizeof fields);
    if (got >= 5)
        info.channels = fields[4];
    if (got >= 9)
        info.sampleRate = LittleEndian32(fields + 5);
    if (got >= 17)
        info.nominalBitrate = qint32(LittleEndian32(fields + 13));
    info.serial = stream.Serial();
    return info;
}

namespace {

qint64 lastGranuleWithin(const TbyteSource &source, std::optional<quint32> serial, qint64 windowBytes)
{
    const qint64 size = source.Size();
    const qint64 start = std::max<qint64>(0, size - windowBytes);
    QByteArray window(size - start, Qt::Uninitialized);
    if (source.ReadAt(start, window.data(), window.size()) != window.size())
        return -1;
    const auto *p = reinterpret_cast<const uchar *>(window.constData());
    for (qint64 i = window.size() - 27; i >= 0; --i) {
        if (std::memcmp(p + i, "OggS", 4) != 0 || p[i + 4] != 0)
            continue;
        // A page of another stream (video, a second audio track) counts other units.
        if (serial && LittleEndian32(p + i + 14) != *serial)
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

} // namespace

qint64 LastOggGranule(const TbyteSource &source, std::optional<quint32> serial)
{
    // Pages of most files are a few kilobytes, so the end window usually
    // holds the last one; a file of long pages (a high bit rate) costs a
    // second read of the largest page there can be.
    const qint64 granule = lastGranuleWithin(source, serial, kOggEndWindow);
    if (granule >= 0 || source.Size() <= kOggEndWindow)
        return granule;
    return lastGranuleWithin(source, serial, kOggLargestPage);
}
