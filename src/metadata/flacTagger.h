#pragma once

#include "metadata/vorbisCommentTagger.h"

class TbyteSource;

// Track record of a FLAC file (".flac"): Vorbis comments from the
// VORBIS_COMMENT block; sample rate, channels and duration from STREAMINFO;
// the bit rate is the average over the audio frames. Everything comes from the
// metadata blocks at the start of the file, so stream information is always
// read with the tag. No tag writing.
class TflacTagger : public TvorbisCommentTagger {
public:
    const char *ClassName() const override;
    void ReadTagFromSource(const TbyteSource &source) override;
    void ReadStreamInfoFromSource(const TbyteSource &source) override;

protected:
    qint64 HeadBytes() const override;
    qint64 TailBytes() const override;

private:
    void readBlocks(const TbyteSource &source, bool withComments);
};
