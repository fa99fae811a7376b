#include <gtest/gtest.h>

#include "InteractionStore.h"
#include "TestDatabase.h"

namespace {

TEST(DatabaseErrors, MissingDataSourceIsReportedWithTheDiagnostic) {
    CInteractionStore store("DSN=TarnwickNoSuchSource");
    EXPECT_NE(store.GetDataError().find("Data source name not found"), std::string::npos)
        << store.GetDataError();
    EXPECT_FALSE(store.LoadInteractions());
    EXPECT_EQ(store.m_nInteractions, 0);
    EXPECT_TRUE(store.m_pInteractions.empty());
    EXPECT_NE(store.GetDataError().find("TarnwickNoSuchSource"), std::string::npos);
    EXPECT_EQ(store.LookUpKeyword("bind"), "");
}

TEST(DatabaseErrors, MissingTableOrColumnIsReported) {
    TestDatabase db;
    ASSERT_EQ(db.SetupError(), "");
    db.Execute("DROP TABLE [relation]");
    db.Execute("CREATE TABLE [relation] ([rel_ID] VARCHAR(255), [rel_mem1] VARCHAR(255))");
    CInteractionStore store(db.Connect());
    EXPECT_EQ(store.GetDataError(), "");  // the dictionary is fine
    EXPECT_FALSE(store.LoadInteractions());
    EXPECT_NE(store.GetDataError().find("rel_name"), std::string::npos) << store.GetDataError();

    db.Execute("DROP TABLE [relation]");
    EXPECT_FALSE(store.LoadInteractions());
    EXPECT_NE(store.GetDataError().find("relation"), std::string::npos) << store.GetDataError();
    EXPECT_EQ(store.m_nInteractions, 0);
}

TEST(DatabaseErrors, RefusedConnectionIsReported) {
    CInteractionStore store(TestDatabase().IsPostgres()
                                ? "Driver=PostgreSQL Unicode;Server=127.0.0.1;Port=1;Database=none"
                                : "Driver=SQLite3;Database=/nonexistent-dir/none.db");
    EXPECT_FALSE(store.LoadInteractions());
    EXPECT_NE(store.GetDataError().find("cannot connect"), std::string::npos) << store.GetDataError();
    EXPECT_NE(store.GetDataError().find("["), std::string::npos) << "carries the driver's SQLSTATE";
}

}  // namespace
