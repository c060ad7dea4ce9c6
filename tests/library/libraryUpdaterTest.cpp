// What the folder watcher's batches do to a library, batch by batch.
#include "library/libraryUpdater.h"
#include "library/mp3JukeBoxLists.h"
#include "metadata/taggerRef.h"
#include "testRecords.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<TcustomTagger> freshRecord(const QString &path, const QString &title)
{
    std::unique_ptr<TcustomTagger> record(MakeRecord({ title, QStringLiteral("Reed"), QStringLiteral("Marsh"), path }));
    record->SetModDateLow(99);
    return record;
}

class LibraryUpdater : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.SuspendRebuild();
        for (const char *path : { "/m/marsh/1.mp3", "/m/marsh/2.mp3", "/m/marsh/cd2/3.mp3", "/m/fen/4.mp3",
                 "/m/fen/5.mp3", "/usb/6.mp3" }) {
            const QString name = QString::fromUtf8(path);
            TcustomTagger *record
                = MakeRecord({ name.section(u'/', -1), QStringLiteral("Reed"), QStringLiteral("Marsh"), name });
            record->SetModDateLow(7);
            library.MasterList().Add(record);
        }
        library.ResumeRebuild();
        // What the library held when it first announced the change.
        library.OnListsChanging = [this](TComponent *) {
            if (changing++ == 0)
                countAtFirstChanging = library.MasterList().Count();
        };
        library.OnListsUpdated = [this](TComponent *) { ++updated; };
        library.OnLibraryChanged = [this](const TlibraryChanges &changes) {
            ++announced;
            const auto names = [](const std::vector<TtaggerRef> &records) {
                QStringList paths;
                for (const TtaggerRef &record : records)
                    paths.append(record->Filename());
                paths.sort();
                return paths;
            };
            last = { names(changes.added), names(changes.removed), names(changes.changed), {},
                names(changes.unavailable), names(changes.available) };
            for (const TrecordMove &move : changes.moved)
                last.moved.append(move.from + QStringLiteral(" > ") + move.record->Filename());
            last.moved.sort();
        };
        updater.OnRemoving = [this](const TcustomTagger &record) { removed.append(record.Filename()); };
    }

    TcustomTagger *at(const char *path) const
    {
        for (TcustomTagger *record : library.MasterList().Records())
            if (record->Filename() == QString::fromUtf8(path))
                return record;
        return nullptr;
    }
    QStringList unavailable() const
    {
        QStringList paths;
        for (const TcustomTagger *record : library.MasterList().Records())
            if (record->Unavailable())
                paths.append(record->Filename());
        paths.sort();
        return paths;
    }
    TlibraryUpdater::Tresult apply(TfolderChanges changes) { return updater.Apply(changes); }

    QTemporaryDir dir;
    Tmp3JukeBoxLists library;
    TlibraryUpdater updater { library };
    int changing = 0;
    int countAtFirstChanging = -1;
    int updated = 0;
    // The change sets announced, and the last, by file name.
    int announced = 0;
    struct {
        QStringList added, removed, changed, moved, unavailable, available;
    } last;
    QStringList removed;
};

} // namespace

TEST_F(LibraryUpdater, ABatchIsOneAnnouncedChangeAndABatchThatChangesNothingIsNone)
{
    TfolderChanges nothing;
    nothing.removedFiles = { QStringLiteral("/m/never/was.mp3") };
    nothing.moves = { { QStringLiteral("/m/none/"), QStringLiteral("/m/other/"), true } };
    EXPECT_FALSE(apply(std::move(nothing)).changed);
    EXPECT_EQ(changing + updated + announced, 0);

    TfolderChanges some;
    some.removedFiles = { QStringLiteral("/m/fen/4.mp3") };
    some.written.push_back(
        { QStringLiteral("/m/fen/new.mp3"), freshRecord(QStringLiteral("/m/fen/new.mp3"), QStringLiteral("New")) });
    some.moves = { { QStringLiteral("/m/fen/5.mp3"), QStringLiteral("/m/fen/five.mp3"), false } };
    EXPECT_TRUE(apply(std::move(some)).changed);
    // One change set, and no rebuild of the whole.
    EXPECT_EQ(changing + updated, 0);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(last.removed, QStringList { QStringLiteral("/m/fen/4.mp3") });
    EXPECT_EQ(last.added, QStringList { QStringLiteral("/m/fen/new.mp3") });
    EXPECT_EQ(last.moved, QStringList { QStringLiteral("/m/fen/5.mp3 > /m/fen/five.mp3") });
    EXPECT_EQ(library.MasterList().Count(), 6);
    EXPECT_EQ(removed, QStringList { QStringLiteral("/m/fen/4.mp3") });
}

TEST_F(LibraryUpdater, RenamesKeepTheRecordsAndWhatHoldsThem)
{
    TtaggerRef one(at("/m/marsh/1.mp3"));
    TtaggerRef three(at("/m/marsh/cd2/3.mp3"));
    TtaggerRef two(at("/m/marsh/2.mp3"));
    TfolderChanges changes;
    // A folder and the one below it renamed, a file renamed twice, and a
    // file renamed over another, which it replaces.
    changes.moves = { { QStringLiteral("/m/marsh/"), QStringLiteral("/m/Reed/Marsh/"), true },
        { QStringLiteral("/m/Reed/Marsh/1.mp3"), QStringLiteral("/m/Reed/Marsh/a.mp3"), false },
        { QStringLiteral("/m/Reed/Marsh/a.mp3"), QStringLiteral("/m/Reed/Marsh/b.mp3"), false },
        { QStringLiteral("/m/Reed/Marsh/b.mp3"), QStringLiteral("/m/Reed/Marsh/2.mp3"), false } };
    EXPECT_TRUE(apply(std::move(changes)).changed);
    EXPECT_EQ(one->Filename(), QStringLiteral("/m/Reed/Marsh/2.mp3"));
    EXPECT_EQ(three->Filename(), QStringLiteral("/m/Reed/Marsh/cd2/3.mp3"));
    EXPECT_EQ(at("/m/Reed/Marsh/2.mp3"), one.get());
    EXPECT_EQ(removed, QStringList { QStringLiteral("/m/Reed/Marsh/2.mp3") });
    EXPECT_EQ(two.get()->Holders(), 1u) << "only this test holds the replaced record now";
    EXPECT_EQ(library.MasterList().Count(), 5);
    EXPECT_EQ(announced, 1);
    // A record renamed more than once is named once, with the name it had.
    EXPECT_EQ(last.moved,
        (QStringList { QStringLiteral("/m/marsh/1.mp3 > /m/Reed/Marsh/2.mp3"),
            QStringLiteral("/m/marsh/cd2/3.mp3 > /m/Reed/Marsh/cd2/3.mp3") }));
    EXPECT_EQ(last.removed, QStringList { QStringLiteral("/m/Reed/Marsh/2.mp3") });
}

TEST_F(LibraryUpdater, AWrittenFileIsReadIntoItsRecordOrAddedAndOneThatCouldNotBeReadChangesNothing)
{
    TtaggerRef held(at("/m/fen/4.mp3"));
    held->SetUnavailable(true);
    TfolderChanges changes;
    changes.written.push_back(
        { QStringLiteral("/m/fen/4.mp3"), freshRecord(QStringLiteral("/m/fen/4.mp3"), QStringLiteral("Retagged")) });
    changes.written.push_back(
        { QStringLiteral("/m/fen/9.mp3"), freshRecord(QStringLiteral("/m/fen/9.mp3"), QStringLiteral("Nine")) });
    changes.written.push_back({ QStringLiteral("/m/fen/5.mp3"), nullptr });
    EXPECT_TRUE(apply(std::move(changes)).changed);
    EXPECT_EQ(at("/m/fen/4.mp3"), held.get());
    EXPECT_EQ(held->Title(), QStringLiteral("Retagged"));
    EXPECT_EQ(held->ModDateLow(), 99u);
    EXPECT_FALSE(held->Unavailable());
    ASSERT_NE(at("/m/fen/9.mp3"), nullptr);
    EXPECT_EQ(at("/m/fen/9.mp3")->Title(), QStringLiteral("Nine"));
    EXPECT_EQ(at("/m/fen/5.mp3")->Title(), QStringLiteral("5.mp3"));
    // Both records of the folder with the same texts share one block.
    EXPECT_EQ(at("/m/fen/9.mp3")->Texts().constData(), held->Texts().constData());
    EXPECT_EQ(library.MasterList().Count(), 7);
}

TEST_F(LibraryUpdater, RemovedFilesAndFoldersLeaveTheLibraryButAHolderKeepsItsRecord)
{
    TtaggerRef queued(at("/m/marsh/cd2/3.mp3"));
    TfolderChanges changes;
    changes.removedFolders = { QStringLiteral("/m/marsh/") };
    changes.removedFiles = { QStringLiteral("/usb/6.mp3") };
    EXPECT_TRUE(apply(std::move(changes)).changed);
    removed.sort();
    EXPECT_EQ(removed,
        (QStringList { QStringLiteral("/m/marsh/1.mp3"), QStringLiteral("/m/marsh/2.mp3"),
            QStringLiteral("/m/marsh/cd2/3.mp3"), QStringLiteral("/usb/6.mp3") }));
    EXPECT_EQ(library.MasterList().Count(), 2);
    EXPECT_EQ(queued->Title(), QStringLiteral("3.mp3"));
}

TEST_F(LibraryUpdater, ALostFolderKeepsItsRecordsUnavailableUntilAListingShowsThem)
{
    TfolderChanges lost;
    lost.lostFolders = { QStringLiteral("/m/marsh/") };
    const TlibraryUpdater::Tresult result = apply(std::move(lost));
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.availability);
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(last.unavailable.size(), 3);
    EXPECT_EQ(unavailable(),
        (QStringList { QStringLiteral("/m/marsh/1.mp3"), QStringLiteral("/m/marsh/2.mp3"),
            QStringLiteral("/m/marsh/cd2/3.mp3") }));
    EXPECT_EQ(updater.LostFolders(), QStringList { QStringLiteral("/m/marsh/") });
    EXPECT_TRUE(removed.isEmpty());

    // The library loaded afresh: the marks come back.
    library.MasterList().Items(0)->SetUnavailable(false);
    EXPECT_TRUE(updater.MarkLost());
    EXPECT_EQ(unavailable().size(), 3);

    // Back, with one file changed since, one new, one gone and the folder
    // below not there.
    TfolderChanges back;
    back.listings.push_back({ QStringLiteral("/m/marsh/"),
        { { QStringLiteral("1.mp3"), WinFileTime { 0, 7 } }, { QStringLiteral("2.mp3"), WinFileTime { 0, 8 } },
            { QStringLiteral("new.mp3"), WinFileTime { 0, 1 } } } });
    back.listedTrees = { QStringLiteral("/m/marsh/") };
    TlibraryUpdater::Tresult listed = apply(std::move(back));
    EXPECT_FALSE(listed.changed);
    listed.toRead.sort();
    EXPECT_EQ(listed.toRead, (QStringList { QStringLiteral("/m/marsh/2.mp3"), QStringLiteral("/m/marsh/new.mp3") }));
    EXPECT_EQ(unavailable(), QStringList { QStringLiteral("/m/marsh/cd2/3.mp3") });
    EXPECT_TRUE(updater.LostFolders().isEmpty());
    EXPECT_EQ(library.MasterList().Count(), 6);
}

TEST_F(LibraryUpdater, ListingsSpreadOverBatchesMarkOnlyTheFoldersNotListedWhenTheTreeIsDone)
{
    TfolderChanges first;
    first.listings.push_back({ QStringLiteral("/m/marsh/"),
        { { QStringLiteral("1.mp3"), WinFileTime { 0, 7 } }, { QStringLiteral("2.mp3"), WinFileTime { 0, 7 } } } });
    first.listings.push_back(
        { QStringLiteral("/m/marsh/cd2/"), { { QStringLiteral("3.mp3"), WinFileTime { 0, 7 } } } });
    EXPECT_TRUE(apply(std::move(first)).toRead.isEmpty());
    TfolderChanges last;
    last.listedTrees = { QStringLiteral("/m/") };
    apply(std::move(last));
    // The folder never listed below the listed tree; the other music folder
    // is not touched.
    EXPECT_EQ(unavailable(), (QStringList { QStringLiteral("/m/fen/4.mp3"), QStringLiteral("/m/fen/5.mp3") }));
}

TEST_F(LibraryUpdater, AWalkThatOutlastsAReloadOfTheLibraryFindsTheRecordsLoadedSince)
{
    TfolderChanges first;
    first.listings.push_back({ QStringLiteral("/m/marsh/"),
        { { QStringLiteral("1.mp3"), WinFileTime { 0, 7 } }, { QStringLiteral("2.mp3"), WinFileTime { 0, 7 } } } });
    apply(std::move(first));

    // The library is loaded afresh meanwhile: other records, the same files.
    TtaggerList fresh;
    for (const char *path : { "/m/fen/4.mp3", "/m/fen/5.mp3" })
        fresh.Add(MakeRecord({ QStringLiteral("again"), {}, {}, QString::fromUtf8(path) }));
    const QString cache = dir.filePath(QStringLiteral("jukebox.dat"));
    ASSERT_TRUE(fresh.SaveListFile(cache));
    library.MasterList().LoadListFile(cache, false);
    ASSERT_EQ(library.MasterList().Count(), 2);

    TfolderChanges second;
    second.listings.push_back({ QStringLiteral("/m/fen/"), { { QStringLiteral("4.mp3"), WinFileTime { 0, 0 } } } });
    apply(std::move(second));
    EXPECT_EQ(unavailable(), QStringList { QStringLiteral("/m/fen/5.mp3") });
}
