#include "EditCommandSet.h"

#include <QAction>
#include <QCoreApplication>

#include "BusyCursor.h"
#include "EditCommands.h"
#include "MainFrm.h"
#include "Node.h"
#include "RepresentationEditScene.h"
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
    CEditCommands commands(*graph, m_frame.GetUserPrompt(), scene, &m_history);
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
    Run([this](CEditCommands&, IEditScene& scene, CNode& graph) { m_history.Undo(&graph, scene); });
}

void CEditCommandSet::OnRedo() {
    Run([this](CEditCommands&, IEditScene& scene, CNode& graph) { m_history.Redo(&graph, scene); });
}

void CEditCommandSet::UpdateHistoryActions(QAction* undo, QAction* redo) const {
    const CNode* graph = m_frame.GetActiveDocument().m_pGraph.get();
    const bool canUndo = m_history.CanUndo(graph);
    const bool canRedo = m_history.CanRedo(graph);
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    undo->setText(canUndo ? Tr("Undo %1").arg(QString::fromStdString(m_history.UndoAction())) : Tr("Undo"));
    redo->setText(canRedo ? Tr("Redo %1").arg(QString::fromStdString(m_history.RedoAction())) : Tr("Redo"));
}
