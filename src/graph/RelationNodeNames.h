#pragma once

#include <string>
#include <vector>

#include "MoleculeRecord.h"

class CInteractionStore;
class CNode;

// The name the sphere-view build gives each interaction's relation node,
// by record index. The build is replayed on a copy of the records, so the
// store's built flags stay as they are.
std::vector<std::string> SphereRelationNodeNames(const CInteractionStore& store);

// For each record of `store`, the relation node (size 0) of `graph` that
// bears the name the sphere-view build gives it, the first one in list
// order; circle 0 where the graph has none.
std::vector<NodePos> LocateRelationNodes(const CNode& graph, const CInteractionStore& store);
