// Highlight modes on molecule and edge materials, label visibility, and
// the edge highlighting kept in step with the selection without a pass
// over every edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoSphere.h>

#include "ExploreFixture.h"
#include "RepresentationEditScene.h"

namespace {

using Names = std::vector<std::string>;

const SbColor kWhite(1, 1, 1);
const SbColor kGrey(0.5f, 0.5f, 0.5f);

// A=1 B=2 C=3; edges A->B (kind 2, red), A->C (kind 3, green), B->C (kind 0, magenta).
const std::vector<TestRow> kRows = {{"A", "B", 2}, {"A", "C", 3}, {"B", "C", 0}};

class HighlightTest : public ExploreTest {
protected:
    // The frame's highlight command.
    void Command(int mode) {
        const int old = host.m_flags.m_bViewWithBox ? 0 : host.m_flags.m_bSelectiveShowing ? 1 : 2;
        if (old != mode) {
            box->SetHighlightMode(mode, old);
            UseMode(mode);
        }
    }
    SbColor Color(const std::string& cone) { return EdgeMaterial(cone)->diffuseColor[0]; }
    float Transparency(const std::string& cone) { return EdgeMaterial(cone)->transparency[0]; }
};

TEST_F(HighlightTest, ByColourShowsSelectedMoleculesAndTheEdgesBetweenThem) {
    Build(kRows);
    Command(2);
    EXPECT_EQ(host.m_renderActions, std::vector<int>{2});
    for (const char* cone : {"E_1:0-2:0", "E_1:0-3:0", "E_2:0-3:0"}) {
        EXPECT_EQ(Color(cone), kWhite) << cone;
    }
    Click("A");
    EXPECT_EQ(MoleculeMaterial("A")->diffuseColor[0], SbColor(0, 1, 0));  // unnamed: green
    EXPECT_EQ(Color("E_1:0-2:0"), kWhite);
    Click("B");
    EXPECT_EQ(Color("E_1:0-2:0"), SbColor(1, 0, 0));
    EXPECT_EQ(Color("E_1:0-3:0"), kWhite);
    EXPECT_EQ(Color("E_2:0-3:0"), kWhite);
    Click("C");
    EXPECT_EQ(Color("E_1:0-3:0"), SbColor(0, 1, 0));
    EXPECT_EQ(Color("E_2:0-3:0"), SbColor(1, 0, 1));
    Click("B");
    EXPECT_EQ(MoleculeMaterial("B")->diffuseColor[0], kWhite);
    EXPECT_EQ(Color("E_1:0-2:0"), kWhite);
    EXPECT_EQ(Color("E_2:0-3:0"), kWhite);
    EXPECT_EQ(Color("E_1:0-3:0"), SbColor(0, 1, 0));
    for (const char* cone : {"E_1:0-2:0", "E_1:0-3:0", "E_2:0-3:0"}) {
        EXPECT_EQ(Transparency(cone), 0.0f) << cone;
    }
}

TEST_F(HighlightTest, SelectiveShowingShowsOnlyEdgesBetweenSelectedMolecules) {
    Build(kRows);
    Click("A");
    Command(1);
    EXPECT_EQ(host.m_renderActions, std::vector<int>{1});
    EXPECT_EQ(Transparency("E_1:0-2:0"), 1.0f);
    EXPECT_EQ(MoleculeMaterial("B")->transparency[0], 0.0f);  // unnamed molecules stay visible
    Click("B");
    EXPECT_EQ(Transparency("E_1:0-2:0"), 0.0f);
    EXPECT_EQ(Transparency("E_1:0-3:0"), 1.0f);
    EXPECT_EQ(Color("E_1:0-2:0"), SbColor(1, 0, 0));  // colours are left alone
    Click("A");
    EXPECT_EQ(Transparency("E_1:0-2:0"), 1.0f);
    // Back to boxes: own colours, opaque, the box highlight.
    Command(0);
    EXPECT_EQ(host.m_renderActions, (std::vector<int>{1, 0}));
    EXPECT_EQ(Transparency("E_1:0-2:0"), 0.0f);
    EXPECT_EQ(Color("E_2:0-3:0"), SbColor(1, 0, 1));
    Command(0);  // the checked mode again changes nothing
    EXPECT_EQ(host.m_renderActions, (std::vector<int>{1, 0}));
}

TEST_F(HighlightTest, ChangingTheModeForgetsTheGatheredNames) {
    Build(kRows);
    box->SearchAndSelect("A", -1, 1, 0);
    ASSERT_EQ(Listed(), (Names{"A", "B", "C"}));
    Command(2);
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(Color("E_1:0-2:0"), SbColor(1, 0, 0));  // the selection is highlighted at once
}

TEST_F(HighlightTest, AScenebuiltInAModeGetsItsFirstHighlightEverywhere) {
    UseMode(2);
    Build(kRows);
    EXPECT_EQ(MoleculeMaterial("A")->diffuseColor[0], kWhite);
    EXPECT_EQ(Color("E_2:0-3:0"), SbColor(1, 0, 1));  // built in its own colour
    Click("A");
    EXPECT_EQ(Color("E_2:0-3:0"), kWhite);
    EXPECT_EQ(Color("E_1:0-2:0"), kWhite);
}

TEST_F(HighlightTest, SelectionsMadeWhileHighlightingWasOffAreCaughtUpWith) {
    Build(kRows);
    Command(2);
    UseMode(0);  // the flags alone: these clicks highlight nothing
    Click("A");
    Click("B");
    EXPECT_EQ(Color("E_1:0-2:0"), kWhite);
    UseMode(2);
    Click("C");
    EXPECT_EQ(Color("E_1:0-2:0"), SbColor(1, 0, 0));
    EXPECT_EQ(Color("E_2:0-3:0"), SbColor(1, 0, 1));
}

TEST_F(HighlightTest, KindsWithoutAColourStayGrey) {
    Build(kRows, [](CNode& g) { g.GetMolecule(1, 0)->links = "2 0 12 1 3 0 3 1"; });
    EXPECT_EQ(Color("E_1:0-2:0"), kGrey);
    // Each mode's look with nothing selected, as for the kinds of the table.
    const struct {
        int mode;
        SbColor colour;
        float transparency;
    } modes[] = {{1, kGrey, 1.0f}, {2, kWhite, 0.0f}, {0, kGrey, 0.0f}};
    for (const auto& m : modes) {
        Command(m.mode);
        EXPECT_EQ(Color("E_1:0-2:0"), m.colour) << m.mode;
        EXPECT_EQ(Transparency("E_1:0-2:0"), m.transparency) << m.mode;
        EXPECT_EQ(Transparency("E_1:0-3:0"), m.transparency) << m.mode;
    }
    Command(2);
    Click("A");
    Click("B");
    EXPECT_EQ(Color("E_1:0-2:0"), kGrey);
    Click("B");
    EXPECT_EQ(Color("E_1:0-2:0"), kWhite);
}

TEST_F(HighlightTest, ASelfLinkFollowsItsOneMolecule) {
    // A->A (kind 2, red) beside A->B (kind 3).
    Build(kRows, [](CNode& g) { g.GetMolecule(1, 0)->links = "1 0 2 1 2 0 3 1"; });
    for (int mode : {2, 1}) {
        SCOPED_TRACE(mode);
        Command(mode);
        auto shown = [&] { return mode == 2 ? Color("E_1:0-1:0") == SbColor(1, 0, 0) : Transparency("E_1:0-1:0") == 0.0f; };
        EXPECT_FALSE(shown());
        Click("A");
        EXPECT_TRUE(shown());
        Click("A");  // deselected: the edge goes back without a full pass
        EXPECT_FALSE(shown());
        Click("B");
        Click("A");
        EXPECT_TRUE(shown());
        Click("A");
        EXPECT_FALSE(shown());
        Click("B");
    }
}

TEST_F(HighlightTest, NamedMoleculeMaterialsTakeTheirOwnColour) {
    Build(kRows);
    SetSceneName(MoleculeMaterial("A"), "node_material_red");
    SetSceneName(MoleculeMaterial("B"), "node_material_green");
    const struct {
        int mode;
        SbColor red;
        SbColor green;
        float transparency;
    } resets[] = {{2, kWhite, kWhite, 0.0f}, {1, SbColor(1, 0, 0), SbColor(0, 1, 0), 1.0f},
                  {0, SbColor(1, 0, 0), SbColor(0, 1, 0), 0.0f}};
    for (const auto& reset : resets) {
        box->ResetHighlight(reset.mode);
        EXPECT_EQ(MoleculeMaterial("A")->diffuseColor[0], reset.red) << reset.mode;
        EXPECT_EQ(MoleculeMaterial("B")->diffuseColor[0], reset.green) << reset.mode;
        EXPECT_EQ(MoleculeMaterial("A")->transparency[0], reset.transparency) << reset.mode;
    }
    Command(2);
    Click("A");
    Click("B");
    EXPECT_EQ(MoleculeMaterial("A")->diffuseColor[0], SbColor(1, 0, 0));
    EXPECT_EQ(MoleculeMaterial("B")->diffuseColor[0], SbColor(0, 1, 0));
}

TEST_F(HighlightTest, LabelVisibilityValues) {
    Build(kRows);
    auto transparency = [](SoSeparator* root) { return static_cast<SoMaterial*>(root->getChild(0))->transparency[0]; };
    const struct {
        int value;
        float red, green;
    } rows[] = {{3, 1, 1}, {0, 0, 0}, {1, 0, 1}, {2, 0, 0}, {7, 1, 1}};
    for (const auto& row : rows) {
        box->SetLabelVisibility(row.value);
        EXPECT_EQ(transparency(box->GetRedCharRoot()), row.red) << row.value;
        EXPECT_EQ(transparency(box->GetGreenCharRoot()), row.green) << row.value;
    }
}

// Every edge as a pass over all of them would leave it: looked at with
// Coin's own name table and selection test.
struct EdgeLook {
    SbColor color;
    float transparency;
};

class EdgeOracleTest : public HighlightTest {
protected:
    std::vector<std::pair<SoMaterial*, EdgeLook>> Looks() {
        std::vector<std::pair<SoMaterial*, EdgeLook>> looks;
        SoSearchAction search;
        search.setType(SoCone::getClassTypeId());
        search.setInterest(SoSearchAction::ALL);
        search.apply(box->GetEdgeRoot());
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            SoPath* path = search.getPaths()[i];
            auto* material = static_cast<SoMaterial*>(static_cast<SoGroup*>(path->getNodeFromTail(1))->getChild(3));
            looks.push_back({material, {material->diffuseColor[0], material->transparency[0]}});
        }
        return looks;
    }
    bool IsSelectedByName(const std::string& name) {
        SoNode* node = FindNamed(box->GetNodeRoot(), name);
        return node && box->GetSelection()->isSelected(node);
    }
    // What a full pass in `mode` gives. Mode 1 leaves the colour alone,
    // unless the step reset the highlighting, which gives named materials
    // their own colour; mode 0 is that reset alone.
    EdgeLook Expected(SoMaterial* material, const SoNode* cone, int mode, const SbColor& before, bool reset) {
        int c1 = 0, i1 = 0, c2 = 0, i2 = 0, kind = -1;
        std::sscanf(GetSceneName(cone).c_str(), "E_%d:%d-%d:%d", &c1, &i1, &c2, &i2);
        std::sscanf(GetSceneName(material).c_str(), "edge_material_%d", &kind);
        const bool named = kind >= 0 && kind <= 10;
        const SbColor kept = reset && named ? box->GetEdgeColor(kind) : before;
        if (mode == 0) {
            return {kept, named ? 0.0f : material->transparency[0]};
        }
        const bool both = IsSelectedByName(graph->GetMoleculeName(c1, i1)) &&
                          IsSelectedByName(graph->GetMoleculeName(c2, i2));
        if (mode == 1) {
            return {kept, both ? 0.0f : 1.0f};
        }
        return {both ? box->GetEdgeColor(kind) : kWhite, 0.0f};
    }
    void ExpectFullPassLooks(int mode, bool reset, const std::string& step) {
        SoSearchAction search;
        search.setType(SoCone::getClassTypeId());
        search.setInterest(SoSearchAction::ALL);
        search.apply(box->GetEdgeRoot());
        int wrong = 0;
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            SoPath* path = search.getPaths()[i];
            auto* material = static_cast<SoMaterial*>(static_cast<SoGroup*>(path->getNodeFromTail(1))->getChild(3));
            const SbColor before = m_before.count(material) ? m_before[material].color : material->diffuseColor[0];
            const EdgeLook want = Expected(material, path->getTail(), mode, before, reset);
            if (!(material->diffuseColor[0] == want.color) || material->transparency[0] != want.transparency) {
                ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << step;
    }
    void ExpectUnchanged(const std::string& step) {
        int wrong = 0;
        for (const auto& [material, look] : Looks()) {
            auto it = m_before.find(material);
            if (it != m_before.end() &&
                (!(material->diffuseColor[0] == it->second.color) || material->transparency[0] != it->second.transparency)) {
                ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << step;
    }
    void Remember() {
        m_before.clear();
        for (const auto& [material, look] : Looks()) {
            m_before[material] = look;
        }
    }

    std::map<SoMaterial*, EdgeLook> m_before;
};

// Random clicks, searches, expansions, mode changes, a second scene whose
// spheres take over the names, edges added in place and materials changed
// behind the highlighting's back: after every step the edges look exactly
// as the pass over every edge would leave them.
TEST_F(EdgeOracleTest, IncrementalUpdatesMatchFullPasses) {
    std::mt19937 random(20240611);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<TestRow> rows;
    for (int i = 0; i < 60; ++i) {
        rows.push_back({"m" + std::to_string(pick(24)), "m" + std::to_string(pick(24)), pick(11)});
    }
    Build(rows);
    std::vector<std::string> names;
    for (int c = 1; c < graph->m_circle_count; ++c) {
        names.push_back(graph->GetMoleculeName(c, 0));
    }
    int changes = 0;
    auto count = [](void* data, SoPath*) { ++*static_cast<int*>(data); };
    box->GetSelection()->addSelectionCallback(count, &changes);
    box->GetSelection()->addDeselectionCallback(count, &changes);
    std::unique_ptr<CBoxRep> shadow;
    int mode = 0;
    for (int step = 0; step < 400; ++step) {
        Remember();
        changes = 0;
        bool reset = false;
        bool passed = false;
        const int op = pick(11);
        std::string what = std::to_string(step) + ": op " + std::to_string(op);
        switch (op) {
        case 0:
        case 1:
        case 2:
            Click(names[static_cast<size_t>(pick(static_cast<int>(names.size())))]);
            break;
        case 3:
            box->SearchAndSelect(pick(3) ? names[static_cast<size_t>(pick(static_cast<int>(names.size())))] : "",
                                 pick(13) - 1, pick(5) - 1, 0);
            host.m_messages.clear();
            break;
        case 4:
            UseSelectRelated(pick(2));
            reset = host.m_flags.m_bSelectRelated;
            box->DeselectAll();
            break;
        case 5:
            box->ExpandSelection(1 + pick(2));
            break;
        case 6: {
            const int target = pick(3);
            reset = target != mode;
            Command(target);
            mode = target;
            break;
        }
        case 7:
            // Another scene of the same graph names the same spheres; our
            // edges keep following our own.
            if (shadow) {
                shadow.reset();
            } else {
                shadow = BuildBoxRepresentation(store, graph, host);
            }
            break;
        case 8: {
            auto looks = Looks();
            SoMaterial* material = looks[static_cast<size_t>(pick(static_cast<int>(looks.size())))].first;
            material->diffuseColor.setValue(SbColor(0.2f, 0.3f, 0.4f));
            material->transparency.setValue(0.5f);
            Remember();
            break;
        }
        case 9: {
            // A new edge in place, between two random molecules.
            const int from = 1 + pick(static_cast<int>(names.size()));
            const int to = 1 + pick(static_cast<int>(names.size()));
            auto edge = box->BuildEdge(SbVec3f(0, 0, 0), SbVec3f(1, 0, 0), pick(11), 1, from, 0, to, 0, 1, 0.0f);
            static_cast<SoGroup*>(box->GetEdgeRoot()->getChild(0))->addChild(edge.get());
            Remember();
            break;
        }
        case 10: {
            // A molecule deleted, the circles it touched rebuilt in place,
            // then a pass: edges kept over the rebuild follow the new names.
            const int circle = 1 + pick(graph->m_circle_count - 1);
            if (names.size() > 12 && !graph->GetMoleculeName(circle, 0).empty()) {
                const std::string name = graph->GetMoleculeName(circle, 0);
                CRepresentationEditScene scene(*box);
                ASSERT_EQ(graph->DeleteMolecule(circle, 0, 1, 1, 1, scene), 1) << what;
                names.erase(std::remove(names.begin(), names.end(), name), names.end());
                box->UpdateEdgeHighlight(mode);
                passed = mode != 0;
            }
            break;
        }
        }
        SCOPED_TRACE(what);
        if (reset || passed || (mode != 0 && changes > 0)) {
            ExpectFullPassLooks(mode, reset, what);
        } else {
            ExpectUnchanged(what);
        }
        if (HasFailure()) {
            break;
        }
    }
    box->GetSelection()->removeSelectionCallback(count, &changes);
    box->GetSelection()->removeDeselectionCallback(count, &changes);
}

}  // namespace
