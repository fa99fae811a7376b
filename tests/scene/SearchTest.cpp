// The search outcome table, messages for unknown names, and growing the
// selection by one link step.
#include <gtest/gtest.h>

#include <Inventor/nodes/SoSphere.h>

#include "BackLinks.h"
#include "ExploreFixture.h"

namespace {

using NameSet = std::set<std::string>;

// A=1 B=2 C=3 D=4 E=5 F=6 R=7 G=8. Links A->B, A->C, B->D, E->F, R->G.
// Relation kinds as the start-up build gives them: A, B, D 2; C 3; E, F,
// R, G 0. R is a relation node of kind 0 between E and F.
const std::vector<TestRow> kRows = {{"A", "B", 2}, {"A", "C", 3}, {"B", "D", 2}, {"E", "F", 0}, {"R", "G", 0}};

void MakeRelation(CNode& g) {
    MoleculeRecord& r = *g.GetMolecule(7, 0);
    r.size = 0;
    r.left = {5, 0};
    r.right = {6, 0};
}

using SearchTest = ExploreTest;

TEST_F(SearchTest, OutcomeTable) {
    const struct Row {
        const char* name;
        int kind;
        int distance;
        NameSet selected;
        size_t messages;
    } rows[] = {
        {"A", -1, 0, {"A"}, 0},
        {"A", -1, -1, {"A"}, 0},
        {"A", -1, 1, {"A", "B", "C"}, 0},
        {"A", 11, 2, {"A", "B", "C", "D"}, 0},
        {"A", 3, 0, {"A", "C"}, 0},             // the neighbour of kind 3
        {"A", 0, 0, {}, 0},                     // nothing of the kind: not even A
        {"A", 3, 1, {"A", "B", "C"}, 0},
        {"A", 0, 2, {}, 0},
        {"R", 0, 0, {"R", "E", "F", "G"}, 0},   // a relation node brings its members
        {"", 0, 0, {"E", "F", "R", "G"}, 0},
        {"", 3, 1, {"C"}, 0},
        {"", 2, 0, {"A", "B", "D"}, 0},
        {"", 2, 1, {"A", "B", "C", "D"}, 0},
        {"", -1, 3, {}, 0},
        {"", 11, 0, {}, 0},
        {"Nope", -1, 0, {}, 1},
        {"Nope", 2, 2, {}, 0},                  // the kind step lists nothing to select
        {"Nope", -1, 2, {}, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.kind) + " " + std::to_string(row.distance));
        Build(kRows, MakeRelation);
        host.m_messages.clear();
        Click("D");
        ASSERT_EQ(host.m_nodeName, "D Circle:4 Node:0 ");
        box->SearchAndSelect(row.name, row.kind, row.distance, 0);
        EXPECT_EQ(SelectedSet(), row.selected);
        EXPECT_EQ(host.m_messages.size(), row.messages);
        if (row.messages) {
            EXPECT_EQ(host.m_messages[0], "존재하지 않는 이름입니다");
        }
        // The search emptied the panes with its deselection and wrote nothing.
        EXPECT_EQ(host.m_nodeName, "");
        EXPECT_EQ(box->GetCurrentName(), "");
        EXPECT_EQ(box->m_bSearching, 0);
    }
}

TEST_F(SearchTest, ElementsOfNoKindAreFoundOnlyWithoutWidening) {
    Build(kRows, [](CNode& g) { g.GetMolecule(8, 0)->relation = -1; });
    box->SearchAndSelect("", -1, 3, 0);
    EXPECT_EQ(SelectedSet(), (NameSet{"G"}));
}

TEST_F(SearchTest, EachSearchStartsItsListAfresh) {
    Build(kRows, MakeRelation);
    box->SearchAndSelect("B", -1, 0, 0);
    box->SearchAndSelect("B", -1, 0, 0);
    EXPECT_EQ(Listed(), std::vector<std::string>{"B"});
    EXPECT_EQ(Selected(), std::vector<std::string>{"B"});
}

TEST_F(SearchTest, DistanceFollowsIncomingLinksToo) {
    Build(kRows, [](CNode& g) { BuildBackLinks(g); });
    box->SearchAndSelect("B", -1, 1, 0);
    EXPECT_EQ(SelectedSet(), (NameSet{"A", "B", "D"}));
}

TEST_F(SearchTest, ExpandSelectionSelectsOneStepWithFullClicks) {
    Build(kRows, [](CNode& g) { BuildBackLinks(g); });
    Click("B");
    box->ExpandSelection(1);
    EXPECT_EQ(Selected(), (std::vector<std::string>{"B", "D"}));
    EXPECT_EQ(host.m_nodeName, "D Circle:4 Node:0 ");  // selected as a click would
    EXPECT_EQ(box->GetCurrentName(), "D");
    box->ExpandSelection(2);
    EXPECT_EQ(Selected(), (std::vector<std::string>{"B", "D", "A"}));
    EXPECT_EQ(box->GetCurrentName(), "A");
    box->ExpandSelection(1);
    EXPECT_EQ(SelectedSet(), (NameSet{"A", "B", "C", "D"}));
    EXPECT_EQ(box->CollectSelectedNames(), 4);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"B", "D", "A", "C"}));
}

TEST_F(SearchTest, ListedNamesWithoutASphereAreReportedEachTime) {
    Build(kRows, MakeRelation);
    box->ClearSelectNames();
    EXPECT_EQ(box->AddElementNames(7, 0, -1, 1), 3);  // R, E, F
    EXPECT_EQ(box->AddElementNames(7, 0, -1, 1), 0);
    EXPECT_EQ(box->AddElementNames(7, 0, 2, 1), 0);   // not of kind 2
    EXPECT_EQ(box->AddElementNames(99, 0, -1, 1), 0);
    box->SelectByName("ghost");
    box->SelectByName("ghost");
    EXPECT_EQ(host.m_messages, (std::vector<std::string>{"존재하지 않는 이름입니다", "존재하지 않는 이름입니다"}));
    box->m_bSearching = 1;
    box->SelectListedNames();
    box->m_bSearching = 0;
    EXPECT_EQ(SelectedSet(), (NameSet{"E", "F", "R"}));
    EXPECT_EQ(host.m_nodeName, "");  // kept to the highlighting
}

TEST_F(SearchTest, SpheresAddedRemovedOrRenamedInPlaceAreFoundOrMissed) {
    Build(kRows, MakeRelation);
    box->SelectByName("A");  // the look-up is ready
    box->GetNodeRoot()->removeChild(PathOf("C")->getNodeFromTail(1));
    box->SelectByName("C");
    EXPECT_EQ(host.m_messages, std::vector<std::string>{"존재하지 않는 이름입니다"});
    host.m_messages.clear();
    auto group = MakeCoin<SoSeparator>();
    group->addChild(new SoMaterial);
    group->addChild(new SoMaterial);
    auto sphere = MakeCoin<SoSphere>();
    SetSceneName(sphere.get(), "N");
    group->addChild(sphere.get());
    box->GetNodeRoot()->addChild(group.get());
    box->SelectByName("N");
    SetSceneName(PathOf("B")->getTail(), "B2");
    box->SelectByName("B2");
    EXPECT_EQ(Selected(), (std::vector<std::string>{"A", "N", "B2"}));
    EXPECT_TRUE(host.m_messages.empty());
}

}  // namespace
