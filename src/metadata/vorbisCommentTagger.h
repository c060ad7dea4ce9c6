#pragma once

#include "metadata/customTagger.h"

#include <QStringList>

class TbyteSource;

// What the records of the formats that carry their tags as Vorbis comments
// (Ogg Vorbis, FLAC, Opus) have in common: the fields taken from the comment
// lines, the channel code, which is the channel count, and reading: every
// answer lies in a window at the file's start and one at its end, and stream
// information is always read with the tag.
class TvorbisCommentTagger : public TcustomTagger {
public:
    // 1 "Mono", 2 "Stereo", otherwise "Unknown".
    QString GetChannelModeText() const override;
    // Raise VorlenError when the file cannot be opened. The file is opened
    // read-only, so files on CDs and write-protected files are read too.
    void ReadTag() override;
    void ReadStreamInfo() override;

    // What ReadTag does once the file is open (the record is cleared first by
    // ReadTag only): comments, then stream information.
    virtual void ReadTagFromSource(const TbyteSource &source) = 0;
    virtual void ReadStreamInfoFromSource(const TbyteSource &source) = 0;

protected:
    // The bytes of the file's start and of its end that the readers look at.
    virtual qint64 HeadBytes() const = 0;
    virtual qint64 TailBytes() const = 0;
    // Title, Artist, Album, Comment, Date, TrackNumber (all digits, else 0)
    // and Genre from the first line of each name, compared without regard to
    // case; GenreByte the genre's number in the table, or 255; ValidTag when
    // there is an artist.
    void TakeComments(const QStringList &lines);
    // The channel code of a channel count: 1 and 2 stand for themselves,
    // every other count is 0.
    void SetChannelCount(int channels);
};
