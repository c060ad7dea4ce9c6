// bench-tag-read [N]: reads N tagged MP3 files (ID3v2.3 tag, real MPEG
// frames, ID3v1 tag) the way the library does (tags and stream information)
// and with TagLib (tags and audio properties, fast mode), warm cache, and
// prints files per second for both and their ratio.
#include "metadata/customTagger.h"
#include "metadata/id3v1.h"
#include "metadata/id3v2.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

namespace {

constexpr int kRounds = 3;

// MPEG frames of a short tone, encoded once without any tag.
QByteArray encodeFrames(const QString &folder)
{
    const QString path = folder + QStringLiteral("/tone.mp3");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                  QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("sine=frequency=440:duration=4"), QStringLiteral("-ac"), QStringLiteral("2"),
                  QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
                  QStringLiteral("128k"), QStringLiteral("-write_id3v2"), QStringLiteral("0"),
                  QStringLiteral("-write_xing"), QStringLiteral("0"), path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return QByteArray();
    QFile file(path);
    QByteArray frames = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.remove();
    return frames;
}

QStringList makeFiles(const QString &folder, int count, const QByteArray &frames)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        TID3v2 v2;
        v2.SetTitle(QStringLiteral("Title number %1").arg(i));
        v2.SetArtist(QStringLiteral("Artist %1").arg(i % 97));
        v2.SetAlbum(QStringLiteral("Album %1").arg(i % 401));
        v2.SetYear(QStringLiteral("2004"));
        v2.SetComment(QStringLiteral("Benchmark file"));
        v2.SetTrack(quint8(i % 20 + 1));
        v2.SetGenre(QStringLiteral("Rock"));
        TId3v1Tag v1;
        v1.title = v2.Title();
        v1.artist = v2.Artist();
        v1.album = v2.Album();
        v1.year = v2.Year();
        v1.track = v2.Track();
        v1.genre = 17;
        const QString path = folder + QStringLiteral("/track%1.mp3").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(v2.BuildTag() + frames + v1.Build());
        paths << path;
    }
    return paths;
}

// Reads every file; returns the seconds taken and a checksum of what was read.
double readOurs(const QStringList &paths, quint64 *checksum)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString &path : paths) {
        std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(path);
        record->LoadFromFile(path);
        record->SetReadFrameHeaders(true);
        *checksum += quint64(record->Title().size()) + quint64(record->Duration()) + record->bitRate() + record->Track();
    }
    return timer.nsecsElapsed() / 1e9;
}

double readTagLib(const QStringList &paths, quint64 *checksum)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString &path : paths) {
        TagLib::FileRef file(QFile::encodeName(path).constData(), true, TagLib::AudioProperties::Fast);
        if (file.isNull() || !file.tag() || !file.audioProperties())
            continue;
        *checksum += quint64(file.tag()->title().size()) + quint64(file.audioProperties()->lengthInMilliseconds() / 1000 * 1000) +
                     quint64(file.audioProperties()->bitrate()) * 1000 + file.tag()->track();
    }
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench-tag-read [N]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QByteArray frames = encodeFrames(dir.path());
    if (frames.isEmpty()) {
        std::fprintf(stderr, "bench-tag-read: ffmpeg could not encode the tone\n");
        return 1;
    }
    const QStringList paths = makeFiles(dir.path(), count, frames);
    if (paths.size() != count) {
        std::fprintf(stderr, "bench-tag-read: could not write the files\n");
        return 1;
    }

    // Warm the cache, then keep the best of a few rounds of each reader.
    quint64 ours = 0;
    quint64 theirs = 0;
    readOurs(paths, &ours);
    readTagLib(paths, &theirs);
    double oursBest = 1e9;
    double theirsBest = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        ours = theirs = 0;
        oursBest = std::min(oursBest, readOurs(paths, &ours));
        theirsBest = std::min(theirsBest, readTagLib(paths, &theirs));
    }
    const double oursRate = count / oursBest;
    const double theirsRate = count / theirsBest;
    std::printf("files: %d (%lld bytes each)\n", count, static_cast<long long>(QFile(paths.first()).size()));
    std::printf("vorlen metadata: %.0f files/s\n", oursRate);
    std::printf("TagLib (fast):   %.0f files/s\n", theirsRate);
    std::printf("ratio:           %.2fx\n", oursRate / theirsRate);
    std::printf("checksums:       %s\n", ours == theirs ? "equal" : "differ");
    return 0;
}
