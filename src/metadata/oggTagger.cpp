#include "metadata/oggTagger.h"

#include "metadata/byteSource.h"
#include "metadata/genreList.h"
#include "metadata/oggVorbis.h"

namespace {

constexpr qint64 kHeadBytes = 64 * 1024;

} // namespace

const char *ToggTagger::ClassName() const
{
    return "ToggTagger";
}

QString ToggTagger::GetChannelModeText() const
{
    return ChannelCountText(ChannelMode());
}

void ToggTagger::ReadTag()
{
    TcustomTagger::ReadTag();
    // Read-only, so files on CDs and write-protected files are read too.
    const TfileSource source(Filename(), kHeadBytes, kOggEndWindow);
    ReadTagFromSource(source);
    const WinFileTime time = source.LastWriteTime();
    SetModDateHigh(time.high);
    SetModDateLow(time.low);
}

void ToggTagger::ReadTagFromSource(const TbyteSource &source)
{
    const QStringList lines = ReadVorbisComments(source);
    SetTitle(VorbisCommentValue(lines, QLatin1StringView("Title")));
    SetArtist(VorbisCommentValue(lines, QLatin1StringView("Artist")));
    SetAlbum(VorbisCommentValue(lines, QLatin1StringView("Album")));
    SetComment(VorbisCommentValue(lines, QLatin1StringView("Comment")));
    SetDate(VorbisCommentValue(lines, QLatin1StringView("Date")));
    SetTrack(DigitsToNumber(VorbisCommentValue(lines, QLatin1StringView("TrackNumber"))));
    SetGenre(VorbisCommentValue(lines, QLatin1StringView("Genre")));
    SetGenreByteDirect(SharedGenreList().IndexOfGenre(Genre()));
    SetValidTag(!Artist().isEmpty());
    ReadStreamInfoFromSource(source);
}

void ToggTagger::ReadStreamInfo()
{
    const TfileSource source(Filename(), kHeadBytes, kOggEndWindow);
    ReadStreamInfoFromSource(source);
}

void ToggTagger::ReadStreamInfoFromSource(const TbyteSource &source)
{
    const TvorbisStreamInfo info = ReadVorbisStreamInfo(source);
    if (info.found) {
        SetChannelMode(info.channels == 1 || info.channels == 2 ? info.channels : 0);
        SetSampleRate(info.sampleRate);
        SetBitRate(quint32(std::max(0, info.nominalBitrate)));
    }
    const qint64 samples = LastOggGranule(source, info.serial);
    if (samples > 0) {
        SetDuration(SampleRate() > 0 ? double(samples) / SampleRate() * 1000.0 : 0.0);
    } else if (bitRate() > 0) {
        // No final page in reach: estimate from the size and the nominal rate.
        SetDuration(double(source.Size()) * 8.0 / bitRate() * 1000.0);
    } else {
        SetDuration(0.0);
    }
}
