#include "RelationNodeNames.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "InteractionStore.h"
#include "Node.h"
#include "SphereBuild.h"

std::vector<std::string> SphereRelationNodeNames(const CInteractionStore& store) {
    CInteractionStore scratch("");
    const size_t count =
        std::min(store.m_pInteractions.size(), static_cast<size_t>(std::max(store.m_nInteractions, 0)));
    scratch.m_pInteractions.resize(count);
    // The build reads only the identity and the members of a record.
    for (size_t i = 0; i < count; ++i) {
        const InteractionRecord& from = store.m_pInteractions[i];
        InteractionRecord& to = scratch.m_pInteractions[i];
        to.id = from.id;
        to.member1 = from.member1;
        to.member2 = from.member2;
        to.kind = from.kind;
    }
    scratch.m_nInteractions = static_cast<int>(count);
    std::string error;
    const std::unique_ptr<CNode> built = BuildSphereGraphFromArray(scratch, error);
    std::vector<std::string> names(count);
    if (!built) {
        return names;  // names past their limits: no record names a relation node
    }
    for (size_t i = 0; i < count; ++i) {
        const InteractionRecord& r = scratch.m_pInteractions[i];
        if (r.built) {
            names[i] = built->GetMoleculeName(r.nodeCircle, r.nodeIndex);
        }
    }
    return names;
}

std::vector<NodePos> LocateRelationNodes(const CNode& graph, const CInteractionStore& store) {
    std::unordered_map<std::string_view, NodePos> relationNodes;
    int c = 0;
    for (const CCircleData& circle : graph.m_lstCircles) {
        ++c;
        int i = 0;
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            if (m.size == 0) {
                relationNodes.emplace(m.name, NodePos{c, i});
            }
            ++i;
        }
    }
    const std::vector<std::string> names = SphereRelationNodeNames(store);
    std::vector<NodePos> positions(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        auto it = relationNodes.find(names[i]);
        if (!names[i].empty() && it != relationNodes.end()) {
            positions[i] = it->second;
        }
    }
    return positions;
}
