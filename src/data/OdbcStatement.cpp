#include "OdbcStatement.h"

#include <algorithm>

#include "OdbcConnection.h"

namespace tw::odbc {

namespace {

// A bound text buffer grows to hold the longest value seen so far, up to
// this size; longer values are read apart with SQLGetData.
constexpr size_t kMaxBoundTextBytes = 64 * 1024;

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
        error = Diagnostics(SQL_HANDLE_STMT, m_stmt.Get());
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
    BindTextBuffer(column, kTextBytes);
}

void Statement::BindTextBuffer(int column, size_t bytes) {
    Column& c = m_columns[column];
    c.text.reset(new char[bytes]);
    c.text[0] = '\0';
    c.capacity = bytes;
    SQLBindCol(m_stmt.Get(), static_cast<SQLUSMALLINT>(column + 1), SQL_C_CHAR, c.text.get(),
               static_cast<SQLLEN>(bytes), &c.indicator);
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
    for (size_t i = 0; i < m_columns.size(); ++i) {
        Column& c = m_columns[i];
        c.whole = false;
        const bool cut = c.isText && c.indicator != SQL_NULL_DATA &&
                         (c.indicator == SQL_NO_TOTAL || c.indicator >= static_cast<SQLLEN>(c.capacity));
        if (cut && !FetchWholeText(static_cast<int>(i), error)) {
            return false;
        }
    }
    return true;
}

bool Statement::FetchWholeText(int column, std::string& error) {
    // The buffer held only the value's start; SQLGetData on a bound column
    // returns the value again from its first byte.
    Column& c = m_columns[column];
    c.wholeText.clear();
    SQLLEN expected = c.indicator;  // bytes still to come, or SQL_NO_TOTAL
    for (;;) {
        const size_t have = c.wholeText.size();
        const size_t chunk = expected >= 0 ? static_cast<size_t>(expected) + 1 : 65536;
        c.wholeText.resize(have + chunk);
        SQLLEN length = 0;
        SQLRETURN rc = SQLGetData(m_stmt.Get(), static_cast<SQLUSMALLINT>(column + 1), SQL_C_CHAR,
                                  &c.wholeText[have], static_cast<SQLLEN>(chunk), &length);
        if (rc == SQL_NO_DATA || length == SQL_NULL_DATA) {
            c.wholeText.resize(have);
            break;
        }
        if (!Succeeded(rc)) {
            error = "cannot read a long value of column " + std::to_string(column + 1) + ": " +
                    Diagnostics(SQL_HANDLE_STMT, m_stmt.Get());
            return false;
        }
        if (length == SQL_NO_TOTAL || length >= static_cast<SQLLEN>(chunk)) {
            c.wholeText.resize(have + chunk - 1);  // a part, without its terminator
            expected = length == SQL_NO_TOTAL ? SQL_NO_TOTAL : length - static_cast<SQLLEN>(chunk - 1);
            continue;
        }
        c.wholeText.resize(have + static_cast<size_t>(length));
        break;
    }
    c.whole = true;
    if (c.wholeText.size() < kMaxBoundTextBytes) {
        // Later rows of this column are likely as long: read them bound.
        size_t bytes = c.capacity;
        while (bytes <= c.wholeText.size()) {
            bytes *= 2;
        }
        BindTextBuffer(column, std::min(bytes, kMaxBoundTextBytes));
    }
    return true;
}

const char* Statement::Text(int column, size_t& length) const {
    const Column& c = m_columns[column];
    if (c.indicator == SQL_NULL_DATA) {
        length = 0;
        return "";
    }
    if (c.whole) {
        length = c.wholeText.size();
        return c.wholeText.data();
    }
    length = static_cast<size_t>(c.indicator);
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
