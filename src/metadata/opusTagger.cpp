#include "metadata/opusTagger.h"

#include "metadata/oggPacketStream.h"
#include "metadata/oggVorbis.h"

#include <cstring>

namespace {

constexpr qint64 kHeadBytes = 4096;
constexpr qint64 kOpusHeadLength = 19;

} // namespace

qint64 TopusTagger::HeadBytes() const
{
    return kHeadBytes;
}

qint64 TopusTagger::TailBytes() const
{
    return kOggEndWindow;
}

const char *TopusTagger::ClassName() const
{
    return "TopusTagger";
}

void TopusTagger::ReadTagFromSource(const TbyteSource &source)
{
    readHeaders(source, true);
}

void TopusTagger::ReadStreamInfoFromSource(const TbyteSource &source)
{
    readHeaders(source, false);
}

ToggPacketStream OpusPacketStream(const TbyteSource &source)
{
    return ToggPacketStream(source, QByteArrayView("OpusHead", 8));
}

TopusHead ReadOpusHead(ToggPacketStream &stream)
{
    TopusHead head;
    uchar bytes[kOpusHeadLength];
    if (!stream.ReadExact(bytes, kOpusHeadLength) || std::memcmp(bytes, "OpusHead", 8) != 0 || (bytes[8] & 0xF0) != 0)
        return head;
    head.found = true;
    head.channels = bytes[9];
    head.preSkip = quint16(bytes[10] | (bytes[11] << 8));
    return head;
}

bool FindOpusTags(ToggPacketStream &stream)
{
    // The identification header ends its page (a channel mapping table may
    // follow the fields read).
    stream.EndPage();
    uchar magic[8];
    return stream.ReadExact(magic, 8) && std::memcmp(magic, "OpusTags", 8) == 0;
}

void TopusTagger::readHeaders(const TbyteSource &source, bool withComments)
{
    ToggPacketStream stream = OpusPacketStream(source);
    const TopusHead head = ReadOpusHead(stream);
    QStringList lines;
    qint64 audioStart = -1;
    if (head.found && FindOpusTags(stream)) {
        lines = ReadCommentList(stream);
        audioStart = stream.FilePosition();
    }
    if (withComments)
        TakeComments(lines);

    SetChannelCount(head.channels);
    SetSampleRate(head.found ? kOpusRate : 0);
    const qint64 granule = head.found ? LastOggGranule(source, stream.Serial()) : -1;
    const double duration = granule > head.preSkip ? double(granule - head.preSkip) / kOpusRate * 1000.0 : 0.0;
    SetDuration(duration);
    SetBitRate(audioStart > 0 ? AverageBitRate(source.Size() - audioStart, duration) : 0);
}
