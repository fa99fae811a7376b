#include <gtest/gtest.h>

#include "InteractionRows.h"
#include "InteractionStore.h"
#include "StartupBuild.h"

namespace {

std::unique_ptr<CNode> Build(CInteractionStore& store, const std::vector<TestRow>& rows) {
    FillInteractions(store, rows);
    return BuildStartupGraphFromArray(store);
}

const MoleculeRecord& At(const CNode& g, int circle) {
    const MoleculeRecord* m = g.GetMolecule(circle, 0);
    EXPECT_NE(m, nullptr) << "circle " << circle;
    static const MoleculeRecord none;
    return m ? *m : none;
}

TEST(StartupBuild, OneCirclePerMoleculeLinkedFirstToSecond) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 2, ""}, {"B", "C", 2, ""}, {"A", "C", 2, ""}});
    EXPECT_EQ(g->m_circle_count, 4);
    EXPECT_EQ(At(*g, 1).name, "A");
    EXPECT_EQ(At(*g, 2).name, "B");
    EXPECT_EQ(At(*g, 3).name, "C");
    EXPECT_EQ(At(*g, 1).links, "2 0 2 1 3 0 2 1");
    EXPECT_EQ(At(*g, 2).links, "3 0 2 1");
    EXPECT_EQ(At(*g, 3).links, "");
    EXPECT_EQ(At(*g, 1).linkCount, 1);
    EXPECT_EQ(At(*g, 2).linkCount, 0);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(At(*g, c).level, 0);
        EXPECT_EQ(At(*g, c).size, 1);
        EXPECT_EQ(At(*g, c).backLinks, "");
        EXPECT_EQ(g->GetCircle(c)->m_lstMolecules.size(), 1u);
        EXPECT_EQ(g->GetCircle(c)->CircleNum, c);
    }
    EXPECT_EQ(g->LookUp("C"), "3 0");
    EXPECT_EQ(store.m_pInteractions[0].built, 0);
}

TEST(StartupBuild, RepeatedInteractionCountsButLinksOnce) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 2, ""}, {"A", "B", 2, ""}, {"A", "B", 2, ""}, {"A", "B", 3, ""}});
    EXPECT_EQ(At(*g, 1).links, "2 0 2 1 2 0 3 1");
    EXPECT_EQ(At(*g, 1).linkCount, 3);
}

TEST(StartupBuild, LinkCountGoesToTheSmallerCircleNumber) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 2, ""}, {"B", "A", 1, ""}, {"B", "A", 1, ""}});
    EXPECT_EQ(At(*g, 2).links, "1 0 1 1");
    EXPECT_EQ(At(*g, 1).linkCount, 2);  // c1 = 2 > c2 = 1: the second member counts
    EXPECT_EQ(At(*g, 2).linkCount, 0);
}

TEST(StartupBuild, LevelsComeFromRemarksAndOnlyGoDown) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 2, "3 strong"},
                           {"A", "C", 2, "1"},       // A present, C new: A lowered to 1
                           {"D", "B", 2, "2"},       // D new, B present: B lowered to 2
                           {"C", "B", 2, "0"},       // both present: only the smaller circle, B
                           {"A", "E", 2, "x9"},      // no leading integer: level 0
                           {"E", "F", 2, "-2"}});
    EXPECT_EQ(At(*g, 1).level, 0);  // lowered by A-E
    EXPECT_EQ(At(*g, 2).level, 0);  // B in circle 2 < C's 3, lowered by C-B
    EXPECT_EQ(At(*g, 3).level, 1);  // C keeps the level it was made with
    EXPECT_EQ(At(*g, 4).level, 2);  // D
    EXPECT_EQ(At(*g, 5).level, -2);  // E, lowered by E-F
    EXPECT_EQ(At(*g, 6).level, -2);
    // A new first member lowers the existing second member's level too.
    CInteractionStore second("");
    auto h = Build(second, {{"A", "B", 2, "3"}, {"C", "B", 2, "1"}});
    EXPECT_EQ(At(*h, 2).level, 1);
    EXPECT_EQ(At(*h, 3).level, 1);
    EXPECT_EQ(InteractionLevel("12abc"), 12);
    EXPECT_EQ(InteractionLevel(""), 0);
    EXPECT_EQ(InteractionLevel("high"), 0);
}

TEST(StartupBuild, SelfLinksAndReferenceNamesAreOrdinary) {
    CInteractionStore store("");
    auto g = Build(store, {{"A", "B", 0, ""}, {"A", "A", 2, ""}, {"r__1", "A", 2, ""}, {"r__1", "B", 3, ""}});
    EXPECT_EQ(At(*g, 1).links, "2 0 0 1 1 0 2 1");
    EXPECT_EQ(At(*g, 3).name, "r__1");
    EXPECT_EQ(At(*g, 3).links, "1 0 2 1 2 0 3 1");
    EXPECT_EQ(g->m_circle_count, 4);
    EXPECT_EQ(store.m_pInteractions[0].built, 0);
}

TEST(StartupBuild, NewPairWithEqualNamesMakesTwoCircles) {
    CInteractionStore store("");
    auto g = Build(store, {{"X", "X", 2, ""}, {"Y", "X", 2, ""}});
    EXPECT_EQ(g->m_circle_count, 4);
    EXPECT_EQ(At(*g, 1).links, "2 0 2 1");
    EXPECT_EQ(At(*g, 2).name, "X");
    EXPECT_EQ(At(*g, 3).links, "1 0 2 1");  // the first registration wins
}

TEST(StartupBuild, EmptyArrayGivesEmptyGraph) {
    CInteractionStore store("");
    auto g = Build(store, {});
    EXPECT_EQ(g->m_circle_count, 1);
    EXPECT_TRUE(g->m_lstCircles.empty());
}

}  // namespace
