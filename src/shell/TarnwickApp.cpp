#include "TarnwickApp.h"

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <vector>

#include <QApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QWindow>

#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>

#include "MainFrm.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

// Last: its macros clash with names in the headers above.
#include <X11/Xlib.h>

static void InitTarnwickResources() { Q_INIT_RESOURCE(tarnwick); }

CTarnwickApp::CTarnwickApp(CommandLine options, QObject* parent) : QObject(parent), m_options(std::move(options)) {}

CTarnwickApp::~CTarnwickApp() = default;

bool CTarnwickApp::InitInstance() {
    // The 3D toolkit comes before anything that may create a node.
    SoDB::init();
    SoNodeKit::init();
    SoInteraction::init();
    InitTarnwickResources();

    m_pDoc = std::make_unique<CTarnwickDoc>(m_options.connect);
    m_pMainWnd = std::make_unique<CMainFrame>(*m_pDoc);
    m_pMainWnd->showMaximized();
    // The view's first update needs the window at its real size.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_pMainWnd->GetActiveView()->PrepareViewer();
    // The window manager maps and maximises the window in its own time;
    // a first picture drawn before it is done can be lost. Once the window
    // is on screen at the size of the screen (a few seconds at most), the
    // drawing area has drawn once (its set-up is slow) and the load starts
    // in a window that paints.
    const QRect available = m_pMainWnd->screen()->availableGeometry();
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired();) {
        const QWindow* window = m_pMainWnd->windowHandle();
        const QRect frame = m_pMainWnd->frameGeometry();
        if (window && window->isExposed() && frame.width() >= available.width() - 8 &&
            frame.height() >= available.height() - 8) {
            break;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    SoQtExaminerViewer* viewer = m_pMainWnd->GetActiveView()->GetViewer();
    auto fitDrawingArea = [viewer] {
        // The drawing area may also have missed the resize to its frame.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QWidget* area = viewer->getGLWidget();
        if (QWidget* frame = area->parentWidget(); frame && area->size() != frame->contentsRect().size()) {
            area->setGeometry(frame->contentsRect());
        }
    };
    fitDrawingArea();
    viewer->render();
    m_pMainWnd->GetActiveView()->OnInitialUpdate();
    fitDrawingArea();
    viewer->scheduleRedraw();
    return true;
}

namespace {

// Without a display Qt's X11 plugin aborts the process; find out first.
// Empty when the window can open, else what stands in the way.
std::string MissingDisplay(const std::vector<std::string>& qtArgs) {
    std::string platform;
    std::string display;
    for (size_t i = 0; i + 1 < qtArgs.size(); ++i) {
        if (qtArgs[i] == "-platform") {
            platform = qtArgs[i + 1];
        } else if (qtArgs[i] == "-display") {
            display = qtArgs[i + 1];
        }
    }
    if (platform.empty()) {
        const char* env = std::getenv("QT_QPA_PLATFORM");
        platform = env ? env : "";
    }
    if (!platform.empty() && platform.compare(0, 3, "xcb") != 0) {
        return {};  // another platform plugin reports for itself
    }
    if (display.empty()) {
        const char* env = std::getenv("DISPLAY");
        display = env ? env : "";
    }
    if (display.empty()) {
        return "the window needs an X display and DISPLAY is not set";
    }
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) {
        return "the window needs an X display and \"" + display + "\" cannot be opened";
    }
    XCloseDisplay(connection);
    return {};
}

}  // namespace

int RunTarnwick(const char* program, const CommandLine& options) {
    if (const std::string missing = MissingDisplay(options.rest); !missing.empty()) {
        std::cerr << "tarnwick: " << missing << "; the headless options (see --help) need none\n";
        return 1;
    }
    // Qt sees only the arguments our own options left over, and takes out
    // those it knows.
    std::vector<std::string> kept{program};
    kept.insert(kept.end(), options.rest.begin(), options.rest.end());
    std::vector<char*> qtArgv;
    for (std::string& arg : kept) {
        qtArgv.push_back(arg.data());
    }
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(kept.size());

    SoDB::init();
    QApplication application(qtArgc, qtArgv.data());
    if (qtArgc > 1) {
        std::cerr << "tarnwick: unknown argument " << qtArgv[1] << "\n" << UsageText();
        return 2;
    }
    // Number formats in data files are read with the C library.
    std::setlocale(LC_NUMERIC, "C");
    CTarnwickApp app(options);
    if (!app.InitInstance()) {
        return 1;
    }
    return application.exec();
}
