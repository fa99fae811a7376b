#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "SceneNames.h"
#include "SceneTestSupport.h"
#include "StartupLoad.h"
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

}  // namespace
