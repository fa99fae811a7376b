#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "OdbcConnection.h"

// Review verdicts kept in the data source, so that they outlive a rebuild:
// table "review_state" (interaction id, state, time of the verdict), one
// row per interaction, created when first needed. Connects on first use.
class CReviewStateStore {
public:
    using Verdicts = std::vector<std::pair<std::string, int>>;  // interaction id, state

    explicit CReviewStateStore(std::string connect) : m_connect(std::move(connect)) {}
    // Another source from the next use on.
    void SetConnect(const std::string& connect) {
        m_connection.Close();
        m_connect = connect;
        m_tableReady = false;
    }

    // Creates the table unless it exists; false with the driver's
    // diagnostic when the source cannot take it (read only, no rights).
    bool EnsureTable(std::string& error);
    // Writes the verdicts in one transaction, each stamped with the time
    // now (UTC); a later verdict for an id replaces the earlier one.
    bool Write(const Verdicts& verdicts, std::string& error);
    // The stored state per interaction id; empty when there is no table.
    bool ReadAll(std::unordered_map<std::string, int>& states, std::string& error);

private:
    bool Connect(std::string& error);

    std::string m_connect;
    tw::odbc::Connection m_connection;
    bool m_tableReady = false;
};
