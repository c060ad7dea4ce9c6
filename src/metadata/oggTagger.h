#pragma once

#include "metadata/vorbisCommentTagger.h"

class TbyteSource;

// Track record of an Ogg Vorbis file (".ogg"): Vorbis comments and the
// identification header near the start, the last page's sample count near the
// end. Stream information is always read with the tag.
class ToggTagger : public TvorbisCommentTagger {
public:
    const char *ClassName() const override;
    // Raises VorlenError when the file cannot be opened.
    void ReadTag() override;
    void ReadStreamInfo() override;

    // What ReadTag does once the file is open (the record is cleared first by
    // ReadTag only): comments, then stream information.
    void ReadTagFromSource(const TbyteSource &source);
    void ReadStreamInfoFromSource(const TbyteSource &source);
};
