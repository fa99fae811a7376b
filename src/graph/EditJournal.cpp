#include "EditJournal.h"

#include "CircleRebuilder.h"

#include "InteractionStore.h"
#include "Node.h"

void CEditJournal::NoteCircle(const CNode& graph, int circle) {
    const CCircleData* c = graph.GetCircle(circle);
    if (!c || m_circleSlot.count(circle)) {
        return;
    }
    m_circleSlot.emplace(circle, m_circles.size());
    m_circles.push_back({circle, *c, {}});
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

void CEditJournal::Seal(const CNode& graph) {
    for (CircleState& s : m_circles) {
        s.after = *graph.GetCircle(s.circle);
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
}

void CEditJournal::Undo(CNode& graph) const { Apply(graph, 0); }

void CEditJournal::Redo(CNode& graph) const { Apply(graph, 1); }

void CEditJournal::Apply(CNode& graph, int side) const {
    CEditJournal* open = graph.GetJournal();
    graph.SetJournal(nullptr);
    for (const CircleState& s : m_circles) {
        graph.TouchCircle(s.circle);
        *graph.GetCircle(s.circle) = side == 0 ? s.before : s.after;
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
    graph.Touch();
    graph.SetJournal(open);
}

std::vector<int> CEditJournal::TouchedCircles() const {
    std::vector<int> circles;
    circles.reserve(m_circles.size());
    for (const CircleState& s : m_circles) {
        circles.push_back(s.circle);
    }
    return circles;
}

void CEditJournal::RebuildScene(ICircleRebuilder& scene) const {
    for (const CircleState& s : m_circles) {
        scene.RebuildCircle(s.circle);
    }
    // Edges end at spheres of other circles: those rebuilt before a later
    // circle's spheres came back are built once more.
    for (size_t k = 0; k + 1 < m_circles.size(); ++k) {
        scene.RebuildCircleEdges(m_circles[k].circle);
    }
}
