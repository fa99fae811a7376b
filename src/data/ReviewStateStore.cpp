#include "ReviewStateStore.h"

#include <cstdlib>
#include <ctime>

#include "OdbcStatement.h"

namespace {

std::string NowUtc() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

}  // namespace

bool CReviewStateStore::Connect(std::string& error) {
    return m_connection.IsOpen() || m_connection.Open(m_connect, error);
}

bool CReviewStateStore::EnsureTable(std::string& error) {
    if (m_tableReady) {
        return true;
    }
    if (!Connect(error)) {
        return false;
    }
    m_tableReady = m_connection.Execute(
        "CREATE TABLE IF NOT EXISTS [review_state] ([interaction_id] VARCHAR(255) NOT NULL PRIMARY KEY, "
        "[state] INTEGER NOT NULL, [time] VARCHAR(32) NOT NULL)",
        {}, error);
    return m_tableReady;
}

bool CReviewStateStore::Write(const Verdicts& verdicts, std::string& error) {
    if (verdicts.empty()) {
        return true;
    }
    if (!EnsureTable(error)) {
        return false;
    }
    const std::string time = NowUtc();
    if (!m_connection.Execute("BEGIN", {}, error)) {
        return false;
    }
    tw::odbc::Statement remove, insert;
    bool ok = remove.Prepare(m_connection, "DELETE FROM [review_state] WHERE [interaction_id] = ?", error) &&
              insert.Prepare(m_connection,
                             "INSERT INTO [review_state] ([interaction_id], [state], [time]) VALUES (?, CAST(? AS INTEGER), ?)",
                             error);
    for (size_t i = 0; ok && i < verdicts.size(); ++i) {
        remove.BindText(0, verdicts[i].first);
        insert.BindText(0, verdicts[i].first);
        insert.BindText(1, std::to_string(verdicts[i].second));
        insert.BindText(2, time);
        ok = remove.Execute(error) && insert.Execute(error);
    }
    std::string ignored;
    if (!ok) {
        m_connection.Execute("ROLLBACK", {}, ignored);
        return false;
    }
    return m_connection.Execute("COMMIT", {}, error);
}

bool CReviewStateStore::ReadAll(std::unordered_map<std::string, int>& states, std::string& error) {
    states.clear();
    if (!Connect(error)) {
        return false;
    }
    tw::odbc::Statement select;
    std::string missing;
    if (!select.Prepare(m_connection, "SELECT [interaction_id], [state] FROM [review_state]", missing) ||
        !select.Execute(missing)) {
        return true;  // no verdict was ever kept here: no table yet
    }
    select.BindTextColumn(0);
    select.BindTextColumn(1);
    while (select.Fetch(error)) {
        size_t length = 0;
        const char* id = select.Text(0, length);
        std::string key(id, length);
        const char* state = select.Text(1, length);
        states[key] = std::atoi(std::string(state, length).c_str());
    }
    return error.empty();
}
