// Records loaded from a track-list file share the texts of their album; each
// record still reads, changes and stores its own values, and the index built
// over shared texts is the one built over records that share nothing.
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/taggerList.h"
#include "metadata/oggTagger.h"
#include "testRecords.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Genre as given (a text, or a number), and a date of the track's own.
struct Track {
    RecordSpec spec;
    QString genre;
    int genreByte = -1;
    QString date;
};

// Two albums of one artist in two folders, an album name found in two
// folders, a compilation, a track whose date differs from its album's, genres
// spelt as the table spells them, in other case and outside the table (kept
// with a number outside the table, or a load would name them by the number),
// a record without a folder and an Ogg record.
std::vector<Track> sampleTracks()
{
    return {
        { { QStringLiteral("North"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
              QStringLiteral("/m/n/fjord/1.mp3"), 1, 1000 },
            {}, 17, QStringLiteral("1999") },
        { { QStringLiteral("South"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
              QStringLiteral("/m/n/fjord/2.mp3"), 2, 1000 },
            {}, 17, QStringLiteral("1999") },
        { { QStringLiteral("West"), QStringLiteral("nordwave"), QStringLiteral("Fjord"),
              QStringLiteral("/m/n/fjord/3.mp3"), 3, 1000 },
            QStringLiteral("rock"), 200, QStringLiteral("1999") },
        { { QStringLiteral("East"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
              QStringLiteral("/m/n/fjord/4.mp3"), 4, 1000 },
            {}, 17, QStringLiteral("2001") },
        { { QStringLiteral("Bay"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"),
              QStringLiteral("/m/n/live/1.mp3"), 1, 1000 },
            QStringLiteral("Sea Shanty"), 255, {} },
        { { QStringLiteral("Love Song"), QStringLiteral("The Lanterns"), QStringLiteral("Mix"),
              QStringLiteral("/m/mix/1.mp3"), 1, 1000 },
            QStringLiteral("Pop"), 200, {} },
        { { QStringLiteral("Dim"), QStringLiteral("Ashes"), QStringLiteral("Mix"), QStringLiteral("/m/mix/2.mp3"), 2,
              1000 },
            {}, 13, {} },
        { { QStringLiteral("Loose"), QString(), QString(), QStringLiteral("loose.mp3"), 0, 1000 }, {}, -1, {} },
    };
}

TcustomTagger *makeTrack(const Track &track)
{
    TcustomTagger *record = MakeRecord(track.spec);
    if (!track.genre.isNull())
        record->SetGenre(track.genre);
    if (track.genreByte >= 0)
        record->SetGenreByte(quint8(track.genreByte));
    record->SetDate(track.date);
    return record;
}

// Every published value of a record as text, in stream order.
QStringList publishedValues(const TcustomTagger &record)
{
    QStringList values;
    for (const TaggerProperty &p : record.Properties()) {
        switch (p.kind) {
        case TaggerPropertyKind::Integer:
        case TaggerPropertyKind::Enumeration:
            values.append(QString::number(p.getInteger(record)));
            break;
        case TaggerPropertyKind::Float:
            values.append(QString::number(p.getFloat(record)));
            break;
        case TaggerPropertyKind::String:
            values.append(p.getString(record));
            break;
        case TaggerPropertyKind::Boolean:
            values.append(p.getBoolean(record) ? QStringLiteral("true") : QStringLiteral("false"));
            break;
        }
        values.last().prepend(QLatin1String(p.name) + u'=');
    }
    return values;
}

// What a reader must make of a record: its class, then each stored property
// given through the property table in stream order, as the file gives them.
std::unique_ptr<TcustomTagger> throughTheStream(const TcustomTagger &saved)
{
    std::unique_ptr<TcustomTagger> record = CreateTaggerByClassName(QString::fromLatin1(saved.ClassName()));
    for (const TaggerProperty &p : saved.Properties()) {
        switch (p.kind) {
        case TaggerPropertyKind::Integer:
        case TaggerPropertyKind::Enumeration:
            p.setInteger(*record, p.getInteger(saved));
            break;
        case TaggerPropertyKind::Float:
            if (p.getFloat(saved) != 0)
                p.setFloat(*record, p.getFloat(saved));
            break;
        case TaggerPropertyKind::String:
            if (!p.getString(saved).isEmpty())
                p.setString(*record, p.getString(saved));
            break;
        case TaggerPropertyKind::Boolean:
            p.setBoolean(*record, p.getBoolean(saved));
            break;
        }
    }
    return record;
}

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SharedTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Track &track : sampleTracks())
            made.Add(makeTrack(track));
        auto *ogg = new ToggTagger;
        ogg->SetFilename(QStringLiteral("/m/n/fjord/5.ogg"));
        ogg->SetTitle(QStringLiteral("Fifth"));
        ogg->SetArtist(QStringLiteral("Nordwave"));
        ogg->SetAlbum(QStringLiteral("Fjord"));
        ogg->SetDate(QStringLiteral("1999"));
        ogg->SetGenreByte(17);
        made.Add(ogg);
        file = dir.filePath(QStringLiteral("jukebox.dat"));
        ASSERT_TRUE(made.SaveListFile(file));
        loaded.LoadListFile(file, false);
        ASSERT_EQ(loaded.Count(), made.Count());
    }

    TcustomTagger *byTitle(const QString &title) const
    {
        for (TcustomTagger *record : loaded.Records())
            if (record->Title() == title)
                return record;
        return nullptr;
    }
    bool shareTexts(const char *a, const char *b) const
    {
        return byTitle(QString::fromUtf8(a))->Texts().constData() == byTitle(QString::fromUtf8(b))->Texts().constData();
    }

    QTemporaryDir dir;
    QString file;
    TtaggerList made;
    TtaggerList loaded;
};

} // namespace

TEST_F(SharedTexts, LoadedRecordsHoldWhatTheStoredPropertiesGiveThemAndSaveItAlike)
{
    TtaggerList expected;
    for (int i = 0; i < made.Count(); ++i) {
        expected.Add(throughTheStream(*made.Items(i)).release());
        EXPECT_EQ(publishedValues(*loaded.Items(i)), publishedValues(*expected.Items(i))) << i;
    }
    const QString again = dir.filePath(QStringLiteral("again.dat"));
    const QString expectedFile = dir.filePath(QStringLiteral("expected.dat"));
    ASSERT_TRUE(loaded.SaveListFile(again));
    ASSERT_TRUE(expected.SaveListFile(expectedFile));
    EXPECT_EQ(readAll(again), readAll(expectedFile));
}

TEST_F(SharedTexts, TracksOfOneAlbumInOneFolderShareOneBlockAndNoOtherTracksDo)
{
    // Same artist, album, date and folder; a genre of the table is no text
    // of the block, and the class does not matter.
    EXPECT_TRUE(shareTexts("North", "South"));
    EXPECT_TRUE(shareTexts("North", "Fifth"));
    // An artist spelt otherwise, a genre outside the table's spelling, a date
    // of its own, another folder: a block of their own.
    EXPECT_FALSE(shareTexts("North", "West"));
    EXPECT_FALSE(shareTexts("North", "East"));
    EXPECT_FALSE(shareTexts("North", "Bay"));
    EXPECT_FALSE(shareTexts("Love Song", "Dim"));
}

namespace {

struct TextChange {
    const char *name;
    std::function<void(TcustomTagger &)> change;
    std::function<QString(const TcustomTagger &)> read;
    // A genre of the table is no text of the block: the record keeps sharing.
    bool keepsSharing = false;
};

class ChangingASharedText : public SharedTexts, public ::testing::WithParamInterface<TextChange> { };

} // namespace

TEST_P(ChangingASharedText, ChangesOnlyTheRecordItIsMadeOn)
{
    TcustomTagger *north = byTitle(QStringLiteral("North"));
    TcustomTagger *south = byTitle(QStringLiteral("South"));
    ASSERT_EQ(north->Texts().constData(), south->Texts().constData());
    const QString before = GetParam().read(*south);
    const QStringList southBefore = publishedValues(*south);
    // A reference into the shared block stays good while another record changes.
    const QString &southArtist = south->Artist();

    GetParam().change(*north);

    EXPECT_NE(GetParam().read(*north), before);
    EXPECT_EQ(publishedValues(*south), southBefore);
    EXPECT_EQ(southArtist, QStringLiteral("Nordwave"));
    EXPECT_EQ(north->Texts().constData() == south->Texts().constData(), GetParam().keepsSharing);
}

INSTANTIATE_TEST_SUITE_P(EachText, ChangingASharedText,
    ::testing::Values(TextChange { "Artist", [](TcustomTagger &r) { r.SetArtist(QStringLiteral("Other")); },
                          [](const TcustomTagger &r) { return r.Artist(); } },
        TextChange { "Album", [](TcustomTagger &r) { r.SetAlbum(QStringLiteral("Other")); },
            [](const TcustomTagger &r) { return r.Album(); } },
        TextChange { "Date", [](TcustomTagger &r) { r.SetDate(QStringLiteral("2024")); },
            [](const TcustomTagger &r) { return r.Date(); } },
        TextChange { "GenreOutsideTheTable", [](TcustomTagger &r) { r.SetGenre(QStringLiteral("Polka Punk")); },
            [](const TcustomTagger &r) { return r.Genre(); } },
        TextChange { "GenreNumber", [](TcustomTagger &r) { r.SetGenreByte(8); },
            [](const TcustomTagger &r) { return r.Genre(); }, true },
        TextChange { "Folder", [](TcustomTagger &r) { r.SetFilename(QStringLiteral("/elsewhere/1.mp3")); },
            [](const TcustomTagger &r) { return r.Filename(); } },
        TextChange { "Cleared", [](TcustomTagger &r) { r.ReadTag(); },
            [](const TcustomTagger &r) { return r.Artist() + r.Album() + r.Date(); } }),
    [](const ::testing::TestParamInfo<TextChange> &info) { return std::string(info.param.name); });

TEST_F(SharedTexts, ACopySharesTheTextsAndStillFollowsTheGenreRule)
{
    TcustomTagger *west = byTitle(QStringLiteral("West"));
    ASSERT_EQ(west->Genre(), QStringLiteral("rock"));
    ASSERT_EQ(west->GenreByte(), 200);
    Tid3Tagger copy;
    copy.Assign(west);
    EXPECT_EQ(copy.Filename(), west->Filename());
    EXPECT_EQ(copy.Artist(), QStringLiteral("nordwave"));
    EXPECT_EQ(copy.Genre(), QStringLiteral("rock"));
    EXPECT_EQ(copy.GenreByte(), 200);
    EXPECT_EQ(copy.Texts().constData(), west->Texts().constData());

    // A copy of a record whose number is in the table takes the table's name.
    TcustomTagger *north = byTitle(QStringLiteral("North"));
    north->SetGenre(QStringLiteral("rock"));
    ASSERT_EQ(north->GenreByte(), 17);
    copy.Assign(north);
    EXPECT_EQ(copy.Genre(), QStringLiteral("Rock"));
    EXPECT_EQ(copy.GenreByte(), 17);
    EXPECT_EQ(north->Genre(), QStringLiteral("rock"));
}

namespace {

QStringList describe(Tmp3JukeBoxLists &library)
{
    QStringList lines;
    for (int i = 0; i < library.AlbumList().Count(); ++i) {
        TtagAlbum *album = library.AlbumList().Albums(i);
        QString line = QStringLiteral("album %1 by %2:").arg(album->AlbumName(), album->Artist());
        for (const TcustomTagger *r : album->Records())
            line += u' ' + r->Title();
        lines.append(line);
    }
    for (int i = 0; i < library.ArtistList().Count(); ++i) {
        TtagArtist *artist = library.ArtistList().Artists(i);
        QString line = QStringLiteral("artist %1 as %2:").arg(artist->Artist(), library.ArtistList().Keys(i));
        for (const TcustomTagger *r : artist->Records())
            line += u' ' + r->Title();
        for (int a = 0; a < artist->AlbumList().Count(); ++a)
            line += QStringLiteral(" [") + artist->AlbumList().Albums(a)->AlbumName() + u']';
        lines.append(line);
    }
    return lines;
}

} // namespace

TEST_F(SharedTexts, TheIndexOverSharedTextsIsTheIndexOverRecordsOfTheirOwn)
{
    Tmp3JukeBoxLists fromRecords;
    fromRecords.SuspendRebuild();
    for (const Track &track : sampleTracks())
        fromRecords.MasterList().Add(makeTrack(track));
    fromRecords.MasterList().AddCopy(made.Items(made.Count() - 1));
    fromRecords.ResumeRebuild();

    Tmp3JukeBoxLists fromFile;
    fromFile.MasterList().LoadListFile(file, false);

    const QStringList expected = describe(fromRecords);
    EXPECT_EQ(describe(fromFile), expected);
    // The compilation and the album name of two folders are there.
    EXPECT_TRUE(expected.contains(QStringLiteral("album Mix by Compilation: Love Song Dim")));
    EXPECT_TRUE(expected.contains(QStringLiteral("album Fjord by Nordwave: Bay")));
}
