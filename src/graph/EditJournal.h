#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CircleData.h"

class CNode;
class ICircleRebuilder;

// What one edit changed, kept so that it can be taken back and made again:
// the circles it touched (or, where only some nodes of a circle changed in
// place, those nodes) as they were before and after, the name index
// entries it set or appended, and the interaction records whose placement
// it changed, and the review states it set. An edit stays local, so this
// is small.
class CEditJournal {
public:
    // Calls made by the graph while the journal is set on it.
    void NoteCircle(const CNode& graph, int circle);
    // One node of a circle not kept whole; its place in the circle stays.
    void NoteNode(const CNode& graph, NodePos at);
    void NoteIndexEntry(size_t k, const std::string& before);
    void NoteIndexAppend(size_t sizeBefore);
    void NoteRecord(const CNode& graph, int record);
    // A review state set on a node; `id` is its interaction's, empty when
    // it has none. States are not drawn: nothing is rebuilt for them.
    void NoteReviewState(NodePos at, int before, int after, const std::string& id);

    // Ends recording. The state after the edit is read when the edit is
    // first taken back: until then the graph holds it, and an edit that is
    // never undone is not copied.
    void Seal(const CNode& graph);
    bool IsEmpty() const {
        return m_circles.empty() && m_nodes.empty() && m_entries.empty() && m_records.empty() && !m_appended &&
               m_states.empty();
    }

    // Whether it changed nodes, which a pathway file holds (review states
    // and records it does not).
    bool ChangesNodes() const { return !m_circles.empty() || !m_nodes.empty(); }

    // The graph as before the edit (the graph must be as the edit or a
    // redo left it), and as after it again.
    void Undo(CNode& graph);
    void Redo(CNode& graph) const;

    // The (interaction id, state) pairs Undo (side 0) or Redo (side 1)
    // sets, in the order it sets them, for a data source that keeps them.
    using Verdicts = std::vector<std::pair<std::string, int>>;
    Verdicts ReviewVerdicts(int side) const;

    // Circles whose nodes the edit changed, in the order first touched.
    std::vector<int> TouchedCircles() const;
    // Shows every touched circle again after Undo or Redo.
    void RebuildScene(ICircleRebuilder& scene) const;

private:
    // A circle's numbers (its node list left empty) and its nodes, kept
    // apart: a deque copies them in small pieces, where a copy of the
    // circle would ask for one large block of the allocator, and a large
    // block first sweeps up every small one freed before.
    struct CircleState {
        int circle = 0;
        CCircleData head;
        std::deque<MoleculeRecord> before, after;
    };
    struct NodeState {
        NodePos at;
        MoleculeRecord before, after;
        bool live = true;  // false once its circle is kept whole
    };
    struct EntryState {
        size_t k = 0;
        std::string before, after;
    };
    struct RecordState {
        int record = 0;
        int built[2] = {0, 0};
        int nodeCircle[2] = {0, 0};
        int nodeIndex[2] = {0, 0};
    };

    struct ReviewState {
        NodePos at;
        int before = -1, after = -1;
        std::string id;
    };

    // The review states in the order Undo (side 0, backwards) or Redo sets them.
    template <class F>
    void ForEachState(int side, F&& f) const;

    // The states after the edit, from the graph as the edit left it.
    void TakeAfter(const CNode& graph);
    void Apply(CNode& graph, int side) const;

    std::vector<CircleState> m_circles;
    std::unordered_map<int, size_t> m_circleSlot;
    // A deque: an edit touching many nodes adds them without moving the
    // ones kept.
    std::deque<NodeState> m_nodes;
    // Slots in m_nodes by circle, then by index.
    std::unordered_map<int, std::unordered_map<int, size_t>> m_nodeSlot;
    std::vector<int> m_order;  // circles in the order first touched
    std::vector<EntryState> m_entries;
    std::unordered_map<size_t, size_t> m_entrySlot;
    std::vector<RecordState> m_records;
    std::unordered_map<int, size_t> m_recordSlot;
    bool m_appended = false;
    size_t m_indexSizeBefore = 0;
    std::vector<std::string> m_appendedEntries;
    // In the order set; a node set twice is there twice, so undoing in
    // reverse order and redoing in order needs no merging.
    std::vector<ReviewState> m_states;
    bool m_afterTaken = false;
};
