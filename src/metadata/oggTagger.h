#pragma once

#include "metadata/customTagger.h"

// Track record of an Ogg Vorbis file (".ogg"): Vorbis comments and the
// identification header near the start, the last page's sample count near the
// end. Stream information is always read with the tag.
class ToggTagger : public TcustomTagger {
public:
    const char *ClassName() const override;
    QString GetChannelModeText() const override;
    void ReadTag() override;
    void ReadStreamInfo() override;
};
