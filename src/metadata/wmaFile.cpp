#include "metadata/wmaFile.h"

#include "metadata/byteSource.h"
#include "metadata/textTrim.h"
#include "platform/vorlenError.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

using Guid = uchar[16];

constexpr Guid kHeaderObject
    = { 0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C };
constexpr Guid kFileProperties
    = { 0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65 };
constexpr Guid kStreamProperties
    = { 0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65 };
constexpr Guid kContentDescription
    = { 0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C };
constexpr Guid kExtendedContentDescription
    = { 0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50 };
constexpr Guid kAudioMedia
    = { 0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B };

constexpr qint64 kObjectHeaderSize = 24;
constexpr qsizetype kStringCap = 250;

// Sequential little-endian reads; a read outside the source sets failed.
class Cursor {
public:
    Cursor(const TbyteSource &source, qint64 pos)
        : m_source(source)
        , m_pos(pos)
    {
    }

    qint64 Pos() const { return m_pos; }
    void Seek(qint64 pos) { m_pos = pos; }
    bool Failed() const { return m_failed; }

    bool Bytes(void *dest, qint64 count)
    {
        if (m_failed || !m_source.ReadExact(m_pos, dest, count))
            return !(m_failed = true);
        m_pos += count;
        return true;
    }
    quint32 U16()
    {
        uchar b[2] = {};
        Bytes(b, 2);
        return quint32(b[0]) | (quint32(b[1]) << 8);
    }
    quint32 U32()
    {
        uchar b[4] = {};
        Bytes(b, 4);
        return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
    }
    // A UTF-16LE string of byteLength bytes: its first 250 characters, up to
    // a terminating zero.
    QString String(quint32 byteLength)
    {
        const qsizetype chars = std::min<qsizetype>(byteLength / 2, kStringCap);
        QByteArray bytes(chars * 2, Qt::Uninitialized);
        if (!Bytes(bytes.data(), bytes.size()))
            return QString();
        m_pos += byteLength - bytes.size();
        QString text(chars, Qt::Uninitialized);
        const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
        for (qsizetype i = 0; i < chars; ++i)
            text[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
        const qsizetype zero = text.indexOf(QChar(0));
        if (zero >= 0)
            text.truncate(zero);
        return text;
    }

private:
    const TbyteSource &m_source;
    qint64 m_pos;
    bool m_failed = false;
};

bool sameGuid(const uchar *a, const Guid &b)
{
    return std::memcmp(a, b, sizeof(Guid)) == 0;
}

} // namespace

bool TWMAfile::ReadFromFile(const QString &fileName)
{
    reset();
    try {
        const TfileSource source(fileName, 64 * 1024, 0);
        return ReadFromSource(source);
    } catch (const VorlenError &) {
        reset();
        return false;
    }
}

bool TWMAfile::ReadFromSource(const TbyteSource &source)
{
    reset();
    m_fileSize = source.Size();
    uchar guid[16];
    if (!source.ReadExact(0, guid, sizeof guid))
        return false;
    if (!sameGuid(guid, kHeaderObject))
        return true;
    if (!readObjects(source))
        return false;

    m_valid = m_maxBitRate > 0 && m_maxBitRate < 320000 && (m_channelCount == 1 || m_channelCount == 2)
        && m_sampleRate >= 8000 && m_sampleRate <= 96000 && m_averageBytesPerSecond > 0
        && m_averageBytesPerSecond < 40000;
    if (!m_valid)
        return true;
    m_channels = quint8(m_channelCount);
    // The header's play time is exact; the size over the peak bit rate is only
    // an estimate (about a tenth too long for common files), kept for headers
    // that state no play time.
    m_durationSec = m_playSeconds > 0 ? m_playSeconds : double(m_fileSize) * 8 / m_maxBitRate;
    m_bitRateKbps = int(m_averageBytesPerSecond * 8 / 1000);
    for (QString *text : { &m_title, &m_artist, &m_album, &m_trackText, &m_year, &m_genre, &m_comment })
        *text = TrimBlanksAndControls(*text);
    bool ok = false;
    m_track = m_trackText.toInt(&ok);
    if (!ok)
        m_track = 0;
    return true;
}

bool TWMAfile::readObjects(const TbyteSource &source)
{
    Cursor cursor(source, 16 + 8);
    const quint32 objectCount = cursor.U32();
    cursor.Seek(cursor.Pos() + 2);
    for (quint32 i = 0; i < objectCount && !cursor.Failed(); ++i) {
        const qint64 start = cursor.Pos();
        uchar guid[16];
        if (!cursor.Bytes(guid, sizeof guid))
            break;
        const quint32 size = cursor.U32();
        if (cursor.Failed() || size < kObjectHeaderSize)
            break;
        if (sameGuid(guid, kFileProperties)) {
            cursor.Seek(start + 64);
            const quint64 playDuration = cursor.U32() | (quint64(cursor.U32()) << 32);
            cursor.Seek(start + 80);
            const quint64 preroll = cursor.U32() | (quint64(cursor.U32()) << 32);
            m_playSeconds = double(playDuration) / 1e7 - double(preroll) / 1000.0;
            cursor.Seek(start + 100);
            m_maxBitRate = cursor.U32();
        } else if (sameGuid(guid, kStreamProperties)) {
            uchar streamType[16];
            cursor.Seek(start + kObjectHeaderSize);
            if (cursor.Bytes(streamType, sizeof streamType) && sameGuid(streamType, kAudioMedia)) {
                cursor.Seek(start + 80);
                m_channelCount = quint16(cursor.U16());
                m_sampleRate = int(cursor.U32());
                m_averageBytesPerSecond = cursor.U32();
            }
        } else if (sameGuid(guid, kContentDescription)) {
            cursor.Seek(start + kObjectHeaderSize);
            quint32 lengths[5];
            for (quint32 &length : lengths)
                length = cursor.U16();
            QString *targets[5] = { &m_title, &m_artist, nullptr, &m_comment, nullptr };
            for (int k = 0; k < 5; ++k) {
                if (lengths[k] == 0)
                    continue;
                const QString text = cursor.String(lengths[k]);
                if (targets[k])
                    *targets[k] = text;
            }
        } else if (sameGuid(guid, kExtendedContentDescription)) {
            cursor.Seek(start + kObjectHeaderSize);
            const quint32 count = cursor.U16();
            for (quint32 k = 0; k < count && !cursor.Failed(); ++k) {
                const QString storedName = TrimBlanksAndControls(cursor.String(cursor.U16()));
                const QString name = storedName.toUpper();
                const quint32 type = cursor.U16();
                const quint32 length = cursor.U16();
                if (type != 0) {
                    cursor.Seek(cursor.Pos() + length);
                    continue;
                }
                const QString value = cursor.String(length);
                if (name.startsWith(QLatin1String("REPLAYGAIN_")) || name == QLatin1String("WM/ALBUMARTIST"))
                    m_soundTexts.append(storedName + QLatin1Char('=') + value);
                QString *target = name == QLatin1String("WM/TITLE") ? &m_title
                    : name == QLatin1String("WM/AUTHOR")            ? &m_artist
                    : name == QLatin1String("WM/ALBUMTITLE")        ? &m_album
                    : name == QLatin1String("WM/TRACK")             ? &m_trackText
                    : name == QLatin1String("WM/YEAR")              ? &m_year
                    : name == QLatin1String("WM/GENRE")             ? &m_genre
                    : name == QLatin1String("WM/DESCRIPTION")       ? &m_comment
                                                                    : nullptr;
                if (target)
                    *target = value;
            }
        }
        cursor.Seek(start + size);
    }
    return !cursor.Failed();
}
