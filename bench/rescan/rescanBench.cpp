// bench-rescan [FILES] [FOLDERS]: the folder scan on a music tree of FILES
// MP3 files (default 100,000) in FOLDERS folders (default 5,000), hard links
// of a few dozen real MP3s, next to `find DIR -newer REF` on the same tree:
//   - the first scan into an empty library (the worker finding every file),
//   - the rescan of the unchanged tree with the library's files known (the
//     known-files table built from a master list of records for every file,
//     with their real times),
// each the median of a few rounds, warm cache, with its ratio to find. The
// tree is built in a temporary folder and removed at the end.
#include "library/knownFiles.h"
#include "library/taggerList.h"
#include "library/vorlenScanThread.h"
#include "metadata/id3Tagger.h"
#include "platform/fileTime.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSources = 24;
constexpr int kRounds = 5;

// kSources short tones of different pitch, encoded by ffmpeg with LAME.
QStringList encodeSources(const QString &folder)
{
    QStringList sources;
    for (int i = 0; i < kSources; ++i) {
        const QString path = QStringLiteral("%1/tone%2.mp3").arg(folder).arg(i);
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("sine=frequency=%1:duration=0.5").arg(220 + 40 * i), QStringLiteral("-c:a"),
                QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k"),
                QStringLiteral("-metadata"), QStringLiteral("title=Tone %1").arg(i), path });
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
            return {};
        sources << path;
    }
    return sources;
}

// Folders of artists and albums below root, each album holding its share of
// the files as hard links of the sources, and a cover the scan skips.
QStringList buildTree(const QString &root, int files, int folders, const QStringList &sources)
{
    QStringList paths;
    paths.reserve(files);
    const QByteArray cover = QFile::encodeName(sources.first());
    const int albumsPerArtist = 50;
    for (int folder = 0; folder < folders; ++folder) {
        const QString album = QStringLiteral("%1/Artist %2/Album %3")
                                  .arg(root)
                                  .arg(folder / albumsPerArtist, 3, 10, QLatin1Char('0'))
                                  .arg(folder % albumsPerArtist, 2, 10, QLatin1Char('0'));
        if (!QDir().mkpath(album))
            return {};
        ::link(cover.constData(), QFile::encodeName(album + QStringLiteral("/cover.jpg")).constData());
        const int first = int(qint64(files) * folder / folders);
        const int last = int(qint64(files) * (folder + 1) / folders);
        for (int file = first; file < last; ++file) {
            const QString path = QStringLiteral("%1/%2 - Track %3.mp3")
                                     .arg(album)
                                     .arg(file - first + 1, 2, 10, QLatin1Char('0'))
                                     .arg(file);
            const QByteArray source = QFile::encodeName(sources[file % sources.size()]);
            if (::link(source.constData(), QFile::encodeName(path).constData()) != 0)
                return {};
            paths << path;
        }
    }
    return paths;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeFind(const QString &root, const QString &reference)
{
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    find.start(QStringLiteral("find"), { root, QStringLiteral("-newer"), reference });
    find.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e9;
}

struct ScanResult {
    double seconds = 0;
    int newFiles = 0;
    int modified = 0;
};

// From start to the end of the run, the GUI thread taking the findings as they
// come, as the music search window does.
ScanResult timeScan(const QString &root, const TknownFiles &known)
{
    TvorlenScanThread scan;
    scan.SetExtensions(QStringLiteral("mp3;mp2;wma;ogg"));
    scan.FolderList = { root };
    scan.Recursive = true;
    scan.KnownFiles = known;
    int lastCount = 0;
    scan.OnNewFile = [&](TvorlenScanThread *, const QString &, int newCount) { lastCount = newCount; };
    QEventLoop loop;
    QObject::connect(&scan, &QThread::finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    scan.start();
    loop.exec();
    ScanResult result;
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.newFiles = lastCount;
    result.modified = scan.ModifiedCount();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int folders = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5000;
    if (files <= 0 || folders <= 0) {
        std::fprintf(stderr, "usage: bench-rescan [FILES] [FOLDERS]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QStringList sources = encodeSources(dir.path());
    if (sources.isEmpty()) {
        std::fprintf(stderr, "bench-rescan: ffmpeg could not encode the tones\n");
        return 1;
    }
    const QString root = dir.path() + QStringLiteral("/music");
    const QStringList paths = buildTree(root, files, folders, sources);
    if (paths.size() != files) {
        std::fprintf(stderr, "bench-rescan: could not build the tree\n");
        return 1;
    }
    const QString reference = dir.path() + QStringLiteral("/reference");
    {
        QFile touch(reference);
        touch.open(QIODevice::WriteOnly);
    }

    // The library as a previous scan left it: a record per file with the
    // file's time, made by hand rather than by reading every file.
    TtaggerList master;
    for (const QString &path : paths) {
        auto *record = new Tid3Tagger;
        record->SetFilename(path);
        const WinFileTime time = FileLastWriteTime(path);
        record->SetModDateHigh(time.high);
        record->SetModDateLow(time.low);
        master.Add(record);
    }

    // Warm the cache and check that every scan sees what it should.
    timeFind(root, reference);
    QElapsedTimer tableTimer;
    tableTimer.start();
    const TknownFiles known(master);
    const double tableSeconds = tableTimer.nsecsElapsed() / 1e9;
    const ScanResult firstCheck = timeScan(root, TknownFiles());
    const ScanResult rescanCheck = timeScan(root, known);
    if (firstCheck.newFiles != files || rescanCheck.newFiles != 0 || rescanCheck.modified != 0) {
        std::fprintf(stderr, "bench-rescan: wrong results: first scan %d new, rescan %d new, %d modified\n",
            firstCheck.newFiles, rescanCheck.newFiles, rescanCheck.modified);
        return 1;
    }

    std::vector<double> findTimes;
    std::vector<double> firstTimes;
    std::vector<double> rescanTimes;
    for (int round = 0; round < kRounds; ++round) {
        findTimes.push_back(timeFind(root, reference));
        firstTimes.push_back(timeScan(root, TknownFiles()).seconds);
        rescanTimes.push_back(timeScan(root, known).seconds);
    }
    const double find = median(findTimes);
    const double first = median(firstTimes);
    const double rescan = median(rescanTimes);
    std::printf("tree: %d files in %d folders (hard links of %d MP3s), median of %d rounds\n", files, folders, kSources,
        kRounds);
    std::printf("find DIR -newer REF:            %.3f s\n", find);
    std::printf("first scan (empty library):     %.3f s  %.2fx find\n", first, first / find);
    std::printf("rescan (unchanged, all known):  %.3f s  %.2fx find\n", rescan, rescan / find);
    std::printf("known-files table from %d records: %.3f s (before the rescan, on the GUI thread)\n", master.Count(),
        tableSeconds);
    return 0;
}
