#include "SelectNames.h"

#include <algorithm>

#include "GraphLookup.h"
#include "LinkText.h"
#include "Node.h"

int CSelectNames::ExpandNames(CGraphLookup& lookup, int depth, int start, int end, int kind, int direction,
                              const std::function<void(int, int)>& selectRange) {
    const CNode* graph = Graph();
    // Layer by layer rather than by recursion: each layer is exactly the
    // names the one before it listed, and has no kind filter.
    int firstAdded = -1;
    for (;;) {
        int added = 0;
        for (int p = start; p < end && static_cast<size_t>(p) < m_lstSelectNames.size(); ++p) {
            const std::string name(m_lstSelectNames[static_cast<size_t>(p)]);
            NodePos at;
            const MoleculeRecord* record = lookup.Find(name, at);
            if (!record || !graph) {
                continue;
            }
            added += AddElementNames(at.circle, at.index, kind, 0);
            // A copy of each list, as the walk may list (never change) nodes.
            if (direction == 0 || direction == 1) {
                const std::vector<LinkEntry> links = ParseLinkEntries(record->links);
                for (const LinkEntry& link : links) {
                    added += AddElementNames(link.circle, link.index, kind, 1);
                }
            }
            if (direction == 0 || direction == 2) {
                const std::vector<std::pair<int, int>> backLinks = ParseBackLinks(record->backLinks);
                for (const auto& [circle, index] : backLinks) {
                    added += AddElementNames(circle, index, kind, 1);
                }
            }
        }
        if (firstAdded < 0) {
            firstAdded = added;
        }
        if (direction != 0 && selectRange) {
            selectRange(end, end + added);
        }
        if (depth <= 0) {
            return firstAdded;
        }
        --depth;
        start = end;
        end += added;
        kind = -1;
    }
}

int CSelectNames::AddElementNames(int circle, int index, int kind, int addSelf) {
    const CNode* graph = Graph();
    const MoleculeRecord* record = graph ? graph->GetMolecule(circle, index) : nullptr;
    if (!record) {
        return 0;
    }
    if (kind >= 0 && kind != record->relation) {
        return 0;
    }
    int added = 0;
    if (addSelf == 1 && m_lstSelectNames.AppendNew(record->name)) {
        ++added;
    }
    // An end that names no element has no name to list.
    for (const NodePos& end : {record->left, record->right}) {
        if (end.circle <= 0 || (m_bWalking && m_listedMembers.Contains(end.circle, end.index))) {
            continue;
        }
        const MoleculeRecord* member = graph->GetMolecule(end.circle, end.index);
        if (!member) {
            continue;
        }
        if (m_lstSelectNames.AppendNew(member->name)) {
            ++added;
        }
        if (m_bWalking) {
            m_listedMembers.Insert(end.circle, end.index);
        }
    }
    return added;
}

size_t CSelectNames::PositionSet::Slot(uint64_t key) const {
    const size_t mask = m_keys.size() - 1;
    size_t s = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 24) & mask;
    while (m_keys[s] != 0 && m_keys[s] != key) {
        s = (s + 1) & mask;
    }
    return s;
}

bool CSelectNames::PositionSet::Contains(int circle, int index) const {
    return m_used != 0 && m_keys[Slot(Key(circle, index))] != 0;
}

void CSelectNames::PositionSet::Insert(int circle, int index) {
    if ((m_used + 1) * 2 > m_keys.size()) {
        std::vector<uint64_t> keys(std::max<size_t>(m_keys.size() * 2, 1024), 0);
        keys.swap(m_keys);
        for (uint64_t key : keys) {
            if (key != 0) {
                m_keys[Slot(key)] = key;
            }
        }
    }
    const uint64_t key = Key(circle, index);
    const size_t s = Slot(key);
    if (m_keys[s] == 0) {
        m_keys[s] = key;
        ++m_used;
    }
}

void CSelectNames::PositionSet::Reset() {
    if (m_used != 0) {
        std::fill(m_keys.begin(), m_keys.end(), 0);
        m_used = 0;
    }
}

void CSelectNames::AddNamesOfKind(int kind) {
    const CNode* graph = Graph();
    if (!graph) {
        return;
    }
    for (int c = 1; c < graph->m_circle_count; ++c) {
        for (int i = 0; i < graph->GetScanWidth(c); ++i) {
            const MoleculeRecord* m = graph->GetMolecule(c, i);
            if (!m || m->relation != kind) {
                continue;
            }
            m_lstSelectNames.Append(m->name);
            for (const NodePos& end : {m->left, m->right}) {
                const MoleculeRecord* member = end.circle > 0 ? graph->GetMolecule(end.circle, end.index) : nullptr;
                if (member) {
                    m_lstSelectNames.Append(member->name);
                }
            }
        }
    }
}
