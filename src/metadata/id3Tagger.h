#pragma once

#include "metadata/customTagger.h"

#include <array>

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
    static constexpr quint8 kNoMpegVersion = 0xFF;

    Tid3Tagger();
    ~Tid3Tagger() override;

    const char *ClassName() const override;
    std::span<const TaggerProperty> Properties() const override;

    // --- published --------------------------------------------------------
    Tid3TagWriteType WriteType() const { return m_writeType; }
    void SetWriteType(Tid3TagWriteType value) { m_writeType = value; }
    // The first four characters of an ID3v1 comment; empty otherwise.
    QString TypeFlags() const { return QString(m_typeFlags.data(), m_typeFlagsLength); }
    // Puts the flags (cut to four characters) at the start of the comment and
    // re-derives TypeFlags from the new comment.
    void SetTypeFlags(const QString &value);

    // --- stream and tag facts -------------------------------------------
    bool IsVBR() const { return m_isVbr; }
    // "1.0", "2.0", "2.5" or "?!!"; empty until the stream has been read.
    QString MpegVersionText() const;
    int MpegLayer() const { return m_mpegLayer; }
    Tid3TagKind TagKind() const { return m_tagKind; }
    QString Id3v1Identifier() const;

    QString GetChannelModeText() const override;
    QString GetStereoText() const override;
    void SetReadFrameHeaders(bool value) override;
    void ReadTag() override;
    void LoadFromFile(const QString &fileName) override;
    bool WriteTag() override;
    void ReadStreamInfo() override;

    // Stores TypeFlags as read from a track-list file (no comment rewrite).
    void SetStoredTypeFlags(const QString &value) { storeTypeFlags(value); }

    // Reads tag and stream information from bytes already at hand (a file's
    // head and tail, or a memory buffer): what ReadTag does after opening the
    // file. The file name is only used for the title of an untagged file.
    void ReadTagFromSource(const TbyteSource &source);

private:
    void resetForRead();
    void readOpenedFile(const TfileSource &source);
    void applyStreamInfo(const TAudioInfo &info);

    void storeTypeFlags(const QString &value);

    // A library holds 100,000 records: facts that fit in a few bytes are
    // kept in a few bytes, their texts made on request.
    std::array<QChar, 4> m_typeFlags{};
    quint8 m_typeFlagsLength = 0;
    std::array<char, 3> m_id3v1Identifier{};
    quint8 m_id3v1IdentifierLength = 0;
    quint8 m_mpegVersionIndex = kNoMpegVersion;
    qint8 m_mpegLayer = 0;
    Tid3TagWriteType m_writeType = wtBoth;
    Tid3TagKind m_tagKind = tkNone;
    bool m_isVbr = false;
};
