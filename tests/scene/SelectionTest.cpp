// Clicks under the toggle policy, Select One and Select Related, Deselect
// All, and clicks picked through the camera.
#include <gtest/gtest.h>

#include <Inventor/SbViewVolume.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include "ExploreFixture.h"

namespace {

using Names = std::vector<std::string>;

// A=1 B=2 R=3 C=4 S=5 D=6 E=7 F=8; R relates A and B, S relates R and C,
// E relates itself and A.
const std::vector<TestRow> kRows = {{"A", "B"}, {"R", "C"}, {"S", "D"}, {"E", "F"}};

void MakeRelation(CNode& g, int circle, NodePos left, NodePos right) {
    MoleculeRecord& m = *g.GetMolecule(circle, 0);
    m.size = 0;
    m.left = left;
    m.right = right;
}

void MakeRelations(CNode& g) {
    MakeRelation(g, 3, {1, 0}, {2, 0});
    MakeRelation(g, 5, {3, 0}, {4, 0});
    MakeRelation(g, 7, {7, 0}, {1, 0});
}

using SelectionTest = ExploreTest;

TEST_F(SelectionTest, ClicksToggleAndSelectOneKeepsEverySphere) {
    Build(kRows, MakeRelations);
    Click("A");
    Click("C");
    Click("D");
    EXPECT_EQ(Selected(), (Names{"A", "C", "D"}));
    EXPECT_EQ(box->GetCurrentName(), "D");
    EXPECT_EQ(host.m_nodeName, "D Circle:6 Node:0 ");
    EXPECT_TRUE(box->IsNameSelected("C"));
    Click("C");
    EXPECT_EQ(Selected(), (Names{"A", "D"}));
    EXPECT_FALSE(box->IsNameSelected("C"));
    EXPECT_EQ(box->GetCurrentName(), "");
    EXPECT_EQ(host.m_nodeName, "");
    EXPECT_TRUE(Listed().empty());  // Select One gathers nothing
}

TEST_F(SelectionTest, SelectRelatedGathersMembersAndKeepsTheListAcrossClicks) {
    Build(kRows, MakeRelations);
    UseSelectRelated(true);
    Click("S");
    EXPECT_EQ(Selected(), (Names{"S", "A", "B", "R", "C"}));
    EXPECT_EQ(Listed(), (Names{"A", "B", "R", "C", "S"}));
    EXPECT_EQ(box->GetCurrentName(), "S");
    EXPECT_EQ(host.m_nodeName.substr(0, 4), "( ( ");  // the panes show the clicked element only
    Click("D");
    EXPECT_EQ(Listed(), (Names{"A", "B", "R", "C", "S", "D"}));
    // A deselected name stays listed and comes back with the next click.
    Click("A");
    EXPECT_FALSE(box->IsNameSelected("A"));
    EXPECT_EQ(host.m_nodeName, "");
    Click("F");
    EXPECT_EQ(SelectedSet(), (std::set<std::string>{"A", "B", "C", "D", "F", "R", "S"}));
    EXPECT_EQ(box->GetCurrentName(), "F");
    EXPECT_TRUE(host.m_messages.empty());
}

TEST_F(SelectionTest, RelatedSelectionEndsAtACycle) {
    Build(kRows, MakeRelations);
    UseSelectRelated(true);
    Click("E");
    EXPECT_EQ(SelectedSet(), (std::set<std::string>{"A", "E"}));
    EXPECT_EQ(Listed(), (Names{"A", "E"}));
}

TEST_F(SelectionTest, DeselectAllKeepsTheListInSelectOneAndResetsItInSelectRelated) {
    for (bool related : {false, true}) {
        SCOPED_TRACE(related);
        Build(kRows, MakeRelations);
        UseMode(2);
        box->SearchAndSelect("R", 2, 0, 0);  // R, its members, its neighbour of kind 2
        Click("D");
        ASSERT_EQ(SelectedSet(), (std::set<std::string>{"A", "B", "C", "D", "R"}));
        ASSERT_EQ(Listed(), (Names{"R", "A", "B", "C"}));
        EXPECT_EQ(host.m_nodeName, "D Circle:6 Node:0 ");
        UseSelectRelated(related);
        box->DeselectAll();
        EXPECT_TRUE(Selected().empty());
        EXPECT_EQ(host.m_nodeName, "");
        EXPECT_EQ(box->GetCurrentName(), "");
        EXPECT_EQ(Listed(), related ? Names{} : (Names{"R", "A", "B", "C"}));
        UseSelectRelated(false);
    }
}

TEST_F(SelectionTest, ClicksPickTheSphereUnderThePixel) {
    // A at the origin, B 30 to the right: the edge runs away from A.
    Build({{"A", "B"}}, [](CNode& g) { g.GetMolecule(2, 0)->posX = 1.0f; });
    const SbViewportRegion region(640, 480);
    auto pixelOf = [&](const std::string& name) {
        const SbMatrix m = box->GetNodeMatrix(name);
        SbVec3f screen;
        box->GetCamera()->getViewVolume(640.0f / 480.0f).projectToScreen(SbVec3f(m[3][0], m[3][1], m[3][2]),
                                                                       screen);
        return SbVec2s(static_cast<short>(screen[0] * 640), static_cast<short>(screen[1] * 480));
    };
    EXPECT_FALSE(box->ClickAt(SbVec2s(2, 2), region));  // empty space
    EXPECT_TRUE(Selected().empty());
    EXPECT_TRUE(box->ClickAt(pixelOf("B"), region));
    EXPECT_TRUE(box->ClickAt(pixelOf("A"), region));
    EXPECT_EQ(Selected(), (Names{"B", "A"}));
    EXPECT_EQ(host.m_nodeName, "A Circle:1 Node:0 ");
    EXPECT_TRUE(box->ClickAt(pixelOf("B"), region));
    EXPECT_EQ(Selected(), (Names{"A"}));
}

TEST_F(SelectionTest, AReplacedRepresentationLetsItsSelectedSceneGo) {
    Build(kRows, MakeRelations);
    Click("A");
    Click("B");
    CoinPtr<SoSelection> selection(box->GetSelection());
    box.reset();
    EXPECT_EQ(selection->getRefCount(), 1);
    EXPECT_EQ(selection->getNumSelected(), 0);
}

}  // namespace
