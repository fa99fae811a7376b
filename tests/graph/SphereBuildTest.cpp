#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <sstream>

#include "InteractionStore.h"
#include "RelationKind.h"
#include "RelationNodeNames.h"
#include "SphereBuild.h"

namespace {

struct Row {
    std::string m1, m2;
    int kind;
    std::string id{};  // "r__<row number from 1>" when empty
};

void Fill(CInteractionStore& store, const std::vector<Row>& rows) {
    int n = 0;
    for (const Row& row : rows) {
        InteractionRecord r;
        ++n;
        r.id = row.id.empty() ? "r__" + std::to_string(n) : row.id;
        r.member1 = row.m1;
        r.member2 = row.m2;
        r.kind = row.kind;
        store.m_pInteractions.push_back(r);
    }
    store.m_nInteractions = n;
}

std::unique_ptr<CNode> BuildHeld(CInteractionStore& store) {
    std::string error;
    auto g = BuildSphereGraphFromArray(store, error);
    EXPECT_NE(g, nullptr) << error;
    return g ? std::move(g) : std::make_unique<CNode>();
}

std::unique_ptr<CNode> Build(CInteractionStore& store, const std::vector<Row>& rows) {
    Fill(store, rows);
    return BuildHeld(store);
}

// Every circle and node field the build sets, one line each.
std::string Dump(const CNode& g) {
    std::ostringstream out;
    for (const CCircleData& c : g.m_lstCircles) {
        out << "circle " << c.CircleNum << " type " << c.circle_type << " base " << c.base_circle << " mod "
            << c.mod_circle << " interact " << c.interact << "\n";
        for (const MoleculeRecord& m : c.m_lstMolecules) {
            out << "  " << m.number << " " << m.name << " size " << m.size << " rel " << m.relation
                << " left " << m.left.circle << " " << m.left.index << " right " << m.right.circle << " "
                << m.right.index << " links \"" << m.links << "\" back \"" << m.backLinks << "\"\n";
        }
    }
    return out.str();
}

std::string Built(const CInteractionStore& store) {
    std::ostringstream out;
    for (const InteractionRecord& r : store.m_pInteractions) {
        out << r.id << (r.built ? " at " : " unbuilt ") << r.nodeCircle << " " << r.nodeIndex << "\n";
    }
    return out.str();
}

// Node names of every circle: "A,A:B:2,B|C|...".
std::string Names(const CNode& g) {
    std::string s;
    for (const CCircleData& c : g.m_lstCircles) {
        if (!s.empty()) {
            s += '|';
        }
        for (size_t i = 0; i < c.m_lstMolecules.size(); ++i) {
            s += (i ? "," : "") + c.m_lstMolecules[i].name;
        }
    }
    return s;
}

struct GraphCase {
    const char* title;
    std::vector<Row> rows;
    const char* graph;
    const char* built;
};

class SphereBuildGraphs : public ::testing::TestWithParam<GraphCase> {};

TEST_P(SphereBuildGraphs, CirclesNodesLinksAndBuiltRecords) {
    const GraphCase& c = GetParam();
    CInteractionStore store("");
    auto g = Build(store, c.rows);
    EXPECT_EQ(Dump(*g), c.graph);
    EXPECT_EQ(Built(store), c.built);
    EXPECT_EQ(g->m_circle_count, static_cast<int>(g->m_lstCircles.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SphereBuildGraphs,
    ::testing::Values(
        GraphCase{"StimulationThenNewTargetThenNewActor",
                  {{"A", "B", 2}, {"B", "C", 3}, {"X", "B", 2}},
                  "circle 1 type 0 base 1 mod 0 interact 3\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 2 1\" back \"\"\n"
                  "  1 A:B:2 size 0 rel 2 left 1 0 right 1 2 links \"1 2 2 1\" back \" 1 0\"\n"
                  "  2 B size 1 rel 2 left -1 0 right -1 0 links \" 3 0 3 1\" back \" 5 0\"\n"
                  "circle 2 type 0 base 1 mod 0 interact 0\n"
                  "  0 C size 1 rel 0 left 0 0 right 0 0 links \"\" back \" 3 0\"\n"
                  "circle 3 type 2 base 1 mod 0 interact 0\n"
                  "  0 B-C size 0 rel 3 left 1 2 right 2 0 links \"2 0 3 1\" back \"\"\n"
                  "circle 4 type 0 base 4 mod 0 interact 0\n"
                  "  0 X size 1 rel 0 left 0 0 right 0 0 links \"5 0 2 1\" back \"\"\n"
                  "circle 5 type 2 base 4 mod 0 interact 0\n"
                  "  0 B-X size 0 rel 2 left 4 0 right 1 2 links \"1 2 2 0\" back \" 4 0\"\n",
                  "r__1 at 1 1\nr__2 at 3 0\nr__3 at 5 0\n"},
        GraphCase{"Bind",
                  {{"A", "B", 0}},
                  "circle 1 type 0 base 1 mod 0 interact 0\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 0 1\" back \"\"\n"
                  "  1 A:B:0 size 0 rel 0 left 1 0 right 1 2 links \"\" back \" 1 0\"\n"
                  "  2 B size 1 rel 0 left -1 0 right -1 0 links \"1 1 0 1\" back \"\"\n",
                  "r__1 at 1 1\n"},
        // Undirected newcomers join the existing node's circle (cases A and B).
        GraphCase{"UndirectedAttach",
                  {{"A", "B", 0}, {"D", "B", 0}, {"B", "E", 9}},
                  "circle 1 type 0 base 1 mod 0 interact 0\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 0 1\" back \"\"\n"
                  "  1 A:B:0 size 0 rel 0 left 1 0 right 1 2 links \"\" back \" 1 0\"\n"
                  "  2 B size 1 rel 0 left -1 0 right -1 0 links \"1 1 0 1 1 4 0 1 1 6 9 1\" back \"\"\n"
                  "  3 D size 1 rel 0 left 0 0 right 0 0 links \"1 4 0 1\" back \"\"\n"
                  "  4 B:D:0 size 0 rel 0 left 1 2 right 1 3 links \"\" back \"\"\n"
                  "  5 E size 1 rel 0 left 0 0 right 0 0 links \"1 6 9 1\" back \"\"\n"
                  "  6 B:E:9 size 0 rel 9 left 1 2 right 1 5 links \"\" back \"\"\n",
                  "r__1 at 1 1\nr__2 at 1 4\nr__3 at 1 6\n"},
        // Bind and Homo_xmer between two circles: both members point at the
        // relation node, whose circle is typed by the kind (9 gives 2).
        GraphCase{"UndirectedBetweenCircles",
                  {{"A", "B", 2}, {"C", "D", 2}, {"A", "C", 0}, {"D", "B", 9}},
                  "circle 1 type 0 base 1 mod 0 interact 3\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 2 1 3 0 0 1\" back \"\"\n"
                  "  1 A:B:2 size 0 rel 2 left 1 0 right 1 2 links \"1 2 2 1\" back \" 1 0\"\n"
                  "  2 B size 1 rel 2 left -1 0 right -1 0 links \" 4 0 9 1\" back \"\"\n"
                  "circle 2 type 0 base 2 mod 0 interact 4\n"
                  "  0 C size 1 rel 0 left -1 0 right -1 0 links \"2 1 2 1 3 0 0 1\" back \"\"\n"
                  "  1 C:D:2 size 0 rel 2 left 2 0 right 2 2 links \"2 2 2 1\" back \" 2 0\"\n"
                  "  2 D size 1 rel 2 left -1 0 right -1 0 links \" 4 0 9 1\" back \"\"\n"
                  "circle 3 type 0 base 1 mod 0 interact 0\n"
                  "  0 A:C:0 size 0 rel 0 left 1 0 right 2 0 links \"\" back \" 1 0 2 0\"\n"
                  "circle 4 type 2 base 2 mod 0 interact 0\n"
                  "  0 D:B:9 size 0 rel 9 left 2 2 right 1 2 links \"\" back \"\"\n",
                  "r__1 at 1 1\nr__2 at 2 1\nr__3 at 3 0\nr__4 at 4 0\n"},
        // Modifications of one target gather in one circle, their modifiers
        // in its partner; both through AttachMolecule and LinkNodes.
        GraphCase{"CovalentModificationGrouping",
                  {{"A", "B", 2}, {"C", "B", 6}, {"D", "B", 6}, {"E", "F", 2}, {"A", "F", 6}, {"C", "F", 6}},
                  "circle 1 type 0 base 1 mod 3 interact 0\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 2 1 5 0 6 1\" back \"\"\n"
                  "  1 A:B:2 size 0 rel 2 left 1 0 right 1 2 links \"1 2 2 1\" back \" 1 0\"\n"
                  "  2 B size 1 rel 2 left -1 0 right -1 0 links \"\" back \" 3 0\"\n"
                  "circle 2 type 0 base 2 mod 0 interact 0\n"
                  "  0 C size 1 rel 0 left 0 0 right 0 0 links \"3 0 6 1 5 1 6 1\" back \"\"\n"
                  "  1 D size 1 rel 0 left 0 0 right 0 0 links \"3 1 6 1\" back \"\"\n"
                  "circle 3 type 1 base 2 mod 2 interact 0\n"
                  "  0 B-C size 0 rel 6 left 2 0 right 1 2 links \"1 2 6 0\" back \" 2 0\"\n"
                  "  1 B-D size 0 rel 6 left 2 1 right 1 2 links \"1 2 6 0\" back \"\"\n"
                  "circle 4 type 0 base 4 mod 5 interact 0\n"
                  "  0 E size 1 rel 0 left -1 0 right -1 0 links \"4 1 2 1\" back \"\"\n"
                  "  1 E:F:2 size 0 rel 2 left 4 0 right 4 2 links \"4 2 2 1\" back \" 4 0\"\n"
                  "  2 F size 1 rel 2 left -1 0 right -1 0 links \"\" back \" 5 0\"\n"
                  "circle 5 type 1 base 1 mod 1 interact 0\n"
                  "  0 A-F size 0 rel 6 left 1 0 right 4 2 links \"4 2 6 1\" back \" 1 0\"\n"
                  "  1 C-F size 0 rel 6 left 2 0 right 4 2 links \"4 2 6 1\" back \" 2 0\"\n",
                  "r__1 at 1 1\nr__2 at 3 0\nr__3 at 3 1\nr__4 at 4 1\nr__5 at 5 0\nr__6 at 5 1\n"},
        // A circle's interact circle collects what leaves it; a repeated
        // interaction finds its relation node; a link inside one circle
        // stays in it.
        GraphCase{"InteractCircleRepeatAndSameCircle",
                  {{"A", "B", 2}, {"B", "C", 3}, {"B", "D", 4}, {"B", "C", 3}, {"B", "A", 2}},
                  "circle 1 type 0 base 1 mod 0 interact 3\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 2 1\" back \"\"\n"
                  "  1 A:B:2 size 0 rel 2 left 1 0 right 1 2 links \"1 2 2 1\" back \" 1 0\"\n"
                  "  2 B size 1 rel 2 left -1 0 right -1 0 links \" 3 0 3 1 3 1 4 1 1 3 2 1\" back \"\"\n"
                  "  3 B-A size 0 rel 2 left 1 2 right 1 0 links \"1 0 2 1\" back \"\"\n"
                  "circle 2 type 0 base 1 mod 0 interact 0\n"
                  "  0 C size 1 rel 0 left 0 0 right 0 0 links \"\" back \" 3 0\"\n"
                  "circle 3 type 2 base 1 mod 0 interact 0\n"
                  "  0 B-C size 0 rel 3 left 1 2 right 2 0 links \"2 0 3 1\" back \"\"\n"
                  "  1 B-D size 0 rel 4 left 1 2 right 4 0 links \"4 0 4 1\" back \"\"\n"
                  "circle 4 type 0 base 1 mod 0 interact 0\n"
                  "  0 D size 1 rel 0 left 0 0 right 0 0 links \"\" back \"\"\n",
                  "r__1 at 1 1\nr__2 at 3 0\nr__3 at 3 1\nr__4 at 3 0\nr__5 at 1 3\n"},
        // Both members refer to later interactions: the second is built
        // first; a link to a relation node has end flag 0.
        GraphCase{"ReferenceMembersBuildTheirInteractionsFirst",
                  {{"r__1", "r__2", 3, "r__3"}, {"A", "B", 2, "r__1"}, {"C", "D", 0, "r__2"}},
                  "circle 1 type 0 base 1 mod 0 interact 0\n"
                  "  0 C size 1 rel 0 left -1 0 right -1 0 links \"1 1 0 1\" back \"\"\n"
                  "  1 C:D:0 size 0 rel 0 left 1 0 right 1 2 links \"\" back \" 1 0 3 0\"\n"
                  "  2 D size 1 rel 0 left -1 0 right -1 0 links \"1 1 0 1\" back \"\"\n"
                  "circle 2 type 0 base 2 mod 0 interact 3\n"
                  "  0 A size 1 rel 0 left -1 0 right -1 0 links \"2 1 2 1\" back \"\"\n"
                  "  1 A:B:2 size 0 rel 2 left 2 0 right 2 2 links \"2 2 2 1 3 0 3 1\" back \" 2 0\"\n"
                  "  2 B size 1 rel 2 left -1 0 right -1 0 links \"\" back \"\"\n"
                  "circle 3 type 2 base 2 mod 0 interact 0\n"
                  "  0 A:B:2-C:D:0 size 0 rel 3 left 2 1 right 1 1 links \"1 1 3 0\" back \"\"\n",
                  "r__3 at 3 0\nr__1 at 2 1\nr__2 at 1 1\n"},
        // Cases A (first member a reference, second known), D with only the
        // second a reference, and B (second member a reference).
        GraphCase{
            "ReferenceMembersInEachCase",
            {{"A", "B", 2, "r__1"},
             {"r__4", "B", 3, "r__2"},
             {"F", "r__5", 2, "r__3"},
             {"E", "r__1", 0, "r__4"},
             {"G", "H", 2, "r__5"},
             {"H", "r__7", 3, "r__6"},
             {"J", "K", 2, "r__7"}},
            "circle 1 type 0 base 1 mod 0 interact 0\n"
            "  0 A size 1 rel 0 left -1 0 right -1 0 links \"1 1 2 1\" back \"\"\n"
            "  1 A:B:2 size 0 rel 2 left 1 0 right 1 2 links \"1 2 2 1 1 4 0 1\" back \" 1 0\"\n"
            "  2 B size 1 rel 2 left -1 0 right -1 0 links \"\" back \"\"\n"
            "  3 E size 1 rel 0 left 0 0 right 0 0 links \"1 4 0 1\" back \"\"\n"
            "  4 A:B:2:E:0 size 0 rel 0 left 1 1 right 1 3 links \" 1 5 3 1\" back \"\"\n"
            "  5 A:B:2:E:0-B size 0 rel 3 left 1 4 right 1 2 links \"1 2 3 1\" back \"\"\n"
            "circle 2 type 0 base 2 mod 0 interact 6\n"
            "  0 G size 1 rel 0 left -1 0 right -1 0 links \"2 1 2 1\" back \"\"\n"
            "  1 G:H:2 size 0 rel 2 left 2 0 right 2 2 links \"2 2 2 1\" back \" 2 0 4 0\"\n"
            "  2 H size 1 rel 2 left -1 0 right -1 0 links \" 6 0 3 1\" back \"\"\n"
            "circle 3 type 0 base 3 mod 0 interact 0\n"
            "  0 F size 1 rel 0 left 0 0 right 0 0 links \"4 0 2 1\" back \"\"\n"
            "circle 4 type 2 base 3 mod 0 interact 0\n"
            "  0 G:H:2-F size 0 rel 2 left 3 0 right 2 1 links \"2 1 2 0\" back \" 3 0\"\n"
            "circle 5 type 0 base 5 mod 0 interact 0\n"
            "  0 J size 1 rel 0 left -1 0 right -1 0 links \"5 1 2 1\" back \"\"\n"
            "  1 J:K:2 size 0 rel 2 left 5 0 right 5 2 links \"5 2 2 1\" back \" 5 0 6 0\"\n"
            "  2 K size 1 rel 2 left -1 0 right -1 0 links \"\" back \"\"\n"
            "circle 6 type 2 base 2 mod 0 interact 0\n"
            "  0 H-J:K:2 size 0 rel 3 left 2 2 right 5 1 links \"5 1 3 0\" back \"\"\n",
            "r__1 at 1 1\nr__2 at 1 5\nr__3 at 4 0\nr__4 at 1 4\nr__5 at 2 1\nr__6 at 6 0\nr__7 at 5 1\n"}),
    [](const ::testing::TestParamInfo<GraphCase>& info) { return std::string(info.param.title); });

TEST(SphereBuild, NameIndexHoldsMoleculesAndOwnCircleRelationNodes) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 2}, {"B", "C", 3}, {"X", "B", 2}, {"D", "B", 0}});
    EXPECT_EQ(g->LookUp("A"), "1 0");
    EXPECT_EQ(g->LookUp("C"), "2 0");
    EXPECT_EQ(g->LookUp("X"), "4 0");
    EXPECT_EQ(g->LookUp("D"), "1 3");
    EXPECT_EQ(g->LookUp("B-C"), "3 0");  // a relation node with a circle of its own
    EXPECT_EQ(g->LookUp("A:B:2"), "");   // one inside an interaction circle is not registered
    EXPECT_EQ(g->LookUp("B:D:0"), "");
    EXPECT_EQ(g->LookUp("r__2"), "3 0");  // the record is built
}

TEST(SphereBuild, RebuildOverHeldRecordsStartsUnbuilt) {
    CInteractionStore store("");
    auto first = Build(store, {{"A", "B", 2}, {"B", "C", 3}});
    auto second = BuildHeld(store);
    EXPECT_EQ(Dump(*second), Dump(*first));
    EXPECT_EQ(Built(store), "r__1 at 1 1\nr__2 at 3 0\n");

    // Flags left by a build of more records: those past the count end
    // unbuilt, the others as a build from scratch leaves them.
    CInteractionStore longer("");
    Build(longer, {{"A", "B", 2}, {"B", "C", 3}, {"r__2", "D", 6}});
    longer.m_pInteractions[0].nodeCircle = 9;
    longer.m_nInteractions = 2;
    auto shorter = BuildHeld(longer);
    EXPECT_EQ(Dump(*shorter), Dump(*first));
    EXPECT_EQ(Built(longer).substr(0, Built(store).size()), Built(store));
    EXPECT_EQ(longer.m_pInteractions[2].built, 0);
}

TEST(SphereBuild, EmptyArrayGivesEmptyGraph) {
    CInteractionStore store("");
    auto g = Build(store, {});
    EXPECT_EQ(g->m_circle_count, 1);
    EXPECT_TRUE(g->m_lstCircles.empty());
}

// Faults of the plain recursive description, each built soundly.
struct FaultCase {
    const char* title;
    std::vector<Row> rows;
    const char* names;  // Names() of the graph
    const char* built;
    std::vector<std::pair<NodePos, const char*>> links;  // links of chosen nodes
};

class SphereBuildFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SphereBuildFaults, BuildsEveryInteractionOnce) {
    const FaultCase& c = GetParam();
    CInteractionStore store("");
    auto g = Build(store, c.rows);
    EXPECT_EQ(Names(*g), c.names);
    EXPECT_EQ(Built(store), c.built);
    for (const auto& [pos, links] : c.links) {
        const MoleculeRecord* m = g->GetMolecule(pos.circle, pos.index);
        ASSERT_NE(m, nullptr) << pos.circle << " " << pos.index;
        EXPECT_EQ(m->links, links) << m->name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mended, SphereBuildFaults,
    ::testing::Values(
        // No interaction r__99 or r__98: the names are molecules.
        FaultCase{"DanglingReferenceIsAMoleculeName",
                  {{"r__99", "B", 2}, {"r__99", "C", 3}, {"X", "r__98", 2}},
                  "r__99,r__99:B:2,B|C|r__99-C|X,X:r__98:2,r__98",
                  "r__1 at 1 1\nr__2 at 3 0\nr__3 at 4 1\n",
                  {{{1, 0}, "1 1 2 1 3 0 3 1"}}},
        FaultCase{"SelfReference", {{"r__1", "A", 2}}, "r__1,r__1:A:2,A", "r__1 at 1 1\n", {}},
        // r__2 meets r__1 under construction and takes it as a name.
        FaultCase{"TwoCycle",
                  {{"r__2", "X", 2}, {"r__1", "Y", 3}},
                  "r__1,r__1:Y:3,Y|X|r__1:Y:3-X",
                  "r__1 at 3 0\nr__2 at 1 1\n",
                  {{{1, 1}, "1 2 3 1 3 0 2 1"}}},
        // Once built, r__1 is a reference again: r__4 joins its relation
        // node, not the molecule named r__1.
        FaultCase{"ThreeCycleThenReferenceToIt",
                  {{"r__2", "A", 2}, {"r__3", "B", 2}, {"r__1", "C", 2}, {"r__1", "Z", 0}},
                  "r__1,r__1:C:2,C|B|r__1:C:2-B|A|r__1:C:2-B-A,Z,r__1:C:2-B-A:Z:0",
                  "r__1 at 5 0\nr__2 at 3 0\nr__3 at 1 1\nr__4 at 5 2\n",
                  {}},
        // Resolving r__3 (second member, first) builds r__2 on the way; the
        // first member then takes r__2's node instead of building it again.
        FaultCase{"BuiltMeanwhileByTheOtherMember",
                  {{"r__2", "r__3", 0}, {"Q", "R", 2, "r__2"}, {"r__2", "P", 2, "r__3"}},
                  "Q,Q:R:2,R|P|Q:R:2-P,Q:R:2:Q:R:2-P:0",
                  "r__1 at 3 1\nr__2 at 1 1\nr__3 at 3 0\n",
                  {{{1, 1}, "1 2 2 1 3 0 2 1 3 1 0 1"}, {{3, 0}, "2 0 2 1 3 1 0 1"}}},
        FaultCase{"SameReferenceTwice",
                  {{"r__2", "r__2", 0}, {"A", "B", 2}},
                  "A,A:B:2,B,A:B:2:A:B:2:0",
                  "r__1 at 1 3\nr__2 at 1 1\n",
                  {{{1, 1}, "1 2 2 1 1 3 0 1 1 3 0 1"}}},
        // Homo_xmer between existing nodes: both members point at the new
        // relation node; nothing else is touched.
        FaultCase{"HomoXmerBetweenCircles",
                  {{"A", "B", 2}, {"C", "D", 2}, {"B", "D", 9}},
                  "A,A:B:2,B|C,C:D:2,D|B:D:9",
                  "r__1 at 1 1\nr__2 at 2 1\nr__3 at 3 0\n",
                  {{{1, 0}, "1 1 2 1"}, {{1, 2}, " 3 0 9 1"}, {{2, 2}, " 3 0 9 1"}, {{2, 0}, "2 1 2 1"}}},
        FaultCase{"HomoXmerInsideOneCircle",
                  {{"A", "B", 2}, {"A", "B", 9}},
                  "A,A:B:2,B,A:B:9",
                  "r__1 at 1 1\nr__2 at 1 3\n",
                  {{{1, 0}, "1 1 2 1 1 3 9 1"}, {{1, 2}, " 1 3 9 1"}, {{1, 3}, ""}}}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.title); });

// r__3 modifies the relation node of r__2, whose modification circle (that
// of C, circle 2) has no partner yet.
TEST(SphereBuild, ModificationOfRelationNodeGetsPartnerCircle) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 2}, {"C", "B", 6}, {"D", "r__2", 6}, {"E", "r__2", 6}});
    EXPECT_EQ(Names(*g), "A,A:B:2,B|C,B-C-D,B-C-E|B-C|D,E");
    EXPECT_EQ(Built(store), "r__1 at 1 1\nr__2 at 3 0\nr__3 at 2 1\nr__4 at 2 2\n");
    EXPECT_EQ(g->GetCircle(2)->mod_circle, 4);
    EXPECT_EQ(g->GetCircle(3)->mod_circle, 2);
    const CCircleData* partner = g->GetCircle(4);
    ASSERT_NE(partner, nullptr);
    EXPECT_EQ(partner->circle_type, 0);
    EXPECT_EQ(partner->base_circle, 4);
    EXPECT_EQ(g->GetMolecule(4, 0)->links, "2 1 6 1");
    EXPECT_EQ(g->GetMolecule(4, 1)->links, "2 2 6 1");
    const MoleculeRecord* rel = g->GetMolecule(2, 1);
    EXPECT_EQ(rel->links, "3 0 6 0");
    EXPECT_EQ(rel->left, (NodePos{4, 0}));
    EXPECT_EQ(rel->right, (NodePos{3, 0}));
    EXPECT_EQ(rel->relation, 6);
    EXPECT_EQ(g->LookUp("D"), "4 0");
    EXPECT_EQ(g->LookUp("E"), "4 1");
}

// On a graph whose numbers have gaps, AddMolecule numbering continues past
// the largest number and the position text carries that number.
TEST(SphereBuild, OperationsOnAGraphBuiltElsewhere) {
    CInteractionStore store("");
    CNode g(&store);
    CCircleData c;
    c.CircleNum = 1;
    c.base_circle = 1;
    c.interact = 1;  // what leaves circle 1 gathers in circle 1 itself
    for (int number : {0, 1, 4}) {
        MoleculeRecord m;
        m.number = number;
        m.name = "N" + std::to_string(number);
        m.size = 1;
        c.m_lstMolecules.push_back(m);
    }
    g.AppendCircle(c);
    CSphereBuilder builder(g, store);
    const int other = builder.NewMoleculeCircle("T", "", 0, 2, 1);
    EXPECT_EQ(other, 2);
    EXPECT_EQ(builder.LinkNodes(1, 1, other, 0, 3), "1 5");
    EXPECT_EQ(g.GetMolecule(1, 3)->name, "N1-T");
    EXPECT_EQ(g.GetMolecule(1, 3)->number, 5);
    EXPECT_EQ(builder.LinkNodes(1, 0, 1, 1, 2), "1 6");  // the last node's number + 1
    EXPECT_EQ(g.GetMolecule(1, 4)->name, "N0-N1");
    EXPECT_EQ(builder.LinkNodes(1, 0, 9, 0, 2), "");  // no such node
    EXPECT_EQ(builder.AttachMolecule(9, 0, "Z", 2), "");
    EXPECT_EQ(g.m_circle_count, 3);
}

// A molecule acted on by many new ones makes two circles per row, more
// than the build expects, and the scan by name must still see each one:
// a later row relating the pair again is the relation circle the scan
// over the circles' first nodes finds, and adds no circle.
TEST(SphereBuild, ScanByNameSeesEveryCircleOfALargeBuild) {
    constexpr int kActors = 700;
    std::vector<Row> rows{{"A", "B", kStimulation}};
    for (int i = 0; i < kActors; ++i) {
        rows.push_back({"M" + std::to_string(i), "A", kStimulation});
    }
    for (int i = 0; i < kActors; i += 7) {
        rows.push_back({"A", "M" + std::to_string(i), kStimulation});
    }
    CInteractionStore store("");
    auto g = Build(store, rows);
    EXPECT_EQ(g->m_circle_count, 2 + 2 * kActors);
    for (size_t r = 1 + kActors; r < rows.size(); ++r) {
        int circle = 0, index = 0;
        g->FindMoleculePosition("A-" + rows[r].m2, circle, index);
        const InteractionRecord& built = store.m_pInteractions[r];
        EXPECT_EQ(std::make_pair(built.nodeCircle, built.nodeIndex), std::make_pair(circle, index)) << rows[r].m2;
    }
}

// Runs `fn` on a thread with a small stack, where a build that recursed
// once per reference would overflow.
void RunOnSmallStack(const std::function<void()>& fn, size_t bytes) {
    pthread_attr_t attr;
    ASSERT_EQ(pthread_attr_init(&attr), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, bytes), 0);
    pthread_t thread;
    auto trampoline = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, trampoline, const_cast<std::function<void()>*>(&fn)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// Each interaction binds the previous one's relation node to a new x, and
// the array lists the chain from its far end, so building the first record
// goes down the whole chain before anything is placed. Every relation
// node's name holds the whole chain below it, so the names grow with the
// square of the depth; the depth is kept to what that allows.
TEST(SphereBuild, DeepReferenceChainUsesNoCallStack) {
    const int depth = 5000;
    CInteractionStore store("");
    std::vector<Row> rows;
    for (int n = depth; n >= 2; --n) {
        rows.push_back({"r__" + std::to_string(n - 1), "x", 0, "r__" + std::to_string(n)});
    }
    rows.push_back({"a", "x", 0, "r__1"});
    Fill(store, rows);
    std::unique_ptr<CNode> g;
    RunOnSmallStack([&] { g = BuildHeld(store); }, 256 * 1024);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->m_circle_count, 2);
    ASSERT_EQ(g->GetCircle(1)->m_lstMolecules.size(), static_cast<size_t>(2 * depth + 1));
    for (int n = 1; n <= depth; ++n) {
        const InteractionRecord& r = store.m_pInteractions[depth - n];
        ASSERT_EQ(r.built, 1) << n;
        ASSERT_EQ(r.nodeCircle, 1) << n;
        ASSERT_EQ(r.nodeIndex, n == 1 ? 1 : 2 * n) << n;
    }
    std::string top = "a:x:0";
    for (int n = 2; n <= depth; ++n) {
        top += ":x:0";
    }
    EXPECT_EQ(g->GetMolecule(1, 2 * depth)->name, top);
    EXPECT_EQ(g->GetMolecule(1, 2 * depth)->left, (NodePos{1, 2 * depth - 2}));
}

}  // namespace

namespace {

// Row i refers to rows i + 1 and i + 2: the names grow like Fibonacci numbers.
std::vector<Row> EachReferringToTheNextTwo(int rows) {
    std::vector<Row> out;
    for (int i = 1; i <= rows; ++i) {
        out.push_back({"r__" + std::to_string(i + 1), "r__" + std::to_string(i + 2), 2});
    }
    return out;
}

// Row n binds row n - 1's relation node to x: names grow with the square of the depth.
std::vector<Row> Chain(int depth) {
    std::vector<Row> out{{"a", "x", 0, "r__1"}};
    for (int n = 2; n <= depth; ++n) {
        out.push_back({"r__" + std::to_string(n - 1), "x", 0, "r__" + std::to_string(n)});
    }
    return out;
}

TEST(SphereBuild, NamesPastTheirLimitsStopTheBuild) {
    struct Case {
        const char* what;
        std::vector<Row> rows;
        NameLimits limits;
        std::string stoppedWith;  // empty: the build completes
    };
    const std::vector<Case> cases = {
        {"42 rows referring to the next two", EachReferringToTheNextTwo(42), NameLimits(),
         "bytes, more than 1 MiB: its members refer to other interactions too deeply"},
        {"a chain within the limits", Chain(300), NameLimits(), ""},
        {"the same chain past a total", Chain(300), NameLimits{size_t{1} << 20, 100000},
         "would bring the node names to more than 100000 bytes in all"},
        {"one relation node's name", {{"A", "B", 2}}, NameLimits{4, 1000},
         "Interaction r__1 would make a relation-node name of 5 bytes, more than 4 bytes"},
        {"a name just within the limit", {{"A", "B", 2}}, NameLimits{5, 7}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CInteractionStore store("");
        Fill(store, c.rows);
        std::string error;
        auto g = BuildSphereGraphFromArray(store, error, c.limits);
        if (c.stoppedWith.empty()) {
            EXPECT_NE(g, nullptr) << error;
            continue;
        }
        EXPECT_EQ(g, nullptr);
        EXPECT_NE(error.find(c.stoppedWith), std::string::npos) << error;
        EXPECT_EQ(error.rfind("Interaction r__", 0), 0u) << error;
        for (const InteractionRecord& r : store.m_pInteractions) {
            EXPECT_EQ(r.built, 0) << r.id;
        }
    }
}

// The names kept from a build serve an open only while the records are
// what the build read; a changed member, kind, id or count replays it.
TEST(SphereBuild, KeptRelationNodeNamesFollowTheRecords) {
    CInteractionStore store("");
    const std::unique_ptr<CNode> g =
        Build(store, {{"A", "B", 0}, {"B", "C", 2}, {"r__1", "D", 6}, {"C", "E", 2}});
    CRelationNodeNames kept;
    kept.Remember(*g, store);
    EXPECT_EQ(kept.For(store), SphereRelationNodeNames(store));
    const std::vector<std::function<void(InteractionRecord&)>> changes = {
        [](InteractionRecord& r) { r.member2 = "F"; },
        [](InteractionRecord& r) { r.kind = 6; },
        [](InteractionRecord& r) { r.id = "r__9"; },
    };
    for (size_t k = 0; k < changes.size(); ++k) {
        changes[k](store.m_pInteractions[0]);
        const std::vector<std::string> replayed = SphereRelationNodeNames(store);
        EXPECT_EQ(kept.For(store), replayed) << "change " << k;
    }
    store.m_nInteractions = 2;
    EXPECT_EQ(kept.For(store), SphereRelationNodeNames(store));
    EXPECT_EQ(kept.For(store).size(), 2u);
}

}  // namespace
