#include "InteractionSet.h"

void CInteractionSet::DoFieldExchange(tw::odbc::FieldExchange& fx) {
    fx.Text("[rel_ID]", m_rel_ID);
    fx.Text("[rel_name]", m_rel_name);
    fx.Text("[rel_name2]", m_rel_name2);
    fx.Text("[rel_mem1]", m_rel_mem1);
    fx.Text("[rel_mem2]", m_rel_mem2);
    fx.Int("[rel_kind]", m_rel_kind);
    fx.Text("[rel_situ]", m_rel_situ);
    fx.Text("[rel_org]", m_rel_org);
    fx.Text("[rel_source]", m_rel_source);
    fx.Text("[rel_rem]", m_rel_rem);
    fx.Text("[rel_prep1]", m_rel_prep1);
    fx.Text("[rel_prep2]", m_rel_prep2);
    fx.Text("[rel_prep3]", m_rel_prep3);
}
