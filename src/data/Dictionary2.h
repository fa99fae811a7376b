#pragma once

#include <string>

#include "OdbcRecordset.h"

// The "DIc" keyword dictionary: a word and up to ten part-of-speech tags.
class CDictionary2 : public tw::odbc::Recordset {
public:
    explicit CDictionary2(std::string connect) : Recordset(std::move(connect)) {}

    // POS1 of the first row whose Keyword equals `keyword` without its
    // underscores, asked of the database each time (connecting on first
    // use); empty when there is none or the query failed (GetLastError()).
    std::string LookUpKeyword(const std::string& keyword);

    std::string m_Keyword;
    std::string m_POS1, m_POS2, m_POS3, m_POS4, m_POS5, m_POS6, m_POS7, m_POS8, m_POS9, m_POS10;

protected:
    std::string GetDefaultSQL() const override { return "[DIc]"; }
    void DoFieldExchange(tw::odbc::FieldExchange& fx) override;
};
