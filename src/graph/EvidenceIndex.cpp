#include "EvidenceIndex.h"

#include "InteractionStore.h"
#include "Node.h"

namespace {

std::uint64_t PosKey(NodePos at) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(at.circle)) << 32) |
           static_cast<std::uint32_t>(at.index);
}

}  // namespace

void CEvidenceIndex::Refresh(const CInteractionStore& store, const CNode* graph) {
    const std::vector<InteractionRecord>& records = store.m_pInteractions;
    Key key{records.data(), records.size(), store.GetRecordRevision(), graph ? graph->GetSerial() : 0,
            graph ? graph->GetRevision() : 0};
    if (m_bValid && key == m_key) {
        return;
    }
    m_byMember.clear();
    m_builtAt.clear();
    m_firstNode.clear();
    m_byMember.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const InteractionRecord& r = records[i];
        const int at = static_cast<int>(i);
        auto add = [this, at](const std::string& member) {
            std::shared_ptr<std::vector<int>>& list = m_byMember[member];
            if (!list) {
                list = std::make_shared<std::vector<int>>();
            }
            list->push_back(at);
        };
        if (!r.member1.empty()) {
            add(r.member1);
        }
        // A record naming the same molecule twice (a homo-multimer) is listed once.
        if (!r.member2.empty() && r.member2 != r.member1) {
            add(r.member2);
        }
        if (r.built && r.nodeCircle > 0) {
            m_builtAt.emplace(PosKey({r.nodeCircle, r.nodeIndex}), at);
        }
    }
    if (graph) {
        // Every node, not only the first of each circle as name scans go:
        // relation nodes stand in the middle of their circles.
        for (const CCircleData& circle : graph->m_lstCircles) {
            int i = 0;
            for (const MoleculeRecord& m : circle.m_lstMolecules) {
                m_firstNode.emplace(m.name, NodePos{circle.CircleNum, i++});
            }
        }
    }
    m_key = key;
    m_bValid = true;
}

const std::vector<int>& CEvidenceIndex::RecordsNaming(const CInteractionStore& store, const CNode* graph,
                                                      const std::string& name) {
    static const std::vector<int> kNone;
    Refresh(store, graph);
    const auto it = m_byMember.find(name);
    return it == m_byMember.end() ? kNone : *it->second;
}

int CEvidenceIndex::RecordBuiltAt(const CInteractionStore& store, const CNode* graph, NodePos at) {
    Refresh(store, graph);
    const auto it = m_builtAt.find(PosKey(at));
    return it == m_builtAt.end() ? -1 : it->second;
}

CEvidenceIndex::Records CEvidenceIndex::RecordsFor(const CInteractionStore& store, const CNode* graph,
                                                   const std::string& name) {
    Refresh(store, graph);
    const auto first = m_firstNode.find(name);
    if (first != m_firstNode.end()) {
        const NodePos at = first->second;
        const MoleculeRecord* node = graph->GetMolecule(at.circle, at.index);
        if (node && node->size == 0) {
            const int built = RecordBuiltAt(store, graph, at);
            return std::make_shared<const std::vector<int>>(built >= 0 ? std::vector<int>{built} : std::vector<int>{});
        }
    }
    const auto it = m_byMember.find(name);
    return it == m_byMember.end() ? std::make_shared<const std::vector<int>>() : it->second;
}
