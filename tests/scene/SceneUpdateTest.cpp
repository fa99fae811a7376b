// Scene updates after edits in the box representation: renames in place,
// circles rebuilt with the selection following, labels from list indexes.
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>

#include <map>
#include <regex>

#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoMaterial.h>

#include "CircleRebuilder.h"
#include "EditCommands.h"
#include "EditHistory.h"
#include "ExploreFixture.h"
#include "Node.h"
#include "RepresentationEditScene.h"
#include "SphereBuild.h"
#include "SphereVision.h"
#include "SceneNames.h"
#include "ScriptedPrompt.h"

namespace {

using SceneUpdateTest = ExploreTest;
using Names = std::vector<std::string>;

std::string LabelText(SoNode* root, const std::string& name) {
    SoNode* label = FindNamed(root, "text_" + name);
    if (!label || !label->isOfType(SoText2::getClassTypeId())) {
        return "(none)";
    }
    return static_cast<SoText2*>(label)->string[0].getString();
}

TEST_F(SceneUpdateTest, RenameKeepsTheSphereAndRefusesATakenName) {
    Build({{"A", "B"}, {"C", "D"}});
    Click("A");
    SoNode* sphere = FindNamed(box->GetNodeRoot(), "A");
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(box->RenameInScene("A", "Z"), 1);
    EXPECT_EQ(FindNamed(box->GetNodeRoot(), "Z"), sphere);
    EXPECT_EQ(FindNamed(box->GetNodeRoot(), "A"), nullptr);
    EXPECT_EQ(LabelText(box->GetRoot(), "Z"), "Z");
    EXPECT_EQ(LabelText(box->GetRoot(), "A"), "(none)");
    EXPECT_EQ(Selected(), Names{"Z"});  // still selected

    EXPECT_EQ(box->RenameInScene("Z", "C"), 0);
    EXPECT_EQ(host.m_messages, Names{CRepresentation::kNameTaken});
    EXPECT_EQ(FindNamed(box->GetNodeRoot(), "Z"), sphere);
    EXPECT_EQ(LabelText(box->GetRoot(), "C"), "C");

    // Told the circle, the search stays inside it.
    int c = 0, i = 0;
    graph->FindMoleculePosition("C", c, i);
    EXPECT_EQ(box->RenameInScene("C", "Q", c == 1 ? 2 : 1), 0);  // not there
    EXPECT_EQ(box->RenameInScene("C", "Q", c), 1);
    EXPECT_NE(FindNamed(box->GetNodeRoot(), "Q"), nullptr);
    EXPECT_EQ(LabelText(box->GetRoot(), "Q"), "Q");
}

TEST_F(SceneUpdateTest, ARebuiltCircleShowsItsNodesAndTheSelectionFollows) {
    Build({{"A", "B"}, {"C", "D"}});
    Click("A");
    Click("C");
    Click("B");
    const int a = 1;
    ASSERT_EQ(graph->GetMoleculeName(a, 0), "A");
    graph->AppendMolecule(a, "N", 1);
    graph->AppendMolecule(a, "M", 1);
    graph->GetMolecule(a, 0)->links = "1 1 2 1";  // A -> N
    box->SetCurrentName("A");
    EXPECT_EQ(box->RebuildCircle(a), 1);
    EXPECT_EQ(SelectedSet(), (std::set<std::string>{"B", "C"}));  // A's group went
    EXPECT_FALSE(box->IsNameSelected("A"));
    EXPECT_TRUE(box->IsNameSelected("C"));
    ASSERT_NE(FindNamed(box->GetNodeRoot(), "N"), nullptr);
    EXPECT_NE(FindNamed(box->GetEdgeRoot(), "E_1:0-1:1"), nullptr);
    EXPECT_EQ(LabelText(box->GetRoot(), "N"), "N");
    // A box built afresh over the grown circle puts labels and edges where
    // the rebuild did: at the added molecules' spheres.
    {
        std::unique_ptr<CBoxRep> fresh = BuildBoxRepresentation(store, graph, host);
        // A zero reads the same whatever its sign.
        auto text = [](SoNode* root) { return std::regex_replace(SceneText(root), std::regex("-0(?![.0-9])"), "0"); };
        EXPECT_EQ(text(fresh->GetLabelRoot()), text(box->GetLabelRoot()));
        EXPECT_EQ(text(fresh->GetEdgeRoot()), text(box->GetEdgeRoot()));
    }
    Click("N");
    EXPECT_EQ(box->GetCurrentName(), "N");

    // After a deletion the numbers no longer match the indexes.
    graph->GetCircle(a)->m_lstMolecules.erase(graph->GetCircle(a)->m_lstMolecules.begin() + 1);
    graph->GetMolecule(a, 0)->links.clear();
    EXPECT_EQ(box->RebuildCircle(a), 1);
    EXPECT_EQ(FindNamed(box->GetNodeRoot(), "N"), nullptr);
    EXPECT_EQ(LabelText(box->GetRoot(), "M"), "M");
    EXPECT_EQ(FindNamed(box->GetEdgeRoot(), "E_1:0-1:1"), nullptr);
    EXPECT_EQ(SelectedSet(), (std::set<std::string>{"B", "C"}));
}

TEST_F(SceneUpdateTest, EdgesOfAKindOutsideTheListAreGrey) {
    Build({{"A", "B"}, {"C", "D"}});
    graph->GetMolecule(1, 0)->links = "3 0 11 1";
    EXPECT_EQ(box->RebuildCircleEdges(1), 1);
    SoMaterial* material = EdgeMaterial("E_1:0-3:0");
    ASSERT_NE(material, nullptr);
    const float grey = CRepresentation::kNeutralGrey;
    EXPECT_EQ(material->diffuseColor[0], SbColor(grey, grey, grey));
    EXPECT_EQ(box->RebuildCircleEdges(99), 0);
}

// What selection and highlighting see: for every molecule whether it is
// selected and where it stands, and every edge's colour after a full pass.
std::map<std::string, std::string> Observed(CRepresentation& box, const CNode& graph) {
    std::map<std::string, std::string> seen;
    for (const CCircleData& circle : graph.m_lstCircles) {
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            const SbVec3f at(box.GetNodeMatrix(m.name)[3][0], box.GetNodeMatrix(m.name)[3][1], 0);
            seen[m.name] = std::to_string(box.IsNameSelected(m.name)) + " " + std::to_string(at[0]) + " " +
                           std::to_string(at[1]);
        }
    }
    box.UpdateEdgeHighlight(2);
    SoSearchAction search;
    search.setType(SoCone::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(box.GetEdgeRoot());
    for (int i = 0; i < search.getPaths().getLength(); ++i) {
        SoPath* path = search.getPaths()[i];
        auto* material = static_cast<SoMaterial*>(static_cast<SoGroup*>(path->getNodeFromTail(1))->getChild(3));
        const SbColor c = material->diffuseColor[0];
        seen[GetSceneName(path->getTail())] = std::to_string(c[0]) + std::to_string(c[1]) + std::to_string(c[2]);
    }
    seen["edges"] = std::to_string(box.CountHighlightedEdges());
    return seen;
}

// After renames and deletions the indexes kept in place answer as freshly
// built ones do: in the box view (circles of one molecule, whole circles
// announced) and in the sphere view, where a rename announces its node
// alone and a deletion the nodes it moves up.
TEST_F(SceneUpdateTest, IndexesKeptInPlaceEqualFreshOnes) {
    const std::vector<TestRow> rows{{"A", "B"}, {"B", "C"}, {"C", "A"}, {"D", "B"}, {"E", "A"},
                                    {"C", "D"}, {"E", "C"}, {"B", "E"}, {"D", "A"}};
    Build(rows);
    FillInteractions(store, rows);
    std::unique_ptr<CNode> sphereGraph = BuildSphereGraphFromArray(store);
    CSphereVision sphere(store, sphereGraph, host, 300, 30, sphereGraph->m_circle_count);
    sphere.Layout();
    sphere.BuildScene();
    UseMode(2);
    struct Step {
        const char* name;
        const char* renamed;  // null: the molecule is deleted
    };
    struct View {
        CRepresentation& rep;
        CNode& graph;
        bool wholeCircles;
        std::vector<const char*> selected;
        std::vector<Step> steps;
    };
    // In the sphere view edges join molecules and relation nodes, so both
    // are selected; A shares its circle with nodes after it, which its
    // deletion moves up.
    for (const View& view :
         {View{*box, *graph, true, {"A", "B", "C"}, {{"A", "A2"}, {"C", nullptr}, {"B", "C"}, {"A2", nullptr}}},
          View{sphere,
               *sphereGraph,
               false,
               {"A", "C", "E", "C-A", "B-C"},
               {{"A", "A2"}, {"C", nullptr}, {"E", "C"}, {"A2", nullptr}, {"D", nullptr}}}}) {
        view.rep.SetHighlightMode(2, 0);
        for (const char* name : view.selected) {
            SoSearchAction search;
            SetSearchName(search, name);
            search.apply(view.rep.GetRoot());
            ASSERT_TRUE(search.getPath()) << name;
            CoinPtr<SoPath> path(search.getPath()->copy());
            view.rep.ToggleSelection(path.get());
        }
        CRepresentationEditScene scene(view.rep);
        for (const Step& step : view.steps) {
            int c = 0, i = 0;
            view.graph.FindMoleculePosition(step.name, c, i);
            ASSERT_GT(c, 0) << step.name;
            view.rep.CountHighlightedEdges();  // both indexes built before the edit
            view.rep.IsNameSelected(step.name);
            if (step.renamed) {
                ASSERT_EQ(view.rep.RenameInScene(step.name, step.renamed, c), 1) << step.name;
                if (view.wholeCircles) {
                    view.graph.TouchCircle(c);
                } else {
                    view.graph.TouchNode(c, i);
                }
                view.graph.GetMolecule(c, i)->name = step.renamed;
                view.graph.RenameRegisteredName(step.name, {c, i}, step.renamed);
            } else {
                ASSERT_EQ(view.graph.DeleteMolecule(c, i, 1, 1, 1, scene), 1) << step.name;
            }
            const auto kept = Observed(view.rep, view.graph);
            view.rep.InvalidateSceneIndexes();
            EXPECT_EQ(kept, Observed(view.rep, view.graph)) << step.name << " " << view.wholeCircles;
        }
    }
}

// A name borne twice is drawn where its first bearer stands (labels and
// edge ends). When that bearer is deleted, renamed or moved up by a
// deletion before it, the other bearer's label and incoming edge move to
// where the first now stands, as a scene built afresh shows them; undo and
// redo give back each scene.
TEST_F(SceneUpdateTest, ANameBorneTwiceFollowsItsFirstBearer) {
    struct Case {
        const char* shared;  // the name F takes
        const char* current;
        const char* renamed;  // null: deleted
    };
    for (const Case& c : {Case{"B", "B", nullptr}, Case{"B", "B", "Z"}, Case{"Q", "P", nullptr}}) {
        SCOPED_TRACE(std::string(c.current) + " " + (c.renamed ? c.renamed : "deleted"));
        // F, linked to from E, takes a name borne before it; A's circle
        // gains P and Q; the circles stand apart.
        Build({{"A", "B"}, {"C", "D"}, {"E", "F"}}, [&c](CNode& g) {
            int f = 0, i = 0;
            g.FindMoleculePosition("F", f, i);
            g.GetMolecule(f, i)->name = c.shared;
            g.AppendMolecule(1, "P", 1);
            g.AppendMolecule(1, "Q", 1);
            g.RebuildNameIndex();
            for (CCircleData& circle : g.m_lstCircles) {
                circle.m_lstMolecules[0].posX = static_cast<float>(circle.CircleNum);
            }
        });
        ASSERT_EQ(graph->BearersOf(c.shared).size(), 2u);
        auto fresh = [this] { return Shown(*BuildBoxRepresentation(store, graph, host)); };
        const std::string before = Shown(*box);
        ASSERT_EQ(before, fresh());
        ScriptedPrompt prompt;
        CRepresentationEditScene scene(*box);
        CEditHistory history;
        CEditCommands commands(*graph, prompt, scene, &history);
        scene.SetCurrentName(c.current);
        if (c.renamed) {
            CDlgRename answer;
            answer.m_strNewName = c.renamed;
            prompt.rename.answers.push_back(answer);
            ASSERT_TRUE(commands.OnRename());
        } else {
            CDlgDelete answer;
            answer.m_nItself = answer.m_nIncoming = answer.m_nOutgoing = 1;
            prompt.deleteDlg.answers.push_back(answer);
            ASSERT_TRUE(commands.OnDeleteMolecule());
        }
        const std::string edited = Shown(*box);
        EXPECT_NE(edited, before);
        EXPECT_EQ(edited, fresh());
        ASSERT_TRUE(history.Undo(graph.get(), scene));
        EXPECT_EQ(Shown(*box), before);
        ASSERT_TRUE(history.Redo(graph.get(), scene));
        EXPECT_EQ(Shown(*box), edited);
    }
}

}  // namespace
