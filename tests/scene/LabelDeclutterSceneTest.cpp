// The uncluttered label mode on a box scene: which labels show for the
// camera, selected spheres keeping theirs, and the scene keeping its shape.
#include <gtest/gtest.h>

#include <set>

#include <Inventor/lists/SoPathList.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoText2.h>

#include "ExploreFixture.h"
#include "LabelDeclutterScene.h"

namespace {

// Alpha links to the three others; Beta and Gamma stand three units apart.
const std::vector<TestRow> kRows = {{"Alpha", "Beta", 2}, {"Alpha", "Gamma", 2}, {"Alpha", "Delta", 2}};

class LabelDeclutterSceneTest : public ExploreTest {
protected:
    void SetUp() override {
        Build(kRows, [](CNode& g) {
            const float x[] = {0.0f, 10.0f, 10.1f, 20.0f};
            for (int circle = 1; circle <= 4; ++circle) {
                g.GetMolecule(circle, 0)->posX = x[circle - 1];
            }
        });
    }
    std::set<std::string> ShownNames() const {
        std::set<std::string> names;
        SoSearchAction search;
        search.setType(SoText2::getClassTypeId());
        search.setInterest(SoSearchAction::ALL);
        search.apply(box->GetLabelRoot());
        for (int i = 0; i < search.getPaths().getLength(); ++i) {
            const SbString& text = static_cast<SoText2*>(search.getPaths()[i]->getTail())->string[0];
            if (text.getLength() > 0) {
                names.insert(text.getString());
            }
        }
        return names;
    }
    int Apply(SbVec2s size = SbVec2s(640, 480)) { return declutter.Apply(*box, graph.get(), size); }

    CSceneLabelDeclutter declutter;
};

using Names = std::set<std::string>;

TEST_F(LabelDeclutterSceneTest, ShowsOnlyLabelsClearOfBetterConnectedOnes) {
    const struct {
        const char* what;
        std::vector<std::string> selected;
        float zoomOnX;  // 0: the whole view
        SbVec2s viewport;
        Names shown;
    } cases[] = {
        {"whole view: Gamma sits under Beta", {}, 0, {640, 480}, {"Alpha", "Beta", "Delta"}},
        {"a selected sphere keeps its label", {"Gamma"}, 0, {640, 480}, {"Alpha", "Gamma", "Delta"}},
        {"zooming in separates Beta and Gamma", {}, 300, {640, 480}, {"Beta", "Gamma"}},
        // Drawn into a viewport taller than wide, the view is as wide as
        // it would be high: Gamma, 6 units right of the middle, is on it.
        {"a tall viewport is as wide as a square one", {}, 297, {300, 600}, {"Beta", "Gamma"}},
    };
    for (const auto& c : cases) {
        SetUp();
        for (const std::string& name : c.selected) {
            Click(name);
        }
        if (c.zoomOnX != 0) {
            SoPerspectiveCamera* camera = box->GetCamera();
            SbVec3f ahead;
            camera->orientation.getValue().multVec(SbVec3f(0, 0, -1), ahead);
            camera->position.setValue(SbVec3f(c.zoomOnX, 3.0f, 0.0f) - ahead * 20.0f);
        }
        const int count = Apply(c.viewport);
        EXPECT_EQ(ShownNames(), c.shown) << c.what;
        EXPECT_GE(count, static_cast<int>(c.shown.size())) << c.what;
    }
}

TEST_F(LabelDeclutterSceneTest, HidingKeepsTheSceneShapeAndShowAllRestoresEveryLabel) {
    const Names all = ShownNames();
    const int groups = ChildCount(box->GetGreenCharRoot());
    ASSERT_EQ(all, (Names{"Alpha", "Beta", "Gamma", "Delta"}));
    Apply();
    ASSERT_NE(ShownNames(), all);
    EXPECT_EQ(ChildCount(box->GetGreenCharRoot()), groups);
    EXPECT_NE(FindNamed(box->GetLabelRoot(), "text_Gamma"), nullptr);  // hidden, still named
    declutter.ShowAll();
    EXPECT_EQ(ShownNames(), all);
    // A rebuilt label group is found again on the next pass.
    Apply();
    ASSERT_EQ(box->RebuildCircleLabels(3), 1);
    Apply();
    EXPECT_EQ(ShownNames(), (Names{"Alpha", "Beta", "Delta"}));
}

}  // namespace
