#include "OdbcRecordset.h"

#include <algorithm>

#include "OdbcStatement.h"

namespace tw::odbc {

bool Recordset::Open() {
    if (m_open) {
        return true;
    }
    if (!Connect() || !Fetch()) {
        return false;
    }
    m_open = true;
    return true;
}

void Recordset::Close() {
    m_open = false;
    m_stmt.reset();
    m_stmtSql.clear();
    m_connection.Close();
    m_bytes.clear();
    m_cellStart.clear();
    m_ints.clear();
    m_rows = m_position = 0;
}

bool Recordset::Requery() {
    if (!m_open) {
        return Open();
    }
    return Fetch();
}

bool Recordset::Connect() {
    m_lastError.clear();
    if (m_fx.m_fields.empty()) {
        DoFieldExchange(m_fx);
    }
    return m_connection.IsOpen() || m_connection.Open(m_connect, m_lastError);
}

bool Recordset::Check() {
    Statement stmt;
    return Connect() && Run(stmt, SelectText("1 = 0"), {});
}

std::string Recordset::TableName() const {
    std::string table = GetDefaultSQL();
    table.erase(std::remove_if(table.begin(), table.end(), [](char c) { return c == '[' || c == ']'; }),
                table.end());
    return table;
}

std::string Recordset::SelectText(const std::string& filter) const {
    std::string sql = "SELECT ";
    for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
        sql += i ? ", " : "";
        sql += m_fx.m_fields[i].column;
    }
    sql += " FROM " + GetDefaultSQL();
    if (!filter.empty()) {
        sql += " WHERE " + filter;
    }
    return sql;
}

bool Recordset::Run(Statement& stmt, const std::string& sql, const std::vector<std::string>& params) {
    std::string diagnostic;
    bool ran = stmt.Prepare(m_connection, sql, diagnostic);
    for (size_t i = 0; ran && i < params.size(); ++i) {
        stmt.BindText(static_cast<int>(i), params[i]);
    }
    ran = ran && stmt.Execute(diagnostic);
    if (!ran) {
        m_lastError = DescribeReadFailure(diagnostic);
    }
    return ran;
}

std::string Recordset::DescribeReadFailure(const std::string& diagnostic) {
    if (IsLockDiagnostic(diagnostic)) {
        return LockMessage(diagnostic);
    }
    const std::string table = TableName();
    // Ask for the table, then for each column, to name what is missing.
    std::string ignored;
    Statement probe;
    std::string problem;
    if (!probe.Prepare(m_connection, "SELECT 1 FROM " + GetDefaultSQL() + " WHERE 1 = 0", ignored) ||
        !probe.Execute(ignored)) {
        problem = "The data source has no table " + table + ".";
    } else {
        std::string missing;
        for (const FieldExchange::Field& f : m_fx.m_fields) {
            Statement column;
            const std::string sql = std::string("SELECT ") + f.column + " FROM " + GetDefaultSQL() + " WHERE 1 = 0";
            if (!column.Prepare(m_connection, sql, ignored) || !column.Execute(ignored)) {
                std::string name = f.column;
                missing += (missing.empty() ? "" : ", ") + name.substr(1, name.size() - 2);
            }
        }
        if (missing.empty()) {
            return "Cannot read the table " + table + ".\n" + diagnostic;
        }
        problem = "The table " + table + " has no column " + missing + ".";
    }
    return problem + "\nTarnwick needs the tables relation and DIc (see sample/schema.sql).\n" + diagnostic;
}

bool Recordset::Fetch() {
    m_bytes.clear();
    m_cellStart.clear();
    m_ints.clear();
    m_rows = m_position = 0;
    m_textColumns = m_intColumns = 0;
    m_lastError.clear();
    for (const FieldExchange::Field& f : m_fx.m_fields) {
        (f.text ? m_textColumns : m_intColumns)++;
    }

    if (!RunSnapshotQuery()) {
        return false;
    }
    Statement& stmt = *m_stmt;
    std::string error;
    while (stmt.Fetch(error)) {
        for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
            if (m_fx.m_fields[i].text) {
                size_t length = 0;
                const char* text = stmt.Text(static_cast<int>(i), length);
                m_cellStart.push_back(m_bytes.size());
                m_bytes.append(text, length);
            } else {
                m_ints.push_back(stmt.Int(static_cast<int>(i)));
            }
        }
        ++m_rows;
    }
    if (!error.empty()) {
        FetchFailed(error);
        return false;
    }
    stmt.CloseCursor();  // holds no read lock between queries
    Exchange();
    return true;
}

void Recordset::FetchFailed(const std::string& error) {
    m_lastError =
        IsLockDiagnostic(error) ? LockMessage(error) : "Cannot read the table " + TableName() + ".\n" + error;
    m_rows = 0;
    m_stmt.reset();
    m_stmtSql.clear();
}

bool Recordset::ReadEach(const std::function<void()>& row, size_t& rows) {
    rows = 0;
    if (!Connect()) {
        return false;
    }
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_cellStart.clear();
    m_cellStart.shrink_to_fit();
    m_ints.clear();
    m_rows = m_position = 0;
    if (!RunSnapshotQuery()) {
        return false;
    }
    m_open = true;
    Statement& stmt = *m_stmt;
    std::string error;
    while (stmt.Fetch(error)) {
        ExchangeFetched(stmt);
        row();
        ++rows;
    }
    if (!error.empty()) {
        FetchFailed(error);
        rows = 0;
        return false;
    }
    stmt.CloseCursor();
    return true;
}

bool Recordset::CountRows(size_t& rows) {
    rows = 0;
    if (!Connect()) {
        return false;
    }
    Statement stmt;
    std::string sql = "SELECT COUNT(*) FROM " + GetDefaultSQL();
    if (!m_strFilter.empty()) {
        sql += " WHERE " + m_strFilter;
    }
    if (!Run(stmt, sql, m_filterParams)) {
        m_lastError.clear();  // the query proper reports what is wrong
        return true;
    }
    stmt.BindIntColumn(0);
    std::string error;
    const std::int32_t count = stmt.Fetch(error) ? stmt.Int(0) : 0;
    stmt.CloseCursor();
    rows = count > 0 ? static_cast<size_t>(count) : 0;
    return true;
}

void Recordset::ExchangeFetched(const Statement& stmt) {
    for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
        const FieldExchange::Field& f = m_fx.m_fields[i];
        if (f.text) {
            size_t length = 0;
            const char* text = stmt.Text(static_cast<int>(i), length);
            f.text->assign(text, length);
        } else {
            *f.value = stmt.Int(static_cast<int>(i));
        }
    }
}

bool Recordset::RunSnapshotQuery() {
    const std::string sql = SelectText(m_strFilter);
    if (m_stmt && m_stmtSql == sql) {
        // Columns stay bound; Execute binds the new parameters.
        std::string diagnostic;
        for (size_t i = 0; i < m_filterParams.size(); ++i) {
            m_stmt->BindText(static_cast<int>(i), m_filterParams[i]);
        }
        if (m_stmt->Execute(diagnostic)) {
            return true;
        }
        m_lastError = DescribeReadFailure(diagnostic);
        m_stmt.reset();
        m_stmtSql.clear();
        return false;
    }
    m_stmt = std::make_unique<Statement>();
    m_stmtSql.clear();
    if (!Run(*m_stmt, sql, m_filterParams)) {
        m_stmt.reset();
        return false;
    }
    m_stmtSql = sql;
    for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
        if (m_fx.m_fields[i].text) {
            m_stmt->BindTextColumn(static_cast<int>(i));
        } else {
            m_stmt->BindIntColumn(static_cast<int>(i));
        }
    }
    return true;
}

void Recordset::MoveFirst() {
    m_position = 0;
    Exchange();
}

void Recordset::MoveNext() {
    if (m_position < m_rows) {
        ++m_position;
    }
    Exchange();
}

void Recordset::Exchange() {
    if (m_position >= m_rows) {
        return;  // members keep the last row, as a framework recordset's do
    }
    size_t textIndex = m_position * m_textColumns;
    size_t intIndex = m_position * m_intColumns;
    for (const FieldExchange::Field& f : m_fx.m_fields) {
        if (f.text) {
            size_t begin = m_cellStart[textIndex];
            size_t end = textIndex + 1 < m_cellStart.size() ? m_cellStart[textIndex + 1] : m_bytes.size();
            f.text->assign(m_bytes, begin, end - begin);
            ++textIndex;
        } else {
            *f.value = m_ints[intIndex++];
        }
    }
}

}  // namespace tw::odbc
