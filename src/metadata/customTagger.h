#pragma once

#include "metadata/taggerProperty.h"
#include "metadata/taggerTexts.h"

#include <QString>
#include <QtGlobal>
#include <memory>
#include <span>

// The track record: one music file with its tag and stream information.
//
// Records are plain objects, not QObjects: a library holds 100,000 of them.
// Their published data is listed in a static property table (see
// taggerProperty.h) in stream order; the track-list file reader and writer walk
// that table, with the class name written ahead of each record.
//
// Memory: the texts a record shares with the other tracks of its album
// (artist, album, date, genre, folder) live in one TtaggerTexts block that
// those records share; a record changing one of them gets a block of its own.
// A reference to one of these texts stays valid until the record's texts are
// replaced as a whole (SetTexts, Assign) or the record is freed.
//
// Lifetime: a record is held by the lists that own their records and by
// whatever plays or is queued (TtaggerRef); it is freed when the last holder
// lets go, so no library, playlist or stacker operation can free a record that
// plays or is queued. A record nothing has held yet belongs to its creator;
// once held, it belongs to its holders, and only the last may free it.
//
// Owned and used on the GUI thread only (the folder scan re-reads a modified
// record on the GUI thread during its notification); the holder count is not
// atomic.
class TcustomTagger {
public:
    TcustomTagger();
    virtual ~TcustomTagger();
    TcustomTagger(const TcustomTagger &) = delete;
    TcustomTagger &operator=(const TcustomTagger &) = delete;

    // The registered class name, written ahead of the record in track-list files.
    virtual const char *ClassName() const;
    // The published properties of this class, in stream order.
    virtual std::span<const TaggerProperty> Properties() const;

    // --- published properties -------------------------------------------
    qint32 Tag() const { return m_tag; }
    void SetTag(qint32 value) { m_tag = value; }
    const QString &Title() const { return m_title; }
    void SetTitle(const QString &value) { m_title = value; }
    const QString &Artist() const { return m_texts->artist; }
    void SetArtist(const QString &value) { setText(&TtaggerTexts::artist, value); }
    const QString &Album() const { return m_texts->album; }
    void SetAlbum(const QString &value) { setText(&TtaggerTexts::album, value); }
    const QString &Date() const { return m_texts->date; }
    void SetDate(const QString &value) { setText(&TtaggerTexts::date, value); }
    const QString &Comment() const { return m_comment; }
    void SetComment(const QString &value) { m_comment = value; }
    quint32 Track() const { return m_track; }
    void SetTrack(quint32 value) { m_track = value; }
    // Genre rule: assigning the name looks its number up in the shared genre
    // table (the number stays when the name is not there); assigning a number
    // below 148 takes the table's name (the name stays otherwise).
    const QString &Genre() const;
    void SetGenre(const QString &value);
    quint8 GenreByte() const { return m_genreByte; }
    void SetGenreByte(quint8 value);
    // Kept as its folder (shared between the tracks of one folder) and its
    // name: most of a path is the folder, and a library holds 100,000 paths.
    QString Filename() const { return Folder().isEmpty() ? m_name : Folder() + m_name; }
    void SetFilename(const QString &value);
    // The folder part of Filename, with its trailing "/"; empty for a bare name.
    const QString &Folder() const { return m_texts->folder; }
    // The part of Filename behind its folder.
    const QString &NameInFolder() const { return m_name; }
    // Sets Filename from its parts as SetFilename would split it: folder
    // empty or ending with "/", name without "/". Lets a loader share one
    // folder text between the tracks of a folder.
    void SetFilenameParts(const QString &folder, const QString &name)
    {
        setText(&TtaggerTexts::folder, folder);
        m_name = name;
    }
    // Playing time in milliseconds; negative means not yet known.
    double Duration() const { return m_duration; }
    void SetDuration(double value) { m_duration = value; }
    quint32 bitRate() const { return m_bitRate; }
    void SetBitRate(quint32 value) { m_bitRate = value; }
    quint32 SampleRate() const { return m_sampleRate; }
    void SetSampleRate(quint32 value) { m_sampleRate = value; }
    quint32 ChannelMode() const { return m_channelMode; }
    void SetChannelMode(quint32 value) { m_channelMode = value; }
    bool ValidTag() const { return m_validTag; }
    void SetValidTag(bool value) { m_validTag = value; }
    quint32 ModDateHigh() const { return m_modDateHigh; }
    void SetModDateHigh(quint32 value) { m_modDateHigh = value; }
    quint32 ModDateLow() const { return m_modDateLow; }
    void SetModDateLow(quint32 value) { m_modDateLow = value; }

    // Whether stream information is read together with the tag.
    bool ReadFrameHeaders() const { return m_readFrameHeaders; }

    // --- virtual operations ---------------------------------------------
    virtual QString GetChannelModeText() const;
    virtual QString GetStereoText() const;
    virtual void SetReadFrameHeaders(bool value);
    // Base: clears the record (texts empty, numbers 0, ValidTag false; the
    // genre number and the file name stay).
    virtual void ReadTag();
    // Base: stores the file name, then ReadTag.
    virtual void LoadFromFile(const QString &fileName);
    // Writes the record's tag into its file; true when the file now holds it
    // (the base class writes nothing and reports success).
    virtual bool WriteTag();
    virtual void ReadStreamInfo();

    // Copies another record's data without reading its file; a null source
    // does nothing. The copy shares the source's texts block.
    void Assign(const TcustomTagger *source);

    // The block of texts this record shares (see TtaggerTexts). SetTexts
    // replaces all five texts at once by a block that other records may
    // share; a loader uses it to give the tracks of an album one block.
    const TtaggerTextsRef &Texts() const { return m_texts; }
    void SetTexts(TtaggerTextsRef texts) { m_texts.swap(texts); }

    // Whether the record's file is out of reach for now: its music folder
    // (an unmounted drive, a dropped share) is gone. The lists show such a
    // track greyed and the player passes it by; it is not stored.
    bool Unavailable() const { return m_unavailable; }
    void SetUnavailable(bool value) { m_unavailable = value; }

    // Holders: Hold adds one; Release drops one and frees the record when it
    // was the last. ReleaseKeeping drops one without freeing: the caller takes
    // the record over (a list that stops owning its records).
    void Hold() const { ++m_holders; }
    void Release() const
    {
        if (--m_holders == 0)
            delete this;
    }
    void ReleaseKeeping() const { --m_holders; }
    quint32 Holders() const { return m_holders; }

protected:
    // Stores the file's last-write time in ModDateHigh/ModDateLow (0 and 0 when
    // it cannot be read).
    void ReadModDate();
    void SetGenreByteDirect(quint8 value) { m_genreByte = value; }
    void SetGenreDirect(const QString &value);
    void SetReadFrameHeadersFlag(bool value) { m_readFrameHeaders = value; }

private:
    // Stores one of the shared texts, copying the block first when other
    // records share it; an unchanged text leaves the block as it is.
    void setText(QString TtaggerTexts::*field, const QString &value);
    // Stores the genre text: tableNumber is the number whose table name is
    // exactly the text, or 255.
    void storeGenre(const QString &value, quint8 tableNumber);

    TtaggerTextsRef m_texts;
    QString m_title;
    QString m_comment;
    QString m_name;
    double m_duration = 0.0;
    qint32 m_tag = 0;
    quint32 m_track = 0;
    quint32 m_bitRate = 0;
    quint32 m_sampleRate = 0;
    quint32 m_channelMode = 0;
    quint32 m_modDateHigh = 0;
    quint32 m_modDateLow = 0;
    mutable quint32 m_holders = 0;
    quint8 m_genreByte = 0;
    // The genre text is mostly a name of the genre table, which records
    // need not keep a copy of: the number of that name, or 255 when the text
    // is the block's.
    quint8 m_genreName = 255;
    bool m_validTag = false;
    bool m_readFrameHeaders = false;
    bool m_unavailable = false;
};

// The channel text of formats whose channel code is the channel count:
// 1 "Mono", 2 "Stereo", anything else "Unknown".
QString ChannelCountText(quint32 channels);

// The bit rate in bits per second of bytes that play for durationMs, rounded;
// 0 when either is not above 0, at most the largest 32-bit value.
quint32 AverageBitRate(qint64 bytes, double durationMs);

// DigitsToNumber: the value of a non-empty text made only of decimal digits;
// 0 otherwise (also when the value does not fit in 32 bits).
quint32 DigitsToNumber(const QString &text);

// The record class for a file, chosen by its extension without regard to case:
// ".mp3"/".mp2" Tid3Tagger, ".ogg" ToggTagger, ".wma" TwmaTagger, ".flac"
// TflacTagger, ".opus" TopusTagger; null for any other extension. The record
// is created empty; nothing is read.
std::unique_ptr<TcustomTagger> CreateTaggerForFile(const QString &fileName);

// A new empty record of a registered class ("TcustomTagger", "Tid3Tagger",
// "ToggTagger", "TwmaTagger", "TflacTagger", "TopusTagger"); null for any
// other name.
std::unique_ptr<TcustomTagger> CreateTaggerByClassName(QStringView className);
