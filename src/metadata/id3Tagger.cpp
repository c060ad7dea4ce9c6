#include "metadata/id3Tagger.h"

#include "metadata/audioInfo.h"
#include "metadata/byteSource.h"
#include "metadata/genreList.h"
#include "metadata/id3v1.h"
#include "metadata/id3v2.h"
#include "platform/fileExists.h"
#include "platform/fileNames.h"
#include "platform/vorlenError.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Stream information analysed by the last ReadTag of a record whose
// read-frame-headers flag was off. Track lists load a record and switch the
// flag on right after; that step then takes these values instead of opening
// the file a second time. Per thread, because records are read on the thread
// that owns them.
struct PendingStreamInfo {
    const Tid3Tagger *owner = nullptr;
    // The file name as the record held it, in its two parts: comparing them
    // costs no new text.
    QString folder;
    QString name;
    TAudioInfo info;
};
thread_local PendingStreamInfo pending;

const char *const kWriteTypeNames[] = { "wtBoth", "wtV1", "wtV2", "wtNone" };

std::vector<TaggerProperty> buildId3Properties()
{
    std::vector<TaggerProperty> table(CustomTaggerProperties().begin(), CustomTaggerProperties().end());
    TaggerProperty writeType { "WriteType", TaggerPropertyKind::Enumeration, TaggerStoredRule::Always };
    writeType.getInteger
        = [](const TcustomTagger &t) -> qint64 { return static_cast<const Tid3Tagger &>(t).WriteType(); };
    writeType.setInteger = [](TcustomTagger &t, qint64 v) {
        if (v >= wtBoth && v <= wtNone)
            static_cast<Tid3Tagger &>(t).SetWriteType(Tid3TagWriteType(v));
    };
    writeType.enumNames = kWriteTypeNames;
    TaggerProperty typeFlags { "TypeFlags", TaggerPropertyKind::String, TaggerStoredRule::WhenNonEmpty };
    typeFlags.getString = [](const TcustomTagger &t) { return static_cast<const Tid3Tagger &>(t).TypeFlags(); };
    typeFlags.setString
        = [](TcustomTagger &t, const QString &v) { static_cast<Tid3Tagger &>(t).SetStoredTypeFlags(v); };
    table.push_back(writeType);
    table.push_back(typeFlags);
    return table;
}

} // namespace

Tid3Tagger::Tid3Tagger() = default;

Tid3Tagger::~Tid3Tagger()
{
    if (pending.owner == this)
        pending.owner = nullptr;
}

const char *Tid3Tagger::ClassName() const
{
    return "Tid3Tagger";
}

std::span<const TaggerProperty> Tid3Tagger::Properties() const
{
    static const std::vector<TaggerProperty> table = buildId3Properties();
    return table;
}

void Tid3Tagger::SetTypeFlags(const QString &value)
{
    SetComment(value.left(4) + Comment().mid(4));
    storeTypeFlags(Comment());
}

QString Tid3Tagger::GetChannelModeText() const
{
    switch (ChannelMode()) {
    case 0:
        return QStringLiteral("Stereo");
    case 1:
        return QStringLiteral("Joint Stereo");
    case 2:
        return QStringLiteral("Dual");
    case 3:
        return QStringLiteral("Mono");
    default:
        return QString::number(ChannelMode());
    }
}

QString Tid3Tagger::GetStereoText() const
{
    return ChannelMode() > 2 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
}

void Tid3Tagger::SetReadFrameHeaders(bool value)
{
    SetReadFrameHeadersFlag(value);
    if (!value)
        return;
    if (pending.owner == this && pending.name == NameInFolder() && pending.folder == Folder()) {
        pending.owner = nullptr;
        applyStreamInfo(pending.info);
        return;
    }
    ReadStreamInfo();
}

void Tid3Tagger::resetForRead()
{
    if (pending.owner == this)
        pending.owner = nullptr;
    m_id3v1IdentifierLength = 0;
    m_typeFlagsLength = 0;
    SetTitle(QString());
    SetArtist(QString());
    SetAlbum(QString());
    SetComment(QString());
    SetDate(QStringLiteral("0000"));
    SetTrack(0);
    SetGenreByteDirect(TgenreList::kNoGenre);
}

void Tid3Tagger::LoadFromFile(const QString &fileName)
{
    // Opening the file is the existence test: a missing file changes nothing,
    // and an existing one is read without asking the file system twice.
    std::optional<TfileSource> source;
    try {
        source.emplace(fileName, kMpegHeadBytes, TId3v1Tag::kSize);
    } catch (const VorlenError &) {
        if (!QuietFileExists(fileName))
            return;
        SetFilename(fileName);
        resetForRead();
        throw;
    }
    SetFilename(fileName);
    readOpenedFile(*source);
}

void Tid3Tagger::ReadTag()
{
    resetForRead();
    std::optional<TfileSource> source;
    try {
        source.emplace(Filename(), kMpegHeadBytes, TId3v1Tag::kSize);
    } catch (const VorlenError &) {
        // A missing file keeps the reset values; any other failure to open
        // reaches the caller.
        if (!QuietFileExists(Filename()))
            return;
        throw;
    }
    readOpenedFile(*source);
}

void Tid3Tagger::readOpenedFile(const TfileSource &source)
{
    ReadTagFromSource(source);
    const WinFileTime time = source.LastWriteTime();
    SetModDateHigh(time.high);
    SetModDateLow(time.low);
}

void Tid3Tagger::ReadTagFromSource(const TbyteSource &source)
{
    resetForRead();
    TID3v2 id3v2;
    if (id3v2.ReadFromSource(source)) {
        SetValidTag(true);
        SetTitle(id3v2.Title());
        SetArtist(id3v2.Artist());
        SetAlbum(id3v2.Album());
        SetComment(id3v2.Comment());
        SetDate(id3v2.Year());
        SetTrack(id3v2.Track());
        SetGenre(id3v2.Genre());
        m_tagKind = tkId3v2;
    } else if (source.Size() > TId3v1Tag::kSize) {
        uchar block[TId3v1Tag::kSize];
        TId3v1Tag id3v1;
        const bool read = source.ReadExact(source.Size() - TId3v1Tag::kSize, block, sizeof block);
        if (read) {
            std::copy_n(reinterpret_cast<const char *>(block), m_id3v1Identifier.size(), m_id3v1Identifier.begin());
            m_id3v1IdentifierLength = quint8(m_id3v1Identifier.size());
        }
        if (read && id3v1.Parse(block)) {
            SetValidTag(true);
            m_tagKind = tkId3v1;
            SetTitle(id3v1.title);
            SetArtist(id3v1.artist);
            SetAlbum(id3v1.album);
            SetDate(id3v1.year);
            SetComment(id3v1.comment);
            SetTrack(id3v1.track);
            SetGenreByte(id3v1.genre);
            storeTypeFlags(Comment());
        } else {
            SetValidTag(false);
            SetTitle(ReadableFileName(QFileInfo(Filename()).fileName()));
            SetArtist(QString());
            SetAlbum(QString());
            m_tagKind = tkNoTag;
        }
    }

    TAudioInfo info;
    info.AnalyseStream(source, 0, source.Size());
    if (ReadFrameHeaders()) {
        applyStreamInfo(info);
    } else {
        pending.owner = this;
        pending.folder = Folder();
        pending.name = NameInFolder();
        pending.info = info;
    }
}

void Tid3Tagger::ReadStreamInfo()
{
    if (pending.owner == this)
        pending.owner = nullptr;
    TAudioInfo info;
    info.AnalyseFile(Filename());
    applyStreamInfo(info);
}

void Tid3Tagger::applyStreamInfo(const TAudioInfo &info)
{
    const TMpegFrameHdr &header = info.Header();
    SetDuration(double(info.DurationMs()));
    m_isVbr = info.IsVBR();
    m_mpegVersionIndex = quint8(header.VersionIndex());
    m_mpegLayer = qint8(header.Layer());
    SetBitRate(quint32(std::max<qint64>(0, header.BitRate())));
    SetSampleRate(quint32(std::max(0, header.SampleRate())));
    SetChannelMode(quint32(header.ChannelMode()));
}

bool Tid3Tagger::WriteTag()
{
    const auto writeV1 = [this] {
        TId3v1Tag tag;
        tag.title = Title();
        tag.artist = Artist();
        tag.album = Album();
        tag.year = Date().left(4);
        tag.comment = Comment();
        tag.track = quint8(Track());
        tag.genre = GenreByte();
        return WriteId3v1Block(Filename(), tag.Build());
    };
    const auto writeV2 = [this] {
        TID3v2 tag;
        tag.SetTitle(Title());
        tag.SetArtist(Artist());
        tag.SetAlbum(Album());
        tag.SetYear(Date());
        tag.SetComment(Comment());
        tag.SetTrack(quint8(Track()));
        tag.SetGenre(Genre());
        return tag.WriteToFile(Filename());
    };
    bool written = false;
    switch (m_writeType) {
    case wtV1:
        written = writeV1();
        break;
    case wtV2:
        written = writeV2();
        break;
    case wtBoth:
    case wtNone:
        written = writeV1();
        written = writeV2() && written;
        m_tagKind = tkId3v2;
        break;
    }
    ReadTag();
    return written;
}

QString Tid3Tagger::MpegVersionText() const
{
    return m_mpegVersionIndex == kNoMpegVersion ? QString() : TMpegFrameHdr::VersionTextOf(m_mpegVersionIndex);
}

QString Tid3Tagger::Id3v1Identifier() const
{
    return QString::fromLatin1(m_id3v1Identifier.data(), m_id3v1IdentifierLength);
}

void Tid3Tagger::storeTypeFlags(const QString &value)
{
    m_typeFlagsLength = quint8(std::min<qsizetype>(value.size(), qsizetype(m_typeFlags.size())));
    std::copy_n(value.constData(), m_typeFlagsLength, m_typeFlags.begin());
}
