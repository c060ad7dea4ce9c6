#include "coreTestFolder.h"

#include "core/cdStacker.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "library/tagPlayListCollection.h"
#include "library/tagPlaylist.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

struct Stacker : ::testing::Test {
    TcoreTestFolder folder;
    Tmp3JukeBoxLists library;
    QString data;
    QStringList hits;
    QString m3u;
    int changes = 0;

    void SetUp() override
    {
        data = folder.home() + QStringLiteral("/Data");
        QDir().mkpath(data);
        hits = {folder.addTrack(QStringLiteral("Hits/1.mp3"), QStringLiteral("One"), QStringLiteral("Nordwave"),
                                QStringLiteral("Hits"), 1),
                folder.addTrack(QStringLiteral("Hits/2.mp3"), QStringLiteral("Two"), QStringLiteral("Nordwave"),
                                QStringLiteral("Hits"), 2)};
        const QString single = folder.addTrack(QStringLiteral("Misc/x.mp3"), QStringLiteral("Party Song"),
                                               QStringLiteral("Lanterns"), QStringLiteral("Misc"), 1);
        library.MasterList().AddFileList(hits, false, true);
        m3u = folder.root.filePath(QStringLiteral("party.m3u"));
        QFile list(m3u);
        EXPECT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("#EXTM3U\n" + QFile::encodeName(single) + "\n");
    }

    TtagAlbum &hitsAlbum() { return *library.AlbumList().Albums(0); }

    std::unique_ptr<TcdStacker> makeStacker()
    {
        auto stacker = std::make_unique<TcdStacker>(data);
        stacker->OnChange = [this] { ++changes; };
        return stacker;
    }
};

} // namespace

TEST_F(Stacker, AlbumsAndPlaylistsMakeThePlayListAndTheTitle)
{
    auto stacker = makeStacker();
    EXPECT_EQ(stacker->Title(true, QString()), QStringLiteral("Empty"));
    EXPECT_EQ(stacker->Title(false, QStringLiteral("Hits")), QString());

    ASSERT_TRUE(stacker->AddPlaylist(QStringLiteral("Party"), m3u));
    EXPECT_EQ(changes, 1);
    // Playlists count as albums in the counts, not for the title.
    EXPECT_EQ(stacker->AlbumCount(), 1);
    EXPECT_EQ(stacker->Title(true, QString()), QStringLiteral("Empty"));
    ASSERT_EQ(stacker->PlayList().Count(), 1);
    EXPECT_EQ(stacker->Library().NextTrack()->Title(), QStringLiteral("Party Song"));

    changes = 0;
    stacker->AddAlbum(hitsAlbum());
    stacker->AddAlbum(hitsAlbum());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(stacker->Library().MasterList().Count(), 4) << "the same album twice adds its records twice";
    EXPECT_EQ(stacker->PlayList().Count(), 5);
    EXPECT_EQ(stacker->AlbumCount(), 2);
    EXPECT_EQ(stacker->Title(true, QString()), QStringLiteral("Inactive"));
    EXPECT_EQ(stacker->Title(true, QStringLiteral("Hits")), QStringLiteral("Hits"));
    EXPECT_EQ(stacker->StatusTexts(),
              (QStringList{QStringLiteral("Tracks : 5"), QStringLiteral("Duration : 0:00:05"),
                           QStringLiteral("Artists : 2"), QStringLiteral("Albums : 1"),
                           QStringLiteral("Playlists : 1")}));
    // The stacker holds copies: the library's records stay its own.
    EXPECT_EQ(library.MasterList().Count(), 2);
    EXPECT_NE(stacker->Library().MasterList().Items(0), library.MasterList().Items(0));
}

TEST_F(Stacker, DeletedNodesFreeOnlyWhatNothingElseHolds)
{
    auto stacker = makeStacker();
    stacker->AddAlbum(hitsAlbum());
    ASSERT_TRUE(stacker->AddPlaylist(QStringLiteral("Party"), m3u));
    TtagPlaylist *party = stacker->Library().PlaylistCollection().Playlists(0);
    TtagAlbum *album = stacker->Library().AlbumList().Albums(0);
    // As the player holds the record it plays.
    const TtaggerRef playing(album->Items(0));
    int changing = 0;
    stacker->OnChanging = [&] { ++changing; };

    stacker->DeleteNode(playing.get(), TlistObject{});
    EXPECT_EQ(stacker->PlayList().Count(), 3) << "a track node without a parent is left alone";
    stacker->DeleteNode(TlistObject{}, static_cast<TcustomTaggerList *>(album));
    EXPECT_EQ(stacker->PlayList().Count(), 3);
    EXPECT_EQ(changing, 0);

    changes = 0;
    stacker->DeleteNode(playing.get(), static_cast<TcustomTaggerList *>(album));
    EXPECT_EQ(stacker->Library().MasterList().Count(), 1);
    EXPECT_EQ(stacker->PlayList().Count(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_GE(changing, 1) << "the window hears before the album goes";
    EXPECT_EQ(playing->Title(), QStringLiteral("One")) << "still alive for the player";
    EXPECT_EQ(playing->Holders(), 1u);
    // The same, now stale, node again: the album was replaced by the rebuild
    // and the record is no longer the stacker's. Nothing happens.
    stacker->DeleteNode(playing.get(), static_cast<TcustomTaggerList *>(album));
    EXPECT_EQ(stacker->Library().MasterList().Count(), 1);
    EXPECT_EQ(playing->Holders(), 1u);

    stacker->DeleteNode(party->Items(0), static_cast<TcustomTaggerList *>(party));
    EXPECT_EQ(party->Count(), 0);
    EXPECT_EQ(stacker->PlayList().Count(), 1);

    stacker->DeleteNode(static_cast<TcustomTaggerList *>(party), TlistObject{});
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 0);
    // A playlist that is gone is not deleted twice.
    stacker->DeleteNode(static_cast<TcustomTaggerList *>(party), TlistObject{});
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 0);

    album = stacker->Library().AlbumList().Albums(0);
    stacker->DeleteNode(static_cast<TcustomTaggerList *>(album), TlistObject{});
    EXPECT_EQ(stacker->Library().MasterList().Count(), 0);
    EXPECT_EQ(stacker->PlayList().Count(), 0);
    EXPECT_EQ(library.MasterList().Count(), 2);
}

TEST_F(Stacker, CartridgesAndTheStackerFiles)
{
    auto stacker = makeStacker();
    stacker->AddAlbum(hitsAlbum());
    ASSERT_TRUE(stacker->AddPlaylist(QStringLiteral("Party"), m3u));
    const QString cartridge = folder.root.filePath(QStringLiteral("carts/Evening.vst"));
    QDir().mkpath(QFileInfo(cartridge).path());
    ASSERT_TRUE(stacker->SaveCartridge(cartridge));
    EXPECT_TRUE(QFile::exists(cartridge));
    const QString index = stacker->CartridgeIndexFile(cartridge);
    EXPECT_EQ(QFileInfo(index).path(), data) << "the index lives in the data folder";
    EXPECT_TRUE(QFileInfo(index).fileName().startsWith(QStringLiteral("Evening."))) << index.toStdString();
    EXPECT_TRUE(QFile::exists(index));
    EXPECT_FALSE(QFile::exists(folder.root.filePath(QStringLiteral("carts/Evening.pll"))));
    ASSERT_TRUE(stacker->SaveFiles());

    stacker->Empty();
    EXPECT_EQ(stacker->PlayList().Count(), 0);
    EXPECT_EQ(stacker->AlbumCount(), 0);

    stacker->LoadCartridge(cartridge);
    EXPECT_EQ(stacker->Library().MasterList().Count(), 2);
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 1);
    EXPECT_EQ(stacker->PlayList().Count(), 3);
    stacker->AddCartridge(cartridge);
    EXPECT_EQ(stacker->Library().MasterList().Count(), 4);
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 1) << "a playlist of the same name is kept once";
    stacker->LoadCartridge(cartridge);
    EXPECT_EQ(stacker->Library().MasterList().Count(), 2);

    // A cartridge whose playlist index is gone loads its albums alone.
    ASSERT_TRUE(QFile::remove(index));
    stacker->LoadCartridge(cartridge);
    EXPECT_EQ(stacker->Library().MasterList().Count(), 2);
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 0);

    // The files saved earlier bring the stacker back.
    auto restored = makeStacker();
    restored->LoadFiles();
    EXPECT_EQ(restored->Library().MasterList().Count(), 2);
    EXPECT_EQ(restored->Library().PlaylistCollection().Count(), 1);
    EXPECT_EQ(restored->PlayList().Count(), 3);
    EXPECT_EQ(restored->Library().MasterList().Items(0)->Album(), QStringLiteral("Hits"));
}

TEST_F(Stacker, ACartridgeThatGivesNothingLeavesTheStackerAsItWas)
{
    auto stacker = makeStacker();
    stacker->AddAlbum(hitsAlbum());
    ASSERT_TRUE(stacker->AddPlaylist(QStringLiteral("Party"), m3u));
    auto write = [&](const QString &name, const QByteArray &bytes) {
        const QString path = folder.root.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    };
    const QString missing = folder.root.filePath(QStringLiteral("Gone.vst"));
    const QString empty = write(QStringLiteral("Nothing.vst"), QByteArray());
    const char noise[] = "TPF0\x05TJunk\x00\xff\xfe not a record";
    const QString garbage = write(QStringLiteral("Noise.vst"), QByteArray(noise, sizeof noise - 1));
    QDir().mkpath(folder.root.filePath(QStringLiteral("Folder.vst")));

    changes = 0;
    int changing = 0;
    stacker->OnChanging = [&] { ++changing; };
    EXPECT_EQ(stacker->LoadCartridge(missing), ccUnreadable);
    EXPECT_EQ(stacker->LoadCartridge(folder.root.filePath(QStringLiteral("Folder.vst"))), ccUnreadable);
    EXPECT_EQ(stacker->LoadCartridge(empty), ccEmpty);
    EXPECT_EQ(stacker->LoadCartridge(garbage), ccDamaged);
    EXPECT_EQ(stacker->AddCartridge(garbage), ccDamaged);
    EXPECT_EQ(changing, 0) << "the window keeps its tree";
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(stacker->Library().MasterList().Count(), 2);
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 1);
    EXPECT_EQ(stacker->PlayList().Count(), 3);

    // A stacker of playlists alone saves an empty cartridge beside its index,
    // and that loads.
    stacker->DeleteAlbum(stacker->Library().AlbumList().Albums(0));
    const QString playlistsOnly = folder.root.filePath(QStringLiteral("Lists.vst"));
    ASSERT_TRUE(stacker->SaveCartridge(playlistsOnly));
    EXPECT_EQ(QFileInfo(playlistsOnly).size(), 0);
    stacker->Empty();
    EXPECT_EQ(stacker->LoadCartridge(playlistsOnly), ccOk);
    EXPECT_EQ(stacker->Library().PlaylistCollection().Count(), 1);
    EXPECT_EQ(stacker->PlayList().Count(), 1);
}

// Cartridges of one name in different folders, each with a playlist of its
// own: each keeps its own playlist index.
TEST_F(Stacker, CartridgesOfOneNameInDifferentFoldersKeepTheirOwnPlaylists)
{
    const QString other = folder.addTrack(QStringLiteral("Other/o.mp3"), QStringLiteral("Other Song"),
        QStringLiteral("Lanterns"), QStringLiteral("Other"), 1);
    const QString otherList = folder.writeM3u(QStringLiteral("other.m3u"), { other });
    struct Cartridge {
        QString file;
        QString playlist;
        QString m3u;
    };
    const Cartridge cartridges[] = { { folder.root.filePath(QStringLiteral("home/Evening.vst")), QStringLiteral("Party"), m3u },
        { folder.root.filePath(QStringLiteral("work/Evening.vst")), QStringLiteral("Quiet"), otherList } };
    for (const Cartridge &cartridge : cartridges) {
        auto stacker = makeStacker();
        stacker->AddAlbum(hitsAlbum());
        ASSERT_TRUE(stacker->AddPlaylist(cartridge.playlist, cartridge.m3u));
        QDir().mkpath(QFileInfo(cartridge.file).path());
        ASSERT_TRUE(stacker->SaveCartridge(cartridge.file));
    }
    EXPECT_NE(makeStacker()->CartridgeIndexFile(cartridges[0].file),
        makeStacker()->CartridgeIndexFile(cartridges[1].file));
    for (const Cartridge &cartridge : cartridges) {
        auto stacker = makeStacker();
        ASSERT_EQ(stacker->LoadCartridge(cartridge.file), ccOk);
        const TtagPlayListCollection &playlists = stacker->Library().PlaylistCollection();
        ASSERT_EQ(playlists.Count(), 1) << cartridge.file.toStdString();
        EXPECT_EQ(playlists.Names(0), cartridge.playlist) << cartridge.file.toStdString();
    }
}

// An index saved under the cartridge's name alone, as earlier versions did,
// is still read; saving the cartridge again writes the index named by path.
TEST_F(Stacker, ACartridgeIndexNamedTheOldWayIsStillRead)
{
    auto stacker = makeStacker();
    stacker->AddAlbum(hitsAlbum());
    ASSERT_TRUE(stacker->AddPlaylist(QStringLiteral("Party"), m3u));
    const QString cartridge = folder.root.filePath(QStringLiteral("Morning.vst"));
    ASSERT_TRUE(stacker->SaveCartridge(cartridge));
    const QString oldIndex = data + QStringLiteral("/Morning.pll");
    ASSERT_TRUE(QFile::rename(stacker->CartridgeIndexFile(cartridge), oldIndex));

    auto loaded = makeStacker();
    ASSERT_EQ(loaded->LoadCartridge(cartridge), ccOk);
    EXPECT_EQ(loaded->Library().PlaylistCollection().Count(), 1);
    ASSERT_TRUE(loaded->SaveCartridge(cartridge));
    EXPECT_TRUE(QFile::exists(loaded->CartridgeIndexFile(cartridge)));
    EXPECT_TRUE(QFile::exists(oldIndex)) << "another cartridge of the name may still read it";

    // A cartridge of playlists alone with an old index is no empty one.
    loaded->DeleteAlbum(loaded->Library().AlbumList().Albums(0));
    const QString lists = folder.root.filePath(QStringLiteral("Lists.vst"));
    ASSERT_TRUE(loaded->SaveCartridge(lists));
    ASSERT_TRUE(QFile::rename(loaded->CartridgeIndexFile(lists), data + QStringLiteral("/Lists.pll")));
    EXPECT_EQ(makeStacker()->LoadCartridge(lists), ccOk);
}
