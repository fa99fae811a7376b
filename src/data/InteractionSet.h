#pragma once

#include <cstdint>
#include <string>

#include "OdbcRecordset.h"

// The "relation" table: one row per interaction the text mining extracted.
class CInteractionSet : public tw::odbc::Recordset {
public:
    explicit CInteractionSet(std::string connect) : Recordset(std::move(connect)) {}

    std::string m_rel_ID;
    std::string m_rel_name;
    std::string m_rel_name2;
    std::string m_rel_mem1;
    std::string m_rel_mem2;
    std::int32_t m_rel_kind = 0;
    std::string m_rel_situ;
    std::string m_rel_org;
    std::string m_rel_source;
    std::string m_rel_rem;
    std::string m_rel_prep1;
    std::string m_rel_prep2;
    std::string m_rel_prep3;

protected:
    std::string GetDefaultSQL() const override { return "[relation]"; }
    void DoFieldExchange(tw::odbc::FieldExchange& fx) override;
};
