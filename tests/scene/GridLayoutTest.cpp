#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "GridLayout.h"

namespace {

struct LayoutCase {
    int counter;
    int hor, ver;
    std::vector<std::string> entries;  // alternating keys and circle numbers
};

class GridLayoutCases : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(GridLayoutCases, SizesAndPlacesCirclesColumnByColumn) {
    const LayoutCase& c = GetParam();
    CGridLayout grid;
    grid.Layout(c.counter);
    EXPECT_EQ(grid.GetFirstCount(), c.hor);
    EXPECT_EQ(grid.GetSecondCount(), c.ver);
    EXPECT_EQ(grid.GetCircleCount(), c.counter);
    EXPECT_EQ(grid.GetEntries(), c.entries);
    // Every cell answers with the circle the map holds for it, or 0.
    for (int h = -1; h <= c.hor; ++h) {
        for (int v = -1; v <= c.ver; ++v) {
            int expected = 0;
            for (size_t i = 0; i < c.entries.size(); i += 2) {
                if (c.entries[i] == std::to_string(h) + ":" + std::to_string(v)) {
                    expected = std::stoi(c.entries[i + 1]);
                }
            }
            EXPECT_EQ(grid.GetCircleAt(h, v), expected) << h << ":" << v;
        }
    }
    // Circle j sits at ((j - 1) / ver, (j - 1) % ver); later ones have no cell.
    for (int j = 1; j <= c.counter + 1; ++j) {
        int h = 0, v = 0;
        grid.GetCellOf(j, h, v);
        if (j < c.counter) {
            EXPECT_EQ(h, (j - 1) / c.ver) << j;
            EXPECT_EQ(v, (j - 1) % c.ver) << j;
        } else {
            EXPECT_EQ(h, -1) << j;
            EXPECT_EQ(v, -1) << j;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counters, GridLayoutCases,
    ::testing::Values(LayoutCase{1, 1, 1, {}},  // no circles: one empty cell
                      LayoutCase{2, 1, 2, {"0:0", "1"}},
                      LayoutCase{4, 2, 2, {"0:0", "1", "0:1", "2", "1:0", "3"}},
                      LayoutCase{5, 2, 3, {"0:0", "1", "0:1", "2", "0:2", "3", "1:0", "4"}},
                      LayoutCase{10, 3, 4, {"0:0", "1", "0:1", "2", "0:2", "3", "0:3", "4", "1:0", "5", "1:1", "6",
                                            "1:2", "7", "1:3", "8", "2:0", "9"}},
                      LayoutCase{17, 4, 5, {"0:0", "1", "0:1", "2", "0:2", "3", "0:3", "4", "0:4", "5", "1:0",
                                            "6", "1:1", "7", "1:2", "8", "1:3", "9", "1:4", "10", "2:0", "11",
                                            "2:1", "12", "2:2", "13", "2:3", "14", "2:4", "15", "3:0", "16"}},
                      // A cleared graph's counter: an empty grid, not a division by zero.
                      LayoutCase{0, 0, 0, {}}, LayoutCase{-3, 0, 0, {}}));

TEST(GridLayout, LargeCountersKeepEveryCircleInItsOwnCell) {
    CGridLayout grid;
    grid.Layout(100001);  // 316 x 317
    EXPECT_EQ(grid.GetFirstCount(), 316);
    EXPECT_EQ(grid.GetSecondCount(), 317);
    EXPECT_EQ(grid.GetEntries().size(), 200000u);
    EXPECT_EQ(grid.GetCircleAt(315, 144), 100000);
    EXPECT_EQ(grid.GetCircleAt(315, 145), 0);
}

TEST(GridLayout, LaterPlacementsDoNotHideTheFirstMatch) {
    CGridLayout grid;
    grid.SetSize(3, 3);
    grid.PlaceCircle(0, 0, 7);
    grid.PlaceCircle(0, 0, 8);  // same cell again
    grid.PlaceCircle(2, 1, 7);  // same circle again
    EXPECT_EQ(grid.GetCircleAt(0, 0), 7);
    EXPECT_EQ(grid.GetCircleAt(2, 1), 7);
    int h = 0, v = 0;
    grid.GetCellOf(8, h, v);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(v, 0);
    grid.GetCellOf(7, h, v);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(grid.GetFirstCount(), 3);
    EXPECT_EQ(grid.GetSecondCount(), 3);
}

TEST(GridLayout, LayingOutAgainStartsAFreshMap) {
    CGridLayout grid;
    grid.Layout(10);
    grid.Layout(3);
    EXPECT_EQ(grid.GetEntries(), (std::vector<std::string>{"0:0", "1", "0:1", "2"}));
    EXPECT_EQ(grid.GetCircleAt(1, 0), 0);
}

TEST(GridLayout, DumpGridWritesOneCrLfLinePerCircle) {
    char templ[] = "/tmp/tarnwick-grid-XXXXXX";
    int fd = mkstemp(templ);
    ASSERT_GE(fd, 0);
    close(fd);
    CGridLayout grid;
    grid.Layout(5);
    ASSERT_TRUE(grid.DumpGrid(templ));
    std::ifstream in(templ, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "0:0-Val : 1 \r\n0:1-Val : 2 \r\n0:2-Val : 3 \r\n1:0-Val : 4 \r\n");

    CGridLayout empty;
    empty.Layout(1);
    ASSERT_TRUE(empty.DumpGrid(templ));  // truncates
    std::ifstream again(templ, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), "");
    std::remove(templ);

    EXPECT_FALSE(grid.DumpGrid("/nonexistent-folder/test_circle.txt"));
}

}  // namespace
