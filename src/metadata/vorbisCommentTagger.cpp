#include "metadata/vorbisCommentTagger.h"

#include "metadata/byteSource.h"
#include "metadata/genreList.h"
#include "metadata/vorbisComment.h"

QString TvorbisCommentTagger::GetChannelModeText() const
{
    return ChannelCountText(ChannelMode());
}

void TvorbisCommentTagger::TakeComments(const QStringList &lines)
{
    SetTitle(VorbisCommentValue(lines, QLatin1StringView("Title")));
    SetArtist(VorbisCommentValue(lines, QLatin1StringView("Artist")));
    SetAlbum(VorbisCommentValue(lines, QLatin1StringView("Album")));
    // Many taggers (FFmpeg among them) write the comment as DESCRIPTION.
    QString comment = VorbisCommentValue(lines, QLatin1StringView("Comment"));
    if (comment.isEmpty())
        comment = VorbisCommentValue(lines, QLatin1StringView("Description"));
    SetComment(comment);
    SetDate(VorbisCommentValue(lines, QLatin1StringView("Date")));
    SetTrack(DigitsToNumber(VorbisCommentValue(lines, QLatin1StringView("TrackNumber"))));
    SetGenre(VorbisCommentValue(lines, QLatin1StringView("Genre")));
    SetGenreByteDirect(SharedGenreList().IndexOfGenre(Genre()));
    SetValidTag(!Artist().isEmpty());
}

void TvorbisCommentTagger::SetChannelCount(int channels)
{
    SetChannelMode(channels == 1 || channels == 2 ? quint32(channels) : 0);
}

void TvorbisCommentTagger::ReadTag()
{
    TcustomTagger::ReadTag();
    const TfileSource source(Filename(), HeadBytes(), TailBytes());
    ReadTagFromSource(source);
    const WinFileTime time = source.LastWriteTime();
    SetModDateHigh(time.high);
    SetModDateLow(time.low);
}

void TvorbisCommentTagger::ReadStreamInfo()
{
    const TfileSource source(Filename(), HeadBytes(), TailBytes());
    ReadStreamInfoFromSource(source);
}
