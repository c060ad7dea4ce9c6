#include "metadata/customTagger.h"

#include "metadata/genreList.h"
#include "platform/fileTime.h"

#include <array>
#include <cmath>

namespace {

using P = TaggerProperty;
using K = TaggerPropertyKind;
using S = TaggerStoredRule;

P integerProperty(const char *name, S stored, qint64 (*get)(const TcustomTagger &), void (*set)(TcustomTagger &, qint64))
{
    P p{name, K::Integer, stored};
    p.getInteger = get;
    p.setInteger = set;
    return p;
}

P stringProperty(const char *name, QString (*get)(const TcustomTagger &), void (*set)(TcustomTagger &, const QString &))
{
    P p{name, K::String, S::WhenNonEmpty};
    p.getString = get;
    p.setString = set;
    return p;
}

const std::array<TaggerProperty, 17> &customTaggerTable()
{
    static const std::array<TaggerProperty, 17> table = [] {
        P duration{"Duration", K::Float, S::WhenNonZero};
        duration.getFloat = [](const TcustomTagger &t) { return t.Duration(); };
        duration.setFloat = [](TcustomTagger &t, double v) { t.SetDuration(v); };
        P validTag{"ValidTag", K::Boolean, S::Always};
        validTag.getBoolean = [](const TcustomTagger &t) { return t.ValidTag(); };
        validTag.setBoolean = [](TcustomTagger &t, bool v) { t.SetValidTag(v); };
        return std::array<TaggerProperty, 17>{
            integerProperty(
                "Tag", S::WhenNonZero, [](const TcustomTagger &t) -> qint64 { return t.Tag(); },
                [](TcustomTagger &t, qint64 v) { t.SetTag(qint32(v)); }),
            stringProperty(
                "Title", [](const TcustomTagger &t) { return t.Title(); },
                [](TcustomTagger &t, const QString &v) { t.SetTitle(v); }),
            stringProperty(
                "Artist", [](const TcustomTagger &t) { return t.Artist(); },
                [](TcustomTagger &t, const QString &v) { t.SetArtist(v); }),
            stringProperty(
                "Album", [](const TcustomTagger &t) { return t.Album(); },
                [](TcustomTagger &t, const QString &v) { t.SetAlbum(v); }),
            stringProperty(
                "Date", [](const TcustomTagger &t) { return t.Date(); },
                [](TcustomTagger &t, const QString &v) { t.SetDate(v); }),
            stringProperty(
                "Comment", [](const TcustomTagger &t) { return t.Comment(); },
                [](TcustomTagger &t, const QString &v) { t.SetComment(v); }),
            integerProperty(
                "Track", S::Always, [](const TcustomTagger &t) -> qint64 { return t.Track(); },
                [](TcustomTagger &t, qint64 v) { t.SetTrack(quint32(v)); }),
            stringProperty(
                "Genre", [](const TcustomTagger &t) { return t.Genre(); },
                [](TcustomTagger &t, const QString &v) { t.SetGenre(v); }),
            integerProperty(
                "GenreByte", S::Always, [](const TcustomTagger &t) -> qint64 { return t.GenreByte(); },
                [](TcustomTagger &t, qint64 v) { t.SetGenreByte(quint8(v)); }),
            stringProperty(
                "Filename", [](const TcustomTagger &t) { return t.Filename(); },
                [](TcustomTagger &t, const QString &v) { t.SetFilename(v); }),
            duration,
            integerProperty(
                "bitRate", S::Always, [](const TcustomTagger &t) -> qint64 { return t.bitRate(); },
                [](TcustomTagger &t, qint64 v) { t.SetBitRate(quint32(v)); }),
            integerProperty(
                "SampleRate", S::Always, [](const TcustomTagger &t) -> qint64 { return t.SampleRate(); },
                [](TcustomTagger &t, qint64 v) { t.SetSampleRate(quint32(v)); }),
            integerProperty(
                "ChannelMode", S::Always, [](const TcustomTagger &t) -> qint64 { return t.ChannelMode(); },
                [](TcustomTagger &t, qint64 v) { t.SetChannelMode(quint32(v)); }),
            validTag,
            integerProperty(
                "ModDateHigh", S::Always, [](const TcustomTagger &t) -> qint64 { return t.ModDateHigh(); },
                [](TcustomTagger &t, qint64 v) { t.SetModDateHigh(quint32(v)); }),
            integerProperty(
                "ModDateLow", S::Always, [](const TcustomTagger &t) -> qint64 { return t.ModDateLow(); },
                [](TcustomTagger &t, qint64 v) { t.SetModDateLow(quint32(v)); }),
        };
    }();
    return table;
}

} // namespace

std::span<const TaggerProperty> CustomTaggerProperties()
{
    return customTaggerTable();
}

const TtaggerTextsRef &EmptyTaggerTexts()
{
    static const TtaggerTextsRef empty(new TtaggerTexts);
    return empty;
}

TcustomTagger::TcustomTagger()
    : m_texts(EmptyTaggerTexts())
{
}

TcustomTagger::~TcustomTagger() = default;

void TcustomTagger::setText(QString TtaggerTexts::*field, const QString &value)
{
    if ((*m_texts).*field == value)
        return;
    // A shared block stays as its other records know it; value may be one of
    // its texts, and the block outlives the copy because they still hold it.
    m_texts.detach();
    (*m_texts).*field = value;
}

const char *TcustomTagger::ClassName() const
{
    return "TcustomTagger";
}

std::span<const TaggerProperty> TcustomTagger::Properties() const
{
    return CustomTaggerProperties();
}

void TcustomTagger::SetFilename(const QString &value)
{
    const qsizetype slash = value.lastIndexOf(u'/');
    if (slash < 0) {
        setText(&TtaggerTexts::folder, QString());
        m_name = value;
    } else {
        setText(&TtaggerTexts::folder, value.left(slash + 1));
        m_name = value.mid(slash + 1);
    }
}

const QString &TcustomTagger::Genre() const
{
    return m_genreName < TgenreList::kGenreCount ? SharedGenreList().GenreName(m_genreName) : m_texts->genre;
}

void TcustomTagger::storeGenre(const QString &value, quint8 tableNumber)
{
    if (tableNumber < TgenreList::kGenreCount) {
        m_genreName = tableNumber;
        setText(&TtaggerTexts::genre, QString());
    } else {
        setText(&TtaggerTexts::genre, value);
        m_genreName = TgenreList::kNoGenre;
    }
}

void TcustomTagger::SetGenre(const QString &value)
{
    const TgenreList &genres = SharedGenreList();
    const quint8 number = genres.IndexOfGenre(value);
    storeGenre(value, number != TgenreList::kNoGenre && genres.GenreName(number) == value ? number : TgenreList::kNoGenre);
    if (number != TgenreList::kNoGenre)
        m_genreByte = number;
}

void TcustomTagger::SetGenreDirect(const QString &value)
{
    const TgenreList &genres = SharedGenreList();
    const quint8 number = genres.IndexOfGenre(value);
    storeGenre(value, number != TgenreList::kNoGenre && genres.GenreName(number) == value ? number : TgenreList::kNoGenre);
}

void TcustomTagger::SetGenreByte(quint8 value)
{
    m_genreByte = value;
    if (value < TgenreList::kGenreCount)
        storeGenre(QString(), value);
}

QString TcustomTagger::GetChannelModeText() const
{
    return QString::number(m_channelMode);
}

QString TcustomTagger::GetStereoText() const
{
    return GetChannelModeText();
}

void TcustomTagger::SetReadFrameHeaders(bool value)
{
    m_readFrameHeaders = value;
}

void TcustomTagger::ReadTag()
{
    m_title.clear();
    SetArtist(QString());
    SetAlbum(QString());
    SetDate(QString());
    m_comment.clear();
    m_track = 0;
    SetGenre(QString());
    m_duration = 0.0;
    m_bitRate = 0;
    m_sampleRate = 0;
    m_channelMode = 0;
    m_validTag = false;
}

void TcustomTagger::LoadFromFile(const QString &fileName)
{
    SetFilename(fileName);
    ReadTag();
}

bool TcustomTagger::WriteTag()
{
    return true;
}

void TcustomTagger::ReadStreamInfo() {}

void TcustomTagger::Assign(const TcustomTagger *source)
{
    if (!source)
        return;
    // Folder, artist, album and date come with the block; the genre then
    // goes through the genre rule as if assigned.
    const quint8 genreByte = source->m_genreByte;
    const QString genre = source->Genre();
    m_texts = source->m_texts;
    m_genreName = source->m_genreName;
    m_name = source->m_name;
    m_title = source->m_title;
    SetGenre(genre);
    SetGenreByte(genreByte);
    m_track = source->m_track;
    m_comment = source->m_comment;
    m_duration = source->m_duration;
    m_bitRate = source->m_bitRate;
    m_sampleRate = source->m_sampleRate;
    m_channelMode = source->m_channelMode;
    m_validTag = true;
    m_modDateHigh = source->m_modDateHigh;
    m_modDateLow = source->m_modDateLow;
}

void TcustomTagger::ReadModDate()
{
    const WinFileTime time = FileLastWriteTime(Filename());
    m_modDateHigh = time.high;
    m_modDateLow = time.low;
}

QString ChannelCountText(quint32 channels)
{
    switch (channels) {
    case 1:
        return QStringLiteral("Mono");
    case 2:
        return QStringLiteral("Stereo");
    default:
        return QStringLiteral("Unknown");
    }
}

quint32 AverageBitRate(qint64 bytes, double durationMs)
{
    if (bytes <= 0 || !(durationMs > 0))
        return 0;
    const double rate = std::round(double(bytes) * 8.0 * 1000.0 / durationMs);
    return rate >= 4294967295.0 ? 0xFFFFFFFFu : quint32(rate);
}

quint32 DigitsToNumber(const QString &text)
{
    if (text.isEmpty())
        return 0;
    quint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        value = value * 10 + quint64(c.unicode() - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    return quint32(value);
}
