// Selection: the callbacks of the selection node, clicks, related
// selection, Deselect All and the element description.
#include <unordered_set>

#include <Inventor/SoPickedPoint.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "ElementText.h"
#include "InteractionStore.h"
#include "Node.h"
#include "Representation.h"
#include "SceneHost.h"
#include "SceneNames.h"

CRepresentation::LookupScope::LookupScope(CRepresentation& rep) : m_rep(rep) {
    if (!rep.m_pLookup) {
        m_own = std::make_unique<CGraphLookup>(rep.Graph());
        rep.m_pLookup = m_own.get();
    }
}

CRepresentation::LookupScope::~LookupScope() {
    if (m_own) {
        m_rep.m_pLookup = nullptr;
    }
}

int CRepresentation::FlaggedHighlightMode() const {
    const ModeFlags& flags = m_host.GetModeFlags();
    if (flags.m_bViewWithBox) {
        return 0;
    }
    if (flags.m_bSelectiveShowing) {
        return 1;
    }
    return flags.m_bViewByColor ? 2 : -1;
}

void CRepresentation::OnSelect(SoPath* path) {
    SoNode* tail = path ? path->getTail() : nullptr;
    if (!tail || !tail->isOfType(SoSphere::getClassTypeId())) {
        return;
    }
    const std::string name = GetSceneName(tail);
    const ModeFlags& flags = m_host.GetModeFlags();
    if (flags.m_bSelectiveShowing) {
        HighlightPath(path, 1);
    }
    if (flags.m_bViewByColor) {
        HighlightPath(path, 2);
    }
    if (m_bSearching) {
        return;
    }
    LookupScope lookup(*this);
    m_host.SetNodeNameText(DescribeElement(name));
    NodePos position;
    const MoleculeRecord* record = lookup->Find(name, position);
    if (record && record->size == 0) {
        m_host.SetTextSourceText(::DescribeSource(*m_pDoc, name, position));
    }
    SetCurrentName(name);
    if (flags.m_bSelectRelated) {
        SelectRelated(name);
    }
}

void CRepresentation::OnDeselect(SoPath* path) {
    SoNode* tail = path ? path->getTail() : nullptr;
    if (!tail || !tail->isOfType(SoSphere::getClassTypeId())) {
        return;
    }
    m_host.SetNodeNameText(std::string());
    m_host.SetTextSourceText(std::string());
    m_strCurrentName.clear();
    const ModeFlags& flags = m_host.GetModeFlags();
    if (flags.m_bSelectiveShowing) {
        UnhighlightPath(path, 1);
    }
    if (flags.m_bViewByColor) {
        UnhighlightPath(path, 2);
    }
}

void CRepresentation::ToggleSelection(SoPath* picked) {
    if (!m_pSelection || !picked) {
        return;
    }
    CoinPtr<SoPath> keep(picked);
    if (m_pSelection->isSelected(picked)) {
        m_pSelection->deselect(picked);
    } else if (picked->containsNode(m_pSelection.get())) {
        m_pSelection->select(picked);
    }
}

bool CRepresentation::ClickAt(const SbVec2s& pixel, const SbViewportRegion& region) {
    if (!m_pSelection) {
        return false;
    }
    SoRayPickAction pick(region);
    pick.setPoint(pixel);
    pick.apply(m_pRoot.get());
    const SoPickedPoint* picked = pick.getPickedPoint();
    if (!picked || !picked->getPath()->containsNode(m_pSelection.get())) {
        return false;  // empty space, a label or an edge: nothing changes
    }
    ToggleSelection(picked->getPath());
    return true;
}

void CRepresentation::SelectRelated(const std::string& name) {
    // The members of the members first, left before right, the element
    // itself last, each once: cycles and shared members end the walk.
    LookupScope lookup(*this);
    const CNode* graph = Graph();
    std::vector<std::string> order;
    std::unordered_set<std::string> seen{name};
    struct Visit {
        std::string name;
        bool membersDone;
    };
    std::vector<Visit> todo{{name, false}};
    while (!todo.empty()) {
        Visit visit = std::move(todo.back());
        todo.pop_back();
        if (visit.membersDone) {
            order.push_back(std::move(visit.name));
            continue;
        }
        const MoleculeRecord* record = lookup->Find(visit.name);
        todo.push_back({visit.name, true});
        if (!record || !graph) {
            continue;
        }
        // Pushed right first, so that the left member is walked first.
        for (const NodePos& end : {record->right, record->left}) {
            if (end.circle <= 0) {
                continue;
            }
            const MoleculeRecord* member = graph->GetMolecule(end.circle, end.index);
            if (member && seen.insert(member->name).second) {
                todo.push_back({member->name, false});
            }
        }
    }
    SelectAdditionally(order);
}

void CRepresentation::SelectAdditionally(const std::vector<std::string>& names) {
    // As a related search of each name in turn would: every pass selects
    // the whole list, and all but the last name of this walk are selected
    // already by the time the next pass runs.
    m_bSearching = 1;
    for (const std::string& name : names) {
        if (name.empty()) {
            AddNamesOfKind(-1);  // what a search without a name lists
        } else {
            m_lstSelectNames.Append(name);
        }
    }
    SelectListedNames();
    m_bSearching = 0;
}

void CRepresentation::DeselectAll() {
    if (!m_pSelection) {
        return;
    }
    m_pSelection->deselectAll();
    if (m_host.GetModeFlags().m_bSelectRelated) {
        const int mode = FlaggedHighlightMode();
        if (mode >= 0) {
            ResetHighlight(mode);
        }
    }
}

bool CRepresentation::IsNameSelected(const std::string& name) const {
    return m_selected.Contains(m_nodeIndex.FirstNamed(name));
}

std::string CRepresentation::DescribeElement(const std::string& name) {
    LookupScope lookup(*this);
    return ::DescribeElement(*lookup, name);
}
