// Search: names listed by name, relation kind and link distance, then
// selected.
#include <algorithm>

#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoSelection.h>

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
    return m_selectNames.ExpandNames(*lookup, depth, start, end, kind, direction,
                                     [this](int from, int to) { SelectListedRange(from, to); });
}

int CRepresentation::AddElementNames(int circle, int index, int kind, int addSelf) {
    return m_selectNames.AddElementNames(circle, index, kind, addSelf);
}

void CRepresentation::AddNamesOfKind(int kind) { m_selectNames.AddNamesOfKind(kind); }

void CRepresentation::SelectListedNames() {
    // By position: a selection callback may list more names meanwhile.
    for (size_t i = 0; i < m_lstSelectNames.size(); ++i) {
        const std::string name(m_lstSelectNames[i]);
        SelectByName(name);
    }
}

void CRepresentation::SelectListedRange(int from, int to) {
    for (int i = std::max(from, 0); i < to && static_cast<size_t>(i) < m_lstSelectNames.size(); ++i) {
        const std::string name(m_lstSelectNames[static_cast<size_t>(i)]);
        SelectByName(name);
    }
}

void CRepresentation::SelectByName(const std::string& name) {
    if (!SelectNamed(name)) {
        m_host.ShowMessage(kNoSuchName);
    }
}

std::vector<std::string> CRepresentation::SelectListedNamesQuietly() {
    const int wasSearching = m_bSearching;
    m_bSearching = 1;
    std::vector<std::string> missing;
    for (size_t i = 0; i < m_lstSelectNames.size(); ++i) {
        const std::string name(m_lstSelectNames[i]);
        if (!SelectNamed(name)) {
            missing.push_back(name);
        }
    }
    m_bSearching = wasSearching;
    return missing;
}

bool CRepresentation::SelectNamed(const std::string& name) {
    SoNode* node = m_nodeIndex.FirstNamed(name);
    if (!node) {
        return false;
    }
    // A sphere lies under the selection node once, so a selected node is
    // selected along this very path and selecting it again changes nothing.
    if (m_selected.Contains(node)) {
        return true;
    }
    if (CoinPtr<SoPath> path = m_nodeIndex.PathTo(node)) {
        m_pSelection->SelectUnselected(path.get());
    }
    return true;
}
