#include "EditCommandSet.h"

#include <QAction>
#include <QCoreApplication>

#include "BusyCursor.h"
#include "EditCommands.h"
#include "MainFrm.h"
#include "Node.h"
#include "RepresentationEditScene.h"
#include "ReviewCommands.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("CEditCommandSet", text); }

}  // namespace

template <class Command>
void CEditCommandSet::Run(Command command) {
    CNode* graph = m_frame.GetActiveDocument().m_pGraph.get();
    CTarnwickView* view = m_frame.GetActiveView();
    CRepresentation* rep = view ? view->GetCommandTarget() : nullptr;
    if (!graph || !rep) {
        return;  // nothing to edit
    }
    // Dialogs lift it while they are up.
    CBusyCursor busy;
    CRepresentationEditScene scene(*rep);
    CEditCommands commands(*graph, m_frame.GetUserPrompt(), scene, &m_frame.GetActiveDocument().m_history);
    command(commands, scene, *graph);
}

void CEditCommandSet::OnRename() {
    Run([](CEditCommands& c, IEditScene&, CNode&) { c.OnRename(); });
}

void CEditCommandSet::OnNewMolecule() {
    Run([](CEditCommands& c, IEditScene&, CNode&) { c.OnNewMolecule(); });
}

void CEditCommandSet::OnSetRelation() {
    Run([](CEditCommands& c, IEditScene&, CNode&) { c.OnSetRelation(); });
}

void CEditCommandSet::OnDeleteMolecule() {
    Run([](CEditCommands& c, IEditScene&, CNode&) { c.OnDeleteMolecule(); });
}

void CEditCommandSet::OnSpecificInformation() { CEditCommands::RunSpecificInformation(m_frame.GetUserPrompt()); }

void CEditCommandSet::OnUndo() {
    CEditHistory& history = m_frame.GetActiveDocument().m_history;
    Run([&history](CEditCommands&, IEditScene& scene, CNode& graph) { history.Undo(&graph, scene); });
    // Review states taken back are taken back where they are kept too.
    KeepReviewVerdicts(m_frame, history.LastVerdicts());
}

void CEditCommandSet::OnRedo() {
    CEditHistory& history = m_frame.GetActiveDocument().m_history;
    Run([&history](CEditCommands&, IEditScene& scene, CNode& graph) { history.Redo(&graph, scene); });
    KeepReviewVerdicts(m_frame, history.LastVerdicts());
}

bool CEditCommandSet::ConfirmUnsavedEdits() {
    const CTarnwickDoc& doc = m_frame.GetActiveDocument();
    if (!doc.m_history.HasUnsavedEdits(doc.m_pGraph.get())) {
        return true;
    }
    switch (m_frame.GetUserPrompt().Ask(kUnsavedEdits, true)) {
    case IUserPrompt::Answer::Yes:
        return m_frame.SavePathway();  // a cancelled or failed save keeps them
    case IUserPrompt::Answer::No:
        return true;
    case IUserPrompt::Answer::Cancel:
        break;
    }
    return false;
}

void CEditCommandSet::UpdateHistoryActions(QAction* undo, QAction* redo) const {
    const CTarnwickDoc& doc = m_frame.GetActiveDocument();
    const CEditHistory& history = doc.m_history;
    const CNode* graph = doc.m_pGraph.get();
    const bool canUndo = history.CanUndo(graph);
    const bool canRedo = history.CanRedo(graph);
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    undo->setText(canUndo ? Tr("Undo %1").arg(QString::fromStdString(history.UndoAction())) : Tr("Undo"));
    redo->setText(canRedo ? Tr("Redo %1").arg(QString::fromStdString(history.RedoAction())) : Tr("Redo"));
}
