#pragma once

#include "metadata/customTagger.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>
#include <string_view>
#include <unordered_map>

// The track-list file: the one stored form of a track list (library cache, CD
// caches, playlist caches, stacker). A plain concatenation of component
// records, one per track record, with no header, count or trailer:
//
//   "TPF0", class name (length byte + ASCII), an empty component name (00),
//   property entries in the class's property-table order (name as length byte
//   + ASCII, then a type byte and its payload), 00 ending the properties,
//   00 ending the (always empty) list of child records.
//
// Integers are little-endian and written in the smallest of the 8/16/32-bit
// types that holds them (unsigned 32-bit values as the signed value with the
// same bits); durations as 80-bit extended floats; strings as UTF-8 bytes,
// short (up to 255 bytes) or long; file names as the file system's bytes.

// The stored form of a file below a disc's mount point: "cdrom:" followed by
// its path below the mount point, so that a disc mounted elsewhere next time
// still resolves.
inline constexpr QLatin1StringView kCdPathPrefix{"cdrom:"};
QString StoredCdPath(const QString &fileName, const QString &cdRoot);
QString ResolveCdPath(const QString &storedName, const QString &cdRoot);

// What loading a track-list file found.
struct TlistFileReport {
    // The file is there but could not be read: the system's reason. A missing
    // file is no error: it holds no track.
    QString error;
    // Intact records read; damaged stretches skipped; records lost in them (a
    // damaged record can swallow the records after it).
    int records = 0;
    int damaged = 0;
    int lost = 0;

    // Why the file was not read whole, in words for the user; empty when it
    // was.
    QString Problem() const;
};

class TtrackListWriter {
public:
    // Appends one record. With a cdRoot, a file name below it is stored in the
    // "cdrom:" form.
    void Write(const TcustomTagger &record, const QString &cdRoot = QString());
    const QByteArray &Data() const { return m_data; }

private:
    void writeName(const char *name);
    void writeInteger(qint64 value);
    void writeString(const QByteArray &bytes);

    QByteArray m_data;
};

// Reads records one after the other. A damaged record (bad signature, unknown
// class or property, a value type that does not suit its property, the data
// ending inside it) is skipped: reading goes on after the bytes the failed
// attempt consumed, at the next record signature. Safe on any input.
//
// Repeated texts (artist, album, date, genre) are shared between the records
// read by one reader, which keeps a large library small in memory.
class TtrackListReader {
public:
    explicit TtrackListReader(const QByteArray &data);

    // The next intact record; null at the end of the data.
    std::unique_ptr<TcustomTagger> Next();
    // Number of damaged stretches skipped so far, and of the records lost in
    // them: each record that failed, and the records whose signatures a
    // failed record took in as its own bytes.
    int Skipped() const { return m_skipped; }
    int Lost() const { return m_lost; }

private:
    std::unique_ptr<TcustomTagger> readRecord();
    bool readProperty(TcustomTagger &record, const TaggerProperty &property);
    bool readByte(quint8 &value);
    bool readShortText(QByteArrayView &text);
    bool readInteger(quint8 type, qint64 &value);
    bool readStringValue(quint8 type, QString &value, bool shared);
    bool readStringBytes(quint8 type, QByteArrayView &bytes);
    bool readFileName(quint8 type, TcustomTagger &record);
    QString sharedText(QByteArrayView bytes, bool fileName = false);
    void shareGenreText(TcustomTagger &record);

    QByteArray m_data;
    qsizetype m_pos = 0;
    int m_skipped = 0;
    int m_lost = 0;
    // Texts shared between records, by their stored bytes; the keys view
    // m_data, which stays unchanged while the reader lives.
    std::unordered_map<std::string_view, QString> m_pool;
    // The genre names assigned by genre number, one shared copy per number.
    std::array<QString, 148> m_sharedGenres;
};
