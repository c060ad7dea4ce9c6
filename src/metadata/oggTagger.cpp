#include "metadata/oggTagger.h"

#include "metadata/byteSource.h"
#include "metadata/oggVorbis.h"

namespace {

constexpr qint64 kHeadBytes = 64 * 1024;

} // namespace

qint64 ToggTagger::HeadBytes() const
{
    return kHeadBytes;
}

qint64 ToggTagger::TailBytes() const
{
    return kOggEndWindow;
}

const char *ToggTagger::ClassName() const
{
    return "ToggTagger";
}

void ToggTagger::ReadTagFromSource(const TbyteSource &source)
{
    TakeComments(ReadVorbisComments(source));
    ReadStreamInfoFromSource(source);
}

void ToggTagger::ReadStreamInfoFromSource(const TbyteSource &source)
{
    const TvorbisStreamInfo info = ReadVorbisStreamInfo(source);
    if (info.found) {
        SetChannelCount(info.channels);
        SetSampleRate(info.sampleRate);
        SetBitRate(quint32(std::max(0, info.nominalBitrate)));
    }
    const qint64 samples = LastOggGranule(source, info.serial);
    if (samples > 0) {
        SetDuration(SampleRate() > 0 ? double(samples) / SampleRate() * 1000.0 : 0.0);
    } else if (bitRate() > 0) {
        // No final page in reach: estimate from the size and the nominal rate.
        SetDuration(double(source.Size()) * 8.0 / bitRate() * 1000.0);
    } else {
        SetDuration(0.0);
    }
}
