#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "ScriptedPrompt.h"
#include "TarnwickDoc.h"
#include "TestDatabase.h"

namespace {

class ExportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(db.SetupError(), "");
        db.AddRelation({"r__1", "A", "B", 2});
        db.AddRelation({"r__2", "B", "C", 3});
        char dir[] = "/tmp/tarnwick-export-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
    }
    void TearDown() override { std::system(("rm -rf " + folder).c_str()); }

    TestDatabase db;
    std::string folder;
};

TEST_F(ExportCommandTest, AsksForADotFileAndWritesTheRebuiltGraph) {
    CTarnwickDoc doc(db.Connect());
    ASSERT_TRUE(doc.BuildStartupPathway());
    doc.m_pGraph->GetMolecule(1, 0)->links = "";  // an edit: not in the export
    ScriptedPrompt prompt;
    prompt.files.push_back(folder + "/out.dot");
    doc.OnExportDot(prompt);
    ASSERT_EQ(prompt.choices.size(), 1u);
    EXPECT_TRUE(prompt.choices[0].save);
    EXPECT_TRUE(prompt.choices[0].promptOverwrite);
    EXPECT_EQ(prompt.choices[0].defaultExtension, "dot");
    EXPECT_EQ(prompt.choices[0].filter, "dot file (*.dot) | *.dot ||");
    EXPECT_TRUE(prompt.messages.empty());
    std::ifstream in(folder + "/out.dot", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    EXPECT_NE(s.find("\"1\"--\"2\";\n\"2\"--\"3\";\n}"), std::string::npos) << s;
    EXPECT_EQ(s.back(), '}');
}

// The export builds its own graph: the document's graph (edits included)
// and the records locating the sphere view's relation nodes stay.
TEST_F(ExportCommandTest, ExportLeavesTheDocumentsGraphAndRecordsAlone) {
    CTarnwickDoc doc(db.Connect());
    ASSERT_TRUE(doc.BuildSpherePathway());
    doc.m_pGraph->GetMolecule(1, 0)->name = "edited";
    const CNode* graph = doc.m_pGraph.get();
    ASSERT_TRUE(doc.m_pInteractions.at(0).built);
    for (const char* file : {"", "/out.dot"}) {  // cancelled, then written
        ScriptedPrompt prompt;
        if (*file) {
            prompt.files.push_back(folder + file);
        }
        EXPECT_EQ(doc.OnExportDot(prompt).empty(), !*file);
        EXPECT_EQ(doc.m_pGraph.get(), graph);
        EXPECT_EQ(doc.m_pGraph->GetMoleculeName(1, 0), "edited");
        EXPECT_TRUE(doc.m_pInteractions.at(0).built);
    }
}

TEST_F(ExportCommandTest, UnwritableFileAndMissingTableAreShown) {
    CTarnwickDoc doc(db.Connect());
    ScriptedPrompt prompt;
    prompt.files.push_back(folder + "/missing/out.dot");
    doc.OnExportDot(prompt);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find(folder + "/missing/out.dot"), std::string::npos);

    db.Execute("DROP TABLE [relation]");
    prompt.files.push_back(folder + "/out.dot");
    doc.OnExportDot(prompt);
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_NE(prompt.messages[1].find("relation"), std::string::npos) << prompt.messages[1];
    EXPECT_EQ(prompt.choices.size(), 1u) << "no file is asked for without data";
    EXPECT_NE(access((folder + "/out.dot").c_str(), F_OK), 0);
}

}  // namespace
