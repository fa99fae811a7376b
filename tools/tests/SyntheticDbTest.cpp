#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "SyntheticDb.h"

namespace {

struct Row {
    std::string id, mem1, mem2, source, rem, prep1;
    int kind = 0;
};

std::string TempPath(const std::string& name) {
    return "/tmp/tw_synthdb_" + std::to_string(getpid()) + "_" + name + ".db";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Column(sqlite3_stmt* stmt, int i) {
    const unsigned char* text = sqlite3_column_text(stmt, i);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// Rows in table (rowid) order, as a snapshot without ORDER BY returns them.
std::vector<Row> ReadRows(const std::string& path, int& keywords) {
    std::vector<Row> rows;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rel_ID, rel_mem1, rel_mem2, rel_kind, rel_source, rel_rem, rel_prep1 "
                       "FROM relation ORDER BY rowid",
                       -1, &stmt, nullptr);
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        Row r;
        r.id = Column(stmt, 0);
        r.mem1 = Column(stmt, 1);
        r.mem2 = Column(stmt, 2);
        r.kind = sqlite3_column_int(stmt, 3);
        r.source = Column(stmt, 4);
        r.rem = Column(stmt, 5);
        r.prep1 = Column(stmt, 6);
        rows.push_back(r);
    }
    sqlite3_finalize(stmt);
    stmt = nullptr;
    keywords = -1;
    sqlite3_prepare_v2(db, "SELECT COUNT(DISTINCT Keyword) FROM DIc", -1, &stmt, nullptr);
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        keywords = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

bool IsReference(const std::string& m) { return m.rfind("r__", 0) == 0; }

class SyntheticDb : public ::testing::Test {
protected:
    static constexpr std::size_t kRows = 3000;
    static constexpr std::size_t kChain = 40;

    static void SetUpTestSuite() {
        SyntheticDbOptions options;
        options.rows = kRows;
        options.chain = kChain;
        options.seed = 7;
        options.schemaPath = TW_SCHEMA_FILE;
        options.outPath = TempPath("shape");
        std::string error;
        ASSERT_TRUE(WriteSyntheticDb(options, error)) << error;
        s_rows = ReadRows(options.outPath, s_keywords);
        std::remove(options.outPath.c_str());
    }

    static std::vector<Row> s_rows;
    static int s_keywords;
};

std::vector<Row> SyntheticDb::s_rows;
int SyntheticDb::s_keywords = 0;

TEST(SyntheticDbFile, SameSeedGivesTheSameBytesAndAnotherSeedDoesNot) {
    std::vector<std::string> paths = {TempPath("a"), TempPath("b"), TempPath("c")};
    const std::uint64_t seeds[] = {42, 42, 43};
    for (int i = 0; i < 3; ++i) {
        SyntheticDbOptions options;
        options.rows = 500;
        options.chain = 5;
        options.seed = seeds[i];
        options.schemaPath = TW_SCHEMA_FILE;
        options.outPath = paths[i];
        std::string error;
        ASSERT_TRUE(WriteSyntheticDb(options, error)) << error;
    }
    const std::string a = Slurp(paths[0]);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, Slurp(paths[1]));
    EXPECT_NE(a, Slurp(paths[2]));
    for (const auto& p : paths) {
        std::remove(p.c_str());
    }
}

TEST(SyntheticDbFile, AMissingSchemaFailsAndLeavesNoFile) {
    SyntheticDbOptions options;
    options.rows = 10;
    options.seed = 1;
    options.schemaPath = "/nonexistent/schema.sql";
    options.outPath = TempPath("missing");
    std::string error;
    EXPECT_FALSE(WriteSyntheticDb(options, error));
    EXPECT_NE(error.find("/nonexistent/schema.sql"), std::string::npos) << error;
    EXPECT_NE(access(options.outPath.c_str(), F_OK), 0);
    EXPECT_NE(access((options.outPath + ".partial").c_str(), F_OK), 0);
}

TEST_F(SyntheticDb, IdsRunFromOneWithTheChainLastInDescendingOrder) {
    ASSERT_EQ(s_rows.size(), kRows + kChain);
    for (std::size_t i = 0; i < kRows; ++i) {
        ASSERT_EQ(s_rows[i].id, "r__" + std::to_string(i + 1));
    }
    for (std::size_t j = 0; j < kChain; ++j) {
        const Row& r = s_rows[kRows + j];
        const std::size_t number = kRows + kChain - j;
        ASSERT_EQ(r.id, "r__" + std::to_string(number));
        if (number > kRows + 1) {
            EXPECT_EQ(r.mem1, "r__" + std::to_string(number - 1));
        } else {
            EXPECT_FALSE(IsReference(r.mem1)) << r.mem1;
        }
        EXPECT_NE(r.kind, 0);
        EXPECT_NE(r.kind, 9);
    }
}

TEST_F(SyntheticDb, ReferencesResolveAndNeverFormACycle) {
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < s_rows.size(); ++i) {
        index[s_rows[i].id] = i;
    }
    int references = 0, forward = 0;
    // Follow every reference to its end: a walk longer than the table is a cycle.
    for (std::size_t i = 0; i < kRows; ++i) {
        for (const std::string* m : {&s_rows[i].mem1, &s_rows[i].mem2}) {
            if (!IsReference(*m)) {
                continue;
            }
            ++references;
            ASSERT_TRUE(index.count(*m)) << *m;
            forward += index[*m] > i;
            EXPECT_LT(index[*m], kRows) << "ordinary rows never name the chain";
        }
        std::vector<std::size_t> todo = {i};
        std::size_t steps = 0;
        while (!todo.empty()) {
            ASSERT_LT(++steps, s_rows.size()) << "cycle through " << s_rows[i].id;
            std::size_t at = todo.back();
            todo.pop_back();
            for (const std::string* m : {&s_rows[at].mem1, &s_rows[at].mem2}) {
                if (IsReference(*m)) {
                    todo.push_back(index[*m]);
                }
            }
        }
    }
    EXPECT_GT(references, 30);
    EXPECT_GT(forward, 0);
}

TEST_F(SyntheticDb, ColumnsAreShapedLikeRealRows) {
    std::set<int> kinds;
    int selfBinding = 0;
    for (std::size_t i = 0; i < kRows; ++i) {
        const Row& r = s_rows[i];
        ASSERT_GE(r.kind, 0);
        ASSERT_LE(r.kind, 10);
        kinds.insert(r.kind);
        selfBinding += r.kind == 0 && r.mem1 == r.mem2;
        EXPECT_GE(r.source.size(), 80u) << r.source;
        EXPECT_LE(r.source.size(), 250u) << r.source;
        ASSERT_EQ(r.prep1.size(), 8u) << r.prep1;
        EXPECT_TRUE(std::all_of(r.prep1.begin(), r.prep1.end(), ::isdigit)) << r.prep1;
        EXPECT_TRUE(r.rem.empty() || (r.rem[0] >= '0' && r.rem[0] <= '4')) << r.rem;
        EXPECT_FALSE(r.mem1.empty());
        EXPECT_FALSE(r.mem2.empty());
    }
    EXPECT_EQ(kinds.size(), 11u);
    EXPECT_GT(selfBinding, 3);
    EXPECT_GT(s_keywords, 200);
    EXPECT_LT(s_keywords, 1000);
}

TEST_F(SyntheticDb, MemberNamesCoverTheShapesNormalisationHandles) {
    struct Shape {
        const char* what;
        bool (*test)(const std::string&);
    };
    const Shape shapes[] = {
        {"leading digit", [](const std::string& m) { return !m.empty() && ::isdigit(m[0]) != 0; }},
        {"bracket", [](const std::string& m) { return m[0] == '(' || m[0] == '[' || m.rfind("_[", 0) == 0; }},
        {"outer underscore", [](const std::string& m) { return m.front() == '_' || m.back() == '_'; }},
        {"multi-word", [](const std::string& m) { return m.find('_', 1) != std::string::npos && !IsReference(m); }},
        {"digit between underscores",
         [](const std::string& m) {
             for (std::size_t p = m.find('_'); p != std::string::npos; p = m.find('_', p + 1)) {
                 std::size_t q = m.find('_', p + 1);
                 if (q != std::string::npos && q > p + 1 && m.find_first_of("0123456789", p) < q) {
                     return true;
                 }
             }
             return false;
         }},
        {"ORF", [](const std::string& m) { return m.size() >= 7 && m[0] == 'Y' && ::isdigit(m[3]) && ::isdigit(m[5]); }},
    };
    for (const Shape& shape : shapes) {
        int hits = 0;
        for (const Row& r : s_rows) {
            hits += shape.test(r.mem1) + shape.test(r.mem2);
        }
        EXPECT_GE(hits, 10) << shape.what;
    }
}

TEST_F(SyntheticDb, AFewMoleculesTakePartInManyInteractionsAndMostInFew) {
    std::map<std::string, int> uses;
    for (std::size_t i = 0; i < kRows; ++i) {
        for (const std::string* m : {&s_rows[i].mem1, &s_rows[i].mem2}) {
            if (!IsReference(*m)) {
                ++uses[*m];
            }
        }
    }
    std::vector<int> counts;
    for (const auto& entry : uses) {
        counts.push_back(entry.second);
    }
    std::sort(counts.rbegin(), counts.rend());
    EXPECT_GT(counts.front(), static_cast<int>(kRows / 100));
    EXPECT_LE(counts[counts.size() / 2], 5);
}

}  // namespace
