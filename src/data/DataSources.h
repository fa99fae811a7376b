#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A data source the driver manager has configured (user or system).
struct DataSourceInfo {
    std::string name;
    std::string driver;  // the driver's description as configured
};

// The configured data sources in the driver manager's order; false with
// the diagnostic when the driver manager cannot be asked.
bool ListDataSources(std::vector<DataSourceInfo>& sources, std::string& error);

// How the curator names the source to read from.
struct DataSourceChoice {
    enum class Kind { DataSource, DatabaseFile, ConnectString };
    Kind kind = Kind::DataSource;
    std::string value;  // a data source name, a file path or a connection string
};

// The connection string of a choice, or false with why it is refused: a
// data source the driver manager does not list, a database file that does
// not exist or is not a file (it is never created), a connection string
// that names neither a data source nor a driver.
bool ConnectStringOf(const DataSourceChoice& choice, const std::vector<DataSourceInfo>& listed,
                     std::string& connect, std::string& error);

// The remembered sources with `connect` first, each once, at most `keep`.
std::vector<std::string> RememberSource(const std::vector<std::string>& recent, const std::string& connect,
                                        size_t keep = 5);
