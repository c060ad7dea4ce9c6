// Labels cut short before their neighbours, bars that keep their buttons
// whole, compact button strips, and a window handle that tells a click from
// a drag: the pieces the jukebox window lays itself out with at any size.
#include "skinFixtures.h"
#include "ui/controls/buttonBarFit.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/labelFit.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/windowDrag.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kLong
    = QStringLiteral("An Unbearably Long Title That No Display Could Ever Show In Full, Not Even A Wide One");

TdravoLabel *MakeLabel(QWidget &parent, const QString &caption, QPoint at)
{
    auto *label = new TdravoLabel(&parent);
    label->SetCaption(caption);
    label->move(at);
    label->show();
    return label;
}

class LabelFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.ShowActive();
        panel.setGeometry(0, 0, 400, 60);
        panel.show();
    }

    TtestHost host;
    QWidget panel { &host };
};

TEST_F(LabelFit, ALongTextEndsBeforeTheControlToItsRightOnItsLine)
{
    TdravoLabel *value = MakeLabel(panel, kLong, { 10, 5 });
    const int natural = value->TextWidth();
    ASSERT_GT(natural, 400);
    QWidget counter(&panel);
    counter.setGeometry(250, 0, 100, 40);
    counter.show();
    // A label of its own line below the counter has the panel to the edge.
    TdravoLabel *below = MakeLabel(panel, kLong, { 10, 42 });

    FitLabelsToNeighbours(panel, 4);
    EXPECT_EQ(value->geometry().right() + 1, 250 - 4);
    EXPECT_FALSE(value->geometry().intersects(counter.geometry()));
    EXPECT_EQ(below->geometry().right() + 1, 400 - 4);
    EXPECT_EQ(value->Caption(), kLong) << "the caption stays whole";

    // The text drawn ends in an ellipsis: what the label paints is not the
    // start of the full text painted unclipped.
    QImage shown(value->size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::white);
    QPainter painter(&shown);
    value->Paint(painter);
    painter.end();
    TdravoLabel reference;
    reference.SetCaption(kLong);
    QImage full(reference.size(), QImage::Format_ARGB32_Premultiplied);
    full.fill(Qt::white);
    QPainter fullPainter(&full);
    reference.Paint(fullPainter);
    fullPainter.end();
    EXPECT_NE(shown, full.copy(QRect(QPoint(0, 0), shown.size())));

    // Room again: the whole text once the counter has gone.
    counter.hide();
    FitLabelsToNeighbours(panel, 4);
    EXPECT_EQ(value->width(), std::min(natural, 400 - 4 - 10));
}

TEST_F(LabelFit, LabelsOnALineEndBeforeTheNextOneAndAnEmptyOneStandsInNobodysWay)
{
    TdravoLabel *mode = MakeLabel(panel, QStringLiteral("Dual Channel Joint Stereo"), { 10, 5 });
    TdravoLabel *rate = MakeLabel(panel, QStringLiteral("128kbps"), { 60, 5 });
    TdravoLabel *type = MakeLabel(panel, QString(), { 120, 5 });
    FitLabelsToNeighbours(panel, 4);
    EXPECT_EQ(mode->width(), 60 - 4 - 10);
    EXPECT_EQ(rate->x(), 60) << "each keeps its place";
    EXPECT_EQ(rate->width(), rate->TextWidth()) << "the empty label after it takes no room";

    type->SetCaption(QStringLiteral("FLAC"));
    FitLabelsToNeighbours(panel, 4);
    EXPECT_LE(rate->geometry().right() + 1, 120 - 4);
}

TEST_F(LabelFit, ALabelThatStartsUnderAControlShowsNothing)
{
    QWidget counter(&panel);
    counter.setGeometry(100, 0, 200, 40);
    counter.show();
    TdravoLabel *covered = MakeLabel(panel, QStringLiteral("MP3"), { 150, 10 });
    FitLabelsToNeighbours(panel, 4);
    EXPECT_EQ(covered->width(), 0);
}

// A bar of three labelled buttons after a title, at every width from the
// narrowest it keeps them whole in to far wider than it needs.
class ButtonBar : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        host.ShowActive();
        bar.setGeometry(0, 0, 600, 28);
        bar.show();
        title = MakeLabel(bar, QStringLiteral("Artist List  "), { 8, 4 });
        const QColor face(90, 90, 90);
        for (int i = 0; i < 3; ++i) {
            auto *button = new TvorlenButton(&bar);
            button->SetSkinBitmap(ButtonStrip(78, 22, { face, face }, QRect(0, 0, 78, 22)));
            button->SetCompactSkinBitmap(ButtonStrip(28, 22, { face, face }, QRect(0, 0, 28, 22)));
            button->SetIsSkinned(true);
            button->setGeometry(120 + 82 * i, 3, 78, 22);
            button->OnClick = [this, i](QObject *) { clicked << i; };
            button->show();
            buttons.push_back(button);
        }
    }

    TtestHost host;
    QWidget bar { &host };
    TdravoLabel *title = nullptr;
    std::vector<TvorlenButton *> buttons;
    QList<int> clicked;
};

TEST_P(ButtonBar, EveryButtonStaysWholeAndClickable)
{
    const int width = GetParam();
    bar.resize(width, bar.height());
    FitButtonBar(bar, title, buttons);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TvorlenButton &button = *buttons[i];
        EXPECT_TRUE(bar.rect().contains(button.geometry())) << "button " << i << " at width " << width;
        if (i > 0) {
            EXPECT_GT(button.x(), buttons[i - 1]->geometry().right()) << "in order, apart";
        }
        if (title->isVisible()) {
            EXPECT_GT(button.x(), title->geometry().right()) << "after the title";
        }
        QTest::mouseClick(buttons[i], Qt::LeftButton, {}, QPoint(button.width() / 2, button.height() / 2));
    }
    EXPECT_EQ(clicked, (QList<int> { 0, 1, 2 }));
    // Labelled buttons whenever they fit beside a title that says something.
    const bool roomForLabels = width >= 8 + 40 + 12 + 3 * 78 + 2 * 4 + 8;
    EXPECT_EQ(buttons[0]->Compact(), !roomForLabels) << "at width " << width;
    EXPECT_EQ(buttons[0]->width(), roomForLabels ? 78 : 28);
}

INSTANTIATE_TEST_SUITE_P(Widths, ButtonBar,
    // From the narrowest bar for three compact buttons (margins, buttons and
    // the spaces between them) up.
    ::testing::Values(8 + 3 * 28 + 2 * 4 + 8, 140, 160, 200, 250, 300, 309, 310, 360, 600));

TEST_F(ButtonBar, TheTitleIsWholeWhenThereIsRoomAndGivesWayFirst)
{
    bar.resize(600, bar.height());
    FitButtonBar(bar, title, buttons);
    EXPECT_TRUE(title->isVisible());
    EXPECT_EQ(title->width(), title->TextWidth());
    EXPECT_FALSE(buttons[0]->Compact());

    // A little short: the title is cut, the buttons keep their labels.
    bar.resize(8 + title->TextWidth() + 12 + 3 * 78 + 2 * 4 + 8 - 20, bar.height());
    FitButtonBar(bar, title, buttons);
    EXPECT_TRUE(title->isVisible());
    EXPECT_LT(title->width(), title->TextWidth());
    EXPECT_FALSE(buttons[0]->Compact());

    // The narrowest bar: compact buttons and no title.
    bar.resize(NarrowestButtonBar(buttons), bar.height());
    FitButtonBar(bar, title, buttons);
    EXPECT_FALSE(title->isVisible());
    EXPECT_TRUE(buttons[0]->Compact());
    EXPECT_TRUE(bar.rect().contains(buttons[2]->geometry()));
}

TEST(CompactButton, ShowsItsCompactStripAndFallsBackToTheOrdinaryOne)
{
    TtestHost host;
    host.ShowActive();
    TvorlenButton button(&host);
    const QColor wide(200, 0, 0);
    const QColor narrow(0, 0, 200);
    button.SetSkinBitmap(ButtonStrip(60, 20, { wide, wide }, QRect(0, 0, 60, 20)));
    button.SetIsSkinned(true);
    button.resize(60, 20);
    button.show();
    button.SetCompact(true);
    EXPECT_EQ(button.SkinFrameWidth(true), 60) << "no compact strip: the ordinary one";
    EXPECT_EQ(Rgb(Grab(button), 10, 10), Rgb(wide));

    button.SetCompactSkinBitmap(ButtonStrip(20, 20, { narrow, narrow }, QRect(0, 0, 20, 20)));
    button.resize(button.SkinFrameWidth(true), 20);
    EXPECT_EQ(button.width(), 20);
    EXPECT_EQ(Rgb(Grab(button), 10, 10), Rgb(narrow));
    // Both strips take the skin's colours.
    button.SetCompactSkinBitmap(
        ButtonStrip(20, 20, { QColor(128, 128, 128), QColor(128, 128, 128) }, QRect(0, 0, 20, 20)));
    button.ApplySkinColors(QColor(10, 200, 10), QColor(0, 0, 0));
    EXPECT_EQ(Rgb(Grab(button), 10, 10), Rgb(QColor(10, 200, 10)));
    button.SetCompact(false);
    button.resize(60, 20);
    EXPECT_EQ(Rgb(Grab(button), 10, 10), Rgb(wide));
}

// A handle at the window's top left: the platform moves nothing here (no
// window system on the offscreen platform), so a drag moves the window by
// following the mouse.
class WindowDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.setGeometry(100, 100, 300, 200);
        handle.setGeometry(0, 0, 100, 30);
        window.show();
        QApplication::processEvents();
        before = window.pos();
        drag = new TwindowDrag(handle);
        drag->OnClick = [this] { ++clicks; };
    }

    void send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(handle.mapToGlobal(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&handle, &event);
    }

    QWidget window;
    QWidget handle { &window };
    TwindowDrag *drag = nullptr;
    QPoint before;
    int clicks = 0;
};

TEST_F(WindowDrag, AClickThatStaysWithinTheDragDistanceIsAClick)
{
    const int distance = QGuiApplication::styleHints()->startDragDistance();
    ASSERT_GT(distance, 1);
    send(QEvent::MouseButtonPress, { 20, 10 }, Qt::LeftButton);
    send(QEvent::MouseMove, { 20 + distance - 1, 10 }, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, { 20 + distance - 1, 10 }, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(window.pos(), before);
}

TEST_F(WindowDrag, ADragMovesTheWindowAndIsNoClick)
{
    send(QEvent::MouseButtonPress, { 20, 10 }, Qt::LeftButton);
    const QPoint pressedAt = handle.mapToGlobal(QPoint(20, 10));
    for (int step = 1; step <= 5; ++step) {
        // Global positions: the window moves under the mouse meanwhile.
        const QPoint global = pressedAt + QPoint(10 * step, 6 * step);
        QMouseEvent event(QEvent::MouseMove, QPointF(handle.mapFromGlobal(global)), QPointF(global), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&handle, &event);
    }
    send(QEvent::MouseButtonRelease, { 20, 10 }, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(window.pos(), before + QPoint(50, 30));
}

TEST_F(WindowDrag, AWindowThatMayNotMoveStaysAndTheDragIsNoClickEither)
{
    drag->CanMove = [] { return false; };
    send(QEvent::MouseButtonPress, { 20, 10 }, Qt::LeftButton);
    send(QEvent::MouseMove, { 80, 25 }, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, { 80, 25 }, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(window.pos(), before);
}

} // namespace
