#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the file system holds them: bytes, normally UTF-8, but old
// copies bring names in Latin-1 or another single-byte code ("caf\xE9.mp3").
// Qt turns such bytes into U+FFFD and cannot open the file again. Here every
// byte that is not part of valid UTF-8 becomes the lone surrogate U+DC00 +
// byte, which no valid UTF-8 produces, and EncodeFileName turns it back into
// that byte: every name read from the file system opens again. A valid UTF-8
// name is the same text as QString::fromUtf8 gives.
QString DecodeFileName(QByteArrayView bytes);
QByteArray EncodeFileName(const QString &name);

// True when the name holds bytes that are not UTF-8.
bool HasUndecodedBytes(const QString &name);

// The name as a person reads it: each byte that is not UTF-8 shown as the
// Latin-1 character of that byte ("café.mp3").
QString ReadableFileName(const QString &name);
