#include "../library/testRecords.h"
#include "libraryEditor.h"

#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "party/guestLibrary.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr quint64 kKey = 99;

// Few words, so that many tracks match a query and tie on their scores.
const QStringList kWords { "Love", "Glow", "Lo", "Sun", "Über", "Ubers", "Day", "Night", "A", "Blue", "Rain", "Song" };
const QStringList kArtists { "The Lanterns", "Lanterns", "Sunny", "Lovelace", "", "The Glow", "Rain Day" };
const QStringList kQueries { "a", "l", "lo", "u", "su", "love", "lantern", "uber", "day night", "the", "glow sun", "1",
    "song a", "zzz" };

struct ChangeCase {
    const char *name;
    TguestIndexLimits limits;
};
void PrintTo(const ChangeCase &change, std::ostream *os)
{
    *os << change.name;
}

// The guests' library kept in step by the library's change sets answers as
// one built anew from the library after each: the same search results in
// the same order, the same artists with the same albums, the same ids.
class GuestLibraryChanges : public ::testing::TestWithParam<ChangeCase> {
protected:
    GuestLibraryChanges()
    {
        library.SuspendRebuild();
        for (int i = 0; i < 300; ++i)
            library.MasterList().Add(newRecord(QStringLiteral("/m/f%1/").arg(random.bounded(12))));
        library.ResumeRebuild();
    }

    QString words(int count)
    {
        QStringList picked;
        for (int i = 0; i < count; ++i)
            picked << kWords[random.bounded(int(kWords.size()))];
        return picked.join(u' ');
    }

    Tid3Tagger *newRecord(const QString &folder)
    {
        return MakeRecord({ random.bounded(10) == 0 ? QString() : words(random.bounded(1, 3)),
            kArtists[random.bounded(int(kArtists.size()))], random.bounded(10) == 0 ? QString() : words(1),
            folder + QString::number(next++) + QStringLiteral(".mp3"), quint32(random.bounded(1, 9)) });
    }

    // Edits the library as the folder watch might, and names what changed.
    TlibraryChanges change()
    {
        LibraryEditor filing(library);
        std::set<TcustomTagger *> named;
        const std::vector<TcustomTagger *> records = library.MasterList().Records();
        const auto pick = [&]() -> TcustomTagger * {
            TcustomTagger *record = records[size_t(random.bounded(int(records.size())))];
            return named.insert(record).second ? record : nullptr;
        };
        for (int i = random.bounded(4); i > 0; --i) {
            if (TcustomTagger *record = pick())
                filing.Remove(record);
        }
        for (int i = random.bounded(4); i > 0; --i) {
            if (TcustomTagger *record = pick()) {
                filing.Change(record, [this](TcustomTagger &edited) {
                    edited.SetTitle(words(random.bounded(1, 3)));
                    edited.SetArtist(kArtists[random.bounded(int(kArtists.size()))]);
                    if (random.bounded(2))
                        edited.SetAlbum(words(1));
                });
            }
        }
        // A folder renamed: its tracks move, as many as are not named yet.
        const QString folder = QStringLiteral("/m/f%1/").arg(random.bounded(12));
        const QString renamed = QStringLiteral("/m/f%1/").arg(12 + next);
        for (TcustomTagger *record : records) {
            if (record->Folder() == folder && named.insert(record).second)
                filing.Move(record, renamed + record->NameInFolder());
        }
        for (int i = random.bounded(6); i > 0; --i)
            filing.Add(newRecord(QStringLiteral("/m/f%1/").arg(random.bounded(12))));
        return filing.Take();
    }

    static QStringList found(const TguestLibrary &guests, const QString &query)
    {
        QStringList files;
        for (const int index : guests.Search(query, TguestLibrary::kMaxResults))
            files << guests.Track(index).record->Filename();
        return files;
    }

    static QStringList listing(const TguestLibrary &guests)
    {
        QStringList lines;
        for (const TguestArtist &artist : guests.Artists()) {
            lines << QStringLiteral("%1 %2 %3").arg(artist.id).arg(artist.name).arg(artist.tracks);
            for (const int index : artist.albums) {
                const TguestAlbum &album = guests.Albums()[size_t(index)];
                lines << QStringLiteral("  %1 %2 / %3 %4")
                             .arg(album.id)
                             .arg(album.name, album.artist)
                             .arg(quintptr(album.album));
            }
        }
        return lines;
    }

    Tmp3JukeBoxLists library;
    QRandomGenerator random { 1 };
    int next = 0;
};

TEST_P(GuestLibraryChanges, AnswersAsOneBuiltAnew)
{
    TguestLibrary kept(library, kKey, GetParam().limits);
    for (int round = 0; round < 40; ++round) {
        const TlibraryChanges changes = change();
        kept.Apply(library, changes);
        const TguestLibrary fresh(library, kKey);
        SCOPED_TRACE(testing::Message() << "after change " << round);
        for (const QString &query : kQueries)
            ASSERT_EQ(found(kept, query), found(fresh, query)) << query.toStdString();
        ASSERT_EQ(listing(kept), listing(fresh));
        for (const TcustomTagger *record : library.MasterList().Records())
            ASSERT_EQ(kept.TrackById(kept.TrackIdOf(record->Filename())), record);
        for (const TrecordMove &move : changes.moved)
            EXPECT_EQ(kept.TrackById(kept.TrackIdOf(move.from)), nullptr) << "a moved track goes by its new name";
        for (const TtaggerRef &record : changes.removed)
            EXPECT_EQ(kept.TrackById(kept.TrackIdOf(record->Filename())), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(GuestSearch, GuestLibraryChanges,
    ::testing::Values(ChangeCase { "AsInTheProgram", {} },
        // Blocks of words split and dead slots compacted after nearly every
        // change.
        ChangeCase { "TidiedUpOften", { 8, 8 } }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
