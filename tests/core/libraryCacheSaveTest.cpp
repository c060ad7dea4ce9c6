// The library cache saved in slices and written on a worker.
#include "core/libraryCacheSave.h"
#include "library/taggerList.h"
#include "metadata/id3Tagger.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    bool ended = false;
    bool written = false;
    QString errorText;
};

bool waitFor(const Outcome &outcome)
{
    QElapsedTimer waited;
    waited.start();
    while (!outcome.ended && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return outcome.ended;
}

} // namespace

TEST(LibraryCacheSave, WritesWhatASaveAtOnceWritesWhileTheLibraryLetsGoOfItsRecordsAndReportsAFailure)
{
    QTemporaryDir dir;
    auto library = std::make_unique<TtaggerList>();
    const size_t count = 3 * TlibraryCacheSave::kSliceRecords + 17;
    for (size_t i = 0; i < count; ++i) {
        auto *record = new Tid3Tagger;
        record->SetTitle(QStringLiteral("Title %1").arg(i));
        record->SetArtist(QStringLiteral("Artist %1").arg(i % 40));
        record->SetFilename(QStringLiteral("/music/%1.mp3").arg(i));
        library->Add(record);
    }
    const QString expected = dir.filePath(QStringLiteral("at-once.dat"));
    ASSERT_TRUE(library->SaveListFile(expected));

    TlibraryCacheSave save;
    Outcome outcome;
    save.OnSaved = [&](bool written, const QString &errorText) { outcome = {true, written, errorText}; };
    const QString file = dir.filePath(QStringLiteral("jukebox.dat"));
    save.Start(std::vector<TtaggerRef>(library->Records().begin(), library->Records().end()), file);
    EXPECT_TRUE(save.Running());
    // The library goes between two slices: the save holds what it writes.
    QCoreApplication::processEvents();
    library.reset();
    ASSERT_TRUE(waitFor(outcome));
    EXPECT_TRUE(outcome.written) << outcome.errorText.toStdString();
    EXPECT_FALSE(save.Running());
    QFile saved(file), atOnce(expected);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly) && atOnce.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), atOnce.readAll());

    // A write that fails is reported with its reason, not taken for done.
    auto *record = new Tid3Tagger;
    record->SetFilename(QStringLiteral("/music/one.mp3"));
    outcome = {};
    save.Start({TtaggerRef(record)}, dir.filePath(QStringLiteral("no such folder/jukebox.dat")));
    ASSERT_TRUE(waitFor(outcome));
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.errorText.isEmpty());
}

