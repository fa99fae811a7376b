#include "EdgeHighlighter.h"

#include <cstdio>

#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include "FieldValues.h"
#include "Node.h"
#include "SceneNames.h"
#include "SelectedNodes.h"

namespace {

// The material of an edge group: its fourth child.
constexpr int kEdgeMaterialChild = 3;

const SbColor kWhite(1.0f, 1.0f, 1.0f);

// The children a search action would visit, in order.
void VisitedChildren(SoGroup* group, int& first, int& last) {
    first = 0;
    last = group->getNumChildren() - 1;
    if (group->isOfType(SoSwitch::getClassTypeId())) {
        const int shown = static_cast<SoSwitch*>(group)->whichChild.getValue();
        if (shown != SO_SWITCH_ALL) {
            first = shown;
            last = shown >= 0 && shown < group->getNumChildren() ? shown : shown - 1;
        }
    }
}

}  // namespace

CEdgeHighlighter::CEdgeHighlighter(const CSelectedNodes& selected, ColorOfKind colorOfKind, NodeOfName nodeOfName)
    : m_selected(selected), m_colorOfKind(std::move(colorOfKind)), m_nodeOfNameInScene(std::move(nodeOfName)) {}

CEdgeHighlighter::~CEdgeHighlighter() = default;

void CEdgeHighlighter::Attach(SoSeparator* edgeRoot, const std::unique_ptr<CNode>& graph) {
    m_pEdgeRoot = edgeRoot;
    m_pGraph = &graph;
    Invalidate();
    m_pendingChanges = 0;
    m_pLastChange = nullptr;
    if (!m_pSensor) {
        m_pSensor = std::make_unique<SoNodeSensor>(&CEdgeHighlighter::Changed, this);
        // Immediate, so that a change is known before the next update.
        m_pSensor->setPriority(0);
    }
    m_pSensor->detach();
    if (edgeRoot) {
        m_pSensor->attach(edgeRoot);
    }
}

void CEdgeHighlighter::Invalidate() {
    m_fresh = false;
    ForgetLooks();
}

void CEdgeHighlighter::Changed(void* data, SoSensor* sensor) {
    auto* self = static_cast<CEdgeHighlighter*>(data);
    if (self->m_bWriting) {
        return;
    }
    // Someone else wrote an edge material (the looks are unknown), or a
    // child was added or removed (so are the edges).
    if (static_cast<SoNodeSensor*>(sensor)->getTriggerField()) {
        self->ForgetLooks();
    } else {
        self->Invalidate();
    }
}

void CEdgeHighlighter::NoteSelectionChange(const SoNode* node) {
    ++m_pendingChanges;
    m_pLastChange = node;
}

size_t CEdgeHighlighter::EdgeCount() {
    Refresh();
    return m_edges.size();
}

void CEdgeHighlighter::Refresh() {
    const CNode* graph = m_pGraph ? m_pGraph->get() : nullptr;
    if (!m_fresh || graph != m_pIndexedGraph || (graph && graph->m_circle_count != m_indexedCircles)) {
        Build();
    }
}

void CEdgeHighlighter::Build() {
    m_edges.clear();
    m_names.clear();
    m_nameIds.clear();
    m_edgesOfName.clear();
    ForgetLooks();
    m_fresh = true;
    const CNode* graph = m_pGraph ? m_pGraph->get() : nullptr;
    m_pIndexedGraph = graph;
    m_indexedCircles = graph ? graph->m_circle_count : 0;
    if (!m_pEdgeRoot) {
        return;
    }
    auto nameId = [&](int circle, int index) {
        const std::string name = graph ? graph->GetMoleculeName(circle, index) : std::string();
        if (name.empty()) {
            return -1;
        }
        auto [it, added] = m_nameIds.emplace(name, static_cast<int>(m_names.size()));
        if (added) {
            m_names.push_back(name);
            m_edgesOfName.emplace_back();
        }
        return it->second;
    };
    std::vector<SoGroup*> todo{m_pEdgeRoot};
    while (!todo.empty()) {
        SoGroup* group = todo.back();
        todo.pop_back();
        int first = 0, last = -1;
        VisitedChildren(group, first, last);
        for (int i = first; i <= last; ++i) {
            SoNode* child = group->getChild(i);
            if (child->isOfType(SoGroup::getClassTypeId())) {
                todo.push_back(static_cast<SoGroup*>(child));
                continue;
            }
            if (!child->isOfType(SoCone::getClassTypeId()) || group->getNumChildren() <= kEdgeMaterialChild) {
                continue;
            }
            SoNode* material = group->getChild(kEdgeMaterialChild);
            if (!material->isOfType(SoMaterial::getClassTypeId())) {
                continue;
            }
            Edge edge{CoinPtr<SoMaterial>(static_cast<SoMaterial*>(material)), -1, -1, -1};
            const std::string materialName = GetSceneName(material);
            if (std::sscanf(materialName.c_str(), "edge_material_%d", &edge.kind) != 1) {
                edge.kind = -1;
            }
            int c1 = 0, i1 = 0, c2 = 0, i2 = 0;
            const std::string coneName = GetSceneName(child);
            if (std::sscanf(coneName.c_str(), "E_%d:%d-%d:%d", &c1, &i1, &c2, &i2) == 4) {
                edge.start = nameId(c1, i1);
                edge.end = nameId(c2, i2);
            }
            const int number = static_cast<int>(m_edges.size());
            if (edge.start >= 0) {
                m_edgesOfName[static_cast<size_t>(edge.start)].push_back(number);
            }
            if (edge.end >= 0 && edge.end != edge.start) {
                m_edgesOfName[static_cast<size_t>(edge.end)].push_back(number);
            }
            m_edges.push_back(std::move(edge));
        }
    }
}

bool CEdgeHighlighter::IsNameSelected(int id) {
    if (id < 0) {
        return false;
    }
    if (m_nodesEpoch != SceneNamingEpoch() || m_nodeKnown.size() != m_names.size()) {
        m_nodeKnown.assign(m_names.size(), 0);
        m_nodeOfName.assign(m_names.size(), nullptr);
        m_nodesEpoch = SceneNamingEpoch();
    }
    const auto i = static_cast<size_t>(id);
    if (!m_nodeKnown[i]) {
        m_nodeOfName[i] = m_nodeOfNameInScene(m_names[i]);
        m_nodeKnown[i] = 1;
    }
    return m_selected.Contains(m_nodeOfName[i]);
}

void CEdgeHighlighter::Apply(const Edge& edge, bool bothSelected, int mode) {
    SoMaterial* material = edge.material.get();
    if (mode == 1) {
        SetFirstValue(material->transparency, bothSelected ? 0.0f : 1.0f);
    } else if (mode == 2) {
        SetFirstValue(material->diffuseColor, bothSelected ? m_colorOfKind(edge.kind) : kWhite);
        SetFirstValue(material->transparency, 0.0f);
    }
}

void CEdgeHighlighter::UpdateAll(int mode) {
    if (mode != 1 && mode != 2) {
        return;
    }
    Refresh();
    // A name counts as selected when the node it stands for here is:
    // look at the selected nodes rather than at every name.
    std::vector<char> selected(m_names.size(), 0);
    m_selected.ForEach([&](const SoNode* node) {
        const std::string name = GetSceneName(node);
        auto it = m_nameIds.find(name);
        if (it != m_nameIds.end() && m_nodeOfNameInScene(name) == node) {
            selected[static_cast<size_t>(it->second)] = 1;
        }
    });
    m_bWriting = true;
    for (const Edge& edge : m_edges) {
        const bool both = edge.start >= 0 && edge.end >= 0 && selected[static_cast<size_t>(edge.start)] &&
                          selected[static_cast<size_t>(edge.end)];
        Apply(edge, both, mode);
    }
    m_bWriting = false;
    m_syncedMode = mode;
    m_syncedEpoch = SceneNamingEpoch();
    m_pendingChanges = 0;
    m_pLastChange = nullptr;
}

void CEdgeHighlighter::UpdateAround(const SoNode* node, int mode) {
    if (mode != 1 && mode != 2) {
        return;
    }
    Refresh();
    const bool onlyThisChanged = m_pendingChanges == 0 || (m_pendingChanges == 1 && m_pLastChange == node);
    if (m_syncedMode != mode || m_syncedEpoch != SceneNamingEpoch() || !onlyThisChanged) {
        UpdateAll(mode);
        return;
    }
    m_pendingChanges = 0;
    m_pLastChange = nullptr;
    const std::string name = GetSceneName(node);
    auto it = m_nameIds.find(name);
    // Edges at this name follow the node the name stands for; when that is
    // another node, this one changes no edge.
    if (it == m_nameIds.end() || m_nodeOfNameInScene(name) != node) {
        return;
    }
    // Every edge here has the look of "not both selected" unless its other
    // molecule is selected: only those can change.
    const int id = it->second;
    const bool self = m_selected.Contains(node);
    m_bWriting = true;
    for (int number : m_edgesOfName[static_cast<size_t>(id)]) {
        const Edge& edge = m_edges[static_cast<size_t>(number)];
        const int other = edge.start == id ? edge.end : edge.start;
        if (other == id || IsNameSelected(other)) {
            Apply(edge, self, mode);
        }
    }
    m_bWriting = false;
}
