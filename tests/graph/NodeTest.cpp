#include <gtest/gtest.h>

#include "InteractionStore.h"
#include "Node.h"

namespace {

TEST(Node, FreshGraphIsEmpty) {
    CNode g;
    EXPECT_EQ(g.m_circle_count, 1);
    EXPECT_EQ(g.GetCircle(1), nullptr);
    EXPECT_EQ(g.GetCircle(0), nullptr);
    EXPECT_EQ(g.GetCircle(-3), nullptr);
    EXPECT_EQ(g.GetMolecule(0, 0), nullptr);
    int c = 7, i = 7;
    g.FindMoleculePosition("A", c, i);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(i, -1);
    EXPECT_EQ(g.GetMoleculeName(1, 0), "");
    EXPECT_EQ(g.LookUp("A"), "");
}

TEST(Node, ScansSeeOnlyTheFirstNodeOfEachCircleButTheIndexSeesAll) {
    CNode g;
    g.NewStartupCircle("A", "", 0);
    g.AppendMolecule(1, "B", 0);
    g.RegisterName("A", 1, 0, 0);
    g.RegisterName("B", 1, 1, 0);
    ASSERT_NE(g.GetMolecule(1, 1), nullptr);
    EXPECT_EQ(g.GetMolecule(1, 1)->number, 1);
    EXPECT_EQ(g.GetMolecule(1, 2), nullptr);
    EXPECT_EQ(g.FindMoleculeByName("B"), nullptr);
    EXPECT_EQ(g.FindMoleculeByName("A"), g.GetMolecule(1, 0));
    EXPECT_EQ(g.LookUpName("B", 0), "1 1");
    EXPECT_EQ(g.LookUp("B"), "1 1");
    size_t cp = 9, np = 9;
    EXPECT_TRUE(g.FindPositions(1, 1, cp, np));
    EXPECT_EQ(cp, 0u);
    EXPECT_EQ(np, 1u);
    EXPECT_FALSE(g.FindPositions(2, 0, cp, np));
}

TEST(Node, FirstRegistrationWinsAndClearKeepsTheIndex) {
    CNode g;
    g.RegisterName("A", 3, 0, 0);
    g.RegisterName("A", 5, 0, 0);
    EXPECT_EQ(g.LookUpName("A", 0), "3 0");
    EXPECT_EQ(g.m_lstNameIndex, (std::vector<std::string>{"A", "3 0", "A", "5 0"}));
    g.NewStartupCircle("X", "", 2);
    g.Clear();
    EXPECT_EQ(g.m_circle_count, 0);
    EXPECT_EQ(g.GetCircle(1), nullptr);
    EXPECT_EQ(g.LookUpName("A", 0), "3 0");
    EXPECT_EQ(g.LookUpName("Z", 0), "");
}

TEST(Node, ALookUpMatchesPositionTextsAsEntriesToo) {
    CNode g;
    g.RegisterName("A", 3, 0, 0);
    EXPECT_EQ(g.LookUpName("3 0", 0), "");  // the last entry has no follower
    g.RegisterName("B", 5, 0, 0);
    EXPECT_EQ(g.LookUpName("3 0", 0), "B");
    g.RegisterName("5 0", 7, 0, 0);  // a name shaped like a position
    EXPECT_EQ(g.LookUpName("5 0", 0), "5 0");  // the earlier position entry answers first
    EXPECT_EQ(g.LookUpName("7 0", 0), "");
    EXPECT_EQ(g.LookUpName("B", 0), "5 0");
}

TEST(Node, SpecialTokenListLookUp) {
    CInteractionStore store("");
    CNode g(&store);
    EXPECT_EQ(g.LookUpName("Ca2+", 1), "");
    g.RegisterName("Ca2+", 0, 0, 1);
    EXPECT_EQ(g.LookUpName("Ca2+", 1), "Ca2+");
    EXPECT_EQ(store.m_lstSpecialTokens, std::vector<std::string>{"Ca2+"});
    EXPECT_EQ(g.LookUpName("Ca2+", 0), "");  // the name index is another list
}

TEST(Node, InteractionNamesResolveOnceBuilt) {
    CInteractionStore store("");
    InteractionRecord r;
    r.id = "r__7";
    store.m_pInteractions.push_back(r);
    store.m_nInteractions = 1;
    CNode g(&store);
    g.RegisterName("r__7", 4, 0, 0);  // never consulted for an r__ name
    EXPECT_EQ(g.LookUp("r__7"), "");
    store.m_pInteractions[0].built = 1;
    store.m_pInteractions[0].nodeCircle = 12;
    store.m_pInteractions[0].nodeIndex = 3;
    EXPECT_EQ(g.LookUp("r__7"), "12 3");
    EXPECT_EQ(g.LookUp("r__8"), "");
}

TEST(Node, AddMoleculeNumbersOnePastTheLargest) {
    CCircleData c;
    MoleculeRecord m;
    for (int n : {0, 1, 4}) {
        m.number = n;
        c.m_lstMolecules.push_back(m);
    }
    EXPECT_EQ(c.AddMolecule(MoleculeRecord()), 5);
    EXPECT_EQ(c.m_lstMolecules.back().number, 5);
    EXPECT_EQ(c.m_lstMolecules.size(), 4u);
}

TEST(Node, NewNodesStartNotOkAndAppendNumbersByCount) {
    CNode g;
    g.NewStartupCircle("A", "2 0 3 1", 3);
    const MoleculeRecord* a = g.GetMolecule(1, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->state, -1);
    EXPECT_EQ(a->size, 1);
    EXPECT_EQ(a->level, 1);
    EXPECT_EQ(a->relation, 3);
    EXPECT_EQ(a->links, "2 0 3 1");
    EXPECT_EQ(g.m_circle_count, 2);
    EXPECT_EQ(g.AppendMolecule(1, "B", 0), 1);
    EXPECT_EQ(g.AppendMolecule(9, "C", 0), -1);
}

TEST(Node, AddLinkComparesWholeEntries) {
    CNode g;
    g.NewStartupCircle("A", "", 0);
    g.AddLink(1, 0, "102 0 3 1");
    g.AddLink(1, 0, "2 0 3 1");  // a substring of the first entry, still new
    g.AddLink(1, 0, "2 0 3 1");
    g.AddLink(1, 0, "0 3 1 2");  // straddles two entries: new
    EXPECT_EQ(g.GetMolecule(1, 0)->links, "102 0 3 1 2 0 3 1 0 3 1 2");
    g.NewStartupCircle("B", "12 0 3 1", 0);
    g.AddLink(2, 0, "1 0 3 1");  // "1" only begins "12": new
    EXPECT_EQ(g.GetMolecule(2, 0)->links, "12 0 3 1 1 0 3 1");
    g.AddLink(7, 0, "1 0 0 1");  // no such node: nothing happens
    g.GetMolecule(1, 0)->links = " 5 0 2 1";
    g.AddLink(1, 0, "5 0 2 1");
    EXPECT_EQ(g.GetMolecule(1, 0)->links, " 5 0 2 1");
}

}  // namespace
