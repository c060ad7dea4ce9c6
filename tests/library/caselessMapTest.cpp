#include "library/caselessMap.h"

#include <gtest/gtest.h>

namespace {

struct Item {
    int id;
};

// Small maps are searched in place and larger ones through the hash; both
// must agree on which keys are the same.
class CaselessMapSizes : public ::testing::TestWithParam<int> {};

TEST_P(CaselessMapSizes, KeysDifferingOnlyInCaseAreOneKey)
{
    TcaselessMap<Item> map;
    std::vector<std::unique_ptr<Item>> items;
    for (int i = 0; i < GetParam(); ++i) {
        items.push_back(std::make_unique<Item>(Item{i}));
        ASSERT_TRUE(map.Insert(QStringLiteral("Filler %1").arg(i), items.back().get()));
    }
    Item umlaut{100};
    Item deseret{101};
    Item plain{102};
    ASSERT_TRUE(map.Insert(QStringLiteral("Die Ärzte"), &umlaut));
    // Deseret letters lie outside the basic plane and have case.
    ASSERT_TRUE(map.Insert(QString::fromUtf8("\xF0\x90\x90\x80 Band"), &deseret));
    ASSERT_TRUE(map.Insert(QStringLiteral("Abba"), &plain));

    EXPECT_EQ(map.Find(QStringLiteral("DIE ÄRZTE")), &umlaut);
    EXPECT_EQ(map.Find(QStringLiteral("die ärzte")), &umlaut);
    EXPECT_EQ(map.Find(QString::fromUtf8("\xF0\x90\x90\xA8 BAND")), &deseret);
    EXPECT_EQ(map.Find(QStringLiteral("aBBA")), &plain);
    EXPECT_EQ(map.Find(QStringLiteral("filler 0")), GetParam() > 0 ? items[0].get() : nullptr);
    EXPECT_EQ(map.Find(QStringLiteral("Abb")), nullptr);
    EXPECT_EQ(map.Find(QStringLiteral("Die Arzte")), nullptr);

    Item other{200};
    EXPECT_FALSE(map.Insert(QStringLiteral("ABBA"), &other));
    EXPECT_EQ(map.Count(), GetParam() + 3);

    EXPECT_TRUE(map.RemoveObject(&plain));
    EXPECT_EQ(map.Find(QStringLiteral("abba")), nullptr);
    EXPECT_TRUE(map.Insert(QStringLiteral("ABBA"), &other));
    EXPECT_EQ(map.Find(QStringLiteral("Abba")), &other);
}

INSTANTIATE_TEST_SUITE_P(SearchedInPlaceAndHashed, CaselessMapSizes, ::testing::Values(0, 3, 40));

TEST(CaselessMap, EntriesComeInTheLocaleOrderWhateverTheInsertionOrder)
{
    TcaselessMap<Item> map;
    Item a{1}, b{2}, c{3}, d{4};
    map.Insert(QStringLiteral("zebra"), &a);
    map.Insert(QStringLiteral("Apple"), &b);
    map.Insert(QStringLiteral("mango"), &c);
    map.Insert(QStringLiteral("Banana"), &d);
    QStringList keys;
    for (const auto &entry : map.Entries())
        keys << entry.key;
    EXPECT_EQ(keys, (QStringList{QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("mango"),
                                 QStringLiteral("zebra")}));
    map.Clear();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.Find(QStringLiteral("apple")), nullptr);
}

} // namespace
