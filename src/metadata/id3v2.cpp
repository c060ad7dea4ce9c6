#include "metadata/id3v2.h"

#include "metadata/byteSource.h"
#include "metadata/textTrim.h"
#include "platform/vorlenError.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

namespace {

struct SlotIds {
    const char *v3;
    const char *v2;
};

// Frames kept, by slot. Slots 12 to 15 stand in for 4, 1, 0 and 2 when those
// are empty.
constexpr SlotIds kSlotIds[TID3v2::kSlotCount] = {
    { "TIT2", "TT2" },
    { "TPE1", "TP1" },
    { "TALB", "TAL" },
    { "TRCK", "TRK" },
    { "TYER", "TYE" },
    { "TCON", "TCO" },
    { "COMM", "COM" },
    { "TCOM", "TCM" },
    { "TENC", "TEN" },
    { "TCOP", "TCR" },
    { "TLAN", "TLA" },
    { "WXXX", "WXX" },
    { "TDRC", "TOR" },
    { "TOPE", "TOA" },
    { "TIT1", "TT1" },
    { "TOAL", "TOT" },
};
enum Slot {
    sTitle,
    sArtist,
    sAlbum,
    sTrack,
    sYear,
    sGenre,
    sComment,
    sComposer,
    sEncodedBy,
    sRights,
    sLanguage,
    sUrl,
    sRecordingTime,
    sOriginalArtist,
    sContentGroup,
    sOriginalAlbum
};

constexpr qint64 kMaxBody = (1 << 28) - 1;

quint32 bigEndian(const uchar *p, int bytes)
{
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

quint32 syncSafe(const uchar *p)
{
    return (quint32(p[0] & 0x7F) << 21) | (quint32(p[1] & 0x7F) << 14) | (quint32(p[2] & 0x7F) << 7) | (p[3] & 0x7F);
}

// Text encodings of the encoding byte.
enum Encoding : uchar { eLatin1 = 0, eUtf16Bom = 1, eUtf16Be = 2, eUtf8 = 3 };

bool isWide(uchar encoding)
{
    return encoding == eUtf16Bom || encoding == eUtf16Be;
}

// Decodes one string of the given encoding from bytes [0, size); it ends at
// the encoding's terminator or at the end of the bytes. consumed receives the
// bytes up to and including the terminator; terminated whether there was one.
QString decodeString(
    uchar encoding, const uchar *p, qsizetype size, qsizetype *consumed = nullptr, bool *terminated = nullptr)
{
    qsizetype end = size;
    qsizetype next = size;
    if (isWide(encoding)) {
        for (qsizetype i = 0; i + 1 < size; i += 2) {
            if (p[i] == 0 && p[i + 1] == 0) {
                end = i;
                next = i + 2;
                break;
            }
        }
    } else {
        const void *zero = std::memchr(p, 0, size_t(size));
        if (zero) {
            end = static_cast<const uchar *>(zero) - p;
            next = end + 1;
        }
    }
    if (consumed)
        *consumed = next;
    if (terminated)
        *terminated = end < size;

    QString text;
    switch (encoding) {
    case eUtf16Bom:
    case eUtf16Be: {
        bool bigEndianText = encoding == eUtf16Be;
        qsizetype i = 0;
        if (end >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
            bigEndianText = p[0] == 0xFE;
            i = 2;
        }
        const qsizetype units = (end - i) / 2;
        if (units == 0)
            break;
        text.resize(units);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype unit = 0; unit < units; ++unit, i += 2)
            out[unit] = bigEndianText ? char16_t((p[i] << 8) | p[i + 1]) : char16_t((p[i + 1] << 8) | p[i]);
        break;
    }
    case eUtf8:
        text = QString::fromUtf8(reinterpret_cast<const char *>(p), end);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        break;
    default:
        text = QString::fromLatin1(reinterpret_cast<const char *>(p), end);
        break;
    }
    return text;
}

// The first bytes of a kept frame's content; empty when the tag has no such
// frame.
using FrameText = std::span<const uchar>;

// A text frame: its encoding byte, then the text (its first value when the
// frame holds several). Content without a known encoding byte is Latin-1.
QString decodeTextFrame(FrameText raw)
{
    if (raw.empty())
        return QString();
    const uchar *p = raw.data();
    const qsizetype size = qsizetype(raw.size());
    if (p[0] > eUtf8)
        return TrimBlanksAndControls(decodeString(eLatin1, p, size));
    return TrimBlanksAndControls(decodeString(p[0], p + 1, size - 1));
}

// COMM: encoding, language, a description ended by the encoding's
// terminator, then the comment text.
QString decodeCommentFrame(FrameText raw)
{
    const qsizetype size = qsizetype(raw.size());
    if (size < 4)
        return QString();
    const uchar *p = raw.data();
    const uchar encoding = p[0] > eUtf8 ? uchar(eLatin1) : p[0];
    qsizetype consumed = 0;
    bool terminated = false;
    decodeString(encoding, p + 4, size - 4, &consumed, &terminated);
    if (!terminated)
        return QString();
    return TrimBlanksAndControls(decodeString(encoding, p + 4 + consumed, size - 4 - consumed));
}

// WXXX: encoding, a description ended by the encoding's terminator, then the
// URL in Latin-1.
QString decodeUrlFrame(FrameText raw)
{
    if (raw.empty())
        return QString();
    const uchar *p = raw.data();
    const qsizetype size = qsizetype(raw.size());
    const uchar encoding = p[0] > eUtf8 ? uchar(eLatin1) : p[0];
    qsizetype consumed = 0;
    bool terminated = false;
    decodeString(encoding, p + 1, size - 1, &consumed, &terminated);
    if (!terminated)
        return QString();
    return TrimBlanksAndControls(decodeString(eLatin1, p + 1 + consumed, size - 1 - consumed));
}

// A frame identifier as one number (3 or 4 characters), so that finding its
// slot costs a compare per slot.
constexpr quint32 idKey(const char *id, bool v22)
{
    quint32 key = 0;
    for (int i = 0; i < (v22 ? 3 : 4); ++i)
        key = (key << 8) | uchar(id[i]);
    return key;
}

constexpr auto kSlotKeys = [] {
    std::array<std::array<quint32, TID3v2::kSlotCount>, 2> keys {};
    for (int slot = 0; slot < TID3v2::kSlotCount; ++slot) {
        keys[0][size_t(slot)] = idKey(kSlotIds[slot].v3, false);
        keys[1][size_t(slot)] = idKey(kSlotIds[slot].v2, true);
    }
    return keys;
}();

// The slot a frame identifier feeds; -1 for frames that are not kept.
int slotOf(const uchar *id, bool v22)
{
    const quint32 key = idKey(reinterpret_cast<const char *>(id), v22);
    const auto &keys = kSlotKeys[v22 ? 1 : 0];
    const auto it = std::find(keys.begin(), keys.end(), key);
    return it == keys.end() ? -1 : int(it - keys.begin());
}

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// Appends text in the frame's encoding, with a terminator when asked.
void appendEncoded(QByteArray &out, uchar encoding, const QString &text, bool terminate)
{
    if (encoding == eLatin1) {
        out += text.toLatin1();
        if (terminate)
            out += '\0';
        return;
    }
    out += char(0xFF);
    out += char(0xFE);
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    if (terminate)
        out += QByteArray(2, '\0');
}

void appendFrame(QByteArray &body, const char *id, const QByteArray &content)
{
    body += id;
    const quint32 size = quint32(content.size());
    body += char(size >> 24);
    body += char(size >> 16);
    body += char(size >> 8);
    body += char(size);
    body += QByteArray(2, '\0');
    body += content;
}

// ID3v2 unsynchronisation: every FF 00 stands for FF.
QByteArray resynchronised(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out.append(bytes[i]);
        if (uchar(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

} // namespace

QString DecodeId3Text(QByteArrayView content)
{
    return decodeTextFrame(FrameText(reinterpret_cast<const uchar *>(content.data()), size_t(content.size())));
}

bool DecodeId3UserText(QByteArrayView content, QString *description, QString *value)
{
    if (content.isEmpty())
        return false;
    const auto *p = reinterpret_cast<const uchar *>(content.data());
    const qsizetype size = content.size();
    const uchar encoding = p[0] > eUtf8 ? uchar(eLatin1) : p[0];
    qsizetype consumed = 0;
    bool terminated = false;
    const QString name = decodeString(encoding, p + 1, size - 1, &consumed, &terminated);
    if (!terminated)
        return false;
    *description = TrimBlanksAndControls(name);
    *value = TrimBlanksAndControls(decodeString(encoding, p + 1 + consumed, size - 1 - consumed));
    return true;
}

qint64 TID3v2::TagSizeFromHeader(const uchar *header, qint64 fileSize)
{
    if (std::memcmp(header, "ID3", 3) != 0)
        return 0;
    // The size bytes are added as they stand, unmasked.
    const qint64 size = (qint64(header[6]) << 21) + (qint64(header[7]) << 14) + (qint64(header[8]) << 7) + header[9]
        + ((header[5] & 0x10) ? 20 : 10);
    return size > fileSize ? 0 : size;
}

qint64 TID3v2::ExistingTagSize(const QString &fileName)
{
    try {
        TfileSource source(fileName, 10, 0);
        uchar header[10];
        if (!source.ReadExact(0, header, sizeof header))
            return 0;
        return TagSizeFromHeader(header, source.Size());
    } catch (const VorlenError &) {
        return 0;
    }
}

void TID3v2::clear()
{
    *this = TID3v2();
}

bool TID3v2::ReadFromFile(const QString &fileName)
{
    clear();
    try {
        TfileSource source(fileName, kMpegHeadBytes, 0);
        return ReadFromSource(source);
    } catch (const VorlenError &) {
        clear();
        return false;
    }
}

Tid3v2FrameWalker::Tid3v2FrameWalker(const TbyteSource &source)
    : m_source(source)
{
    if (!source.ReadExact(0, m_header, sizeof m_header) || std::memcmp(m_header, "ID3", 3) != 0)
        return;
    m_found = true;
    m_tagSize = TID3v2::TagSizeFromHeader(m_header, source.Size());
    const quint8 version = MajorVersion();
    if (version < 2 || version > 4 || m_tagSize <= 0)
        return;
    m_pos = 10;
    // An extended header sits between the tag header and the first frame.
    if (version != 2 && (TagFlags() & 0x40)) {
        uchar extended[4];
        if (!source.ReadExact(m_pos, extended, 4))
            return;
        m_pos += version == 3 ? 4 + qint64(bigEndian(extended, 4)) : qint64(syncSafe(extended));
    }
    m_end = std::min(m_tagSize, source.Size());
}

bool Tid3v2FrameWalker::Next()
{
    const quint8 version = MajorVersion();
    const int headerSize = version == 2 ? 6 : 10;
    if (m_pos >= m_end || !m_source.ReadExact(m_pos, m_frame, headerSize) || m_frame[0] < 'A' || m_frame[0] > 'Z') {
        m_end = 0;
        return false;
    }
    if (version == 2) {
        m_contentSize = bigEndian(m_frame + 3, 3);
        m_frameFlags = 0;
    } else {
        if (version == 4 && !((m_frame[4] | m_frame[5] | m_frame[6] | m_frame[7]) & 0x80))
            m_contentSize = syncSafe(m_frame + 4);
        else
            m_contentSize = bigEndian(m_frame + 4, 4);
        m_frameFlags = quint16((m_frame[8] << 8) | m_frame[9]);
    }
    m_contentPos = m_pos + headerSize;
    m_pos = m_contentPos + m_contentSize;
    return true;
}

bool Tid3v2FrameWalker::IdIs(const char *id) const
{
    return std::memcmp(m_frame, id, MajorVersion() == 2 ? 3 : 4) == 0;
}

bool Tid3v2FrameWalker::ReadContent(qint64 maxBytes, QByteArray *content) const
{
    content->clear();
    if (m_contentSize > maxBytes || m_contentPos + m_contentSize > m_tagSize)
        return false;
    // Format flags: 2.4 grouping 0x40, compression 0x08, encryption 0x04,
    // unsynchronisation 0x02, data length 0x01; 2.3 compression 0x80,
    // encryption 0x40, grouping 0x20.
    const quint8 version = MajorVersion();
    const quint8 format = quint8(m_frameFlags);
    qsizetype skip = 0;
    bool unsynchronised = TagFlags() & 0x80;
    if (version == 4) {
        if (format & 0x0C)
            return false;
        skip = ((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0);
        unsynchronised = unsynchronised || (format & 0x02);
    } else if (version == 3) {
        if (format & 0xC0)
            return false;
        skip = (format & 0x20) ? 1 : 0;
    }
    QByteArray bytes(m_contentSize, Qt::Uninitialized);
    if (!m_source.ReadExact(m_contentPos, bytes.data(), bytes.size()))
        return false;
    bytes.remove(0, std::min(skip, bytes.size()));
    *content = unsynchronised ? resynchronised(bytes) : bytes;
    return true;
}

bool TID3v2::ReadFromSource(const TbyteSource &source)
{
    clear();
    Tid3v2FrameWalker frames(source);
    if (!frames.Found())
        return false;
    m_found = true;
    m_majorVersion = frames.MajorVersion();
    m_tagSize = frames.TagSize();
    const bool v22 = m_majorVersion == 2;

    // Only the kept frames' contents are read, and only their first
    // kFrameCap bytes: other frames (a cover picture) are stepped over by
    // their size, so their bytes are never fetched. A content is read aside
    // first, so a failed read keeps the earlier frame of its slot whole.
    uchar contents[kSlotCount][kFrameCap];
    uchar incoming[kFrameCap];
    std::array<FrameText, kSlotCount> frameTexts;
    while (frames.Next()) {
        const int slot = slotOf(frames.Id(), v22);
        if (slot < 0)
            continue;
        const qint64 kept = std::min<qint64>(frames.ContentSize(), kFrameCap);
        if (!source.ReadExact(frames.ContentPos(), incoming, kept))
            break;
        std::memcpy(contents[slot], incoming, size_t(kept));
        frameTexts[size_t(slot)] = FrameText(contents[slot], size_t(kept));
    }
    deriveFields(frameTexts);
    return true;
}

void TID3v2::deriveFields(const std::array<std::span<const uchar>, kSlotCount> &frameTexts)
{
    const auto text = [&](int slot) { return decodeTextFrame(frameTexts[size_t(slot)]); };
    const auto either = [&](int slot, int fallback) {
        const QString value = text(slot);
        return value.isEmpty() ? text(fallback) : value;
    };
    m_title = either(sTitle, sContentGroup);
    m_artist = either(sArtist, sOriginalArtist);
    m_album = either(sAlbum, sOriginalAlbum);

    QString track = text(sTrack);
    const qsizetype slash = track.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        track.truncate(slash);
    bool ok = false;
    const int trackNumber = track.toInt(&ok);
    m_track = ok ? quint8(trackNumber & 0xFF) : 0;

    m_year = text(sYear);
    if (m_year.isEmpty())
        m_year = text(sRecordingTime).left(4);

    m_genre = text(sGenre);
    const qsizetype paren = m_genre.lastIndexOf(QLatin1Char(')'));
    if (paren >= 0)
        m_genre = m_genre.mid(paren + 1);

    m_comment = decodeCommentFrame(frameTexts[sComment]);
    m_composer = text(sComposer);
    m_encodedBy = text(sEncodedBy);
    m_rightsText = text(sRights);
    m_language = text(sLanguage);
    m_url = decodeUrlFrame(frameTexts[sUrl]);
}

void TID3v2::SetTitle(const QString &value)
{
    m_title = TrimBlanksAndControls(value);
}
void TID3v2::SetArtist(const QString &value)
{
    m_artist = TrimBlanksAndControls(value);
}
void TID3v2::SetAlbum(const QString &value)
{
    m_album = TrimBlanksAndControls(value);
}
void TID3v2::SetYear(const QString &value)
{
    m_year = TrimBlanksAndControls(value);
}
void TID3v2::SetGenre(const QString &value)
{
    m_genre = TrimBlanksAndControls(value);
}
void TID3v2::SetComment(const QString &value)
{
    m_comment = TrimBlanksAndControls(value);
}

QByteArray TID3v2::BuildTag(qint64 minimumTagSize) const
{
    const QString texts[] = { m_title, m_artist, m_album, m_track ? QString::number(m_track) : QString(), m_year,
        m_genre, QString(), m_composer, m_encodedBy, m_rightsText, m_language };
    QByteArray body;
    for (int slot = sTitle; slot <= sLanguage; ++slot) {
        const QString &value = texts[slot];
        if (slot == sComment) {
            if (m_comment.isEmpty())
                continue;
            const uchar encoding = fitsLatin1(m_comment) ? eLatin1 : eUtf16Bom;
            QByteArray content(1, char(encoding));
            content += "eng";
            appendEncoded(content, encoding, QString(), true);
            appendEncoded(content, encoding, m_comment, false);
            appendFrame(body, kSlotIds[slot].v3, content);
            continue;
        }
        if (value.isEmpty())
            continue;
        const uchar encoding = fitsLatin1(value) ? eLatin1 : eUtf16Bom;
        QByteArray content(1, char(encoding));
        appendEncoded(content, encoding, value, false);
        appendFrame(body, kSlotIds[slot].v3, content);
    }
    if (!m_url.isEmpty()) {
        QByteArray content(2, '\0');
        content += m_url.toLatin1();
        appendFrame(body, kSlotIds[sUrl].v3, content);
    }

    const qint64 bodySize = std::max({ qint64(body.size()), m_paddingSize, minimumTagSize - 10 });
    if (bodySize > kMaxBody)
        return QByteArray();
    body.append(QByteArray(bodySize - body.size(), '\0'));
    QByteArray tag("ID3\x03\x00\x00", 6);
    tag += char((bodySize >> 21) & 0x7F);
    tag += char((bodySize >> 14) & 0x7F);
    tag += char((bodySize >> 7) & 0x7F);
    tag += char(bodySize & 0x7F);
    return tag + body;
}

bool TID3v2::WriteToFile(const QString &fileName) const
{
    const qint64 existing = ExistingTagSize(fileName);
    const QByteArray unpadded = BuildTag();
    if (unpadded.isEmpty())
        return false;

    if (existing > 0 && unpadded.size() <= existing) {
        // Padded to the old tag's exact size, so no byte of it survives
        // outside the new one and nothing behind it is touched.
        const QByteArray tag = BuildTag(existing);
        QFile file(fileName);
        if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            return false;
        return file.write(tag) == tag.size() && file.flush();
    }

    QFile old(fileName);
    if (!old.open(QIODevice::ReadOnly) || (existing > 0 && !old.seek(existing)))
        return false;
    // The new file is complete and on disk before it replaces the old name;
    // QSaveFile removes it again on any failure.
    QSaveFile replacement(fileName);
    replacement.setDirectWriteFallback(false);
    if (!replacement.open(QIODevice::WriteOnly) || replacement.write(unpadded) != unpadded.size())
        return false;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = old.read(chunk.data(), chunk.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (replacement.write(chunk.constData(), n) != n)
            return false;
    }
    return replacement.commit();
}
