#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Node.h"
#include "SphereLayout.h"

namespace {

struct CircleSpec {
    int mod = 0;
    int interact = 0;
    std::vector<std::string> links;  // one node per entry, with this link text
};

struct SphereCase {
    const char* what;
    std::vector<CircleSpec> circles;  // circles 1, 2, ...
    int columns, rings;
    std::vector<std::string> entries;  // alternating cell keys (column:ring) and circles
};

CNode GraphOf(const std::vector<CircleSpec>& circles) {
    CNode graph;
    for (const CircleSpec& spec : circles) {
        CCircleData& circle = graph.AppendEmptyCircle();
        circle.mod_circle = spec.mod;
        circle.interact = spec.interact;
        for (const std::string& links : spec.links) {
            MoleculeRecord m;
            m.number = static_cast<int>(circle.m_lstMolecules.size());
            m.name = "n" + std::to_string(circle.CircleNum) + "_" + std::to_string(m.number);
            m.links = links;
            circle.m_lstMolecules.push_back(m);
        }
    }
    return graph;
}

class SphereLayoutCases : public ::testing::TestWithParam<SphereCase> {};

TEST_P(SphereLayoutCases, WalksEachGroupBreadthFirst) {
    const SphereCase& c = GetParam();
    const CNode graph = GraphOf(c.circles);
    CGridLayout grid;
    grid.Layout(7);  // an earlier map is replaced
    LayOutSphere(graph, graph.m_circle_count, grid);
    EXPECT_EQ(grid.GetEntries(), c.entries);
    EXPECT_EQ(grid.GetFirstCount(), c.columns);
    EXPECT_EQ(grid.GetSecondCount(), c.rings);
    for (size_t i = 0; i < c.entries.size(); i += 2) {
        const int circle = std::stoi(c.entries[i + 1]);
        int column = -1, ring = -1;
        grid.GetCellOf(circle, column, ring);
        EXPECT_EQ(std::to_string(column) + ":" + std::to_string(ring), c.entries[i]);
        EXPECT_EQ(grid.GetCircleAt(column, ring), circle);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, SphereLayoutCases,
    ::testing::Values(
        SphereCase{"no circles", {}, 1, 1, {}},
        SphereCase{"one circle", {{0, 0, {""}}}, 1, 1, {"0:0", "1"}},
        // Each partner queues the other: both placed once.
        SphereCase{"mutual mod_circle", {{2, 0, {""}}, {1, 0, {""}}}, 1, 2, {"0:0", "1", "0:1", "2"}},
        SphereCase{"two unconnected circles", {{0, 0, {""}}, {0, 0, {""}}}, 2, 1, {"0:0", "1", "1:0", "2"}},
        // 3 is queued by 1 (from ring 0) and by 2 (from ring 1): placed when
        // it first leaves the queue, on ring 1; the second entry is dropped.
        SphereCase{"circle queued twice",
                   {{2, 0, {"3 0 2 1"}}, {0, 0, {"3 0 2 1"}}, {0, 0, {""}}},
                   2,
                   2,
                   {"0:0", "1", "0:1", "2", "1:1", "3"}},
        // mod_circle, then interact, then the first link of each node in
        // order; a link to the circle itself, to its partners or to no
        // circle of the graph queues nothing.
        SphereCase{"queue order",
                   {{3, 2, {"4 0 2 1 5 0 2 1", "1 0 2 1", "99 0 2 1", "3 0 2 1"}},
                    {0, 0, {""}},
                    {0, 0, {""}},
                    {0, 0, {""}},
                    {0, 0, {""}}},
                   4,
                   2,
                   {"0:0", "1", "0:1", "3", "1:1", "2", "2:1", "4", "3:0", "5"}},
        // A chain climbs one ring per step; the next group starts right of
        // every column the first one used.
        SphereCase{"chain then a second group",
                   {{0, 2, {""}}, {0, 0, {"3 0 2 0"}}, {0, 0, {"1 0 2 0"}}, {0, 0, {""}}},
                   2,
                   3,
                   {"0:0", "1", "0:1", "2", "0:2", "3", "1:0", "4"}},
        // Only the first link entry of a node counts.
        SphereCase{"first link only", {{0, 0, {"5 0 2 0 2 0 2 0"}}, {0, 0, {""}}}, 2, 1, {"0:0", "1", "1:0", "2"}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

TEST(SphereLayout, WideGroupsStayLinearAndFillFreeColumns) {
    // One hub whose interact circle chains to 20000 leaves: every leaf on
    // ring 2, in consecutive columns from the seed's.
    std::vector<CircleSpec> circles;
    CircleSpec hub{0, 2, {""}};
    CircleSpec collector;
    const int leaves = 20000;
    for (int i = 0; i < leaves; ++i) {
        collector.links.push_back(std::to_string(3 + i) + " 0 2 1");
    }
    circles.push_back(hub);
    circles.push_back(collector);
    circles.resize(2 + leaves);
    const CNode graph = GraphOf(circles);
    CGridLayout grid;
    LayOutSphere(graph, graph.m_circle_count, grid);
    EXPECT_EQ(grid.GetFirstCount(), leaves);
    EXPECT_EQ(grid.GetSecondCount(), 3);
    EXPECT_EQ(grid.GetCircleAt(0, 2), 3);
    EXPECT_EQ(grid.GetCircleAt(leaves - 1, 2), leaves + 2);
}

}  // namespace
