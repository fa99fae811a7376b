#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "MoleculeRecord.h"

class CInteractionStore;
class CNode;

// Which interaction records stand behind a node of the graph: for a
// relation node the record built at its position, for any other name every
// record naming it as member1 or member2. Built once over the whole array
// and read again only when the records or the graph changed (their
// revisions), so a click costs a hash look-up, not a scan of the table.
class CEvidenceIndex {
public:
    // Indexes into store.m_pInteractions, in array order, each once;
    // shared, not copied (a busy molecule has thousands), and kept by
    // whoever holds them when the index is made again. Never null.
    using Records = std::shared_ptr<const std::vector<int>>;
    Records RecordsFor(const CInteractionStore& store, const CNode* graph, const std::string& name);
    const std::vector<int>& RecordsNaming(const CInteractionStore& store, const CNode* graph,
                                          const std::string& name);
    // The first record built at `at`, or -1.
    int RecordBuiltAt(const CInteractionStore& store, const CNode* graph, NodePos at);

private:
    struct Key {
        const void* records = nullptr;
        size_t count = 0;
        std::uint64_t recordRevision = 0;
        std::uint64_t graphSerial = 0;
        std::uint64_t graphRevision = 0;
        bool operator==(const Key& o) const {
            return records == o.records && count == o.count && recordRevision == o.recordRevision &&
                   graphSerial == o.graphSerial && graphRevision == o.graphRevision;
        }
    };
    void Refresh(const CInteractionStore& store, const CNode* graph);

    bool m_bValid = false;
    Key m_key;
    std::unordered_map<std::string, std::shared_ptr<std::vector<int>>> m_byMember;
    std::unordered_map<std::uint64_t, int> m_builtAt;
    // First node of each name, circle by circle.
    std::unordered_map<std::string, NodePos> m_firstNode;
};
