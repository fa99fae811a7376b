#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include "BoxRep.h"
#include "SceneNames.h"
#include "SceneTestSupport.h"
#include "StartupLoad.h"

namespace {

template <class T>
T* Child(SoNode* group, int index) {
    auto* g = As<SoGroup>(group);
    if (!g || index >= g->getNumChildren()) {
        ADD_FAILURE() << "no child " << index;
        return nullptr;
    }
    T* child = As<T>(g->getChild(index));
    EXPECT_NE(child, nullptr) << "child " << index << " is a " << g->getChild(index)->getTypeId().getName().getString();
    return child;
}

SbVec3f Translation(const SbMatrix& m) { return TranslationOf(m); }

std::vector<std::string> ChildNames(SoNode* group) {
    std::vector<std::string> names;
    for (int i = 0; i < ChildCount(group); ++i) {
        names.push_back(GetSceneName(As<SoGroup>(group)->getChild(i)));
    }
    return names;
}

void ExpectColor(const SoMaterial* material, float r, float g, float b) {
    ASSERT_NE(material, nullptr);
    const SbColor c = material->diffuseColor[0];
    EXPECT_FLOAT_EQ(c[0], r);
    EXPECT_FLOAT_EQ(c[1], g);
    EXPECT_FLOAT_EQ(c[2], b);
}

class BoxSceneTest : public ::testing::Test {
protected:
    // Start-up graph of the rows, changed by `edit` before the scene is built.
    void Build(const std::vector<TestRow>& rows, const std::function<void(CNode&)>& edit = {}) {
        graph = BuildTestGraph(store, rows);
        if (edit) {
            edit(*graph);
        }
        box = BuildBoxRepresentation(store, graph, host);
    }
    MoleculeRecord& Molecule(int circle) { return *graph->GetMolecule(circle, 0); }
    SoSeparator* MoleculeGroup(const std::string& name) {
        CoinPtr<SoPath> path = PathTo(box->GetNodeRoot(), name);
        EXPECT_TRUE(path) << name;
        return path ? As<SoSeparator>(path->getNodeFromTail(1)) : nullptr;
    }
    SoSeparator* GreenGroup(int circle) {
        return As<SoSeparator>(FindNamed(box->GetGreenCharRoot(), "GreenCharCircleNum:" + std::to_string(circle)));
    }
    // The label group of the first molecule of `circle`.
    SoSeparator* LabelGroup(int circle) {
        SoSeparator* green = GreenGroup(circle);
        return green && green->getNumChildren() > 0 ? As<SoSeparator>(green->getChild(0)) : nullptr;
    }
    // The edge group holding the first cone of that name.
    SoSeparator* EdgeGroup(const std::string& coneName) {
        CoinPtr<SoPath> path = PathTo(box->GetEdgeRoot(), coneName);
        return path ? As<SoSeparator>(path->getNodeFromTail(1)) : nullptr;
    }
    void ExpectLabel(SoNode* group, int first, const std::string& name) {
        ASSERT_EQ(ChildCount(group), first + 3) << name;
        auto* transform = Child<SoTransform>(group, first);
        auto* lift = Child<SoTranslation>(group, first + 1);
        auto* text = Child<SoText2>(group, first + 2);
        ASSERT_TRUE(transform && lift && text);
        EXPECT_EQ(MatrixOf(transform), box->GetNodeMatrix(name)) << name;
        EXPECT_EQ(lift->translation.getValue(), SbVec3f(0, 3, 0));
        EXPECT_EQ(std::string(text->string[0].getString()), name);
        EXPECT_EQ(GetSceneName(text), "text_" + name);
    }

    CInteractionStore store{""};
    TestSceneHost host;
    std::unique_ptr<CNode> graph;
    std::unique_ptr<CBoxRep> box;
};

TEST_F(BoxSceneTest, SkeletonHoldsCameraSelectionLabelsAndEdgesInOrder) {
    Build({{"A", "B"}});  // counter 3: a 1 x 3 grid, the last cell empty
    SoSeparator* root = box->GetRoot();
    ASSERT_EQ(ChildCount(root), 4);
    EXPECT_EQ(root->getChild(0), box->GetCamera());
    EXPECT_NE(As<SoPerspectiveCamera>(root->getChild(0)), nullptr);
    ASSERT_EQ(root->getChild(1), box->GetSelection());
    EXPECT_EQ(box->GetSelection()->policy.getValue(), SoSelection::TOGGLE);
    ASSERT_EQ(ChildCount(box->GetSelection()), 1);
    EXPECT_EQ(box->GetSelection()->getChild(0), box->GetNodeRoot());
    EXPECT_EQ(root->getChild(2), box->GetLabelRoot());
    EXPECT_EQ(root->getChild(3), box->GetEdgeRoot());
    EXPECT_EQ(host.m_redrawSelections, std::vector<SoSelection*>{box->GetSelection()});

    SoSeparator* labels = box->GetLabelRoot();
    ASSERT_EQ(ChildCount(labels), 3);
    auto* font = Child<SoFont>(labels, 0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::string(font->name.getValue().getString()), "Times-Roman");
    EXPECT_FLOAT_EQ(font->size.getValue(), 18.0f);
    EXPECT_EQ(labels->getChild(1), box->GetGreenCharRoot());
    EXPECT_EQ(labels->getChild(2), box->GetRedCharRoot());

    for (SoSeparator* labelRoot : {box->GetGreenCharRoot(), box->GetRedCharRoot()}) {
        auto* sw = Child<SoMaterial>(labelRoot, 0);
        ExpectColor(sw, 1, 1, 1);
        EXPECT_FLOAT_EQ(sw->transparency[0], 0.0f);
    }
    EXPECT_EQ(ChildNames(box->GetGreenCharRoot()),
              (std::vector<std::string>{"", "GreenCharCircleNum:1", "GreenCharCircleNum:2", "GreenCharCircleNum:0"}));
    EXPECT_EQ(ChildNames(box->GetRedCharRoot()),
              (std::vector<std::string>{"", "RedCharCircleNum:1", "RedCharCircleNum:2", "RedCharCircleNum:0"}));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(ChildCount(box->GetRedCharRoot()->getChild(i)), 0);  // the box leaves them empty
    }
    EXPECT_EQ(ChildCount(GreenGroup(0)), 0);
    EXPECT_EQ(ChildNames(box->GetEdgeRoot()),
              (std::vector<std::string>{"circleNumEdge:1", "circleNumEdge:2", "circleNumEdge:0"}));
    EXPECT_EQ(ChildCount(box->GetEdgeRoot()->getChild(2)), 0);
}

TEST_F(BoxSceneTest, MoleculeGroupsPlaceSpheresByPositionAndLevel) {
    for (int byColor : {0, 1}) {
        host.m_flags.m_bViewByColor = byColor;
        Build({{"A", "B", 2, ""}, {"C", "D", 2, "2"}}, [](CNode& g) {
            g.GetMolecule(1, 0)->posX = 1.5f;
            g.GetMolecule(1, 0)->posY = -2.0f;
        });
        ASSERT_EQ(ChildCount(box->GetNodeRoot()), 4);
        struct Expect {
            const char* name;
            SbVec3f at;
            float transparency;
        };
        for (const Expect& e : {Expect{"A", {45, 0, -60}, 0.0f}, Expect{"B", {0, 0, 0}, 0.0f},
                                Expect{"C", {0, 60, 0}, 1.0f}, Expect{"D", {0, 60, 0}, 1.0f}}) {
            SoSeparator* group = MoleculeGroup(e.name);
            ASSERT_EQ(ChildCount(group), 3) << e.name;
            auto* transform = Child<SoTransform>(group, 0);
            auto* material = Child<SoMaterial>(group, 1);
            auto* sphere = Child<SoSphere>(group, 2);
            ASSERT_TRUE(transform && material && sphere);
            EXPECT_EQ(transform->translation.getValue(), e.at) << e.name;
            EXPECT_EQ(GetSceneName(material), "");
            if (byColor) {
                ExpectColor(material, 1, 1, 1);
            } else {
                ExpectColor(material, 0, 1, 0);
            }
            EXPECT_FLOAT_EQ(material->transparency[0], e.transparency) << e.name;
            EXPECT_FLOAT_EQ(sphere->radius.getValue(), 0.4f);
            EXPECT_EQ(GetSceneName(sphere), e.name);
            EXPECT_EQ(Translation(box->GetNodeMatrix(e.name)), e.at);
        }
        EXPECT_EQ(box->GetNodeMatrix("nobody"), SbMatrix::identity());
        graph.reset();
        store.m_pInteractions.clear();
    }
}

// Circles: A 1, B 2, C 3, D 4, E 5, G 6; D, E and G hidden (level 1).
class BoxLabelTest : public BoxSceneTest {
protected:
    void SetUp() override { Build({{"A", "B"}, {"A", "C"}, {"D", "E", 2, "1"}, {"G", "A", 2, "1"}}); }
};

TEST_F(BoxLabelTest, ShownMoleculesLabelTheirLinkTargetsInNestedGroups) {
    ASSERT_EQ(Molecule(1).links, "2 0 2 1 3 0 2 1");
    SoSeparator* a = LabelGroup(1);
    ASSERT_EQ(ChildCount(GreenGroup(1)), 1);
    ASSERT_EQ(ChildCount(a), 5);
    ExpectLabel(Child<SoSeparator>(a, 0), 0, "B");
    ExpectLabel(Child<SoSeparator>(a, 1), 0, "C");
    ExpectLabel(a, 2, "A");
    ExpectLabel(LabelGroup(2), 0, "B");  // shown, no links: one label
}

TEST_F(BoxLabelTest, HiddenMoleculesAreLabelledOnlyBesideShownOnes) {
    EXPECT_EQ(ChildCount(LabelGroup(4)), 0);  // D links only to hidden E
    EXPECT_EQ(ChildCount(LabelGroup(5)), 0);
    SoSeparator* d = MoleculeGroup("D");
    EXPECT_FLOAT_EQ(Child<SoMaterial>(d, 1)->transparency[0], 1.0f);
    EXPECT_EQ(Child<SoTransform>(d, 0)->translation.getValue(), SbVec3f(0, 30, 0));
    ExpectLabel(LabelGroup(6), 0, "G");  // G links to shown A: labelled, nothing nested
    EXPECT_EQ(FindAllNamed(box->GetLabelRoot(), "text_A").size(), 1u);
    EXPECT_EQ(FindAllNamed(box->GetLabelRoot(), "text_B").size(), 2u);  // its own and nested in A's
    EXPECT_EQ(ChildNames(box->GetGreenCharRoot()).back(), "GreenCharCircleNum:0");
}

TEST_F(BoxLabelTest, EdgesFollowTheLinksCellByCell) {
    EXPECT_EQ(ChildNames(box->GetEdgeRoot()),
              (std::vector<std::string>{"circleNumEdge:1", "circleNumEdge:2", "circleNumEdge:3", "circleNumEdge:4",
                                        "circleNumEdge:5", "circleNumEdge:6", "circleNumEdge:0", "circleNumEdge:0"}));
    SoNode* cell1 = box->GetEdgeRoot()->getChild(0);
    ASSERT_EQ(ChildCount(cell1), 2);
    EXPECT_EQ(GetSceneName(As<SoGroup>(Child<SoSeparator>(cell1, 0))->getChild(4)), "E_1:0-2:0");
    EXPECT_EQ(GetSceneName(As<SoGroup>(Child<SoSeparator>(cell1, 1))->getChild(4)), "E_1:0-3:0");
    // A link between two hidden molecules is invisible; one shown end shows it.
    struct Expect {
        const char* cone;
        float transparency;
    };
    for (const Expect& e : {Expect{"E_1:0-2:0", 0.0f}, Expect{"E_4:0-5:0", 1.0f}, Expect{"E_6:0-1:0", 0.0f}}) {
        SoSeparator* edge = EdgeGroup(e.cone);
        ASSERT_NE(edge, nullptr) << e.cone;
        EXPECT_FLOAT_EQ(Child<SoMaterial>(edge, 3)->transparency[0], e.transparency) << e.cone;
    }
}

TEST_F(BoxSceneTest, EdgeGroupsAimAConeFromSourceToTarget) {
    Build({{"A", "B"}}, [](CNode& g) {
        g.GetMolecule(1, 0)->posX = 1.0f;
        g.GetMolecule(2, 0)->posX = -1.0f;
        g.GetMolecule(2, 0)->posY = 1.0f;
        g.GetMolecule(2, 0)->level = 1;
    });
    SoSeparator* edge = EdgeGroup("E_1:0-2:0");
    ASSERT_EQ(ChildCount(edge), 5);
    auto* aim = Child<SoTransform>(edge, 0);
    auto* turn = Child<SoTransform>(edge, 1);
    auto* shift = Child<SoTransform>(edge, 2);
    auto* material = Child<SoMaterial>(edge, 3);
    auto* cone = Child<SoCone>(edge, 4);
    ASSERT_TRUE(aim && turn && shift && material && cone);

    const SbVec3f from(30, 0, 0), to(-30, 30, 30);
    const float d = (to - from).length();
    EXPECT_EQ(aim->translation.getValue(), from);
    SbVec3f axis;
    float angle = 0;
    turn->rotation.getValue().getValue(axis, angle);
    EXPECT_NEAR(std::fabs(angle), 1.5707964f, 1e-6f);
    EXPECT_NEAR(axis[0] * angle, -1.5707964f, 1e-6f);
    EXPECT_EQ(shift->translation.getValue(), SbVec3f(0, d / 2, 0));
    EXPECT_EQ(GetSceneName(material), "edge_material_2");
    ExpectColor(material, 1, 0, 0);
    EXPECT_FLOAT_EQ(cone->bottomRadius.getValue(), 0.8f);
    EXPECT_FLOAT_EQ(cone->height.getValue(), d - 1.0f);

    // In the scene the cone sits at the midpoint with its apex half a unit
    // short of the target.
    const SbMatrix m = MatrixAlong(PathTo(box->GetEdgeRoot(), "E_1:0-2:0").get());
    SbVec3f centre, apex;
    m.multVecMatrix(SbVec3f(0, 0, 0), centre);
    m.multVecMatrix(SbVec3f(0, cone->height.getValue() / 2, 0), apex);
    const SbVec3f dir = (to - from) / d;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(centre[i], (from[i] + to[i]) / 2, 1e-3f);
        EXPECT_NEAR(apex[i], to[i] - 0.5f * dir[i], 1e-3f);
    }
}

TEST_F(BoxSceneTest, MoleculesOneUnitApartGiveAFlatCone) {
    graph = BuildTestGraph(store, {{"A", "B"}});
    graph->GetMolecule(2, 0)->posX = 1.0f;
    CBoxRep unitBox(store, graph, host);
    unitBox.m_nSpacingXY = 1;
    unitBox.Layout(graph->m_circle_count);
    unitBox.BuildScene();
    CoinPtr<SoPath> path = PathTo(unitBox.GetEdgeRoot(), "E_1:0-2:0");
    ASSERT_TRUE(path);
    EXPECT_FLOAT_EQ(As<SoCone>(path->getTail())->height.getValue(), 0.0f);
}

TEST_F(BoxSceneTest, ConeRadiusGrowsInStepsOfTenLinks) {
    for (auto [count, radius] : std::vector<std::pair<int, float>>{{0, 0.8f}, {9, 0.8f}, {10, 1.6f}, {19, 1.6f}, {25, 2.4f}}) {
        Build({{"A", "B"}}, [count = count](CNode& g) { g.GetMolecule(1, 0)->linkCount = count; });
        EXPECT_FLOAT_EQ(As<SoCone>(FindNamed(box->GetEdgeRoot(), "E_1:0-2:0"))->bottomRadius.getValue(), radius)
            << count;
        store.m_pInteractions.clear();
    }
}

TEST_F(BoxSceneTest, EdgeColoursFollowTheRelationKind) {
    const float table[11][3] = {{1, 0, 1}, {1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 0},
                                {0, 1, 1}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {1, 0, 1}};
    std::vector<TestRow> rows;
    for (int k = 0; k < 11; ++k) {
        rows.push_back({"S" + std::to_string(k), "T" + std::to_string(k), k});
    }
    Build(rows);
    for (int k = 0; k < 11; ++k) {
        const std::string cone = "E_" + std::to_string(2 * k + 1) + ":0-" + std::to_string(2 * k + 2) + ":0";
        auto* material = Child<SoMaterial>(EdgeGroup(cone), 3);
        EXPECT_EQ(GetSceneName(material), "edge_material_" + std::to_string(k));
        ExpectColor(material, table[k][0], table[k][1], table[k][2]);
        EXPECT_EQ(box->GetEdgeColor(k), SbColor(table[k][0], table[k][1], table[k][2]));
    }
}

TEST_F(BoxSceneTest, TwoEqualLinksGiveTwoEqualCones) {
    Build({{"A", "B"}}, [](CNode& g) { g.GetMolecule(1, 0)->links = "2 0 2 1 2 0 2 1"; });
    std::vector<SoNode*> cones = FindAllNamed(box->GetEdgeRoot(), "E_1:0-2:0");
    ASSERT_EQ(cones.size(), 2u);
    EXPECT_EQ(ChildCount(box->GetEdgeRoot()->getChild(0)), 2);
    EXPECT_EQ(As<SoCone>(cones[0])->height.getValue(), As<SoCone>(cones[1])->height.getValue());
}

// Links to molecules that do not exist used to be read through null
// records; kinds outside 0..10 read past the colour table.
TEST_F(BoxSceneTest, BadLinksAreSkippedAndUnknownKindsDrawnGrey) {
    Build({{"A", "B"}, {"C", "D"}}, [](CNode& g) {
        g.GetMolecule(1, 0)->links = "2 0 2 1 9 0 3 1 2 5 2 1 3 0 12 1 3 0 -1 1";
        g.GetMolecule(3, 0)->links = "0 0 2 1 4 0 2 1";  // circle 0 ends the list
    });
    EXPECT_EQ(ChildCount(box->GetEdgeRoot()->getChild(0)), 3);
    EXPECT_EQ(FindNamed(box->GetEdgeRoot(), "E_1:0-9:0"), nullptr);
    EXPECT_EQ(FindNamed(box->GetEdgeRoot(), "E_1:0-2:5"), nullptr);
    std::vector<SoNode*> toC = FindAllNamed(box->GetEdgeRoot(), "E_1:0-3:0");
    ASSERT_EQ(toC.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        std::vector<SoNode*> found = FindAllNamed(box->GetEdgeRoot(), i ? "edge_material_-1" : "edge_material_12");
        ASSERT_EQ(found.size(), 1u);
        auto* material = As<SoMaterial>(found[0]);
        ExpectColor(material, 0.5f, 0.5f, 0.5f);
    }
    EXPECT_EQ(box->GetEdgeColor(11), SbColor(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(box->GetEdgeColor(-1), SbColor(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(ChildCount(box->GetEdgeRoot()->getChild(2)), 0);

    // A's label nests the three existing targets only.
    SoSeparator* a = LabelGroup(1);
    ASSERT_EQ(ChildCount(a), 6);
    ExpectLabel(Child<SoSeparator>(a, 0), 0, "B");
    ExpectLabel(Child<SoSeparator>(a, 1), 0, "C");
    ExpectLabel(Child<SoSeparator>(a, 2), 0, "C");
    ExpectLabel(a, 3, "A");
    ExpectLabel(LabelGroup(3), 0, "C");
}

TEST_F(BoxSceneTest, CirclesWithoutAMoleculeLeaveNoGroup) {
    graph = std::make_unique<CNode>(&store);
    graph->NewStartupCircle("A", "2 0 2 1 3 0 2 1", 2);
    graph->AppendCircle(CCircleData());  // circle 2, empty
    graph->NewStartupCircle("C", "", 2);
    graph->GetMolecule(1, 0)->level = 0;
    graph->GetMolecule(3, 0)->level = 0;
    box = BuildBoxRepresentation(store, graph, host);
    EXPECT_EQ(ChildCount(box->GetNodeRoot()), 2);
    EXPECT_EQ(FindAllNamed(box->GetEdgeRoot(), "E_1:0-3:0").size(), 1u);
    EXPECT_EQ(ChildCount(GreenGroup(2)), 0);
    ASSERT_EQ(ChildCount(LabelGroup(1)), 4);  // only C nested
}

TEST_F(BoxSceneTest, PlacementsWithoutSearchesEqualTheSearchedMatrices) {
    // Two spheres named X: look-ups by name take the first, in circle order.
    graph = std::make_unique<CNode>(&store);
    graph->NewStartupCircle("X", "2 0 2 1", 2);
    graph->NewStartupCircle("Y", "3 0 3 1", 2);
    graph->NewStartupCircle("X", "2 0 6 1", 2);
    graph->NewStartupCircle("Z", "1 0 0 1", 2);
    const float pos[4][2] = {{0.25f, -1.5f}, {0.1f, 0.7f}, {2.0f, 3.0f}, {-0.3f, 0.0f}};
    for (int c = 1; c <= 4; ++c) {
        graph->GetMolecule(c, 0)->posX = pos[c - 1][0];
        graph->GetMolecule(c, 0)->posY = pos[c - 1][1];
        graph->GetMolecule(c, 0)->level = c == 2 ? 2 : 0;
    }
    box = BuildBoxRepresentation(store, graph, host);
    for (const std::string name : {"X", "Y", "Z"}) {
        CoinPtr<SoPath> path = PathTo(box->GetNodeRoot(), name);
        const SbMatrix searched = MatrixAlong(path.get());
        EXPECT_EQ(box->GetNodeMatrix(name), searched) << name;
    }
    const SbMatrix firstX = box->GetNodeMatrix("X");
    EXPECT_EQ(Translation(firstX), SbVec3f(7.5f, 0, -45));
    // Every edge starts and ends where the searched matrices put the spheres.
    struct Expect {
        const char* cone;
        const char* from;
        const char* to;
    };
    for (const Expect& e : {Expect{"E_1:0-2:0", "X", "Y"}, Expect{"E_2:0-3:0", "Y", "X"},
                            Expect{"E_3:0-2:0", "X", "Y"}, Expect{"E_4:0-1:0", "Z", "X"}}) {
        SoSeparator* edge = EdgeGroup(e.cone);
        ASSERT_NE(edge, nullptr) << e.cone;
        const SbVec3f from = Translation(box->GetNodeMatrix(e.from));
        const SbVec3f to = Translation(box->GetNodeMatrix(e.to));
        EXPECT_EQ(Child<SoTransform>(edge, 0)->translation.getValue(), from) << e.cone;
        EXPECT_EQ(Child<SoTransform>(edge, 2)->translation.getValue(), SbVec3f(0, (to - from).length() / 2, 0));
    }
    ExpectLabel(LabelGroup(3), 1, "X");  // the second X is labelled at the first
}

TEST_F(BoxSceneTest, NamesCoinWouldRewriteStillFindTheirSpheres) {
    const std::string alpha = "TNF-\xCE\xB1";
    Build({{"Ca2+", "E. coli"}, {alpha, "Fus3"}, {"Ca2_", "Ca2+"}}, [](CNode& g) {
        for (int c = 1; c <= 5; ++c) {
            g.GetMolecule(c, 0)->posX = static_cast<float>(c);
        }
    });
    int circle = 1;
    for (const std::string& name : std::vector<std::string>{"Ca2+", "E. coli", alpha, "Fus3", "Ca2_"}) {
        SoNode* sphere = FindNamed(box->GetNodeRoot(), name);
        ASSERT_NE(As<SoSphere>(sphere), nullptr) << name;
        EXPECT_EQ(GetSceneName(sphere), name);
        EXPECT_EQ(Translation(box->GetNodeMatrix(name)), SbVec3f(30.0f * circle, 0, 0)) << name;
        auto* text = As<SoText2>(FindNamed(box->GetLabelRoot(), "text_" + name));
        ASSERT_NE(text, nullptr) << name;
        EXPECT_EQ(std::string(text->string[0].getString()), name);
        ++circle;
    }
    EXPECT_NE(FindNamed(box->GetEdgeRoot(), "E_5:0-1:0"), nullptr);
}

TEST_F(BoxSceneTest, BuildingAgainReplacesTheScene) {
    Build({{"A", "B"}, {"B", "C"}});
    const int nodes = ChildCount(box->GetNodeRoot());
    const int labels = ChildCount(box->GetGreenCharRoot());
    SoSelection* first = box->GetSelection();
    box->BuildScene();
    EXPECT_EQ(ChildCount(box->GetRoot()), 4);
    EXPECT_EQ(ChildCount(box->GetNodeRoot()), nodes);
    EXPECT_EQ(ChildCount(box->GetGreenCharRoot()), labels);
    EXPECT_EQ(ChildCount(box->GetLabelRoot()), 3);
    EXPECT_EQ(FindAllNamed(box->GetRoot(), "A").size(), 1u);
    ASSERT_EQ(host.m_redrawSelections.size(), 2u);
    EXPECT_NE(host.m_redrawSelections[1], first);
    EXPECT_EQ(host.m_redrawSelections[1], box->GetSelection());
}

TEST_F(BoxSceneTest, AnEmptyGraphGivesAnEmptyScene) {
    Build({});
    EXPECT_EQ(box->GetNumHor(), 1);
    EXPECT_EQ(box->GetNumVer(), 1);
    EXPECT_EQ(ChildCount(box->GetNodeRoot()), 0);
    EXPECT_EQ(ChildNames(box->GetGreenCharRoot()), (std::vector<std::string>{"", "GreenCharCircleNum:0"}));
    EXPECT_EQ(ChildNames(box->GetEdgeRoot()), (std::vector<std::string>{"circleNumEdge:0"}));
}

}  // namespace
