#include <gtest/gtest.h>

#include <functional>

#include "EditCommands.h"
#include "EditHistory.h"
#include "EditScene.h"
#include "EditScript.h"
#include "InteractionRows.h"
#include "ListedNamesTarget.h"
#include "Node.h"
#include "PathwayFile.h"
#include "ReviewEngine.h"
#include "ScriptedPrompt.h"
#include "SphereBuild.h"
#include "StartupBuild.h"

namespace {

// A scene that records what it was asked to do.
struct RecordingScene : CNoScene {
    int RenameInScene(const std::string& from, const std::string& to, int /*circle*/,
                      const std::vector<int>& /*labelCircles*/) override {
        renames.push_back(from + ">" + to);
        return refuseRename ? 0 : 1;
    }
    int RebuildCircle(int circle) override {
        circles.push_back(circle);
        return 1;
    }
    int RebuildCircleEdges(int circle) override {
        edges.push_back(circle);
        return 1;
    }
    std::vector<std::string> renames;
    std::vector<int> circles, edges;
    bool refuseRename = false;
};

// Ras Bind Rasgrf1 (circle 1: Ras, Ras:Rasgrf1:0, Rasgrf1), X Stimulation
// Ras (circle 2 = X, circle 3 = the relation node Ras-X), Y Stimulation Z
// (circle 4: Y, Y:Z:2, Z).
struct Editing : ::testing::Test {
    void SetUp() override {
        FillInteractions(store, {{"Ras", "Rasgrf1", 0}, {"X", "Ras", 2}, {"Y", "Z", 2}});
        g = BuildSphereGraphFromArray(store);
    }
    CEditCommands Commands() { return CEditCommands(*g, prompt, scene, &history); }
    std::string State() const {
        std::string s = FormatPathwayFile(*g, PathwayGrid());
        for (const std::string& e : g->m_lstNameIndex) {
            s += "|" + e;
        }
        return s;
    }
    CInteractionStore store{""};
    std::unique_ptr<CNode> g;
    ScriptedPrompt prompt;
    RecordingScene scene;
    CEditHistory history;
};

TEST_F(Editing, ValidateNameRefusesInOrder) {
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"1ras", CEditCommands::kDigitFirst}, {"1 r+s", CEditCommands::kDigitFirst},
        {"ra s", CEditCommands::kNoSpace},    {"ra s+", CEditCommands::kNoSpace},
        {"ras+", CEditCommands::kNoPlus},     {"ras1", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        EXPECT_EQ(Commands().ValidateName(c.name), c.message ? -1 : 1) << c.name;
        EXPECT_EQ(prompt.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

TEST_F(Editing, RenameChangesOnlyTheMoleculeAndItsEndOfRelationNames) {
    ASSERT_EQ(g->GetMoleculeName(1, 1), "Ras:Rasgrf1:0");
    ASSERT_EQ(g->GetMoleculeName(3, 0), "Ras-X");
    g->TouchCircle(1);
    g->GetMolecule(1, 2)->links += " 1 0 2 1";  // Rasgrf1 -> Ras by hand
    scene.SetCurrentName("Ras");
    prompt.rename.answers.push_back({"", "Kras"});
    EXPECT_TRUE(Commands().OnRename());
    EXPECT_EQ(prompt.rename.opened.at(0).m_strOldName, "Ras");
    EXPECT_EQ(g->GetMoleculeName(1, 0), "Kras");
    EXPECT_EQ(g->GetMoleculeName(1, 1), "Kras:Rasgrf1:0");
    EXPECT_EQ(g->GetMoleculeName(1, 2), "Rasgrf1");  // a neighbour containing the old name
    EXPECT_EQ(g->GetMoleculeName(3, 0), "Kras-X");   // existing name first
    EXPECT_EQ(scene.renames, (std::vector<std::string>{"Ras>Kras", "Ras:Rasgrf1:0>Kras:Rasgrf1:0", "Ras-X>Kras-X"}));
    EXPECT_EQ(scene.GetCurrentName(), "");
    EXPECT_EQ(g->LookUp("Kras"), "1 0");
    EXPECT_EQ(g->LookUp("Ras"), "");
    EXPECT_EQ(g->LookUp("Kras-X"), "3 0");  // a relation node with its own circle is registered

    // The old name is free, the new one taken.
    scene.SetCurrentName("Y");
    prompt.rename.answers.push_back({"", "Kras"});
    prompt.rename.answers.push_back({"", "Ras"});
    EXPECT_TRUE(Commands().OnRename());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{CEditCommands::kRenameExists});
    EXPECT_EQ(prompt.rename.opened.at(2).m_strNewName, "");  // a fresh dialog
    EXPECT_EQ(g->GetMoleculeName(4, 0), "Ras");
    EXPECT_EQ(g->GetMoleculeName(4, 1), "Ras:Z:2");
}

TEST_F(Editing, RelationNamesNotInTheirBuiltFormKeepTheirName) {
    g->TouchCircle(1);
    g->GetMolecule(1, 1)->name = "complex";
    scene.SetCurrentName("Ras");
    prompt.rename.answers.push_back({"", "Kras"});
    Commands().OnRename();
    EXPECT_EQ(g->GetMoleculeName(1, 1), "complex");
}

TEST_F(Editing, RenameRefusals) {
    const struct {
        const char* current;
        const char* newName;
        bool sceneRefuses;
        std::vector<std::string> messages;
        const char* currentAfter;
    } cases[] = {
        {"", "A", false, {CEditCommands::kReselectMolecule}, ""},
        {"Ras:Rasgrf1:0", "A", false, {CEditCommands::kOnlyRealMolecule}, "Ras:Rasgrf1:0"},
        {"Ras", "9a", false, {CEditCommands::kDigitFirst}, "Ras"},
        {"Ras", "Z", false, {CEditCommands::kRenameExists}, "Ras"},
        {"Ras", "K", true, {}, "Ras"},
    };
    for (const auto& c : cases) {
        SetUp();
        prompt = ScriptedPrompt();
        scene = RecordingScene();
        scene.refuseRename = c.sceneRefuses;
        scene.SetCurrentName(c.current);
        prompt.rename.answers.push_back({"", c.newName});
        Commands().OnRename();
        EXPECT_EQ(prompt.messages, c.messages) << c.newName;
        EXPECT_EQ(scene.GetCurrentName(), c.currentAfter);
        EXPECT_EQ(g->GetMoleculeName(1, 0), "Ras");
    }
}

TEST_F(Editing, NewMoleculeJoinsTheCurrentCircleAndTakesItsName) {
    scene.SetCurrentName("Z");
    prompt.newMolecule.answers = {{"Ras", ""}, {"a b", ""}, {"Raf", ""}};
    EXPECT_TRUE(Commands().OnNewMolecule());
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{CEditCommands::kNewNameExists, CEditCommands::kNoSpace}));
    const MoleculeRecord* raf = g->GetMolecule(4, 3);
    ASSERT_NE(raf, nullptr);
    EXPECT_EQ(raf->name, "Raf");
    EXPECT_EQ(raf->size, 0);  // no type chosen
    EXPECT_EQ(scene.circles, std::vector<int>{4});
    prompt.newMolecule.answers = {{"Raf", "Real Molecule"}, {"Mek", "Real Molecule"}};
    EXPECT_TRUE(Commands().OnNewMolecule());
    EXPECT_EQ(g->GetMolecule(4, 4)->size, 1);
    EXPECT_EQ(g->LookUp("Mek"), "4 4");
}

TEST_F(Editing, ReferenceNamesThatMoleculesBearAreTaken) {
    // The start-up graph keeps a member "r__2" as a molecule of that name,
    // which a look-up of reference names (interactions) does not find.
    store.m_pInteractions.clear();
    FillInteractions(store, {{"r__2", "B", 0}, {"C", "D", 0}});
    g = BuildStartupGraphFromArray(store);
    ASSERT_EQ(g->LookUp("r__2"), "");
    scene.SetCurrentName("B");
    prompt.rename.answers = {{"", "r__2"}, {"", "r__9"}};
    EXPECT_TRUE(Commands().OnRename());
    scene.SetCurrentName("C");
    prompt.newMolecule.answers = {{"r__2", "Real Molecule"}, {"r__9", "Real Molecule"}, {"r__5", "Real Molecule"}};
    EXPECT_TRUE(Commands().OnNewMolecule());
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{CEditCommands::kRenameExists, CEditCommands::kNewNameExists,
                                                         CEditCommands::kNewNameExists}));
    std::vector<std::string> names;
    for (const CCircleData& circle : g->m_lstCircles) {
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            names.push_back(m.name);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"r__2", "r__9", "C", "r__5", "D"}));
}

TEST_F(Editing, SetRelationLinksBothWaysAndDeletionFindsTheEdge) {
    scene.SetCurrentName("Y");
    prompt.setRelation.answers = {{0, 0, 3, 1}, {1, 0, 11, 0}};
    EXPECT_TRUE(Commands().OnSetRelation());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{CEditCommands::kNoSuchNode});
    ASSERT_EQ(prompt.setRelation.opened.size(), 2u);
    EXPECT_EQ(prompt.setRelation.opened[1].m_nFull, 1);  // fresh initial values
    EXPECT_EQ(g->GetMolecule(4, 0)->links, "4 1 2 1 1 0 11 0");
    EXPECT_EQ(g->GetMolecule(1, 0)->backLinks, " 3 0 4 0");
    EXPECT_EQ(scene.edges, std::vector<int>{4});

    scene.SetCurrentName("Ras");
    prompt.deleteDlg.answers = {{"", 0, 1, 0}};  // Ras's incoming edges
    EXPECT_TRUE(Commands().OnDeleteMolecule());
    EXPECT_EQ(g->GetMolecule(4, 0)->links, "4 1 2 1");
}

TEST_F(Editing, DeleteChoices) {
    const struct {
        CDlgDelete answer;
        std::vector<std::string> messages;
        bool deleted;
    } cases[] = {
        {{"", 1, 1, 0}, {CEditCommands::kDeleteOutgoing}, false},
        {{"", 1, 0, 1}, {CEditCommands::kDeleteIncoming}, false},
        {{"", 1, 0, 0}, {CEditCommands::kDeleteOutgoing}, false},
        {{"", 0, 0, 0}, {}, false},
        {{"", 1, 1, 1}, {}, true},
    };
    for (const auto& c : cases) {
        SetUp();
        prompt = ScriptedPrompt();
        scene.SetCurrentName("Y");
        prompt.deleteDlg.answers = {c.answer};
        Commands().OnDeleteMolecule();
        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_EQ(g->GetMoleculeName(4, 0), c.deleted ? "Y:Z:2" : "Y");
        EXPECT_EQ(prompt.deleteDlg.opened.at(0).m_strName, "Y");
        EXPECT_EQ(prompt.deleteDlg.opened.size(), c.messages.empty() ? 1u : 2u);
    }
    scene.SetCurrentName("");
    EXPECT_FALSE(Commands().OnDeleteMolecule());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Editing, EveryEditUndoesAndRedoesExactly) {
    const struct {
        const char* action;
        const char* current;
        std::function<void(ScriptedPrompt&)> answer;
        std::function<bool(CEditCommands&)> run;
    } edits[] = {
        {"Rename", "Ras", [](ScriptedPrompt& p) { p.rename.answers.push_back({"", "Kras"}); },
         [](CEditCommands& e) { return e.OnRename(); }},
        {"New Molecule", "Ras", [](ScriptedPrompt& p) { p.newMolecule.answers.push_back({"Raf", "Real Molecule"}); },
         [](CEditCommands& e) { return e.OnNewMolecule(); }},
        {"Set Relation", "Y", [](ScriptedPrompt& p) { p.setRelation.answers.push_back({1, 2, 11, 1}); },
         [](CEditCommands& e) { return e.OnSetRelation(); }},
        {"Delete", "Ras", [](ScriptedPrompt& p) { p.deleteDlg.answers.push_back({"", 1, 1, 1}); },
         [](CEditCommands& e) { return e.OnDeleteMolecule(); }},
    };
    for (const auto& edit : edits) {
        SetUp();
        history.Clear();
        scene.SetCurrentName(edit.current);
        edit.answer(prompt);
        const std::string before = State();
        CEditCommands commands = Commands();
        ASSERT_TRUE(edit.run(commands)) << edit.action;
        const std::string after = State();
        ASSERT_NE(after, before);
        EXPECT_EQ(history.UndoAction(), edit.action);
        scene.circles.clear();
        EXPECT_TRUE(history.Undo(g.get(), scene));
        EXPECT_EQ(State(), before) << edit.action;
        EXPECT_FALSE(scene.circles.empty());
        EXPECT_EQ(history.RedoAction(), edit.action);
        EXPECT_TRUE(history.Redo(g.get(), scene));
        EXPECT_EQ(State(), after) << edit.action;
        EXPECT_TRUE(history.Undo(g.get(), scene));
        EXPECT_EQ(State(), before) << edit.action;
    }
    // A replaced graph ends the history.
    auto old = std::move(g);
    SetUp();
    EXPECT_FALSE(history.CanRedo(g.get()));
    EXPECT_TRUE(history.CanRedo(old.get()));
    EXPECT_FALSE(history.Redo(g.get(), scene));
    EXPECT_FALSE(history.CanRedo(old.get()));
}

// Review states take their turn in the history: undoing an edit made
// before a verdict does not take the verdict back with it.
TEST_F(Editing, ReviewStatesUndoInTurnWithEdits) {
    CListedNamesTarget target(g);
    ReviewSession session;
    auto review = [&](const char* action, const char* current, std::function<void(CReviewEngine&)> run) {
        target.m_strCurrentName = current;
        prompt.answers = {IUserPrompt::Answer::Yes};
        CEditScope scope(&history, *g, action);
        CReviewEngine engine(store, g.get(), {&target, &target, &target}, prompt, session);
        run(engine);
    };
    auto states = [&] {
        return std::vector<int>{g->GetMolecule(1, 1)->state, g->GetMolecule(3, 0)->state, g->GetMolecule(4, 1)->state};
    };
    const std::string original = State();
    scene.SetCurrentName("Ras");
    prompt.rename.answers.push_back({"", "Kras"});
    ASSERT_TRUE(Commands().OnRename());
    const std::string renamed = State();
    review("Annotate OK status", "Kras:Rasgrf1:0", [](CReviewEngine& e) { e.OnAnnotateOk(); });
    review("Set Simple Interactions OK", "", [](CReviewEngine& e) { e.OnSetAllOk(); });
    review("Show Interactions Not OK", "", [](CReviewEngine& e) { e.OnShowNotOk(); });  // sets nothing
    EXPECT_EQ(states(), (std::vector<int>{0, 0, 0}));

    using V = CEditJournal::Verdicts;
    const struct {
        const char* action;
        std::vector<int> states;
        V verdicts;  // what a data source keeping them is told
    } steps[] = {
        {"Set Simple Interactions OK", {0, -1, -1}, V{{"r__3", -1}, {"r__2", -1}, {"r__1", 0}}},
        {"Annotate OK status", {-1, -1, -1}, V{{"r__1", -1}}},
        {"Rename", {-1, -1, -1}, V{}},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(history.UndoAction(), step.action);
        ASSERT_TRUE(history.Undo(g.get(), scene));
        EXPECT_EQ(states(), step.states) << step.action;
        EXPECT_EQ(history.LastVerdicts(), step.verdicts) << step.action;
    }
    EXPECT_EQ(State(), original);
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(history.Redo(g.get(), scene));
    }
    EXPECT_FALSE(history.CanRedo(g.get()));
    EXPECT_EQ(State(), renamed);
    EXPECT_EQ(states(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(history.LastVerdicts(), (V{{"r__1", 0}, {"r__2", 0}, {"r__3", 0}}));
}

// Whether the graph differs by edits of nodes from what was last saved.
TEST_F(Editing, UnsavedEditsFollowSavesUndoAndRedo) {
    CListedNamesTarget target(g);
    ReviewSession session;
    auto rename = [&] {
        scene.SetCurrentName("Ras");
        prompt.rename.answers.push_back({"", "Kras"});
        Commands().OnRename();
    };
    auto verdicts = [&] {
        prompt.answers = {IUserPrompt::Answer::Yes};
        CEditScope scope(&history, *g, "Set Simple Interactions OK");
        CReviewEngine(store, g.get(), {&target, &target, &target}, prompt, session).OnSetAllOk();
    };
    auto save = [&] { history.MarkSaved(g.get()); };
    auto undo = [&] { history.Undo(g.get(), scene); };
    auto redo = [&] { history.Redo(g.get(), scene); };
    const struct {
        const char* what;
        std::function<void()> step;
        bool unsaved;
    } steps[] = {
        {"as built", [] {}, false},
        {"rename", rename, true},
        {"save", save, false},
        {"verdicts are not in the file", verdicts, false},
        {"undo verdicts", undo, false},
        {"undo rename", undo, true},
        {"redo rename", redo, false},
        {"undo rename", undo, true},
        {"verdicts drop the saved rename from reach", verdicts, true},
        {"undo verdicts", undo, true},
        {"save", save, false},
        {"redo verdicts", redo, false},
        {"a graph built anew", [&] { SetUp(); }, false},
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(history.HasUnsavedEdits(g.get()), s.unsaved) << s.what;
    }
}

TEST_F(Editing, CollectLinkedNamesFollowsLinksInOrder) {
    const MoleculeRecord& ras = *g->GetMolecule(1, 0);
    EXPECT_EQ(Commands().CollectLinkedNames(" " + ras.links + " 3 0 2 1", " 3 0 1 0", "Ras"),
              (std::vector<std::string>{"Ras:Rasgrf1:0", "Ras-X", "Ras-X", "Ras"}));
}

}  // namespace

namespace {

TEST(EditScript, RefusalsNameTheirLine) {
    const struct {
        const char* script;
        int applied;
        const char* error;
    } cases[] = {
        {"rename\tRas\tKras\r\n\nrename\tKras\tRas\n", 2, ""},
        {"rename\tRas\tKras\nrename\tY\tKras\n", 1, "line 2: New name already exists."},
        {"set-relation\tY\t1\tx\t2\t1\n", 0, "line 1: 정수를 입력하십시오."},
        {"set-relation\tY\t1\t0\t12\t1\n", 0, "line 1: \"12\" is not a choice from 0 to 11"},
        {"set-relation\tY\t9\t0\t2\t1\n", 0, "line 1: It does not exists"},
        {"delete\tY\t1\t0\t1\n", 0, "line 1: If you delete molecule itself, you must delete incoming edge"},
        {"delete\tY\t0\t0\t0\n", 1, ""},
        {"rename\tNoSuch\tA\n", 0, "line 1: no node named \"NoSuch\""},
        {"rename\tRas\n", 0, "line 1: expected rename<TAB>OLD<TAB>NEW"},
        {"move\tRas\n", 0, "line 1: unknown edit \"move\""},
    };
    for (const auto& c : cases) {
        CInteractionStore store("");
        FillInteractions(store, {{"Ras", "Rasgrf1", 0}, {"Y", "Z", 2}});
        auto g = BuildSphereGraphFromArray(store);
        std::string error;
        int applied = -1;
        EXPECT_EQ(ApplyEditScript(*g, c.script, error, applied), std::string(c.error).empty()) << c.script;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(applied, c.applied);
    }
}

}  // namespace
