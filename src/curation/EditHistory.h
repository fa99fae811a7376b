#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EditJournal.h"

class CNode;
class ICircleRebuilder;

// Undo and redo of the edits made on one graph. The history ends where the
// graph is replaced or changed by anything that did not record itself.
class CEditHistory {
public:
    // Starts recording an edit called `action` on `graph`.
    void Begin(CNode& graph, const std::string& action);
    // Ends the recording; an edit that changed nothing is not kept.
    void Commit();

    bool CanUndo(const CNode* graph) const;
    bool CanRedo(const CNode* graph) const;
    // The action the next undo or redo takes back or makes again.
    std::string UndoAction() const;
    std::string RedoAction() const;
    // Takes the graph back or forward by one edit and rebuilds the circles
    // it touched; false when there is nothing to do for this graph.
    bool Undo(CNode* graph, ICircleRebuilder& scene);
    bool Redo(CNode* graph, ICircleRebuilder& scene);
    void Clear();
    // The graph as it is now is the one in its file: a save wrote it.
    void MarkSaved(const CNode* graph);
    // Whether undoing or redoing would be needed to get back to what was
    // last saved (or built or opened: a graph without recorded edits), by
    // edits of nodes. Review states are not in the file and do not count.
    bool HasUnsavedEdits(const CNode* graph) const;
    // The review states the last Undo or Redo set, by interaction id.
    const CEditJournal::Verdicts& LastVerdicts() const { return m_lastVerdicts; }
    // Circles the edit Undo would take back touched.
    std::vector<int> UndoCircles() const {
        return m_next > 0 ? m_steps[m_next - 1]->journal.TouchedCircles() : std::vector<int>();
    }

private:
    struct Step {
        std::string action;
        CEditJournal journal;
        bool changesNodes = false;
    };
    static constexpr size_t kNotReachable = static_cast<size_t>(-1);

    // Forgets everything when `graph` is not the graph it was made on.
    bool Follows(const CNode* graph) const;
    void Rebuild(const CEditJournal& journal, ICircleRebuilder& scene) const;
    // Whether a step in [from, to) changed nodes.
    bool ChangesNodes(size_t from, size_t to) const;

    std::vector<std::unique_ptr<Step>> m_steps;
    size_t m_next = 0;  // steps before this are done, from it on undone
    // The value m_next had when the graph was as saved; kNotReachable once
    // the steps leading back there were dropped.
    size_t m_savedAt = 0;
    std::unique_ptr<Step> m_open;
    CNode* m_openGraph = nullptr;
    std::uint64_t m_serial = 0;
    std::uint64_t m_revision = 0;
    CEditJournal::Verdicts m_lastVerdicts;
};

// Records one command's edit when a history is given; the edit is
// committed when the scope ends.
class CEditScope {
public:
    CEditScope(CEditHistory* history, CNode& graph, const std::string& action) : m_history(history) {
        if (m_history) {
            m_history->Begin(graph, action);
        }
    }
    ~CEditScope() {
        if (m_history) {
            m_history->Commit();
        }
    }
    CEditScope(const CEditScope&) = delete;
    CEditScope& operator=(const CEditScope&) = delete;

private:
    CEditHistory* m_history;
};
