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
    // Raises VorlenError when the file cannot be opened.
    void ReadTag() override;
    void ReadStreamInfo() override;

    // What ReadTag does once the file is open (the record is cleared first by
    // ReadTag only): comments, then stream information.
    void ReadTagFromSource(const TbyteSource &source);
    void ReadStreamInfoFromSource(const TbyteSource &source);

private:
    void readBlocks(const TbyteSource &source, bool withComments);
};
