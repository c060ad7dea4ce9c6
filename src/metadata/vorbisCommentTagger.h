#pragma once

#include "metadata/customTagger.h"

#include <QStringList>

// What the records of the formats that carry their tags as Vorbis comments
// (Ogg Vorbis, FLAC, Opus) have in common: the fields taken from the comment
// lines, and the channel code, which is the channel count.
class TvorbisCommentTagger : public TcustomTagger {
public:
    // 1 "Mono", 2 "Stereo", otherwise "Unknown".
    QString GetChannelModeText() const override;

protected:
    // Title, Artist, Album, Comment, Date, TrackNumber (all digits, else 0)
    // and Genre from the first line of each name, compared without regard to
    // case; GenreByte the genre's number in the table, or 255; ValidTag when
    // there is an artist.
    void TakeComments(const QStringList &lines);
    // The channel code of a channel count: 1 and 2 stand for themselves,
    // every other count is 0.
    void SetChannelCount(int channels);
};
