#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "OdbcConnection.h"
#include "OdbcStatement.h"

namespace tw::odbc {

// Lists a recordset's bound columns in SELECT order: each call names a
// column ([bracketed]) and the member that receives its value on every move.
class FieldExchange {
public:
    void Text(const char* column, std::string& member) { m_fields.push_back({column, &member, nullptr}); }
    void Int(const char* column, std::int32_t& member) { m_fields.push_back({column, nullptr, &member}); }

private:
    friend class Recordset;
    struct Field {
        const char* column;
        std::string* text;
        std::int32_t* value;
    };
    std::vector<Field> m_fields;
};

// A read-only snapshot over one table: Open (or Requery) fetches every row
// of "SELECT <columns> FROM <table> [WHERE <filter>]" through bound columns
// into memory, and the moves copy the current row into the bound members.
// Each recordset opens its own connection from its connection string.
class Recordset {
public:
    explicit Recordset(std::string connect) : m_connect(std::move(connect)) {}
    virtual ~Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void SetConnect(const std::string& connect) { m_connect = connect; }
    const std::string& GetConnect() const { return m_connect; }

    // Connects if needed and fetches the snapshot; false with GetLastError(),
    // which names a missing table or column.
    bool Open();
    // Connects if needed and makes sure the table and columns can be read,
    // fetching no row.
    bool Check();
    void Close();
    bool IsOpen() const { return m_open; }
    // Before the first row: only an empty snapshot starts there.
    bool IsBOF() const { return m_rows == 0; }
    bool IsEOF() const { return m_position >= m_rows; }
    void MoveFirst();
    void MoveNext();
    // Fetches the snapshot again with the current filter and its parameters.
    bool Requery();
    // Runs the query like Requery but keeps no snapshot: each fetched row
    // is copied into the bound members and `row` is called,
    // so a caller that moves the values out holds every text once. Leaves
    // the recordset open and empty; false with GetLastError() when the
    // query or a fetch fails. `rows` counts the rows handed over.
    bool ReadEach(const std::function<void()>& row, size_t& rows);
    // The rows the query would give now (COUNT(*) with the current
    // filter), to size what ReadEach fills; 0 when they cannot be counted.
    // False, with GetLastError(), only when the source cannot be reached.
    bool CountRows(size_t& rows);
    size_t GetRecordCount() const { return m_rows; }

    // WHERE condition with [bracketed] identifiers and ? markers; values go
    // only into m_filterParams, never into the text.
    std::string m_strFilter;
    std::vector<std::string> m_filterParams;

    const std::string& GetLastError() const { return m_lastError; }

protected:
    virtual std::string GetDefaultSQL() const = 0;  // the [bracketed] table
    virtual void DoFieldExchange(FieldExchange& fx) = 0;

private:
    bool Connect();
    bool Fetch();
    // The failure of a fetch loop: the message, and no statement kept.
    void FetchFailed(const std::string& error);
    void ExchangeFetched(const Statement& stmt);
    std::string TableName() const;
    std::string SelectText(const std::string& filter) const;
    bool Run(Statement& stmt, const std::string& sql, const std::vector<std::string>& params);
    // Runs the snapshot's query, prepared once for as long as its text stays.
    bool RunSnapshotQuery();
    std::string DescribeReadFailure(const std::string& diagnostic);
    void Exchange();

    std::string m_connect;
    Connection m_connection;
    // The last snapshot's statement and text: a recordset requeried with
    // new parameters only (a word looked up after another) is not prepared
    // again. Declared after the connection, so it goes first.
    std::unique_ptr<Statement> m_stmt;
    std::string m_stmtSql;
    FieldExchange m_fx;
    bool m_open = false;
    std::string m_lastError;

    // The snapshot: text cells back to back in m_bytes, m_cellStart gives
    // each text cell's offset in row-major order; integers apart.
    std::string m_bytes;
    std::vector<size_t> m_cellStart;
    std::vector<std::int32_t> m_ints;
    size_t m_textColumns = 0;
    size_t m_intColumns = 0;
    size_t m_rows = 0;
    size_t m_position = 0;
};

}  // namespace tw::odbc
