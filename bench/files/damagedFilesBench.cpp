// What a file of one huge line costs to read: a settings file, a skin and a
// playlist of 50 MB in one line (garbage, or a file half written), each read
// as the jukebox reads it. Prints the time and the peak resident memory of a
// process that reads one of them and nothing else.
//   bench-damaged-files [MEGABYTES]
#include "library/m3uFile.h"
#include "platform/iniFile.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeHugeLine(const QString &name, const QByteArray &head, int megabytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(head);
    const QByteArray block(1024 * 1024, 'x');
    for (int i = 0; i < megabytes; ++i)
        file.write(block);
    file.write("\n[After]\nKept=1\n");
    return file.error() == QFileDevice::NoError;
}

// Runs read in a child of its own, so that its peak memory is its alone.
void measure(const char *what, const std::function<void()> &read)
{
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        QElapsedTimer timer;
        timer.start();
        read();
        std::printf("%-34s %8.3f s", what, timer.nsecsElapsed() / 1e9);
        std::fflush(stdout);
        std::_Exit(0);
    }
    int status = 0;
    rusage usage {};
    ::wait4(child, &status, 0, &usage);
    std::printf("   peak %7.1f MB\n", usage.ru_maxrss / 1024.0);
}

} // namespace

int main(int argc, char **argv)
{
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("vorlen.ini"));
    const QString skin = dir.filePath(QStringLiteral("vorlen.vsk"));
    const QString list = dir.filePath(QStringLiteral("party.m3u"));
    if (!writeHugeLine(ini, "[Dirs]\nDirList=/music\n[Junk]\nKey=", megabytes)
        || !writeHugeLine(skin, "[Colors]\nButtonColor=#808080\n", megabytes)
        || !writeHugeLine(list, "#EXTM3U\n/music/a.mp3\n", megabytes)) {
        std::fprintf(stderr, "could not write the files\n");
        return 1;
    }
    std::printf("one line of %d MB in each file\n", megabytes);
    measure("nothing read (the process alone)", [] {});
    measure("vorlen.ini (TiniFile)", [&] { TiniFile(ini).ReadInteger(QStringLiteral("After"), QStringLiteral("Kept"), 0); });
    measure("vorlen.vsk (TiniFile)", [&] { TiniFile(skin).ReadSections(); });
    measure("party.m3u (ReadM3uFile)", [&] { ReadM3uFile(list); });
    return 0;
}
