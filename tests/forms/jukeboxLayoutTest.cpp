// The jukebox window at the sizes people run it at, playing a track whose
// title, artist and album are far longer than any screen: with each panel
// shown or hidden, no control may cover another one and no button may leave
// its bar.
#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "playback/crossPlayer.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/jukeboxActions.h"
#include "ui/forms/jukeboxLabels.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// What the window is asked to show or hide before it is looked at.
struct LayoutCase {
    QSize size;
    const char *name;
    std::vector<TjukeboxCommand> toggles;
};

std::string PrintCase(const ::testing::TestParamInfo<LayoutCase> &info)
{
    return std::to_string(info.param.size.width()) + "x" + std::to_string(info.param.size.height()) + "_"
        + info.param.name;
}

QString Long(const QString &word)
{
    QString text;
    while (text.size() < 200)
        text += word + QLatin1Char(' ');
    return text.left(200);
}

bool Shown(const QWidget &widget)
{
    if (!widget.isVisible() || widget.width() <= 0 || widget.height() <= 0)
        return false;
    if (const auto *label = dynamic_cast<const TdravoLabel *>(&widget))
        return !label->Caption().isEmpty();
    return true;
}

// Siblings that lie over one another by design: a list and the skinned bar
// that covers its own scroll bar, the labels drawn over the album cover.
bool MayOverlap(const QWidget &a, const QWidget &b)
{
    auto either = [&](auto first, auto second) { return (first(a) && second(b)) || (first(b) && second(a)); };
    auto isList = [](const QWidget &w) { return qobject_cast<const QAbstractItemView *>(&w) != nullptr; };
    auto isBar = [](const QWidget &w) { return dynamic_cast<const TvorlenScrollBar *>(&w) != nullptr; };
    auto isLabel = [](const QWidget &w) { return dynamic_cast<const TdravoLabel *>(&w) != nullptr; };
    auto isCover = [](const QWidget &w) { return dynamic_cast<const TdravoBitmap *>(&w) != nullptr; };
    return either(isList, isBar) || either(isLabel, isCover);
}

// The window over a core playing a track of 200-character names.
template <typename Param> class PlayingJukebox : public ::testing::TestWithParam<Param> {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TcoreTestFolder;
        s_track = s_folder->addTrack(QStringLiteral("long.mp3"), Long(QStringLiteral("Unbearably Long Title")),
            Long(QStringLiteral("Extraordinarily Verbose Artist")), Long(QStringLiteral("Interminable Album")), 1, 440,
            30.0);
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    void SetUp() override
    {
        window = std::make_unique<TfrmJukebox>();
        core = std::make_unique<TdmMain>(ui, s_folder->options());
        window->SetCore(core.get());
        core->LoadSettings();
        window->show();
        QApplication::processEvents();
        core->QueueFile(s_track);
        core->QueueFile(s_track);
        window->Action(jcPlay)->trigger();
        DrivenPlayer(*core).Tick();
        ASSERT_EQ(core->Player().GetState(), ssPlaying);
    }

    void TearDown() override
    {
        core->Stop();
        window->SetCore(nullptr);
        core.reset();
        window.reset();
    }

    void resize(QSize size)
    {
        window->resize(size);
        RealignControls(window.get());
        QApplication::processEvents();
    }

    // Drags a splitter with the mouse until the mouse is at `to` (global);
    // past either end of its range is as far as it goes.
    void dragSplitter(const char *name, QPoint to)
    {
        auto *splitter = window->findChild<QWidget *>(QLatin1String(name));
        ASSERT_TRUE(splitter) << name;
        const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(splitter->mapFromGlobal(global)), QPointF(global),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(splitter, &event);
        };
        send(QEvent::MouseButtonPress, splitter->mapToGlobal(splitter->rect().center()), Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::NoButton);
        RealignControls(window.get());
        QApplication::processEvents();
    }

    // A picture of the window beside the test's output, for a failure.
    void keepPictureOnFailure(const QString &name)
    {
        if (!::testing::Test::HasFailure())
            return;
        const QString file = QDir::temp().filePath(QStringLiteral("vorlen-layout-%1.png").arg(name));
        window->grab().save(file);
        ADD_FAILURE() << "the window as it was: " << file.toStdString();
    }

    static inline TcoreTestFolder *s_folder = nullptr;
    static inline QString s_track;
    TscriptedUi ui;
    std::unique_ptr<TfrmJukebox> window;
    std::unique_ptr<TdmMain> core;
};

using JukeboxLayout = PlayingJukebox<LayoutCase>;

TEST_P(JukeboxLayout, NoControlCoversAnotherAndEveryButtonLiesInItsBar)
{
    const LayoutCase &layout = GetParam();
    for (const TjukeboxCommand command : layout.toggles)
        window->Action(command)->trigger();
    resize(layout.size);
    ASSERT_EQ(window->size(), layout.size);

    int buttons = 0;
    QList<QWidget *> parents = window->findChildren<QWidget *>();
    parents.append(window.get());
    for (const QWidget *parent : parents) {
        if (!Shown(*parent))
            continue;
        QList<const QWidget *> children;
        for (const QObject *object : parent->children()) {
            const auto *child = qobject_cast<const QWidget *>(object);
            if (child && !child->isWindow() && Shown(*child))
                children.append(child);
        }
        for (qsizetype i = 0; i < children.size(); ++i) {
            const QWidget &a = *children[i];
            // Inside its parent: nothing of it is cut off.
            EXPECT_TRUE(parent->rect().contains(a.geometry()))
                << a.objectName().toStdString() << " leaves " << parent->objectName().toStdString() << ": "
                << a.geometry().x() << "," << a.geometry().y() << " " << a.width() << "x" << a.height() << " in "
                << parent->width() << "x" << parent->height();
            if (dynamic_cast<const TvorlenButton *>(&a))
                ++buttons;
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                const QWidget &b = *children[j];
                if (MayOverlap(a, b))
                    continue;
                EXPECT_FALSE(a.geometry().intersects(b.geometry()))
                    << a.objectName().toStdString() << " and " << b.objectName().toStdString() << " overlap in "
                    << parent->objectName().toStdString();
            }
        }
    }
    EXPECT_GT(buttons, 5);
    keepPictureOnFailure(QString::fromStdString(PrintCase({ layout, 0 })));
}

const QSize kSizes[] = { { 640, 480 }, { 800, 600 }, { 1280, 800 }, { 1920, 1080 } };

std::vector<LayoutCase> Cases()
{
    const std::pair<const char *, std::vector<TjukeboxCommand>> toggles[] = {
        { "everything", {} },
        { "no_menu", { jcToggleMenu } },
        { "no_song_title", { jcShowHideSongScroller } },
        { "no_stacker", { jcShowHideStacker } },
        { "no_queue_controls", { jcQueueControlToggle } },
        { "no_list_details", { jcToggleQueueDetails } },
        { "no_visualisation", { jcToggleVis } },
        { "all_tracks", { jcToggleList } },
        { "bare", { jcToggleMenu, jcShowHideSongScroller, jcShowHideStacker, jcQueueControlToggle } },
    };
    std::vector<LayoutCase> cases;
    for (const QSize &size : kSizes) {
        for (const auto &[name, commands] : toggles)
            cases.push_back({ size, name, commands });
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, JukeboxLayout, ::testing::ValuesIn(Cases()), PrintCase);

// The track information from the narrowest window to a 4K screen: the names
// end, cut short, before the time counter and say something; the mode line
// is whole.
using TrackInformation = PlayingJukebox<int>;

TEST_P(TrackInformation, EndsBeforeTheCounterAtEveryWidth)
{
    const int width = GetParam();
    resize(QSize(width, 600));
    const QWidget *counter = window->findChild<QWidget *>(QStringLiteral("timer"));
    ASSERT_TRUE(counter);
    for (const TjukeboxLabel name : { jlTrack, jlArtist, jlAlbum }) {
        const TdravoLabel &label = *window->Label(name);
        EXPECT_LT(label.geometry().right(), counter->x()) << kJukeboxLabelNames[name];
        EXPECT_GT(label.width(), 100) << kJukeboxLabelNames[name] << ": room for a few words";
        EXPECT_LE(label.width(), label.TextWidth());
    }
    for (const TjukeboxLabel name : { jlMode, jlBitrate, jlSampleRate, jlFileType, jlDuration }) {
        const TdravoLabel &label = *window->Label(name);
        EXPECT_EQ(label.width(), label.TextWidth()) << kJukeboxLabelNames[name] << " is whole";
        EXPECT_LT(label.geometry().right(), counter->x()) << kJukeboxLabelNames[name];
    }
    keepPictureOnFailure(QStringLiteral("track-information-%1").arg(width));
}

INSTANTIATE_TEST_SUITE_P(
    Widths, TrackInformation, ::testing::Values(640, 700, 760, 800, 900, 1024, 1280, 1366, 1600, 1920, 2560, 3840));

// The tree's bar wherever the splitter beside the song list is dragged, in a
// narrow and a wide window: its buttons stay whole and each one works.
struct SplitterCase {
    int windowWidth;
    // Where the splitter is dragged, from the left end of its range (0) to
    // the right end (1).
    double along;
};

using TreeBar = PlayingJukebox<SplitterCase>;

TEST_P(TreeBar, ItsButtonsStayWholeAndWorkAtAnySplitterPosition)
{
    const SplitterCase splitterCase = GetParam();
    resize(QSize(splitterCase.windowWidth, 600));
    auto *bar = window->findChild<QWidget *>(QStringLiteral("pnlTreeButtons"));
    auto *lists = window->findChild<QWidget *>(QStringLiteral("pnlLists"));
    ASSERT_TRUE(bar && lists);
    dragSplitter("spltSongLists", lists->mapToGlobal(QPoint(int(splitterCase.along * lists->width()), 10)));
    EXPECT_GE(window->SongsPanel().width(), 210);

    const std::pair<const char *, TjukeboxCommand> buttons[]
        = { { "btnPlayCD", jcQueueCD }, { "btnSongSearch", jcSongSearch }, { "btnShowTitlesAll", jcToggleList } };
    for (const auto &[name, command] : buttons) {
        auto *button = bar->findChild<TvorlenButton *>(QLatin1String(name));
        ASSERT_TRUE(button) << name;
        EXPECT_TRUE(bar->rect().contains(button->geometry()))
            << name << " at " << button->x() << " in " << bar->width();
        QSignalSpy triggered(window->Action(command), &QAction::triggered);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        EXPECT_EQ(triggered.count(), 1) << name;
        if (command == jcSongSearch) {
            // The search box opens under the bar, whole, beside its close button.
            const QWidget *edit = window->findChild<QWidget *>(QStringLiteral("edSongSearch"));
            const QWidget *close = window->findChild<QWidget *>(QStringLiteral("btnCloseEdit"));
            ASSERT_TRUE(edit && close);
            EXPECT_TRUE(edit->isVisible());
            EXPECT_TRUE(edit->parentWidget()->rect().contains(edit->geometry().united(close->geometry())));
            EXPECT_EQ(
                edit->mapTo(window.get(), QPoint(0, 0)).y(), bar->mapTo(window.get(), QPoint(0, bar->height())).y())
                << "right under the bar";
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
    }
    keepPictureOnFailure(QStringLiteral("tree-bar-%1-%2").arg(splitterCase.windowWidth).arg(splitterCase.along));
}

std::string PrintSplitterCase(const ::testing::TestParamInfo<SplitterCase> &info)
{
    return std::to_string(info.param.windowWidth) + "_at_" + std::to_string(int(info.param.along * 100));
}

INSTANTIATE_TEST_SUITE_P(Positions, TreeBar,
    ::testing::Values(SplitterCase { 640, 0.0 }, SplitterCase { 640, 0.3 }, SplitterCase { 640, 0.5 },
        SplitterCase { 640, 0.7 }, SplitterCase { 640, 1.0 }, SplitterCase { 1280, 0.0 }, SplitterCase { 1280, 0.6 },
        SplitterCase { 1280, 0.85 }, SplitterCase { 1280, 1.0 }),
    PrintSplitterCase);

} // namespace

// The queue's buttons wherever the splitter above the queue is dragged: the
// column closes up in a low queue panel, and the panel is never lower than
// the buttons need.
struct QueueCase {
    int windowHeight;
    bool low;
};

using QueueControls = PlayingJukebox<QueueCase>;

TEST_P(QueueControls, ItsButtonsStayWholeAndWorkAtAnySplitterPosition)
{
    const QueueCase queueCase = GetParam();
    resize(QSize(800, queueCase.windowHeight));
    const QPoint far = window->mapToGlobal(QPoint(400, queueCase.low ? window->height() + 500 : -500));
    dragSplitter("spltQueue", far);
    const TvorlenPanel &panel = window->QueueControlPanel();
    int buttons = 0;
    for (TvorlenButton *button : panel.findChildren<TvorlenButton *>()) {
        ++buttons;
        EXPECT_TRUE(panel.rect().contains(button->geometry()))
            << button->objectName().toStdString() << " at " << button->y() << " in " << panel.height();
        QSignalSpy clicked(button->Action(), &QAction::triggered);
        // Clear asks first: the question is answered No.
        QTimer::singleShot(0, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        EXPECT_EQ(clicked.count(), 1) << button->objectName().toStdString();
    }
    EXPECT_EQ(buttons, 5);
    keepPictureOnFailure(QStringLiteral("queue-%1-%2").arg(queueCase.windowHeight).arg(queueCase.low));
}

INSTANTIATE_TEST_SUITE_P(Positions, QueueControls,
    ::testing::Values(QueueCase { 480, true }, QueueCase { 480, false }, QueueCase { 600, true },
        QueueCase { 1080, true }, QueueCase { 1080, false }),
    [](const ::testing::TestParamInfo<QueueCase> &info) {
        return std::to_string(info.param.windowHeight) + (info.param.low ? "_low" : "_high");
    });
