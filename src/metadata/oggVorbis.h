#pragma once

#include "metadata/vorbisComment.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

class TbyteSource;

// Readers of the Vorbis headers of an Ogg file.
//
// Headers are searched for in the first kilobyte of the stream's packet data:
// when the file is made of Ogg pages, the page headers are stepped over, so a
// comment header that continues on the next page is read whole.

// The lines "NAME=value" of the Vorbis comment header, in file order; empty
// when there is no comment header. A damaged header ends the list silently.
QStringList ReadVorbisComments(const TbyteSource &source);

struct TvorbisStreamInfo {
    bool found = false; // the identification header was found
    quint8 channels = 0;
    quint32 sampleRate = 0;
    qint32 nominalBitrate = 0;
    std::optional<quint32> serial; // the stream's serial when the file is made of Ogg pages
};
TvorbisStreamInfo ReadVorbisStreamInfo(const TbyteSource &source);

class ToggPacketStream;
// Positions the stream right behind the Vorbis comment header's packet type
// and name, at the vendor length; false when the first kilobyte holds none.
bool FindVorbisCommentHeader(ToggPacketStream &stream, qint64 streamSize);

// Bytes at the end of a file searched for the last page.
constexpr qint64 kOggEndWindow = 50 * 240 + 10;

// The largest page: its header with 255 lacing values of 255 bytes each.
constexpr qint64 kOggLargestPage = 27 + 255 + 255 * 255;

// The granule position (samples per channel) of the last complete page that
// ends a packet within the end window (within the largest page's length of
// the end when the window holds none), of the stream with the given serial
// when one is given; -1 when there is none.
qint64 LastOggGranule(const TbyteSource &source, std::optional<quint32> serial = std::nullopt);
