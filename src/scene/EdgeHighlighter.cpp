#include "EdgeHighlighter.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include "EdgeReuse.h"
#include "FieldValues.h"
#include "Node.h"
#include "SceneNames.h"
#include "SelectedNodes.h"

namespace {

// The material of an edge group: its fourth child.
constexpr int kEdgeMaterialChild = 3;

const SbColor kWhite(1.0f, 1.0f, 1.0f);

template <class T>
T* As(SoNode* node) {
    return node && node->isOfType(T::getClassTypeId()) ? static_cast<T*>(node) : nullptr;
}

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

CEdgeHighlighter::CEdgeHighlighter(const CSelectedNodes& selected, ColorOfKind colorOfKind, NodeOfName nodeOfName,
                                   NamesStamp namesStamp)
    : m_selected(selected),
      m_colorOfKind(std::move(colorOfKind)),
      m_nodeOfNameInScene(std::move(nodeOfName)),
      m_namesStamp(std::move(namesStamp)) {}

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
    return m_liveEdges;
}

void CEdgeHighlighter::Refresh(bool followGraph) {
    const CNode* graph = m_pGraph ? m_pGraph->get() : nullptr;
    const std::uint64_t serial = graph ? graph->GetSerial() : 0;
    if (!m_fresh || serial != m_indexedSerial || (graph && graph->m_circle_count != m_indexedCircles) ||
        (followGraph && !CatchUp())) {
        Build();
    }
}

void CEdgeHighlighter::AfterEdit() {
    // Edges that left the scene are dropped once they outnumber the rest.
    // Names catch up when next asked for: the rebuilds that follow an edit
    // replace most edges whose ends moved, and those are not worth renaming.
    if (m_edges.size() > 2 * m_liveEdges + 1024) {
        m_fresh = false;
    }
}

bool CEdgeHighlighter::CatchUp() {
    const CNode* graph = m_pGraph ? m_pGraph->get() : nullptr;
    return !graph || graph->GetRevision() == m_indexedRevision || FollowGraph(*graph);
}

void CEdgeHighlighter::Build() {
    m_edges.clear();
    m_live.clear();
    m_liveEdges = 0;
    m_edgesOfGroup.clear();
    m_edgesAtCircle.clear();
    m_names.clear();
    m_nameIds.clear();
    m_edgesOfName.clear();
    m_nodeKnown.clear();
    m_nodeOfName.clear();
    ForgetLooks();
    m_fresh = true;
    const CNode* graph = m_pGraph ? m_pGraph->get() : nullptr;
    m_indexedSerial = graph ? graph->GetSerial() : 0;
    m_indexedRevision = graph ? graph->GetRevision() : 0;
    m_indexedCircles = graph ? graph->m_circle_count : 0;
    if (!m_pEdgeRoot) {
        return;
    }
    int first = 0, last = -1;
    VisitedChildren(m_pEdgeRoot, first, last);
    for (int i = first; i <= last; ++i) {
        SoNode* child = m_pEdgeRoot->getChild(i);
        if (child->isOfType(SoGroup::getClassTypeId())) {
            AddEdges(static_cast<SoGroup*>(child));
        }
    }
}

int CEdgeHighlighter::NameId(const std::string& name) {
    if (name.empty()) {
        return -1;
    }
    auto [it, added] = m_nameIds.emplace(name, static_cast<int>(m_names.size()));
    if (added) {
        m_names.push_back(name);
        m_edgesOfName.emplace_back();
    }
    return it->second;
}

std::string CEdgeHighlighter::NameAt(NodePos at) const {
    const CNode* graph = m_pGraph ? m_pGraph->get() : nullptr;
    return graph && at.circle != 0 ? graph->GetMoleculeName(at.circle, at.index) : std::string();
}

void CEdgeHighlighter::SetNames(int number) {
    Edge& edge = m_edges[static_cast<size_t>(number)];
    edge.start = NameId(NameAt(edge.from));
    edge.end = NameId(NameAt(edge.to));
    if (edge.start >= 0) {
        m_edgesOfName[static_cast<size_t>(edge.start)].push_back(number);
    }
    if (edge.end >= 0 && edge.end != edge.start) {
        m_edgesOfName[static_cast<size_t>(edge.end)].push_back(number);
    }
}

void CEdgeHighlighter::AddEdges(SoGroup* top, const std::unordered_set<const SoNode*>* skip) {
    AddEdgesBelow(top, skip, m_edgesOfGroup[top]);
}

void CEdgeHighlighter::AddEdgesBelow(SoGroup* top, const std::unordered_set<const SoNode*>* skip,
                                     std::vector<int>& ofGroup) {
    std::vector<SoGroup*> todo{top};
    while (!todo.empty()) {
        SoGroup* group = todo.back();
        todo.pop_back();
        int first = 0, last = -1;
        VisitedChildren(group, first, last);
        for (int i = first; i <= last; ++i) {
            SoNode* child = group->getChild(i);
            if (child->isOfType(SoGroup::getClassTypeId())) {
                if (!skip || !skip->count(child)) {
                    todo.push_back(static_cast<SoGroup*>(child));
                }
                continue;
            }
            if (!child->isOfType(SoCone::getClassTypeId()) || group->getNumChildren() <= kEdgeMaterialChild) {
                continue;
            }
            SoNode* material = group->getChild(kEdgeMaterialChild);
            if (!material->isOfType(SoMaterial::getClassTypeId())) {
                continue;
            }
            Edge edge{CoinPtr<SoMaterial>(static_cast<SoMaterial*>(material)), -1, -1, -1, {}, {}};
            const std::string materialName = GetSceneName(material);
            if (std::sscanf(materialName.c_str(), "edge_material_%d", &edge.kind) != 1) {
                edge.kind = -1;
            }
            EdgeConeEnds(GetSceneName(child), edge.from, edge.to);
            const int number = static_cast<int>(m_edges.size());
            m_edges.push_back(std::move(edge));
            m_live.push_back(1);
            ++m_liveEdges;
            SetNames(number);
            ofGroup.push_back(number);
            const Edge& added = m_edges.back();
            for (const NodePos& end : {added.from, added.to}) {
                if (end.circle != 0) {
                    EdgesAtCircle& at = m_edgesAtCircle[end.circle];
                    const std::pair<int, int> entry(end.index, number);
                    if (at.added.empty() && (at.ends.empty() || !(entry < at.ends.back()))) {
                        if (at.ends.empty() || at.ends.back() != entry) {
                            at.ends.push_back(entry);
                        }
                    } else {
                        // Kept in order: a changed node finds its own edges here too.
                        auto place = std::lower_bound(at.added.begin(), at.added.end(), entry);
                        if (place == at.added.end() || *place != entry) {
                            at.added.insert(place, entry);
                        }
                    }
                }
            }
        }
    }
}

void CEdgeHighlighter::DropNames(const std::vector<int>& numbers) {
    // One pass over each name's list, however many of its edges go: a hub
    // molecule's list is long.
    std::vector<int> ids;
    std::unordered_set<int> dropped(numbers.begin(), numbers.end());
    for (int number : numbers) {
        Edge& edge = m_edges[static_cast<size_t>(number)];
        for (int id : {edge.start, edge.end}) {
            if (id >= 0) {
                ids.push_back(id);
            }
        }
        edge.start = edge.end = -1;
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (int id : ids) {
        std::vector<int>& list = m_edgesOfName[static_cast<size_t>(id)];
        list.erase(std::remove_if(list.begin(), list.end(), [&](int n) { return dropped.count(n) > 0; }), list.end());
    }
}

bool CEdgeHighlighter::FollowGraph(const CNode& graph) {
    // Changed nodes by circle; an empty list stands for the whole circle.
    std::unordered_map<int, std::vector<int>> changed;
    std::vector<NodePos> nodes;
    std::vector<int> circles;
    if (graph.NodesChangedSince(m_indexedRevision, nodes)) {
        for (const NodePos& at : nodes) {
            auto [it, added] = changed.try_emplace(at.circle);
            if (at.index < 0) {
                it->second.clear();
                it->second.push_back(-1);
            } else if (added || it->second.front() >= 0) {
                it->second.push_back(at.index);
            }
        }
    } else if (graph.CirclesChangedSince(m_indexedRevision, circles)) {
        for (int circle : circles) {
            changed[circle].push_back(-1);
        }
    } else {
        return false;
    }
    m_indexedRevision = graph.GetRevision();
    auto sameName = [&](int id, NodePos at) {
        const MoleculeRecord* m = at.circle != 0 ? graph.GetMolecule(at.circle, at.index) : nullptr;
        const bool none = !m || m->name.empty();
        return id < 0 ? none : !none && m->name == m_names[static_cast<size_t>(id)];
    };
    // Edges whose end at a changed place may bear another name now. The
    // edges at one place mostly share its name: the graph is read once
    // per name met there, not once per edge (a hub has thousands).
    std::vector<int> renamed;
    NodePos lastPlace{0, -1};
    int lastId = -2;
    bool lastSame = true;
    auto check = [&](int circle, const std::pair<int, int>& entry) {
        // The flags stay in cache where the edges would not.
        if (!m_live[static_cast<size_t>(entry.second)]) {
            return;
        }
        const Edge& edge = m_edges[static_cast<size_t>(entry.second)];
        const NodePos place{circle, entry.first};
        const int id = edge.from.circle == circle && edge.from.index == entry.first ? edge.start : edge.end;
        if (place.circle != lastPlace.circle || place.index != lastPlace.index || id != lastId) {
            lastPlace = place;
            lastId = id;
            lastSame = sameName(id, place);
        }
        if (!lastSame) {
            renamed.push_back(entry.second);
        }
    };
    for (auto& [circle, indices] : changed) {
        auto at = m_edgesAtCircle.find(circle);
        if (at == m_edgesAtCircle.end()) {
            continue;
        }
        EdgesAtCircle& edges = at->second;
        if (indices.front() < 0) {
            // Entries of edges that left the scene go on the way.
            for (auto* list : {&edges.ends, &edges.added}) {
                list->erase(std::remove_if(list->begin(), list->end(),
                                           [&](const std::pair<int, int>& end) {
                                               return !m_live[static_cast<size_t>(end.second)];
                                           }),
                            list->end());
                for (const auto& entry : *list) {
                    check(circle, entry);
                }
            }
            continue;
        }
        if (edges.added.size() > 64 + edges.ends.size() / 8) {
            // Entries of edges that left the scene go first: a circle edited
            // again and again would otherwise carry them on. Read from the
            // flags, which stay in cache where the edges would not.
            auto gone = [&](const std::pair<int, int>& end) { return !m_live[static_cast<size_t>(end.second)]; };
            for (auto* list : {&edges.ends, &edges.added}) {
                list->erase(std::remove_if(list->begin(), list->end(), gone), list->end());
            }
            const auto middle = edges.ends.insert(edges.ends.end(), edges.added.begin(), edges.added.end());
            std::inplace_merge(edges.ends.begin(), middle, edges.ends.end());
            edges.added.clear();
        }
        std::sort(indices.begin(), indices.end());
        indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
        for (int index : indices) {
            for (const auto* list : {&edges.ends, &edges.added}) {
                auto from = std::lower_bound(list->begin(), list->end(), std::make_pair(index, -1));
                for (; from != list->end() && from->first == index; ++from) {
                    check(circle, *from);
                }
            }
        }
    }
    // Only edges whose names changed move between the names' lists.
    std::vector<int> moved;
    for (int number : renamed) {
        const Edge& edge = m_edges[static_cast<size_t>(number)];
        if (!sameName(edge.start, edge.from) || !sameName(edge.end, edge.to)) {
            moved.push_back(number);
        }
    }
    std::sort(moved.begin(), moved.end());
    moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
    DropNames(moved);
    for (int number : moved) {
        SetNames(number);
    }
    if (!moved.empty()) {
        ForgetLooks();
    }
    return true;
}

void CEdgeHighlighter::ReplaceChild(SoGroup* edgeRoot, SoNode* old, SoNode* replacement, int place) {
    CoinPtr<SoNode> keep(old);
    // Names are caught up after the swap: the edges that leave are not
    // worth renaming.
    Refresh(false);
    auto edges = m_edgesOfGroup.find(old);
    const bool follow = m_fresh && edgeRoot == m_pEdgeRoot && edges != m_edgesOfGroup.end();
    m_bWriting = follow;
    if (place >= 0 && place < edgeRoot->getNumChildren() && edgeRoot->getChild(place) == old) {
        edgeRoot->replaceChild(place, replacement);
    } else {
        edgeRoot->replaceChild(old, replacement);
    }
    m_bWriting = false;
    if (!follow) {
        Invalidate();
        return;
    }
    // The new edges have their own colours, whatever the mode.
    ForgetLooks();
    // Edge groups the replacement took over whole (a circle rebuilt in
    // place keeps unchanged edges) keep their entries, found by material.
    std::unordered_map<const SoNode*, int> byMaterial;
    for (int number : edges->second) {
        byMaterial.emplace(m_edges[static_cast<size_t>(number)].material.get(), number);
    }
    std::unordered_set<const SoNode*> takenOver;
    std::vector<int> kept, dropped;
    auto* group = replacement->isOfType(SoGroup::getClassTypeId()) ? static_cast<SoGroup*>(replacement) : nullptr;
    for (int i = 0; group && i < group->getNumChildren(); ++i) {
        auto* edge = group->getChild(i)->isOfType(SoGroup::getClassTypeId()) ? static_cast<SoGroup*>(group->getChild(i))
                                                                              : nullptr;
        if (!edge || edge->getNumChildren() <= kEdgeMaterialChild) {
            continue;
        }
        auto it = byMaterial.find(edge->getChild(kEdgeMaterialChild));
        if (it != byMaterial.end() && takenOver.insert(edge).second) {
            kept.push_back(it->second);
            byMaterial.erase(it);
        }
    }
    for (const auto& left : byMaterial) {
        dropped.push_back(left.second);
    }
    DropNames(dropped);
    for (int number : dropped) {
        Drop(number);
    }
    m_edgesOfGroup.erase(edges);
    if (group) {
        m_edgesOfGroup[group] = kept;
        AddEdges(group, &takenOver);
    }
    AfterEdit();
}

void CEdgeHighlighter::SpliceChildren(SoGroup* group, int first, int count, SoGroup* added) {
    Refresh(false);
    auto edges = m_edgesOfGroup.find(group);
    const bool follow = m_fresh && edges != m_edgesOfGroup.end();
    // The materials of the edges that go: an edge's entry is found by them.
    // They leave one node, named by their cones.
    std::unordered_set<const SoNode*> going;
    NodePos source;
    for (int i = first; i < first + count; ++i) {
        auto* edge = As<SoGroup>(group->getChild(i));
        if (edge && edge->getNumChildren() > kEdgeMaterialChild) {
            going.insert(edge->getChild(kEdgeMaterialChild));
            NodePos to;
            if (source.circle == 0) {
                EdgeConeEnds(GetSceneName(edge->getChild(edge->getNumChildren() - 1)), source, to);
            }
        }
    }
    m_bWriting = follow;
    for (int i = first + count - 1; i >= first; --i) {
        group->removeChild(i);
    }
    const int adding = added ? added->getNumChildren() : 0;
    for (int j = 0; j < adding; ++j) {
        group->insertChild(added->getChild(j), first + j);
    }
    m_bWriting = false;
    if (!follow) {
        Invalidate();
        return;
    }
    ForgetLooks();
    std::vector<int>& ofGroup = edges->second;
    std::vector<int> dropped = GoingFrom(source, going);
    if (!dropped.empty()) {
        // Numbers alone are compared: a large group's edges stay unread.
        ofGroup.erase(std::remove_if(ofGroup.begin(), ofGroup.end(),
                                     [&](int number) {
                                         return std::binary_search(dropped.begin(), dropped.end(), number);
                                     }),
                      ofGroup.end());
    } else if (!going.empty()) {
        ofGroup.erase(std::remove_if(ofGroup.begin(), ofGroup.end(),
                                     [&](int number) {
                                         const Edge& edge = m_edges[static_cast<size_t>(number)];
                                         if (!going.count(edge.material.get())) {
                                             return false;
                                         }
                                         dropped.push_back(number);
                                         return true;
                                     }),
                      ofGroup.end());
    }
    DropNames(dropped);
    for (int number : dropped) {
        Drop(number);
    }
    for (int j = 0; j < adding; ++j) {
        if (auto* edge = As<SoGroup>(added->getChild(j))) {
            AddEdgesBelow(edge, nullptr, ofGroup);
        }
    }
    AfterEdit();
}

std::vector<int> CEdgeHighlighter::GoingFrom(NodePos source,
                                             const std::unordered_set<const SoNode*>& going) const {
    std::vector<int> numbers;
    auto at = m_edgesAtCircle.find(source.circle);
    if (going.empty() || source.circle == 0 || at == m_edgesAtCircle.end()) {
        return numbers;
    }
    for (const auto* list : {&at->second.ends, &at->second.added}) {
        auto from = std::lower_bound(list->begin(), list->end(), std::make_pair(source.index, -1));
        for (; from != list->end() && from->first == source.index; ++from) {
            const Edge& edge = m_edges[static_cast<size_t>(from->second)];
            if (edge.material && going.count(edge.material.get())) {
                numbers.push_back(from->second);
            }
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    if (numbers.size() != going.size()) {
        numbers.clear();  // not all found there: the caller reads the group
    }
    return numbers;
}

void CEdgeHighlighter::Drop(int number) {
    m_edges[static_cast<size_t>(number)].material.reset();
    m_live[static_cast<size_t>(number)] = 0;
    --m_liveEdges;
}

bool CEdgeHighlighter::IsNameSelected(int id) {
    if (id < 0) {
        return false;
    }
    // Ids keep their names until the next build; later names get new ids.
    const unsigned long stamp = m_namesStamp();
    if (m_nodesStamp != stamp) {
        m_nodeKnown.assign(m_names.size(), 0);
        m_nodeOfName.assign(m_names.size(), nullptr);
        m_nodesStamp = stamp;
    } else if (m_nodeKnown.size() != m_names.size()) {
        m_nodeKnown.resize(m_names.size(), 0);
        m_nodeOfName.resize(m_names.size(), nullptr);
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
        if (!edge.material) {
            continue;
        }
        const bool both = edge.start >= 0 && edge.end >= 0 && selected[static_cast<size_t>(edge.start)] &&
                          selected[static_cast<size_t>(edge.end)];
        Apply(edge, both, mode);
    }
    m_bWriting = false;
    m_syncedMode = mode;
    m_syncedStamp = m_namesStamp();
    m_pendingChanges = 0;
    m_pLastChange = nullptr;
}

void CEdgeHighlighter::UpdateAround(const SoNode* node, int mode) {
    if (mode != 1 && mode != 2) {
        return;
    }
    Refresh();
    const bool onlyThisChanged = m_pendingChanges == 0 || (m_pendingChanges == 1 && m_pLastChange == node);
    if (m_syncedMode != mode || m_syncedStamp != m_namesStamp() || !onlyThisChanged) {
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
