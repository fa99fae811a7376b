#include <gtest/gtest.h>

#include <vector>

#include "CircleRebuilder.h"
#include "EditJournal.h"
#include "InteractionRows.h"
#include "InteractionStore.h"
#include "LinkEdit.h"
#include "Node.h"
#include "PathwayFile.h"
#include "SphereBuild.h"

namespace {

TEST(LinkEdit, RemoveLinkEntryComparesLeadingNumbersOnly) {
    struct Case {
        const char* links;
        const char* token;
        int extra;
        const char* expected;
    } cases[] = {
        {"1 0 2 1 5 0 3 1", "5 0", 2, "1 0 2 1"},          // the last entry
        {"5 0 3 1", "3 1", 2, "5 0 3 1"},                  // kind and flag are not a target
        {" 1 0 2 1 5 0 3 1", "1 0", 2, " 5 0 3 1"},        // the first entry, leading space kept
        {"1 0 2 1 5 0 3 1 15 0 3 1", "5 0", 2, "1 0 2 1 15 0 3 1"},
        {"15 0 2 1", "5 0", 2, "15 0 2 1"},                // never a substring
        {" 3 0 4 1 3 1", "4 1", 0, " 3 0 3 1"},            // incoming pairs
        {" 3 0", "3 0", 0, ""},
        {"", "1 0", 2, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RemoveLinkEntry(c.links, c.token, c.extra), c.expected) << c.links << " - " << c.token;
    }
}

TEST(NodeEdit, RenamedAndForgottenNamesLeaveTheIndexConsistent) {
    CNode g;
    g.RegisterName("A", 1, 0, 0);
    g.RegisterName("B", 2, 0, 0);
    g.RegisterName("A", 3, 0, 0);  // registered twice: the first wins
    g.RenameRegisteredName("A", {1, 0}, "Z");
    EXPECT_EQ(g.LookUp("Z"), "1 0");
    EXPECT_EQ(g.LookUp("A"), "3 0");  // the other molecule of that name keeps it
    g.MoveRegisteredName("A", {3, 0}, {0, 0});
    EXPECT_EQ(g.LookUp("A"), "");
    g.RegisterName("A", 4, 0, 0);  // free again
    EXPECT_EQ(g.LookUp("A"), "4 0");
    g.MoveRegisteredName("B", {2, 0}, {2, 5});
    EXPECT_EQ(g.LookUp("B"), "2 5");
    const auto before = g.GetRevision();
    g.RenameRegisteredName("B", {2, 0}, "Q");  // not at that position: nothing
    EXPECT_EQ(g.LookUp("Q"), "");
    EXPECT_EQ(g.GetRevision(), before);
}

struct Rebuilds : ICircleRebuilder {
    int RebuildCircle(int circle) override {
        circles.push_back(circle);
        return failAt == circle ? 0 : 1;
    }
    int RebuildCircleEdges(int circle) override {
        edges.push_back(circle);
        return 1;
    }
    int RebuildNodeLinks(int circle, const std::vector<int>& indices, bool whole) override {
        nodeLinks.emplace_back(circle, indices);
        return ICircleRebuilder::RebuildNodeLinks(circle, indices, whole);
    }
    std::vector<int> circles, edges;
    std::vector<std::pair<int, std::vector<int>>> nodeLinks;
    int failAt = -1;
};

// A Bind B, A Bind C, C Stimulation D, E Stimulation B:
// circle 1 = A, A:B:0, B, C, A:C:0; 2 = D; 3 = C-D; 4 = E; 5 = B-E.
struct DeletionGraph : ::testing::Test {
    void SetUp() override {
        FillInteractions(store, {{"A", "B", 0}, {"A", "C", 0}, {"C", "D", 2}, {"E", "B", 2}});
        g = BuildSphereGraphFromArray(store);
    }
    std::string State() const {
        std::string s = FormatPathwayFile(*g, PathwayGrid());
        for (const std::string& e : g->m_lstNameIndex) {
            s += "|" + e;
        }
        for (const InteractionRecord& r : store.m_pInteractions) {
            s += "|" + std::to_string(r.built) + ":" + std::to_string(r.nodeCircle) + "," + std::to_string(r.nodeIndex);
        }
        for (const char* name : {"A", "B", "C", "D", "E"}) {
            s += "|" + g->LookUp(name);
        }
        return s;
    }
    CInteractionStore store{""};
    std::unique_ptr<CNode> g;
    Rebuilds scene;
};

TEST_F(DeletionGraph, EverythingFollowsTheNodesAfterADeletedMolecule) {
    ASSERT_EQ(g->GetMoleculeName(1, 2), "B");
    ASSERT_EQ(g->GetMoleculeName(5, 0), "B-E");
    ASSERT_EQ(g->GetMolecule(1, 0)->links, "1 1 0 1 1 4 0 1");
    CEditJournal journal;
    const std::string before = State();
    g->SetJournal(&journal);
    EXPECT_EQ(g->DeleteMolecule(1, 2, 1, 1, 1, scene), 1);
    g->SetJournal(nullptr);
    journal.Seal(*g);

    EXPECT_EQ(g->GetMoleculeName(1, 2), "C");
    EXPECT_EQ(g->GetMolecule(1, 0)->links, "1 1 0 1 1 3 0 1");  // A -> A:C:0 at its new index
    EXPECT_EQ(g->GetMolecule(1, 2)->links, "1 3 0 1 3 0 2 1");  // C -> A:C:0, C -> C-D
    EXPECT_EQ(g->GetMolecule(1, 3)->right, (NodePos{1, 2}));   // A:C:0's end C
    EXPECT_EQ(g->GetMolecule(1, 1)->right, (NodePos{0, 0}));   // A:B:0 lost its end
    EXPECT_EQ(g->GetMolecule(3, 0)->left, (NodePos{1, 2}));    // C-D's end C
    EXPECT_EQ(g->GetMolecule(5, 0)->links, "");                // the incoming edge went
    EXPECT_EQ(g->GetMolecule(5, 0)->right, (NodePos{0, 0}));
    EXPECT_EQ(g->GetMolecule(3, 0)->number, 0);
    EXPECT_EQ(g->GetMolecule(1, 3)->number, 4);  // numbers keep their values
    EXPECT_EQ(g->LookUp("B"), "");
    EXPECT_EQ(g->LookUp("C"), "1 2");
    EXPECT_EQ(g->LookUp("r__2"), "1 3");  // A Bind C's relation node moved down
    EXPECT_EQ(g->LookUp("r__1"), "1 1");
    EXPECT_EQ(scene.circles, (std::vector<int>{5, 1}));

    const std::string after = State();
    journal.Undo(*g);
    EXPECT_EQ(State(), before);
    journal.Redo(*g);
    EXPECT_EQ(State(), after);
}

// What is written between two deletions is followed by the second one,
// even a link and an end without incoming entries, announced for the
// circle or for the node alone.
TEST_F(DeletionGraph, WhatChangedSinceAnEarlierDeletionFollowsTheNextOne) {
    for (const bool wholeCircle : {true, false}) {
        SetUp();
        ASSERT_EQ(g->DeleteMolecule(1, 2, 1, 1, 1, scene), 1);  // B: circle 1 = A, A:B:0, C, A:C:0
        const std::uint64_t revision = g->GetRevision();
        wholeCircle ? g->TouchCircle(4) : g->TouchNode(4, 0);
        std::vector<NodePos> touched;
        ASSERT_TRUE(g->NodesChangedSince(revision, touched));
        EXPECT_EQ(touched, (std::vector<NodePos>{{4, wholeCircle ? -1 : 0}}));
        g->GetMolecule(4, 0)->links = "1 3 2 1";  // E -> A:C:0
        g->GetMolecule(4, 0)->left = {1, 3};
        ASSERT_EQ(g->DeleteMolecule(1, 2, 1, 1, 1, scene), 1);  // C
        EXPECT_EQ(g->GetMolecule(4, 0)->links, "1 2 2 1") << wholeCircle;
        EXPECT_EQ(g->GetMolecule(4, 0)->left, (NodePos{1, 2})) << wholeCircle;
        EXPECT_EQ(g->LookUp("r__2"), "1 2");
        EXPECT_EQ(g->GetMolecule(3, 0)->left, (NodePos{0, 0}));  // C-D lost its end C
    }
}

// A node moved up by one deletion is found at its new place by a later
// one, through an end no incoming list names.
TEST_F(DeletionGraph, ANodeMovedByADeletionIsFollowedAtItsNewPlace) {
    ASSERT_EQ(g->AppendMolecule(3, "X", 1), 1);  // circle 3 = C-D, X
    ASSERT_EQ(g->AppendMolecule(1, "Y", 1), 5);
    g->GetMolecule(1, 5)->left = {3, 1};                     // Y's end X
    ASSERT_EQ(g->DeleteMolecule(2, 0, 1, 1, 1, scene), 1);  // D, with Y read at 1 5
    ASSERT_EQ(g->DeleteMolecule(1, 2, 1, 1, 1, scene), 1);  // B: Y moves to 1 4
    ASSERT_EQ(g->DeleteMolecule(3, 0, 1, 1, 1, scene), 1);  // C-D: X moves to 3 0
    EXPECT_EQ(g->GetMolecule(1, 4)->left, (NodePos{3, 0}));
}

TEST_F(DeletionGraph, ARecordWhoseRelationNodeWentIsNotBuilt) {
    EXPECT_EQ(g->DeleteMolecule(1, 4, 1, 1, 1, scene), 1);  // A:C:0
    EXPECT_EQ(g->LookUp("r__2"), "");
    EXPECT_EQ(store.m_pInteractions[1].built, 0);
    EXPECT_EQ(g->GetMolecule(1, 0)->links, "1 1 0 1");  // A no longer links to it
    EXPECT_EQ(g->GetMolecule(1, 3)->links, "3 0 2 1");  // nor C; C's other link stays
}

// Sources of several circles in any order: each circle is rebuilt once,
// after its last source, with its own changed nodes.
TEST_F(DeletionGraph, IncomingSourcesOfInterleavedCirclesRebuildEachCircleWithItsOwnNodes) {
    g->GetMolecule(1, 1)->links += " 1 2 2 1";  // A:B:0 -> B
    g->GetMolecule(1, 4)->links += " 1 2 2 1";  // A:C:0 -> B
    g->GetMolecule(1, 2)->backLinks = " 1 1 5 0 1 4";
    ASSERT_EQ(g->DeleteMolecule(1, 2, 1, 1, 1, scene), 1);
    using Rebuild = std::pair<int, std::vector<int>>;
    EXPECT_EQ(scene.nodeLinks, (std::vector<Rebuild>{{5, {0}}, {1, {1, 4}}}));
    EXPECT_EQ(g->GetMolecule(1, 1)->links, "");  // A:B:0 links to nothing left
    EXPECT_EQ(g->GetMolecule(1, 3)->links, "");  // A:C:0, moved up, no longer to B
}

TEST_F(DeletionGraph, LinksOnlyAndAFailedRebuildStopTheDeletion) {
    EXPECT_EQ(g->DeleteMolecule(1, 2, 0, 1, 0, scene), 1);  // B's incoming edges only
    EXPECT_EQ(g->GetMolecule(5, 0)->links, "");
    EXPECT_EQ(g->GetMolecule(1, 2)->backLinks, "");
    EXPECT_EQ(g->GetMolecule(1, 2)->links, "1 1 0 1");
    g->GetMolecule(5, 0)->links = "1 2 2 0";  // the edge again
    g->GetMolecule(1, 2)->backLinks = " 5 0";
    scene.failAt = 5;
    EXPECT_EQ(g->DeleteMolecule(1, 2, 1, 1, 1, scene), 0);  // B stays when a source's circle fails
    EXPECT_EQ(g->GetMoleculeName(1, 2), "B");
    EXPECT_EQ(g->GetMolecule(5, 0)->links, "");
    EXPECT_EQ(g->DeleteMolecule(9, 0, 1, 1, 1, scene), 1);  // no such node
}

}  // namespace
