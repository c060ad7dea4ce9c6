#include "metadata/id3Tagger.h"
#include "metadata/byteSource.h"
#include "metadata/id3v1.h"
#include "metadata/id3v2.h"
#include "platform/vorlenError.h"
#include "tagBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tagBytes;

namespace {

QByteArray id3v1Block(const QByteArray &title, const QByteArray &comment30, quint8 genre = 17)
{
    QByteArray block(128, '\0');
    block.replace(0, 3, "TAG");
    block.replace(3, title.size(), title);
    block.replace(33, 6, "Artist");
    block.replace(63, 5, "Album");
    block.replace(93, 4, "    ");
    block.replace(97, comment30.size(), comment30);
    block[127] = char(genre);
    return block;
}

class Id3TaggerFiles : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_dir;
};

} // namespace

TEST(Id3v1, ParseEdgeCases)
{
    TId3v1Tag tag;
    const QByteArray exact = id3v1Block(QByteArray(30, 'T'), "  Flag comment   ");
    ASSERT_TRUE(tag.Parse(reinterpret_cast<const uchar *>(exact.constData())));
    EXPECT_EQ(tag.title, QString(30, QLatin1Char('T')));
    EXPECT_EQ(tag.comment, QStringLiteral("Flag comment"));
    EXPECT_EQ(tag.year, QStringLiteral("    "));

    QByteArray cut = id3v1Block("0123456789\0after", QByteArray(30, 'c'));
    cut[125] = 'c';
    cut[126] = 'Z';
    ASSERT_TRUE(tag.Parse(reinterpret_cast<const uchar *>(cut.constData())));
    EXPECT_EQ(tag.title, QStringLiteral("0123456789"));
    EXPECT_EQ(tag.comment, QString(28, QLatin1Char('c')));
    EXPECT_EQ(tag.track, 'Z');

    QByteArray notTag = exact;
    notTag[2] = 'g';
    EXPECT_FALSE(tag.Parse(reinterpret_cast<const uchar *>(notTag.constData())));

    TId3v1Tag out;
    out.title = QStringLiteral("Ünïcode ✓ title");
    out.year = QStringLiteral("2001-05-12");
    const QByteArray block = out.Build();
    EXPECT_EQ(block.mid(3, 15),
        QByteArray("\xDCn\xEF"
                   "code ? title"));
    EXPECT_EQ(block.mid(93, 4), QByteArray("2001"));
}

TEST_F(Id3TaggerFiles, ReadsId3v2FirstThenId3v1ThenTheFileName)
{
    const QByteArray v2 = tag(3, frame("TIT2", QByteArray("\0Two", 4)) + frame("TCON", QByteArray("\0jazz", 5)));
    const QString both = write(QStringLiteral("both.mp3"), v2 + mpegFrames(20) + id3v1Block("One", "FLAGrest"));
    Tid3Tagger record;
    record.LoadFromFile(both);
    EXPECT_EQ(record.Title(), QStringLiteral("Two"));
    EXPECT_EQ(record.Album(), QString()); // the ID3v1 album is not looked at
    EXPECT_EQ(record.GenreByte(), 8);
    EXPECT_EQ(record.Date(), QString());
    EXPECT_EQ(record.TagKind(), tkId3v2);
    EXPECT_TRUE(record.ValidTag());
    EXPECT_EQ(record.TypeFlags(), QString());
    EXPECT_EQ(record.Duration(), 0.0); // the flag is off: no stream information yet
    record.SetReadFrameHeaders(true);
    EXPECT_EQ(record.bitRate(), 128000u);
    EXPECT_EQ(record.SampleRate(), 44100u);
    EXPECT_EQ(record.MpegVersionText(), QStringLiteral("1.0"));
    EXPECT_EQ(record.MpegLayer(), 3);
    EXPECT_EQ(record.GetChannelModeText(), QStringLiteral("Joint Stereo"));
    EXPECT_EQ(record.GetStereoText(), QStringLiteral("Stereo"));

    const QString v1 = write(QStringLiteral("V1.MP3"), mpegFrames(20) + id3v1Block("One", "FLAGrest"));
    record.LoadFromFile(v1);
    EXPECT_EQ(record.Title(), QStringLiteral("One"));
    EXPECT_EQ(record.Artist(), QStringLiteral("Artist"));
    EXPECT_EQ(record.Genre(), QStringLiteral("Rock"));
    EXPECT_EQ(record.TypeFlags(), QStringLiteral("FLAG"));
    EXPECT_EQ(record.TagKind(), tkId3v1);
    // The flag stays on: stream information is read with the tag.
    EXPECT_EQ(record.bitRate(), 128000u);

    record.SetTypeFlags(QStringLiteral("XY"));
    EXPECT_EQ(record.Comment(), QStringLiteral("XYrest"));
    EXPECT_EQ(record.TypeFlags(), QStringLiteral("XYre"));

    const QString bare = write(QStringLiteral("bare.mp3"), mpegFrames(20));
    Tid3Tagger untagged;
    untagged.LoadFromFile(bare);
    EXPECT_EQ(untagged.Title(), QStringLiteral("bare.mp3"));
    EXPECT_EQ(untagged.Date(), QStringLiteral("0000"));
    EXPECT_EQ(untagged.GenreByte(), 255);
    EXPECT_FALSE(untagged.ValidTag());
    EXPECT_EQ(untagged.TagKind(), tkNoTag);

    const QString tiny = write(QStringLiteral("tiny.mp3"), QByteArray(128, 'x'));
    Tid3Tagger small;
    small.LoadFromFile(tiny);
    EXPECT_EQ(small.Title(), QString());
    EXPECT_EQ(small.TagKind(), tkNone);

    // A file that exists but cannot be read raises to the caller; a FIFO
    // must not block the read either.
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    Tid3Tagger unreadable;
    EXPECT_THROW(unreadable.LoadFromFile(fifo), VorlenError);
    EXPECT_EQ(unreadable.Filename(), fifo);

    Tid3Tagger missing;
    missing.SetFilename(QStringLiteral("kept"));
    missing.LoadFromFile(m_dir.filePath(QStringLiteral("missing.mp3")));
    EXPECT_EQ(missing.Filename(), QStringLiteral("kept"));
}

TEST_F(Id3TaggerFiles, LargeTagsAreReadBeyondTheFirstRead)
{
    const QByteArray picture = QByteArray("\0image/png\0\x03\0", 13) + QByteArray(300000, '\x89');
    const QByteArray body = frame("APIC", picture) + frame("TIT2", QByteArray("\0Behind the cover", 17))
        + frame("TPE1", QByteArray("\0Band", 5)) + QByteArray(500, '\0');
    const QString path = write(QStringLiteral("cover.mp3"), tag(3, body) + mpegFrames(400));
    Tid3Tagger record;
    record.LoadFromFile(path);
    record.SetReadFrameHeaders(true);
    EXPECT_EQ(record.Title(), QStringLiteral("Behind the cover"));
    EXPECT_EQ(record.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(record.bitRate(), 128000u);
    EXPECT_EQ(record.Duration(), 10000.0); // 400 frames of 417 bytes at 128 kbit/s
}

TEST_F(Id3TaggerFiles, TextsAroundALargeCoverAndBehindPaddingAreAllRead)
{
    // A cover between the text frames, padding beyond the first read, then
    // a VBR stream; the ID3v1 tag at the end is not looked at.
    const QByteArray picture = QByteArray("\0image/jpeg\0\x03\0", 14) + QByteArray(150000, '\xD8');
    const QByteArray body = frame("TIT2", QByteArray("\0Before", 7)) + frame("APIC", picture)
        + frame("TPE1", QByteArray("\0After", 6)) + frame("TALB", QByteArray("\0Album", 6))
        + frame("COMM", QByteArray("\0eng\0Said", 9)) + QByteArray(6000, '\0');
    const QString path = write(QStringLiteral("cover.mp3"),
        tag(3, body) + xingFrame(1149, true) + mpegFrames(40) + id3v1Block("One", "v1 comment"));
    Tid3Tagger record;
    record.LoadFromFile(path);
    record.SetReadFrameHeaders(true);
    EXPECT_EQ(record.Title(), QStringLiteral("Before"));
    EXPECT_EQ(record.Artist(), QStringLiteral("After"));
    EXPECT_EQ(record.Album(), QStringLiteral("Album"));
    EXPECT_EQ(record.Comment(), QStringLiteral("Said"));
    EXPECT_TRUE(record.IsVBR());
    EXPECT_EQ(record.Duration(), 30000.0); // 1149 frames of 1152 samples at 44100 Hz
}

TEST_F(Id3TaggerFiles, TagSizeBeyondTheFileGivesNoTextsButTheStream)
{
    QByteArray bytes = tag(3, frame("TIT2", QByteArray("\0Lost", 5))) + mpegFrames(20);
    bytes.replace(6, 4, syncSafe(quint32(bytes.size())));
    const QString path = write(QStringLiteral("oversized.mp3"), bytes);
    Tid3Tagger record;
    record.LoadFromFile(path);
    record.SetReadFrameHeaders(true);
    EXPECT_EQ(record.TagKind(), tkId3v2);
    EXPECT_TRUE(record.ValidTag());
    EXPECT_EQ(record.Title(), QString());
    EXPECT_EQ(record.bitRate(), 128000u);
    EXPECT_EQ(record.SampleRate(), 44100u);
}

// Reading a file fetches only some blocks of it; whatever falls on the edge
// of a block, the record must be the one read from all the file's bytes.
TEST_F(Id3TaggerFiles, FileReadsAgreeWithReadsOfAllTheBytes)
{
    const QByteArray texts = frame("TIT2", QByteArray("\0Title", 6)) + frame("TPE1", QByteArray("\0Artist", 7))
        + frame("COMM", QByteArray("\0eng\0Comment", 12));
    const QByteArray stream = xingFrame(383, true) + mpegFrames(30) + id3v1Block("One", "v1");
    std::vector<QByteArray> bodies;
    // Text frames, the tag's end and the first frames on the edge of the
    // first read, and where it leaves less than a frame behind the tag.
    for (int filler = 3980; filler < 4100; filler += 3)
        bodies.push_back(frame("PRIV", QByteArray(filler, 'p')) + texts);
    for (int padding = 2700; padding < 4300; padding += 29)
        bodies.push_back(texts + QByteArray(padding, '\0'));
    // Text frames on the edge of the block fetched behind a cover.
    for (int filler = 4020; filler < 4100; filler += 3)
        bodies.push_back(frame("APIC", QByteArray(50000, 'c')) + frame("PRIV", QByteArray(filler, 'p')) + texts);

    for (size_t i = 0; i < bodies.size(); ++i) {
        const QByteArray bytes = tag(3, bodies[i]) + stream;
        const QString path = write(QStringLiteral("edge%1.mp3").arg(i), bytes);
        Tid3Tagger fromFile;
        fromFile.LoadFromFile(path);
        fromFile.SetReadFrameHeaders(true);
        Tid3Tagger fromBytes;
        fromBytes.SetFilename(path);
        fromBytes.ReadTagFromSource(TmemorySource(bytes.constData(), bytes.size()));
        fromBytes.SetReadFrameHeaders(true);
        SCOPED_TRACE(bodies[i].size());
        ASSERT_EQ(fromFile.Title(), QStringLiteral("Title"));
        EXPECT_EQ(fromFile.Artist(), QStringLiteral("Artist"));
        EXPECT_EQ(fromFile.Comment(), QStringLiteral("Comment"));
        EXPECT_EQ(fromFile.Duration(), 10000.0);
        EXPECT_EQ(fromFile.Title(), fromBytes.Title());
        EXPECT_EQ(fromFile.Artist(), fromBytes.Artist());
        EXPECT_EQ(fromFile.Comment(), fromBytes.Comment());
        EXPECT_EQ(fromFile.Duration(), fromBytes.Duration());
        EXPECT_EQ(fromFile.bitRate(), fromBytes.bitRate());
        EXPECT_EQ(fromFile.SampleRate(), fromBytes.SampleRate());
        EXPECT_EQ(fromFile.ChannelMode(), fromBytes.ChannelMode());
        EXPECT_EQ(fromFile.IsVBR(), fromBytes.IsVBR());
    }
}

TEST_F(Id3TaggerFiles, StreamInfoFollowsTheFileNotAStaleRead)
{
    const QString first = write(QStringLiteral("a.mp3"), mpegFrames(20));
    QByteArray mono = mpegFrame(0x90, 0xC4);
    QByteArray monoFile;
    for (int i = 0; i < 20; ++i)
        monoFile += mono;
    const QString second = write(QStringLiteral("b.mp3"), monoFile);
    Tid3Tagger record;
    record.LoadFromFile(first);
    record.SetFilename(second);
    record.SetReadFrameHeaders(true);
    EXPECT_EQ(record.ChannelMode(), 3u);
    EXPECT_EQ(record.GetStereoText(), QStringLiteral("Mono"));
}

TEST_F(Id3TaggerFiles, WriteBothTagsRoundTrip)
{
    const QByteArray audio = mpegFrames(30);
    const QString path = write(QStringLiteral("w.mp3"), audio);
    Tid3Tagger record;
    record.LoadFromFile(path);
    record.SetTitle(QStringLiteral("Żółw ✓"));
    record.SetArtist(QStringLiteral("Artist"));
    record.SetAlbum(QStringLiteral("Album"));
    record.SetDate(QStringLiteral("2001-05-12"));
    record.SetComment(QStringLiteral("Comment"));
    record.SetTrack(300);
    record.SetGenre(QStringLiteral("Jazz"));
    ASSERT_TRUE(record.WriteTag());
    EXPECT_EQ(record.TagKind(), tkId3v2);
    EXPECT_EQ(record.Title(), QStringLiteral("Żółw ✓"));
    EXPECT_EQ(record.Track(), 44u);
    EXPECT_EQ(record.Date(), QStringLiteral("2001-05-12"));
    EXPECT_EQ(record.Genre(), QStringLiteral("Jazz"));

    // Audio kept whole between the new ID3v2 tag and the appended ID3v1 tag.
    const QByteArray bytes = contents(path);
    const qint64 tagSize = TID3v2::ExistingTagSize(path);
    EXPECT_EQ(bytes.mid(tagSize, audio.size()), audio);
    ASSERT_EQ(bytes.size(), tagSize + audio.size() + 128);
    TId3v1Tag v1;
    ASSERT_TRUE(v1.Parse(reinterpret_cast<const uchar *>(bytes.constData()) + bytes.size() - 128));
    EXPECT_EQ(v1.title, QStringLiteral("?ó?w ?"));
    EXPECT_EQ(v1.year, QStringLiteral("2001"));
    EXPECT_EQ(v1.genre, 8);

    // A second write overwrites the ID3v1 tag instead of appending another.
    record.SetWriteType(wtV1);
    record.SetTitle(QStringLiteral("Again"));
    ASSERT_TRUE(record.WriteTag());
    EXPECT_EQ(contents(path).size(), bytes.size());
    EXPECT_EQ(contents(path).right(128).mid(3, 5), QByteArray("Again"));
}

TEST_F(Id3TaggerFiles, InPlaceWritePadsToTheOldTagSize)
{
    const QByteArray oldTag = tag(3, frame("TIT2", QByteArray("\0Old title", 10)) + QByteArray(3000, 'P'));
    const QByteArray audio = mpegFrames(10);
    const QString path = write(QStringLiteral("p.mp3"), oldTag + audio);
    TID3v2 tag;
    tag.SetTitle(QStringLiteral("New"));
    ASSERT_TRUE(tag.WriteToFile(path));
    const QByteArray bytes = contents(path);
    ASSERT_EQ(bytes.size(), oldTag.size() + audio.size());
    EXPECT_EQ(TID3v2::ExistingTagSize(path), oldTag.size());
    EXPECT_FALSE(bytes.left(oldTag.size()).contains('P'));
    EXPECT_EQ(bytes.mid(oldTag.size()), audio);
    EXPECT_EQ(entries(), QStringList { QStringLiteral("p.mp3") });
}

TEST_F(Id3TaggerFiles, FailedRewriteLeavesTheOriginal)
{
    QByteArray original = tag(3, frame("TIT2", QByteArray("\0Old", 4))) + mpegFrames(200);
    const QString path = write(QStringLiteral("f.mp3"), original);
    TID3v2 tag;
    tag.SetTitle(QStringLiteral("A title that no longer fits"));
    tag.SetComment(QString(2000, QLatin1Char('c')));

    // The process may not write files beyond 40,000 bytes: the new file
    // fails half way through its audio.
    struct rlimit saved { };
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 40000;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = tag.WriteToFile(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(contents(path), original);
    EXPECT_EQ(entries(), QStringList { QStringLiteral("f.mp3") });

    ASSERT_TRUE(tag.WriteToFile(path));
    const QByteArray bytes = contents(path);
    EXPECT_EQ(bytes.mid(TID3v2::ExistingTagSize(path)), original.mid(original.indexOf('\xFF')));
    EXPECT_EQ(entries(), QStringList { QStringLiteral("f.mp3") });
}
