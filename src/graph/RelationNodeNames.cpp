#include "RelationNodeNames.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "InteractionStore.h"
#include "NameSlots.h"
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
    // Eight bytes a step (the digest runs over every record on each open);
    // each field is closed by its length, so no two splits of a text agree.
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint64_t w) {
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 32;
    };
    auto add = [&mix](const char* p, size_t n) {
        size_t k = 0;
        for (; k + 8 <= n; k += 8) {
            std::uint64_t w;
            std::memcpy(&w, p + k, 8);
            mix(w);
        }
        std::uint64_t tail = 0;
        std::memcpy(&tail, p + k, n - k);
        mix(tail);
        mix(n);
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
    std::vector<std::string> replayed;
    if (!kept) {
        replayed = SphereRelationNodeNames(store);
    }
    const std::vector<std::string>& names = kept ? kept->For(store) : replayed;
    // The records' names go into one table (records sharing a name chained
    // behind the last of them) and the graph is walked once in list order:
    // its nodes are read in the order they lie in memory, not hunted one
    // look-up per record.
    constexpr std::uint32_t kNone = static_cast<std::uint32_t>(-1);
    auto nameOf = [&names](size_t k) -> const std::string& { return names[k]; };
    CNameSlots recordOf;
    recordOf.reserve(names.size());
    std::vector<std::uint32_t> sameName(names.size(), kNone);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) {
            continue;
        }
        auto [stored, added] = recordOf.Insert(names[i], i, nameOf);
        if (!added) {
            sameName[i] = static_cast<std::uint32_t>(CNameSlots::Number(stored));
            CNameSlots::SetNumber(stored, i);
        }
    }
    struct RelationNode {
        const std::string* name;
        std::uint32_t hash;
        NodePos at;
    };
    std::vector<RelationNode> nodes;
    nodes.reserve(names.size());
    int c = 0;
    for (const CCircleData& circle : graph.m_lstCircles) {
        ++c;
        int index = 0;
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            if (m.size == 0) {
                nodes.push_back(RelationNode{&m.name, CNameSlots::Hash(m.name), NodePos{c, index}});
            }
            ++index;
        }
    }
    std::vector<NodePos> positions(names.size());
    constexpr size_t kAhead = 8;  // table slots asked for ahead of their look-up
    for (size_t n = 0; n < nodes.size(); ++n) {
        if (n + kAhead < nodes.size()) {
            recordOf.Prefetch(nodes[n + kAhead].hash);
        }
        const size_t k = recordOf.Find(*nodes[n].name, nodes[n].hash, nameOf);
        // The first node of a name in list order wins.
        if (k != CNameSlots::npos && positions[k].circle == 0) {
            for (size_t r = k; r != kNone; r = sameName[r]) {
                positions[r] = nodes[n].at;
            }
        }
    }
    return positions;
}
