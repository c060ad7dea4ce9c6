// Track records of real files made at test time by ffmpeg and lame.
#include "audioFixtures.h"
#include "metadata/customTagger.h"
#include "metadata/embeddedCover.h"
#include "metadata/id3Tagger.h"
#include "metadata/oggTagger.h"
#include "metadata/wmaTagger.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RealFiles : public ::testing::Test {
protected:
    // The record as a track list makes it: factory, file, then stream info.
    std::unique_ptr<TcustomTagger> load(const QString &path)
    {
        std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(path);
        if (record) {
            record->LoadFromFile(path);
            record->SetReadFrameHeaders(true);
        }
        return record;
    }
    QString make(const QString &name, const ToneSpec &spec)
    {
        const QString path = m_dir.filePath(name);
        QString error;
        EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
        return path;
    }
    static QMap<QString, QString> tags()
    {
        return { { QStringLiteral("title"), QStringLiteral("Crème ✓") },
            { QStringLiteral("artist"), QStringLiteral("Nordwave") },
            { QStringLiteral("album"), QStringLiteral("Hits") }, { QStringLiteral("date"), QStringLiteral("2004") },
            { QStringLiteral("track"), QStringLiteral("3/12") }, { QStringLiteral("genre"), QStringLiteral("Rock") } };
    }

    // A small picture made by ffmpeg; the format follows the extension.
    QString picture(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QString error;
        EXPECT_TRUE(RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc2=size=160x120"), QStringLiteral("-frames:v"), QStringLiteral("1"), path },
            &error))
            << error.toStdString();
        return path;
    }
    static QByteArray fileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The average over the audio: below the file's whole average, above the
    // average of the file without its picture and its other headers (ffmpeg
    // pads a FLAC file's blocks with 8 KB).
    static void expectAudioBitRate(const TcustomTagger &record, const QString &path, const QString &cover)
    {
        const double seconds = record.Duration() / 1000.0;
        const qint64 size = QFileInfo(path).size();
        const qint64 headers = QFileInfo(cover).size() + 16384;
        EXPECT_LE(record.bitRate(), size * 8 / seconds);
        EXPECT_GE(record.bitRate(), (size - headers) * 8 / seconds);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(RealFiles, Mp3ConstantBitRate)
{
    ToneSpec spec;
    spec.seconds = 5;
    spec.metadata = tags();
    spec.id3v1 = true;
    const auto record = load(make(QStringLiteral("cbr.MP3"), spec));
    ASSERT_TRUE(record);
    const auto &mp3 = dynamic_cast<const Tid3Tagger &>(*record);
    EXPECT_EQ(mp3.Title(), QStringLiteral("Crème ✓"));
    EXPECT_EQ(mp3.Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(mp3.Album(), QStringLiteral("Hits"));
    EXPECT_EQ(mp3.Date(), QStringLiteral("2004"));
    EXPECT_EQ(mp3.Track(), 3u);
    EXPECT_EQ(mp3.GenreByte(), 17);
    EXPECT_EQ(mp3.TagKind(), tkId3v2);
    EXPECT_FALSE(mp3.IsVBR());
    EXPECT_EQ(mp3.MpegVersionText(), QStringLiteral("1.0"));
    EXPECT_EQ(mp3.MpegLayer(), 3);
    EXPECT_EQ(mp3.bitRate(), 128000u);
    EXPECT_EQ(mp3.SampleRate(), 44100u);
    EXPECT_EQ(mp3.Duration(), 5000.0);
    EXPECT_TRUE(mp3.ValidTag());
}

TEST_F(RealFiles, Mp3VariableBitRateWithXingHeader)
{
    ToneSpec spec;
    spec.seconds = 7;
    spec.vbrQuality = 4;
    spec.id3v2Version = 4;
    spec.metadata = tags();
    const auto record = load(make(QStringLiteral("vbr.mp3"), spec));
    const auto &mp3 = dynamic_cast<const Tid3Tagger &>(*record);
    EXPECT_TRUE(mp3.IsVBR());
    EXPECT_EQ(mp3.Duration(), 7000.0);
    EXPECT_EQ(mp3.Title(), QStringLiteral("Crème ✓"));

    // MPEG 2 frames carry 576 samples: 22050 Hz must not double the time.
    spec.sampleRate = 22050;
    spec.channels = 1;
    const auto half = load(make(QStringLiteral("vbr22.mp3"), spec));
    const auto &lsf = dynamic_cast<const Tid3Tagger &>(*half);
    EXPECT_TRUE(lsf.IsVBR());
    EXPECT_EQ(lsf.MpegVersionText(), QStringLiteral("2.0"));
    EXPECT_EQ(lsf.SampleRate(), 22050u);
    EXPECT_EQ(lsf.GetChannelModeText(), QStringLiteral("Mono"));
    EXPECT_EQ(lsf.Duration(), 7000.0);
}

TEST_F(RealFiles, LameCommandLineTags)
{
    ToneSpec spec;
    spec.seconds = 3;
    const QString wav = make(QStringLiteral("tone.wav"), spec);
    const QString mp3 = m_dir.filePath(QStringLiteral("lame.mp3"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("lame"),
        { QStringLiteral("--quiet"), QStringLiteral("-V"), QStringLiteral("2"), QStringLiteral("--tt"),
            QStringLiteral("Lame Title"), QStringLiteral("--ta"), QStringLiteral("Lame Artist"), QStringLiteral("--tl"),
            QStringLiteral("Lame Album"), QStringLiteral("--ty"), QStringLiteral("1999"), QStringLiteral("--tn"),
            QStringLiteral("4"), QStringLiteral("--tg"), QStringLiteral("Jazz"), QStringLiteral("--tc"),
            QStringLiteral("A comment"), wav, mp3 },
        &error))
        << error.toStdString();
    const auto record = load(mp3);
    const auto &tagged = dynamic_cast<const Tid3Tagger &>(*record);
    EXPECT_EQ(tagged.Title(), QStringLiteral("Lame Title"));
    EXPECT_EQ(tagged.Artist(), QStringLiteral("Lame Artist"));
    EXPECT_EQ(tagged.Album(), QStringLiteral("Lame Album"));
    EXPECT_EQ(tagged.Date(), QStringLiteral("1999"));
    EXPECT_EQ(tagged.Track(), 4u);
    EXPECT_EQ(tagged.Genre(), QStringLiteral("Jazz"));
    EXPECT_EQ(tagged.Comment(), QStringLiteral("A comment"));
    EXPECT_TRUE(tagged.IsVBR());
    EXPECT_EQ(tagged.Duration(), 3000.0);

    const QString wide = m_dir.filePath(QStringLiteral("utf16.mp3"));
    ASSERT_TRUE(RunTool(QStringLiteral("lame"),
                        {QStringLiteral("--quiet"), QStringLiteral("--id3v2-only"), QStringLiteral("--id3v2-utf16"),
                         QStringLiteral("--tt"), QStringLiteral("Ünïcødé ✓ 日本"), QStringLiteral("--ta"),
                         QStringLiteral("Артист"), QStringLiteral("--tc"), QStringLiteral("Kommentar ✓"), wav, wide},
                        &error))
        << error.toStdString();
    const auto utf16 = load(wide);
    EXPECT_EQ(utf16->Title(), QStringLiteral("Ünïcødé ✓ 日本"));
    EXPECT_EQ(utf16->Artist(), QStringLiteral("Артист"));
    EXPECT_EQ(utf16->Comment(), QStringLiteral("Kommentar ✓"));

    const QString v1 = m_dir.filePath(QStringLiteral("v1.mp3"));
    ASSERT_TRUE(RunTool(QStringLiteral("lame"),
        { QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("96"), QStringLiteral("--id3v1-only"),
            QStringLiteral("--tt"), QStringLiteral("Only V1"), QStringLiteral("--tc"), QStringLiteral("LIVEcomment"),
            wav, v1 },
        &error))
        << error.toStdString();
    const auto old = load(v1);
    const auto &oldTagged = dynamic_cast<const Tid3Tagger &>(*old);
    EXPECT_EQ(oldTagged.TagKind(), tkId3v1);
    EXPECT_EQ(oldTagged.Title(), QStringLiteral("Only V1"));
    EXPECT_EQ(oldTagged.TypeFlags(), QStringLiteral("LIVE"));
    EXPECT_EQ(oldTagged.bitRate(), 96000u);
    EXPECT_EQ(oldTagged.Duration(), 3000.0);
}

TEST_F(RealFiles, Mp3WithCoverPictures)
{
    // A real JPEG of about 70 KB, as taggers embed it.
    const QString cover = m_dir.filePath(QStringLiteral("cover.jpg"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
            QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("mandelbrot=size=500x500"),
            QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-q:v"), QStringLiteral("3"), cover },
        &error))
        << error.toStdString();
    ToneSpec spec;
    spec.seconds = 4;
    const QString wav = make(QStringLiteral("tone.wav"), spec);

    // lame writes the picture behind its UTF-16 text frames.
    const QString byLame = m_dir.filePath(QStringLiteral("lame.mp3"));
    ASSERT_TRUE(RunTool(QStringLiteral("lame"),
        { QStringLiteral("--quiet"), QStringLiteral("-V"), QStringLiteral("2"), QStringLiteral("--id3v2-utf16"),
            QStringLiteral("--tt"), QStringLiteral("Crème ✓"), QStringLiteral("--ta"), QStringLiteral("Nordwave"),
            QStringLiteral("--tc"), QStringLiteral("Kommentar"), QStringLiteral("--ti"), cover, wav, byLame },
        &error))
        << error.toStdString();
    const auto lame = load(byLame);
    EXPECT_EQ(lame->Title(), QStringLiteral("Crème ✓"));
    EXPECT_EQ(lame->Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(lame->Comment(), QStringLiteral("Kommentar"));
    EXPECT_TRUE(dynamic_cast<const Tid3Tagger &>(*lame).IsVBR());
    EXPECT_EQ(lame->Duration(), 4000.0);

    // ffmpeg writes an ID3v2.4 tag in UTF-8 with the picture last.
    const QString byFfmpeg = m_dir.filePath(QStringLiteral("ffmpeg.mp3"));
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"),
            byLame, QStringLiteral("-i"), cover, QStringLiteral("-map"), QStringLiteral("0:a"), QStringLiteral("-map"),
            QStringLiteral("1"), QStringLiteral("-c"), QStringLiteral("copy"), QStringLiteral("-id3v2_version"),
            QStringLiteral("4"), QStringLiteral("-metadata"), QStringLiteral("title=日本 ✓"),
            QStringLiteral("-metadata"), QStringLiteral("album=Hits"), QStringLiteral("-metadata"),
            QStringLiteral("track=7/9"), byFfmpeg },
        &error))
        << error.toStdString();
    const auto ffmpeg = load(byFfmpeg);
    EXPECT_EQ(ffmpeg->Title(), QStringLiteral("日本 ✓"));
    EXPECT_EQ(ffmpeg->Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(ffmpeg->Album(), QStringLiteral("Hits"));
    EXPECT_EQ(ffmpeg->Track(), 7u);
    EXPECT_EQ(ffmpeg->SampleRate(), 44100u);
    EXPECT_EQ(ffmpeg->Duration(), 4000.0);
}

TEST_F(RealFiles, Mp2)
{
    ToneSpec spec;
    spec.seconds = 4;
    spec.bitRate = QStringLiteral("192k");
    const auto record = load(make(QStringLiteral("x.mp2"), spec));
    const auto &mp2 = dynamic_cast<const Tid3Tagger &>(*record);
    EXPECT_EQ(mp2.MpegLayer(), 2);
    EXPECT_EQ(mp2.bitRate(), 192000u);
    EXPECT_EQ(mp2.Duration(), 4000.0);
    EXPECT_EQ(mp2.Title(), QStringLiteral("x.mp2"));
    EXPECT_EQ(mp2.TagKind(), tkNoTag);
}

TEST_F(RealFiles, OggVorbis)
{
    ToneSpec spec;
    spec.seconds = 6;
    spec.metadata = tags();
    spec.metadata[QStringLiteral("track")] = QStringLiteral("5");
    const auto record = load(make(QStringLiteral("x.ogg"), spec));
    ASSERT_STREQ(record->ClassName(), "ToggTagger");
    EXPECT_EQ(record->Title(), QStringLiteral("Crème ✓"));
    EXPECT_EQ(record->Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(record->Track(), 5u);
    EXPECT_EQ(record->GenreByte(), 17);
    EXPECT_EQ(record->SampleRate(), 44100u);
    EXPECT_EQ(record->GetChannelModeText(), QStringLiteral("Stereo"));
    EXPECT_NEAR(record->Duration(), 6000.0, 1.0);
    EXPECT_TRUE(record->ValidTag());
}

TEST_F(RealFiles, OggWithTwoStreamsTakesTheDurationOfTheVorbisStreamItReads)
{
    // The first stream lasts 2 s, the second 5 s and ends the file.
    const QString path = m_dir.filePath(QStringLiteral("two.ogg"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
                        {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                         QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("sine=frequency=440:duration=2:sample_rate=44100"), QStringLiteral("-f"),
                         QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("sine=frequency=660:duration=5:sample_rate=44100"), QStringLiteral("-map"),
                         QStringLiteral("0"), QStringLiteral("-map"), QStringLiteral("1"), QStringLiteral("-c:a"),
                         QStringLiteral("libvorbis"), path},
                        &error))
        << error.toStdString();
    const auto record = load(path);
    ASSERT_STREQ(record->ClassName(), "ToggTagger");
    EXPECT_NEAR(record->Duration(), 2000.0, 1.0);
}

TEST_F(RealFiles, FlacWithACover)
{
    ToneSpec spec;
    spec.seconds = 5;
    spec.metadata = tags();
    spec.coverImage = picture(QStringLiteral("cover.jpg"));
    const QString path = make(QStringLiteral("x.flac"), spec);
    const auto record = load(path);
    ASSERT_STREQ(record->ClassName(), "TflacTagger");
    EXPECT_EQ(record->Title(), QStringLiteral("Crème ✓"));
    EXPECT_EQ(record->Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(record->Album(), QStringLiteral("Hits"));
    EXPECT_EQ(record->Date(), QStringLiteral("2004"));
    EXPECT_EQ(record->Track(), 0u) << "3/12 is not all digits";
    EXPECT_EQ(record->GenreByte(), 17);
    EXPECT_TRUE(record->ValidTag());
    EXPECT_EQ(record->SampleRate(), 44100u);
    EXPECT_EQ(record->GetChannelModeText(), QStringLiteral("Stereo"));
    EXPECT_EQ(record->Duration(), 5000.0);
    expectAudioBitRate(*record, path, spec.coverImage);

    const TembeddedCover cover = ReadEmbeddedCover(path);
    EXPECT_EQ(cover.data, fileBytes(spec.coverImage));
    EXPECT_EQ(cover.mimeType, QStringLiteral("image/jpeg"));
    EXPECT_EQ(cover.pictureType, TembeddedCover::ptFrontCover);
}

TEST_F(RealFiles, OpusWithACover)
{
    ToneSpec spec;
    spec.seconds = 3;
    spec.channels = 1;
    spec.bitRate = QStringLiteral("64k");
    spec.metadata = tags();
    spec.metadata[QStringLiteral("track")] = QStringLiteral("9");
    spec.coverImage = picture(QStringLiteral("cover.png"));
    const QString path = make(QStringLiteral("x.opus"), spec);
    const auto record = load(path);
    ASSERT_STREQ(record->ClassName(), "TopusTagger");
    EXPECT_EQ(record->Title(), QStringLiteral("Crème ✓"));
    EXPECT_EQ(record->Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(record->Track(), 9u);
    EXPECT_EQ(record->GenreByte(), 17);
    EXPECT_EQ(record->SampleRate(), 48000u);
    EXPECT_EQ(record->GetChannelModeText(), QStringLiteral("Mono"));
    EXPECT_EQ(record->Duration(), 3000.0);
    expectAudioBitRate(*record, path, spec.coverImage);
    EXPECT_EQ(ReadEmbeddedCover(path).data, fileBytes(spec.coverImage));
}

TEST_F(RealFiles, CoversOfMp3AndOggVorbisFiles)
{
    ToneSpec spec;
    spec.seconds = 2;
    spec.metadata = tags();
    spec.coverImage = picture(QStringLiteral("cover.jpg"));
    for (const char *name : { "x.mp3", "x.ogg" }) {
        const QString path = make(QString::fromLatin1(name), spec);
        EXPECT_EQ(ReadEmbeddedCover(path).data, fileBytes(spec.coverImage)) << name;
        EXPECT_EQ(load(path)->Artist(), QStringLiteral("Nordwave")) << name;
    }
    spec.coverImage.clear();
    EXPECT_TRUE(ReadEmbeddedCover(make(QStringLiteral("plain.flac"), spec)).isNull());
}

TEST_F(RealFiles, Wma)
{
    ToneSpec spec;
    spec.seconds = 6;
    spec.metadata = tags();
    const auto record = load(make(QStringLiteral("x.wma"), spec));
    ASSERT_STREQ(record->ClassName(), "TwmaTagger");
    EXPECT_EQ(record->Title(), QStringLiteral("Crème ✓"));
    EXPECT_EQ(record->Artist(), QStringLiteral("Nordwave"));
    EXPECT_EQ(record->Album(), QStringLiteral("Hits"));
    EXPECT_EQ(record->Genre(), QStringLiteral("Rock"));
    EXPECT_EQ(record->SampleRate(), 44100u);
    EXPECT_EQ(record->ChannelMode(), 2u);
    EXPECT_EQ(record->bitRate(), 128000u);
    EXPECT_NEAR(record->Duration(), 6000.0, 100.0);
}

TEST_F(RealFiles, FactoryByExtensionAndClassName)
{
    EXPECT_STREQ(CreateTaggerForFile(QStringLiteral("/m/a.Mp2"))->ClassName(), "Tid3Tagger");
    EXPECT_STREQ(CreateTaggerForFile(QStringLiteral("/m/a.OGG"))->ClassName(), "ToggTagger");
    EXPECT_STREQ(CreateTaggerForFile(QStringLiteral("/m/a.wma"))->ClassName(), "TwmaTagger");
    EXPECT_STREQ(CreateTaggerForFile(QStringLiteral("/m/a.FLAC"))->ClassName(), "TflacTagger");
    EXPECT_STREQ(CreateTaggerForFile(QStringLiteral("/m/a.opus"))->ClassName(), "TopusTagger");
    EXPECT_FALSE(CreateTaggerForFile(QStringLiteral("/m/a.wav")));
    EXPECT_FALSE(CreateTaggerForFile(QStringLiteral("/m/mp3")));
    EXPECT_FALSE(CreateTaggerForFile(QStringLiteral("/m/a.flac.part")));
    for (const char *name : { "TcustomTagger", "Tid3Tagger", "ToggTagger", "TwmaTagger", "TflacTagger", "TopusTagger" })
        EXPECT_STREQ(CreateTaggerByClassName(QString::fromLatin1(name))->ClassName(), name);
    EXPECT_FALSE(CreateTaggerByClassName(u"TForm"));
}
