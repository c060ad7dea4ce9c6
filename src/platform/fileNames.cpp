#include "platform/fileNames.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The escapes are low surrogates standing alone: the low half of a
// surrogate pair (a character beyond U+FFFF) may take the same values.
bool isEscapeAt(QStringView name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence at the start of bytes, or 0.
qsizetype validSequence(QByteArrayView bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    qsizetype length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if (code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

QString DecodeFileName(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(bytes);
    if (!utf8.hasError())
        return decoded;
    decoded.clear();
    decoded.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype length = validSequence(bytes);
        if (length == 0) {
            decoded += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[0])));
            bytes = bytes.sliced(1);
            continue;
        }
        decoded += QString::fromUtf8(bytes.first(length));
        bytes = bytes.sliced(length);
    }
    return decoded;
}

QByteArray EncodeFileName(const QString &name)
{
    if (!HasUndecodedBytes(name))
        return name.toUtf8();
    QByteArray encoded;
    encoded.reserve(name.size() * 3);
    qsizetype from = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapeAt(name, i))
            continue;
        encoded += QStringView(name).sliced(from, i - from).toUtf8();
        encoded += char(name[i].unicode() - kEscapeBase);
        from = i + 1;
    }
    encoded += QStringView(name).sliced(from).toUtf8();
    return encoded;
}

bool HasUndecodedBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapeAt(name, i))
            return true;
    }
    return false;
}

QString ReadableFileName(const QString &name)
{
    if (!HasUndecodedBytes(name))
        return name;
    QString readable = name;
    for (qsizetype i = 0; i < readable.size(); ++i) {
        if (isEscapeAt(name, i))
            readable[i] = QChar(char16_t(name[i].unicode() - kEscapeBase));
    }
    return readable;
}
