// Dialogs open over the jukebox window wherever it stands, on its screen and
// whole: two screens side by side (twoScreens.json), the real jukebox window
// and the real dialogs, the tip of the day first.
#include "modalDriver.h"

#include "core/alarmClock.h"
#include "core/tipOfTheDay.h"
#include "ui/forms/dialogPlacement.h"
#include "ui/forms/frmAbout.h"
#include "ui/forms/frmAlarmSettings.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/frmTipOfTheDay.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

struct Placement {
    const char *name;
    QRect window;
};

// Where a modal dialog opened by open() stands, with its frame.
QRect Shown(const std::function<void()> &open)
{
    QRect seen;
    WhenModal<QWidget>([&seen](QWidget *dialog) {
        seen = dialog->frameGeometry();
        dialog->close();
    });
    open();
    return seen;
}

class DialogPlacement : public ::testing::TestWithParam<Placement> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::screens().size(), 2) << "two screens, from twoScreens.json";
        window.setGeometry(GetParam().window);
        window.show();
        QApplication::processEvents();
    }

    // Centred over the window, unless that would leave the window's screen:
    // then whole on it.
    void expectOver(const QRect &dialog, const char *what)
    {
        SCOPED_TRACE(what);
        ASSERT_TRUE(dialog.isValid());
        const QScreen *screen = QGuiApplication::screenAt(window.frameGeometry().center());
        ASSERT_TRUE(screen);
        EXPECT_TRUE(screen->availableGeometry().contains(dialog))
            << dialog.x() << "," << dialog.y() << " " << dialog.width() << "x" << dialog.height();
        const QPoint off = dialog.center() - window.frameGeometry().center();
        QRect centred(QPoint(0, 0), dialog.size());
        centred.moveCenter(window.frameGeometry().center());
        if (screen->availableGeometry().contains(centred)) {
            EXPECT_LE(std::abs(off.x()), 1) << "centred across";
            EXPECT_LE(std::abs(off.y()), 1) << "centred down";
        } else {
            EXPECT_TRUE(dialog.intersects(window.frameGeometry())) << "as near as the screen lets it";
        }
    }

    TfrmJukebox window;
    TdialogPlacement placement { window };
};

TEST_P(DialogPlacement, TheTipOfTheDayOpensOverTheWindow)
{
    TtipDialogState state(JukeboxTips(), 0, true);
    expectOver(Shown([&] { RunTipDialog(state, &window); }), "tip of the day");
}

TEST_P(DialogPlacement, AMessageBoxOpensOverTheWindow)
{
    expectOver(Shown([&] { QMessageBox::warning(&window, QStringLiteral("Confirm"), QStringLiteral("Sure?")); }),
        "message box");
}

// A dialog made once and shown again follows the window that moved in
// between.
TEST_P(DialogPlacement, ADialogShownAgainFollowsTheWindow)
{
    TfrmAbout about(&window);
    TfrmAlarmSettings alarms(&window);
    TalarmClock clock;
    expectOver(Shown([&] { about.Execute(); }), "about box");
    expectOver(Shown([&] { alarms.Execute(clock); }), "alarm settings");

    window.move(window.pos() + QPoint(-300, 100));
    QApplication::processEvents();
    expectOver(Shown([&] { about.Execute(); }), "about box, again");
    expectOver(Shown([&] { alarms.Execute(clock); }), "alarm settings, again");
}

INSTANTIATE_TEST_SUITE_P(Windows, DialogPlacement,
    ::testing::Values(Placement { "left_top", QRect(100, 80, 800, 600) },
        Placement { "left_far_corner", QRect(1000, 400, 800, 600) },
        Placement { "right_screen", QRect(2300, 200, 800, 600) },
        Placement { "right_bottom_edge", QRect(2550, 540, 640, 480) },
        Placement { "full_left_screen", QRect(0, 0, 1920, 1080) }),
    [](const ::testing::TestParamInfo<Placement> &info) { return std::string(info.param.name); });

} // namespace
