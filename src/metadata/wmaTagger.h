#pragma once

#include "metadata/customTagger.h"

class TWMAfile;

// Track record of a Windows Media Audio file (".wma"), read from the ASF
// header objects (see TWMAfile). A file that cannot be read leaves the record
// cleared with ValidTag false; nothing is raised.
class TwmaTagger : public TcustomTagger {
public:
    const char *ClassName() const override;
    QString GetChannelModeText() const override;
    void ReadTag() override;

    // Fills the record from a header already read (ReadTag without the file).
    void TakeFrom(const TWMAfile &file);
};
