// Reading the evidence behind a sphere and bringing a selection into view.
#include "EvidenceCommands.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include <QAction>
#include <QCompleter>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QStringListModel>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/nodes/SoSelection.h>

#include "CommandIds.h"
#include "EvidencePanel.h"
#include "MainFrm.h"
#include "MarkerFilters.h"
#include "Representation.h"
#include "SearchPanel.h"
#include "SelectionFit.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("EvidenceCommands", text); }

// Suggests the graph's names in the search panel's name field, case
// insensitively, wherever the typed text occurs in a name. The list is read
// again when the field is used after the graph changed.
class CNameSuggestions : public QObject {
public:
    CNameSuggestions(QLineEdit* edit, const CTarnwickDoc& doc) : QObject(edit), m_doc(doc) {
        m_pModel = new QStringListModel(this);
        auto* completer = new QCompleter(m_pModel, this);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setMaxVisibleItems(12);
        edit->setCompleter(completer);
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::KeyPress) {
            Refresh();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Refresh() {
        const CNode* graph = m_doc.m_pGraph.get();
        const std::pair<std::uint64_t, std::uint64_t> key{graph ? graph->GetSerial() : 0,
                                                          graph ? graph->GetRevision() : 0};
        if (key == m_key) {
            return;
        }
        m_key = key;
        std::vector<std::string> names;
        if (graph) {
            for (const CCircleData& circle : graph->m_lstCircles) {
                for (const MoleculeRecord& node : circle.m_lstMolecules) {
                    if (!node.name.empty()) {
                        names.push_back(node.name);
                    }
                }
            }
        }
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        QStringList list;
        list.reserve(static_cast<int>(names.size()));
        for (const std::string& name : names) {
            list << QString::fromStdString(name);
        }
        m_pModel->setStringList(list);
    }

    const CTarnwickDoc& m_doc;
    QStringListModel* m_pModel;
    std::pair<std::uint64_t, std::uint64_t> m_key{~std::uint64_t{0}, 0};
};

// Only the spheres of `names` selected, with the callbacks kept to the
// highlighting, as the review commands select.
void SelectOnly(CRepresentation& rep, const std::vector<std::string>& names) {
    rep.GetSelection()->deselectAll();
    const int was = rep.m_bSearching;
    rep.m_bSearching = 1;
    for (const std::string& name : names) {
        rep.SelectNamed(name);
    }
    rep.m_bSearching = was;
}

// The commands after which the status bar counts the selection.
std::vector<int> SelectingCommands() {
    std::vector<int> ids{cmd::Search,       cmd::ExpandOut, cmd::ExpandIn, cmd::FindByNumber,
                         cmd::SetAllOk,     cmd::ShowNotOk, cmd::Statistics};
    for (const MarkerFilter& filter : MarkerFilters()) {
        ids.push_back(filter.id);
    }
    return ids;
}

}  // namespace

QString SelectedCountText(int count) { return Tr("%1 selected").arg(count); }

void RegisterEvidenceCommands(CMainFrame& frame) {
    CMainFrame* f = &frame;
    CTarnwickView* view = frame.GetActiveView();
    CTarnwickDoc& doc = frame.GetActiveDocument();

    auto* dock = new QDockWidget(Tr("Evidence"), &frame);
    dock->setObjectName(QStringLiteral("EvidenceDock"));
    auto* panel = new CEvidencePanel(dock);
    dock->setWidget(panel);
    frame.addDockWidget(Qt::BottomDockWidgetArea, dock);

    auto showEvidence = [panel, &doc](const std::string& name) {
        panel->ShowEvidenceFor(doc, doc.m_pGraph.get(), name);
    };
    auto countSelected = [f, view] {
        CRepresentation* shown = view->GetCommandTarget();
        const int count = shown && shown->GetSelection() ? shown->GetSelection()->getNumSelected() : 0;
        f->statusBar()->showMessage(SelectedCountText(count));
    };

    QObject::connect(view, &CTarnwickView::sphereClicked, panel, [showEvidence](const QString& name) {
        if (!name.isEmpty()) {
            showEvidence(name.toStdString());
        }
    });
    panel->SetRowSelectedHandler([view, &doc, countSelected](const EvidenceRow& row) {
        if (CRepresentation* shown = view->GetCommandTarget()) {
            SelectOnly(*shown, InteractionSphereNames(doc, doc.m_pGraph.get(), row.record));
            countSelected();
        }
    });

    // Connected after the commands' own handlers, so these run once they are done.
    for (int id : SelectingCommands()) {
        if (QAction* action = frame.FindCommand(id)) {
            QObject::connect(action, &QAction::triggered, &frame, countSelected);
        }
    }
    if (QAction* search = frame.FindCommand(cmd::Search)) {
        QObject::connect(search, &QAction::triggered, panel, [f, view, showEvidence] {
            const std::string name = f->GetSearchPanel()->GetSearchRequest().name;
            CRepresentation* shown = view->GetCommandTarget();
            if (!name.empty() && shown && shown->IsNameSelected(name)) {
                showEvidence(name);
            }
        });
    }

    QAction* zoom = frame.RegisterCommand(cmd::ZoomToSelection, Tr("Zoom to Selection"), [f, view] {
        CRepresentation* shown = view->GetCommandTarget();
        if (!shown || !view->GetViewer() || !FitCameraToSelection(*shown, view->GetViewer()->getViewportRegion())) {
            f->statusBar()->showMessage(Tr("Nothing selected to zoom to"));
        }
    });
    zoom->setShortcut(QKeySequence(Qt::Key_F));
    frame.addAction(zoom);

    QMenu* menu = frame.GetPathwayMenu();
    menu->addSeparator();
    menu->addAction(zoom);  // the dock itself is shown or hidden from the toolbar's menu

    if (auto* name = qobject_cast<QLineEdit*>(frame.GetSearchPanel()->GetControl(CSearchPanel::IDC_NODE_NAME))) {
        new CNameSuggestions(name, doc);
    }
}
