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

namespace {

size_t RecordCount(const CInteractionStore& store) {
    return std::min(store.m_pInteractions.size(), static_cast<size_t>(std::max(store.m_nInteractions, 0)));
}

}  // namespace

std::uint64_t CRelationNodeNames::Digest(const CInteractionStore& store) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a, each field closed by a byte no text holds
    auto add = [&h](const char* p, size_t n) {
        for (size_t k = 0; k < n; ++k) {
            h = (h ^ static_cast<unsigned char>(p[k])) * 1099511628211ull;
        }
        h = (h ^ 0x100) * 1099511628211ull;
    };
    const size_t count = RecordCount(store);
    add(reinterpret_cast<const char*>(&count), sizeof count);
    for (size_t i = 0; i < count; ++i) {
        const InteractionRecord& r = store.m_pInteractions[i];
        add(r.id.data(), r.id.size());
        add(r.member1.data(), r.member1.size());
        add(r.member2.data(), r.member2.size());
        add(reinterpret_cast<const char*>(&r.kind), sizeof r.kind);
    }
    return h;
}

void CRelationNodeNames::Remember(const CNode& graph, const CInteractionStore& store) {
    const size_t count = RecordCount(store);
    m_names.assign(count, std::string());
    for (size_t i = 0; i < count; ++i) {
        const InteractionRecord& r = store.m_pInteractions[i];
        if (r.built) {
            m_names[i] = graph.GetMoleculeName(r.nodeCircle, r.nodeIndex);
        }
    }
    m_digest = Digest(store);
    m_kept = true;
}

const std::vector<std::string>& CRelationNodeNames::For(const CInteractionStore& store) {
    const std::uint64_t digest = Digest(store);
    if (!m_kept || digest != m_digest) {
        m_names = SphereRelationNodeNames(store);
        m_digest = digest;
        m_kept = true;
    }
    return m_names;
}

std::vector<NodePos> LocateRelationNodes(const CNode& graph, const CInteractionStore& store,
                                         CRelationNodeNames* kept) {
    std::unordered_map<std::string_view, NodePos> relationNodes;
    relationNodes.reserve(RecordCount(store));  // about one relation node per interaction
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
    std::vector<std::string> replayed;
    if (!kept) {
        replayed = SphereRelationNodeNames(store);
    }
    const std::vector<std::string>& names = kept ? kept->For(store) : replayed;
    std::vector<NodePos> positions(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        auto it = relationNodes.find(names[i]);
        if (!names[i].empty() && it != relationNodes.end()) {
            positions[i] = it->second;
        }
    }
    return positions;
}
