#include "corpus.h"

#include "audioFixtures.h"
#include "metadata/id3Tagger.h"

#include <QFile>

namespace {

const QByteArray kNumberMark = QByteArrayLiteral("No. 0000");

struct Tone {
    const char *name;
    double seconds;
    int sampleRate;
    int channels;
};

// Cover pictures as a user's files carry them: JPEGs of 47 to 198 KB.
struct Cover {
    const char *name;
    const char *source;
    int size;
};

// The tag fields a template is given, as the tagger is given them.
struct Texts {
    QString title;
    QString artist;
    QString album;
    QString year;
    QString track;
    QString genre;
    QString comment;
};

// How a template is encoded and tagged.
enum class Tagger { LameLatin1, LameUtf16, FfmpegV3, FfmpegV4, OwnWriter };

struct Recipe {
    const char *name;
    const char *description;
    const char *tone;
    QStringList lameOptions; // encoding
    Tagger tagger;
    const char *cover; // nullptr: none
    bool id3v1;
    Texts texts;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ffmpegArguments(const QString &input, const QString &cover, const Recipe &recipe, const QString &output)
{
    QStringList args { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
        QStringLiteral("-y"), QStringLiteral("-i"), input };
    if (!cover.isEmpty())
        args << QStringLiteral("-i") << cover << QStringLiteral("-map") << QStringLiteral("0:a")
             << QStringLiteral("-map") << QStringLiteral("1") << QStringLiteral("-metadata:s:v")
             << QStringLiteral("title=Album cover") << QStringLiteral("-metadata:s:v")
             << QStringLiteral("comment=Cover (front)");
    args << QStringLiteral("-c") << QStringLiteral("copy") << QStringLiteral("-id3v2_version")
         << (recipe.tagger == Tagger::FfmpegV3 ? QStringLiteral("3") : QStringLiteral("4"))
         << QStringLiteral("-write_id3v1") << (recipe.id3v1 ? QStringLiteral("1") : QStringLiteral("0"));
    const Texts &t = recipe.texts;
    const std::pair<const char *, QString> fields[]
        = { { "title", t.title }, { "artist", t.artist }, { "album", t.album }, { "date", t.year },
              { "track", t.track }, { "genre", t.genre }, { "comment", t.comment } };
    for (const auto &[key, value] : fields)
        args << QStringLiteral("-metadata") << QString::fromLatin1(key) + QLatin1Char('=') + value;
    args << output;
    return args;
}

QStringList lameTagArguments(const Recipe &recipe, const QString &cover)
{
    QStringList args;
    args << (recipe.tagger == Tagger::LameUtf16 ? QStringLiteral("--id3v2-utf16") : QStringLiteral("--id3v2-latin1"));
    args << (recipe.id3v1 ? QStringLiteral("--add-id3v2") : QStringLiteral("--id3v2-only"));
    const Texts &t = recipe.texts;
    args << QStringLiteral("--tt") << t.title << QStringLiteral("--ta") << t.artist << QStringLiteral("--tl") << t.album
         << QStringLiteral("--ty") << t.year << QStringLiteral("--tn") << t.track << QStringLiteral("--tg") << t.genre
         << QStringLiteral("--tc") << t.comment;
    if (!cover.isEmpty())
        args << QStringLiteral("--ti") << cover;
    return args;
}

bool writeWithOwnTagger(const QString &path, const Recipe &recipe)
{
    Tid3Tagger record;
    record.LoadFromFile(path);
    const Texts &t = recipe.texts;
    record.SetTitle(t.title);
    record.SetArtist(t.artist);
    record.SetAlbum(t.album);
    record.SetDate(t.year);
    record.SetTrack(t.track.toUInt());
    record.SetGenre(t.genre);
    record.SetComment(t.comment);
    record.SetWriteType(recipe.id3v1 ? wtBoth : wtV2);
    return record.WriteTag();
}

std::vector<Recipe> recipes()
{
    const auto s = [](const char *utf8) { return QString::fromUtf8(utf8); };
    return {
        { "A", "lame CBR 192k, ID3v2.3 Latin-1 by lame padded 512 B, ID3v1", "t44",
            { QStringLiteral("-b"), QStringLiteral("192"), QStringLiteral("--pad-id3v2-size"), QStringLiteral("512") },
            Tagger::LameLatin1, nullptr, true,
            { s("Title No. 0000"), s("The Artist"), s("Album"), s("1999"), s("7/10"), s("Rock"),
                s("Ripped from CD") } },
        { "B", "lame VBR -V2, ID3v2.3 UTF-16 by lame, 67 KB cover, ID3v1", "t44b",
            { QStringLiteral("-V"), QStringLiteral("2") }, Tagger::LameUtf16, "m500", true,
            { s("Chanson No. 0000 ✓"), s("Artiste Été"), s("Albüm"), s("2011"), s("3/12"), s("Jazz"),
                s("Kommentar") } },
        { "C", "lame VBR -V5 22050 Hz mono, ID3v2.3 UTF-16 only by lame, 47 KB cover", "t22m",
            { QStringLiteral("-V"), QStringLiteral("5") }, Tagger::LameUtf16, "t800", false,
            { s("Песня No. 0000"), s("Исполнитель"), s("Альбом"), s("2005"), s("12"), s("Folk"), s("Заметка") } },
        { "D", "lame CBR 128k, ID3v2.3 (UTF-16) by ffmpeg, 139 KB cover, ID3v1", "t44",
            { QStringLiteral("-b"), QStringLiteral("128") }, Tagger::FfmpegV3, "m800", true,
            { s("Titre No. 0000 ✓"), s("Björk"), s("Début"), s("1993"), s("4/11"), s("Pop"), s("Mit Umlaut ü") } },
        { "E", "lame VBR -V0 48 kHz, ID3v2.4 UTF-8 by ffmpeg, 198 KB cover", "t48",
            { QStringLiteral("-V"), QStringLiteral("0") }, Tagger::FfmpegV4, "m1000", false,
            { s("曲 No. 0000 日本"), s("アーティスト"), s("アルバム"), s("2020-03-04"), s("9"), s("Electronic"),
                s("コメント") } },
        { "F", "lame CBR 320k, ID3v2.4 UTF-8 by ffmpeg, ID3v1", "t44b", { QStringLiteral("-b"), QStringLiteral("320") },
            Tagger::FfmpegV4, nullptr, true,
            { s("Song No. 0000"), s("Ensemble Ökó"), s("Live"), s("2018"), s("2/9"), s("Classical"),
                s("Recorded live") } },
        { "G", "lame VBR -V4, ID3v2.3 (UTF-16) by this project's writer, 1 KB padding, ID3v1", "t44",
            { QStringLiteral("-V"), QStringLiteral("4") }, Tagger::OwnWriter, nullptr, true,
            { s("Żółw No. 0000"), s("Kapela"), s("Płyta"), s("2001"), s("5"), s("Blues"), s("Dobre") } },
        { "H", "lame CBR 256k 48 kHz, ID3v2.3 UTF-16 by lame, 139 KB cover, ID3v1", "t48",
            { QStringLiteral("-b"), QStringLiteral("256") }, Tagger::LameUtf16, "m800", true,
            { s("Cantata No. 0000"), s("Coro São Paulo"), s("Missa"), s("1968"), s("1/4"), s("Classical"),
                s("Gravação") } },
    };
}

// A FLAC template: a tone in pink noise, as loud as music and as hard to
// compress, encoded and tagged by ffmpeg.
struct FlacRecipe {
    const char *name;
    const char *description;
    int sampleRate;
    int channels;
    bool bits24;
    const char *cover; // nullptr: none
    Texts texts;
    QStringList extraComments; // "key=value"
};

QStringList flacArguments(const QString &folder, const FlacRecipe &recipe, const QString &output)
{
    const QString seconds = QStringLiteral("2.3");
    QStringList args { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
        QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("sine=frequency=440:duration=%1:sample_rate=%2").arg(seconds).arg(recipe.sampleRate),
        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("anoisesrc=duration=%1:sample_rate=%2:amplitude=0.3:color=pink")
            .arg(seconds)
            .arg(recipe.sampleRate) };
    if (recipe.cover)
        args << QStringLiteral("-i")
             << folder + QLatin1Char('/') + QLatin1String(recipe.cover) + QStringLiteral(".jpg");
    args << QStringLiteral("-filter_complex") << QStringLiteral("[0:a][1:a]amix=inputs=2[mix]")
         << QStringLiteral("-map") << QStringLiteral("[mix]");
    if (recipe.cover)
        args << QStringLiteral("-map") << QStringLiteral("2") << QStringLiteral("-c:v") << QStringLiteral("copy")
             << QStringLiteral("-disposition:v") << QStringLiteral("attached_pic") << QStringLiteral("-metadata:s:v")
             << QStringLiteral("comment=Cover (front)");
    args << QStringLiteral("-ac") << QString::number(recipe.channels) << QStringLiteral("-c:a")
         << QStringLiteral("flac") << QStringLiteral("-sample_fmt")
         << (recipe.bits24 ? QStringLiteral("s32") : QStringLiteral("s16"));
    const Texts &t = recipe.texts;
    const std::pair<const char *, QString> fields[]
        = { { "title", t.title }, { "artist", t.artist }, { "album", t.album }, { "date", t.year },
              { "track", t.track }, { "genre", t.genre }, { "comment", t.comment } };
    for (const auto &[key, value] : fields)
        args << QStringLiteral("-metadata") << QString::fromLatin1(key) + QLatin1Char('=') + value;
    for (const QString &comment : recipe.extraComments)
        args << QStringLiteral("-metadata") << comment;
    args << output;
    return args;
}

bool makeInputs(const QString &folder, QString *error)
{
    const Tone tones[] = { { "t44", 9.3, 44100, 2 }, { "t44b", 11.7, 44100, 2 }, { "t22m", 10.4, 22050, 1 },
        { "t48", 8.6, 48000, 2 } };
    for (const Tone &tone : tones) {
        ToneSpec spec;
        spec.seconds = tone.seconds;
        spec.sampleRate = tone.sampleRate;
        spec.channels = tone.channels;
        if (!MakeToneFile(folder + QLatin1Char('/') + QLatin1String(tone.name) + QStringLiteral(".wav"), spec, error))
            return false;
    }
    const Cover covers[] = { { "t800", "testsrc2", 800 }, { "m500", "mandelbrot", 500 }, { "m800", "mandelbrot", 800 },
        { "m1000", "mandelbrot", 1000 } };
    for (const Cover &cover : covers) {
        const QString source = QStringLiteral("%1=size=%2x%2").arg(QLatin1String(cover.source)).arg(cover.size);
        if (!RunTool(QStringLiteral("ffmpeg"),
                { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                    QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                    QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-q:v"), QStringLiteral("3"),
                    folder + QLatin1Char('/') + QLatin1String(cover.name) + QStringLiteral(".jpg") },
                error))
            return false;
    }
    return true;
}

// ASCII text as UTF-16LE.
QByteArray widened(const QByteArray &ascii)
{
    QByteArray wide;
    for (const char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

// Every place the mark stands in a form the taggers write it.
void patchNumber(QByteArray &bytes, int number)
{
    const QByteArray narrow = QByteArrayLiteral("No. ") + QByteArray::number(number % 10000).rightJustified(4, '0');
    const QByteArray wideMark = widened(kNumberMark);
    const QByteArray wide = widened(narrow);
    for (qsizetype at = bytes.indexOf(kNumberMark); at >= 0; at = bytes.indexOf(kNumberMark, at + 1))
        bytes.replace(at, narrow.size(), narrow);
    for (qsizetype at = bytes.indexOf(wideMark); at >= 0; at = bytes.indexOf(wideMark, at + 1))
        bytes.replace(at, wide.size(), wide);
}

} // namespace

bool MakeCorpusTemplates(const QString &folder, std::vector<CorpusTemplate> *templates, QString *error)
{
    if (!makeInputs(folder, error))
        return false;
    for (const Recipe &recipe : recipes()) {
        const QString wav = folder + QLatin1Char('/') + QLatin1String(recipe.tone) + QStringLiteral(".wav");
        const QString cover = recipe.cover
            ? folder + QLatin1Char('/') + QLatin1String(recipe.cover) + QStringLiteral(".jpg")
            : QString();
        const QString path
            = folder + QStringLiteral("/template-") + QLatin1String(recipe.name) + QStringLiteral(".mp3");
        QStringList lame = QStringList { QStringLiteral("--quiet") } + recipe.lameOptions;
        const bool lameTags = recipe.tagger == Tagger::LameLatin1 || recipe.tagger == Tagger::LameUtf16;
        if (lameTags)
            lame += lameTagArguments(recipe, cover);
        const QString encoded = lameTags ? path : folder + QStringLiteral("/untagged.mp3");
        if (!RunTool(QStringLiteral("lame"), lame << wav << encoded, error))
            return false;
        if (recipe.tagger == Tagger::FfmpegV3 || recipe.tagger == Tagger::FfmpegV4) {
            if (!RunTool(QStringLiteral("ffmpeg"), ffmpegArguments(encoded, cover, recipe, path), error))
                return false;
        } else if (recipe.tagger == Tagger::OwnWriter) {
            if (!QFile::copy(encoded, path) || !writeWithOwnTagger(path, recipe)) {
                *error = QStringLiteral("the tag writer failed on ") + path;
                return false;
            }
        }
        QFile::remove(folder + QStringLiteral("/untagged.mp3"));
        const QByteArray bytes = readAll(path);
        if (!bytes.contains(kNumberMark) && !bytes.contains(widened(kNumberMark))) {
            *error = QStringLiteral("no title mark in ") + path;
            return false;
        }
        templates->push_back({ QLatin1String(recipe.name), QLatin1String(recipe.description), bytes });
    }
    return true;
}

bool MakeFlacCorpusTemplates(const QString &folder, std::vector<CorpusTemplate> *templates, QString *error)
{
    const auto s = [](const char *utf8) { return QString::fromUtf8(utf8); };
    QStringList manyComments;
    for (const char *key : { "replaygain_track_gain=-7.1 dB", "replaygain_track_peak=0.98", "encoder=ffmpeg",
             "isrc=DEA000000000", "label=Records", "composer=Komponist", "performer=Orchester", "copyright=2019",
             "discnumber=1", "totaldiscs=2", "totaltracks=14", "albumartist=Various", "mood=calm", "language=deu" })
        manyComments << s(key);
    manyComments << QStringLiteral("lyrics=") + QString(4096, QLatin1Char('l'));
    const FlacRecipe recipes[] = {
        { "a", "ffmpeg FLAC 16-bit 44.1 kHz stereo, Vorbis comments", 44100, 2, false, nullptr,
            { s("Title No. 0000"), s("The Artist"), s("Album"), s("1999"), s("7"), s("Rock"), s("Ripped from CD") },
            {} },
        { "b", "ffmpeg FLAC 24-bit 48 kHz stereo, UTF-8 comments, 67 KB front cover", 48000, 2, true, "m500",
            { s("Chanson No. 0000 ✓"), s("Artiste Été"), s("Albüm"), s("2011"), s("3"), s("Jazz"), s("Kommentar") },
            {} },
        { "c", "ffmpeg FLAC 16-bit 22.05 kHz mono, Cyrillic comments, 47 KB front cover", 22050, 1, false, "t800",
            { s("Песня No. 0000"), s("Исполнитель"), s("Альбом"), s("2005"), s("12"), s("Folk"), s("Заметка") }, {} },
        { "d", "ffmpeg FLAC 24-bit 96 kHz stereo, Japanese comments, 198 KB front cover", 96000, 2, true, "m1000",
            { s("曲 No. 0000 日本"), s("アーティスト"), s("アルバム"), s("2020-03-04"), s("9"), s("Electronic"),
                s("コメント") },
            {} },
        { "e", "ffmpeg FLAC 16-bit 44.1 kHz stereo, 22 comments with 4 KB of lyrics, 139 KB front cover", 44100, 2,
            false, "m800",
            { s("Cantata No. 0000"), s("Coro São Paulo"), s("Missa"), s("1968"), s("1"), s("Classical"),
                s("Gravação") },
            manyComments },
    };
    for (const FlacRecipe &recipe : recipes) {
        const QString path
            = folder + QStringLiteral("/template-") + QLatin1String(recipe.name) + QStringLiteral(".flac");
        if (!RunTool(QStringLiteral("ffmpeg"), flacArguments(folder, recipe, path), error))
            return false;
        const QByteArray bytes = readAll(path);
        if (!bytes.contains(kNumberMark)) {
            *error = QStringLiteral("no title mark in ") + path;
            return false;
        }
        templates->push_back({ QLatin1String(recipe.name), QLatin1String(recipe.description), bytes });
    }
    return true;
}

QStringList WriteCorpus(const QString &folder, const QString &extension, const std::vector<CorpusTemplate> &templates,
    int count, std::vector<int> *templateOf)
{
    QStringList paths;
    templateOf->clear();
    for (int i = 0; i < count; ++i) {
        const int which = i % int(templates.size());
        QByteArray bytes = templates[which].bytes;
        patchNumber(bytes, i);
        const QString path = folder + QStringLiteral("/track%1").arg(i, 5, 10, QLatin1Char('0')) + extension;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        paths << path;
        templateOf->push_back(which);
    }
    return paths;
}
