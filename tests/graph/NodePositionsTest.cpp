#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "NodePositions.h"
#include "Node.h"

namespace {

class NodePositionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"A", "B", "C"}) {
            g.NewStartupCircle(name, "", 0);
        }
        char templ[] = "/tmp/tarnwick-positions-XXXXXX";
        int fd = mkstemp(templ);
        close(fd);
        path = templ;
    }
    void TearDown() override { std::remove(path.c_str()); }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    float X(int c) { return g.GetMolecule(c, 0)->posX; }
    float Y(int c) { return g.GetMolecule(c, 0)->posY; }

    CNode g;
    std::string path;
};

TEST_F(NodePositionsTest, ReadsNodeLinesUntilTheFirstEdgeLine) {
    Write("node 1 0.5 0.5\nnode 1 2.5 -1\r\nnode 3 0 4\nbad line\nnode 3 nan 1\nnode 99 1 1\nedge 1 3\nnode 2 7 7\n");
    ASSERT_TRUE(ApplyNodePositions(g, path));
    EXPECT_FLOAT_EQ(X(1), 2.5f);  // the first line is a header even when it looks like a node
    EXPECT_FLOAT_EQ(Y(1), -1.0f);
    EXPECT_FLOAT_EQ(X(2), 0.0f);  // after the edge line
    EXPECT_FLOAT_EQ(Y(2), 0.0f);
    EXPECT_FLOAT_EQ(X(3), 0.0f);
    EXPECT_FLOAT_EQ(Y(3), 4.0f);
}

TEST_F(NodePositionsTest, AWordEdgeAnywhereStopsReading) {
    Write("graph\n# the edges follow\nnode 2 1 1\n");
    ASSERT_TRUE(ApplyNodePositions(g, path));
    EXPECT_FLOAT_EQ(X(2), 0.0f);
}

TEST_F(NodePositionsTest, MissingOrEmptyFilesChangeNothing) {
    EXPECT_FALSE(ApplyNodePositions(g, path + ".missing"));
    Write("");
    EXPECT_TRUE(ApplyNodePositions(g, path));
    Write("node 1 3 3");
    EXPECT_TRUE(ApplyNodePositions(g, path));
    EXPECT_FLOAT_EQ(X(1), 0.0f);
}

TEST(NodeLine, Forms) {
    int c = 0;
    float x = 0, y = 0;
    EXPECT_TRUE(ParseNodeLine("node 4 -1.25 3e1", c, x, y));
    EXPECT_EQ(c, 4);
    EXPECT_FLOAT_EQ(x, -1.25f);
    EXPECT_FLOAT_EQ(y, 30.0f);
    EXPECT_TRUE(ParseNodeLine("node 4 1e-50 -3.4e38", c, x, y));  // underflow is 0
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, -3.4e38f);
    for (const char* line : {"node 4 nan 1", "node 4 1 NaN", "node 4 inf 1", "node 4 1 -infinity", "node 4 1e39 0",
                             "node 4 0 -4e38", "node 4 1e400 1"}) {
        EXPECT_FALSE(ParseNodeLine(line, c, x, y)) << line;
    }
    EXPECT_FALSE(ParseNodeLine(" node 4 1 1", c, x, y));
    EXPECT_FALSE(ParseNodeLine("node 4 1", c, x, y));
    EXPECT_FALSE(ParseNodeLine("nodes", c, x, y));
}

}  // namespace
