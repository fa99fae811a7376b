#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoRotationXYZ.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include "BoxRep.h"
#include "CircleRebuilder.h"
#include "EdgeReuse.h"
#include "EditJournal.h"
#include "LinkText.h"
#include "SceneNames.h"
#include "SceneTestSupport.h"
#include "SphereBuild.h"
#include "SphereVision.h"
#include "StartupBuild.h"
#include "StartupLoad.h"

namespace {

SoNode* ChildOf(SoNode* group, int index) {
    auto* g = As<SoGroup>(group);
    return g && index < g->getNumChildren() ? g->getChild(index) : nullptr;
}

void ExpectNear(const SbVec3f& a, const SbVec3f& b, const char* what) {
    EXPECT_LT((a - b).length(), 1e-3f) << what << ": (" << a[0] << ", " << a[1] << ", " << a[2] << ") vs (" << b[0]
                                       << ", " << b[1] << ", " << b[2] << ")";
}

void ExpectMatrixNear(const SbMatrix& a, const SbMatrix& b, const std::string& what) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(a[i][j], b[i][j], 1e-3) << what << " [" << i << "][" << j << "]";
        }
    }
}

// One node per circle: name, size, links; circle fields as given.
struct NodeSpec {
    std::string name;
    int size = 1;
    std::string links{};
    int mod = 0;
    int interact = 0;
};

class SphereSceneTest : public ::testing::Test {
protected:
    void BuildHandMade(const std::vector<NodeSpec>& nodes, int big = 300, int small = 30) {
        sphere.reset();
        graph = std::make_unique<CNode>(&store);
        for (const NodeSpec& spec : nodes) {
            CCircleData& circle = graph->AppendEmptyCircle();
            circle.mod_circle = spec.mod;
            circle.interact = spec.interact;
            MoleculeRecord m;
            m.name = spec.name;
            m.size = spec.size;
            m.links = spec.links;
            circle.m_lstMolecules.push_back(m);
        }
        BuildSphere(big, small);
    }
    // `count` interactions among `names` names (member k and k * step + 3,
    // modulo), every relation kind in turn, built into the sphere-view graph.
    void BuildNamesInRing(int count, int names, int step) {
        std::vector<TestRow> rows;
        for (int k = 0; k < count; ++k) {
            rows.push_back({"M" + std::to_string(k % names), "M" + std::to_string((k * step + 3) % names), k % 11});
        }
        FillInteractions(store, rows);
        graph = BuildSphereGraphFromArray(store);
    }
    // Another sphere representation of the same graph, laid out, no scene.
    std::unique_ptr<CSphereVision> LaidOutSphere(int big, int small) {
        auto other = std::make_unique<CSphereVision>(store, graph, host, big, small, graph->m_circle_count);
        other->Layout();
        return other;
    }
    void BuildSphere(int big = 300, int small = 30) {
        sphere = std::make_unique<CSphereVision>(store, graph, host, big, small, graph->m_circle_count);
        sphere->Layout();
        sphere->BuildScene();
    }
    SoSeparator* MoleculeGroup(const std::string& name) {
        CoinPtr<SoPath> path = PathTo(sphere->GetNodeRoot(), name);
        EXPECT_TRUE(path) << name;
        return path ? As<SoSeparator>(path->getNodeFromTail(1)) : nullptr;
    }
    SbVec3f SpherePosition(const std::string& name) {
        CoinPtr<SoPath> path = PathTo(sphere->GetNodeRoot(), name);
        return path ? TranslationOf(MatrixAlong(path.get())) : SbVec3f(-1e9f, 0, 0);
    }
    // The label group holding text_<name> under `root`.
    SoSeparator* LabelGroup(SoNode* root, const std::string& name) {
        CoinPtr<SoPath> path = PathTo(root, "text_" + name);
        return path ? As<SoSeparator>(path->getNodeFromTail(1)) : nullptr;
    }
    SoCone* Cone(const std::string& name, int which = 0) {
        SoSearchAction search;
        SetSearchName(search, name);
        search.setInterest(SoSearchAction::ALL);
        search.apply(sphere->GetEdgeRoot());
        return which < search.getPaths().getLength() ? As<SoCone>(search.getPaths()[which]->getTail()) : nullptr;
    }

    CInteractionStore store{""};
    TestSceneHost host;
    std::unique_ptr<CNode> graph;
    std::unique_ptr<CSphereVision> sphere;
};

TEST_F(SphereSceneTest, OneCircleSitsAtTheBigRadiusOnTheEquator) {
    BuildHandMade({{"A"}});
    EXPECT_EQ(sphere->GetColumns(), 1);
    EXPECT_EQ(sphere->GetRings(), 1);
    EXPECT_EQ(sphere->GetCircleAt(0, 0), 1);
    SoNode* circle = FindNamed(sphere->GetNodeRoot(), "CircleNumber:1");
    ASSERT_NE(circle, nullptr);
    // Circle group: its transform, then per molecule the turn and the molecule group.
    ASSERT_EQ(ChildCount(circle), 3);
    auto* out = As<SoTransform>(ChildOf(circle, 0));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->translation.getValue(), SbVec3f(0, 0, 300));
    ASSERT_NE(As<SoRotationXYZ>(ChildOf(circle, 1)), nullptr);
    ExpectNear(SpherePosition("A"), SbVec3f(0, 0, 330), "A");
    // Node root: ring separator then the lift, once per ring.
    ASSERT_EQ(ChildCount(sphere->GetNodeRoot()), 2);
    auto* lift = As<SoTransform>(ChildOf(sphere->GetNodeRoot(), 1));
    ASSERT_NE(lift, nullptr);
    EXPECT_EQ(lift->translation.getValue(), SbVec3f(0, 300, 0));
    auto* font = As<SoFont>(ChildOf(sphere->GetLabelRoot(), 0));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::string(font->name.getValue().getString()), "Arial");
    EXPECT_FLOAT_EQ(font->size.getValue(), 12.0f);
}

TEST_F(SphereSceneTest, RingsClimbAndColumnsTurnAboutTheAxis) {
    // 1 queues 2 (ring 1) and 2 queues 3 (ring 2); 4 is a group of its own.
    BuildHandMade({{"A", 1, "2 0 2 0"}, {"A-B", 0, "3 0 2 1"}, {"B"}, {"C"}}, 300, 30);
    ASSERT_EQ(sphere->GetColumns(), 2);
    ASSERT_EQ(sphere->GetRings(), 3);
    // Every ring has one turn per column, occupied or not, and a lift after it.
    ASSERT_EQ(ChildCount(sphere->GetNodeRoot()), 6);
    for (int ring = 0; ring < 3; ++ring) {
        SoNode* ringGroup = ChildOf(sphere->GetNodeRoot(), 2 * ring);
        int turns = 0;
        for (int i = 0; i < ChildCount(ringGroup); ++i) {
            if (auto* turn = As<SoRotationXYZ>(ChildOf(ringGroup, i))) {
                ++turns;
                EXPECT_EQ(turn->axis.getValue(), SoRotationXYZ::Y);
                EXPECT_FLOAT_EQ(turn->angle.getValue(), static_cast<float>(6.2831853 / 2));
            }
        }
        EXPECT_EQ(turns, 2) << ring;
        EXPECT_EQ(ChildOf(sphere->GetNodeRoot(), 2 * ring + 1), ChildOf(sphere->GetNodeRoot(), 1));  // one lift node
    }
    // Column 0 is turned by half a circle, column 1 by a whole one; ring r
    // stands r * (300 / 3) high at the latitude radius sqrt(300^2 - h^2).
    const float z1 = std::sqrt(300.0f * 300.0f - 100.0f * 100.0f);
    const float z2 = std::sqrt(300.0f * 300.0f - 200.0f * 200.0f);
    ExpectNear(SpherePosition("A"), SbVec3f(0, 0, -330), "A");
    ExpectNear(SpherePosition("A-B"), SbVec3f(0, 100, -(z1 + 30)), "A-B");
    ExpectNear(SpherePosition("B"), SbVec3f(0, 200, -(z2 + 30)), "B");
    ExpectNear(SpherePosition("C"), SbVec3f(0, 0, 330), "C");
}

TEST_F(SphereSceneTest, SpheresLabelsAndEdgesFollowTheNodeKind) {
    host.m_flags.m_bSelectiveShowing = 1;
    // The molecule links twice to the relation node: end 0, then end 1.
    BuildHandMade({{"A", 1, "2 0 2 0 2 0 3 1"}, {"A-B", 0, "3 0 6 1"}, {"B"}});
    struct Expect {
        std::string name;
        const char* material;
        SbColor color;
        float radius;
        bool red;
        SbVec3f offset;
    };
    for (const Expect& e : {Expect{"A", "node_material_red", {1, 0, 0}, 2.0f, true, {2.25f, 0, 2.25f}},
                            Expect{"A-B", "node_material_green", {0, 1, 0}, 1.0f, false, {1.25f, 0, 1.25f}}}) {
        SCOPED_TRACE(e.name);
        SoSeparator* group = MoleculeGroup(e.name);
        ASSERT_EQ(ChildCount(group), 3);
        auto* material = As<SoMaterial>(ChildOf(group, 1));  // the highlight code relies on child 1
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(GetSceneName(material), e.material);
        EXPECT_EQ(material->diffuseColor[0], e.color);
        EXPECT_FLOAT_EQ(material->transparency[0], 1.0f);
        EXPECT_FLOAT_EQ(As<SoSphere>(ChildOf(group, 2))->radius.getValue(), e.radius);
        // One label group, in the red group for a molecule and the green one
        // for a relation node, offset by size, placed at the sphere.
        SoNode* right = e.red ? sphere->GetRedCharRoot() : sphere->GetGreenCharRoot();
        SoNode* wrong = e.red ? sphere->GetGreenCharRoot() : sphere->GetRedCharRoot();
        EXPECT_EQ(FindAllNamed(right, "text_" + e.name).size(), 1u);
        EXPECT_EQ(FindAllNamed(wrong, "text_" + e.name).size(), 0u);
        SoSeparator* label = LabelGroup(right, e.name);
        ASSERT_EQ(ChildCount(label), 3);
        EXPECT_EQ(As<SoTranslation>(ChildOf(label, 1))->translation.getValue(), e.offset);
        ExpectNear(TranslationOf(MatrixOf(ChildOf(label, 0))),
                   SpherePosition(e.name), "label place");
    }
    // Edges: radius 0.75, no transparency set, sphere colours; the edge to
    // the relation node with end 0 is one unit longer than with end 1.
    SoCone* full = Cone("E_1:0-2:0", 0);
    SoCone* shortened = Cone("E_1:0-2:0", 1);
    ASSERT_TRUE(full && shortened);
    const float d = (SpherePosition("A-B") - SpherePosition("A")).length();
    EXPECT_NEAR(full->height.getValue(), d, 1e-3);
    EXPECT_NEAR(shortened->height.getValue(), d - 1.0f, 1e-3);
    EXPECT_FLOAT_EQ(full->bottomRadius.getValue(), 0.75f);
    CoinPtr<SoPath> edge = PathTo(sphere->GetEdgeRoot(), "E_2:0-3:0");
    ASSERT_TRUE(edge);
    auto* edgeMaterial = As<SoMaterial>(ChildOf(edge->getNodeFromTail(1), 3));
    ASSERT_NE(edgeMaterial, nullptr);
    EXPECT_EQ(GetSceneName(edgeMaterial), "edge_material_6");
    EXPECT_EQ(edgeMaterial->diffuseColor[0], SbColor(1.0f, 0.9725490f, 0.8627451f));
    EXPECT_TRUE(edgeMaterial->transparency.isDefault());
}

TEST_F(SphereSceneTest, EdgeColoursFollowTheSphereTable) {
    BuildHandMade({{"A"}});
    const SbColor magenta(1, 0, 1), yellow(1, 1, 0), brown(0.5450981f, 0.2705882f, 0.0745098f),
        cornsilk(1.0f, 0.9725490f, 0.8627451f);
    const SbColor expected[] = {magenta, yellow, yellow, brown, yellow, brown, cornsilk, yellow, brown, magenta, magenta};
    for (int kind = 0; kind < 11; ++kind) {
        EXPECT_EQ(sphere->GetEdgeColor(kind), expected[kind]) << kind;
    }
}

TEST_F(SphereSceneTest, ViewByColorMakesEverySphereWhite) {
    host.m_flags.m_bViewByColor = 1;
    BuildHandMade({{"A", 1, "2 0 2 0"}, {"A-B", 0}});
    for (const char* name : {"A", "A-B"}) {
        auto* material = As<SoMaterial>(ChildOf(MoleculeGroup(name), 1));
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(material->diffuseColor[0], SbColor(1, 1, 1)) << name;
        EXPECT_TRUE(material->transparency.isDefault()) << name;
    }
}

// The matrices remembered while building place labels and edges exactly
// where a search from the node root puts the spheres.
TEST_F(SphereSceneTest, LabelsAndEdgesSitWhereTheSpheresAre) {
    FillInteractions(store, {{"A", "B"}, {"B", "C", 6}, {"r__1", "D", 3}, {"E", "F", 0}, {"C", "A", 2}});
    graph = BuildSphereGraphFromArray(store);
    BuildSphere(500, 20);
    int circles = 0;
    for (int c = 1; c < graph->m_circle_count; ++c) {
        const MoleculeRecord* m = graph->GetMolecule(c, 0);
        ASSERT_NE(m, nullptr);
        ASSERT_NE(FindNamed(sphere->GetNodeRoot(), "CircleNumber:" + std::to_string(c)), nullptr) << c;
        ++circles;
        CoinPtr<SoPath> path = PathTo(sphere->GetNodeRoot(), m->name);
        ASSERT_TRUE(path) << m->name;
        const SbMatrix atSphere = MatrixAlong(path.get());
        SoNode* labels = m->size != 0 ? sphere->GetRedCharRoot() : sphere->GetGreenCharRoot();
        SoSeparator* label = LabelGroup(labels, m->name);
        ASSERT_NE(label, nullptr) << m->name;
        ExpectMatrixNear(MatrixOf(ChildOf(label, 0)), atSphere, m->name);
    }
    EXPECT_GT(circles, 5);
    // Each cone starts at its source sphere: the aiming transform's translation.
    SoSearchAction cones;
    cones.setType(SoCone::getClassTypeId());
    cones.setInterest(SoSearchAction::ALL);
    cones.apply(sphere->GetEdgeRoot());
    ASSERT_GT(cones.getPaths().getLength(), 0);
    for (int i = 0; i < cones.getPaths().getLength(); ++i) {
        SoPath* path = cones.getPaths()[i];
        int c = 0, k = 0, c2 = 0, k2 = 0;
        ASSERT_EQ(sscanf(GetSceneName(path->getTail()).c_str(), "E_%d:%d-%d:%d", &c, &k, &c2, &k2), 4);
        auto* aim = As<SoTransform>(ChildOf(path->getNodeFromTail(1), 0));
        // Only a circle's first node is drawn; the others' edges start at
        // the origin, as a search that finds no sphere gives.
        const std::string& source = graph->GetMolecule(c, k)->name;
        const SbVec3f start = FindNamed(sphere->GetNodeRoot(), source) ? SpherePosition(source) : SbVec3f(0, 0, 0);
        ExpectNear(aim->translation.getValue(), start, "edge start");
    }
}

// A click on a relation node shows the sentence of the interaction built
// into it, even where another interaction names the node as a member.
TEST_F(SphereSceneTest, ClickingARelationNodeShowsTheSentenceItWasBuiltFrom) {
    FillInteractions(store, {{"A", "B"}, {"B", "C", 6}, {"r__1", "D", 3}, {"C", "A", 0}});
    for (InteractionRecord& r : store.m_pInteractions) {
        r.source = "sentence of " + r.id;
        r.prep1 = "pmid " + r.id;
    }
    graph = BuildSphereGraphFromArray(store);
    BuildSphere();
    int clicked = 0;
    for (const InteractionRecord& r : store.m_pInteractions) {
        ASSERT_TRUE(r.built) << r.id;
        const MoleculeRecord* node = graph->GetMolecule(r.nodeCircle, r.nodeIndex);
        ASSERT_NE(node, nullptr);
        CoinPtr<SoPath> path = PathTo(sphere->GetRoot(), node->name);
        if (!path || GetSceneName(path->getTail()) != node->name || r.nodeIndex != 0) {
            continue;  // only a circle's first node is drawn
        }
        host.m_textSource.clear();
        sphere->ToggleSelection(path.get());
        EXPECT_EQ(host.m_textSource, r.id + " : sentence of " + r.id + " ( PMID : pmid " + r.id + " )");
        sphere->ToggleSelection(path.get());
        ++clicked;
    }
    EXPECT_GT(clicked, 0);
}

// After the sphere view is built every drawn name is in both scenes; each
// representation still searches, selects, highlights and expands in its
// own.
TEST_F(SphereSceneTest, BothRepresentationsActOnlyInTheirOwnScene) {
    FillInteractions(store, {{"A", "B"}, {"B", "C"}, {"C", "D", 3}});
    graph = BuildSphereGraphFromArray(store);
    std::unique_ptr<CBoxRep> box = BuildBoxRepresentation(store, graph, host);
    BuildSphere();  // built last: Coin's name table answers with its nodes

    // Two drawn nodes joined by a link: an edge in both scenes.
    std::string from, to, cone;
    for (int c = 1; c < graph->m_circle_count && cone.empty(); ++c) {
        const MoleculeRecord* m = graph->GetMolecule(c, 0);
        int c2 = 0, k2 = 0;
        if (m && sscanf(m->links.c_str(), "%d %d", &c2, &k2) == 2 && k2 == 0 && c2 != c) {
            from = m->name;
            to = graph->GetMolecule(c2, 0)->name;
            cone = "E_" + std::to_string(c) + ":0-" + std::to_string(c2) + ":0";
        }
    }
    ASSERT_FALSE(cone.empty());
    auto edgeMaterial = [&](CRepresentation& rep) {
        CoinPtr<SoPath> path = PathTo(rep.GetEdgeRoot(), cone);
        return path ? As<SoMaterial>(ChildOf(path->getNodeFromTail(1), 3)) : nullptr;
    };
    auto selected = [](CRepresentation& rep) {
        std::set<std::string> names;
        const SoPathList& paths = *rep.GetSelection()->getList();
        for (int i = 0; i < paths.getLength(); ++i) {
            names.insert(GetSceneName(paths[i]->getTail()));
        }
        return names;
    };

    box->SearchAndSelect(from, -1, 0, 0);
    EXPECT_EQ(selected(*box), std::set<std::string>{from});
    EXPECT_TRUE(selected(*sphere).empty());
    EXPECT_TRUE(box->IsNameSelected(from));
    EXPECT_FALSE(sphere->IsNameSelected(from));

    sphere->SearchAndSelect(to, -1, 0, 0);
    EXPECT_EQ(selected(*sphere), std::set<std::string>{to});
    EXPECT_EQ(selected(*box), std::set<std::string>{from});
    EXPECT_TRUE(host.m_messages.empty());

    // Selective showing: an edge shows only where both ends are selected
    // in that scene.
    host.m_flags.m_bViewWithBox = 0;
    host.m_flags.m_bSelectiveShowing = 1;
    sphere->SetHighlightMode(1, 0);
    sphere->SearchAndSelect(from, -1, 0, 1);
    ASSERT_TRUE(edgeMaterial(*sphere) && edgeMaterial(*box));
    EXPECT_FLOAT_EQ(edgeMaterial(*sphere)->transparency[0], 0.0f);
    box->UpdateEdgeHighlight(1);
    EXPECT_FLOAT_EQ(edgeMaterial(*box)->transparency[0], 1.0f);
    box->SearchAndSelect(to, -1, 0, 1);
    EXPECT_FLOAT_EQ(edgeMaterial(*box)->transparency[0], 0.0f);

    // Expanding the box selection along out-links leaves the sphere's alone.
    const std::set<std::string> sphereBefore = selected(*sphere);
    box->DeselectAll();
    box->SearchAndSelect(from, -1, 0, 0);
    box->ExpandSelection(1);
    EXPECT_TRUE(selected(*box).count(to));
    EXPECT_EQ(selected(*sphere), sphereBefore);
    EXPECT_TRUE(host.m_messages.empty());
}

}  // namespace

namespace {

// Sphere matrices found by name are the matrix action's to the last bit,
// while circles are rebuilt in place and after the turns themselves move.
TEST_F(SphereSceneTest, NamedSphereMatricesEqualTheMatrixActionAfterChanges) {
    std::vector<TestRow> rows;
    for (int k = 0; k < 12; ++k) {
        rows.push_back({"M" + std::to_string(k), "M" + std::to_string((k * 5 + 3) % 12), k % 11});
    }
    FillInteractions(store, rows);
    graph = BuildSphereGraphFromArray(store);
    BuildSphere(400, 25);
    auto turnRing = [this]() {
        // A transformation ahead of every circle group of the first ring.
        auto* ring = As<SoGroup>(ChildOf(sphere->GetNodeRoot(), 0));
        for (int i = 0; ring && i < ring->getNumChildren(); ++i) {
            if (auto* turn = As<SoRotationXYZ>(ring->getChild(i))) {
                turn->angle.setValue(turn->angle.getValue() + 0.25f);
                return;
            }
        }
    };
    const struct {
        const char* step;
        std::function<void()> run;
    } steps[] = {
        {"as built", [] {}},
        {"every circle rebuilt", [this] {
             for (int c = 1; c < graph->m_circle_count; ++c) {
                 sphere->RebuildCircle(c);
             }
         }},
        {"a turn moved", turnRing},
        {"a circle rebuilt after the turn", [this] { sphere->RebuildCircle(2); }},
    };
    for (const auto& step : steps) {
        step.run();
        int compared = 0;
        for (int c = 1; c < graph->m_circle_count; ++c) {
            const std::string& name = graph->GetMolecule(c, 0)->name;
            CoinPtr<SoPath> path = PathTo(sphere->GetNodeRoot(), name);
            ASSERT_TRUE(path) << name;
            EXPECT_EQ(sphere->GetNodeMatrix(name), MatrixAlong(path.get())) << step.step << ": " << name;
            ++compared;
        }
        EXPECT_GT(compared, 10) << step.step;
    }
}

}  // namespace

namespace {


// Rebuilds one representation as edits do (taking over unchanged edges) and
// the other from empty groups, at the same moments.
struct ReusedAndFresh : ICircleRebuilder {
    ReusedAndFresh(CSphereVision& r, CSphereVision& o) : reused(r), other(o) {}
    int RebuildCircle(int circle) override {
        EmptyEdges(circle);
        EmptyLabels(circle);
        const int fresh = other.RebuildCircle(circle);
        EXPECT_EQ(reused.RebuildCircle(circle), fresh) << circle;
        return fresh;
    }
    int RebuildCircleEdges(int circle) override {
        EmptyEdges(circle);
        const int fresh = other.RebuildCircleEdges(circle);
        EXPECT_EQ(reused.RebuildCircleEdges(circle), fresh) << circle;
        return fresh;
    }
    void EmptyEdges(int circle) {
        if (auto* group = As<SoGroup>(FindNamed(other.GetEdgeRoot(), "circleNumEdge:" + std::to_string(circle)))) {
            group->removeAllChildren();
        }
    }
    void EmptyLabels(int circle) {
        for (const char* name : {"GreenCharCircleNum:", "RedCharCircleNum:"}) {
            if (auto* group = As<SoGroup>(FindNamed(other.GetLabelRoot(), name + std::to_string(circle)))) {
                group->removeAllChildren();
            }
        }
    }
    CSphereVision& reused;
    CSphereVision& other;
};

// Edges and labels taken over by a rebuild are, field for field, those a
// rebuild from nothing makes, also where the highlighting had changed an
// edge or the decluttering emptied a label.
TEST_F(SphereSceneTest, RebuiltCirclesTakeOverOnlyEdgesAndLabelsEqualToNewOnes) {
    BuildNamesInRing(60, 20, 7);
    BuildSphere(400, 25);
    std::unique_ptr<CSphereVision> freshSphere = LaidOutSphere(400, 25);
    CSphereVision& fresh = *freshSphere;
    fresh.BuildScene();
    // The same looks on both: one edge of every circle turned white, one
    // label in five emptied.
    auto all = [](SoNode* root, SoType type) {
        SoSearchAction search;
        search.setType(type);
        search.setInterest(SoSearchAction::ALL);
        search.apply(root);
        std::vector<SoNode*> nodes;
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            nodes.push_back(search.getPaths()[i]->getTail());
        }
        return nodes;
    };
    for (CSphereVision* rep : {sphere.get(), &fresh}) {
        const std::vector<SoNode*> materials = all(rep->GetEdgeRoot(), SoMaterial::getClassTypeId());
        for (size_t i = 0; i < materials.size(); i += 3) {
            As<SoMaterial>(materials[i])->diffuseColor.setValue(1, 1, 1);
        }
        const std::vector<SoNode*> texts = all(rep->GetLabelRoot(), SoText2::getClassTypeId());
        for (size_t i = 0; i < texts.size(); i += 5) {
            As<SoText2>(texts[i])->string.setValue("");
        }
    }
    ASSERT_EQ(SceneText(sphere->GetEdgeRoot()), SceneText(fresh.GetEdgeRoot()));
    ASSERT_EQ(SceneText(sphere->GetLabelRoot()), SceneText(fresh.GetLabelRoot()));
    ReusedAndFresh both(*sphere, fresh);
    // Each edge group or label text with the circle's group holding it.
    auto placed = [this](SoNode* root, SoType type, int up) {
        std::map<SoNode*, SoNode*> nodes;
        SoSearchAction search;
        search.setType(type);
        search.setInterest(SoSearchAction::ALL);
        search.apply(root);
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            nodes[search.getPaths()[i]->getNodeFromTail(up - 1)] = search.getPaths()[i]->getNodeFromTail(up);
        }
        return nodes;
    };
    struct Kind {
        SoNode* root;
        SoType type;
        int up;
        size_t kept = 0;
    };
    std::vector<Kind> kinds{{sphere->GetEdgeRoot(), SoCone::getClassTypeId(), 2},
                            {sphere->GetLabelRoot(), SoText2::getClassTypeId(), 2}};
    for (const char* name : {"M5", "M17", "M2"}) {
        int c = 0, i = 0;
        sscanf(graph->LookUp(name).c_str(), "%d %d", &c, &i);
        ASSERT_GT(c, 0) << name;
        std::vector<std::map<SoNode*, SoNode*>> before;
        std::vector<CoinPtr<SoNode>> held;  // no new group may take an old one's address
        for (const Kind& kind : kinds) {
            before.push_back(placed(kind.root, kind.type, kind.up));
            for (const auto& node : before.back()) {
                held.emplace_back(node.first);
                held.emplace_back(node.second);
            }
        }
        ASSERT_EQ(graph->DeleteMolecule(c, i, 1, 1, 1, both), 1) << name;
        EXPECT_EQ(SceneText(sphere->GetEdgeRoot()), SceneText(fresh.GetEdgeRoot())) << name;
        EXPECT_EQ(SceneText(sphere->GetLabelRoot()), SceneText(fresh.GetLabelRoot())) << name;
        // What moved into a rebuilt circle's new group was taken over.
        for (size_t k = 0; k < kinds.size(); ++k) {
            std::set<SoNode*> groupsBefore;
            for (const auto& node : before[k]) {
                groupsBefore.insert(node.second);
            }
            for (const auto& node : placed(kinds[k].root, kinds[k].type, kinds[k].up)) {
                kinds[k].kept += before[k].count(node.first) && !groupsBefore.count(node.second);
            }
        }
    }
    for (const Kind& kind : kinds) {
        EXPECT_GT(kind.kept, 0u) << kind.type.getName().getString();  // not all built anew
    }
}

// A material or a whole edge group an edit dropped comes back in a new
// edge as a new one would be, whatever the highlighting had set on it and
// whatever look the group had (a degenerate aim sets fewer fields); one
// still held elsewhere is never shared.
TEST_F(SphereSceneTest, DroppedEdgesComeBackAsNew) {
    BuildNamesInRing(12, 6, 5);
    BuildSphere();
    const SbVec3f from(0, 0, 0), to(1, 2, 3);
    struct Case {
        std::optional<float> before, after;
        bool heldElsewhere;
        SbVec3f end;  // where the new edge ends
    };
    for (const bool whole : {false, true}) {
        for (const Case& c : std::vector<Case>{{std::nullopt, 0.5f, false, to},
                                               {0.5f, std::nullopt, false, to},
                                               {std::nullopt, std::nullopt, true, to},
                                               {std::nullopt, std::nullopt, false, from}}) {
            CEdgeMaterialPool pool;
            CoinPtr<SoSeparator> dropped = sphere->BuildEdge(to, from, 4, 1, 1, 0, 2, 0, 3, c.before);
            auto* material = As<SoMaterial>(dropped->getChild(3));
            material->diffuseColor.setValue(1, 1, 1);
            material->transparency.setValue(1.0f);
            material->ambientColor.setValue(0.5f, 0.5f, 0.5f);
            pool.Keep(dropped.get());
            EXPECT_TRUE(CEdgeMaterialPool::IsWaiting(material));
            const CoinPtr<SoSeparator> holder = c.heldElsewhere ? dropped : CoinPtr<SoSeparator>();
            const SoNode* edgeBefore = dropped.get();
            dropped.reset();
            CoinPtr<SoNode> reused;
            if (whole) {
                CEdgeReuse reuse(nullptr, &pool);
                reused = CoinPtr<SoNode>(reuse.Take(sphere->LookOfEdge(from, c.end, 4, 0, 1, 1, 3, 0, 2, c.after)));
                EXPECT_EQ(reused.get() == edgeBefore, !c.heldElsewhere);
            } else {
                reused = CoinPtr<SoNode>(sphere->BuildEdge(from, c.end, 4, 0, 1, 1, 3, 0, 2, c.after, &pool).get());
            }
            if (!reused) {
                continue;
            }
            const CoinPtr<SoSeparator> fresh = sphere->BuildEdge(from, c.end, 4, 0, 1, 1, 3, 0, 2, c.after);
            const SoNode* reusedMaterial = As<SoGroup>(reused.get())->getChild(3);
            EXPECT_EQ(reusedMaterial == material, !c.heldElsewhere) << whole;
            EXPECT_FALSE(CEdgeMaterialPool::IsWaiting(reusedMaterial));
            EXPECT_EQ(SceneText(reused.get()), SceneText(fresh.get())) << whole;
        }
    }
}

// Built in steps, bounds are cached part by part; built at once, the camera
// walks the whole scene: both end in the same nodes, names and field values,
// camera included to the last bit.
TEST_F(SphereSceneTest, SteppedBuildEndsInTheSceneBuiltAtOnce) {
    BuildNamesInRing(15, 9, 4);
    BuildSphere(350, 20);
    std::unique_ptr<CSphereVision> stepped = LaidOutSphere(350, 20);
    stepped->BeginSceneSteps();
    int steps = 0;
    while (stepped->BuildSceneStep()) {
        ++steps;
    }
    EXPECT_GT(steps, 3);
    EXPECT_EQ(SceneText(stepped->GetRoot()), SceneText(sphere->GetRoot()));
    const SoPerspectiveCamera* a = stepped->GetCamera();
    const SoPerspectiveCamera* b = sphere->GetCamera();
    EXPECT_EQ(a->position.getValue(), b->position.getValue());
    EXPECT_EQ(a->nearDistance.getValue(), b->nearDistance.getValue());
    EXPECT_EQ(a->farDistance.getValue(), b->farDistance.getValue());
    EXPECT_EQ(a->focalDistance.getValue(), b->focalDistance.getValue());
}

}  // namespace

namespace {

// Each update on two representations of one graph: the one under test
// touches only what changed, the other rebuilds every circle named.
struct TouchedAndRebuilt : ICircleRebuilder {
    TouchedAndRebuilt(CRepresentation& touched, CRepresentation& rebuilt) : touched(touched), rebuilt(rebuilt) {}
    int RebuildCircle(int circle) override {
        const int result = rebuilt.RebuildCircle(circle);
        EXPECT_EQ(touched.RebuildCircle(circle), result) << circle;
        return result;
    }
    int RebuildCircleEdges(int circle) override {
        const int result = rebuilt.RebuildCircleEdges(circle);
        EXPECT_EQ(touched.RebuildCircleEdges(circle), result) << circle;
        return result;
    }
    int RebuildNodeLinks(int circle, const std::vector<int>& indices, bool whole) override {
        // Labels may show links (box): the reference builds the whole circle.
        const int result = rebuilt.RebuildCircle(circle);
        EXPECT_EQ(touched.RebuildNodeLinks(circle, indices, whole), result) << circle;
        return result;
    }
    CRepresentation& touched;
    CRepresentation& rebuilt;
};

using Chooser = std::function<bool(const CNode&, int circle, int index)>;

// Deletes, each from the graph as built, the first node that `choose`
// accepts: the touched scene equals the rebuilt one node for node and,
// with `exact`, a scene built afresh when the layout stays, and undo gives
// the scene back.
void ExpectDeletionsShowAsRebuilt(
    CNode& graph, const std::function<std::unique_ptr<CRepresentation>()>& make,
    const std::vector<std::pair<const char*, Chooser>>& cases, bool exact) {
    std::unique_ptr<CRepresentation> touched = make();
    std::unique_ptr<CRepresentation> rebuilt = make();
    TouchedAndRebuilt both(*touched, *rebuilt);
    ASSERT_EQ(Shown(*touched), Shown(*rebuilt));
    for (const auto& [what, choose] : cases) {
        SCOPED_TRACE(what);
        NodePos at{0, 0};
        for (const CCircleData& circle : graph.m_lstCircles) {
            for (size_t k = 0; k < circle.m_lstMolecules.size() && at.circle == 0; ++k) {
                if (choose(graph, circle.CircleNum, static_cast<int>(k))) {
                    at = {circle.CircleNum, static_cast<int>(k)};
                }
            }
        }
        ASSERT_GT(at.circle, 0);
        const std::string before = Shown(*touched);
        const size_t edgesBefore = touched->CountHighlightedEdges();
        CEditJournal journal;
        graph.SetJournal(&journal);
        ASSERT_EQ(graph.DeleteMolecule(at.circle, at.index, 1, 1, 1, both), 1);
        graph.SetJournal(nullptr);
        journal.Seal(graph);
        EXPECT_EQ(Shown(*touched), Shown(*rebuilt));
        const std::string deleted = Shown(*touched);
        // The edge index followed in place as a fresh one reads the scene.
        const size_t edges = touched->CountHighlightedEdges();
        EXPECT_LT(edges, edgesBefore);
        touched->InvalidateSceneIndexes();
        EXPECT_EQ(touched->CountHighlightedEdges(), edges);
        std::unique_ptr<CRepresentation> fresh = make();
        if (exact && fresh->GetGrid().GetEntries() == touched->GetGrid().GetEntries()) {
            EXPECT_EQ(Shown(*touched), Shown(*fresh));
        }
        journal.Undo(graph);
        journal.RebuildScene(both);
        EXPECT_EQ(Shown(*touched), Shown(*rebuilt));
        if (exact) {
            EXPECT_EQ(Shown(*touched), before);
        }
        // Redo shows the deletion again; undo once more for the next case.
        journal.Redo(graph);
        journal.RebuildScene(both);
        EXPECT_EQ(Shown(*touched), deleted);
        EXPECT_EQ(touched->CountHighlightedEdges(), edges);
        journal.Undo(graph);
        journal.RebuildScene(both);
        EXPECT_EQ(Shown(*touched), Shown(*rebuilt));
    }
}

bool HasIncoming(const CNode& g, int c, int i) { return !g.GetMolecule(c, i)->backLinks.empty(); }
bool IsMolecule(const CNode& g, int c, int i) { return g.GetMolecule(c, i)->size == 1; }
int CircleSize(const CNode& g, int c) { return static_cast<int>(g.GetCircle(c)->m_lstMolecules.size()); }
// Some node's links point at the node.
bool LinkedTo(const CNode& g, int c, int i) {
    for (const CCircleData& circle : g.m_lstCircles) {
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            for (const LinkEntry& link : ParseLinkEntries(m.links)) {
                if (link.circle == c && link.index == i) {
                    return true;
                }
            }
        }
    }
    return false;
}
// A relation node in another circle ends at the node.
bool EndsElsewhere(const CNode& g, int c, int i) {
    for (const CCircleData& circle : g.m_lstCircles) {
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            if (circle.CircleNum != c && m.size == 0 &&
                ((m.left.circle == c && m.left.index == i) || (m.right.circle == c && m.right.index == i))) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

TEST_F(SphereSceneTest, DeletionsTouchingOnlyWhatChangedShowAsRebuiltCircles) {
    std::vector<TestRow> rows;
    for (int k = 0; k < 60; ++k) {
        rows.push_back({"M" + std::to_string(k % 20), "M" + std::to_string((k * 7 + 3) % 20), k % 11});
    }
    FillInteractions(store, rows);
    graph = BuildSphereGraphFromArray(store);
    ExpectDeletionsShowAsRebuilt(
        *graph,
        [this] {
            auto rep = std::make_unique<CSphereVision>(store, graph, host, 400, 25, graph->m_circle_count);
            rep->Layout();
            rep->BuildScene();
            return std::unique_ptr<CRepresentation>(std::move(rep));
        },
        {{"first of a circle of three or more, with incoming links",
          [](const CNode& g, int c, int i) { return i == 0 && CircleSize(g, c) >= 3 && HasIncoming(g, c, i); }},
         {"first of its circle, no incoming links",
          [](const CNode& g, int c, int i) { return i == 0 && CircleSize(g, c) >= 2 && !HasIncoming(g, c, i); }},
         {"in the middle of its circle",
          [](const CNode& g, int c, int i) { return i > 0 && i + 1 < CircleSize(g, c) && IsMolecule(g, c, i); }},
         {"last of its circle",
          [](const CNode& g, int c, int i) { return i > 0 && i + 1 == CircleSize(g, c); }},
         {"a relation node with incoming links",
          [](const CNode& g, int c, int i) { return !IsMolecule(g, c, i) && HasIncoming(g, c, i); }},
         {"the only node of its circle", [](const CNode& g, int c, int) { return CircleSize(g, c) == 1; }},
         {"an end of relation nodes in other circles",
          [](const CNode& g, int c, int i) { return IsMolecule(g, c, i) && EndsElsewhere(g, c, i); }}},
        true);

    // The box view: circles of one molecule, links between molecules; a
    // circle emptied and filled again by undo stands where it stood.
    FillInteractions(store, rows);
    graph = BuildStartupGraphFromArray(store);
    ExpectDeletionsShowAsRebuilt(
        *graph, [this] { return std::unique_ptr<CRepresentation>(BuildBoxRepresentation(store, graph, host)); },
        {{"linked to", LinkedTo},
         {"linking to others", [](const CNode& g, int c, int i) { return !g.GetMolecule(c, i)->links.empty(); }}},
        true);
}
