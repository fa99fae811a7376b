#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "MoleculeRecord.h"

class CNode;

// Finds graph elements by name the way the graph's own name scans do
// (FindMoleculeByName, FindMoleculePosition): circles from 1, indices below
// the scan width, the first equal name wins. One object serves one
// operation, during which the graph does not change: the first few
// look-ups scan, and once an operation asks for more a table of first
// positions answers in constant time.
class CGraphLookup {
public:
    explicit CGraphLookup(const CNode* graph) : m_graph(graph) {}

    // The element bearing `name` and its position; null and (-1, -1) when
    // no element bears it.
    const MoleculeRecord* Find(const std::string& name, NodePos& position);
    const MoleculeRecord* Find(const std::string& name) {
        NodePos ignored;
        return Find(name, ignored);
    }

    const CNode* Graph() const { return m_graph; }

private:
    static constexpr int kScansBeforeTable = 3;

    const MoleculeRecord* Scan(const std::string& name, NodePos& position) const;
    void BuildTable();

    const CNode* m_graph;
    int m_scans = 0;
    bool m_tabled = false;
    // Views of the names held by the graph, which outlives this object.
    std::unordered_map<std::string_view, NodePos> m_first;
};
