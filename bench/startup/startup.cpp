// Start-up of the headless core on a program folder whose library cache holds
// N tracks (default 100,000): from the creation of the data module to the end
// of StartUp (library loaded, index built, the window notified). Prints the
// time and the resident memory afterwards.
//   bench-startup [N]
#include "core/dmMain.h"
#include "core/playerForm.h"
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

class TquietForm : public TvorlenPlayerFormInterface {
public:
    void DoStartup() override {}
    void LibraryChanging() override {}
    void ListsUpdated() override { ++listsUpdated; }
    void PositionChanged(TvorlenStream *) override {}
    void QueueChanged() override {}
    void PlayStateChanged(int) override {}
    void TrackChanged(TvorlenStream *) override {}
    void StackerChanged() override {}
    void PlaylistChanged() override {}
    void LoadSettings(TiniFile &) override {}
    void SaveSettings(TiniFile &) override {}
    void VolumeChanged() override {}
    void TreeFontChanged() override {}
    void VisTimer() override {}
    void PlaylistsLoaded() override {}
    int listsUpdated = 0;
};

class TsilentUi : public TcoreUserInterface {
public:
    void ShowMessage(const QString &, const QString &, TmessageIcon) override {}
    bool AskYesNo(const QString &, const QString &) override { return false; }
    QStringList ChooseMusicFiles(const QString &) override { return {}; }
    TtagAlbum *ChooseAlbum() override { return nullptr; }
    void ShowWindow(TcoreWindow) override {}
};

QString word(QRandomGenerator &random, int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz";
    QString text;
    const int length = random.bounded(minLength, maxLength + 1);
    for (int i = 0; i < length; ++i)
        text += QLatin1Char(letters[random.bounded(26)]);
    text[0] = text[0].toUpper();
    return text;
}

// A library of count tracks by 3,000 artists on 8,000 albums.
void writeLibraryCache(const QString &fileName, int count)
{
    QRandomGenerator random(42);
    QStringList artists;
    for (int i = 0; i < 3000; ++i)
        artists << word(random, 4, 10) + QLatin1Char(' ') + word(random, 3, 9);
    QStringList albums;
    for (int i = 0; i < 8000; ++i)
        albums << word(random, 3, 9) + QLatin1Char(' ') + word(random, 2, 12);
    TtaggerList list;
    for (int i = 0; i < count; ++i) {
        auto *record = new Tid3Tagger;
        const int albumIndex = i % albums.size();
        const QString &artist = artists[albumIndex % artists.size()];
        const QString &album = albums[albumIndex];
        const QString title = word(random, 4, 10) + QLatin1Char(' ') + word(random, 2, 10);
        record->SetTitle(title);
        record->SetArtist(artist);
        record->SetAlbum(album);
        record->SetDate(QString::number(1960 + albumIndex % 60));
        record->SetTrack(quint32(i / albums.size() + 1));
        record->SetGenreByte(quint8(albumIndex % 148));
        record->SetFilename(QStringLiteral("/home/listener/Music/") + artist + QLatin1Char('/') + album
                            + QStringLiteral("/%1 - ").arg(record->Track(), 2, 10, QLatin1Char('0')) + title
                            + QStringLiteral(".mp3"));
        record->SetDuration(120000.0 + random.bounded(240000));
        record->SetBitRate(192000);
        record->SetSampleRate(44100);
        record->SetChannelMode(1);
        record->SetValidTag(true);
        record->SetModDateHigh(30000000 + quint32(i));
        record->SetModDateLow(quint32(random.generate()));
        list.Add(record);
    }
    // The program saves its library as the last rebuild left it: in title order.
    list.SortBy(tsTitle);
    if (!list.SaveListFile(fileName))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

// Measures in a process of its own, so the memory of the generator is not counted.
int measure(const QString &home)
{
    const qint64 cacheBytes = QFileInfo(home + QStringLiteral("/Data/jukebox.dat")).size();
    const long before = residentKiB();
    TquietForm form;
    TsilentUi ui;
    TdmMainOptions options;
    options.folders.home = home;
    options.folders.assets = home;
    options.engine.manualPump = true;
    options.cdDrives = [] { return QList<CdDrive>{}; };

    QElapsedTimer timer;
    timer.start();
    TdmMain core(form, ui, options);
    const qint64 createdMs = timer.elapsed();
    form.OnStartup();
    const qint64 startedMs = timer.elapsed();
    const long after = residentKiB();

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
    writeLibraryCache(home.filePath(QStringLiteral("Data/jukebox.dat")), count);
    return QProcess::execute(app.applicationFilePath(), {QStringLiteral("--measure"), home.path()});
}
