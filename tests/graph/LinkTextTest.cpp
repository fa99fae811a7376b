#include <gtest/gtest.h>

#include "LinkText.h"

namespace {

TEST(LinkText, EntriesAreReadUntilOneIsIncomplete) {
    auto e = ParseLinkEntries(" 2 0 3 1 4 1 0 0");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].circle, 4);
    EXPECT_EQ(e[1].index, 1);
    EXPECT_EQ(e[1].kind, 0);
    EXPECT_EQ(ParseLinkEntries("2 0 3 1 x 1 2 3 4").size(), 1u);
    EXPECT_EQ(ParseLinkEntries("2 0 3").size(), 0u);
    EXPECT_EQ(ParseLinkEntries("").size(), 0u);
    EXPECT_EQ(ParseLinkEntries("-1 -1 2 1")[0].circle, -1);
    auto b = ParseBackLinks(" 3 0 5 1 7");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[1], std::make_pair(5, 1));
}

TEST(LinkText, Positions) {
    int c = 0, i = 0;
    EXPECT_TRUE(ParsePosition(FormatPosition(12, 3), c, i));
    EXPECT_EQ(c, 12);
    EXPECT_EQ(i, 3);
    EXPECT_FALSE(ParsePosition("", c, i));
    EXPECT_FALSE(ParsePosition("7", c, i));
}

}  // namespace
