#pragma once

#include <QString>

class CMainFrame;
class QAction;

// The window's editing commands (rename, new molecule, set relation,
// delete, specific information), Undo and Redo. Each works on the
// representation the frame's commands address, over the document's graph
// and its history.
class CEditCommandSet {
public:
    explicit CEditCommandSet(CMainFrame& frame) : m_frame(frame) {}

    void OnRename();
    void OnNewMolecule();
    void OnSetRelation();
    void OnDeleteMolecule();
    void OnSpecificInformation();
    void OnUndo();
    void OnRedo();

    // Before the graph is replaced or the window closes with edits not
    // saved: the curator saves them, gives them up or calls the command
    // off (false).
    bool ConfirmUnsavedEdits();
    static constexpr const char* kUnsavedEdits =
        "The pathway has edits that are not saved. Do you want to save them first?";

    // Undo and Redo name the action they take back or make again, and are
    // available only while the graph is the one the history was made on.
    void UpdateHistoryActions(QAction* undo, QAction* redo) const;

private:
    template <class Command>
    void Run(Command command);

    CMainFrame& m_frame;
};
