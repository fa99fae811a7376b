#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::string TestDatabase::SourceDir() { return TW_SOURCE_DIR; }

std::vector<std::string> TestDatabase::SplitStatements(const std::string& text) {
    std::vector<std::string> out;
    std::string current;
    bool literal = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (!literal && c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            while (i < text.size() && text[i] != '\n') {
                ++i;
            }
            current += '\n';
            continue;
        }
        if (c == '\'') {
            literal = !literal;  // '' toggles twice and stays inside
        }
        if (c == ';' && !literal) {
            if (current.find_first_not_of(" \t\r\n") != std::string::npos) {
                out.push_back(current);
            }
            current.clear();
            continue;
        }
        current += c;
    }
    if (current.find_first_not_of(" \t\r\n") != std::string::npos) {
        out.push_back(current);
    }
    return out;
}

TestDatabase::TestDatabase() {
    const char* pg = std::getenv("TW_TEST_PG_CONNECT");
    if (pg && *pg) {
        m_postgres = true;
        m_connect = pg;
    } else {
        char templ[] = "/tmp/tarnwick-test-XXXXXX";
        int fd = mkstemp(templ);
        if (fd >= 0) {
            close(fd);
        }
        m_file = templ;
        m_connect = "Driver=SQLite3;Database=" + m_file;
    }
    if (!m_connection.Open(m_connect, m_error)) {
        return;
    }
    std::string ignored;
    m_connection.Execute("DROP TABLE IF EXISTS [relation]", {}, ignored);
    m_connection.Execute("DROP TABLE IF EXISTS [DIc]", {}, ignored);
    ExecuteFile(SourceDir() + "/sample/schema.sql");
}

TestDatabase::~TestDatabase() {
    m_connection.Close();
    if (!m_file.empty()) {
        unlink(m_file.c_str());
    }
}

void TestDatabase::Execute(const std::string& sql, const std::vector<std::string>& params) {
    std::string error;
    ASSERT_TRUE(m_connection.Execute(sql, params, error)) << sql << "\n" << error;
}

void TestDatabase::ExecuteFile(const std::string& path) {
    std::ifstream in(path);
    ASSERT_TRUE(in.good()) << "cannot read " << path;
    std::stringstream text;
    text << in.rdbuf();
    for (const std::string& statement : SplitStatements(text.str())) {
        Execute(statement);
    }
}

void TestDatabase::AddRelation(const Relation& r) {
    Execute(
        "INSERT INTO [relation] ([rel_ID], [rel_name], [rel_mem1], [rel_mem2], [rel_kind], [rel_source], "
        "[rel_rem], [rel_prep1]) VALUES (?, ?, ?, ?, CAST(? AS INTEGER), ?, ?, ?)",
        {r.id, r.name, r.mem1, r.mem2, std::to_string(r.kind), r.source, r.remark, r.prep1});
}

void TestDatabase::AddKeyword(const std::string& keyword, const std::string& pos1) {
    Execute("INSERT INTO [DIc] ([Keyword], [POS1]) VALUES (?, ?)", {keyword, pos1});
}
