#include "ExportImageCommands.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include <QAction>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QCoreApplication>
#include <QMenu>
#include <QStatusBar>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/SoDB.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "CommandLine.h"
#include "MainFrm.h"
#include "QtOffscreenContext.h"
#include "SceneHost.h"
#include "SceneImage.h"
#include "SphereVision.h"
#include "StartupLoad.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "UserPrompt.h"

// Last: its macros clash with names in the headers above.
#include <X11/Xlib.h>

namespace {

// The view as the scene sees it without a window: the picture's size is
// the viewport the camera is fitted to.
class PictureHost : public ISceneHost {
public:
    PictureHost(int width, int height)
        : m_viewport(static_cast<short>(width), static_cast<short>(height)) {}
    const ModeFlags& GetModeFlags() const override { return m_flags; }
    const SbViewportRegion& GetViewportRegion() const override { return m_viewport; }
    void RedrawOnSelectionChange(SoSelection* /*selection*/) override {}

private:
    ModeFlags m_flags;
    SbViewportRegion m_viewport;
};

// Empty when an X display can be opened, else what stands in the way.
std::string MissingDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return "--export-image draws through an X display and DISPLAY is not set (xvfb-run gives one)";
    }
    Display* connection = XOpenDisplay(display);
    if (!connection) {
        return std::string("--export-image draws through an X display and \"") + display + "\" cannot be opened";
    }
    XCloseDisplay(connection);
    return {};
}

}  // namespace

bool OnExportImage(CTarnwickView& view, IUserPrompt& prompt, int defaultWidth, int defaultHeight,
                   std::string& confirmation) {
    const CRepresentation* shown = view.GetCommandTarget();
    if (!shown) {
        prompt.ShowMessage("There is no picture to export: the view shows no pathway.");
        return false;
    }
    IUserPrompt::ImageChoice choice;
    choice.width = std::min(defaultWidth, kMaxImageSide);
    choice.height = std::min(defaultHeight, kMaxImageSide);
    if (!prompt.AskImageExport(choice)) {
        return false;
    }
    SceneImageOptions options;
    options.width = choice.width;
    options.height = choice.height;
    options.blackBackground = choice.blackBackground;
    options.labels = choice.labels;
    if (std::string wrong = CheckImageOptions(options); !wrong.empty()) {
        prompt.ShowMessage(wrong);
        return false;
    }
    IUserPrompt::FileChoice file;
    file.save = true;
    file.defaultExtension = "png";
    file.filter = "PNG image (*.png) | *.png ||";
    file.promptOverwrite = true;
    std::string path;
    if (!prompt.ChooseFile(file, path)) {
        return false;
    }
    std::string error;
    UseQtOffscreenContexts();
    // The viewer's context must not be current while the toolkit sets up
    // its off-screen one.
    if (QOpenGLContext* current = QOpenGLContext::currentContext()) {
        current->doneCurrent();
    }
    confirmation = ExportSceneImage(*shown, options, path, error);
    if (confirmation.empty()) {
        prompt.ShowMessage(error);
        return false;
    }
    return true;
}

int RunExportImage(const CommandLine& options, std::ostream& out, std::ostream& err) {
    if (const std::string missing = MissingDisplay(); !missing.empty()) {
        err << "tarnwick: " << missing << "\n";
        return 1;
    }
    SceneImageOptions picture;
    ParseImageSize(options.imageSize, picture.width, picture.height);
    // Qt gives the OpenGL context to draw into; no window opens.
    int argc = 1;
    char program[] = "tarnwick";
    char* argv[] = {program, nullptr};
    QGuiApplication application(argc, argv);
    UseQtOffscreenContexts();
    SoDB::init();
    PictureHost host(picture.width, picture.height);
    CTarnwickDoc doc(options.connect);
    std::unique_ptr<CRepresentation> rep;
    if (options.imageView == "sphere") {
        if (doc.BuildSpherePathway()) {
            auto sphere =
                std::make_unique<CSphereVision>(doc, doc.m_pGraph, host, 300, 30, doc.m_pGraph->m_circle_count);
            sphere->Layout();
            sphere->BuildScene();
            rep = std::move(sphere);
        }
    } else {
        StartupLoadResult loaded = RunStartupLoad(doc, doc.m_pGraph, host);
        if (loaded.dataLoaded) {
            rep = std::move(loaded.box);
        }
    }
    if (!rep) {
        err << "tarnwick: " << doc.GetDataError() << "\n";
        return 1;
    }
    std::string error;
    const std::string written = ExportSceneImage(*rep, picture, options.exportImagePath, error);
    if (written.empty()) {
        err << "tarnwick: " << error << "\n";
        return 1;
    }
    out << written << "\n";
    return 0;
}

int RunExportImage(const CommandLine& options) { return RunExportImage(options, std::cout, std::cerr); }

void RegisterExportImageCommand(CMainFrame& frame) {
    QAction* action = frame.RegisterCommand(cmd::ExportImage, QCoreApplication::translate("Picture", "Export Image..."),
                                            [&frame] {
        CTarnwickView& view = *frame.GetActiveView();
        SbVec2s size(1024, 768);
        if (SoQtExaminerViewer* viewer = view.GetViewer()) {
            size = viewer->getViewportRegion().getViewportSizePixels();
        }
        std::string confirmation;
        if (OnExportImage(view, frame.GetUserPrompt(), size[0], size[1], confirmation)) {
            frame.statusBar()->showMessage(QString::fromStdString(confirmation));
        }
    });
    frame.GetPathwayMenu()->addAction(action);
}
