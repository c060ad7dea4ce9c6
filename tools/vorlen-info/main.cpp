// vorlen-info: prints what the jukebox reads from music files, one JSON
// object per line and file; with --list and --save-list it reads and writes
// track-list files (library, disc and playlist caches).
#include "trackInfoJson.h"
#include "trackListVerbs.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QStringList>
#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: vorlen-info FILE...\n"
                         "       vorlen-info --list FILE.dat\n"
                         "       vorlen-info --save-list OUT.dat MUSICFILE...\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();

    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    if (args.first() == QLatin1String("--list"))
        return args.size() == 2 ? ListTrackListFile(args[1], out, err) : usage();
    if (args.first() == QLatin1String("--save-list"))
        return args.size() >= 3 ? SaveTrackListFile(args[1], args.mid(2), err) : usage();
    if (args.first().startsWith(QLatin1String("--")))
        return usage();

    for (const QString &file : args) {
        out.write(QJsonDocument(TrackInfoJson(file)).toJson(QJsonDocument::Compact));
        out.write("\n");
    }
    return 0;
}
