// Scene updates after edits in the box representation: renames in place,
// circles rebuilt with the selection following, labels from list indexes.
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>

#include "CircleRebuilder.h"
#include "ExploreFixture.h"

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

}  // namespace
