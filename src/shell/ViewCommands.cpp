#include "ViewCommands.h"

#include <functional>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "CommandIds.h"
#include "MainFrm.h"
#include "Node.h"
#include "SphereBuild.h"
#include "SphereVision.h"
#include "StartupBuild.h"
#include "StartupLoad.h"
#include "StartupLoadRunner.h"
#include "StartupLoadSteps.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "UserPrompt.h"

namespace {

// Lays out and builds the sphere scene in slices while the window paints.
void ShowSphere(CTarnwickDoc& doc, CTarnwickView& view, const IUserPrompt::Radii& radii) {
    auto sphere = std::make_unique<CSphereVision>(doc, doc.m_pGraph, view, radii.bigRadius, radii.smallRadius,
                                                  doc.m_pGraph->m_circle_count);
    sphere->Layout();
    sphere->BeginSceneSteps();
    CStartupLoadRunner::Work work;
    work.cancellable = false;
    work.background = [](const std::function<bool()>&, const LoadProgressCallback&) { return true; };
    work.begin = [] { return true; };
    work.step = [&](std::chrono::milliseconds budget, const LoadProgressCallback& progress) {
        return ContinueSceneBuild(*sphere, budget, progress);
    };
    CStartupLoadRunner::RunIn(&view, work);
    while (sphere->BuildSceneStep()) {  // the application quit under it
    }
    view.AdoptRepresentation(std::move(sphere));
}

// Runs `build` on a worker thread while the window paints; the document is
// the worker's alone meanwhile (the window's commands wait).
bool InBackground(CTarnwickView& view, LoadProgress::Stage stage, const std::function<bool()>& build) {
    bool ok = false;
    CStartupLoadRunner::Work work;
    work.cancellable = false;
    work.background = [&](const std::function<bool()>&, const LoadProgressCallback& progress) {
        progress({stage, 0, 0});
        ok = build();
        return true;
    };
    work.begin = [] { return true; };
    work.step = [](std::chrono::milliseconds, const LoadProgressCallback&) { return false; };
    CStartupLoadRunner::RunIn(&view, work);
    return ok;
}

// A fresh graph from the data source into the document; the current one
// stays when the data cannot be read (the reason is shown).
template <class Build>
bool RebuildGraph(CTarnwickDoc& doc, IUserPrompt& prompt, Build build) {
    bool loaded = false;
    std::unique_ptr<CNode> graph = build(doc, loaded);
    if (!loaded) {
        prompt.ShowMessage(doc.GetDataError());
        return false;
    }
    doc.m_pGraph = std::move(graph);
    return true;
}

QString Tr(const char* text) { return QCoreApplication::translate("ViewCommands", text); }

}  // namespace

bool OnSphereView(CTarnwickDoc& doc, CTarnwickView& view, IUserPrompt& prompt) {
    IUserPrompt::Radii radii;
    if (!prompt.AskRadii(radii)) {
        return false;
    }
    // The document keeps the current graph when the table cannot be read or
    // relation names grow past their limits.
    if (!InBackground(view, LoadProgress::Stage::Reading, [&doc] { return doc.BuildSpherePathway(); })) {
        prompt.ShowMessage(doc.GetDataError());
        return false;
    }
    ShowSphere(doc, view, radii);
    return true;
}

bool OnBoxView(CTarnwickDoc& doc, CTarnwickView& view, IUserPrompt& prompt) {
    if (!RebuildGraph(doc, prompt, BuildStartupGraph)) {
        return false;
    }
    view.AdoptRepresentation(BuildBoxRepresentation(doc, doc.m_pGraph, view));
    return true;
}

bool OnOpenPathway(CTarnwickDoc& doc, CTarnwickView& view, IUserPrompt& prompt, std::string& path) {
    IUserPrompt::FileChoice choice;
    choice.save = false;
    choice.defaultExtension = "bb";
    choice.filter = "bb file (*.bb) | *.bb ||";
    if (!prompt.ChooseFile(choice, path)) {
        return false;
    }
    std::string error;
    if (!InBackground(view, LoadProgress::Stage::ReadingFile, [&] { return doc.OpenPathway(path, error); })) {
        prompt.ShowMessage(error);
        return false;
    }
    IUserPrompt::Radii radii;
    if (const CSphereVision* sphere = view.GetSphere()) {
        radii.bigRadius = sphere->m_nBigRadius;
        radii.smallRadius = sphere->m_nSmallRadius;
    }
    ShowSphere(doc, view, radii);
    return true;
}

void RegisterViewCommands(CMainFrame& frame) {
    auto run = [&frame](auto command) {
        return [&frame, command] {
            command(frame.GetActiveDocument(), *frame.GetActiveView(), frame.GetUserPrompt());
        };
    };
    QAction* sphere = frame.RegisterCommand(cmd::SphereView, Tr("Sphere View..."), run(OnSphereView));
    QAction* box = frame.RegisterCommand(cmd::BoxView, Tr("Box View"), run(OnBoxView));
    QAction* open = frame.RegisterCommand(cmd::OpenPathway, Tr("Open Pathway..."), [&frame] {
        std::string path;
        if (OnOpenPathway(frame.GetActiveDocument(), *frame.GetActiveView(), frame.GetUserPrompt(), path)) {
            frame.AddRecentFile(path);
        }
    });
    frame.ReplacesGraph({cmd::SphereView, cmd::BoxView, cmd::OpenPathway});
    QMenu* menu = frame.GetPathwayMenu();
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
    menu->insertActions(first, {sphere, box, open});
    menu->insertSeparator(first);
}
