#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "library/taggerList.h"
#include "platform/pendingEvents.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// A disc: its files in a folder standing for the mount point, and an ISO image
// standing for the device (the volume serial comes from it).
struct TfakeDisc {
    QString mountPoint;
    QString image;
};

TfakeDisc makeDisc(TcoreTestFolder &folder, const QString &name)
{
    TfakeDisc disc{folder.root.filePath(name), folder.root.filePath(name + QStringLiteral(".iso"))};
    for (int i = 1; i <= 2; ++i) {
        const QString path = disc.mountPoint + QStringLiteral("/CD/%1.mp3").arg(i);
        QDir().mkpath(QFileInfo(path).path());
        ToneSpec spec;
        spec.metadata = {{QStringLiteral("title"), name + QString::number(i)},
                         {QStringLiteral("artist"), QStringLiteral("Disc Artist")},
                         {QStringLiteral("album"), name}};
        QString error;
        EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
    }
    QString error;
    EXPECT_TRUE(RunTool(QStringLiteral("genisoimage"),
                        {QStringLiteral("-quiet"), QStringLiteral("-V"), name, QStringLiteral("-o"), disc.image,
                         disc.mountPoint + QStringLiteral("/CD/1.mp3")},
                        &error))
        << error.toStdString();
    return disc;
}

QStringList fileNames(const TtaggerList &list)
{
    QStringList names;
    for (const TcustomTagger *record : list.Records())
        names << record->Filename();
    names.sort();
    return names;
}

} // namespace

TEST(Discs, ANewDiscIsOfferedScannedCachedAndFollowedToANewMountPoint)
{
    TcoreTestFolder folder;
    TfakeDisc disc = makeDisc(folder, QStringLiteral("DISCA"));
    QList<CdDrive> drives{{disc.mountPoint, disc.image}};
    TdmMainOptions options = folder.options();
    options.cdDrives = [&drives] { return drives; };
    TrecordedCore run(options);
    TdmMain &core = run.core;
    TrecordingFace &form = run.face;
    TscriptedUi &ui = run.ui;
    // The window keeps reading what it holds while the disc is scanned.
    form.Watch(&core.jblMain());
    core.StartUp();

    ui.answers = {false};
    core.RefreshCDs();
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_TRUE(ui.questions.first().startsWith(QStringLiteral("New CD: The CD in drive ") + disc.mountPoint
                                                + QStringLiteral(" has not been scanned before.")));
    EXPECT_TRUE(ui.questions.first().endsWith(QStringLiteral("Do you wish to scan it for Mp3 files?")));
    EXPECT_EQ(core.jblMain().MasterList().Count(), 0);

    ui.answers = {true};
    form.log.clear();
    core.RefreshCDs();
    EXPECT_EQ(ui.questions.size(), 2);
    const QString cache = core.DataFolder() + QLatin1Char('/') + VolumeSerialText(disc.image) + QStringLiteral(".dat");
    EXPECT_TRUE(QFile::exists(cache));
    EXPECT_EQ(form.count(QStringLiteral("ListsUpdated")), 1);
    EXPECT_EQ(fileNames(core.jblMain().MasterList()),
              (QStringList{disc.mountPoint + QStringLiteral("/CD/1.mp3"), disc.mountPoint + QStringLiteral("/CD/2.mp3")}));

    ProcessPendingEvents();
    EXPECT_EQ(form.TouchHeldPointers(), 1 + 1 + 2 + 2) << "one album, one artist and their records";

    // A known disc is not offered again.
    core.RefreshCDs();
    EXPECT_EQ(ui.questions.size(), 2);

    // The same disc mounted elsewhere resolves from its cache.
    const QString moved = folder.root.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().rename(disc.mountPoint, moved));
    drives = {{moved, disc.image}};
    core.LoadLibrary();
    EXPECT_EQ(fileNames(core.jblMain().MasterList()),
              (QStringList{moved + QStringLiteral("/CD/1.mp3"), moved + QStringLiteral("/CD/2.mp3")}));

    // No disc: its tracks are not loaded.
    drives.clear();
    core.LoadLibrary();
    EXPECT_EQ(core.jblMain().MasterList().Count(), 0);
}

TEST(Discs, TheLibraryCacheHoldsOnlyTheMusicFolders)
{
    TcoreTestFolder folder;
    TfakeDisc disc = makeDisc(folder, QStringLiteral("DISCB"));
    const QString song = folder.addTrack(QStringLiteral("a/song.mp3"), QStringLiteral("Song"),
                                         QStringLiteral("Folder Artist"), QStringLiteral("Folder Album"), 1);
    TdmMainOptions options = folder.options();
    options.cdDrives = [&disc] { return QList<CdDrive> { { disc.mountPoint, disc.image } }; };
    {
        TrecordedCore run(options);
        TdmMain &core = run.core;
        TscriptedUi &ui = run.ui;
        core.StartUp();
        // A new disc found while adding scanned files is scanned without asking.
        core.AddScannedFiles({song}, false);
        EXPECT_TRUE(ui.questions.isEmpty());
        EXPECT_EQ(core.jblMain().MasterList().Count(), 3);
        // Saving again with the disc loaded must not copy the disc into jukebox.dat.
        core.AddScannedFiles({}, false);
        EXPECT_EQ(core.jblMain().MasterList().Count(), 3);
    }
    TtaggerList cache;
    cache.LoadListFile(folder.home() + QStringLiteral("/Data/jukebox.dat"), false);
    EXPECT_EQ(fileNames(cache), QStringList{song});

    TrecordedCore restarted(options);
    restarted.core.StartUp();
    EXPECT_EQ(restarted.core.jblMain().MasterList().Count(), 3);
}
