#pragma once

#include "metadata/oggPacketStream.h"
#include "metadata/vorbisCommentTagger.h"

class TbyteSource;

// The identification header of an Ogg Opus stream, as far as records need it.
struct TopusHead {
    bool found = false;
    quint8 channels = 0;
    quint16 preSkip = 0; // 48 kHz samples the decoder drops at the start
};

// The packets of the Opus stream of an Ogg file.
ToggPacketStream OpusPacketStream(const TbyteSource &source);
// Reads the identification header, the stream's first packet ("OpusHead",
// a version whose major part is 0, channel count, pre-skip, input rate,
// output gain, mapping family).
TopusHead ReadOpusHead(ToggPacketStream &stream);
// After ReadOpusHead: positions the stream at the comment list of the comment
// header ("OpusTags"), which starts the next page; false when there is none.
bool FindOpusTags(ToggPacketStream &stream);

// Track record of an Ogg Opus file (".opus"): the comments of the OpusTags
// header; the channel count from OpusHead; Opus always plays at 48 kHz, so
// the duration is the last page's granule position minus the pre-skip, in
// 48 kHz samples; the bit rate is the average over the audio pages. Stream
// information is always read with the tag. No tag writing.
class TopusTagger : public TvorbisCommentTagger {
public:
    static constexpr quint32 kOpusRate = 48000;

    const char *ClassName() const override;
    void ReadTagFromSource(const TbyteSource &source) override;
    void ReadStreamInfoFromSource(const TbyteSource &source) override;

protected:
    qint64 HeadBytes() const override;
    qint64 TailBytes() const override;

private:
    void readHeaders(const TbyteSource &source, bool withComments);
};
