#pragma once

#include "metadata/customTagger.h"

// Track record of a Windows Media Audio file (".wma"), read from the ASF
// header objects (see TWMAfile).
class TwmaTagger : public TcustomTagger {
public:
    const char *ClassName() const override;
    QString GetChannelModeText() const override;
    void ReadTag() override;
};
