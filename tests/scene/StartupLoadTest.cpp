#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include <Inventor/SoOutput.h>
#include <Inventor/actions/SoWriteAction.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "CameraFit.h"
#include "SceneNames.h"
#include "SceneTestSupport.h"
#include "StartupLoad.h"
#include "StartupLoadSteps.h"
#include "TestDatabase.h"

namespace {

SbVec3f At(const CBoxRep& box, const std::string& name) {
    const SbMatrix m = box.GetNodeMatrix(name);
    return SbVec3f(m[3][0], m[3][1], m[3][2]);
}

class StartupLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(db.SetupError(), "");
        // A -> B, B -> C with C at level 2 (hidden).
        db.AddRelation({"r__1", "A", "B", 2});
        db.AddRelation({"r__2", "B", "C", 3, "", "2 late"});
        char templ[] = "/tmp/tarnwick-startup-XXXXXX";
        int fd = mkstemp(templ);
        close(fd);
        positions = templ;
    }
    void TearDown() override { std::remove(positions.c_str()); }
    void WritePositions(const std::string& text) { std::ofstream(positions, std::ios::binary) << text; }

    TestDatabase db;
    TestSceneHost host;
    std::string positions;
};

TEST_F(StartupLoadTest, BuildsTheGraphPlacesMoleculesAndBuildsTheBoxScene) {
    WritePositions("node 2 9 9\nnode 1 0.5 0.5\r\nnode 3 1 -1\nnode 99 1 1\nedge 1 2\nnode 2 4 4\n");
    CInteractionStore store(db.Connect());
    std::unique_ptr<CNode> graph;
    StartupLoadResult result = RunStartupLoad(store, graph, host, positions);
    EXPECT_TRUE(result.dataLoaded) << store.GetDataError();
    EXPECT_TRUE(result.positionsRead);
    ASSERT_TRUE(graph);
    ASSERT_TRUE(result.box);
    EXPECT_EQ(graph->m_circle_count, 4);
    EXPECT_EQ(store.m_nInteractions, 2);
    EXPECT_EQ(result.box->GetNumHor(), 2);
    EXPECT_EQ(result.box->GetNumVer(), 2);
    EXPECT_EQ(At(*result.box, "A"), SbVec3f(15, 0, 15));
    EXPECT_EQ(At(*result.box, "B"), SbVec3f(0, 0, 0));  // its line came first or after the edge line
    EXPECT_EQ(At(*result.box, "C"), SbVec3f(30, 60, -30));
    SoSeparator* root = result.box->GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getNumChildren(), 4);
    ASSERT_EQ(host.m_redrawSelections.size(), 1u);
    EXPECT_NE(FindNamed(root, "E_2:0-3:0"), nullptr);
    EXPECT_NE(FindNamed(root, "text_C"), nullptr);  // hidden, but next to shown B
}

TEST_F(StartupLoadTest, WithoutAPositionFileMoleculesStackAtTheOrigin) {
    CInteractionStore store(db.Connect());
    std::unique_ptr<CNode> graph;
    StartupLoadResult result = RunStartupLoad(store, graph, host, positions + ".missing");
    EXPECT_TRUE(result.dataLoaded);
    EXPECT_FALSE(result.positionsRead);
    ASSERT_TRUE(result.box);
    EXPECT_EQ(At(*result.box, "A"), SbVec3f(0, 0, 0));
    EXPECT_EQ(At(*result.box, "C"), SbVec3f(0, 60, 0));

    WritePositions("only a header\n");
    result = RunStartupLoad(store, graph, host, positions);
    EXPECT_TRUE(result.positionsRead);
    EXPECT_EQ(At(*result.box, "A"), SbVec3f(0, 0, 0));
}

TEST_F(StartupLoadTest, AnUnreadableTableGivesAnEmptySceneAndTheReason) {
    CInteractionStore store("Driver=SQLite3;Database=/nonexistent-folder/none.db");
    std::unique_ptr<CNode> graph;
    StartupLoadResult result = RunStartupLoad(store, graph, host, positions);
    EXPECT_FALSE(result.dataLoaded);
    EXPECT_NE(store.GetDataError(), "");
    ASSERT_TRUE(graph);
    EXPECT_EQ(graph->m_circle_count, 1);
    ASSERT_TRUE(result.box);
    EXPECT_EQ(result.box->GetNodeRoot()->getNumChildren(), 0);
    EXPECT_EQ(result.box->GetRoot()->getNumChildren(), 4);
}

TEST_F(StartupLoadTest, AnEarlierRepresentationReadsTheNewGraphNotTheFreedOne) {
    CInteractionStore store(db.Connect());
    std::unique_ptr<CNode> graph;
    StartupLoadResult first = RunStartupLoad(store, graph, host, positions);
    db.AddRelation({"r__3", "C", "D", 2});
    StartupLoadResult second = RunStartupLoad(store, graph, host, positions);
    EXPECT_EQ(graph->m_circle_count, 5);
    // The first box still lays out its old grid but reads the current graph.
    first.box->BuildScene();
    EXPECT_EQ(first.box->GetNodeRoot()->getNumChildren(), 3);
    EXPECT_NE(FindNamed(second.box->GetRoot(), "E_3:0-4:0"), nullptr);
}


class StartupLoadStepsTest : public StartupLoadTest {
protected:
    // Sphere for sphere: place, size, colour, whether drawn, and label.
    static void ExpectSameExtent(const CLayoutExtent& read, const CLayoutExtent& built) {
        ASSERT_EQ(read.Spheres().size(), built.Spheres().size());
        ASSERT_EQ(read.Labels().size(), built.Labels().size());
        for (size_t i = 0; i < read.Spheres().size(); ++i) {
            const CLayoutExtent::Sphere& s = read.Spheres()[i];
            const CLayoutExtent::Sphere& b = built.Spheres()[i];
            EXPECT_EQ(s.centre, b.centre) << i;
            EXPECT_EQ(s.radius, b.radius) << i;
            EXPECT_EQ(s.colour, b.colour) << i;
            EXPECT_EQ(s.shown, b.shown) << i;
            EXPECT_EQ(read.Labels()[i].anchor, built.Labels()[i].anchor) << i;
            EXPECT_EQ(read.Labels()[i].width, built.Labels()[i].width) << i;
        }
    }

    // Loads through the steps in the thinnest slices; returns the result
    // and records every progress report. `shown` runs once the molecules
    // are ready when the caller places the camera.
    StartupLoadResult LoadInSteps(CInteractionStore& doc, std::unique_ptr<CNode>& graph, int& slices,
                                  const std::function<void(CStartupLoadSteps&)>& shown = nullptr) {
        CStartupLoadSteps steps(doc, graph, host, db.Connect(), positions);
        if (shown) {
            steps.LeaveCameraToCaller();
        }
        auto note = [this](const LoadProgress& p) { reports.push_back(p); };
        EXPECT_TRUE(steps.Prepare(nullptr, note));
        steps.BeginScene();
        bool ready = false;
        for (slices = 1; steps.BuildSceneFor(std::chrono::milliseconds(0), note); ++slices) {
            if (shown && !ready && steps.MoleculesReady()) {
                ready = true;
                shown(steps);
            }
        }
        EXPECT_EQ(ready, static_cast<bool>(shown));
        return steps.Commit();
    }
    std::vector<LoadProgress> reports;

    // The load at once that a stepped load is compared with.
    StartupLoadResult LoadAtOnce() {
        WritePositions("first\nnode 1 0.5 0.5\nnode 3 1 -1\nedge\n");
        return RunStartupLoad(atOnceStore, atOnceGraph, host, positions);
    }
    CInteractionStore atOnceStore{db.Connect()};
    std::unique_ptr<CNode> atOnceGraph;
};

TEST_F(StartupLoadStepsTest, SteppedLoadEndsInTheSceneOfTheLoadAtOnce) {
    db.AddRelation({"r__3", "C", "A", 1});
    db.AddRelation({"r__4", "D", "D", 9});
    StartupLoadResult atOnce = LoadAtOnce();

    CInteractionStore doc("");
    std::unique_ptr<CNode> graph;
    int slices = 0;
    StartupLoadResult stepped = LoadInSteps(doc, graph, slices);
    EXPECT_GT(slices, 10);
    EXPECT_TRUE(stepped.dataLoaded);
    EXPECT_TRUE(stepped.positionsRead);
    ASSERT_TRUE(stepped.box && graph);
    EXPECT_EQ(graph->m_pDoc, &doc);
    EXPECT_EQ(doc.m_nInteractions, atOnceStore.m_nInteractions);
    EXPECT_EQ(doc.m_lstSpecialTokens, atOnceStore.m_lstSpecialTokens);
    // Node for node: types, names, child order and field values.
    const std::string scene = SceneText(atOnce.box->GetRoot());
    EXPECT_NE(scene.find("DEF " + EncodeSceneName("E_2:0-3:0")), std::string::npos);
    EXPECT_EQ(SceneText(stepped.box->GetRoot()), scene);
    EXPECT_EQ(At(*stepped.box, "A"), At(*atOnce.box, "A"));
    // The bounds cached piece by piece, and the single walk that caches
    // nothing, place the camera where viewAll over the whole scene does.
    CoinPtr<SoSeparator> copy(static_cast<SoSeparator*>(stepped.box->GetRoot()->copy()));
    auto fresh = MakeCoin<SoPerspectiveCamera>();
    fresh->orientation = stepped.box->GetCamera()->orientation.getValue();
    copy->replaceChild(0, fresh.get());
    fresh->viewAll(copy.get(), host.m_viewport, 1.0f);
    for (const SoPerspectiveCamera* placed : {stepped.box->GetCamera(), atOnce.box->GetCamera()}) {
        EXPECT_EQ(placed->position.getValue(), fresh->position.getValue());
        EXPECT_EQ(placed->focalDistance.getValue(), fresh->focalDistance.getValue());
        EXPECT_EQ(placed->nearDistance.getValue(), fresh->nearDistance.getValue());
        EXPECT_EQ(placed->farDistance.getValue(), fresh->farDistance.getValue());
    }

    // Reading, then the graph, then the scene parts in order; the scene's
    // last report is complete.
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().stage, LoadProgress::Stage::Reading);
    for (size_t i = 1; i < reports.size(); ++i) {
        EXPECT_LE(reports[i - 1].stage, reports[i].stage);
        EXPECT_LE(reports[i].done, reports[i].total);
    }
    EXPECT_EQ(reports.back().stage, LoadProgress::Stage::Edges);
    EXPECT_EQ(reports.back().done, reports.back().total);
}

// A window shows the molecules, read from the graph, before any scene node
// of them, and places the camera then, once: the load ends in the scene
// built at once, but for the camera, which nothing moves after, and which
// sees the finished scene as a fit of that scene would.
TEST_F(StartupLoadStepsTest, MoleculesComeFirstAndTheCameraIsPlacedOnce) {
    StartupLoadResult atOnce = LoadAtOnce();
    const std::unique_ptr<CLayoutExtent> built = BoxLayoutExtent(*atOnce.box, true);

    CInteractionStore doc("");
    std::unique_ptr<CNode> graph;
    int slices = 0;
    const float kFill = 0.9f;
    SbVec3f placed;
    StartupLoadResult stepped = LoadInSteps(doc, graph, slices, [&](CStartupLoadSteps& steps) {
        CBoxRep* box = steps.SceneInProgress();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->GetNodeRoot()->getNumChildren() + box->GetGreenCharRoot()->getNumChildren() +
                      box->GetEdgeRoot()->getNumChildren(),
                  0);
        std::unique_ptr<CLayoutExtent> extent = steps.TakeExtent();
        ASSERT_TRUE(extent);
        ExpectSameExtent(*extent, *built);
        std::vector<bool> shown;
        for (const CLayoutExtent::Sphere& s : extent->Spheres()) {
            shown.push_back(s.shown);
        }
        // Hidden C (level 2) is fully transparent: no point of it is drawn.
        EXPECT_EQ(shown, (std::vector<bool>{true, true, false}));
        EXPECT_GT(extent->TextWidth("WW"), extent->TextWidth("W"));
        EXPECT_TRUE(FitCameraToLayout(*box->GetCamera(), *extent, host.m_viewport, kFill));
        placed = box->GetCamera()->position.getValue();
    });
    ASSERT_TRUE(stepped.box);
    SoPerspectiveCamera* camera = stepped.box->GetCamera();
    EXPECT_EQ(camera->position.getValue(), placed);
    auto fitted = MakeCoin<SoPerspectiveCamera>();
    fitted->copyFieldValues(camera);
    EXPECT_TRUE(FitCameraToScene(*fitted, stepped.box->GetRoot(), host.m_viewport, kFill));
    // Label widths are added up from their characters: near, not equal.
    const float distance = (fitted->position.getValue() - camera->position.getValue()).length();
    EXPECT_LT(distance, 0.1f * fitted->focalDistance.getValue());

    CoinPtr<SoSeparator> copy(static_cast<SoSeparator*>(stepped.box->GetRoot()->copy()));
    copy->replaceChild(0, atOnce.box->GetCamera());
    EXPECT_EQ(SceneText(copy.get()), SceneText(atOnce.box->GetRoot()));

    // Molecules added to a circle by hand stand beside its first one.
    ASSERT_GE(graph->AppendMolecule(1, "A2", 1), 0);
    ASSERT_GE(graph->AppendMolecule(1, "A3", 1), 0);
    stepped.box->BuildScene();
    std::unique_ptr<CLayoutExtent> read = BoxLayoutExtent(*stepped.box, false);
    for (int circle = 1; circle <= stepped.box->PlacedCircleCount(); ++circle) {
        stepped.box->AddCircleLayout(circle, *read);
    }
    EXPECT_EQ(read->Spheres().size(), 5u);
    ExpectSameExtent(*read, *BoxLayoutExtent(*stepped.box, true));
}

TEST_F(StartupLoadStepsTest, AStoppedLoadKeepsThePreviousRecordsGraphAndScene) {
    CInteractionStore doc("");
    std::unique_ptr<CNode> graph;
    int slices = 0;
    StartupLoadResult first = LoadInSteps(doc, graph, slices);
    const CNode* previous = graph.get();
    const std::string previousScene = SceneText(first.box->GetRoot());
    db.AddRelation({"r__3", "C", "D", 2});

    for (int stopAt : {0, 1, 5}) {  // during the graph build, at the scene's start, half-way
        CStartupLoadSteps steps(doc, graph, host, db.Connect(), positions);
        const bool prepared = steps.Prepare([stopAt] { return stopAt == 0; }, nullptr);
        EXPECT_EQ(prepared, stopAt != 0);
        if (prepared) {
            steps.BeginScene();
            EXPECT_EQ(doc.m_nInteractions, 3);  // the new records are in while the scene is built
            for (int i = 1; i < stopAt; ++i) {
                steps.BuildSceneFor(std::chrono::milliseconds(0), nullptr);
            }
        }
        steps.Abandon();
        EXPECT_EQ(graph.get(), previous) << stopAt;
        EXPECT_EQ(graph->m_pDoc, &doc);
        EXPECT_EQ(doc.m_nInteractions, 2) << stopAt;
        EXPECT_EQ(doc.FindInteraction("r__3"), -1) << stopAt;
        EXPECT_EQ(SceneText(first.box->GetRoot()), previousScene) << stopAt;
    }
}

}  // namespace
