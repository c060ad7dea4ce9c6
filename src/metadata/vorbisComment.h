#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class TbyteStream;
class TcoverChoice;

// The comment list that Ogg Vorbis, Opus and FLAC files carry their tags in:
// a 32-bit little-endian vendor length and the vendor text, a 32-bit count,
// then that many entries, each a 32-bit length and "NAME=value" in UTF-8.

// The entries, in file order, from a stream positioned at the vendor length.
// Pictures (METADATA_BLOCK_PICTURE) are stepped over unread; a value is kept
// up to 64 KB. A damaged list ends silently with what was read before.
QStringList ReadCommentList(TbyteStream &stream);

// Reads the vendor and the count, leaving the stream at the first entry;
// false when the stream ends before.
bool SkipCommentVendor(TbyteStream &stream, quint32 *count);

// The name of the entries that hold a picture, base64 of a FLAC picture block.
inline constexpr QLatin1StringView kPictureCommentName { "METADATA_BLOCK_PICTURE" };

// Offers every picture of the comment list (from a stream positioned at the
// vendor length) to choice, until it has a front cover. Entries that are no
// picture are stepped over unread; a picture whose value is not base64 of a
// FLAC picture block, or too large, is passed by.
void ReadCommentPictures(TbyteStream &stream, TcoverChoice &choice);

// The value of the first comment line whose name equals name without regard
// to case; empty when there is none.
QString VorbisCommentValue(const QStringList &lines, QLatin1StringView name);

// UTF-8 up to its first malformed sequence, which cuts the text there.
QString DecodeUtf8UpToError(const char *bytes, qsizetype size);
