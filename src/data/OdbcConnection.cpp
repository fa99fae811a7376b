#include "OdbcConnection.h"

#include <odbcinst.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "ConnectString.h"
#include "OdbcStatement.h"
#include "SqlIdentifiers.h"

namespace tw::odbc {

namespace {

constexpr long kLoginTimeoutSeconds = 5;
constexpr int kBusyTimeoutMilliseconds = 3000;
// The driver manager takes the string's length as a 16-bit count; the
// SQLite3 driver copies the string into a 4 KiB buffer. Both cut silently.
constexpr size_t kDriverManagerLimit = 32767;
constexpr size_t kSqlite3DriverLimit = 4095;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// An attribute of a configured data source (user or system) or, with
// "ODBCINST.INI", of an installed driver; empty when absent.
std::string ProfileValue(const std::string& section, const char* key, const char* file = "ODBC.INI") {
    char value[4096] = {0};
    SQLGetPrivateProfileString(section.c_str(), key, "", value, sizeof value, file);
    return value;
}

// By its name, its library, or the library it is registered with.
bool IsSqlite3Driver(const std::string& driver) {
    auto sqlite3 = [](const std::string& text) {
        const std::string name = Lower(text);
        return name == "sqlite3" || name.find("sqlite3odbc") != std::string::npos;
    };
    return !driver.empty() && (sqlite3(driver) || sqlite3(ProfileValue(driver, "Driver", "ODBCINST.INI")));
}

bool IsDriverInstalled(SQLHENV env, const std::string& driver) {
    struct stat st;
    if (driver.find('/') != std::string::npos) {
        return stat(driver.c_str(), &st) == 0;
    }
    SQLCHAR name[256];
    SQLCHAR attributes[1024];
    SQLSMALLINT nameLength = 0, attributesLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
         Succeeded(SQLDrivers(env, direction, name, sizeof name, &nameLength, attributes, sizeof attributes,
                              &attributesLength));
         direction = SQL_FETCH_NEXT) {
        if (Lower(reinterpret_cast<const char*>(name)) == Lower(driver)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsLockDiagnostic(const std::string& diagnostic) {
    return diagnostic.find("is locked") != std::string::npos || diagnostic.find("[55P03]") != std::string::npos;
}

std::string LockMessage(const std::string& diagnostic) {
    return "The database is locked by another program. Try again once that program has finished.\n" + diagnostic;
}

bool Connection::Open(const std::string& connect, std::string& error) {
    Close();
    std::string driver, dsn, database;
    const bool byDataSource = !FindAttribute(connect, "Driver", driver) && FindAttribute(connect, "DSN", dsn);
    if (byDataSource) {
        driver = ProfileValue(dsn, "Driver");
    }
    std::string in = connect;
    size_t limit = kDriverManagerLimit;
    const bool sqlite = IsSqlite3Driver(driver);
    if (sqlite) {
        if (!FindAttribute(connect, "Database", database) && byDataSource) {
            database = ProfileValue(dsn, "Database");
        }
        struct stat st;
        if (!database.empty() && database != ":memory:" && database.compare(0, 5, "file:") != 0 &&
            stat(database.c_str(), &st) != 0 && errno == ENOENT) {
            error = "The database file " + database + " does not exist.";
            return false;
        }
        // Otherwise the driver creates a missing file, and waits minutes
        // for a lock before it reports it.
        AddAttributeIfAbsent(in, "NoCreat", "1");
        AddAttributeIfAbsent(in, "Timeout", std::to_string(kBusyTimeoutMilliseconds));
        // Otherwise the driver copies a whole result into its own table
        // before the first fetch: reading a large relation table would hold
        // every value twice.
        AddAttributeIfAbsent(in, "StepAPI", "1");
        limit = kSqlite3DriverLimit;
    }
    if (in.size() > limit) {
        error = "The connection string is too long: " + std::to_string(in.size()) + " characters, and the " +
                (sqlite ? "SQLite3 driver" : "ODBC driver manager") + " reads at most " + std::to_string(limit) +
                ".";
        return false;
    }

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
    // An unreachable server is reported instead of waited for.
    SQLSetConnectAttr(m_dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(m_dbc.Get(), nullptr, reinterpret_cast<SQLCHAR*>(in.data()),
                                    static_cast<SQLSMALLINT>(in.size()), out, sizeof out, &outLength,
                                    SQL_DRIVER_NOPROMPT);
    if (!Succeeded(rc)) {
        const std::string diagnostic = Diagnostics(SQL_HANDLE_DBC, m_dbc.Get());
        if (byDataSource && driver.empty()) {
            error = "The ODBC data source \"" + dsn + "\" is not configured (see scripts/setup-datasource.sh).\n" +
                    diagnostic;
        } else if (!driver.empty() && !IsDriverInstalled(m_env.Get(), driver)) {
            error = "The ODBC driver \"" + driver + "\" is not installed.\n" + diagnostic;
        } else if (IsLockDiagnostic(diagnostic)) {
            error = LockMessage(diagnostic);
        } else if (diagnostic.find("timeout expired") != std::string::npos) {
            error = "The database server did not answer within " + std::to_string(kLoginTimeoutSeconds) +
                    " seconds.\n" + diagnostic;
        } else {
            error = "Cannot connect with \"" + connect + "\".\n" + diagnostic;
        }
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
    SQLGetInfo(m_dbc.Get(), SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsLength);
    const std::string product = reinterpret_cast<const char*>(dbms);
    if (product == "SQLite") {
        m_quote = '[';
    }
    if (product == "PostgreSQL") {
        // A table another session locks is reported, not waited for.
        std::string ignored;
        Execute("SET lock_timeout = " + std::to_string(kBusyTimeoutMilliseconds), {}, ignored);
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
