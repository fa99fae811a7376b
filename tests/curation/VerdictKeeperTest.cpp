// Verdicts kept in the data source: written when set, read back by every
// relation-node build, seen by a second program on the same source; a
// source that cannot take the table turns keeping off.
#include <gtest/gtest.h>

#include <string>

#include "ListedNamesTarget.h"
#include "ReviewEngine.h"
#include "ScriptedPrompt.h"
#include "TarnwickDoc.h"
#include "TestDatabase.h"

namespace {

using Answer = IUserPrompt::Answer;

int StateOf(CTarnwickDoc& doc, int record) {
    const InteractionRecord& r = doc.m_pInteractions[static_cast<size_t>(record)];
    return doc.m_pGraph->GetMolecule(r.nodeCircle, r.nodeIndex)->state;
}

// Sets states the way the window's commands do and keeps what they set.
void Review(CTarnwickDoc& doc, const std::vector<std::string>& words, Answer answer) {
    CListedNamesTarget sphere(doc.m_pGraph);
    ScriptedPrompt prompt;
    prompt.answers = {answer};
    CReviewEngine engine(doc, doc.m_pGraph.get(), {&sphere, &sphere, &sphere}, prompt, doc.m_review);
    engine.ReviewMemberMarkers(ReviewRep::Sphere, words, 0);
    std::string error;
    ASSERT_TRUE(doc.m_verdicts.Keep(engine.GetVerdicts(), error)) << error;
}

TEST(VerdictKeeper, VerdictsOutliveRebuildsAndReachASecondProgram) {
    TestDatabase db;
    ASSERT_TRUE(db.SetupError().empty()) << db.SetupError();
    db.Execute("DROP TABLE IF EXISTS [review_state]");
    db.AddRelation({"r__1", "A_of_B", "C", 2});
    db.AddRelation({"r__2", "D", "E", 0});
    db.AddRelation({"r__3", "F_of_G", "H", 3});

    CTarnwickDoc first(db.Connect());
    std::string error;
    ASSERT_TRUE(first.m_verdicts.TurnOn(error)) << error;
    ASSERT_TRUE(first.BuildSpherePathway());
    Review(first, {"_of_"}, Answer::Yes);
    ASSERT_TRUE(first.BuildSpherePathway());  // a rebuild: fresh nodes, kept states
    EXPECT_EQ(StateOf(first, 0), 0);
    EXPECT_EQ(StateOf(first, 1), -1);
    EXPECT_EQ(StateOf(first, 2), 0);

    // Another program on the same source, keeping on.
    CTarnwickDoc second(db.Connect());
    second.m_verdicts.SetOn(true);
    ASSERT_TRUE(second.BuildSpherePathway());
    EXPECT_EQ(StateOf(second, 0), 0);
    EXPECT_EQ(StateOf(second, 2), 0);
    // A later verdict replaces the earlier one; answering No keeps nothing.
    second.m_pGraph->GetMolecule(second.m_pInteractions[0].nodeCircle, second.m_pInteractions[0].nodeIndex)->state =
        -1;
    ASSERT_TRUE(second.m_verdicts.Keep({{"r__1", -1}}, error)) << error;
    Review(second, {"D"}, Answer::No);
    ASSERT_TRUE(first.BuildSpherePathway());
    EXPECT_EQ(StateOf(first, 0), -1);
    EXPECT_EQ(StateOf(first, 1), -1);
    EXPECT_EQ(StateOf(first, 2), 0);

    // Keeping off: a build leaves every node not OK.
    CTarnwickDoc third(db.Connect());
    ASSERT_TRUE(third.BuildSpherePathway());
    EXPECT_EQ(StateOf(third, 2), -1);
}

TEST(VerdictKeeper, ASourceThatCannotTakeTheTableTurnsKeepingOff) {
    TestDatabase db;
    ASSERT_TRUE(db.SetupError().empty()) << db.SetupError();
    db.Execute("DROP TABLE IF EXISTS [review_state]");
    // The name is taken by something that holds no rows.
    db.Execute("CREATE INDEX [review_state] ON [relation] ([rel_ID])");
    CTarnwickDoc doc(db.Connect());
    std::string error;
    if (!db.IsPostgres()) {  // PostgreSQL skips the creation with a notice
        EXPECT_FALSE(doc.m_verdicts.TurnOn(error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(doc.m_verdicts.IsOn());
    }
    doc.m_verdicts.SetOn(true);  // as remembered: found out at the first write
    error.clear();
    EXPECT_FALSE(doc.m_verdicts.Keep({{"r__1", 0}}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(doc.m_verdicts.IsOn());
}

}  // namespace
