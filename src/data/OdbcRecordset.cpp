#include "OdbcRecordset.h"

#include "OdbcStatement.h"

namespace tw::odbc {

bool Recordset::Open() {
    if (m_open) {
        return true;
    }
    m_lastError.clear();
    if (m_fx.m_fields.empty()) {
        DoFieldExchange(m_fx);
    }
    if (!m_connection.IsOpen() && !m_connection.Open(m_connect, m_lastError)) {
        return false;
    }
    if (!Fetch()) {
        return false;
    }
    m_open = true;
    return true;
}

void Recordset::Close() {
    m_open = false;
    m_connection.Close();
    m_bytes.clear();
    m_cellStart.clear();
    m_ints.clear();
    m_rows = m_position = 0;
}

bool Recordset::Requery() {
    if (!m_open) {
        return Open();
    }
    return Fetch();
}

bool Recordset::Fetch() {
    m_bytes.clear();
    m_cellStart.clear();
    m_ints.clear();
    m_rows = m_position = 0;
    m_textColumns = m_intColumns = 0;

    std::string sql = "SELECT ";
    for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
        sql += i ? ", " : "";
        sql += m_fx.m_fields[i].column;
        (m_fx.m_fields[i].text ? m_textColumns : m_intColumns)++;
    }
    sql += " FROM " + GetDefaultSQL();
    if (!m_strFilter.empty()) {
        sql += " WHERE " + m_strFilter;
    }

    Statement stmt;
    if (!stmt.Prepare(m_connection, sql, m_lastError)) {
        return false;
    }
    for (size_t i = 0; i < m_filterParams.size(); ++i) {
        stmt.BindText(static_cast<int>(i), m_filterParams[i]);
    }
    if (!stmt.Execute(m_lastError)) {
        m_lastError = "cannot read " + GetDefaultSQL() + ": " + m_lastError;
        return false;
    }
    for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
        if (m_fx.m_fields[i].text) {
            stmt.BindTextColumn(static_cast<int>(i));
        } else {
            stmt.BindIntColumn(static_cast<int>(i));
        }
    }
    std::string error;
    while (stmt.Fetch(error)) {
        for (size_t i = 0; i < m_fx.m_fields.size(); ++i) {
            if (m_fx.m_fields[i].text) {
                size_t length = 0;
                const char* text = stmt.Text(static_cast<int>(i), length);
                m_cellStart.push_back(m_bytes.size());
                m_bytes.append(text, length);
            } else {
                m_ints.push_back(stmt.Int(static_cast<int>(i)));
            }
        }
        ++m_rows;
    }
    if (!error.empty()) {
        m_lastError = "cannot read " + GetDefaultSQL() + ": " + error;
        m_rows = 0;
        return false;
    }
    Exchange();
    return true;
}

void Recordset::MoveFirst() {
    m_position = 0;
    Exchange();
}

void Recordset::MoveNext() {
    if (m_position < m_rows) {
        ++m_position;
    }
    Exchange();
}

void Recordset::Exchange() {
    if (m_position >= m_rows) {
        return;  // members keep the last row, as a framework recordset's do
    }
    size_t textIndex = m_position * m_textColumns;
    size_t intIndex = m_position * m_intColumns;
    for (const FieldExchange::Field& f : m_fx.m_fields) {
        if (f.text) {
            size_t begin = m_cellStart[textIndex];
            size_t end = textIndex + 1 < m_cellStart.size() ? m_cellStart[textIndex + 1] : m_bytes.size();
            f.text->assign(m_bytes, begin, end - begin);
            ++textIndex;
        } else {
            *f.value = m_ints[intIndex++];
        }
    }
}

}  // namespace tw::odbc
