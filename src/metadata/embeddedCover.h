#pragma once

#include "metadata/coverPicture.h"

#include <QString>

class TbyteSource;

// The cover picture stored inside a music file, chosen by its extension
// without regard to case: ID3v2 APIC frames (".mp3", ".mp2"), FLAC PICTURE
// blocks and METADATA_BLOCK_PICTURE comments (".flac"), and
// METADATA_BLOCK_PICTURE comments of the Vorbis or Opus comment header
// (".ogg", ".opus"). A front cover is preferred (TcoverChoice). Only the tag
// region is read, and of the pictures only those that can win.
//
// Never raises: a file that cannot be read, a damaged or huge picture (over
// kMaxCoverBytes, or no image) and any other format give a null cover.
TembeddedCover ReadEmbeddedCover(const QString &fileName);

// The same from a source held in memory, by container.
TembeddedCover ReadId3v2Cover(const TbyteSource &source);
TembeddedCover ReadFlacCover(const TbyteSource &source);
// The comment header of an Ogg Opus or Ogg Vorbis stream.
TembeddedCover ReadOggCover(const TbyteSource &source);
