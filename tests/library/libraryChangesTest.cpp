// The library taken through long random runs of the folder watch's batches:
// the index it keeps in place equals one built afresh from the same records,
// and a listener that follows only the change sets ends with the library.
#include "library/libraryUpdater.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "testRecords.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

// The index as text: the master list's order, every album and every artist
// with their names and tracks, in the index's order.
QStringList indexText(const Tmp3JukeBoxLists &library)
{
    const auto files = [](const TcustomTaggerList &list) {
        QStringList names;
        for (const TcustomTagger *record : list.Records())
            names.append(record->Filename());
        return names.join(u',');
    };
    QStringList text { files(library.MasterList()) };
    const TtagAlbumList &albums = library.AlbumList();
    for (int i = 0; i < albums.Count(); ++i) {
        const TtagAlbum *album = albums.Albums(i);
        text.append(QStringLiteral("album %1 / %2 / %3 / %4: %5")
                        .arg(album->AlbumName(), album->Artist())
                        .arg(album->IsCompilation())
                        .arg(album->DisplayType())
                        .arg(files(*album)));
    }
    const TtagArtistList &artists = library.ArtistList();
    for (int i = 0; i < artists.Count(); ++i) {
        const TtagArtist *artist = artists.Artists(i);
        QStringList albumNames;
        for (int a = 0; a < artist->AlbumList().Count(); ++a)
            albumNames.append(artist->AlbumList().Albums(a)->AlbumName() + u'@'
                              + artist->AlbumList().Albums(a)->Items(0)->Folder());
        text.append(QStringLiteral("artist %1 / %2: %3 [%4]")
                        .arg(artists.Keys(i), artist->Artist(), files(*artist), albumNames.join(u',')));
    }
    return text;
}

// The first line where two index texts differ, both ways; empty when equal.
QString firstDifference(const QStringList &kept, const QStringList &rebuilt)
{
    for (qsizetype i = 0; i < std::max(kept.size(), rebuilt.size()); ++i) {
        if (kept.value(i) != rebuilt.value(i))
            return QStringLiteral("kept:    %1\nrebuilt: %2").arg(kept.value(i), rebuilt.value(i));
    }
    return {};
}

QStringList rebuiltIndexText(const Tmp3JukeBoxLists &library)
{
    Tmp3JukeBoxLists fresh;
    fresh.SuspendRebuild();
    for (const TcustomTagger *record : library.MasterList().Records())
        fresh.MasterList().AddCopy(record)->SetUnavailable(record->Unavailable());
    fresh.ResumeRebuild();
    return indexText(fresh);
}

struct Copied {
    QString file, title, artist, album;
    bool unavailable = false;
    bool operator==(const Copied &) const = default;
};

Copied copyOf(const TcustomTagger &record)
{
    return { record.Filename(), record.Title(), record.Artist(), record.Album(), record.Unavailable() };
}

class LibraryChangeRun : public ::testing::TestWithParam<unsigned> {
protected:
    std::mt19937 random { GetParam() };
    Tmp3JukeBoxLists library;
    TlibraryUpdater updater { library };
    int titles = 0;

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    QString folder() { return QStringLiteral("/m/f%1/").arg(pick(12)); }
    std::unique_ptr<TcustomTagger> record(const QString &path)
    {
        // Few artists and albums, so that albums are shared, mixed (a
        // compilation) and emptied; "The" names have an alias; some tracks
        // have no artist or no album.
        static const char *const artistNames[] = { "The Reeds", "Marsh", "marsh", "Fen", "", "Compilation" };
        static const char *const albumNames[] = { "Low", "High", "", "Tide" };
        std::unique_ptr<TcustomTagger> made(MakeRecord({ QStringLiteral("t%1").arg(titles++, 5, 10, QChar(u'0')),
            QString::fromUtf8(artistNames[pick(6)]), QString::fromUtf8(albumNames[pick(4)]), path,
            quint32(pick(9)) }));
        made->SetModDateLow(quint32(titles));
        return made;
    }
    const TcustomTagger *any()
    {
        const auto &records = library.MasterList().Records();
        return records.empty() ? nullptr : records[size_t(pick(int(records.size())))];
    }

    TfolderChanges randomBatch()
    {
        TfolderChanges batch;
        for (int n = pick(4); n-- > 0;) {
            const QString path = folder() + QStringLiteral("n%1.mp3").arg(titles);
            batch.written.push_back({ path, record(path) });
        }
        const TcustomTagger *some = any();
        if (!some)
            return batch;
        switch (pick(6)) {
        case 0:
            batch.written.push_back({ some->Filename(), record(some->Filename()) });
            break;
        case 1:
            batch.removedFiles.append(some->Filename());
            break;
        case 2:
            batch.moves.push_back({ some->Filename(), folder() + QStringLiteral("m%1.mp3").arg(titles++), false });
            break;
        case 3:
            batch.moves.push_back({ some->Folder(), QStringLiteral("/m/r%1/").arg(titles++), true });
            break;
        case 4:
            batch.removedFolders.append(some->Folder());
            break;
        case 5:
            batch.listings.push_back({ some->Folder(), {} });
            break;
        }
        return batch;
    }
};

TEST_P(LibraryChangeRun, TheIndexKeptInPlaceEqualsOneBuiltAfreshAndTheChangeSetsCarryEveryChange)
{
    library.SuspendRebuild();
    for (int i = 0; i < 200; ++i) {
        const QString path = folder() + QStringLiteral("s%1.mp3").arg(i);
        library.MasterList().Add(record(path).release());
    }
    library.ResumeRebuild();

    std::map<const TcustomTagger *, Copied> copy;
    for (const TcustomTagger *record : library.MasterList().Records())
        copy[record] = copyOf(*record);
    int changeSets = 0;
    library.OnLibraryChanged = [&](const TlibraryChanges &changes) {
        ++changeSets;
        for (const TtaggerRef &record : changes.removed)
            copy.erase(record.get());
        for (const auto *records : { &changes.added, &changes.changed, &changes.unavailable, &changes.available })
            for (const TtaggerRef &record : *records)
                copy[record.get()] = copyOf(*record);
        for (const TrecordMove &move : changes.moved) {
            EXPECT_EQ(copy[move.record.get()].file, move.from);
            copy[move.record.get()] = copyOf(*move.record);
        }
    };
    int rebuilds = 0;
    library.OnListsUpdated = [&](TComponent *) { ++rebuilds; };

    for (int step = 0; step < 60; ++step) {
        TfolderChanges batch = randomBatch();
        updater.Apply(batch);
        ASSERT_EQ(firstDifference(indexText(library), rebuiltIndexText(library)), QString()) << "after step " << step;
    }
    std::map<const TcustomTagger *, Copied> actual;
    for (const TcustomTagger *record : library.MasterList().Records())
        actual[record] = copyOf(*record);
    EXPECT_EQ(copy, actual);
    EXPECT_GT(changeSets, 30);
    EXPECT_EQ(rebuilds, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, LibraryChangeRun, ::testing::Values(1u, 7u, 42u, 2024u));

} // namespace
