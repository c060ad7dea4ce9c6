#include "metadata/flacTagger.h"

#include "metadata/byteSource.h"
#include "metadata/flacMetadata.h"
#include "metadata/vorbisComment.h"

namespace {

// STREAMINFO and the comments come first in most files; blocks further on
// (behind a picture) cost a read of their own.
constexpr qint64 kHeadBytes = 4096;

} // namespace

qint64 TflacTagger::HeadBytes() const
{
    return kHeadBytes;
}

qint64 TflacTagger::TailBytes() const
{
    return 0;
}

const char *TflacTagger::ClassName() const
{
    return "TflacTagger";
}

void TflacTagger::ReadTagFromSource(const TbyteSource &source)
{
    readBlocks(source, true);
}

void TflacTagger::ReadStreamInfoFromSource(const TbyteSource &source)
{
    readBlocks(source, false);
}

void TflacTagger::readBlocks(const TbyteSource &source, bool withComments)
{
    TflacBlockWalker block(source);
    TflacStreamInfo info;
    QStringList lines;
    bool commentsRead = false;
    // Every header is stepped over, so that the start of the audio is known.
    while (block.Next()) {
        if (block.Type() == TflacBlockWalker::btStreamInfo && !info.found) {
            info = ReadFlacStreamInfo(source, block);
        } else if (withComments && block.Type() == TflacBlockWalker::btVorbisComment && !commentsRead) {
            TrangeStream stream(source, block.Position(), block.Length());
            lines = ReadCommentList(stream);
            commentsRead = true;
        }
    }
    if (withComments)
        TakeComments(lines);

    SetChannelCount(info.channels);
    SetSampleRate(info.sampleRate);
    const double duration
        = info.sampleRate > 0 && info.totalSamples > 0 ? double(info.totalSamples) / info.sampleRate * 1000.0 : 0.0;
    SetDuration(duration);
    const qint64 audioBytes = block.AudioStart() >= 0 ? source.Size() - block.AudioStart() : 0;
    SetBitRate(AverageBitRate(audioBytes, duration));
}
