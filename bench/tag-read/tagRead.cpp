// bench-tag-read [N]: reads N MP3 files made the way users' files are made
// (lame with its Xing/LAME header, CBR and VBR; ID3v2.3 and 2.4 tags in
// Latin-1, UTF-16 and UTF-8 written by lame, by ffmpeg and by this project's
// writer, with padding, ID3v1 and cover pictures) with the jukebox's reader
// (tag and stream information, as a track list reads a record) and with
// TagLib's MPEG reader (tag and audio properties, fast mode). Warm cache,
// several rounds in one run; prints files per second for both and their
// ratio, then compares the answers of both readers field by field.
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

double timeVorlen(const QStringList &paths, std::vector<TrackAnswers> *answers)
{
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < paths.size(); ++i)
        (*answers)[size_t(i)] = ReadWithVorlen(paths[i]);
    return timer.nsecsElapsed() / 1e9;
}

double timeTagLib(const std::vector<QByteArray> &paths, std::vector<TagLibAnswers> *answers)
{
    QElapsedTimer timer;
    timer.start();
    for (size_t i = 0; i < paths.size(); ++i)
        (*answers)[i] = ReadWithTagLib(paths[i].constData());
    return timer.nsecsElapsed() / 1e9;
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
    std::vector<CorpusTemplate> templates;
    QString error;
    if (!MakeCorpusTemplates(templateFolder, &templates, &error)) {
        std::fprintf(stderr, "bench-tag-read: could not make the corpus: %s\n", error.toUtf8().constData());
        return 1;
    }
    std::vector<int> templateOf;
    const QStringList paths = WriteCorpus(dir.path(), templates, count, &templateOf);
    if (paths.size() != count) {
        std::fprintf(stderr, "bench-tag-read: could not write the files\n");
        return 1;
    }
    std::vector<QByteArray> encodedPaths;
    for (const QString &path : paths)
        encodedPaths.push_back(QFile::encodeName(path));

    qint64 totalBytes = 0;
    for (const int which : templateOf)
        totalBytes += templates[size_t(which)].bytes.size();
    std::printf("files: %d, %lld KB on average, made from %zu kinds:\n", count,
        static_cast<long long>(totalBytes / count / 1024), templates.size());
    for (const CorpusTemplate &t : templates)
        std::printf("  [%s] %4lld KB  %s\n", t.name.toUtf8().constData(), static_cast<long long>(t.bytes.size() / 1024),
            t.description.toUtf8().constData());

    std::vector<TrackAnswers> ours(static_cast<size_t>(count));
    std::vector<TagLibAnswers> theirs(static_cast<size_t>(count));
    // The first pass of each reader warms the cache.
    timeVorlen(paths, &ours);
    timeTagLib(encodedPaths, &theirs);
    double oursBest = 1e9;
    double theirsBest = 1e9;
    std::vector<double> ratios;
    for (int round = 1; round <= kRounds; ++round) {
        // Alternate which reader goes first, so neither always runs on a
        // cache or clock the other left behind.
        double oursTime = 0;
        double theirsTime = 0;
        if (round % 2) {
            oursTime = timeVorlen(paths, &ours);
            theirsTime = timeTagLib(encodedPaths, &theirs);
        } else {
            theirsTime = timeTagLib(encodedPaths, &theirs);
            oursTime = timeVorlen(paths, &ours);
        }
        ratios.push_back(theirsTime / oursTime);
        oursBest = std::min(oursBest, oursTime);
        theirsBest = std::min(theirsBest, theirsTime);
        std::printf("round %d: vorlen %.0f files/s, TagLib %.0f files/s, ratio %.2fx\n", round, count / oursTime,
            count / theirsTime, theirsTime / oursTime);
    }
    std::printf("best:    vorlen %.0f files/s, TagLib %.0f files/s, ratio %.2fx\n", count / oursBest,
        count / theirsBest, theirsBest / oursBest);
    // Each round's ratio compares two readers timed side by side; their median
    // is the figure a load spike on one of them moves least.
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio of the rounds: %.2fx (from %.2fx to %.2fx)\n", ratios[ratios.size() / 2], ratios.front(),
        ratios.back());

    const auto invalid = std::count_if(theirs.begin(), theirs.end(), [](const TagLibAnswers &a) { return !a.valid; });
    if (invalid > 0)
        std::printf("TagLib could not read %lld files\n", static_cast<long long>(invalid));
    std::vector<TrackAnswers> theirAnswers;
    for (const TagLibAnswers &a : theirs)
        theirAnswers.push_back(ToAnswers(a));
    PrintComparison(ours, theirAnswers, templateOf, templates);
    return 0;
}
