#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The 128-byte ID3v1 block at the end of an MPEG audio file. Text fields are
// Latin-1 on disk; characters outside Latin-1 are written as "?".
struct TId3v1Tag {
    static constexpr int kSize = 128;

    QString title;   // trimmed
    QString artist;  // trimmed
    QString album;   // trimmed
    QString year;    // as stored, up to its first zero byte
    QString comment; // the 28-byte field, trimmed
    quint8 track = 0;
    quint8 genre = 255;

    // False when the block does not begin with "TAG".
    bool Parse(const uchar *block);
    QByteArray Build() const;
};

// Writes a block over the file's ID3v1 tag, or appends it when the file has
// none, so audio data is never overwritten. False when the file is missing or
// cannot be written.
bool WriteId3v1Block(const QString &fileName, const QByteArray &block);
