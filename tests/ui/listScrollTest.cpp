#include "ui/controls/noScrollTreeView.h"
#include "ui/controls/scrollEventListBox.h"

#include <QApplication>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// One notch of the wheel turned towards the user, over the middle of the view.
void WheelDown(QAbstractScrollArea &view)
{
    const QPointF middle(view.viewport()->width() / 2.0, view.viewport()->height() / 2.0);
    QWheelEvent wheel(middle, view.viewport()->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
}

void Show(QWidget &widget)
{
    widget.resize(200, 120);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

} // namespace

TEST(ScrollEventListBox, ReportsWheelScrollingAfterTheListScrolled)
{
    TscrollEventListBox list;
    for (int i = 0; i < 100; ++i)
        list.addItem(QStringLiteral("Track %1").arg(i));
    Show(list);
    std::vector<int> positions;
    list.OnScrolled = [&](QObject *sender) {
        EXPECT_EQ(sender, &list);
        positions.push_back(list.verticalScrollBar()->value());
    };
    WheelDown(list);
    WheelDown(list);
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_GT(positions[0], 0);
    EXPECT_GT(positions[1], positions[0]);
    // Other scrolling is the window's own business (it follows key presses).
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(positions.size(), 2u);
}

TEST(NoScrollTreeView, HasNoScrollBarsButScrollsAndReportsTheWheel)
{
    QStandardItemModel model;
    for (int i = 0; i < 26; ++i) {
        auto *letter = new QStandardItem(QStringLiteral("<%1>").arg(QChar('A' + i)));
        for (int j = 0; j < 3; ++j)
            letter->appendRow(new QStandardItem(QStringLiteral("Artist %1").arg(j)));
        model.appendRow(letter);
    }
    TnoScrollTreeView tree;
    tree.setModel(&model);
    tree.expandAll();
    Show(tree);
    EXPECT_FALSE(tree.verticalScrollBar()->isVisible());
    EXPECT_FALSE(tree.horizontalScrollBar()->isVisible());
    EXPECT_GT(tree.verticalScrollBar()->maximum(), 0) << "more rows than fit";
    EXPECT_EQ(tree.viewport()->width(), tree.width() - 2 * tree.frameWidth()) << "no room kept for a bar";

    int scrolled = 0;
    int position = -1;
    tree.OnScrolled = [&](QObject *sender) {
        EXPECT_EQ(sender, &tree);
        ++scrolled;
        position = tree.verticalScrollBar()->value();
    };
    WheelDown(tree);
    EXPECT_EQ(scrolled, 1);
    EXPECT_GT(position, 0);
    EXPECT_GT(tree.indexAt(QPoint(5, 5)).row() + tree.indexAt(QPoint(5, 5)).parent().row(), 0)
        << "the top row is no longer the first";
}
