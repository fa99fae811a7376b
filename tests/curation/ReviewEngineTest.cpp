// The review engines, the filters over them and the statistics, over
// relation-node graphs built from hand-written interactions.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "InteractionStore.h"
#include "ListedNamesTarget.h"
#include "MarkerFilters.h"
#include "Node.h"
#include "ReviewEngine.h"
#include "ScriptedPrompt.h"
#include "SphereBuild.h"
#include "TestDatabase.h"

namespace {

struct Rec {
    std::string m1, m2;
    int kind = 2;
    std::string source{};
};

using Answer = IUserPrompt::Answer;

class ReviewTest : public ::testing::Test {
protected:
    explicit ReviewTest(const std::string& connect = "") : store(std::make_unique<CInteractionStore>(connect)) {}

    // The relation-node graph of the rows; ids "r1", "r2", ...
    void Build(const std::vector<Rec>& rows) {
        store->m_pInteractions.clear();
        for (const Rec& row : rows) {
            InteractionRecord r;
            r.id = "r" + std::to_string(store->m_pInteractions.size() + 1);
            r.member1 = row.m1;
            r.member2 = row.m2;
            r.kind = row.kind;
            r.source = row.source;
            store->m_pInteractions.push_back(r);
        }
        store->m_nInteractions = static_cast<int>(rows.size());
        graph = std::make_unique<CNode>(store.get());
        CSphereBuilder(*graph, *store).BuildPathway();
        box = std::make_unique<CListedNamesTarget>(graph);
        sphere = std::make_unique<CListedNamesTarget>(graph);
    }
    CReviewEngine Engine(std::vector<std::string>* handled = nullptr) {
        CReviewEngine engine(*store, graph.get(), {box.get(), sphere.get(), sphere.get()}, prompt, session);
        engine.m_pHandled = handled;
        return engine;
    }
    MoleculeRecord& NodeOf(int record) {
        const InteractionRecord& r = store->m_pInteractions[static_cast<size_t>(record)];
        return *graph->GetMolecule(r.nodeCircle, r.nodeIndex);
    }
    std::vector<std::string> Run(bool member, const std::vector<std::string>& words, int mode,
                                 ReviewRep rep = ReviewRep::Sphere, int* hits = nullptr) {
        std::vector<std::string> handled;
        CReviewEngine engine = Engine(&handled);
        const int n = member ? engine.ReviewMemberMarkers(rep, words, mode)
                             : engine.ReviewSentenceMarkers(rep, words, mode);
        if (hits) {
            *hits = n;
        }
        EXPECT_EQ(n, static_cast<int>(handled.size()));
        return handled;
    }

    std::unique_ptr<CInteractionStore> store;
    std::unique_ptr<CNode> graph;
    std::unique_ptr<CListedNamesTarget> box, sphere;
    ScriptedPrompt prompt;
    ReviewSession session;
};

using Ids = std::vector<std::string>;

TEST_F(ReviewTest, EngineModesDecideByTheirOwnTest) {
    struct Case {
        const char* what;
        bool member;
        int mode;
        std::vector<std::string> words;
        Ids expected;
    };
    Build({{"A_and_B", "C"},                                    // r1
           {"factor_X", "D_of_E"},                              // r2: "or" in factor
           {"F", "G_of_H_with_I"},                              // r3
           {"J", "K", 0, "they bind and form a complex"},       // r4: Bind twice
           {"L", "M", 0, "L and M bind"},                       // r5: Bind once, same kind
           {"N", "O", 3, "N may bind O"},                       // r6: Inhibition, Bind verb
           {"P", "Q", 0, "P activates Q in vitro"},             // r7: Bind, Stimulation verb
           {"where_R_is", "S", 2, "In vitro R acts"}});        // r8
    const std::vector<std::string> verbs = MarkerWords(5);
    const Case cases[] = {
        {"first word decides, each record once", true, 0, {"_of_", "_with_", "C"}, {"r1", "r2", "r3"}},
        {"mode 1 drops members with and/or anywhere", true, 1, {"_of_"}, {"r3"}},
        {"mode 2 reads the second member only", true, 2, {"F", "G"}, {"r3"}},
        {"unknown member mode reads like 2", true, 7, {"A_"}, {}},
        {"where_ needs no leading underscore", true, 0, MarkerWords(1), {"r1", "r8"}},
        {"verb groups", false, 0, verbs, {"r4", "r6", "r7"}},
        {"a short verb list tests what it has", false, 0, {" bind"}, {"r6"}},
        {"sentence contains, case and space exact", false, 1, MarkerWords(6), {"r7"}},
        {"modality needs spaces on both sides", false, 1, {" may "}, {"r6"}},
        {"empty list", true, 0, {}, {}},
    };
    for (const Case& c : cases) {
        prompt.answers = {Answer::No};
        EXPECT_EQ(Run(c.member, c.words, c.mode), c.expected) << c.what;
    }
}

TEST_F(ReviewTest, NoStillMarksYesSetsStatesAndRecordsWithoutNodeAreSkipped) {
    Build({{"A_of_B", "C"}, {"D_of_E", "F"}, {"G", "H"}});
    store->m_pInteractions[1].nodeCircle = 0;  // no relation node
    prompt.answers = {Answer::No};
    EXPECT_EQ(Run(true, {"_of_"}, 0), Ids({"r1"}));
    EXPECT_EQ(prompt.questions, std::vector<std::string>({"Do you want to set all OK?"}));
    const std::string relation = graph->GetMoleculeName(store->m_pInteractions[0].nodeCircle,
                                                         store->m_pInteractions[0].nodeIndex);
    EXPECT_EQ(sphere->SelectNames().m_lstSelectNames.Names(), std::vector<std::string>({relation, "A_of_B", "C"}));
    EXPECT_EQ(NodeOf(0).state, -1);

    prompt.answers = {Answer::Yes};
    Run(true, {"_of_"}, 0);
    EXPECT_EQ(NodeOf(0).state, 0);
    EXPECT_EQ(NodeOf(2).state, -1);
    // Sentence mode 2 never sets states; the box representation is used when asked.
    prompt.answers = {Answer::Yes};
    NodeOf(2).state = -1;
    EXPECT_EQ(Run(false, {"G"}, 2, ReviewRep::Box), Ids({"r3"}));
    EXPECT_EQ(NodeOf(2).state, -1);
    EXPECT_FALSE(box->selected.empty());

    // A representation that is not built: nothing, not even the question.
    sphere.reset();
    prompt.questions.clear();
    EXPECT_EQ(Run(true, {"_of_"}, 0), Ids());
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(ReviewTest, MemberMode3OnTheBoxMarksMoleculesByNameBuiltOrNot) {
    Build({{"A", "C"}, {"D", "F"}});
    for (InteractionRecord& r : store->m_pInteractions) {
        r.built = 0;
    }
    store->m_pInteractions[0].member2 = "binding_and_protein";  // process against entity: mixed
    store->m_pInteractions[1].member2 = "D_and_E";              // unknown on both sides: alike
    prompt.answers = {Answer::Yes, Answer::Yes};
    // "A" is a molecule the name scan reaches; "binding_and_protein" none.
    EXPECT_EQ(Run(true, MarkerWords(11), 3, ReviewRep::Box), Ids({"molecule A"}));
    EXPECT_EQ(box->selected, std::vector<std::string>({"A"}));
    // On the sphere mode 3 needs a relation node.
    EXPECT_EQ(Run(true, MarkerWords(11), 3, ReviewRep::Sphere), Ids());
    // This store has no dictionary: said once, then every word is unknown.
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(ReviewTest, IdSeriesAndMissingNamesAreReportedWithoutStorms) {
    Build({{"A", "B", 2, " in vitro"}, {"C", "D", 2, " in vitro"}, {"E", "F", 2, " in vitro"}});
    sphere->hasSphere = [](const std::string& name) { return name != "B" && name != "D"; };
    prompt.answers = {Answer::No};
    Run(false, {" in vitro"}, 1);
    // Every box answered OK: the Part's sequence, then one missing-names box.
    EXPECT_EQ(prompt.messages, std::vector<std::string>({"r1", "r2", "r3", "존재하지 않는 이름입니다"}));
    EXPECT_EQ(prompt.details_.back(), "B\nD\n");

    prompt.messages.clear();
    prompt.details_.clear();
    prompt.seriesShown = 0;
    prompt.leaveSeriesAt = 0;
    prompt.answers = {Answer::No};
    Run(false, {" in vitro"}, 1);
    EXPECT_EQ(prompt.messages, std::vector<std::string>({"r1", "2 more", "존재하지 않는 이름입니다"}));
    EXPECT_EQ(prompt.details_.front(), "r2\nr3\n");
}

TEST_F(ReviewTest, StateCommandsReachEveryRelationNode) {
    Build({});
    {
        CReviewEngine engine = Engine();
        prompt.answers = {Answer::Yes};
        engine.OnSetAllOk();
        engine.OnShowNotOk();
        OnCountOk(engine);
    }
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>({"0/0", "0", "The number of molecules whose state is OK is 0"}));

    // A three-word end is counted but not simple.
    Build({{"A", "B"}, {"C_D_E", "F"}});
    prompt.messages.clear();
    CReviewEngine engine = Engine();
    prompt.answers = {Answer::No};
    engine.OnSetAllOk();
    EXPECT_EQ(prompt.messages.back(), "1/2");
    EXPECT_EQ(NodeOf(0).state, -1);
    const std::string relation = graph->GetMoleculeName(store->m_pInteractions[0].nodeCircle,
                                                         store->m_pInteractions[0].nodeIndex);
    EXPECT_EQ(sphere->selected, std::vector<std::string>({relation, "A", "B"}));
    prompt.answers = {Answer::Yes};
    engine.OnSetAllOk();
    OnCountOk(engine);
    EXPECT_EQ(prompt.messages.back(), "The number of molecules whose state is OK is 1");
    engine.OnShowNotOk();
    EXPECT_EQ(prompt.messages.back(), "1");
}

TEST_F(ReviewTest, AnnotateTakesTheNameOnScreen) {
    Build({{"A", "B"}});
    const InteractionRecord& r = store->m_pInteractions[0];
    const std::string relation = graph->GetMoleculeName(r.nodeCircle, r.nodeIndex);
    struct Step {
        std::string current;
        Answer answer;
        int expectedState;
        size_t expectedQuestions;
    };
    const Step steps[] = {
        {"", Answer::Yes, -1, 0},        // nothing selected
        {"A", Answer::Yes, -1, 0},       // a molecule
        {relation, Answer::Cancel, -1, 1},
        {relation, Answer::Yes, 0, 2},
        {relation, Answer::No, -1, 3},
    };
    for (const Step& s : steps) {
        sphere->m_strCurrentName = s.current;
        prompt.answers = {s.answer};
        Engine().OnAnnotateOk();
        EXPECT_EQ(NodeOf(0).state, s.expectedState) << s.current;
        EXPECT_EQ(prompt.questions.size(), s.expectedQuestions);
    }
    EXPECT_EQ(prompt.questions[0], "The current state is -1. Do you want to annotate the interaction as OK state?");
    EXPECT_EQ(prompt.questions[2], "The current state is 0. Do you want to annotate the interaction as OK state?");
}

TEST_F(ReviewTest, StatisticsAskElevenTimesAndLeaveTheThirdRecallAt0) {
    Build({{"X_expression", "Y_expression", 2, "expression in vitro of human Y2H"},
           {"human", "nuclear_Z", 2, " strongly expression"},
           {"Y2H_A", "B", 2, ""}});
    CReviewEngine engine = Engine();
    prompt.answers.assign(11, Answer::No);
    OnStatistics(engine, session);
    EXPECT_EQ(prompt.questions.size(), 11u);
    EXPECT_EQ(session.m_nRecall[2], 0);
    const size_t n = prompt.messages.size();
    ASSERT_GE(n, 2u);
    EXPECT_EQ(prompt.messages[n - 2], "precision 1 0 1 1 1 0 ");
    EXPECT_EQ(prompt.messages[n - 1], "recall 2 1 0 1 0 1");
    EXPECT_EQ(FormatPrecisionLine(session), prompt.messages[n - 2]);

    // Without the sphere only the box's experiment count is renewed.
    ReviewSession fresh;
    sphere.reset();
    prompt.answers.assign(11, Answer::No);
    prompt.messages.clear();
    CReviewEngine boxOnly(*store, graph.get(), {box.get(), nullptr, box.get()}, prompt, fresh);
    OnStatistics(boxOnly, fresh);
    EXPECT_EQ(prompt.messages, std::vector<std::string>({"precision 0 0 1 0 0 0 ", "recall 0 0 0 0 0 0"}));
}

TEST_F(ReviewTest, AllMarkersAndFindByNumberAskNothing) {
    Build({{"A_of_B", "C"}, {"D", "E_transcription"}, {"F", "G"}, {"H_and_I", "J"}});
    CReviewEngine engine = Engine();
    std::vector<std::string> handled;
    engine.m_pHandled = &handled;
    EXPECT_EQ(OnFilterAllMarkers(engine), 3);
    EXPECT_EQ(handled, Ids({"r1", "r2", "r4"}));
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(prompt.messages, std::vector<std::string>({"3"}));

    handled.clear();
    prompt.answers = {Answer::No};
    OnFindByNumber(engine, {"zz", "G"}, 1);
    EXPECT_EQ(handled, Ids({"r3"}));
    OnFindByNumber(engine, {"zz", "G"}, 2);  // outside: nothing, no question
    EXPECT_EQ(prompt.questions.size(), 1u);
}

TEST_F(ReviewTest, LongWalksReportProgressAndStopOnlyWhereNothingIsLost) {
    std::vector<Rec> rows;
    for (int i = 0; i < 3000; ++i) {
        rows.push_back({"M" + std::to_string(i) + "_of_X", "N", 2, "seen in human cells"});
    }
    Build(rows);
    const size_t relationNodes = rows.size();
    size_t nodes = 0;
    for (int c = 1; c < graph->m_circle_count; ++c) {
        nodes += graph->GetCircle(c)->m_lstMolecules.size();
    }
    struct Case {
        const char* what;
        std::function<void(CReviewEngine&)> run;
        Answer answer;
        bool stops;  // false: it sets states, so it runs to its end
        ReviewProgress::Over over;
    };
    const Case cases[] = {
        {"filter answered No", [this](CReviewEngine& e) { RunMarkerFilter(e, session, *FindMarkerFilter(32812)); },
         Answer::No, true, ReviewProgress::Over::Interactions},
        {"statistics", [this](CReviewEngine& e) { OnStatistics(e, session); }, Answer::No, true,
         ReviewProgress::Over::Interactions},
        {"all markers", [](CReviewEngine& e) { OnFilterAllMarkers(e); }, Answer::No, true,
         ReviewProgress::Over::Interactions},
        {"count OK", [](CReviewEngine& e) { OnCountOk(e); }, Answer::No, true, ReviewProgress::Over::Nodes},
        {"set all OK answered No", [](CReviewEngine& e) { e.OnSetAllOk(); }, Answer::No, true,
         ReviewProgress::Over::Nodes},
        {"filter answered Yes", [this](CReviewEngine& e) { RunMarkerFilter(e, session, *FindMarkerFilter(32812)); },
         Answer::Yes, false, ReviewProgress::Over::Interactions},
    };
    for (const Case& c : cases) {
        session.m_nRecall.fill(7);
        session.m_nPrecision.fill(7);
        sphere->selected.clear();
        prompt.messages.clear();
        prompt.answers.assign(11, c.answer);
        std::vector<ReviewProgress> reports;
        CReviewEngine engine = Engine();
        engine.SetProgress([&reports](const ReviewProgress& p) {
            reports.push_back(p);
            return reports.size() < 2;  // the curator cancels at the second report
        });
        c.run(engine);
        ASSERT_GE(reports.size(), 2u) << c.what;
        EXPECT_EQ(reports[0].done, 0u) << c.what;
        EXPECT_EQ(reports[1].done, CReviewEngine::kReportEvery) << c.what;
        EXPECT_EQ(reports[0].over, c.over) << c.what;
        EXPECT_EQ(reports[0].total, c.over == ReviewProgress::Over::Nodes ? nodes : rows.size())
            << c.what;
        EXPECT_EQ(reports[0].cancellable, c.stops) << c.what;
        EXPECT_EQ(engine.Cancelled(), c.stops) << c.what;
        size_t ok = 0;
        for (size_t r = 0; r < relationNodes; ++r) {
            ok += NodeOf(static_cast<int>(r)).state == 0 ? 1 : 0;
        }
        if (c.stops) {
            // Nothing marked, selected, set, counted or said.
            EXPECT_EQ(reports.size(), 2u) << c.what;
            EXPECT_TRUE(sphere->selected.empty()) << c.what;
            EXPECT_TRUE(sphere->SelectNames().m_lstSelectNames.Names().empty()) << c.what;
            EXPECT_EQ(ok, 0u) << c.what;
            EXPECT_EQ(session.m_nRecall[3], 7) << c.what;
            EXPECT_EQ(session.m_nPrecision[3], 7) << c.what;
            EXPECT_TRUE(prompt.messages.empty()) << c.what;
            EXPECT_LE(prompt.questions.size(), 1u) << c.what;
        } else {
            EXPECT_EQ(ok, relationNodes) << c.what;
            EXPECT_EQ(session.m_nRecall[3], 3000) << c.what;
        }
        prompt.questions.clear();
    }
}

TEST(MarkerWordsTest, OddEntriesStayAsTheyAre) {
    const auto has = [](int list, const std::string& w) {
        const auto& words = MarkerWords(list);
        return std::find(words.begin(), words.end(), w) != words.end();
    };
    const std::vector<size_t> sizes = {24, 34, 3, 3, 10, 4, 49, 14, 8, 23, 4, 4};
    for (int list = 1; list <= 12; ++list) {
        EXPECT_EQ(MarkerWords(list).size(), sizes[static_cast<size_t>(list - 1)]) << list;
    }
    EXPECT_TRUE(has(1, "where_") && has(1, "WHERE_") && !has(1, "_where_"));
    EXPECT_TRUE(has(8, " not ") && has(8, " probably") && !has(8, " probably "));
    EXPECT_TRUE(has(10, "nuclear") && !has(10, "neculear") && !has(10, "Er"));
    EXPECT_TRUE(has(7, " eukaryotes") && has(7, "Bacillus subtills"));
    EXPECT_EQ(MarkerFilters().size(), 12u);
    EXPECT_EQ(FindMarkerFilterByName("coordination-specific")->id, 32818);
}

// The coordination test reads the keyword dictionary of a real database.
class CoordinationTest : public ReviewTest {
protected:
    CoordinationTest() : ReviewTest(db.Connect()) {}
    void SetUp() override { ASSERT_TRUE(db.SetupError().empty()) << db.SetupError(); }
    static TestDatabase& Db() { return db; }
    inline static TestDatabase db;
};

TEST_F(CoordinationTest, MixedCoordinationBothWaysWithOneQueryPerWord) {
    db.AddKeyword("activates", "VBZ");
    db.AddKeyword("Ras", "NNP");
    db.AddKeyword("kinases", "NNS");
    db.AddKeyword("kinase", "NN");
    db.AddKeyword("very", "RB");
    store = std::make_unique<CInteractionStore>(db.Connect());
    Build({});
    struct Case {
        const char* phrase;
        bool mixed;
    };
    const Case cases[] = {
        {"Ras_kinase", false},                    // no marker
        {"binding_and_phosphorylation", false},   // both processes, no NNS
        {"Ras_and_activates", true},              // a verb follows a non-verb
        {"kinase_and_kinases", true},             // plural on one side only
        {"kinase_or_Ras", false},                 // both nouns
        {"binding_and_protein", true},            // process against entity
        {"protein_very_and_Ras", true},           // walks past "very" to the entity
        {"Ras,_kinase", false},                   // "," with "_" after it
    };
    for (const Case& c : cases) {
        CReviewEngine engine = Engine();
        EXPECT_EQ(engine.IsMixedCoordination(c.phrase), c.mixed) << c.phrase;
    }
    CReviewEngine engine = Engine();
    engine.IsMixedCoordination("kinase_and_kinases");
    engine.IsMixedCoordination("kinase_or_kinases");
    EXPECT_EQ(engine.m_nDictionaryQueries, 2);
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
