#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <utility>

namespace tw::odbc {

// Owns one ODBC handle and frees it with the matching handle type.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE handle) : m_type(type), m_handle(handle) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept { *this = std::move(other); }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_type = other.m_type;
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }

    SQLHANDLE Get() const { return m_handle; }
    SQLSMALLINT Type() const { return m_type; }
    explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }
    void Reset();

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// Allocates a handle of `type` under `parent`; an empty handle on failure.
Handle Allocate(SQLSMALLINT type, SQLHANDLE parent);

// The driver's and driver manager's diagnostic records for a handle, as
// "[SQLSTATE] message" lines joined by "; ".
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle);

inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

}  // namespace tw::odbc
