#include "metadata/gainTags.h"

#include "metadata/apeTag.h"
#include "metadata/byteSource.h"
#include "metadata/flacMetadata.h"
#include "metadata/id3v2.h"
#include "metadata/oggPacketStream.h"
#include "metadata/oggVorbis.h"
#include "metadata/opusTagger.h"
#include "metadata/vorbisComment.h"
#include "metadata/wmaFile.h"
#include "platform/vorlenError.h"

#include <QRegularExpression>
#include <cmath>
#include <new>

namespace {

constexpr double kMaxPeak = 10.0;
// What a TXXX or RVA2 frame may hold: a name and a short value.
constexpr qint64 kFrameCap = 4096;
// The ASF header objects, comments and all, are read from the first bytes.
constexpr qint64 kAsfHeadBytes = 64 * 1024;
constexpr qint64 kHeadBytes = 4096;

// Takes what other has that tags lacks.
void fillFrom(TgainTags &tags, const TgainTags &other)
{
    for (auto [into, from] : { std::pair { &tags.trackLoudness, &other.trackLoudness },
             std::pair { &tags.albumLoudness, &other.albumLoudness }, std::pair { &tags.trackPeak, &other.trackPeak },
             std::pair { &tags.albumPeak, &other.albumPeak } }) {
        if (!*into)
            *into = *from;
    }
    if (tags.albumArtist.isEmpty())
        tags.albumArtist = other.albumArtist;
}

std::optional<double> loudnessOfGain(std::optional<double> gain, double reference)
{
    return gain ? std::optional(reference - *gain) : std::nullopt;
}

// An Opus R 128 gain: a decimal integer of 1/256 dB.
std::optional<double> parseQ78(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*[+-]?\\d{1,6}\\s*$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const double db = text.trimmed().toInt() / 256.0;
    return std::abs(db) <= kMaxTagGainDb ? std::optional(db) : std::nullopt;
}

// One value of a line list: a value may hold several, separated by zero bytes.
QString firstValue(const QStringList &lines, const char *name)
{
    return VorbisCommentValue(lines, QLatin1StringView(name)).section(QChar(0), 0, 0);
}

// RVA2: an identification ended by a zero byte, then per channel its type
// (1 is the master volume), a 16-bit big-endian adjustment in 1/512 dB, the
// peak's width in bits and the peak. Only the master volume is taken.
void readRva2(QByteArrayView content, TgainTags &tags)
{
    const qsizetype zero = content.indexOf('\0');
    if (zero < 0)
        return;
    const bool album = QLatin1StringView(content.first(zero)).compare(QLatin1String("album"), Qt::CaseInsensitive) == 0;
    qsizetype pos = zero + 1;
    while (pos + 4 <= content.size()) {
        const uchar type = uchar(content[pos]);
        const qint16 adjustment = qint16((uchar(content[pos + 1]) << 8) | uchar(content[pos + 2]));
        const int peakBits = uchar(content[pos + 3]);
        const qsizetype peakBytes = (peakBits + 7) / 8;
        pos += 4;
        if (pos + peakBytes > content.size())
            return;
        if (type == 1) {
            const double gain = adjustment / 512.0;
            auto &loudness = album ? tags.albumLoudness : tags.trackLoudness;
            if (!loudness && std::abs(gain) <= kMaxTagGainDb)
                loudness = kReplayGainReferenceLufs - gain;
            auto &peak = album ? tags.albumPeak : tags.trackPeak;
            if (!peak && peakBits > 0 && peakBits <= 32) {
                quint64 value = 0;
                for (qsizetype i = 0; i < peakBytes; ++i)
                    value = (value << 8) | uchar(content[pos + i]);
                value >>= peakBytes * 8 - peakBits;
                const double linear = double(value) / double(quint64(1) << (peakBits - 1));
                if (linear > 0 && linear <= kMaxPeak)
                    peak = linear;
            }
            return;
        }
        pos += peakBytes;
    }
}

bool hasExtension(const QString &fileName, const char *extension)
{
    return fileName.endsWith(QLatin1StringView(extension), Qt::CaseInsensitive);
}

TgainTags readFileTags(const QString &fileName)
{
    if (hasExtension(fileName, ".mp3") || hasExtension(fileName, ".mp2")) {
        // The APEv2 tag sits at the end: the tail is fetched when it is looked for.
        const TfileSource source(fileName, kHeadBytes, 160);
        TgainTags tags = ReadId3GainTags(source);
        fillFrom(tags, ReadApeGainTags(source));
        return tags;
    }
    if (hasExtension(fileName, ".ogg") || hasExtension(fileName, ".opus"))
        return ReadOggGainTags(TfileSource(fileName, kHeadBytes, 0));
    if (hasExtension(fileName, ".flac"))
        return ReadFlacGainTags(TfileSource(fileName, kHeadBytes, 0));
    if (hasExtension(fileName, ".wma"))
        return ReadAsfGainTags(TfileSource(fileName, kAsfHeadBytes, 0));
    return TgainTags();
}

} // namespace

std::optional<double> ParseGainText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))\\s*(?:dB)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double db = match.captured(1).toDouble(&ok);
    return ok && std::abs(db) <= kMaxTagGainDb ? std::optional(db) : std::nullopt;
}

std::optional<double> ParsePeakText(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d+(?:\\.\\d*)?|\\.\\d+)\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double peak = match.captured(1).toDouble(&ok);
    return ok && peak > 0 && peak <= kMaxPeak ? std::optional(peak) : std::nullopt;
}

TgainTags GainTagsOfLines(const QStringList &lines)
{
    TgainTags tags;
    tags.trackLoudness = loudnessOfGain(parseQ78(firstValue(lines, "R128_TRACK_GAIN")), kOpusR128ReferenceLufs);
    tags.albumLoudness = loudnessOfGain(parseQ78(firstValue(lines, "R128_ALBUM_GAIN")), kOpusR128ReferenceLufs);
    if (!tags.trackLoudness)
        tags.trackLoudness
            = loudnessOfGain(ParseGainText(firstValue(lines, "REPLAYGAIN_TRACK_GAIN")), kReplayGainReferenceLufs);
    if (!tags.albumLoudness)
        tags.albumLoudness
            = loudnessOfGain(ParseGainText(firstValue(lines, "REPLAYGAIN_ALBUM_GAIN")), kReplayGainReferenceLufs);
    tags.trackPeak = ParsePeakText(firstValue(lines, "REPLAYGAIN_TRACK_PEAK"));
    tags.albumPeak = ParsePeakText(firstValue(lines, "REPLAYGAIN_ALBUM_PEAK"));
    for (const char *name : { "ALBUMARTIST", "ALBUM ARTIST", "WM/ALBUMARTIST" }) {
        if (tags.albumArtist.isEmpty())
            tags.albumArtist = firstValue(lines, name).trimmed();
    }
    return tags;
}

TgainTags ReadId3GainTags(const TbyteSource &source)
{
    TgainTags tags;
    QStringList lines;
    Tid3v2FrameWalker frames(source);
    const bool v22 = frames.MajorVersion() == 2;
    QByteArray content;
    while (frames.Next()) {
        if (frames.IdIs(v22 ? "TXX" : "TXXX")) {
            QString description;
            QString value;
            if (frames.ReadContent(kFrameCap, &content) && DecodeId3UserText(content, &description, &value))
                lines.append(description + QLatin1Char('=') + value);
        } else if (frames.IdIs(v22 ? "RVA" : "RVA2")) {
            // Version 2.2's RVA is another, older layout.
            if (!v22 && frames.ReadContent(kFrameCap, &content))
                readRva2(content, tags);
        } else if (frames.IdIs(v22 ? "TP2" : "TPE2")) {
            if (frames.ReadContent(kFrameCap, &content))
                tags.albumArtist = DecodeId3Text(content);
        }
    }
    // A ReplayGain TXXX frame speaks for the file before an RVA2 frame does.
    TgainTags fromText = GainTagsOfLines(lines);
    fillFrom(fromText, tags);
    return fromText;
}

TgainTags ReadApeGainTags(const TbyteSource &source)
{
    return GainTagsOfLines(ReadApeTextItems(source));
}

TgainTags ReadOggGainTags(const TbyteSource &source)
{
    ToggPacketStream opus = OpusPacketStream(source);
    if (ReadOpusHead(opus).found)
        return FindOpusTags(opus) ? GainTagsOfLines(ReadCommentList(opus)) : TgainTags();
    return GainTagsOfLines(ReadVorbisComments(source));
}

TgainTags ReadFlacGainTags(const TbyteSource &source)
{
    TflacBlockWalker block(source);
    while (block.Next()) {
        if (block.Type() == TflacBlockWalker::btVorbisComment) {
            TrangeStream stream(source, block.Position(), block.Length());
            return GainTagsOfLines(ReadCommentList(stream));
        }
    }
    return TgainTags();
}

TgainTags ReadAsfGainTags(const TbyteSource &source)
{
    TWMAfile asf;
    asf.ReadFromSource(source);
    return GainTagsOfLines(asf.SoundTexts());
}

TgainTags ReadGainTags(const QString &fileName)
{
    try {
        return readFileTags(fileName);
    } catch (const VorlenError &) {
    } catch (const std::bad_alloc &) {
    }
    return TgainTags();
}
