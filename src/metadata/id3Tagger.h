#pragma once

#include "metadata/customTagger.h"

// Which tags a tag write produces.
enum Tid3TagWriteType : quint8 { wtBoth = 0, wtV1 = 1, wtV2 = 2, wtNone = 3 };

// Where a Tid3Tagger's tag was read from.
enum Tid3TagKind : quint8 { tkNone = 0, tkId3v1 = 1, tkId3v2 = 2, tkNoTag = 3 };

// Track record of an MPEG audio file (".mp3", ".mp2"): ID3v2 first, ID3v1 when
// there is no ID3v2 tag, stream information from the frame headers.
class TAudioInfo;
class TbyteSource;
class TfileSource;

class Tid3Tagger : public TcustomTagger {
public:
    Tid3Tagger();
    ~Tid3Tagger() override;

    const char *ClassName() const override;
    std::span<const TaggerProperty> Properties() const override;

    // --- published --------------------------------------------------------
    Tid3TagWriteType WriteType() const { return m_writeType; }
    void SetWriteType(Tid3TagWriteType value) { m_writeType = value; }
    // The first four characters of an ID3v1 comment; empty otherwise.
    const QString &TypeFlags() const { return m_typeFlags; }
    // Puts the flags (cut to four characters) at the start of the comment and
    // re-derives TypeFlags from the new comment.
    void SetTypeFlags(const QString &value);

    // --- stream and tag facts -------------------------------------------
    bool IsVBR() const { return m_isVbr; }
    const QString &MpegVersionText() const { return m_mpegVersionText; }
    int MpegLayer() const { return m_mpegLayer; }
    Tid3TagKind TagKind() const { return m_tagKind; }
    const QString &Id3v1Identifier() const { return m_id3v1Identifier; }

    QString GetChannelModeText() const override;
    QString GetStereoText() const override;
    void SetReadFrameHeaders(bool value) override;
    void ReadTag() override;
    void LoadFromFile(const QString &fileName) override;
    bool WriteTag() override;
    void ReadStreamInfo() override;

    // Stores TypeFlags as read from a track-list file (no comment rewrite).
    void SetStoredTypeFlags(const QString &value) { m_typeFlags = value.left(4); }

    // Reads tag and stream information from bytes already at hand (a file's
    // head and tail, or a memory buffer): what ReadTag does after opening the
    // file. The file name is only used for the title of an untagged file.
    void ReadTagFromSource(const TbyteSource &source);

private:
    void resetForRead();
    void readOpenedFile(const TfileSource &source);
    void applyStreamInfo(const TAudioInfo &info);

    QString m_typeFlags;
    QString m_id3v1Identifier;
    QString m_mpegVersionText;
    int m_mpegLayer = 0;
    Tid3TagWriteType m_writeType = wtBoth;
    Tid3TagKind m_tagKind = tkNone;
    bool m_isVbr = false;
};
