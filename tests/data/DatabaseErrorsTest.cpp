#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "InteractionStore.h"
#include "TestDatabase.h"

namespace {

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Each line of `want` must occur in the message, in order.
void ExpectMessage(const std::string& message, const std::vector<std::string>& want) {
    size_t from = 0;
    for (const std::string& part : want) {
        const size_t at = message.find(part, from);
        ASSERT_NE(at, std::string::npos) << "missing \"" << part << "\" in:\n" << message;
        from = at + part.size();
    }
}

class ConnectionFailures : public ::testing::Test {
protected:
    void SetUp() override {
        char dirTemplate[] = "/tmp/tarnwick-connect-XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        dir = dirTemplate;
        // A user data source file of our own, as setup-datasource.sh writes one.
        std::ofstream(dir + "/odbc.ini") << "[TarnwickMissingFile]\nDriver=SQLite3\nDatabase=" << dir
                                         << "/dsn.db\n";
        setenv("ODBCINI", (dir + "/odbc.ini").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ODBCINI");
        std::system(("rm -rf " + dir).c_str());
    }
    std::string dir;
};

TEST_F(ConnectionFailures, SayWhatIsWrongAboveTheDiagnostic) {
    struct Case {
        std::string connect;
        std::vector<std::string> want;
    };
    const std::string tooLong = "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Description=" + std::string(70000, 'x');
    std::ofstream(dir + "/empty.db").flush();  // an empty file is an empty SQLite database
    const std::vector<Case> cases = {
        {"DSN=TarnwickNoSuchSource",
         {"The ODBC data source \"TarnwickNoSuchSource\" is not configured", "\n[IM002]", "Data source name not found"}},
        {"Driver=TarnwickNoSuchDriver;Database=" + dir + "/x.db",
         {"The ODBC driver \"TarnwickNoSuchDriver\" is not installed.\n", "[01000]"}},
        // A missing file is named and not created, also through a data source.
        {"Driver=SQLite3;Database=" + dir + "/missing.db",
         {"The database file " + dir + "/missing.db does not exist."}},
        {"DSN=TarnwickMissingFile", {"The database file " + dir + "/dsn.db does not exist."}},
        // Longer strings would reach the driver cut.
        {tooLong,
         {"The connection string is too long: " + std::to_string(tooLong.size()) + " characters",
          "driver manager reads at most 32767."}},
        {"Driver=SQLite3;Database=" + dir + "/empty.db;Description=" + std::string(5000, 'x'),
         {"too long", "SQLite3 driver reads at most 4095."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connect.substr(0, 80));
        CInteractionStore store(c.connect);
        EXPECT_FALSE(store.LoadInteractions());
        EXPECT_EQ(store.m_nInteractions, 0);
        ExpectMessage(store.GetDataError(), c.want);
    }
    EXPECT_FALSE(Exists(dir + "/missing.db"));
    EXPECT_FALSE(Exists(dir + "/dsn.db"));
    EXPECT_FALSE(Exists(dir + "/x.db"));
}

TEST(DatabaseErrors, AnUnreachableServerIsReportedWithinSeconds) {
    // A server that takes connections but never answers.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string connect = "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Port=" +
                                std::to_string(ntohs(address.sin_port)) + ";Database=tarnwick;SSLmode=disable";
    CInteractionStore store(connect);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(store.LoadInteractions());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ExpectMessage(store.GetDataError(), {"The database server did not answer within 5 seconds.\n", "["});
    close(listener);
}

TEST(SchemaErrors, NameTheMissingTableOrColumn) {
    struct Case {
        std::string change;
        bool relationFails;  // otherwise the dictionary does
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"ALTER TABLE [relation] DROP COLUMN [rel_name]", true, "The table relation has no column rel_name."},
        {"DROP TABLE [relation]", true, "The data source has no table relation."},
        {"ALTER TABLE [DIc] DROP COLUMN [POS1]", false, "The table DIc has no column POS1."},
        {"DROP TABLE [DIc]", false, "The data source has no table DIc."},
    };
    const std::string hint = "\nTarnwick needs the tables relation and DIc (see sample/schema.sql).\n[";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        TestDatabase db;
        ASSERT_EQ(db.SetupError(), "");
        db.Execute(c.change);
        CInteractionStore store(db.Connect());
        // Nothing reads the dictionary before a command needs it.
        EXPECT_EQ(store.LoadInteractions(), !c.relationFails);
        if (c.relationFails) {
            ExpectMessage(store.GetDataError(), {c.problem, hint});
            continue;
        }
        EXPECT_EQ(store.GetDataError(), "");
        EXPECT_FALSE(store.OpenDictionary());
        ExpectMessage(store.GetDataError(), {c.problem, hint});
        store.ReportDataError("");
        EXPECT_EQ(store.LookUpKeyword("bind"), "");
        ExpectMessage(store.GetDataError(), {c.problem, hint});
    }
    TestDatabase intact;
    CInteractionStore store(intact.Connect());
    EXPECT_TRUE(store.OpenDictionary()) << store.GetDataError();
}

TEST(DatabaseErrors, ALockedDatabaseIsReportedAfterAFewSeconds) {
    TestDatabase db;
    ASSERT_EQ(db.SetupError(), "");
    db.AddRelation({"r__1", "A", "B", 2});
    // Another program holds an exclusive lock until it commits.
    tw::odbc::Connection holder;
    std::string error;
    ASSERT_TRUE(holder.Open(db.Connect(), error)) << error;
    if (db.IsPostgres()) {
        SQLSetConnectAttr(holder.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
        ASSERT_TRUE(holder.Execute("LOCK TABLE [relation] IN ACCESS EXCLUSIVE MODE", {}, error)) << error;
    } else {
        ASSERT_TRUE(holder.Execute("BEGIN EXCLUSIVE", {}, error)) << error;
    }

    CInteractionStore store(db.Connect());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(store.LoadInteractions());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    ExpectMessage(store.GetDataError(), {"The database is locked by another program.", "\n["});

    if (db.IsPostgres()) {
        ASSERT_TRUE(tw::odbc::Succeeded(SQLEndTran(SQL_HANDLE_DBC, holder.Get(), SQL_COMMIT)));
    } else {
        ASSERT_TRUE(holder.Execute("COMMIT", {}, error)) << error;
    }
    EXPECT_TRUE(store.LoadInteractions()) << store.GetDataError();
    EXPECT_EQ(store.m_nInteractions, 1);
}

}  // namespace
