#include "library/trackListFile.h"
#include "library/extendedFloat.h"
#include "library/taggerList.h"
#include "metadata/flacTagger.h"
#include "metadata/oggTagger.h"
#include "metadata/opusTagger.h"
#include "testRecords.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray entry(const char *name)
{
    return char(std::strlen(name)) + QByteArray(name);
}

Tid3Tagger *edgeCaseRecord()
{
    auto *r = MakeRecord({QStringLiteral("A"), {}, {}, QStringLiteral("c:/m/x.mp3"), 3});
    r->SetGenreByte(255);
    r->SetBitRate(128);
    r->SetSampleRate(44100);
    r->SetValidTag(true);
    return r;
}

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TrackListFile, RecordIsWrittenByteForByte)
{
    std::unique_ptr<Tid3Tagger> r(edgeCaseRecord());
    TtrackListWriter writer;
    writer.Write(*r);
    const QByteArray expected = QByteArray("TPF0") + entry("Tid3Tagger") + bytes({0}) + entry("Title") +
                                bytes({6, 1, 'A'}) + entry("Track") + bytes({2, 3}) + entry("GenreByte") +
                                bytes({3, 0xFF, 0}) + entry("Filename") + bytes({6, 10}) + "c:/m/x.mp3" +
                                entry("bitRate") + bytes({3, 0x80, 0}) + entry("SampleRate") +
                                bytes({4, 0x44, 0xAC, 0, 0}) + entry("ChannelMode") + bytes({2, 0}) +
                                entry("ValidTag") + bytes({9}) + entry("ModDateHigh") + bytes({2, 0}) +
                                entry("ModDateLow") + bytes({2, 0}) + entry("WriteType") + bytes({7, 6}) +
                                "wtBoth" + bytes({0, 0});
    EXPECT_EQ(writer.Data().toHex(' '), expected.toHex(' '));
}

TEST(TrackListFile, ValueEncodings)
{
    const TextendedBytes d = DoubleToExtended(225400.0);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(d.data()), 10).toHex(' '),
              QByteArray("00 00 00 00 00 00 1e dc 10 40"));
    for (double v : {0.0, -0.0, 1.0, -3.5, 1e-310, std::numeric_limits<double>::denorm_min(),
                     std::numeric_limits<double>::max(), 225400.4, std::numeric_limits<double>::infinity()}) {
        const double back = ExtendedToDouble(DoubleToExtended(v));
        EXPECT_EQ(back, v);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::nan("")))));
    // 1 + 2^-63 rounds to 1; 1 + 2^-53 + 2^-63 rounds up.
    EXPECT_EQ(ExtendedToDouble({1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), 1.0);
    EXPECT_EQ(ExtendedToDouble({1, 4, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}), 1.0 + std::ldexp(1.0, -52));
    EXPECT_EQ(ExtendedToDouble({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F}), std::numeric_limits<double>::infinity());

    auto r = std::make_unique<Tid3Tagger>();
    r->SetDuration(225400);
    r->SetModDateHigh(4294967295u);
    r->SetModDateLow(40000);
    r->SetTrack(70000);
    r->SetTypeFlags(QStringLiteral("ABCDEF"));
    r->SetWriteType(wtNone);
    r->SetTag(-5);
    r->SetTitle(QString(300, u'é'));
    TtrackListWriter writer;
    writer.Write(*r);
    const QByteArray data = writer.Data();
    EXPECT_TRUE(data.contains(entry("Tag") + bytes({2, 0xFB})));
    EXPECT_TRUE(data.contains(entry("Title") + bytes({0x0C, 0x58, 0x02, 0, 0})));
    EXPECT_TRUE(data.contains(entry("Duration") + bytes({5, 0, 0, 0, 0, 0, 0, 0x1E, 0xDC, 0x10, 0x40})));
    EXPECT_TRUE(data.contains(entry("ModDateHigh") + bytes({2, 0xFF})));
    EXPECT_TRUE(data.contains(entry("ModDateLow") + bytes({4, 0x40, 0x9C, 0, 0})));
    EXPECT_TRUE(data.contains(entry("Track") + bytes({4, 0x70, 0x11, 1, 0})));
    EXPECT_TRUE(data.contains(entry("WriteType") + bytes({7, 6}) + "wtNone"));
    EXPECT_TRUE(data.contains(entry("TypeFlags") + bytes({6, 4}) + "ABCD"));

    TtrackListReader reader(data);
    std::unique_ptr<TcustomTagger> back = reader.Next();
    ASSERT_TRUE(back);
    auto *id3 = dynamic_cast<Tid3Tagger *>(back.get());
    ASSERT_TRUE(id3);
    EXPECT_EQ(id3->Duration(), 225400);
    EXPECT_EQ(id3->ModDateHigh(), 4294967295u);
    EXPECT_EQ(id3->ModDateLow(), 40000u);
    EXPECT_EQ(id3->Track(), 70000u);
    EXPECT_EQ(id3->Tag(), -5);
    EXPECT_EQ(id3->TypeFlags(), QStringLiteral("ABCD"));
    EXPECT_EQ(id3->WriteType(), wtNone);
    EXPECT_EQ(id3->Title(), QString(300, u'é'));
    EXPECT_FALSE(reader.Next());
}

TEST(TrackListFile, SaveAndLoadKeepEveryRecordAndRaiseOneChange)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("jukebox.dat"));
    TtaggerList list;
    list.Add(edgeCaseRecord());
    auto *ogg = new ToggTagger;
    ogg->SetFilename(QStringLiteral("/m/ü.ogg"));
    ogg->SetTitle(QStringLiteral("Grüße"));
    ogg->SetArtist(QStringLiteral("Ärzte"));
    ogg->SetGenre(QStringLiteral("Rock"));
    ogg->SetDuration(1234.5);
    list.Add(ogg);
    ASSERT_TRUE(list.SaveListFile(file));

    TtaggerList loaded;
    int changes = 0;
    loaded.OnChange = [&](TComponent *) { ++changes; };
    loaded.LoadListFile(file, false);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_STREQ(loaded.Items(1)->ClassName(), "ToggTagger");
    EXPECT_EQ(loaded.Items(1)->Title(), QStringLiteral("Grüße"));
    EXPECT_EQ(loaded.Items(1)->GenreByte(), 17);
    EXPECT_EQ(loaded.Items(1)->Duration(), 1234.5);
    EXPECT_EQ(loaded.Items(0)->Filename(), QStringLiteral("c:/m/x.mp3"));

    // Saving what was loaded gives the same bytes.
    const QString again = dir.filePath(QStringLiteral("again.dat"));
    ASSERT_TRUE(loaded.SaveListFile(again));
    EXPECT_EQ(readAll(again), readAll(file));

    loaded.LoadListFile(file, true);
    EXPECT_EQ(loaded.Count(), 4);
    loaded.LoadListFile(dir.filePath(QStringLiteral("missing.dat")), false);
    EXPECT_EQ(loaded.Count(), 0);
    EXPECT_EQ(changes, 3);
}

TEST(TrackListFile, FlacAndOpusRecordsAreStoredUnderTheirOwnClassNames)
{
    const auto fill = [](TcustomTagger *record, const QString &name) {
        record->SetFilename(QStringLiteral("/music/") + name);
        record->SetTitle(QStringLiteral("Titel ") + name);
        record->SetArtist(QStringLiteral("Künstler"));
        record->SetAlbum(QStringLiteral("Album"));
        record->SetDate(QStringLiteral("2021"));
        record->SetTrack(7);
        record->SetGenre(QStringLiteral("Jazz"));
        record->SetDuration(61234.5);
        record->SetBitRate(912345);
        record->SetSampleRate(96000);
        record->SetChannelMode(2);
        record->SetValidTag(true);
        record->SetModDateHigh(0x01D9ABCD);
        record->SetModDateLow(0x89ABCDEF);
        return record;
    };
    TtaggerList list;
    list.Add(edgeCaseRecord());
    list.Add(fill(new TflacTagger, QStringLiteral("a.flac")));
    list.Add(fill(new ToggTagger, QStringLiteral("b.ogg")));
    list.Add(fill(new TopusTagger, QStringLiteral("c.opus")));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("jukebox.dat"));
    ASSERT_TRUE(list.SaveListFile(file));

    // The same published properties as an Ogg record: only the class name differs.
    TtrackListWriter flac;
    flac.Write(*list.Items(1));
    TtrackListWriter ogg;
    ogg.Write(*fill(std::make_unique<ToggTagger>().get(), QStringLiteral("a.flac")));
    EXPECT_EQ(flac.Data(), QByteArray(ogg.Data()).replace("\x0AToggTagger", "\x0BTflacTagger"));

    TtaggerList loaded;
    loaded.LoadListFile(file, false);
    ASSERT_EQ(loaded.Count(), 4);
    const char *classes[] = { "Tid3Tagger", "TflacTagger", "ToggTagger", "TopusTagger" };
    for (int i = 0; i < 4; ++i) {
        const TcustomTagger &before = *list.Items(i);
        const TcustomTagger &after = *loaded.Items(i);
        EXPECT_STREQ(after.ClassName(), classes[i]);
        EXPECT_EQ(after.Filename(), before.Filename());
        EXPECT_EQ(after.Title(), before.Title());
        EXPECT_EQ(after.Artist(), before.Artist());
        EXPECT_EQ(after.GenreByte(), before.GenreByte());
        EXPECT_EQ(after.Duration(), before.Duration());
        EXPECT_EQ(after.bitRate(), before.bitRate());
        EXPECT_EQ(after.SampleRate(), before.SampleRate());
        EXPECT_EQ(after.ModDateLow(), before.ModDateLow());
        EXPECT_EQ(after.GetChannelModeText(), before.GetChannelModeText());
    }
    const QString again = dir.filePath(QStringLiteral("again.dat"));
    ASSERT_TRUE(loaded.SaveListFile(again));
    EXPECT_EQ(readAll(again), readAll(file));
}

TEST(TrackListFile, DamagedRecordsAreSkipped)
{
    auto record = [](const QString &title) {
        std::unique_ptr<Tid3Tagger> r(edgeCaseRecord());
        r->SetTitle(title);
        TtrackListWriter w;
        w.Write(*r);
        return w.Data();
    };
    const QByteArray good1 = record(QStringLiteral("first"));
    const QByteArray good2 = record(QStringLiteral("last"));
    QByteArray unknownProperty = record(QStringLiteral("bad"));
    unknownProperty.replace("Track", "Trick");
    QByteArray wrongType = record(QStringLiteral("bad"));
    wrongType.replace(entry("ValidTag") + bytes({9}), entry("ValidTag") + bytes({2, 1}));
    QByteArray unknownClass = record(QStringLiteral("bad"));
    unknownClass.replace("Tid3Tagger", "TfooTagger");
    QByteArray badEnum = record(QStringLiteral("bad"));
    badEnum.replace("wtBoth", "wtXxxx");
    const QByteArray garbage("\x01\x02garbage-bytes-here", 19);

    auto titlesOf = [](const QByteArray &data, int *skipped = nullptr) {
        QStringList titles;
        TtrackListReader reader(data);
        while (auto r = reader.Next())
            titles.append(r->Title());
        if (skipped)
            *skipped = reader.Skipped();
        return titles;
    };
    for (const QByteArray &damaged : {unknownProperty, wrongType, unknownClass, badEnum, garbage}) {
        int skipped = 0;
        EXPECT_EQ(titlesOf(good1 + damaged + good2, &skipped), (QStringList{"first", "last"}));
        EXPECT_GE(skipped, 1);
    }
    // Cut anywhere: the intact records before the cut are kept.
    const QByteArray all = good1 + good2;
    for (qsizetype cut = 0; cut < all.size(); ++cut) {
        const QStringList titles = titlesOf(all.left(cut));
        EXPECT_EQ(titles.size(), cut >= good1.size() ? 1 : 0) << cut;
    }
    // The base class is readable although never written.
    QByteArray base = good1;
    base.replace("\x0aTid3Tagger", "\x0dTcustomTagger");
    base.replace(entry("WriteType") + bytes({7, 6}) + "wtBoth", QByteArray());
    EXPECT_EQ(titlesOf(base), QStringList{"first"});
}

TEST(TrackListFile, DiscCachesStoreMountPointRelativeNames)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("1234ABCD.dat"));
    TtaggerList disc;
    disc.Add(MakeRecord({QStringLiteral("x"), {}, {}, QStringLiteral("/media/cdrom0/music/x.mp3")}));
    disc.Add(MakeRecord({QStringLiteral("y"), {}, {}, QStringLiteral("/elsewhere/y.mp3")}));
    ASSERT_TRUE(disc.SaveListFile(file, QStringLiteral("/media/cdrom0/")));
    EXPECT_TRUE(readAll(file).contains("cdrom:music/x.mp3"));

    TtaggerList loaded;
    loaded.LoadListFile(file, false, QStringLiteral("/run/media/me/DISC"));
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded.Items(0)->Filename(), QStringLiteral("/run/media/me/DISC/music/x.mp3"));
    EXPECT_EQ(loaded.Items(1)->Filename(), QStringLiteral("/elsewhere/y.mp3"));
}

TEST(DamagedTrackList, TheReportCountsTheRecordsADamagedRecordSwallowed)
{
    QTemporaryDir dir;
    TtaggerList list;
    for (int i = 0; i < 18; ++i)
        list.Add(MakeRecord({QStringLiteral("T%1").arg(i), QStringLiteral("A"), QStringLiteral("B"),
                             QStringLiteral("/m/%1.mp3").arg(i)}));
    const QString file = dir.filePath(QStringLiteral("jukebox.dat"));
    ASSERT_TRUE(list.SaveListFile(file));
    QByteArray bytes = readAll(file);
    // The length of the fourth record's title, flipped to a long one: the
    // reader takes the records behind it for that title.
    const qsizetype title = bytes.indexOf("\x05Title\x06\x02T3");
    ASSERT_GT(title, 0);
    bytes[title + 7] = char(0xF0);
    {
        QFile damaged(file);
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes);
    }

    TtaggerList loaded;
    TlistFileReport report;
    loaded.LoadListFile(file, false, QString(), &report);
    EXPECT_EQ(report.records + report.lost, 18);
    EXPECT_EQ(report.records, loaded.Count());
    EXPECT_LT(loaded.Count(), 17);
    EXPECT_TRUE(report.Problem().contains(QStringLiteral("of its 18 track records"))) << report.Problem().toStdString();

    TlistFileReport whole;
    list.SaveListFile(file);
    loaded.LoadListFile(file, false, QString(), &whole);
    EXPECT_EQ(whole.Problem(), QString());
    loaded.LoadListFile(dir.filePath(QStringLiteral("absent.dat")), false, QString(), &whole);
    EXPECT_EQ(whole.Problem(), QString()) << "a missing cache holds no track; it is not damaged";
}
