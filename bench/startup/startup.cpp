// Start-up of the headless core on a program folder whose library cache holds
// N tracks (default 100,000): from the creation of the data module to the end
// of StartUp (library loaded, index built, the window notified). Prints the
// time and the resident memory afterwards.
//   bench-startup [N]
#include "benchLibrary.h"
#include "core/dmMain.h"
#include "core/userInterface.h"
#include "library/taggerList.h"
#include "metadata/id3Tagger.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class TquietFace : public TcoreListener {
public:
    void ListsUpdated() override { ++listsUpdated; }
    int listsUpdated = 0;
};

class TsilentUi : public TcoreUserInterface {
public:
    void ShowMessage(const QString &, const QString &, TmessageIcon) override {}
    void ShowNotice(const QString &, const QString &, TmessageIcon) override {}
    bool AskYesNo(const QString &, const QString &) override { return false; }
    QStringList ChooseMusicFiles(const QString &) override { return {}; }
    TtagAlbum *ChooseAlbum() override { return nullptr; }
    void ShowWindow(TcoreWindow) override {}
    bool ShowTipDialog(TtipDialogState &) override { return false; }
};

} // namespace

// Measures in a process of its own, so the memory of the generator is not counted.
int measure(const QString &home)
{
    const qint64 cacheBytes = QFileInfo(home + QStringLiteral("/Data/jukebox.dat")).size();
    const long before = ResidentKiB();
    TquietFace form;
    TsilentUi ui;
    TdmMainOptions options;
    options.folders.home = home;
    options.folders.assets = home;
    options.engine.manualPump = true;
    options.cdDrives = [] { return QList<CdDrive>{}; };

    QElapsedTimer timer;
    timer.start();
    TdmMain core(ui, options);
    const TcoreSubscription subscription = core.Subscribe(form);
    core.LoadSettings();
    const qint64 createdMs = timer.elapsed();
    core.StartUp();
    const qint64 startedMs = timer.elapsed();
    const long after = ResidentKiB();

    std::printf("bench-startup: %d tracks in the library cache (%.1f MB)\n", core.jblMain().MasterList().Count(),
                double(cacheBytes) / 1e6);
    std::printf("  creation of the core:         %6lld ms\n", static_cast<long long>(createdMs));
    std::printf("  creation to end of StartUp:   %6lld ms   (target < 1000 ms)\n", static_cast<long long>(startedMs));
    std::printf("  resident memory afterwards:   %6.1f MB  (target < 100 MB; %.1f MB before the core)\n",
                double(after) / 1024.0, double(before) / 1024.0);
    std::printf("  albums %d, artists %d, ListsUpdated sent %d\n", core.jblMain().AlbumList().Count(),
                core.jblMain().ArtistList().Count(), form.listsUpdated);
    std::fflush(stdout);
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--measure"))
        return measure(args[2]);
    const int count = args.size() > 1 ? args[1].toInt() : 100000;
    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral("Data")));
    WriteLibraryCache(home.filePath(QStringLiteral("Data/jukebox.dat")), count);
    return QProcess::execute(app.applicationFilePath(), {QStringLiteral("--measure"), home.path()});
}
