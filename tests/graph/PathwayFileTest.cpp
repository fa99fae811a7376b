#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "InteractionRows.h"
#include "InteractionStore.h"
#include "LinkText.h"
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

// A small sphere-view graph with every shape the file holds: relation
// nodes, a molecule two interactions share, a reference member, a
// repeated name (the index keeps the first) and an empty circle.
std::unique_ptr<CNode> Varied(CInteractionStore& store) {
    FillInteractions(store, {{"A", "B", 2}, {"B", "C", 0}, {"r__1", "D", 6}, {"E", "A", 3}});
    auto g = BuildSphereGraphFromArray(store);
    g->NewStartupCircle("B", " 1 0 0 1", 0);  // a second "B"
    g->AppendEmptyCircle();
    return g;
}

TEST(PathwayRead, ReadsBackWhatWasWrittenWithTheFirstNameIndexed) {
    CInteractionStore store("");
    auto g = Varied(store);
    PathwayGrid grid;
    grid.hor = 3;
    grid.ver = 2;
    const std::string text = FormatPathwayFile(*g, grid);
    LoadedPathway loaded;
    std::string error;
    ASSERT_TRUE(ParsePathwayText(text, "t.bb", &store, loaded, error)) << error;
    EXPECT_EQ(FormatPathwayFile(*loaded.graph, grid), text);
    EXPECT_EQ(loaded.hor, 3);
    EXPECT_EQ(loaded.ver, 2);
    EXPECT_EQ(loaded.graph->m_circle_count, g->m_circle_count);
    // Every name is indexed at its first node in file order.
    std::map<std::string, std::string> first;
    int c = 0;
    for (const CCircleData& circle : loaded.graph->m_lstCircles) {
        ++c;
        for (size_t i = 0; i < circle.m_lstMolecules.size(); ++i) {
            first.emplace(circle.m_lstMolecules[i].name, FormatPosition(c, static_cast<int>(i)));
        }
    }
    EXPECT_EQ(loaded.graph->m_lstNameIndex.size(), 2 * (first.size() + 1)) << "one name twice";
    for (const auto& [name, position] : first) {
        EXPECT_EQ(loaded.graph->LookUpName(name, 0), position) << name;
    }
    // Leading white space of the text lines is kept as read.
    ASSERT_TRUE(ParsePathwayText("m_circle_count 2 m_num_hor 1 m_num_ver 1\nCircleNum 1 circle_type 0 "
                                 "base_circle 1 mod_circle 0 interact 0 node_num 1 hor -1 ver -1\n"
                                 "number 0 relation 0 size 1 left -1 0 right -1 0\n  X\n 1 0 0 1\n\t2 0",
                                 "t.bb", &store, loaded, error))
        << error;
    const MoleculeRecord& x = loaded.graph->m_lstCircles[0].m_lstMolecules[0];
    EXPECT_EQ(x.name + "|" + x.links + "|" + x.backLinks, "  X| 1 0 0 1|\t2 0");
}

// Each malformed file is refused whole, with the line and what was expected.
TEST(PathwayRead, MalformedFilesNameTheLineAndTheExpectation) {
    const std::string header = "m_circle_count 2 m_num_hor 1 m_num_ver 1 \r\n";
    const std::string circle =
        "CircleNum 1 circle_type 0 base_circle 1 mod_circle 0 interact 0 node_num 1 hor -1 ver -1 \r\n";
    const std::string node = "number 0 relation 0 size 1 left -1 0 right -1 0 \r\nA\r\n1 0 0 1\r\n 1 0\r\n";
    auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"", "line 1: expected the header line, found the end of the file"},
        {"m_circle_count 2 m_num_hor 1\r\n", "line 1: expected \"m_num_ver\" in the header line, found the end of the line"},
        {replaced(header, "2", "-2"), "line 1: expected m_circle_count, m_num_hor and m_num_ver of 0 or more, found -2, 1 and 1"},
        {header + circle + node + "\r\n \r\n", ""},
        {header + replaced(circle, "CircleNum 1", "CircleNum 2") + node,
         "line 2: expected CircleNum 1 (circles are numbered in file order), found 2"},
        {header + replaced(circle, "hor -1", "hor 1") + node,
         "line 2: expected hor and ver inside the 1 x 1 grid or -1 -1, found 1 -1"},
        {header + replaced(circle, "node_num 1", "node_num 2") + node,
         "line 2: expected node_num between 0 and 1 (four lines a node, 4 lines left), found 2"},
        {header + circle + replaced(node, "size 1", "size x"),
         "line 3: expected an integer for size in the node line of node 0 in circle 1, found \"x\""},
        {header + circle + replaced(node, "number 0", "number 99999999999"),
         "line 3: expected an integer for number in the node line of node 0 in circle 1, found \"99999999999\""},
        {header + circle + replaced(node, "right -1 0 ", "right -1 0 7"),
         "line 3: expected the end of the node line of node 0 in circle 1, found \"7\""},
        {header + circle + replaced(node, "1 0 0 1", "1 0 0"),
         "line 5: expected the link line of node 0 in circle 1 to be integers in groups of four, found \"1 0 0\""},
        {header + circle + replaced(node, " 1 0\r\n", " 1 x\r\n"),
         "line 6: expected the incoming line of node 0 in circle 1 to be integers in pairs, found \" 1 x\""},
        {header + circle + node.substr(0, node.size() - 6),
         "line 2: expected node_num between 0 and 0 (four lines a node, 3 lines left), found 1"},
        {header + circle + node + "Circle 2\r\n",
         "line 7: expected \"CircleNum\" in circle line 2, found \"Circle\""},
        {replaced(header, "2", "3") + circle + node,
         "line 1: expected m_circle_count 2 (one more than the 1 circles in the file), found 3"},
    };
    CInteractionStore store("");
    for (const auto& c : cases) {
        LoadedPathway loaded;
        std::string error;
        const bool read = ParsePathwayText(c.text, "t.bb", &store, loaded, error);
        EXPECT_EQ(read, c.expected.empty()) << c.text;
        EXPECT_EQ(error, c.expected.empty() ? "" : "Cannot open \"t.bb\": " + c.expected) << c.text;
        EXPECT_EQ(loaded.graph != nullptr, read) << "a refused file leaves nothing behind";
    }
}

// Random damage to a written file: either it is refused at a line that
// exists, or what was read writes back to a file that reads the same.
TEST(PathwayRead, DamagedFilesAreRefusedOrReadWhole) {
    CInteractionStore store("");
    const std::string text = FormatPathwayFile(*Varied(store), PathwayGrid{});
    const char* junk[] = {" ", "\t", "\r\n", "\n", "x", "-", "7", "99999999999", "number", "CircleNum 9"};
    std::mt19937 random(20240611);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = text;
        const size_t at = random() % damaged.size();
        switch (random() % 4) {
            case 0: damaged.erase(at, 1 + random() % 12); break;
            case 1: damaged.insert(at, junk[random() % (sizeof junk / sizeof *junk)]); break;
            case 2: damaged[at] = "0189 -x\r\n"[random() % 10]; break;
            default: damaged.resize(at); break;
        }
        LoadedPathway loaded;
        std::string error;
        if (!ParsePathwayText(damaged, "t.bb", &store, loaded, error)) {
            ++refused;
            const std::string prefix = "Cannot open \"t.bb\": line ";
            ASSERT_EQ(error.compare(0, prefix.size(), prefix), 0) << error;
            const long line = std::stol(error.substr(prefix.size()));
            EXPECT_GE(line, 1) << error;
            EXPECT_LE(line, std::count(damaged.begin(), damaged.end(), '\n') + 1) << error;
            EXPECT_EQ(loaded.graph, nullptr);
            continue;
        }
        const std::string again = FormatPathwayFile(*loaded.graph, PathwayGrid{});
        LoadedPathway reread;
        ASSERT_TRUE(ParsePathwayText(again, "t.bb", &store, reread, error)) << error;
        EXPECT_EQ(FormatPathwayFile(*reread.graph, PathwayGrid{}), again);
        EXPECT_EQ(reread.graph->m_lstNameIndex.size(), loaded.graph->m_lstNameIndex.size());
    }
    EXPECT_GT(refused, 1000) << "the damage should mostly be caught";
}

}  // namespace
