#include "OdbcConnection.h"

#include "SqlIdentifiers.h"
#include "OdbcStatement.h"

namespace tw::odbc {

bool Connection::Open(const std::string& connect, std::string& error) {
    Close();
    m_env = Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    if (!m_env) {
        error = "cannot allocate an ODBC environment (is the unixODBC driver manager installed?)";
        return false;
    }
    SQLSetEnvAttr(m_env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    m_dbc = Allocate(SQL_HANDLE_DBC, m_env.Get());
    if (!m_dbc) {
        error = "cannot allocate an ODBC connection: " + Diagnostics(SQL_HANDLE_ENV, m_env.Get());
        return false;
    }
    std::string in = connect;
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(m_dbc.Get(), nullptr, reinterpret_cast<SQLCHAR*>(in.data()),
                                    static_cast<SQLSMALLINT>(in.size()), out, sizeof out, &outLength,
                                    SQL_DRIVER_NOPROMPT);
    if (!Succeeded(rc)) {
        error = "cannot connect with \"" + connect + "\": " + Diagnostics(SQL_HANDLE_DBC, m_dbc.Get());
        m_dbc.Reset();
        m_env.Reset();
        return false;
    }
    m_open = true;
    SQLCHAR quote[8] = {0};
    SQLSMALLINT quoteLength = 0;
    if (Succeeded(SQLGetInfo(m_dbc.Get(), SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &quoteLength)) &&
        quoteLength > 0) {
        m_quote = static_cast<char>(quote[0]);
    }
    // SQLite reads an unknown "name" as a string literal, so a missing
    // column would go unnoticed; its own [name] quoting has no such fallback.
    SQLCHAR dbms[64] = {0};
    SQLSMALLINT dbmsLength = 0;
    if (Succeeded(SQLGetInfo(m_dbc.Get(), SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsLength)) &&
        std::string(reinterpret_cast<const char*>(dbms)) == "SQLite") {
        m_quote = '[';
    }
    return true;
}

void Connection::Close() {
    m_dbc.Reset();
    m_env.Reset();
    m_open = false;
}

std::string Connection::Translate(const std::string& sql) const {
    return m_quote == '[' ? sql : TranslateBrackets(sql, m_quote);
}

bool Connection::Execute(const std::string& sql, const std::vector<std::string>& params, std::string& error) {
    Statement stmt;
    if (!stmt.Prepare(*this, sql, error)) {
        return false;
    }
    for (size_t i = 0; i < params.size(); ++i) {
        stmt.BindText(static_cast<int>(i), params[i]);
    }
    return stmt.Execute(error);
}

}  // namespace tw::odbc
