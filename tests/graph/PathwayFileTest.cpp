#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "InteractionStore.h"
#include "PathwayFile.h"
#include "SphereBuild.h"

namespace {

// One interaction A Stimulation B as the sphere-view build makes it.
std::unique_ptr<CNode> OneInteraction(CInteractionStore& store) {
    InteractionRecord r;
    r.id = "r__1";
    r.member1 = "A";
    r.member2 = "B";
    r.kind = 2;
    store.m_pInteractions.push_back(r);
    store.m_nInteractions = 1;
    std::string error;
    return BuildSphereGraphFromArray(store, error);
}

const char kOneInteractionBody[] =
    "number 0 relation 0 size 1 left -1 0 right -1 0 \r\n"
    "A\r\n"
    "1 1 2 1\r\n"
    "\r\n"
    "number 1 relation 2 size 0 left 1 0 right 1 2 \r\n"
    "A:B:2\r\n"
    "1 2 2 1\r\n"
    " 1 0\r\n"
    "number 2 relation 2 size 1 left -1 0 right -1 0 \r\n"
    "B\r\n"
    "\r\n"
    "\r\n";

TEST(PathwayFile, OneInteractionWithItsBoxCell) {
    CInteractionStore store("");
    auto g = OneInteraction(store);
    PathwayGrid grid;
    grid.hor = 1;
    grid.ver = 2;
    grid.cellOf = [](int circle, int& h, int& v) {
        if (circle != 1) {
            return false;
        }
        h = 0;
        v = 0;
        return true;
    };
    EXPECT_EQ(
        FormatPathwayFile(*g, grid),
        std::string(
            "m_circle_count 2 m_num_hor 1 m_num_ver 2 \r\n"
            "CircleNum 1 circle_type 0 base_circle 1 mod_circle 0 interact 0 node_num 3 hor 0 ver 0 \r\n") +
            kOneInteractionBody);
}

// Without a box layout: a 1 x 1 grid and no cells. Also an empty circle,
// negative numbers and a name with a leading space, written as stored.
TEST(PathwayFile, NoLayoutEmptyCircleAndTextsAsStored) {
    CNode g;
    CCircleData first;
    first.CircleNum = 1;
    first.circle_type = 1;
    first.base_circle = 3;
    first.mod_circle = 2;
    first.interact = 4;
    MoleculeRecord m;
    m.number = 7;
    m.name = " Ste5 (yeast)";
    m.size = 0;
    m.relation = 10;
    m.links = " 2 0 10 0";
    m.left = NodePos{-1, -2};
    m.right = NodePos{12, 34};
    m.state = 0;      // not saved
    m.level = 5;      // not saved
    m.linkCount = 9;  // not saved
    m.posX = 1.5f;    // not saved
    first.m_lstMolecules.push_back(m);
    g.AppendCircle(first);
    CCircleData empty;
    empty.CircleNum = 2;
    empty.base_circle = 2;
    g.AppendCircle(empty);

    EXPECT_EQ(
        FormatPathwayFile(g, PathwayGrid{}),
        "m_circle_count 3 m_num_hor 1 m_num_ver 1 \r\n"
        "CircleNum 1 circle_type 1 base_circle 3 mod_circle 2 interact 4 node_num 1 hor -1 ver -1 \r\n"
        "number 7 relation 10 size 0 left -1 -2 right 12 34 \r\n"
        " Ste5 (yeast)\r\n"
        " 2 0 10 0\r\n"
        "\r\n"
        "CircleNum 2 circle_type 0 base_circle 2 mod_circle 0 interact 0 node_num 0 hor -1 ver -1 \r\n");
}

// A line break in a name (an edit may bring one) must not shift the lines
// of the nodes after it.
TEST(PathwayFile, LineBreaksInNamesAreWrittenAsUnderscores) {
    CNode g;
    g.NewStartupCircle("A\r\nB", "", 0);
    g.NewStartupCircle("C\nD\rE", "2 0 0 1", 0);
    g.NewStartupCircle("F", "", 0);
    int changed = -1;
    const std::string text = FormatPathwayFile(g, PathwayGrid{}, &changed);
    EXPECT_EQ(changed, 2);
    EXPECT_NE(text.find(" \r\nA__B\r\n\r\n\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" \r\nC_D_E\r\n2 0 0 1\r\n\r\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 3 * 5);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1 + 3 * 5);
    FormatPathwayFile(CNode(), PathwayGrid{}, &changed);
    EXPECT_EQ(changed, 0);
}

TEST(PathwayFile, EmptyGraphIsTheHeaderAlone) {
    CNode g;
    EXPECT_EQ(FormatPathwayFile(g, PathwayGrid{}), "m_circle_count 1 m_num_hor 1 m_num_ver 1 \r\n");
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class PathwayFileSave : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/tw_pathway_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override {
        unlink((m_dir + "/graph.bb").c_str());
        rmdir(m_dir.c_str());
    }
    std::string m_dir;
};

TEST_F(PathwayFileSave, WritesTheFormattedBytesOverAnOldFile) {
    CInteractionStore store("");
    auto g = OneInteraction(store);
    const std::string path = m_dir + "/graph.bb";
    std::ofstream(path) << "an older, longer file that must not survive in part";
    std::string error;
    ASSERT_TRUE(SavePathway(*g, path, PathwayGrid{}, error)) << error;
    EXPECT_EQ(ReadAll(path), FormatPathwayFile(*g, PathwayGrid{}));
}

TEST_F(PathwayFileSave, UnwritablePathIsReportedWithItsName) {
    CInteractionStore store("");
    auto g = OneInteraction(store);
    const std::string path = m_dir + "/missing/graph.bb";
    std::string error;
    EXPECT_FALSE(SavePathway(*g, path, PathwayGrid{}, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_NE(access((m_dir + "/missing").c_str(), F_OK), 0);
}

}  // namespace
