#include "ui/controls/digitalDisplay.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// A display whose mouse events are written down in order.
struct Recorded {
    TdigitalDisplay control;
    QStringList events;

    Recorded()
    {
        control.resize(80, 30);
        control.OnClick = [this](QObject *sender) {
            EXPECT_EQ(sender, &control);
            events << QStringLiteral("click");
        };
        control.OnDblClick = [this](QObject *) { events << QStringLiteral("dblclick"); };
        control.OnMouseDown = [this](QObject *, QMouseEvent *event) {
            events << QStringLiteral("down %1,%2").arg(event->position().x()).arg(event->position().y());
        };
        control.OnMouseUp = [this](QObject *, QMouseEvent *) { events << QStringLiteral("up"); };
    }
};

} // namespace

TEST(GraphicControl, AClickIsReportedBeforeTheMouseUp)
{
    Recorded recorded;
    QTest::mouseClick(&recorded.control, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(recorded.events, (QStringList { "down 10,12", "click", "up" }));
}

TEST(GraphicControl, AReleaseOutsideOrAnotherButtonIsNoClick)
{
    Recorded recorded;
    QTest::mousePress(&recorded.control, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&recorded.control, Qt::LeftButton, {}, QPoint(200, 10));
    QTest::mouseClick(&recorded.control, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(recorded.events, (QStringList { "down 10,10", "up", "down 10,10", "up" }));
}

TEST(GraphicControl, TheSecondPressOfADoubleClickIsNoClick)
{
    Recorded recorded;
    // What a double click brings: press, release, the second press as a
    // double click, release.
    QTest::mouseClick(&recorded.control, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(&recorded.control, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&recorded.control, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(recorded.events, (QStringList { "down 5,5", "click", "up", "dblclick", "down 5,5", "up" }));
}

TEST(GraphicControl, TheHintShowsOnlyWhileShowHintIsSet)
{
    TdigitalDisplay control;
    control.SetHint(QStringLiteral("Click to toggle elapsed and remaining time."));
    EXPECT_EQ(control.toolTip(), control.Hint());
    control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
    const auto ask = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), control.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&control, &help);
        return QToolTip::isVisible() && QToolTip::text() == control.Hint();
    };
    control.SetShowHint(false);
    EXPECT_FALSE(ask());
    control.SetShowHint(true);
    EXPECT_TRUE(ask());
    QToolTip::hideText();
}
