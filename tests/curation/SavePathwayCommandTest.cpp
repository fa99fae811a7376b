#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "GridLayout.h"
#include "PathwayFile.h"
#include "PathwayGridOfLayout.h"
#include "ScriptedPrompt.h"
#include "TarnwickDoc.h"
#include "TestDatabase.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SavePathwayCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(db.SetupError(), "");
        db.AddRelation({"r__1", "A", "B", 2});
        db.AddRelation({"r__2", "B", "C", 3});
        char dir[] = "/tmp/tarnwick-save-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
    }
    void TearDown() override { std::system(("rm -rf " + folder).c_str()); }

    TestDatabase db;
    std::string folder;
};

TEST_F(SavePathwayCommandTest, WritesTheCurrentGraphWithTheStartupGrid) {
    CTarnwickDoc doc(db.Connect());
    ASSERT_TRUE(doc.BuildStartupPathway());
    CGridLayout startup;
    startup.Layout(doc.m_pGraph->m_circle_count);  // 4 circles counted: 2 x 2
    ASSERT_TRUE(doc.BuildSpherePathway());
    ScriptedPrompt prompt;
    prompt.files.push_back(folder + "/p.bb");
    doc.OnSavePathway(prompt, PathwayGridOf(startup));
    ASSERT_EQ(prompt.choices.size(), 1u);
    EXPECT_EQ(prompt.choices[0].defaultExtension, "bb");
    EXPECT_EQ(prompt.choices[0].filter, "bb file (*.bb) | *.bb ||");
    EXPECT_TRUE(prompt.choices[0].promptOverwrite);
    EXPECT_TRUE(prompt.messages.empty());
    const std::string text = Read(folder + "/p.bb");
    EXPECT_EQ(text, FormatPathwayFile(*doc.m_pGraph, PathwayGridOf(startup)));
    EXPECT_EQ(text.rfind("m_circle_count ", 0), 0u);
    EXPECT_NE(text.find(" m_num_hor 2 m_num_ver 2 \r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CircleNum 1 "), std::string::npos);
    EXPECT_NE(text.find(" hor 0 ver 0 \r\n"), std::string::npos) << "circle 1 sits in cell 0:0";
}

// Right after start-up the document holds the start-up graph on the box grid
// of 4 circles counted (2 x 2, filled column by column).
TEST_F(SavePathwayCommandTest, StartupLoadIsSavedWithNumberedCirclesInTheirCells) {
    CTarnwickDoc doc(db.Connect());
    std::string error;
    ASSERT_TRUE(doc.SaveStartupLoadPathway(folder + "/s.bb", error, folder + "/no-positions.txt")) << error;
    EXPECT_EQ(Read(folder + "/s.bb"),
              "m_circle_count 4 m_num_hor 2 m_num_ver 2 \r\n"
              "CircleNum 1 circle_type 0 base_circle 0 mod_circle 0 interact 0 node_num 1 hor 0 ver 0 \r\n"
              "number 0 relation 2 size 1 left 0 0 right 0 0 \r\nA\r\n2 0 2 1\r\n\r\n"
              "CircleNum 2 circle_type 0 base_circle 0 mod_circle 0 interact 0 node_num 1 hor 0 ver 1 \r\n"
              "number 0 relation 2 size 1 left 0 0 right 0 0 \r\nB\r\n3 0 3 1\r\n\r\n"
              "CircleNum 3 circle_type 0 base_circle 0 mod_circle 0 interact 0 node_num 1 hor 1 ver 0 \r\n"
              "number 0 relation 3 size 1 left 0 0 right 0 0 \r\nC\r\n\r\n\r\n");
    EXPECT_FALSE(doc.SaveStartupLoadPathway(folder + "/none/s.bb", error));
    EXPECT_NE(error.find(folder + "/none/s.bb"), std::string::npos) << error;
}

// Names that would outgrow memory stop the sphere-view build; what is shown stays.
TEST_F(SavePathwayCommandTest, RunawayNamesKeepTheCurrentGraphAndInteractions) {
    CTarnwickDoc doc(db.Connect());
    ASSERT_TRUE(doc.BuildStartupPathway());
    const CNode* shown = doc.m_pGraph.get();
    for (int i = 1; i <= 42; ++i) {  // row i refers to rows i + 1 and i + 2
        db.AddRelation({"r__" + std::to_string(100 + i), "r__" + std::to_string(101 + i),
                        "r__" + std::to_string(102 + i), 2});
    }
    EXPECT_FALSE(doc.BuildSpherePathway());
    EXPECT_EQ(doc.m_pGraph.get(), shown);
    EXPECT_EQ(doc.m_pGraph->m_circle_count, 4);
    ASSERT_EQ(doc.m_pInteractions.size(), 2u);
    EXPECT_EQ(doc.FindInteraction("r__2"), 1);
    EXPECT_EQ(doc.m_pInteractions[1].built, 0);
    EXPECT_EQ(doc.GetDataError().rfind("Interaction r__1", 0), 0u) << doc.GetDataError();
    EXPECT_NE(doc.GetDataError().find("more than 1 MiB"), std::string::npos);
}

TEST_F(SavePathwayCommandTest, WithoutALayoutTheGridIsOneByOneAndCellsAreMissing) {
    CTarnwickDoc doc(db.Connect());
    ASSERT_TRUE(doc.BuildSpherePathway());
    ScriptedPrompt prompt;
    prompt.files.push_back(folder + "/p.bb");
    doc.m_pGraph->GetMolecule(1, 0)->name = "A\nx";  // as an edit might leave it
    doc.OnSavePathway(prompt, PathwayGrid());
    const std::string text = Read(folder + "/p.bb");
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], LineBreakNote(folder + "/p.bb", 1));
    EXPECT_NE(prompt.messages[0].find("1 name held line breaks"), std::string::npos) << prompt.messages[0];
    EXPECT_NE(text.find("\r\nA_x\r\n"), std::string::npos);
    EXPECT_NE(text.find(" m_num_hor 1 m_num_ver 1 \r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find(" hor 0 "), std::string::npos);
    EXPECT_NE(text.find(" hor -1 ver -1 \r\n"), std::string::npos);
}

TEST_F(SavePathwayCommandTest, CancelWritesNothingAndFailuresAreShown) {
    CTarnwickDoc doc(db.Connect());
    ScriptedPrompt prompt;
    doc.OnSavePathway(prompt, PathwayGrid());  // no graph yet, and cancelled
    EXPECT_TRUE(prompt.messages.empty());
    prompt.files.push_back(folder + "/none/p.bb");
    doc.OnSavePathway(prompt, PathwayGrid());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find(folder + "/none/p.bb"), std::string::npos);

    // Only a save that wrote the file makes the recorded edits saved ones.
    ASSERT_TRUE(doc.BuildStartupPathway());
    {
        CEditScope edit(&doc.m_history, *doc.m_pGraph, "Rename");
        doc.m_pGraph->TouchCircle(1);
        doc.m_pGraph->GetMolecule(1, 0)->name = "A2";
    }
    for (const char* file : {"/none/q.bb", "/q.bb"}) {
        EXPECT_TRUE(doc.m_history.HasUnsavedEdits(doc.m_pGraph.get())) << file;
        prompt.files.push_back(folder + file);
        doc.OnSavePathway(prompt, PathwayGrid());
    }
    EXPECT_FALSE(doc.m_history.HasUnsavedEdits(doc.m_pGraph.get()));
}

}  // namespace
