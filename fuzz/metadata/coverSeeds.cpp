// Writes the seed corpora of the FLAC, Opus and picture fuzzers: short files
// made by ffmpeg, with and without a cover picture. Usage: metadata_cover_seeds OUT
#include "audioFixtures.h"

#include <QDir>
#include <QString>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const char *folder : { "flac", "opus", "cover" })
        QDir().mkpath(out + QLatin1Char('/') + QLatin1String(folder));
    QString error;
    const QString picture = out + QStringLiteral("/picture.png");
    if (!RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc2=size=32x24"), QStringLiteral("-frames:v"), QStringLiteral("1"), picture },
            &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ToneSpec spec;
    spec.seconds = 0.3;
    spec.bitRate = QStringLiteral("64k");
    spec.metadata
        = { { QStringLiteral("title"), QStringLiteral("Seed") }, { QStringLiteral("artist"), QStringLiteral("Fuzz") },
              { QStringLiteral("album"), QStringLiteral("Corpus") }, { QStringLiteral("track"), QStringLiteral("1/2") },
              { QStringLiteral("genre"), QStringLiteral("Rock") }, { QStringLiteral("date"), QStringLiteral("2004") } };
    const char *plain[] = { "flac/tone.flac", "opus/tone.opus" };
    const char *covered[] = { "flac/cover.flac", "opus/cover.opus", "cover/cover.mp3", "cover/cover.flac",
        "cover/cover.ogg", "cover/cover.opus" };
    for (const char *name : plain) {
        if (!MakeToneFile(out + QLatin1Char('/') + QLatin1String(name), spec, &error)) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
            return 1;
        }
    }
    spec.coverImage = picture;
    for (const char *name : covered) {
        if (!MakeToneFile(out + QLatin1Char('/') + QLatin1String(name), spec, &error)) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
            return 1;
        }
    }
    return 0;
}
