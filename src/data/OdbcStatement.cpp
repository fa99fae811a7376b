#include "OdbcStatement.h"

#include "OdbcConnection.h"

namespace tw::odbc {

namespace {

// Keeps a truncated text from ending inside a UTF-8 sequence.
size_t Utf8Boundary(const char* text, size_t length) {
    size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0xC0) == 0x80) {
        --end;
    }
    if (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0x80) != 0) {
        const unsigned char lead = static_cast<unsigned char>(text[end - 1]);
        const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length - (end - 1) >= need) {
            return length;  // the last sequence is complete
        }
        return end - 1;
    }
    return length;
}

}  // namespace

bool Statement::Prepare(const Connection& connection, const std::string& sql, std::string& error) {
    m_stmt = Allocate(SQL_HANDLE_STMT, connection.Get());
    m_params.clear();
    m_paramLengths.clear();
    m_columns.clear();
    if (!m_stmt) {
        error = "cannot allocate a statement: " + Diagnostics(SQL_HANDLE_DBC, connection.Get());
        return false;
    }
    std::string text = connection.Translate(sql);
    SQLRETURN rc = SQLPrepare(m_stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
    if (!Succeeded(rc)) {
        error = "cannot prepare \"" + text + "\": " + Diagnostics(SQL_HANDLE_STMT, m_stmt.Get());
        return false;
    }
    return true;
}

void Statement::BindText(int param, const std::string& value) {
    if (static_cast<size_t>(param) >= m_params.size()) {
        m_params.resize(param + 1);
        m_paramLengths.resize(param + 1);
    }
    m_params[param] = value;
}

bool Statement::Execute(std::string& error) {
    // Bind only now: the parameter vector no longer moves.
    for (size_t i = 0; i < m_params.size(); ++i) {
        m_paramLengths[i] = static_cast<SQLLEN>(m_params[i].size());
        SQLULEN columnSize = m_params[i].empty() ? 1 : m_params[i].size();
        SQLRETURN rc = SQLBindParameter(m_stmt.Get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                        SQL_C_CHAR, SQL_VARCHAR, columnSize, 0, m_params[i].data(),
                                        static_cast<SQLLEN>(m_params[i].size()), &m_paramLengths[i]);
        if (!Succeeded(rc)) {
            error = "cannot bind parameter " + std::to_string(i + 1) + ": " +
                    Diagnostics(SQL_HANDLE_STMT, m_stmt.Get());
            return false;
        }
    }
    SQLRETURN rc = SQLExecute(m_stmt.Get());
    if (!Succeeded(rc) && rc != SQL_NO_DATA) {
        error = Diagnostics(SQL_HANDLE_STMT, m_stmt.Get());
        if (error.empty()) {
            error = "the statement failed without a diagnostic";
        }
        return false;
    }
    return true;
}

void Statement::BindTextColumn(int column) {
    if (static_cast<size_t>(column) >= m_columns.size()) {
        m_columns.resize(column + 1);
    }
    Column& c = m_columns[column];
    c.isText = true;
    c.text.reset(new char[kTextBytes]);
    c.text[0] = '\0';
    SQLBindCol(m_stmt.Get(), static_cast<SQLUSMALLINT>(column + 1), SQL_C_CHAR, c.text.get(), kTextBytes,
               &c.indicator);
}

void Statement::BindIntColumn(int column) {
    if (static_cast<size_t>(column) >= m_columns.size()) {
        m_columns.resize(column + 1);
    }
    Column& c = m_columns[column];
    c.isText = false;
    SQLBindCol(m_stmt.Get(), static_cast<SQLUSMALLINT>(column + 1), SQL_C_SLONG, &c.value, 0, &c.indicator);
}

bool Statement::Fetch(std::string& error) {
    SQLRETURN rc = SQLFetch(m_stmt.Get());
    if (rc == SQL_NO_DATA) {
        return false;
    }
    if (!Succeeded(rc)) {
        error = Diagnostics(SQL_HANDLE_STMT, m_stmt.Get());
        if (error.empty()) {
            error = "fetching a row failed without a diagnostic";
        }
        return false;
    }
    return true;
}

const char* Statement::Text(int column, size_t& length) const {
    const Column& c = m_columns[column];
    if (c.indicator == SQL_NULL_DATA) {
        length = 0;
        return "";
    }
    size_t stored = c.indicator == SQL_NO_TOTAL || c.indicator >= static_cast<SQLLEN>(kTextBytes)
                        ? Utf8Boundary(c.text.get(), kTextBytes - 1)
                        : static_cast<size_t>(c.indicator);
    length = stored;
    return c.text.get();
}

std::int32_t Statement::Int(int column) const {
    const Column& c = m_columns[column];
    return c.indicator == SQL_NULL_DATA ? 0 : c.value;
}

void Statement::CloseCursor() {
    if (m_stmt) {
        SQLFreeStmt(m_stmt.Get(), SQL_CLOSE);
    }
}

}  // namespace tw::odbc
