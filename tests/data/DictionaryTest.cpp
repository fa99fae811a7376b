#include <gtest/gtest.h>

#include "Dictionary2.h"
#include "TestDatabase.h"

namespace {

class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(db.SetupError(), "");
        db.AddKeyword("proteinkinase", "NN");
        db.AddKeyword("phosphorylates", "VBZ");
        db.AddKeyword("cell's", "NN POS");
        db.AddKeyword("Bind", "NNP");
        db.AddKeyword("bind", "VB");
        db.Execute("INSERT INTO [DIc] ([Keyword]) VALUES ('untagged')");
    }
    TestDatabase db;
};

TEST_F(DictionaryTest, LooksUpTheKeywordWithoutUnderscores) {
    CDictionary2 dict(db.Connect());
    EXPECT_EQ(dict.LookUpKeyword("protein_kinase"), "NN");
    EXPECT_EQ(dict.LookUpKeyword("_phosphorylates_"), "VBZ");
    EXPECT_EQ(dict.LookUpKeyword("bind"), "VB");  // exact, case-sensitive
    EXPECT_EQ(dict.LookUpKeyword("Bind"), "NNP");
    EXPECT_EQ(dict.LookUpKeyword("kinase"), "");
    EXPECT_EQ(dict.LookUpKeyword("untagged"), "");  // NULL tag reads as no tag
    EXPECT_EQ(dict.LookUpKeyword(""), "");
}

TEST_F(DictionaryTest, AQuoteIsAnOrdinaryCharacter) {
    CDictionary2 dict(db.Connect());
    EXPECT_EQ(dict.LookUpKeyword("cell's"), "NN POS");
    EXPECT_EQ(dict.GetLastError(), "");
    // Text that would change a spliced filter matches nothing instead.
    EXPECT_EQ(dict.LookUpKeyword("x' OR '1'='1"), "");
    EXPECT_EQ(dict.GetLastError(), "");
    EXPECT_EQ(dict.LookUpKeyword("bind"), "VB");  // still usable afterwards
}

// Look-ups after the first run the same query again with a new word: each
// one must still read the table as it is now.
TEST_F(DictionaryTest, EachLookUpReadsTheTableAsItIsNow) {
    CDictionary2 dict(db.Connect());
    EXPECT_EQ(dict.LookUpKeyword("kinase"), "");
    db.AddKeyword("kinase", "NN");
    EXPECT_EQ(dict.LookUpKeyword("kinase"), "NN");
    db.Execute("UPDATE [DIc] SET [POS1] = 'NNS' WHERE [Keyword] = 'kinase'");
    EXPECT_EQ(dict.LookUpKeyword("kinase"), "NNS");
    EXPECT_EQ(dict.LookUpKeyword("bind"), "VB");
    db.Execute("DROP TABLE [DIc]");
    EXPECT_EQ(dict.LookUpKeyword("bind"), "");
    EXPECT_NE(dict.GetLastError().find("The data source has no table DIc."), std::string::npos) << dict.GetLastError();
}

}  // namespace
