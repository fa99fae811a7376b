#include <gtest/gtest.h>

#include "InteractionStore.h"
#include "TestDatabase.h"

namespace {

class InteractionStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(db.SetupError(), "") << "database set-up failed"; }
    TestDatabase db;
};

TEST_F(InteractionStoreTest, LoadCopiesEveryRowInTableOrderAndNormalisesMembers) {
    db.AddRelation({"r__1", "_Fus3_", "Ste7", 6, "Fus3 is phosphorylated by Ste7 in vitro.", "2 upstream",
                    "10234567", "phos"});
    db.AddRelation({"r__2", "Ste5", "Ste5", 0, "Ste5 binds itself.", "", "11111111", ""});
    db.AddRelation({"r__3", "14-3-3", "(Gbg)", 2, "", "x", "", ""});
    db.Execute("INSERT INTO [relation] ([rel_ID]) VALUES ('r__4')");  // NULLs everywhere else

    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions()) << store.GetDataError();
    ASSERT_EQ(store.m_nInteractions, 4);
    ASSERT_EQ(store.m_pInteractions.size(), 4u);
    const InteractionRecord& a = store.m_pInteractions[0];
    EXPECT_EQ(a.id, "r__1");
    EXPECT_EQ(a.name, "phos");
    EXPECT_EQ(a.member1, "Fus3");
    EXPECT_EQ(a.member2, "Ste7");
    EXPECT_EQ(a.kind, 6);
    EXPECT_EQ(a.source, "Fus3 is phosphorylated by Ste7 in vitro.");
    EXPECT_EQ(a.remark, "2 upstream");
    EXPECT_EQ(a.prep1, "10234567");
    EXPECT_EQ(a.built, 0);
    EXPECT_EQ(a.name2, "");
    const InteractionRecord& b = store.m_pInteractions[1];
    EXPECT_EQ(b.member2, "Ste5_2");
    EXPECT_EQ(b.kind, 9);
    EXPECT_EQ(store.m_pInteractions[2].member1, "_14-3-3");
    EXPECT_EQ(store.m_pInteractions[2].member2, "_(Gbg)");
    const InteractionRecord& d = store.m_pInteractions[3];
    // Two empty members are equal: the row reads as an empty homo-multimer.
    EXPECT_EQ(d.member1, "");
    EXPECT_EQ(d.member2, "_2");
    EXPECT_EQ(d.kind, 9);
    EXPECT_EQ(store.CountInteractionRows(), 4);
}

TEST_F(InteractionStoreTest, EveryLoadMirrorsTheTableAndRestartsBuiltFlags) {
    db.AddRelation({"r__1", "A", "B", 2});
    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions());
    store.m_pInteractions[0].built = 1;
    EXPECT_EQ(store.FindInteraction("r__2"), -1);

    db.AddRelation({"r__2", "B", "C", 3});
    ASSERT_TRUE(store.LoadInteractions());
    ASSERT_EQ(store.m_nInteractions, 2);
    EXPECT_EQ(store.m_pInteractions[0].built, 0);
    EXPECT_EQ(store.FindInteraction("r__2"), 1);  // the index follows the reload

    db.Execute("DELETE FROM [relation]");
    ASSERT_TRUE(store.LoadInteractions());
    EXPECT_EQ(store.m_nInteractions, 0);
    EXPECT_EQ(store.CountInteractionRows(), 0);
}

TEST_F(InteractionStoreTest, LookUpsReturnTheFirstMatchExactly) {
    db.AddRelation({"r__1", "A", "B", 2});
    db.AddRelation({"r__2", "C", "A", 2});
    db.AddRelation({"r__1", "B", "A", 0});  // a repeated id
    db.AddRelation({"R__4", "a", "b", 1});
    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions());
    EXPECT_EQ(store.FindInteraction("r__1"), 0);
    EXPECT_EQ(store.FindInteraction("R__4"), 3);
    EXPECT_EQ(store.FindInteraction("r__4"), -1);  // case-sensitive
    EXPECT_EQ(store.FindInteractionByMembers("B", "A"), 0);  // stored as (A, B)
    EXPECT_EQ(store.FindInteractionByMembers("A", "C"), 1);
    EXPECT_EQ(store.FindInteractionByMembers("A", ""), 0);   // either side
    EXPECT_EQ(store.FindInteractionByMembers("C", ""), 1);
    EXPECT_EQ(store.FindInteractionByMembers("b", "a"), 3);
    EXPECT_EQ(store.FindInteractionByMembers("A", "b"), -1);
    EXPECT_EQ(store.FindInteractionByMembers("Z", ""), -1);
}

// A load staged in a second store and swapped in: each store's look-ups
// answer for the records it holds after the swap, whichever indexes were made.
TEST_F(InteractionStoreTest, SwappedLoadsLookUpTheirOwnRecords) {
    db.AddRelation({"r__1", "A", "B", 2});
    db.AddRelation({"r__2", "B", "C", 2});
    CInteractionStore held(db.Connect());
    ASSERT_TRUE(held.LoadInteractions());
    held.CollectSpecialTokens();
    db.Execute("DELETE FROM [relation] WHERE [rel_ID] = 'r__1'");
    db.AddRelation({"r__3", "C", "D", 2});
    CInteractionStore staged(db.Connect());
    ASSERT_TRUE(staged.LoadInteractions());
    staged.CollectSpecialTokens();
    EXPECT_EQ(staged.FindInteraction("r__3"), 1);

    held.SwapLoadedData(staged);
    const std::vector<std::pair<const CInteractionStore*, std::vector<int>>> expected = {
        {&held, {-1, 0, 1}}, {&staged, {0, 1, -1}}};  // r__1, r__2, r__3
    for (const auto& [store, found] : expected) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(store->FindInteraction("r__" + std::to_string(k + 1)), found[k]) << k;
        }
    }
}

TEST_F(InteractionStoreTest, TextsKeepTheirBytes) {
    const std::string sentence = "TNF-α and Ca2+ bind in vitro; 결합한다. It's \"quoted\" and [bracketed].";
    db.AddRelation({"r__1", "TNF-α", "Ca2+", 0, sentence, "", "", ""});
    db.AddRelation({"r__2", "x", "y", 2, std::string(255, 'w'), "", "", ""});
    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions());
    EXPECT_EQ(store.m_pInteractions[0].member1, "TNF-α");
    EXPECT_EQ(store.m_pInteractions[0].source, sentence);
    EXPECT_EQ(store.m_pInteractions[1].source, std::string(255, 'w'));
}

TEST_F(InteractionStoreTest, ValuesOfAnyLengthArriveWhole) {
    // Unbounded text columns, so that PostgreSQL stores what SQLite does.
    db.Execute("DROP TABLE [relation]");
    std::string columns;
    for (const char* c : {"rel_ID", "rel_name", "rel_name2", "rel_mem1", "rel_mem2", "rel_situ", "rel_org",
                          "rel_source", "rel_rem", "rel_prep1", "rel_prep2", "rel_prep3"}) {
        columns += std::string("[") + c + "] TEXT, ";
    }
    db.Execute("CREATE TABLE [relation] (" + columns + "[rel_kind] INTEGER)");
    // Two names that share their first 1,020 bytes; a multi-byte character
    // across the old buffer's end; lengths that grow the bound buffer and
    // lengths beyond it, then short values again.
    const std::string shared(1020, 'k');
    const std::string longA = shared + std::string(100000 - 1020, 'a');
    const std::string longB = shared + std::string(100000 - 1020, 'b');
    std::string accented;
    while (accented.size() < 3000) {
        accented += "é";
    }
    const std::string sentence(100000, 's');
    struct Row {
        std::string m1, m2, source;
    };
    const std::vector<Row> rows = {
        {longA, "x", sentence},           {longB, "x", sentence + "!"},       {"A", "B", "short"},
        {accented, std::string(5000, 'm'), std::string(1021, 'z')}, {"C", longA, ""},
        {"D", "E", std::string(70000, 't')},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        db.AddRelation({"r__" + std::to_string(i + 1), rows[i].m1, rows[i].m2, 2, rows[i].source});
    }
    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions()) << store.GetDataError();
    ASSERT_EQ(store.m_nInteractions, static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const InteractionRecord& r = store.m_pInteractions[i];
        EXPECT_TRUE(r.member1 == rows[i].m1 && r.member2 == rows[i].m2 && r.source == rows[i].source)
            << "row " << i << ": " << r.member1.size() << " " << r.member2.size() << " " << r.source.size();
    }
    EXPECT_EQ(store.FindInteractionByMembers(longA, "x"), 0);
    EXPECT_EQ(store.FindInteractionByMembers(longB, "x"), 1);  // a molecule of its own
}

TEST_F(InteractionStoreTest, LineBreaksInMemberNamesBecomeUnderscores) {
    struct Row {
        std::string m1, m2, want1, want2;
    };
    const std::vector<Row> rows = {
        {"Ste5\n", "Fus3\r\nkinase", "Ste5", "Fus3_kinase"},  // one row, two names
        {"A\rB", "C", "A_B", "C"},
        {"D", "E\n\nF", "D", "E__F"},
        {"G", "H", "G", "H"},
        {"\r\n14-3-3", "I", "_14-3-3", "I"},  // then normalised as any name
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        db.AddRelation({"r__" + std::to_string(i + 1), rows[i].m1, rows[i].m2, 2, "line\nbreak"});
    }
    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions()) << store.GetDataError();
    ASSERT_EQ(store.m_nInteractions, static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(store.m_pInteractions[i].member1, rows[i].want1);
        EXPECT_EQ(store.m_pInteractions[i].member2, rows[i].want2);
    }
    EXPECT_EQ(store.m_pInteractions[0].source, "line\nbreak");  // sentences keep theirs
    EXPECT_EQ(store.GetLineBreakRepairs(), 4);

    db.Execute("DELETE FROM [relation] WHERE [rel_mem1] <> 'G'");
    ASSERT_TRUE(store.LoadInteractions());
    EXPECT_EQ(store.GetLineBreakRepairs(), 0);
}

TEST_F(InteractionStoreTest, SampleDataLoads) {
    db.ExecuteFile(TestDatabase::SourceDir() + "/sample/yeast_pathway.sql");
    db.ExecuteFile(TestDatabase::SourceDir() + "/sample/dictionary.sql");
    CInteractionStore store(db.Connect());
    ASSERT_TRUE(store.LoadInteractions()) << store.GetDataError();
    EXPECT_GE(store.m_nInteractions, 60);
    int homo = 0;
    bool kinds[11] = {};
    for (const InteractionRecord& r : store.m_pInteractions) {
        if (r.kind >= 0 && r.kind <= 10) {
            kinds[r.kind] = true;
        }
        homo += r.kind == 9 && r.member2 == r.member1 + "_2";
        EXPECT_NE(r.member1.substr(0, 1), "(");
    }
    EXPECT_EQ(homo, 1) << "the self-binding row loads as Homo_xmer";
    for (int k = 0; k < 11; ++k) {
        EXPECT_TRUE(kinds[k]) << "kind " << k;
    }
    EXPECT_EQ(store.LookUpKeyword("cell's"), "NN");
    EXPECT_FALSE(store.LookUpKeyword("kinase").empty());
}

}  // namespace
