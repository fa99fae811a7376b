#include "EditHistory.h"

#include <algorithm>

#include "CircleRebuilder.h"
#include "Node.h"

void CEditHistory::Begin(CNode& graph, const std::string& action) {
    if (!Follows(&graph)) {
        Clear();
    }
    m_open = std::make_unique<Step>();
    m_open->action = action;
    m_openGraph = &graph;
    graph.SetJournal(&m_open->journal);
}

void CEditHistory::Commit() {
    if (!m_open) {
        return;
    }
    CNode& graph = *m_openGraph;
    graph.SetJournal(nullptr);
    m_open->journal.Seal(graph);
    if (!m_open->journal.IsEmpty()) {
        m_open->changesNodes = m_open->journal.ChangesNodes();
        if (m_savedAt != kNotReachable && m_savedAt > m_next) {
            // The undone steps between are dropped: only review states
            // apart, the graph now is as saved; else it never is again.
            m_savedAt = ChangesNodes(m_next, m_savedAt) ? kNotReachable : m_next;
        }
        m_steps.resize(m_next);
        m_steps.push_back(std::move(m_open));
        m_next = m_steps.size();
    }
    m_open.reset();
    m_openGraph = nullptr;
    m_serial = graph.GetSerial();
    m_revision = graph.GetRevision();
}

bool CEditHistory::Follows(const CNode* graph) const {
    return m_steps.empty() ||
           (graph && graph->GetSerial() == m_serial && graph->GetRevision() == m_revision);
}

bool CEditHistory::CanUndo(const CNode* graph) const { return m_next > 0 && Follows(graph); }

bool CEditHistory::CanRedo(const CNode* graph) const { return m_next < m_steps.size() && Follows(graph); }

std::string CEditHistory::UndoAction() const { return m_next > 0 ? m_steps[m_next - 1]->action : std::string(); }

std::string CEditHistory::RedoAction() const {
    return m_next < m_steps.size() ? m_steps[m_next]->action : std::string();
}

bool CEditHistory::Undo(CNode* graph, ICircleRebuilder& scene) {
    m_lastVerdicts.clear();
    if (!CanUndo(graph)) {
        if (!Follows(graph)) {
            Clear();
        }
        return false;
    }
    CEditJournal& journal = m_steps[--m_next]->journal;
    journal.Undo(*graph);
    m_lastVerdicts = journal.ReviewVerdicts(0);
    m_revision = graph->GetRevision();
    Rebuild(journal, scene);
    return true;
}

bool CEditHistory::Redo(CNode* graph, ICircleRebuilder& scene) {
    m_lastVerdicts.clear();
    if (!CanRedo(graph)) {
        if (!Follows(graph)) {
            Clear();
        }
        return false;
    }
    const CEditJournal& journal = m_steps[m_next++]->journal;
    journal.Redo(*graph);
    m_lastVerdicts = journal.ReviewVerdicts(1);
    m_revision = graph->GetRevision();
    Rebuild(journal, scene);
    return true;
}

void CEditHistory::Rebuild(const CEditJournal& journal, ICircleRebuilder& scene) const { journal.RebuildScene(scene); }

void CEditHistory::Clear() {
    m_steps.clear();
    m_next = 0;
    m_savedAt = 0;
}

void CEditHistory::MarkSaved(const CNode* graph) {
    if (!Follows(graph)) {
        Clear();
    }
    m_savedAt = m_next;
}

bool CEditHistory::HasUnsavedEdits(const CNode* graph) const {
    if (m_steps.empty() || !Follows(graph)) {
        return false;
    }
    return m_savedAt == kNotReachable || ChangesNodes(std::min(m_savedAt, m_next), std::max(m_savedAt, m_next));
}

bool CEditHistory::ChangesNodes(size_t from, size_t to) const {
    for (size_t k = from; k < to && k < m_steps.size(); ++k) {
        if (m_steps[k]->changesNodes) {
            return true;
        }
    }
    return false;
}
