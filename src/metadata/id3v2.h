#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

class TbyteSource;

// Steps through the frames of the ID3v2 tag (versions 2.2 to 2.4) at the
// start of a source, reading only the frame headers: what a frame holds is
// read by the caller, so a frame it does not want (a cover picture) costs
// nothing.
class Tid3v2FrameWalker {
public:
    explicit Tid3v2FrameWalker(const TbyteSource &source);

    // The source starts with an ID3v2 header (of any version).
    bool Found() const { return m_found; }
    quint8 MajorVersion() const { return m_header[3]; }
    // The tag header's flags (0x80: the tag is unsynchronised).
    quint8 TagFlags() const { return m_header[5]; }
    // Header, body and footer; 0 when the header announces more than the source holds.
    qint64 TagSize() const { return m_tagSize; }

    // To the next frame; false at the end of the frames (the end of the tag,
    // padding, or a header that cannot be read).
    bool Next();
    // The frame identifier: 3 characters in version 2.2, 4 otherwise.
    const uchar *Id() const { return m_frame; }
    qint64 ContentPos() const { return m_contentPos; }
    qint64 ContentSize() const { return m_contentSize; }
    // The two flag bytes of a version 2.3 or 2.4 frame (status, format); 0 in 2.2.
    quint16 FrameFlags() const { return m_frameFlags; }
    // Whether the frame's identifier is id (3 or 4 characters, as the
    // version has them).
    bool IdIs(const char *id) const;
    // The current frame's content as its writer meant it: grouping and
    // data-length bytes dropped, unsynchronisation undone. False (and no
    // content) for a compressed or encrypted frame, one larger than
    // maxBytes, one that runs past the end of its tag, or a failed read.
    bool ReadContent(qint64 maxBytes, QByteArray *content) const;

private:
    const TbyteSource &m_source;
    qint64 m_tagSize = 0;
    qint64 m_pos = 0; // the next frame header
    qint64 m_end = 0; // where the frames end
    qint64 m_contentPos = 0;
    qint64 m_contentSize = 0;
    quint16 m_frameFlags = 0;
    uchar m_header[10] = {};
    uchar m_frame[10] = {};
    bool m_found = false;
};

// A text frame's content (T???): its encoding byte, then the text (its
// first value when the frame holds several), trimmed.
QString DecodeId3Text(QByteArrayView content);
// A user text frame's content (TXXX): encoding, a description ended by the
// encoding's terminator, then the value, both trimmed; false when the
// description has no end.
bool DecodeId3UserText(QByteArrayView content, QString *description, QString *value);

// An ID3v2 tag at the start of an MPEG audio file.
//
// The reader understands versions 2.2, 2.3 and 2.4 as far as sixteen text-like
// frames go (the first 250 bytes of each), decoding text by its encoding byte.
// The writer produces a version 2.3 tag of at least PaddingSize body bytes.
class TID3v2 {
public:
    static constexpr int kSlotCount = 16;
    static constexpr int kFrameCap = 250;

    // Size of the tag (header, body and footer) that a 10-byte header
    // announces; 0 when it is no ID3v2 header or the tag would be larger than
    // fileSize.
    static qint64 TagSizeFromHeader(const uchar *header, qint64 fileSize);
    // Size of the file's current tag; 0 when it has none or cannot be read.
    static qint64 ExistingTagSize(const QString &fileName);

    // Clear every field, then read; the result is Found. Errors of the file
    // count as "no tag".
    bool ReadFromFile(const QString &fileName);
    bool ReadFromSource(const TbyteSource &source);

    // Writes a tag built from the fields into the file. When it fits in the
    // file's current tag it is padded to exactly that size and written in
    // place; otherwise the whole file is rewritten beside the old one and
    // renamed over it. False on any failure, which leaves the file untouched.
    bool WriteToFile(const QString &fileName) const;
    // The tag bytes, with the body padded to at least minimumTagSize - 10
    // bytes; empty when the body cannot be expressed in 28 bits.
    QByteArray BuildTag(qint64 minimumTagSize = 0) const;

    bool Found() const { return m_found; }
    quint8 MajorVersion() const { return m_majorVersion; }
    qint64 TagSize() const { return m_tagSize; }

    const QString &Title() const { return m_title; }
    void SetTitle(const QString &value);
    const QString &Artist() const { return m_artist; }
    void SetArtist(const QString &value);
    const QString &Album() const { return m_album; }
    void SetAlbum(const QString &value);
    quint8 Track() const { return m_track; }
    void SetTrack(quint8 value) { m_track = value; }
    const QString &Year() const { return m_year; }
    void SetYear(const QString &value);
    const QString &Genre() const { return m_genre; }
    void SetGenre(const QString &value);
    const QString &Comment() const { return m_comment; }
    void SetComment(const QString &value);
    const QString &Composer() const { return m_composer; }
    void SetComposer(const QString &value) { m_composer = value; }
    const QString &EncodedBy() const { return m_encodedBy; }
    void SetEncodedBy(const QString &value) { m_encodedBy = value; }
    const QString &RightsText() const { return m_rightsText; }
    void SetRightsText(const QString &value) { m_rightsText = value; }
    const QString &Language() const { return m_language; }
    void SetLanguage(const QString &value) { m_language = value; }
    const QString &Url() const { return m_url; }
    void SetUrl(const QString &value) { m_url = value; }

    qint64 PaddingSize() const { return m_paddingSize; }
    void SetPaddingSize(qint64 value) { m_paddingSize = value; }

private:
    void clear();
    // Fields from the first bytes of the kept frames, by slot.
    void deriveFields(const std::array<std::span<const uchar>, kSlotCount> &frameTexts);

    QString m_title;
    QString m_artist;
    QString m_album;
    QString m_year;
    QString m_genre;
    QString m_comment;
    QString m_composer;
    QString m_encodedBy;
    QString m_rightsText;
    QString m_language;
    QString m_url;
    qint64 m_tagSize = 0;
    qint64 m_paddingSize = 1024;
    quint8 m_majorVersion = 0;
    quint8 m_track = 0;
    bool m_found = false;
};
