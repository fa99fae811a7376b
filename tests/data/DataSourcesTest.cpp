#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "ConnectString.h"
#include "DataSources.h"
#include "OdbcConnection.h"
#include "TestDatabase.h"

namespace {

using Kind = DataSourceChoice::Kind;

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

TEST(DataSources, TheDriverManagersSourcesAreListed) {
    char ini[] = "/tmp/tarnwick-odbcini-XXXXXX";
    close(mkstemp(ini));
    std::ofstream(ini) << "[TwListedOne]\nDriver=SQLite3\nDatabase=/tmp/one.db\n"
                          "[TwListedTwo]\nDriver=SQLite3\nDatabase=/tmp/two.db\n";
    const char* before = std::getenv("ODBCINI");
    const std::string saved = before ? before : "";
    setenv("ODBCINI", ini, 1);
    std::vector<DataSourceInfo> sources;
    std::string error;
    const bool listed = ListDataSources(sources, error);
    before ? setenv("ODBCINI", saved.c_str(), 1) : unsetenv("ODBCINI");
    std::remove(ini);
    ASSERT_TRUE(listed) << error;
    std::vector<std::string> names;
    for (const DataSourceInfo& s : sources) {
        names.push_back(s.name);
    }
    for (const char* wanted : {"TwListedOne", "TwListedTwo"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), wanted), names.end()) << wanted;
    }
}

TEST(DataSources, AChoiceBecomesAConnectionStringOrIsRefused) {
    char dir[] = "/tmp/tarnwick-choice-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string folder = dir;
    const std::string plain = folder + "/plain.db";
    const std::string odd = folder + "/odd;name}.db";
    std::ofstream(plain) << "";
    std::ofstream(odd) << "";
    const std::string missing = folder + "/missing.db";
    const std::vector<DataSourceInfo> listed{{"InteractionDB", "SQLite3"}, {"Other DB", "PostgreSQL"}};

    const struct {
        Kind kind;
        std::string value;
        std::string connect;  // empty: refused
        std::string errorPart;
    } cases[] = {
        {Kind::DataSource, "InteractionDB", "DSN=InteractionDB", ""},
        {Kind::DataSource, "Other DB", "DSN=Other DB", ""},
        {Kind::DataSource, "interactiondb", "", "not configured"},
        {Kind::DataSource, "", "", "Choose a data source"},
        {Kind::DatabaseFile, plain, "Driver=SQLite3;Database=" + plain, ""},
        {Kind::DatabaseFile, odd, "Driver=SQLite3;Database={" + folder + "/odd;name}}.db}", ""},
        {Kind::DatabaseFile, missing, "", "does not exist"},
        {Kind::DatabaseFile, folder, "", "is not a database file"},
        {Kind::DatabaseFile, "", "", "Choose a database file"},
        {Kind::ConnectString, "Driver=PostgreSQL;Server=db;Database=x", "Driver=PostgreSQL;Server=db;Database=x", ""},
        {Kind::ConnectString, "dsn=InteractionDB;UID=me", "dsn=InteractionDB;UID=me", ""},
        {Kind::ConnectString, "Database=/tmp/x.db", "", "names a data source"},
        {Kind::ConnectString, "", "", "names a data source"},
    };
    for (const auto& c : cases) {
        std::string connect = "unchanged", error;
        const bool ok = ConnectStringOf({c.kind, c.value}, listed, connect, error);
        EXPECT_EQ(ok, !c.connect.empty()) << c.value << ": " << error;
        if (ok) {
            EXPECT_EQ(connect, c.connect);
        } else {
            EXPECT_EQ(connect, "unchanged");
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
        }
    }
    // A braced path reads back whole, and a refused file was not created.
    std::string connect, error, database;
    ASSERT_TRUE(ConnectStringOf({Kind::DatabaseFile, odd}, listed, connect, error));
    ASSERT_TRUE(tw::odbc::FindAttribute(connect, "Database", database));
    EXPECT_EQ(database, odd);
    EXPECT_FALSE(Exists(missing));
    for (const std::string& f : {plain, odd}) {
        std::remove(f.c_str());
    }
    rmdir(dir);
}

TEST(DataSources, AChosenDatabaseFileOpensThroughTheDriver) {
    TestDatabase db;
    ASSERT_EQ(db.SetupError(), "");
    if (db.IsPostgres()) {
        GTEST_SKIP() << "a file choice is a SQLite database";
    }
    std::string file, connect, error;
    ASSERT_TRUE(tw::odbc::FindAttribute(db.Connect(), "Database", file));
    ASSERT_TRUE(ConnectStringOf({Kind::DatabaseFile, file}, {}, connect, error)) << error;
    tw::odbc::Connection connection;
    EXPECT_TRUE(connection.Open(connect, error)) << error;
}

TEST(DataSources, TheLastFewSourcesAreRememberedNewestFirst) {
    const struct {
        std::vector<std::string> recent;
        std::string chosen;
        std::vector<std::string> expected;
    } cases[] = {
        {{}, "a", {"a"}},
        {{"a", "b", "c"}, "b", {"b", "a", "c"}},
        {{"a", "", "b"}, "c", {"c", "a", "b"}},
        {{"a", "b", "c", "d", "e"}, "f", {"f", "a", "b", "c", "d"}},
        {{"a", "b", "c", "d", "e", "f", "g"}, "e", {"e", "a", "b", "c", "d"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RememberSource(c.recent, c.chosen), c.expected) << c.chosen;
    }
}

}  // namespace
