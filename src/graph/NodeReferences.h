#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "MoleculeRecord.h"

class CNode;

// Where the nodes of a circle are named from: the nodes whose links,
// incoming links or ends may point into it, and the interaction records
// placed in it. A removal re-points only those instead of reading whole
// circles (one of them may hold thousands of nodes) and every record.
// Kept as a superset: nodes and circles that changed since the last look
// are read again at their places and added where they point (a place
// that no longer points there stays listed); everything is read again for
// another graph, a changed circle list or another record array.
class CNodeReferences {
public:
    // Ascending (by circle, then index), each once; some may be gone.
    const std::vector<NodePos>& NodesPointingInto(const CNode& graph, int circle);
    // Records whose node circle is `circle`, ascending (built or not: the
    // circle of a record only changes when the graph is built anew).
    const std::vector<int>& RecordsPlacedIn(const CNode& graph, int circle);

private:
    void Refresh(const CNode& graph);
    void ReadCircle(const CNode& graph, int circle);
    void ReadNode(const MoleculeRecord& m, NodePos at, std::unordered_set<std::uint64_t>& prints);
    void PointsInto(int target, NodePos from);

    bool m_built = false;
    std::uint64_t m_serial = 0;
    std::uint64_t m_revision = 0;
    const void* m_recordData = nullptr;
    size_t m_recordCount = 0;
    bool m_recordsBuilt = false;
    struct Referrers {
        std::vector<NodePos> nodes;
        bool clean = false;  // ascending, each once
    };
    std::unordered_map<int, Referrers> m_into;
    std::unordered_map<int, std::vector<int>> m_records;
    // By circle, hashes of the texts read there with their places.
    std::unordered_map<int, std::unordered_set<std::uint64_t>> m_prints;
    std::vector<int> m_none;
    std::vector<NodePos> m_noNodes;
};
