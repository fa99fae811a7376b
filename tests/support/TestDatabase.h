#pragma once

#include <string>
#include <vector>

#include "OdbcConnection.h"

// A throwaway InteractionDB for one test: a fresh SQLite file by default,
// or, when TW_TEST_PG_CONNECT holds a connection string, the tables of
// that PostgreSQL database dropped and created again.
class TestDatabase {
public:
    struct Relation {
        std::string id, mem1, mem2;
        int kind = 0;
        std::string source{}, remark{}, prep1{}, name{};
    };

    TestDatabase();
    ~TestDatabase();

    const std::string& Connect() const { return m_connect; }
    bool IsPostgres() const { return m_postgres; }
    // Empty when the set-up worked; otherwise what went wrong.
    const std::string& SetupError() const { return m_error; }

    // Runs statements on the database; fails the calling test on error.
    void Execute(const std::string& sql, const std::vector<std::string>& params = {});
    // Runs every statement of a .sql file (quotes respected when splitting).
    void ExecuteFile(const std::string& path);
    void AddRelation(const Relation& r);
    void AddKeyword(const std::string& keyword, const std::string& pos1);

    // The folder of the checked-out sources, for sample files.
    static std::string SourceDir();
    static std::vector<std::string> SplitStatements(const std::string& text);

private:
    std::string m_connect;
    std::string m_file;
    std::string m_error;
    bool m_postgres = false;
    tw::odbc::Connection m_connection;
};
