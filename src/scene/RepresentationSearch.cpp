// Search: names listed by name, relation kind and link distance, then
// selected.
#include <algorithm>

#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoSelection.h>

#include "LinkText.h"
#include "Node.h"
#include "Representation.h"
#include "SceneHost.h"
#include "SceneNames.h"

namespace {

bool IsKindFilter(int kind) { return kind != -1 && kind != 11; }

}  // namespace

void CRepresentation::SearchAndSelect(const std::string& name, int kind, int distance, int flag) {
    LookupScope lookup(*this);
    m_bSearching = 1;
    if (flag == 0) {
        if (m_pSelection) {
            m_pSelection->deselectAll();
        }
        m_lstSelectNames.Clear();
    }
    if (!name.empty()) {
        m_lstSelectNames.Append(name);
    } else {
        AddNamesOfKind(kind);
    }
    if (IsKindFilter(kind) && !name.empty()) {
        // One step around the first listed name for elements of the kind;
        // the name alone is no result.
        ExpandNames(0, 0, 1, kind, flag);
        if (m_lstSelectNames.size() == 1) {
            m_lstSelectNames.Clear();
        }
    }
    if ((IsKindFilter(kind) || !name.empty()) && distance > 0) {
        ExpandNames(distance - 1, 0, static_cast<int>(m_lstSelectNames.size()), -1, flag);
    }
    if (!m_lstSelectNames.empty()) {
        SelectListedNames();
    }
    m_bSearching = 0;
}

void CRepresentation::ExpandSelection(int direction) {
    LookupScope lookup(*this);
    ExpandNames(0, 0, CollectSelectedNames(), -1, direction);
}

int CRepresentation::CollectSelectedNames() {
    m_lstSelectNames.Clear();
    if (!m_pSelection) {
        return 0;
    }
    const SoPathList& paths = *m_pSelection->getList();
    for (int i = 0; i < paths.getLength(); ++i) {
        m_lstSelectNames.Append(GetSceneName(paths[i]->getTail()));
    }
    return paths.getLength();
}

int CRepresentation::ExpandNames(int depth, int start, int end, int kind, int direction) {
    LookupScope lookup(*this);
    const CNode* graph = Graph();
    // Layer by layer rather than by recursion: each layer is exactly the
    // names the one before it listed, and has no kind filter.
    int firstAdded = -1;
    for (;;) {
        int added = 0;
        for (int p = start; p < end && static_cast<size_t>(p) < m_lstSelectNames.size(); ++p) {
            const std::string name = m_lstSelectNames[static_cast<size_t>(p)];
            NodePos at;
            const MoleculeRecord* record = lookup->Find(name, at);
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
        if (direction != 0) {
            SelectListedRange(end, end + added);
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

int CRepresentation::AddElementNames(int circle, int index, int kind, int addSelf) {
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
        if (end.circle <= 0) {
            continue;
        }
        const MoleculeRecord* member = graph->GetMolecule(end.circle, end.index);
        if (member && m_lstSelectNames.AppendNew(member->name)) {
            ++added;
        }
    }
    return added;
}

void CRepresentation::AddNamesOfKind(int kind) {
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

void CRepresentation::SelectListedNames() {
    // By position: a selection callback may list more names meanwhile.
    for (size_t i = 0; i < m_lstSelectNames.size(); ++i) {
        const std::string name = m_lstSelectNames[i];
        SelectByName(name);
    }
}

void CRepresentation::SelectListedRange(int from, int to) {
    for (int i = std::max(from, 0); i < to && static_cast<size_t>(i) < m_lstSelectNames.size(); ++i) {
        const std::string name = m_lstSelectNames[static_cast<size_t>(i)];
        SelectByName(name);
    }
}

void CRepresentation::SelectByName(const std::string& name) {
    SoNode* node = m_nodeIndex.FirstNamed(name);
    if (!node) {
        m_host.ShowMessage(kNoSuchName);
        return;
    }
    // A sphere lies under the selection node once, so a selected node is
    // selected along this very path and selecting it again changes nothing.
    if (m_selected.Contains(node)) {
        return;
    }
    if (CoinPtr<SoPath> path = m_nodeIndex.PathTo(node)) {
        m_pSelection->SelectUnselected(path.get());
    }
}
