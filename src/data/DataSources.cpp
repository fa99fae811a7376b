#include "DataSources.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "ConnectString.h"
#include "OdbcHandle.h"

using tw::odbc::Allocate;
using tw::odbc::Diagnostics;
using tw::odbc::Handle;
using tw::odbc::Succeeded;

bool ListDataSources(std::vector<DataSourceInfo>& sources, std::string& error) {
    sources.clear();
    Handle env = Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    if (!env) {
        error = "cannot allocate an ODBC environment (is the unixODBC driver manager installed?)";
        return false;
    }
    SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR driver[1024];
    SQLSMALLINT nameLength = 0, driverLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        const SQLRETURN rc = SQLDataSources(env.Get(), direction, name, sizeof name, &nameLength, driver,
                                            sizeof driver, &driverLength);
        if (rc == SQL_NO_DATA) {
            return true;
        }
        if (!Succeeded(rc)) {
            error = "The driver manager did not list its data sources.\n" + Diagnostics(SQL_HANDLE_ENV, env.Get());
            return false;
        }
        sources.push_back({reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(driver)});
        direction = SQL_FETCH_NEXT;
    }
}

namespace {

// A value that the connection string must brace to keep it whole.
std::string Braced(const std::string& value) {
    if (value.find_first_of(";{}=") == std::string::npos && value.front() != ' ' && value.back() != ' ') {
        return value;
    }
    std::string out = "{";
    for (char c : value) {
        out += c;
        if (c == '}') {
            out += '}';
        }
    }
    return out + "}";
}

}  // namespace

bool ConnectStringOf(const DataSourceChoice& choice, const std::vector<DataSourceInfo>& listed,
                     std::string& connect, std::string& error) {
    const std::string& value = choice.value;
    switch (choice.kind) {
    case DataSourceChoice::Kind::DataSource: {
        const bool known = std::any_of(listed.begin(), listed.end(),
                                       [&](const DataSourceInfo& s) { return !value.empty() && s.name == value; });
        if (!known) {
            error = value.empty() ? "Choose a data source." : "The data source \"" + value + "\" is not configured.";
            return false;
        }
        connect = "DSN=" + Braced(value);
        return true;
    }
    case DataSourceChoice::Kind::DatabaseFile: {
        struct stat st;
        if (value.empty()) {
            error = "Choose a database file.";
            return false;
        }
        if (stat(value.c_str(), &st) != 0) {
            error = "The database file " + value + " does not exist.";
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            error = value + " is not a database file.";
            return false;
        }
        // The absolute path: the remembered choice must not depend on the
        // folder the program was started in.
        char resolved[PATH_MAX];
        const std::string path = realpath(value.c_str(), resolved) ? std::string(resolved) : value;
        connect = "Driver=SQLite3;Database=" + Braced(path);
        return true;
    }
    case DataSourceChoice::Kind::ConnectString: {
        std::string ignored;
        if (!tw::odbc::FindAttribute(value, "DSN", ignored) && !tw::odbc::FindAttribute(value, "Driver", ignored) &&
            !tw::odbc::FindAttribute(value, "FILEDSN", ignored)) {
            error = "A connection string names a data source (DSN=...) or a driver (Driver=...).";
            return false;
        }
        connect = value;
        return true;
    }
    }
    return false;
}

std::vector<std::string> RememberSource(const std::vector<std::string>& recent, const std::string& connect,
                                        size_t keep) {
    std::vector<std::string> out{connect};
    for (const std::string& s : recent) {
        if (out.size() >= keep) {
            break;
        }
        if (s != connect && !s.empty()) {
            out.push_back(s);
        }
    }
    out.resize(std::min(out.size(), keep));
    return out;
}
