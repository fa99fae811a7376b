#include "GraphLookup.h"

#include "Node.h"

const MoleculeRecord* CGraphLookup::Find(const std::string& name, NodePos& position) {
    position = NodePos{-1, -1};
    if (!m_graph) {
        return nullptr;
    }
    if (!m_tabled && ++m_scans > kScansBeforeTable) {
        BuildTable();
    }
    if (!m_tabled) {
        return Scan(name, position);
    }
    auto it = m_first.find(std::string_view(name));
    if (it == m_first.end()) {
        return nullptr;
    }
    position = it->second;
    return m_graph->GetMolecule(position.circle, position.index);
}

const MoleculeRecord* CGraphLookup::Scan(const std::string& name, NodePos& position) const {
    for (int c = 1; c < m_graph->m_circle_count; ++c) {
        for (int i = 0; i < m_graph->GetScanWidth(c); ++i) {
            const MoleculeRecord* m = m_graph->GetMolecule(c, i);
            if (m && m->name == name) {
                position = NodePos{c, i};
                return m;
            }
        }
    }
    return nullptr;
}

void CGraphLookup::BuildTable() {
    m_first.reserve(static_cast<size_t>(m_graph->m_circle_count));
    for (int c = 1; c < m_graph->m_circle_count; ++c) {
        for (int i = 0; i < m_graph->GetScanWidth(c); ++i) {
            if (const MoleculeRecord* m = m_graph->GetMolecule(c, i)) {
                m_first.emplace(std::string_view(m->name), NodePos{c, i});  // the first stays
            }
        }
    }
    m_tabled = true;
}
