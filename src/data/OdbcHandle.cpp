#include "OdbcHandle.h"

namespace tw::odbc {

void Handle::Reset() {
    if (m_handle == SQL_NULL_HANDLE) {
        return;
    }
    if (m_type == SQL_HANDLE_DBC) {
        SQLDisconnect(m_handle);  // harmless when never connected
    }
    SQLFreeHandle(m_type, m_handle);
    m_handle = SQL_NULL_HANDLE;
}

Handle Allocate(SQLSMALLINT type, SQLHANDLE parent) {
    SQLHANDLE h = SQL_NULL_HANDLE;
    if (!Succeeded(SQLAllocHandle(type, parent, &h))) {
        return Handle();
    }
    return Handle(type, h);
}

std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::string text;
    if (handle == SQL_NULL_HANDLE) {
        return text;
    }
    for (SQLSMALLINT rec = 1;; ++rec) {
        SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {0};
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {0};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRec(type, handle, rec, state, &native, message, sizeof message, &length);
        if (!Succeeded(rc)) {
            break;
        }
        if (!text.empty()) {
            text += "; ";
        }
        text += "[";
        text += reinterpret_cast<const char*>(state);
        text += "] ";
        text += reinterpret_cast<const char*>(message);
    }
    return text;
}

}  // namespace tw::odbc
