#include "SyntheticDb.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "SyntheticRows.h"

namespace {

// Owns the database handle; prepared statements are finalised by their own guard.
struct Database {
    sqlite3* db = nullptr;
    ~Database() { sqlite3_close(db); }
    std::string Error() const { return db ? sqlite3_errmsg(db) : "out of memory"; }
};

struct Prepared {
    sqlite3_stmt* stmt = nullptr;
    ~Prepared() { sqlite3_finalize(stmt); }
};

bool ReadFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the schema file " + path;
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

bool Exec(Database& d, const std::string& sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(d.db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        error = message ? message : d.Error();
        sqlite3_free(message);
        return false;
    }
    return true;
}

void BindText(sqlite3_stmt* stmt, int column, const std::string& value) {
    sqlite3_bind_text(stmt, column, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

bool Step(Database& d, sqlite3_stmt* stmt, std::string& error) {
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        error = d.Error();
        return false;
    }
    sqlite3_reset(stmt);
    return true;
}

bool Fill(Database& d, const SyntheticDbOptions& options, std::string& error) {
    SyntheticRowGenerator generator(options.seed, options.rows, options.chain);
    Prepared relation;
    const char* relationSql =
        "INSERT INTO \"relation\" (\"rel_ID\", \"rel_name\", \"rel_name2\", \"rel_mem1\", \"rel_mem2\", "
        "\"rel_kind\", \"rel_situ\", \"rel_org\", \"rel_source\", \"rel_rem\", \"rel_prep1\", \"rel_prep2\", "
        "\"rel_prep3\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    if (sqlite3_prepare_v2(d.db, relationSql, -1, &relation.stmt, nullptr) != SQLITE_OK) {
        error = d.Error();
        return false;
    }
    for (std::size_t i = 0; i < generator.TotalRows(); ++i) {
        SyntheticRelation r = generator.Next();
        BindText(relation.stmt, 1, r.id);
        BindText(relation.stmt, 2, r.name);
        BindText(relation.stmt, 3, r.name2);
        BindText(relation.stmt, 4, r.mem1);
        BindText(relation.stmt, 5, r.mem2);
        sqlite3_bind_int(relation.stmt, 6, r.kind);
        BindText(relation.stmt, 7, r.situ);
        BindText(relation.stmt, 8, r.org);
        BindText(relation.stmt, 9, r.source);
        BindText(relation.stmt, 10, r.rem);
        BindText(relation.stmt, 11, r.prep1);
        BindText(relation.stmt, 12, r.prep2);
        BindText(relation.stmt, 13, r.prep3);
        if (!Step(d, relation.stmt, error)) {
            return false;
        }
    }
    Prepared keyword;
    const char* keywordSql =
        "INSERT INTO \"DIc\" (\"Keyword\", \"POS1\", \"POS2\", \"POS3\", \"POS4\", \"POS5\", \"POS6\", "
        "\"POS7\", \"POS8\", \"POS9\", \"POS10\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    if (sqlite3_prepare_v2(d.db, keywordSql, -1, &keyword.stmt, nullptr) != SQLITE_OK) {
        error = d.Error();
        return false;
    }
    for (const SyntheticKeyword& k : generator.Keywords()) {
        BindText(keyword.stmt, 1, k.keyword);
        for (int p = 0; p < 10; ++p) {
            BindText(keyword.stmt, p + 2, k.pos[p]);
        }
        if (!Step(d, keyword.stmt, error)) {
            return false;
        }
    }
    return true;
}

bool WriteTo(const std::string& path, const std::string& schema, const SyntheticDbOptions& options,
             std::string& error) {
    Database d;
    if (sqlite3_open(path.c_str(), &d.db) != SQLITE_OK) {
        error = "cannot create " + path + ": " + d.Error();
        return false;
    }
    // A scratch file until the rename: durability buys nothing here.
    if (!Exec(d, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;", error) || !Exec(d, schema, error) ||
        !Exec(d, "BEGIN", error)) {
        error = path + ": " + error;
        return false;
    }
    if (!Fill(d, options, error) || !Exec(d, "COMMIT", error)) {
        error = path + ": " + error;
        return false;
    }
    if (sqlite3_close(d.db) != SQLITE_OK) {
        error = path + ": " + d.Error();
        d.db = nullptr;
        return false;
    }
    d.db = nullptr;
    return true;
}

}  // namespace

bool WriteSyntheticDb(const SyntheticDbOptions& options, std::string& error) {
    std::string schema;
    if (!ReadFile(options.schemaPath, schema, error)) {
        return false;
    }
    const std::string scratch = options.outPath + ".partial";
    std::remove(scratch.c_str());
    if (!WriteTo(scratch, schema, options, error)) {
        std::remove(scratch.c_str());
        return false;
    }
    if (std::rename(scratch.c_str(), options.outPath.c_str()) != 0) {
        error = "cannot rename " + scratch + " to " + options.outPath + ": " + std::strerror(errno);
        std::remove(scratch.c_str());
        return false;
    }
    return true;
}
