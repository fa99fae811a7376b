#include "LayoutCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "BoxRep.h"
#include "CommandIds.h"
#include "DotExport.h"
#include "FileWriter.h"
#include "GraphvizLayout.h"
#include "MainFrm.h"
#include "Node.h"
#include "StartupBuild.h"
#include "StartupLoad.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "UserPrompt.h"

static_assert(CBoxRep::kSphereRadius == static_cast<float>(kBoxSphereRadius),
              "the layout's scale assumes the box scene's sphere radius");

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("LayoutCommands", text); }

QString Absolute(const std::string& path) { return QFileInfo(QString::fromStdString(path)).absoluteFilePath(); }

}  // namespace

CLayoutCommands::CLayoutCommands(CMainFrame& frame) : QObject(&frame), m_frame(frame) {
    setObjectName(QStringLiteral("layoutCommands"));
    QStatusBar* bar = frame.statusBar();
    m_pOffer = new QPushButton(Tr("Lay Out with Graphviz"), bar);
    m_pOffer->setObjectName(QStringLiteral("layoutOffer"));
    m_pOffer->hide();
    // Through the command: it asks about unsaved edits first.
    connect(m_pOffer, &QPushButton::clicked, this, [this] { m_frame.ExecuteCommand(cmd::LayoutGraphviz); });
    m_pCancel = new QPushButton(Tr("Cancel Layout"), bar);
    m_pCancel->setObjectName(QStringLiteral("layoutCancel"));
    m_pCancel->hide();
    connect(m_pCancel, &QPushButton::clicked, this, &CLayoutCommands::Cancel);
    bar->addPermanentWidget(m_pOffer);
    bar->addPermanentWidget(m_pCancel);
}

CLayoutCommands::~CLayoutCommands() {
    if (m_pProcess) {
        m_pProcess->disconnect(this);
        m_pProcess->kill();
        m_pProcess->waitForFinished(2000);
    }
}

void CLayoutCommands::Status(const QString& text) { m_frame.statusBar()->showMessage(text); }

bool CLayoutCommands::Start(const std::string& engine) {
    if (m_pProcess) {
        return false;
    }
    CTarnwickDoc& doc = m_frame.GetActiveDocument();
    // The records on hand when there are any: a reload would unmark the
    // interactions the sphere view shows.
    if (doc.m_nInteractions > 0) {
        m_pGraph = BuildStartupGraphFromArray(doc);
    } else {
        bool loaded = false;
        m_pGraph = BuildStartupGraph(doc, loaded);
        if (!loaded) {
            m_pGraph.reset();
            m_frame.GetUserPrompt().ShowMessage(doc.GetDataError());
            return false;
        }
    }
    const int molecules = m_pGraph->m_circle_count - 1;
    if (molecules <= 0) {
        m_pGraph.reset();
        Status(Tr("No molecules to lay out"));
        return false;
    }
    m_strEngine = engine.empty() ? DefaultLayoutEngine(molecules) : engine;
    m_bCancelled = false;
    QStringList arguments;
    for (const std::string& a : GraphvizArguments(m_strEngine)) {
        arguments << QString::fromStdString(a);
    }
    m_pProcess = new QProcess(this);
    connect(m_pProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &CLayoutCommands::OnFinished);
    connect(m_pProcess, &QProcess::errorOccurred, this, &CLayoutCommands::OnProcessError);
    m_clock.start();
    m_pProcess->start(QString::fromLatin1(kGraphvizProgram), arguments);
    if (!m_pProcess) {
        return false;  // could not start; already reported
    }
    m_pProcess->write(QByteArray::fromStdString(FormatDotGraph(*m_pGraph)));
    m_pProcess->closeWriteChannel();
    m_pOffer->hide();
    m_pCancel->show();
    m_pCancelAction->setEnabled(true);
    Status(Tr("Laying out %1 molecules with %2...").arg(molecules).arg(QString::fromStdString(m_strEngine)));
    return true;
}

void CLayoutCommands::Cancel() {
    if (m_pProcess) {
        m_bCancelled = true;
        m_pProcess->kill();
    }
}

void CLayoutCommands::OnProcessError(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart || !m_pProcess) {
        return;  // the end of a started process is handled by OnFinished
    }
    const std::string reason = m_pProcess->errorString().toStdString();
    Ended(false, Tr("Layout failed"));
    m_frame.GetUserPrompt().ShowMessage(GraphvizNotFound(reason));
}

void CLayoutCommands::OnFinished(int exitCode, QProcess::ExitStatus status) {
    if (!m_pProcess) {
        return;
    }
    const std::string plain = m_pProcess->readAllStandardOutput().toStdString();
    const std::string diagnostics = m_pProcess->readAllStandardError().toStdString();
    if (m_bCancelled) {
        Ended(false, Tr("Layout cancelled; the pathway is as it was"));
        return;
    }
    std::string error;
    if (status != QProcess::NormalExit) {
        error = GraphvizFailure(m_strEngine, "crashed", diagnostics);
    } else if (exitCode != 0) {
        error = GraphvizFailure(m_strEngine, "failed with exit status " + std::to_string(exitCode), diagnostics);
    }
    LayoutPlacement placement;
    if (error.empty() && !ApplyPlainLayout(*m_pGraph, plain, placement, error)) {
        error = GraphvizFailure(m_strEngine, "gave output that cannot be read", error);
    }
    if (!error.empty()) {
        Ended(false, Tr("Layout failed"));
        m_frame.GetUserPrompt().ShowMessage(error);
        return;
    }
    CTarnwickDoc& doc = m_frame.GetActiveDocument();
    CTarnwickView& view = *m_frame.GetActiveView();
    doc.m_pGraph = std::move(m_pGraph);
    view.AdoptRepresentation(BuildBoxRepresentation(doc, doc.m_pGraph, view));
    // The same picture as the next start with these positions.
    view.FitBoxPicture();
    const double seconds = static_cast<double>(m_clock.elapsed()) / 1000.0;
    Ended(true, Tr("Laid out %1 of %2 molecules with %3 in %4 s; Save Node Positions... keeps them")
                    .arg(placement.placed)
                    .arg(placement.molecules)
                    .arg(QString::fromStdString(m_strEngine))
                    .arg(seconds, 0, 'f', 1));
}

void CLayoutCommands::Ended(bool applied, const QString& status) {
    m_pProcess->deleteLater();
    m_pProcess = nullptr;
    m_pGraph.reset();
    m_pCancel->hide();
    m_pCancelAction->setEnabled(false);
    Status(status);
    emit layoutEnded(applied);
}

bool CLayoutCommands::SaveNodePositions(const std::string& path) {
    const CTarnwickDoc& doc = m_frame.GetActiveDocument();
    std::string error;
    if (!WriteTextFile(path, FormatNodePositions(*doc.m_pGraph), error)) {
        m_frame.GetUserPrompt().ShowMessage(error);
        return false;
    }
    int molecules = 0;
    for (int c = 1; c < doc.m_pGraph->m_circle_count; ++c) {
        molecules += doc.m_pGraph->GetMolecule(c, 0) ? 1 : 0;
    }
    Status(Tr("Saved %1 node positions to %2").arg(molecules).arg(Absolute(path)));
    return true;
}

void CLayoutCommands::OnSaveNodePositions() {
    // The positions belong to the start-up graph of the box view; the
    // sphere view's graph numbers its circles differently.
    CTarnwickView& view = *m_frame.GetActiveView();
    if (!view.GetBox() || view.GetCommandTarget() != view.GetBox() || !m_frame.GetActiveDocument().m_pGraph) {
        m_frame.GetUserPrompt().ShowMessage("Node positions belong to the box view: show it first.");
        return;
    }
    IUserPrompt::FileChoice choice;
    choice.save = true;
    choice.defaultExtension = "txt";
    choice.filter = "node positions (*.txt) | *.txt ||";
    choice.promptOverwrite = true;
    std::string path;
    if (m_frame.GetUserPrompt().ChooseFile(choice, path)) {
        SaveNodePositions(path);
    }
}

void CLayoutCommands::OnStartupLoaded(bool positionsRead) {
    const CTarnwickDoc& doc = m_frame.GetActiveDocument();
    if (!doc.m_pGraph) {
        return;
    }
    const PositionsCheck check = CheckPositions(*doc.m_pGraph, positionsRead);
    const QString file = Absolute(kNodePositionFile);
    QString text;
    switch (check.state) {
    case PositionsState::Placed:
        m_pOffer->hide();
        return;
    case PositionsState::NoFile:
        text = Tr("No node-position file %1: the %2 molecules are stacked at the origin. "
                  "Lay Out with Graphviz places them.")
                   .arg(file)
                   .arg(check.molecules);
        break;
    case PositionsState::NothingPlaced:
        text = Tr("%1 placed none of the %2 molecules (its node numbers are not this pathway's): they are "
                  "stacked at the origin. Lay Out with Graphviz places them.")
                   .arg(file)
                   .arg(check.molecules);
        break;
    case PositionsState::TooSpread:
        text = Tr("%1 spreads the %2 molecules about %3 sphere radii apart, so the spheres are dots. "
                  "Lay Out with Graphviz places them closer.")
                   .arg(file)
                   .arg(check.molecules)
                   .arg(check.spacingRadii, 0, 'f', 0);
        break;
    }
    Status(text);
    m_pOffer->setVisible(!IsRunning());
}

void RegisterLayoutCommands(CMainFrame& frame) {
    auto* layout = new CLayoutCommands(frame);
    QMenu* menu = frame.GetPathwayMenu();
    menu->addSeparator();
    menu->addAction(frame.RegisterCommand(cmd::LayoutGraphviz, Tr("Lay Out with Graphviz"),
                                          [layout] { layout->Start(std::string()); }));
    QMenu* engines = menu->addMenu(Tr("Lay Out with Graphviz Engine"));
    const int ids[] = {cmd::LayoutDot, cmd::LayoutNeato, cmd::LayoutFdp, cmd::LayoutSfdp};
    for (size_t i = 0; i < LayoutEngines().size(); ++i) {
        const std::string engine = LayoutEngines()[i];
        engines->addAction(frame.RegisterCommand(ids[i], QString::fromStdString(engine),
                                                 [layout, engine] { layout->Start(engine); }));
    }
    frame.ReplacesGraph({cmd::LayoutGraphviz, cmd::LayoutDot, cmd::LayoutNeato, cmd::LayoutFdp, cmd::LayoutSfdp});
    QAction* cancel = frame.RegisterCommand(cmd::CancelLayout, Tr("Cancel Layout"), [layout] { layout->Cancel(); });
    cancel->setEnabled(false);
    layout->m_pCancelAction = cancel;
    menu->addAction(cancel);
    menu->addAction(frame.RegisterCommand(cmd::SaveNodePositions, Tr("Save Node Positions..."),
                                          [layout] { layout->OnSaveNodePositions(); }));
    QObject::connect(frame.GetActiveView(), &CTarnwickView::startupLoaded, layout,
                     &CLayoutCommands::OnStartupLoaded);
}
