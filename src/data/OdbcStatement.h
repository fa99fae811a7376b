#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "OdbcHandle.h"

namespace tw::odbc {

class Connection;

// A prepared statement with text input parameters and bound result columns.
// Parameters and column buffers live in the statement, so the caller's
// values need not outlive the binding.
class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // `sql` may use [bracketed] identifiers; they are translated for the driver.
    bool Prepare(const Connection& connection, const std::string& sql, std::string& error);
    void BindText(int param, const std::string& value);
    bool Execute(std::string& error);

    // Result columns, numbered from 0 in SELECT order; bind before Fetch.
    // Texts of any length arrive whole.
    void BindTextColumn(int column);
    void BindIntColumn(int column);
    // True while a row was fetched; false at the end or on error (see error).
    bool Fetch(std::string& error);
    // Column values of the fetched row; NULL reads as empty text or 0.
    const char* Text(int column, size_t& length) const;
    std::int32_t Int(int column) const;
    void CloseCursor();

    // A text buffer starts with room for 255 characters of UTF-8.
    static constexpr size_t kTextBytes = 255 * 4 + 1;

private:
    struct Column {
        bool isText = false;
        std::unique_ptr<char[]> text;
        size_t capacity = 0;
        std::int32_t value = 0;
        SQLLEN indicator = 0;
        bool whole = false;  // the row's value was longer than the buffer: see wholeText
        std::string wholeText;
    };
    void BindTextBuffer(int column, size_t bytes);
    bool FetchWholeText(int column, std::string& error);

    Handle m_stmt;
    std::vector<std::string> m_params;
    std::vector<SQLLEN> m_paramLengths;
    std::deque<Column> m_columns;  // the driver keeps addresses of the bound members
};

}  // namespace tw::odbc
