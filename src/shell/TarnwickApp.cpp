#include "TarnwickApp.h"

#include <clocale>

#include <QApplication>

#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>

#include "MainFrm.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

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
    m_pMainWnd->GetActiveView()->OnInitialUpdate();
    return true;
}

int RunTarnwick(int& argc, char** argv, const CommandLine& options) {
    SoDB::init();
    QApplication application(argc, argv);
    // Number formats in data files are read with the C library.
    std::setlocale(LC_NUMERIC, "C");
    CTarnwickApp app(options);
    if (!app.InitInstance()) {
        return 1;
    }
    return application.exec();
}
