#include "skinFixtures.h"
#include "ui/controls/controlAlign.h"

#include <gtest/gtest.h>

namespace {

class AlignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.ShowActive();
        for (QWidget *control : { &top, &bottom, &left, &right, &client })
            control->resize(20, 20);
        top.resize(10, 15);
        bottom.resize(10, 5);
        left.resize(30, 10);
        right.resize(25, 10);
        SetControlAlign(&client, alClient);
        SetControlAlign(&right, alRight);
        SetControlAlign(&left, alLeft);
        SetControlAlign(&bottom, alBottom);
        SetControlAlign(&top, alTop);
    }

    TtestHost host { 200, 100 };
    QWidget top { &host };
    QWidget bottom { &host };
    QWidget left { &host };
    QWidget right { &host };
    QWidget client { &host };
};

} // namespace

TEST_F(AlignTest, EdgesFirstThenTheClient)
{
    EXPECT_EQ(top.geometry(), QRect(0, 0, 200, 15));
    EXPECT_EQ(bottom.geometry(), QRect(0, 95, 200, 5));
    EXPECT_EQ(left.geometry(), QRect(0, 15, 30, 80));
    EXPECT_EQ(right.geometry(), QRect(175, 15, 25, 80));
    EXPECT_EQ(client.geometry(), QRect(30, 15, 145, 80));
}

TEST_F(AlignTest, FollowsTheParentAndItsChildren)
{
    host.resize(300, 120);
    EXPECT_EQ(client.geometry(), QRect(30, 15, 245, 100));
    top.resize(top.width(), 25);
    EXPECT_EQ(left.geometry(), QRect(0, 25, 30, 90));
    top.hide();
    EXPECT_EQ(client.geometry(), QRect(30, 0, 245, 115));
}

// A panel placed just above the second of two top panels and shown docks
// between them.
TEST_F(AlignTest, PositionDecidesTheOrderAlongAnEdge)
{
    QWidget second(&host);
    second.resize(10, 10);
    second.move(0, 40);
    SetControlAlign(&second, alTop);
    second.show();
    EXPECT_EQ(second.geometry(), QRect(0, 15, 200, 10));
    QWidget between(&host);
    between.hide();
    between.resize(10, 7);
    SetControlAlign(&between, alTop);
    between.move(0, top.y() + top.height() - 1);
    between.show();
    EXPECT_EQ(between.geometry(), QRect(0, 15, 200, 7));
    EXPECT_EQ(second.geometry(), QRect(0, 22, 200, 10));
}

TEST(Anchors, RightAndBottomAnchorsFollowTheParent)
{
    TtestHost host(200, 100);
    host.ShowActive();
    QWidget stretched(&host);
    stretched.setGeometry(10, 10, 50, 20);
    SetControlAnchors(&stretched, akLeft | akTop | akRight | akBottom);
    QWidget corner(&host);
    corner.setGeometry(150, 70, 20, 10);
    SetControlAnchors(&corner, akRight | akBottom);
    QWidget fixed(&host);
    fixed.setGeometry(5, 5, 5, 5);
    host.resize(250, 130);
    EXPECT_EQ(stretched.geometry(), QRect(10, 10, 100, 50));
    EXPECT_EQ(corner.geometry(), QRect(200, 100, 20, 10));
    EXPECT_EQ(fixed.geometry(), QRect(5, 5, 5, 5));
}
