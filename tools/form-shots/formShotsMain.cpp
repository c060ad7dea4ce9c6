// vorlen-form-shots FOLDER: paints every dialog and secondary window of the
// jukebox, filled from a sample library, into FOLDER as PNG files.
#include "formShots.h"

#include "core/dmMain.h"
#include "core/userInterface.h"
#include "library/tagPlayListCollection.h"
#include "library/tagPlaylist.h"
#include "metadata/id3Tagger.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

std::vector<TformShot> &FormShots()
{
    static std::vector<TformShot> shots;
    return shots;
}

namespace {

class TquietUi : public TcoreUserInterface {
public:
    void ShowMessage(const QString &, const QString &, TmessageIcon) override {}
    void ShowNotice(const QString &, const QString &, TmessageIcon) override {}
    bool AskYesNo(const QString &, const QString &) override { return false; }
    QStringList ChooseMusicFiles(const QString &) override { return {}; }
    TtagAlbum *ChooseAlbum() override { return nullptr; }
    void ShowWindow(TcoreWindow) override {}
    bool ShowTipDialog(TtipDialogState &) override { return false; }
};

// The program folder of a sample jukebox, as the core reads it at start: a
// library cache of a few artists and albums (the files need not exist) and
// three preloaded playlists read from their caches.
void writeSampleJukebox(const ProgramFolders &folders)
{
    const char *artists[] = {"Air", "Aphex Twin", "Boards of Canada", "Moby", "Portishead", "The Lanterns"};
    QDir().mkpath(folders.dataFolder());
    TtaggerList library;
    for (int a = 0; a < 6; ++a) {
        for (int album = 0; album < 2; ++album) {
            for (int t = 1; t <= 8; ++t) {
                auto *record = new Tid3Tagger;
                record->SetArtist(QString::fromLatin1(artists[a]));
                record->SetAlbum(QStringLiteral("Album %1").arg(album + 1));
                record->SetTitle(QStringLiteral("Track %1").arg(t));
                record->SetTrack(quint32(t));
                record->SetDuration(180000 + 7000 * t);
                record->SetValidTag(true);
                record->SetFilename(QStringLiteral("/music/%1/Album %2/%3.mp3").arg(QString::fromLatin1(artists[a])).arg(album + 1).arg(t));
                library.Add(record);
            }
        }
    }
    library.SaveListFile(folders.dataFolder() + QStringLiteral("/jukebox.dat"));

    TtagPlayListCollection playlists;
    const QString names[] = { QStringLiteral("Party"), QStringLiteral("Quiet Evening"), QStringLiteral("Road Trip") };
    for (int i = 0; i < 3; ++i) {
        const QString m3u = QStringLiteral("/home/user/Music/Playlists/%1.m3u").arg(names[i].toLower());
        const QString cache = PlaylistCacheFile(m3u, folders.dataFolder());
        TtaggerList tracks;
        for (int t = i; t < library.Count(); t += 7)
            tracks.AddCopy(library.Items(t));
        tracks.SaveListFile(cache);
        if (TtagPlaylist *playlist = playlists.AddFromCache(names[i], m3u, cache))
            playlist->SetFilename(m3u);
    }
    playlists.SaveIndex(folders.playlistIndexFile(), folders.dataFolder());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorlen-form-shots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    QTemporaryDir home;
    TdmMainOptions options;
    options.folders.home = home.path();
    options.folders.assets = home.path();
    options.folders.plugins = home.path() + QStringLiteral("/plugins");
    options.engine.manualPump = true;
    options.cdDrives = [] { return QList<CdDrive>{}; };
    writeSampleJukebox(options.folders);
    TquietUi ui;
    TdmMain core(ui, options);
    core.LoadSettings();
    core.LoadLibrary();
    int failures = 0;
    for (const TformShot &shot : FormShots()) {
        QWidget *window = shot.make(core);
        window->show();
        QApplication::processEvents();
        const QString file = folder + QLatin1Char('/') + shot.name + QStringLiteral(".png");
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "vorlen-form-shots: cannot write %s\n", qPrintable(file));
            ++failures;
        }
        delete window;
    }
    std::printf("vorlen-form-shots: %zu pictures in %s\n", FormShots().size(), qPrintable(folder));
    return failures == 0 ? 0 : 1;
}
