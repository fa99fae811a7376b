#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "MoleculeRecord.h"

class CInteractionStore;
class CNode;

// The name the sphere-view build gives each interaction's relation node,
// by record index. The build is replayed on a copy of the records, so the
// store's built flags stay as they are.
std::vector<std::string> SphereRelationNodeNames(const CInteractionStore& store);

// Those names kept from a sphere-view build that ran anyway, with a digest
// of what they depend on (each record's id, members and kind), so that
// opening a file after that build need not replay it.
class CRelationNodeNames {
public:
    // Keeps the names `graph` gives the records of `store`, right after
    // the sphere-view build made it from those records.
    void Remember(const CNode& graph, const CInteractionStore& store);
    // The names for the records as they are now: the kept ones while the
    // records are what they were built from, else a replay of the build.
    const std::vector<std::string>& For(const CInteractionStore& store);

private:
    static std::uint64_t Digest(const CInteractionStore& store);
    bool m_kept = false;
    std::uint64_t m_digest = 0;
    std::vector<std::string> m_names;
};

// For each record of `store`, the relation node (size 0) of `graph` that
// bears the name the sphere-view build gives it (from `names` when given),
// the first one in list order; circle 0 where the graph has none.
std::vector<NodePos> LocateRelationNodes(const CNode& graph, const CInteractionStore& store,
                                         CRelationNodeNames* names = nullptr);
