#include "VerdictKeeper.h"

#include "InteractionStore.h"
#include "Node.h"

bool CVerdictKeeper::TurnOn(std::string& error) {
    m_bOn = m_store.EnsureTable(error);
    return m_bOn;
}

bool CVerdictKeeper::Keep(const CReviewStateStore::Verdicts& verdicts, std::string& error) {
    if (!m_bOn || verdicts.empty()) {
        return true;
    }
    if (!m_store.Write(verdicts, error)) {
        m_bOn = false;
        return false;
    }
    return true;
}

bool CVerdictKeeper::Apply(const CInteractionStore& data, CNode& graph, std::string& error) {
    if (!m_bOn) {
        return true;
    }
    std::unordered_map<std::string, int> states;
    if (!m_store.ReadAll(states, error)) {
        return false;
    }
    if (states.empty()) {
        return true;
    }
    for (int r = 0; r < data.m_nInteractions; ++r) {
        const InteractionRecord& record = data.m_pInteractions[static_cast<size_t>(r)];
        auto it = states.find(record.id);
        if (it == states.end() || record.built == 0 || record.nodeCircle <= 0) {
            continue;
        }
        if (MoleculeRecord* node = graph.GetMolecule(record.nodeCircle, record.nodeIndex)) {
            node->state = it->second;
        }
    }
    return true;
}
