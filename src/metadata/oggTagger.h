#pragma once

#include "metadata/vorbisCommentTagger.h"

class TbyteSource;

// Track record of an Ogg Vorbis file (".ogg"): Vorbis comments and the
// identification header near the start, the last page's sample count near the
// end. Stream information is always read with the tag.
class ToggTagger : public TvorbisCommentTagger {
public:
    const char *ClassName() const override;
    void ReadTagFromSource(const TbyteSource &source) override;
    void ReadStreamInfoFromSource(const TbyteSource &source) override;

protected:
    qint64 HeadBytes() const override;
    qint64 TailBytes() const override;
};
