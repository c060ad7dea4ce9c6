#pragma once

#include <QByteArray>

// The skin fuzzer's input: one flag byte (bit 0: point every control's
// bitmap keys at the bitmap file), the length of the skin file text as two
// little-endian bytes, the skin file text, then the bytes of the bitmap
// file.
struct TskinFuzzInput {
    bool keysNameBitmap = false;
    QByteArray skinText;
    QByteArray bitmap;

    static TskinFuzzInput Parse(const QByteArray &data)
    {
        TskinFuzzInput input;
        if (data.size() < 3)
            return input;
        input.keysNameBitmap = data[0] & 1;
        const qsizetype length = quint8(data[1]) | (qsizetype(quint8(data[2])) << 8);
        input.skinText = data.mid(3, length);
        input.bitmap = data.mid(3 + input.skinText.size());
        return input;
    }

    QByteArray Bytes() const
    {
        QByteArray data;
        data.append(char(keysNameBitmap ? 1 : 0));
        data.append(char(skinText.size() & 0xFF));
        data.append(char((skinText.size() >> 8) & 0xFF));
        return data + skinText.left(0xFFFF) + bitmap;
    }
};
