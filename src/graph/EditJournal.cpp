#include "EditJournal.h"

#include <algorithm>

#include "CircleRebuilder.h"
#include "InteractionStore.h"
#include "Node.h"

namespace {

// Everything of a circle but its nodes.
void CopyHead(const CCircleData& from, CCircleData& to) {
    to.CircleNum = from.CircleNum;
    to.circle_type = from.circle_type;
    to.base_circle = from.base_circle;
    to.mod_circle = from.mod_circle;
    to.interact = from.interact;
}

}  // namespace

void CEditJournal::NoteCircle(const CNode& graph, int circle) {
    const CCircleData* c = graph.GetCircle(circle);
    if (!c || m_circleSlot.count(circle)) {
        return;
    }
    m_circleSlot.emplace(circle, m_circles.size());
    m_circles.emplace_back();
    CircleState& state = m_circles.back();
    state.circle = circle;
    CopyHead(*c, state.head);
    state.before.assign(c->m_lstMolecules.begin(), c->m_lstMolecules.end());
    auto nodes = m_nodeSlot.find(circle);
    if (nodes == m_nodeSlot.end()) {
        m_order.push_back(circle);
        return;
    }
    // Nodes kept before: the circle as it was has them as they were.
    std::deque<MoleculeRecord>& before = state.before;
    for (const auto& [index, slot] : nodes->second) {
        before[static_cast<size_t>(index)] = m_nodes[slot].before;
        m_nodes[slot].live = false;
    }
    m_nodeSlot.erase(nodes);
}

void CEditJournal::NoteNode(const CNode& graph, NodePos at) {
    const MoleculeRecord* m = graph.GetMolecule(at.circle, at.index);
    if (!m || m_circleSlot.count(at.circle)) {
        return;
    }
    auto [circle, firstInCircle] = m_nodeSlot.try_emplace(at.circle);
    if (!circle->second.emplace(at.index, m_nodes.size()).second) {
        return;
    }
    if (firstInCircle) {
        m_order.push_back(at.circle);
    }
    m_nodes.push_back({at, *m, {}, true});
}

void CEditJournal::NoteIndexEntry(size_t k, const std::string& before) {
    // Entries appended during this edit are taken back by truncation.
    if ((m_appended && k >= m_indexSizeBefore) || m_entrySlot.count(k)) {
        return;
    }
    m_entrySlot.emplace(k, m_entries.size());
    m_entries.push_back({k, before, {}});
}

void CEditJournal::NoteIndexAppend(size_t sizeBefore) {
    if (!m_appended) {
        m_appended = true;
        m_indexSizeBefore = sizeBefore;
    }
}

void CEditJournal::NoteRecord(const CNode& graph, int record) {
    if (!graph.m_pDoc || m_recordSlot.count(record)) {
        return;
    }
    const InteractionRecord& r = graph.m_pDoc->m_pInteractions[static_cast<size_t>(record)];
    m_recordSlot.emplace(record, m_records.size());
    m_records.push_back({record, {r.built, 0}, {r.nodeCircle, 0}, {r.nodeIndex, 0}});
}

void CEditJournal::NoteReviewState(NodePos at, int before, int after, const std::string& id) {
    m_states.push_back({at, before, after, id});
}

template <class F>
void CEditJournal::ForEachState(int side, F&& f) const {
    if (side == 0) {
        std::for_each(m_states.rbegin(), m_states.rend(), f);
    } else {
        std::for_each(m_states.begin(), m_states.end(), f);
    }
}

CEditJournal::Verdicts CEditJournal::ReviewVerdicts(int side) const {
    Verdicts verdicts;
    ForEachState(side, [&](const ReviewState& s) {
        if (!s.id.empty()) {
            verdicts.emplace_back(s.id, side == 0 ? s.before : s.after);
        }
    });
    return verdicts;
}

void CEditJournal::Seal(const CNode& /*graph*/) { m_afterTaken = false; }

void CEditJournal::TakeAfter(const CNode& graph) {
    for (CircleState& s : m_circles) {
        const CCircleData* c = graph.GetCircle(s.circle);
        s.after.assign(c->m_lstMolecules.begin(), c->m_lstMolecules.end());
    }
    for (NodeState& n : m_nodes) {
        if (n.live) {
            n.after = *graph.GetMolecule(n.at.circle, n.at.index);
        }
    }
    for (EntryState& e : m_entries) {
        e.after = graph.m_lstNameIndex[e.k];
    }
    if (m_appended) {
        m_appendedEntries.assign(graph.m_lstNameIndex.begin() + static_cast<std::ptrdiff_t>(m_indexSizeBefore),
                                 graph.m_lstNameIndex.end());
    }
    for (RecordState& s : m_records) {
        const InteractionRecord& r = graph.m_pDoc->m_pInteractions[static_cast<size_t>(s.record)];
        s.built[1] = r.built;
        s.nodeCircle[1] = r.nodeCircle;
        s.nodeIndex[1] = r.nodeIndex;
    }
    m_afterTaken = true;
}

void CEditJournal::Undo(CNode& graph) {
    if (!m_afterTaken) {
        TakeAfter(graph);
    }
    Apply(graph, 0);
}

void CEditJournal::Redo(CNode& graph) const { Apply(graph, 1); }

void CEditJournal::Apply(CNode& graph, int side) const {
    CEditJournal* open = graph.GetJournal();
    graph.SetJournal(nullptr);
    auto setState = [&graph, side](const ReviewState& s) {
        if (MoleculeRecord* m = graph.GetMolecule(s.at.circle, s.at.index)) {
            m->state = side == 0 ? s.before : s.after;
        }
    };
    if (side == 0) {
        ForEachState(side, setState);
    }
    for (const CircleState& s : m_circles) {
        graph.TouchCircle(s.circle);
        CCircleData& c = *graph.GetCircle(s.circle);
        CopyHead(s.head, c);
        c.m_lstMolecules.clear();
        for (const MoleculeRecord& m : side == 0 ? s.before : s.after) {
            c.m_lstMolecules.push_back(m);
        }
    }
    for (const NodeState& n : m_nodes) {
        if (n.live) {
            graph.TouchNode(n.at.circle, n.at.index);
            *graph.GetMolecule(n.at.circle, n.at.index) = side == 0 ? n.before : n.after;
        }
    }
    if (m_appended) {
        graph.TruncateNameIndex(m_indexSizeBefore);
    }
    for (const EntryState& e : m_entries) {
        graph.SetNameIndexEntry(e.k, side == 0 ? e.before : e.after);
    }
    if (m_appended && side == 1) {
        for (const std::string& text : m_appendedEntries) {
            graph.AppendNameIndexEntry(text);
        }
    }
    for (const RecordState& s : m_records) {
        InteractionRecord& r = graph.m_pDoc->m_pInteractions[static_cast<size_t>(s.record)];
        r.built = s.built[side];
        r.nodeCircle = s.nodeCircle[side];
        r.nodeIndex = s.nodeIndex[side];
    }
    if (side == 1) {
        ForEachState(side, setState);
    }
    graph.Touch();
    graph.SetJournal(open);
}

std::vector<int> CEditJournal::TouchedCircles() const { return m_order; }

void CEditJournal::RebuildScene(ICircleRebuilder& scene) const {
    for (int circle : m_order) {
        scene.RebuildCircle(circle);
    }
    // Edges end at spheres of other circles: those rebuilt before a later
    // circle's spheres came back are built once more.
    for (size_t k = 0; k + 1 < m_order.size(); ++k) {
        scene.RebuildCircleEdges(m_order[k]);
    }
}
