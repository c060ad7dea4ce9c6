#include "coreFakes.h"
#include "coreTestFolder.h"
#include "pulseTestServer.h"

#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "playback/crossPlayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 44100;
constexpr int kWindow = kRate / 20; // 50 ms

// Relative power of one frequency in a window of the left channel (Goertzel).
double tonePower(const std::vector<qint16> &stereo, std::size_t firstFrame, double frequency)
{
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / kRate);
    double s1 = 0.0;
    double s2 = 0.0;
    for (int i = 0; i < kWindow; ++i) {
        const double s = stereo[2 * (firstFrame + std::size_t(i))] / 32768.0 + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / (kWindow * kWindow);
}

// Index of the first 50 ms window in which the tone is clearly audible; -1 when never.
int firstWindowWith(const std::vector<qint16> &stereo, double frequency)
{
    const std::size_t windows = stereo.size() / 2 / kWindow;
    for (std::size_t w = 0; w < windows; ++w)
        if (tonePower(stereo, w * kWindow, frequency) > 1e-4)
            return int(w);
    return -1;
}

void waitFor(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

TEST(CoreSound, QueueThenStackerThenLibraryPlayWithCrossFades)
{
    ASSERT_TRUE(PulseTestServer::UsePulseTestServer());
    TcoreTestFolder folder;
    const QString one = folder.addTrack(QStringLiteral("Q/1.mp3"), QStringLiteral("One"), QStringLiteral("A"),
                                        QStringLiteral("Queued"), 1, 440, 5.0);
    const QString gone = folder.addTrack(QStringLiteral("Q/2.mp3"), QStringLiteral("Gone"), QStringLiteral("A"),
                                         QStringLiteral("Queued"), 2, 550, 5.0);
    const QString two = folder.addTrack(QStringLiteral("Q/3.mp3"), QStringLiteral("Two"), QStringLiteral("A"),
                                        QStringLiteral("Queued"), 3, 660, 5.0);
    const QString stacked = folder.addTrack(QStringLiteral("S/1.mp3"), QStringLiteral("Stacked"), QStringLiteral("B"),
                                            QStringLiteral("Stack"), 1, 880, 5.0);

    TrecordedCore run(folder.options(false));
    TdmMain &core = run.core;
    const TrecordingFace &form = run.face;
    const TscriptedUi &ui = run.ui;
    ASSERT_TRUE(core.SoundOutputOpen()) << core.SoundOutputError().toStdString();
    core.StartUp();
    core.AddScannedFiles({one, two, stacked}, false);
    core.SetFadeInTime(300);
    core.SetFadeOutTime(2000);
    core.SetFadeInFromVolume(0);
    core.SetFadeOutToVolume(0);

    const TtagAlbumList &albums = core.jblMain().AlbumList();
    for (int i = 0; i < albums.Count(); ++i) {
        const TtagAlbum *album = albums.Albums(i);
        if (album->AlbumName() == QStringLiteral("Stack"))
            core.StackerAddAlbum(*album);
    }
    auto record = [&core](const QString &title) {
        for (TcustomTagger *r : core.jblMain().MasterList().Records())
            if (r->Title() == title)
                return r;
        return static_cast<TcustomTagger *>(nullptr);
    };
    core.QueueRecord(record(QStringLiteral("One")));
    core.QueueFile(gone);
    core.QueueRecord(record(QStringLiteral("Two")));
    ASSERT_EQ(core.tqQueue().Count(), 3);
    ASSERT_TRUE(QFile::remove(gone));
    core.SetStackerEnabled(true);

    PulseRecorder recorder;
    ASSERT_TRUE(recorder.start());
    core.Play();
    waitFor([&] { return form.tracks.size() >= 3; }, 20000);
    ASSERT_EQ(form.tracks.size(), 3) << form.tracks.join(QLatin1Char(',')).toStdString() << " / "
                                     << form.log.join(QLatin1Char(',')).toStdString() << " / "
                                     << ui.messages.join(QLatin1Char('|')).toStdString();
    // Two came from the queue, so the stacker stands idle.
    EXPECT_EQ(core.StackerTitle(), QStringLiteral("Inactive"));
    // From here on the library chooses.
    core.SetStackerEnabled(false);
    waitFor([&] { return form.tracks.size() >= 4; }, 20000);
    core.Stop();
    const std::vector<qint16> sound = recorder.stop();

    // Four tracks, and the stop, which ends the track shown at once.
    ASSERT_EQ(form.tracks.size(), 5) << form.log.join(QLatin1Char(',')).toStdString() << " / "
                                     << ui.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(form.tracks.last(), QString());
    // The vanished queued track gives way to the stacker, then the queue goes on.
    EXPECT_EQ(form.tracks.mid(0, 3), (QStringList{QStringLiteral("One"), QStringLiteral("Stacked"), QStringLiteral("Two")}));
    EXPECT_NE(form.tracks[3], QStringLiteral("Gone"));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_GT(form.positions, 0);

    // In the recording the tracks follow each other, and each change overlaps:
    // the next tone is audible before the previous one has gone.
    const int a = firstWindowWith(sound, 440);
    const int b = firstWindowWith(sound, 880);
    const int c = firstWindowWith(sound, 660);
    ASSERT_GE(a, 0);
    ASSERT_GT(b, a);
    ASSERT_GT(c, b);
    EXPECT_EQ(firstWindowWith(sound, 550), -1) << "the deleted queued track never sounds";
    auto audible = [&sound](int window, double frequency) {
        return tonePower(sound, std::size_t(window) * kWindow, frequency) > 1e-4;
    };
    auto overlap = [&](double outgoing, double incoming, int from) {
        int windows = 0;
        for (int w = from; w < from + 60 && std::size_t(w + 1) * kWindow * 2 <= sound.size(); ++w)
            windows += audible(w, outgoing) && audible(w, incoming);
        return windows;
    };
    // The fade-out is 2 s; with the 250 ms tick and a busy machine the two
    // tracks still sound together for a good part of it.
    EXPECT_GE(overlap(440, 880, b), 4) << "One still fades out while Stacked fades in";
    EXPECT_GE(overlap(880, 660, c), 4) << "Stacked still fades out while Two fades in";
}
