#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "GraphvizLayout.h"
#include "Node.h"
#include "NodePositions.h"

namespace {

std::unique_ptr<CNode> Graph(int molecules) {
    auto g = std::make_unique<CNode>();
    for (int i = 0; i < molecules; ++i) {
        g->NewStartupCircle("M" + std::to_string(i + 1), "", 0);
    }
    return g;
}

double SceneDistance(const CNode& g, int a, int b) {
    const MoleculeRecord* m = g.GetMolecule(a, 0);
    const MoleculeRecord* n = g.GetMolecule(b, 0);
    return kBoxPlaneScale * std::hypot(m->posX - n->posX, m->posY - n->posY);
}

}  // namespace

TEST(GraphvizLayout, ParsesPlainOutputAndRefusesWhatIsNotPlain) {
    const struct {
        const char* text;
        const char* error;  // empty: parses
        size_t nodes;
        size_t edges;
    } cases[] = {
        {"graph 1 2.5 1\nnode 1 0.27 0.5 0.4 0.4 1 solid circle black lightgrey\n"
         "node \"a \\\"b\\\"\" 1.5 0.5 0.4 0.4 \"a b\" solid circle black lightgrey\n"
         "edge 1 \"a \\\"b\\\"\" 4 0.5 0.5 1 0.5 1.2 0.5 1.4 0.5 solid black\nstop\n",
         "", 2, 1},
        {"graph 1 0 0\r\nstop\r\n", "", 0, 0},
        {"", "Graphviz output is empty", 0, 0},
        {"graph 1 2 2\nnode 1 0 0 0.4 0.4 1 solid circle black lightgrey\n", "before its \"stop\" line", 0, 0},
        {"digraph 1 2 2\nstop\n", "line 1: expected \"graph", 0, 0},
        {"graph 1 2 2\nnode 1 0,5 0 0.4\nstop\n", "line 2: expected \"node", 0, 0},
        {"graph 1 2 2\n\nedge 1\nstop\n", "line 3: expected \"edge", 0, 0},
        {"graph 1 2 2\nWarning: overlap\nstop\n", "line 2: unexpected \"Warning:\"", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PlainLayout layout;
        std::string error;
        const bool parsed = ParsePlainLayout(c.text, layout, error);
        EXPECT_EQ(parsed, *c.error == '\0');
        if (parsed) {
            EXPECT_EQ(layout.nodes.size(), c.nodes);
            EXPECT_EQ(layout.edges, c.edges);
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
    PlainLayout layout;
    std::string error;
    ASSERT_TRUE(ParsePlainLayout(cases[0].text, layout, error));
    EXPECT_EQ(layout.nodes[1].name, "a \"b\"");
    EXPECT_DOUBLE_EQ(layout.nodes[1].x, 1.5);
}

// The median distance to the nearest neighbour, whatever Graphviz's unit,
// becomes a fixed number of sphere diameters in the scene; the picture
// keeps its shape, is centred, and names that are no circle are skipped.
TEST(GraphvizLayout, ScalesTheMedianNeighbourDistanceToAFewSphereDiameters) {
    for (double unit : {0.01, 1.0, 72.0}) {
        SCOPED_TRACE(unit);
        auto g = Graph(4);
        auto at = [unit](double v) { return std::to_string(v * unit); };
        // Nearest neighbours one unit apart, but 4 ten units from 3; the
        // long edge 1-4 and the two nodes that are no molecule do not count.
        const std::string plain = "graph 1 12 1\nnode 1 " + at(0) + " " + at(0) + " 0.4 0.4\nnode 2 " + at(1) + " " +
                                  at(0) + " 0.4 0.4\nnode 3 " + at(1) + " " + at(1) + " 0.4 0.4\nnode 4 " + at(11) +
                                  " " + at(1) + " 0.4 0.4\nnode 99 " + at(0.1) + " 0 0.4 0.4\nnode x " + at(0.2) + " 0 0.4 0.4\n" +
                                  "edge 1 4 0\nstop\n";
        LayoutPlacement placement;
        std::string error;
        ASSERT_TRUE(ApplyPlainLayout(*g, plain, placement, error)) << error;
        EXPECT_EQ(placement.molecules, 4);
        EXPECT_EQ(placement.placed, 4);
        const double neighbours = kNeighbourDiameters * 2 * kBoxSphereRadius;
        EXPECT_NEAR(SceneDistance(*g, 1, 2), neighbours, 1e-4);
        EXPECT_NEAR(SceneDistance(*g, 2, 3), neighbours, 1e-4);
        EXPECT_NEAR(SceneDistance(*g, 3, 4), 10 * neighbours, 1e-3);
        // Centred: 1 and 4 are the corners. Graphviz's y up is the plane's -y.
        EXPECT_NEAR(g->GetMolecule(1, 0)->posX, -g->GetMolecule(4, 0)->posX, 1e-5);
        EXPECT_NEAR(g->GetMolecule(1, 0)->posY, -g->GetMolecule(4, 0)->posY, 1e-5);
        EXPECT_GT(g->GetMolecule(1, 0)->posY, g->GetMolecule(3, 0)->posY);
    }
    // Two nodes: their distance; one alone: the engines' unit edge length.
    const double unitScale = kNeighbourDiameters * 2 * kBoxSphereRadius / kBoxPlaneScale;
    PlainLayout two;
    two.nodes = {{"1", 0, 0}, {"2", 3, 4}};
    EXPECT_DOUBLE_EQ(NeighbourScale(two), unitScale / 5);
    two.nodes.pop_back();
    EXPECT_DOUBLE_EQ(NeighbourScale(two), unitScale);
}

// What Save Node Positions writes is what the next start-up load reads,
// to the last bit, whatever the process locale.
TEST(GraphvizLayout, SavedPositionsReadBackUnchanged) {
    auto g = Graph(3);
    LayoutPlacement placement;
    std::string error;
    ASSERT_TRUE(ApplyPlainLayout(
        *g, "graph 1 9 9\nnode 1 0.123457 8.5 1 1\nnode 3 -7.25 0.333333 1 1\nedge 1 3 0\nstop\n", placement, error));
    EXPECT_EQ(placement.placed, 2);
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // a decimal comma where installed
    const std::string text = FormatNodePositions(*g);
    std::setlocale(LC_NUMERIC, saved.c_str());

    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("graph 1 ", 0), 0u) << line;
    for (int circle = 1; circle <= 3; ++circle) {
        std::getline(lines, line);
        int c = 0;
        float x = 0, y = 0;
        ASSERT_TRUE(ParseNodeLine(line, c, x, y)) << line;
        EXPECT_EQ(c, circle);
        EXPECT_EQ(line.find(','), std::string::npos) << line;
    }
    std::getline(lines, line);
    EXPECT_EQ(line, "edge");
    EXPECT_FALSE(std::getline(lines, line));

    char path[] = "/tmp/tarnwick-layout-test-XXXXXX";
    close(mkstemp(path));
    std::ofstream(path, std::ios::binary) << text;
    auto reread = Graph(3);
    ASSERT_TRUE(ApplyNodePositions(*reread, path));
    std::remove(path);
    for (int circle = 1; circle <= 3; ++circle) {
        EXPECT_EQ(reread->GetMolecule(circle, 0)->posX, g->GetMolecule(circle, 0)->posX) << circle;
        EXPECT_EQ(reread->GetMolecule(circle, 0)->posY, g->GetMolecule(circle, 0)->posY) << circle;
    }
    EXPECT_EQ(g->GetMolecule(2, 0)->posX, 0.0f);  // not in the layout: stays where it was
}

TEST(GraphvizLayout, StartupPositionsAreCheckedForTheStatusBar) {
    const struct {
        int molecules;
        double step;  // plane units between molecules on a row
        bool fileRead;
        PositionsState expected;
    } cases[] = {
        {80, 0.2, true, PositionsState::Placed},       // the sample's spacing
        {80, 0.2, false, PositionsState::NoFile},      // file missing: stacked
        {80, 0.0, true, PositionsState::NothingPlaced},
        {1, 0.0, true, PositionsState::Placed},        // one molecule sits anywhere
        {80, 1.0, true, PositionsState::TooSpread},    // Graphviz inches as they are
        {0, 0.0, false, PositionsState::Placed},       // nothing loaded: nothing to say
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.molecules << " " << c.step << " " << c.fileRead);
        auto g = Graph(c.molecules);
        const int side = static_cast<int>(std::ceil(std::sqrt(c.molecules)));
        for (int i = 0; i < c.molecules; ++i) {
            g->GetMolecule(i + 1, 0)->posX = static_cast<float>((i % side) * c.step);
            g->GetMolecule(i + 1, 0)->posY = static_cast<float>((i / side) * c.step);
        }
        const PositionsCheck check = CheckPositions(*g, c.fileRead);
        EXPECT_EQ(check.state, c.expected) << check.spacingRadii;
        EXPECT_EQ(check.molecules, c.molecules);
    }
}

TEST(GraphvizLayout, EnginesAndTheirCommandLine) {
    EXPECT_EQ(DefaultLayoutEngine(2000), "neato");
    EXPECT_EQ(DefaultLayoutEngine(2001), "sfdp");
    for (const std::string& engine : LayoutEngines()) {
        EXPECT_TRUE(IsLayoutEngine(engine));
    }
    EXPECT_FALSE(IsLayoutEngine("twopi -o /etc/passwd"));
    EXPECT_EQ(GraphvizArguments("fdp"), (std::vector<std::string>{"-Kfdp", "-Tplain"}));
    EXPECT_EQ(GraphvizFailure("sfdp", "failed with exit status 1", "Error: syntax error in line 3\n\n"),
              "Graphviz (sfdp) failed with exit status 1:\nError: syntax error in line 3");
}
