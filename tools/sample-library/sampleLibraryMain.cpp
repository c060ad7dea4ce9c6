// vorlen-sample-library OUT.dat COUNT [MUSICFILE...]: writes a track-list file
// (a library cache, a stacker) holding the records of the music files, read
// as the jukebox reads them, followed by COUNT invented tracks.
#include "sampleLibrary.h"

#include "library/taggerList.h"
#include "library/trackListFile.h"
#include "platform/atomicFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    bool countOk = false;
    const int count = args.size() >= 2 ? args[1].toInt(&countOk) : 0;
    if (!countOk || count < 0) {
        std::fprintf(stderr, "usage: vorlen-sample-library OUT.dat COUNT [MUSICFILE...]\n");
        return 2;
    }
    TtrackListWriter writer;
    TtaggerList real;
    real.SetKeepUntagged(true);
    real.SetReadFrameHeaders(true);
    for (const QString &file : args.mid(2)) {
        if (!real.AddFile(file)) {
            std::fprintf(stderr, "vorlen-sample-library: no record for %s\n", qPrintable(file));
            return 1;
        }
    }
    for (int i = 0; i < real.Count(); ++i)
        writer.Write(*real.Items(i));
    for (const auto &record : InventLibrary(count))
        writer.Write(*record);
    QString error;
    if (!WriteFileAtomically(args[0], writer.Data(), &error)) {
        std::fprintf(stderr, "vorlen-sample-library: cannot write %s: %s\n", qPrintable(args[0]), qPrintable(error));
        return 1;
    }
    return 0;
}
