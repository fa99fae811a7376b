#pragma once

#include <string>
#include <vector>

#include "OdbcHandle.h"

namespace tw::odbc {

// One environment and one connection, opened from an ODBC connection string
// ("DSN=InteractionDB", "Driver=SQLite3;Database=/path/file.db", ...).
class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // False with what went wrong and the driver's diagnostic in `error`. A
    // missing SQLite file is reported, never created.
    bool Open(const std::string& connect, std::string& error);
    void Close();
    bool IsOpen() const { return m_open; }
    SQLHDBC Get() const { return m_dbc.Get(); }

    // [bracketed] identifiers of `sql` in this driver's quoting.
    std::string Translate(const std::string& sql) const;

    // Runs one statement with text parameters bound to its ? markers (tools
    // and tests use it to create and fill tables).
    bool Execute(const std::string& sql, const std::vector<std::string>& params, std::string& error);

private:
    Handle m_env;
    Handle m_dbc;
    bool m_open = false;
    char m_quote = '"';
};

// Whether a driver diagnostic reports a lock another program holds, and
// the message that says so above the diagnostic.
bool IsLockDiagnostic(const std::string& diagnostic);
std::string LockMessage(const std::string& diagnostic);

}  // namespace tw::odbc
