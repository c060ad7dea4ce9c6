#pragma once

#include <QString>
#include <QtGlobal>
#include <taglib/tstring.h>

// What the jukebox shows of one music file, as either reader answers it.
struct TrackAnswers {
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    QString genre;
    quint32 track = 0;
    double durationMs = 0;
    quint32 bitRate = 0; // bit/s
    quint32 sampleRate = 0;
    quint32 channelMode = 0; // MP3: 0 stereo, 1 joint stereo, 2 dual channel, 3 mono; FLAC: 1 mono, 2 stereo, else 0
};

// The record as a track list makes it: factory, file, then stream information.
TrackAnswers ReadWithVorlen(const QString &path);

// TagLib's answers in its own types, so that the timed loop pays for no
// conversion; ToAnswers converts them afterwards.
struct TagLibAnswers {
    TagLib::String title;
    TagLib::String artist;
    TagLib::String album;
    TagLib::String comment;
    TagLib::String genre;
    unsigned year = 0;
    unsigned track = 0;
    int durationMs = 0;
    int bitRateKbps = 0;
    int sampleRate = 0;
    int channelMode = 0;
    bool valid = false;
};

// TagLib's MPEG reader (tags and audio properties, fast mode) on an encoded path.
TagLibAnswers ReadWithTagLib(const char *path);
// TagLib's FLAC reader (Vorbis comments and audio properties, fast mode); the
// channel mode as the jukebox gives it, from the channel count.
TagLibAnswers ReadFlacWithTagLib(const char *path);
TrackAnswers ToAnswers(const TagLibAnswers &answers);
