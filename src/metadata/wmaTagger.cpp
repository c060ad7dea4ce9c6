#include "metadata/wmaTagger.h"

#include "metadata/wmaFile.h"

const char *TwmaTagger::ClassName() const
{
    return "TwmaTagger";
}

QString TwmaTagger::GetChannelModeText() const
{
    return ChannelCountText(ChannelMode());
}

void TwmaTagger::ReadTag()
{
    TcustomTagger::ReadTag();
    ReadModDate();
    TWMAfile file;
    file.ReadFromFile(Filename());
    TakeFrom(file);
}

void TwmaTagger::TakeFrom(const TWMAfile &file)
{
    if (file.Valid()) {
        SetArtist(file.Artist());
        SetAlbum(file.Album());
        SetTitle(file.Title());
        SetTrack(quint32(file.Track()));
        SetComment(file.Comment());
        SetBitRate(quint32(file.BitRateKbps()) * 1000);
        SetDuration(file.DurationSec() * 1000.0);
        SetSampleRate(quint32(file.SampleRate()));
        SetGenre(file.Genre());
        SetDate(file.Year());
        SetChannelMode(file.Channels());
    }
    SetValidTag(!Artist().isEmpty());
}
