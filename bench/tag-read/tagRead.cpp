// bench-tag-read [N]: reads two corpora of N files each with the jukebox's
// reader (tag and stream information, as a track list reads a record) and
// with TagLib (tag and audio properties, fast mode):
//   MP3: files made the way users' files are made (lame with its Xing/LAME
//   header, CBR and VBR; ID3v2.3 and 2.4 tags in Latin-1, UTF-16 and UTF-8
//   written by lame, by ffmpeg and by this project's writer, with padding,
//   ID3v1 and cover pictures), against TagLib's MPEG reader;
//   FLAC: files encoded and tagged by ffmpeg (16 and 24 bits, 22 to 96 kHz,
//   Vorbis comments, cover pictures), against TagLib's FLAC reader.
// Warm cache, several rounds in one run; prints files per second for both and
// their ratio per round, a summary with a column per corpus, then compares
// the answers of both readers field by field.
#include "comparison.h"
#include "corpus.h"
#include "readers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 7;

using TagLibReader = TagLibAnswers (*)(const char *path);

// One corpus and what both readers made of it.
struct Corpus {
    Corpus(const char *corpusName, TagLibReader reader)
        : name(corpusName)
        , theirReader(reader)
    {
    }

    const char *name;
    TagLibReader theirReader;
    std::vector<CorpusTemplate> templates;
    QStringList paths;
    std::vector<QByteArray> encodedPaths;
    std::vector<int> templateOf;
    std::vector<TrackAnswers> ours;
    std::vector<TagLibAnswers> theirs;
    double oursBest = 1e9;
    double theirsBest = 1e9;
    std::vector<double> ratios; // sorted once the rounds are done
};

double timeVorlen(const QStringList &paths, std::vector<TrackAnswers> *answers)
{
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < paths.size(); ++i)
        (*answers)[size_t(i)] = ReadWithVorlen(paths[i]);
    return timer.nsecsElapsed() / 1e9;
}

double timeTagLib(TagLibReader reader, const std::vector<QByteArray> &paths, std::vector<TagLibAnswers> *answers)
{
    QElapsedTimer timer;
    timer.start();
    for (size_t i = 0; i < paths.size(); ++i)
        (*answers)[i] = reader(paths[i].constData());
    return timer.nsecsElapsed() / 1e9;
}

bool writeCorpus(Corpus &corpus, const QString &folder, const QString &extension, int count)
{
    QDir().mkpath(folder);
    corpus.paths = WriteCorpus(folder, extension, corpus.templates, count, &corpus.templateOf);
    if (corpus.paths.size() != count)
        return false;
    for (const QString &path : corpus.paths)
        corpus.encodedPaths.push_back(QFile::encodeName(path));
    corpus.ours.resize(size_t(count));
    corpus.theirs.resize(size_t(count));
    qint64 totalBytes = 0;
    for (const int which : corpus.templateOf)
        totalBytes += corpus.templates[size_t(which)].bytes.size();
    std::printf("%s files: %d, %lld KB on average, made from %zu kinds:\n", corpus.name, count,
        static_cast<long long>(totalBytes / count / 1024), corpus.templates.size());
    for (const CorpusTemplate &t : corpus.templates)
        std::printf("  [%s] %4lld KB  %s\n", t.name.toUtf8().constData(), static_cast<long long>(t.bytes.size() / 1024),
            t.description.toUtf8().constData());
    return true;
}

void runRounds(Corpus &corpus)
{
    const int count = int(corpus.paths.size());
    // The first pass of each reader warms the cache.
    timeVorlen(corpus.paths, &corpus.ours);
    timeTagLib(corpus.theirReader, corpus.encodedPaths, &corpus.theirs);
    for (int round = 1; round <= kRounds; ++round) {
        // Alternate which reader goes first, so neither always runs on a
        // cache or clock the other left behind.
        double oursTime = 0;
        double theirsTime = 0;
        if (round % 2) {
            oursTime = timeVorlen(corpus.paths, &corpus.ours);
            theirsTime = timeTagLib(corpus.theirReader, corpus.encodedPaths, &corpus.theirs);
        } else {
            theirsTime = timeTagLib(corpus.theirReader, corpus.encodedPaths, &corpus.theirs);
            oursTime = timeVorlen(corpus.paths, &corpus.ours);
        }
        corpus.ratios.push_back(theirsTime / oursTime);
        corpus.oursBest = std::min(corpus.oursBest, oursTime);
        corpus.theirsBest = std::min(corpus.theirsBest, theirsTime);
        std::printf("%s round %d: vorlen %.0f files/s, TagLib %.0f files/s, ratio %.2fx\n", corpus.name, round,
            count / oursTime, count / theirsTime, theirsTime / oursTime);
    }
    // Each round's ratio compares two readers timed side by side; their median
    // is the figure a load spike on one of them moves least.
    std::sort(corpus.ratios.begin(), corpus.ratios.end());
}

void compare(const Corpus &corpus)
{
    const auto invalid
        = std::count_if(corpus.theirs.begin(), corpus.theirs.end(), [](const TagLibAnswers &a) { return !a.valid; });
    if (invalid > 0)
        std::printf("TagLib could not read %lld %s files\n", static_cast<long long>(invalid), corpus.name);
    std::vector<TrackAnswers> theirAnswers;
    for (const TagLibAnswers &a : corpus.theirs)
        theirAnswers.push_back(ToAnswers(a));
    std::printf("%s ", corpus.name);
    PrintComparison(corpus.ours, theirAnswers, corpus.templateOf, corpus.templates);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench-tag-read [N]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString templateFolder = dir.filePath(QStringLiteral("templates"));
    QDir().mkpath(templateFolder);
    Corpus corpora[] = { { "MP3", ReadWithTagLib }, { "FLAC", ReadFlacWithTagLib } };
    QString error;
    if (!MakeCorpusTemplates(templateFolder, &corpora[0].templates, &error)
        || !MakeFlacCorpusTemplates(templateFolder, &corpora[1].templates, &error)) {
        std::fprintf(stderr, "bench-tag-read: could not make the corpus: %s\n", error.toUtf8().constData());
        return 1;
    }
    if (!writeCorpus(corpora[0], dir.filePath(QStringLiteral("mp3")), QStringLiteral(".mp3"), count)
        || !writeCorpus(corpora[1], dir.filePath(QStringLiteral("flac")), QStringLiteral(".flac"), count)) {
        std::fprintf(stderr, "bench-tag-read: could not write the files\n");
        return 1;
    }

    for (Corpus &corpus : corpora)
        runRounds(corpus);

    std::printf("summary, best rounds:   %12s %12s\n", corpora[0].name, corpora[1].name);
    std::printf("  vorlen files/s        %12.0f %12.0f\n", count / corpora[0].oursBest, count / corpora[1].oursBest);
    std::printf(
        "  TagLib files/s        %12.0f %12.0f\n", count / corpora[0].theirsBest, count / corpora[1].theirsBest);
    std::printf("  best-round ratio      %11.2fx %11.2fx\n", corpora[0].theirsBest / corpora[0].oursBest,
        corpora[1].theirsBest / corpora[1].oursBest);
    const auto median = [](const Corpus &c) { return c.ratios[c.ratios.size() / 2]; };
    std::printf("  median round ratio    %11.2fx %11.2fx\n", median(corpora[0]), median(corpora[1]));
    std::printf("  lowest round ratio    %11.2fx %11.2fx\n", corpora[0].ratios.front(), corpora[1].ratios.front());
    std::printf("  highest round ratio   %11.2fx %11.2fx\n", corpora[0].ratios.back(), corpora[1].ratios.back());

    for (const Corpus &corpus : corpora)
        compare(corpus);
    return 0;
}
