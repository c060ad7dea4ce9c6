#pragma once

#include <QStringList>

class TbyteSource;

// The text items of an APEv2 tag at the end of a file: the tag MP3 gain tools
// append, in front of an ID3v1 tag when the file has one.
//
// The tag ends with a 32-byte footer: "APETAGEX", version, the size of the
// items and footer, the item count and flags (all 32-bit little-endian).
// Each item is a 32-bit value length, 32-bit flags, a key of printable ASCII
// ended by a zero byte, then the value; a text item's value is UTF-8.
//
// Returns the text items as "KEY=value" lines, in tag order, as the Vorbis
// comment readers give theirs. Binary and external items are passed by, and so
// is everything of a damaged tag from the first item that does not fit its
// bounds on. Values are kept up to 64 KB; at most kMaxItems items are read.
QStringList ReadApeTextItems(const TbyteSource &source);

inline constexpr int kMaxApeItems = 1024;
