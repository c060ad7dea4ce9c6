#include "modalDialogDriver.h"

#include "core/alarmClock.h"
#include "core/dmMain.h"
#include "coreFakes.h"
#include "coreTestFolder.h"
#include "library/mp3JukeBoxLists.h"
#include "metadata/id3Tagger.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/fileChooser.h"
#include "ui/forms/frmAbout.h"
#include "ui/forms/frmAlarmSettings.h"
#include "ui/forms/frmProgress.h"
#include "ui/forms/frmQueueMoveTo.h"
#include "ui/forms/treeLook.h"
#include "ui/skinArt/builtInSkin.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <QTimeEdit>
#include <QTreeView>
#include <gtest/gtest.h>
#include <optional>

// --- the move-to box --------------------------------------------------------

TEST(QueueMoveTo, OffersThePositionsFromOneAndGivesTheRowFromZero)
{
    TfrmQueueMoveTo box;
    int target = -1;
    // Fewer than two tracks, or no selected row: nothing opens.
    EXPECT_FALSE(box.Execute(1, 0, QPoint(10, 10), &target));
    EXPECT_FALSE(box.Execute(5, -1, QPoint(10, 10), &target));
    EXPECT_FALSE(box.Execute(5, 5, QPoint(10, 10), &target));
    EXPECT_EQ(target, -1);

    TmodalDialogDriver driver;
    driver.Expect<TfrmQueueMoveTo>([](TfrmQueueMoveTo *shown) {
        EXPECT_EQ(shown->pos(), QPoint(40, 50));
        EXPECT_TRUE(shown->windowFlags().testFlag(Qt::FramelessWindowHint));
        auto *spin = shown->findChild<QSpinBox *>(QStringLiteral("speQueueMove"));
        EXPECT_EQ(spin->minimum(), 1);
        EXPECT_EQ(spin->maximum(), 5);
        EXPECT_EQ(spin->value(), 3) << "the selected row, counted from 1";
        EXPECT_EQ(spin->toolTip(), QStringLiteral("This is the position to move the song to"));
        // The position is selected: typing replaces it, and Enter is OK.
        QTest::keyClicks(spin, QStringLiteral("5"));
        QTest::keyClick(spin, Qt::Key_Return);
    });
    ASSERT_TRUE(box.Execute(5, 2, QPoint(40, 50), &target));
    EXPECT_EQ(target, 4);

    target = -1;
    driver.Expect<TfrmQueueMoveTo>([](TfrmQueueMoveTo *shown) {
        shown->findChild<QSpinBox *>()->setValue(1);
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_FALSE(box.Execute(5, 2, QPoint(40, 50), &target));
    EXPECT_EQ(target, -1) << "Cancel moves nothing";
}

TEST(QueueMoveTo, IsAsWideAsItsButtonsAndStaysOnTheScreen)
{
    TfrmQueueMoveTo box;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    box.Prepare(120, 0, screen.bottomRight() - QPoint(5, 5));
    EXPECT_TRUE(screen.contains(box.frameGeometry())) << "placed beside a button at the screen's corner";
    auto *ok = box.findChild<QAbstractButton *>(QStringLiteral("btnOK"));
    auto *cancel = box.findChild<QAbstractButton *>(QStringLiteral("btnCancel"));
    auto *spin = box.findChild<QSpinBox *>();
    EXPECT_EQ(spin->width(), ok->width());
    EXPECT_EQ(cancel->width(), ok->width());
    EXPECT_GE(cancel->width(), cancel->sizeHint().width()) << "no caption is cut";
    EXPECT_LE(box.width() - ok->width(), 12) << "one column";
}

// --- the alarm settings -----------------------------------------------------

namespace {

struct AlarmSettings : ::testing::Test {
    TalarmClock alarms;
    TfrmAlarmSettings dialog;
    TmodalDialogDriver driver;
    int turnedOn = 0;

    void SetUp() override
    {
        alarms.OnTimeOn = [this] { ++turnedOn; };
        alarms.SetUseTimeOn(true);
        alarms.SetTimeOn(QTime(6, 30));
        alarms.SetTimeOff(QTime(23, 15));
    }

    template <typename T> static T *part(QWidget *dialog, const char *name)
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
};

} // namespace

TEST_F(AlarmSettings, ShowTheAlarmsAndUseAPickerOnlyWhileItsAlarmIsArmed)
{
    driver.Expect<TfrmAlarmSettings>([](TfrmAlarmSettings *shown) {
        EXPECT_EQ(shown->windowTitle(), QStringLiteral("Alarm Clock Settings"));
        auto *useOn = part<QCheckBox>(shown, "cbUseTimeOn");
        auto *useOff = part<QCheckBox>(shown, "cbUseTimeOff");
        auto *onTime = part<QTimeEdit>(shown, "dtpOnTime");
        auto *offTime = part<QTimeEdit>(shown, "dtpOffTime");
        EXPECT_EQ(useOn->text(), QStringLiteral("Use Turn On alarm"));
        EXPECT_EQ(useOff->text(), QStringLiteral("Use Turn Off alarm"));
        EXPECT_TRUE(useOn->isChecked());
        EXPECT_FALSE(useOff->isChecked());
        EXPECT_EQ(onTime->time(), QTime(6, 30));
        EXPECT_EQ(offTime->time(), QTime(23, 15));
        EXPECT_TRUE(onTime->isEnabled());
        EXPECT_FALSE(offTime->isEnabled());

        QTest::mouseClick(useOff, Qt::LeftButton);
        EXPECT_TRUE(offTime->isEnabled());
        QTest::mouseClick(useOn, Qt::LeftButton);
        EXPECT_FALSE(onTime->isEnabled());
        EXPECT_TRUE(offTime->isEnabled());
        offTime->setTime(QTime(22, 0));
        PressButton(shown, "btnOK");
    });
    ASSERT_TRUE(dialog.Execute(alarms));
    EXPECT_FALSE(alarms.UseTimeOn());
    EXPECT_EQ(alarms.TimeOn(), QTime(6, 30));
    EXPECT_TRUE(alarms.UseTimeOff());
    EXPECT_EQ(alarms.TimeOff(), QTime(22, 0));
}

TEST_F(AlarmSettings, CancelAndEscapeChangeNothing)
{
    for (bool escape : { false, true }) {
        driver.Expect<TfrmAlarmSettings>([escape](TfrmAlarmSettings *shown) {
            QTest::mouseClick(part<QCheckBox>(shown, "cbUseTimeOn"), Qt::LeftButton);
            part<QTimeEdit>(shown, "dtpOffTime")->setTime(QTime(1, 2));
            if (escape)
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                PressButton(shown, "btnCancel");
        });
        EXPECT_FALSE(dialog.Execute(alarms));
        EXPECT_TRUE(alarms.UseTimeOn());
        EXPECT_EQ(alarms.TimeOff(), QTime(23, 15));
    }
}

TEST_F(AlarmSettings, OKArmsAnAlarmThatAlreadyFiredTodayAgain)
{
    alarms.Check(QTime(7, 0));
    alarms.Check(QTime(7, 1));
    ASSERT_EQ(turnedOn, 1);
    driver.Expect<TfrmAlarmSettings>([](TfrmAlarmSettings *shown) { PressButton(shown, "btnOK"); });
    ASSERT_TRUE(dialog.Execute(alarms));
    alarms.Check(QTime(7, 2));
    EXPECT_EQ(turnedOn, 2) << "an alarm set in the past goes off at the next check";
}

// --- the progress window ----------------------------------------------------

namespace {

void addRecords(Tmp3JukeBoxLists &lists, int count)
{
    lists.SuspendRebuild();
    for (int i = 0; i < count; ++i) {
        auto *record = new Tid3Tagger;
        record->SetTitle(QStringLiteral("Song %1").arg(i));
        record->SetArtist(QStringLiteral("Artist %1").arg(i % 7));
        record->SetAlbum(QStringLiteral("Album %1").arg(i % 13));
        record->SetFilename(QStringLiteral("/m/%1.mp3").arg(i));
        lists.MasterList().Add(record);
    }
}

} // namespace

// A face that makes the core's work slow enough for the progress window to
// appear, and looks at the window when the work ends.
class TslowFace : public TcoreListener {
public:
    explicit TslowFace(const TfrmProgress &window)
        : m_window(window)
    {
    }

    void TaskStarted(TcoreTask, const QString &, int) override
    {
        // An event that only an event loop would run.
        if (!m_guard)
            QTimer::singleShot(0, &m_guard.emplace(), [this] { otherEventRan = true; });
    }
    void TaskProgress(TcoreTask, int) override
    {
        ++steps;
        QThread::usleep(1500);
    }
    void TaskFinished(TcoreTask) override
    {
        if (finished++ > 0)
            return;
        seenVisible = m_window.isVisible();
        stepSeen = m_window.findChild<QLabel *>(QStringLiteral("lblStep"))->text();
        barMaximum = m_window.findChild<QProgressBar *>()->maximum();
    }

    int steps = 0;
    int finished = 0;
    bool otherEventRan = false;
    bool seenVisible = false;
    QString stepSeen;
    int barMaximum = 0;

private:
    const TfrmProgress &m_window;
    // Cancels the event with the test, should it never run here.
    std::optional<QObject> m_guard;
};

TEST(Progress, FollowsTheCoresLongWorkWithoutLettingOtherEventsRun)
{
    TcoreTestFolder folder;
    {
        QDir().mkpath(folder.home() + QStringLiteral("/Data"));
        Tmp3JukeBoxLists lists;
        addRecords(lists, 400);
        ASSERT_TRUE(lists.MasterList().SaveListFile(folder.home() + QStringLiteral("/Data/jukebox.dat")));
    }
    TfrmProgress window;
    TslowFace slow(window);
    TrecordedCore run(folder.options());
    const TcoreSubscription slowSubscription = run.core.Subscribe(slow);
    {
        const TprogressFollower follower(window, run.core);
        run.core.StartUp();
        EXPECT_FALSE(window.isVisible()) << "closed at the end";
    }
    EXPECT_TRUE(slow.seenVisible);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Loading the library"));
    EXPECT_EQ(slow.stepSeen, QStringLiteral("400 of 400"));
    EXPECT_EQ(slow.barMaximum, 400);
    EXPECT_GE(slow.steps, 400) << "every face hears the progress";
    EXPECT_FALSE(slow.otherEventRan) << "no event loop ran during the work";

    // The follower is gone: the window stays shut through the next load.
    slow.finished = 0;
    run.core.StartUp();
    EXPECT_GE(slow.finished, 1);
    EXPECT_FALSE(slow.seenVisible);
}

TEST(Progress, ShortWorkShowsNothingAndNestedWorkGivesTheOuterBack)
{
    TfrmProgress window;
    window.Begin(QStringLiteral("Adding a playlist"), 3);
    for (int i = 0; i < 3; ++i)
        window.Step(i, QStringLiteral("step"));
    EXPECT_FALSE(window.isVisible()) << "over at once";
    window.End();
    EXPECT_FALSE(window.Busy());

    window.Begin(QStringLiteral("Scanning the CD"), 10);
    QThread::msleep(300);
    window.Step(4, QStringLiteral("5 of 10"));
    ASSERT_TRUE(window.isVisible());
    auto *bar = window.findChild<QProgressBar *>();
    EXPECT_EQ(bar->value(), 5);
    window.Begin(QStringLiteral("Rebuilding the index"), 1000);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Rebuilding the index"));
    window.Step(999, QStringLiteral("1,000 of 1,000"));
    EXPECT_EQ(bar->maximum(), 1000);
    window.End();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Scanning the CD"));
    EXPECT_EQ(bar->maximum(), 10);
    window.End();
    EXPECT_FALSE(window.isVisible());
    window.End();
    EXPECT_FALSE(window.Busy());
}

// --- the about box ----------------------------------------------------------

TEST(About, NamesTheProgramItsBuildAndTheLibrariesItRunsOn)
{
    TfrmAbout about;
    auto text = [&about](const char *name) { return about.findChild<QLabel *>(QString::fromLatin1(name))->text(); };
    EXPECT_EQ(text("lblName"), QStringLiteral("Vorlen Mp3 Jukebox"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+ \\(commit ([0-9a-f]{7,}(-dirty)?|unknown)\\)$"))
            .match(text("lblVersion"))
            .hasMatch())
        << text("lblVersion").toStdString();
    const QStringList libraries = text("lblLibraries").split(QLatin1Char('\n'));
    ASSERT_EQ(libraries.size(), 4);
    EXPECT_EQ(libraries[0], QStringLiteral("Qt ") + QString::fromLatin1(qVersion()));
    EXPECT_TRUE(libraries[1].startsWith(QStringLiteral("FFmpeg ")) && libraries[1].size() > 7);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^SDL 2\\.\\d+\\.\\d+$")).match(libraries[2]).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^FFTW 3\\.\\d+")).match(libraries[3]).hasMatch());

    TmodalDialogDriver driver;
    driver.Expect<TfrmAbout>([](TfrmAbout *shown) { QTest::keyClick(shown, Qt::Key_Return); });
    about.Execute();
}

// --- file filters and the tree's look ---------------------------------------

TEST(FileChooser, FiltersTakeThePatternsTheyApply)
{
    const QString filters = DialogNameFilters(QStringLiteral(
        "All Music Files (*.mp3;*.mp2;*.ogg;*.wma)|*.mp3;*.mp2;*.ogg;*.wma|Mp3, Mp2 Files (*.mp3;*.mp3)|*.mp3;*.mp2"));
    EXPECT_EQ(filters, QStringLiteral("All Music Files (*.mp3 *.mp2 *.ogg *.wma);;Mp3, Mp2 Files (*.mp3 *.mp2)"));
    QFileDialog dialog;
    dialog.setNameFilter(filters);
    EXPECT_EQ(dialog.nameFilters().size(), 2);
    EXPECT_EQ(DialogNameFilters(QStringLiteral("Stacker Cartridges (*.vst)|*.vst")),
        QStringLiteral("Stacker Cartridges (*.vst)"));
}

TEST(FileChooser, TheQueueFileDialogOffersFlacAndOpusFiles)
{
    const QString filters = DialogNameFilters(QString::fromLatin1(TdmMain::kMusicFileFilter));
    QFileDialog dialog;
    dialog.setNameFilter(filters);
    const QStringList offered = dialog.nameFilters();
    EXPECT_EQ(offered,
        (QStringList { QStringLiteral("All Music Files (*.mp3 *.mp2 *.ogg *.wma *.flac *.opus)"),
            QStringLiteral("Mp3, Mp2 Files (*.mp3 *.mp2)"), QStringLiteral("OGG Files (*.ogg)"),
            QStringLiteral("WMA Files (*.wma)"), QStringLiteral("FLAC Files (*.flac)"),
            QStringLiteral("Opus Files (*.opus)") }));
}

namespace {

// The delegate's choice of picture for a row, as a view would ask it.
struct DelegateProbe : TtreeImageDelegate {
    QImage imageFor(const QModelIndex &index, bool selected) const
    {
        QStyleOptionViewItem option;
        if (selected)
            option.state |= QStyle::State_Selected;
        initStyleOption(&option, index);
        const QIcon::Mode mode = selected ? QIcon::Selected : QIcon::Normal;
        return option.icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
};

} // namespace

TEST(TreeLook, EachNodeShowsItsTreeImage)
{
    Tmp3JukeBoxLists lists;
    addRecords(lists, 2);
    lists.ResumeRebuild();
    TtreeNodes nodes;
    TtreeNodesModel model(nodes);
    QList<TtreeNode> roots;
    lists.FillArtistTree(nodes, roots);
    DelegateProbe probe;
    auto image = [](int index) { return BuiltInTreeImage(index); };

    const QModelIndex letterA = model.IndexOf(roots[0]);
    const QModelIndex letterB = model.IndexOf(roots[1]);
    const QModelIndex artist = model.index(0, 0, letterA);
    const QModelIndex album = model.index(0, 0, artist);
    EXPECT_EQ(probe.imageFor(letterA, false), image(0));
    EXPECT_EQ(probe.imageFor(letterA, true), image(1)) << "the selected picture is not tinted";
    EXPECT_EQ(probe.imageFor(letterB, false), image(2));
    EXPECT_EQ(probe.imageFor(artist, false), image(3));
    EXPECT_EQ(probe.imageFor(album, false), image(5));
    EXPECT_EQ(probe.imageFor(album, true), image(6)) << "a selected album without tracks shown";
    nodes.Expand(model.NodeAt(artist));
    EXPECT_EQ(probe.imageFor(letterA, false), image(1));
    EXPECT_EQ(probe.imageFor(artist, false), image(4));

    // The stacker's tree: albums with their tracks, and playlists.
    lists.FillAlbumTree(nodes, true, true);
    const QModelIndex stackerAlbum = model.index(0, 0);
    EXPECT_EQ(probe.imageFor(stackerAlbum, true), image(5)) << "selected, but closed over its tracks";
    EXPECT_EQ(probe.imageFor(model.index(0, 0, stackerAlbum), false), image(7));
}
