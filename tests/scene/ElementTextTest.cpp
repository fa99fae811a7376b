// The texts of the node name pane and the text source pane.
#include <gtest/gtest.h>

#include "ElementText.h"
#include "ExploreFixture.h"
#include "GraphLookup.h"

namespace {

void MakeRelation(CNode& g, int circle, int kind, NodePos left, NodePos right) {
    MoleculeRecord& m = *g.GetMolecule(circle, 0);
    m.size = 0;
    m.relation = kind;
    m.left = left;
    m.right = right;
}

// A=1 B=2 R=3 C=4 S=5 D=6 T=7 E=8; R, S, T, D and E become relation nodes.
const std::vector<TestRow> kRows = {{"A", "B", 0}, {"R", "C", 0}, {"S", "D", 9}, {"T", "E", 3}};

void MakeRelations(CNode& g) {
    MakeRelation(g, 3, 0, {1, 0}, {2, 0});    // R: A binds B
    MakeRelation(g, 5, 9, {3, 0}, {4, 0});    // S: R binds C (homo_xmer phrase)
    MakeRelation(g, 7, 3, {1, 0}, {99, 0});   // T: its second member is missing
    MakeRelation(g, 6, 12, {1, 0}, {2, 0});   // D: a kind without a phrase
    MakeRelation(g, 8, 0, {8, 0}, {1, 0});    // E: its own first member
}

class ElementTextTest : public ExploreTest {};

TEST_F(ElementTextTest, DescriptionsWithPositionSuffixesPhrasesAndNesting) {
    Build(kRows, MakeRelations);
    const std::string r = "( A Circle:1 Node:0  ) bind to ( B Circle:2 Node:0  ) Circle:3 Node:0 ";
    const struct {
        const char* name;
        std::string text;
    } rows[] = {
        {"C", "C Circle:4 Node:0 "},
        {"Z", "Z Circle:-1 Node:-1 "},
        {"R", r},
        {"S", "( " + r + " ) bind to ( C Circle:4 Node:0  ) Circle:5 Node:0 "},
        {"T", "T Circle:7 Node:0 "},
        {"D", " Circle:6 Node:0 "},
        {"E", "( E Circle:8 Node:0  ) bind to ( A Circle:1 Node:0  ) Circle:8 Node:0 "},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(box->DescribeElement(row.name), row.text) << row.name;
    }
}

TEST_F(ElementTextTest, EveryKindHasItsPhrase) {
    const char* const phrases[] = {
        " ) bind to ( ",
        " ) enzymatically stimulate ( ",
        " ) stimulate ( ",
        " ) inhibit ( ",
        " ) transcriptionally stimulate ( ",
        " ) transcriptionally inhibit ( ",
        " ) phosphorylate ( ",
        " ) is suspected to stimulate ( ",
        " ) is suspected to inhibit ( ",
        " ) bind to ( ",
        " ) is stoichiometrically converted to ( ",
    };
    for (int kind = 0; kind < 11; ++kind) {
        Build(kRows, [kind](CNode& g) { MakeRelation(g, 3, kind, {1, 0}, {2, 0}); });
        EXPECT_EQ(box->DescribeElement("R"),
                  std::string("( A Circle:1 Node:0 ") + phrases[kind] + "B Circle:2 Node:0  ) Circle:3 Node:0 ")
            << kind;
    }
}

TEST_F(ElementTextTest, LongChainsOfRelationsAreDescribedWithoutRecursion) {
    // Rk = (Rk-1, Mk) from R1 = (R0, M1) on: a description nested 20000
    // deep (no scene needed).
    const int depth = 20000;
    std::vector<TestRow> rows;
    for (int k = 0; k < depth; ++k) {
        rows.push_back({"R" + std::to_string(k), "M" + std::to_string(k), 2});
    }
    graph = BuildTestGraph(store, rows);
    for (int k = 1; k < depth; ++k) {
        MakeRelation(*graph, 2 * k + 1, 2, {2 * k - 1, 0}, {2 * k + 2, 0});
    }
    CGraphLookup lookup(graph.get());
    const std::string text = DescribeElement(lookup, "R" + std::to_string(depth - 1));
    EXPECT_EQ(text.compare(0, 6, "( ( ( "), 0);
    EXPECT_EQ(text.find("R0 Circle:1 Node:0  ) stimulate ( M1 Circle:4 Node:0  ) Circle:3 Node:0 "),
              2 * static_cast<size_t>(depth - 1));
}

TEST_F(ElementTextTest, SourceLinesOfTheFirstInteractionNamingTheMember) {
    Build(kRows, MakeRelations);
    store.m_pInteractions[0].source = "alpha-factor binds Ste2";
    store.m_pInteractions[0].prep1 = "13964276";
    EXPECT_EQ(DescribeSource(store, "A"), "r__1 : alpha-factor binds Ste2 ( PMID : 13964276 )");
    EXPECT_EQ(DescribeSource(store, "B"), "r__1 : alpha-factor binds Ste2 ( PMID : 13964276 )");
    EXPECT_EQ(DescribeSource(store, "R"), "r__2 :  ( PMID :  )");  // empty fields keep their places
    EXPECT_EQ(DescribeSource(store, "a"), "");                      // exact, case-sensitive
    // A relation node named after its members finds the interaction built
    // into it.
    store.m_pInteractions[3].built = 1;
    store.m_pInteractions[3].nodeCircle = 5;
    store.m_pInteractions[3].nodeIndex = 0;
    EXPECT_EQ(DescribeSource(store, "A-B", NodePos{5, 0}), "r__4 :  ( PMID :  )");
    EXPECT_EQ(DescribeSource(store, "A-B", NodePos{6, 0}), "");
    // The interaction built into the node wins over one naming it as a member.
    EXPECT_EQ(DescribeSource(store, "A", NodePos{5, 0}), "r__4 :  ( PMID :  )");
    EXPECT_EQ(DescribeSource(store, "A", NodePos{6, 0}), "r__1 : alpha-factor binds Ste2 ( PMID : 13964276 )");
}

TEST_F(ElementTextTest, ClicksFillThePanesAndDeselectionEmptiesThem) {
    Build(kRows, MakeRelations);
    store.m_pInteractions[1].source = "R binds C";
    host.m_textSource = "earlier";
    Click("C");  // a molecule leaves the source pane alone
    EXPECT_EQ(host.m_nodeName, "C Circle:4 Node:0 ");
    EXPECT_EQ(host.m_textSource, "earlier");
    Click("R");
    EXPECT_EQ(host.m_nodeName, "( A Circle:1 Node:0  ) bind to ( B Circle:2 Node:0  ) Circle:3 Node:0 ");
    EXPECT_EQ(host.m_textSource, "r__2 : R binds C ( PMID :  )");
    Click("A");
    EXPECT_EQ(host.m_nodeName, "A Circle:1 Node:0 ");
    EXPECT_EQ(host.m_textSource, "r__2 : R binds C ( PMID :  )");
    Click("A");  // deselected
    EXPECT_EQ(host.m_nodeName, "");
    EXPECT_EQ(host.m_textSource, "");
    EXPECT_EQ(box->GetCurrentName(), "");
}

}  // namespace
