#pragma once

#include <memory>

#include <QObject>

#include "CommandLine.h"

class CMainFrame;
class CTarnwickDoc;

// The application: initialises the 3D toolkit, then creates the one
// document, the main window and its view, and shows the start-up pathway.
class CTarnwickApp : public QObject {
    Q_OBJECT
public:
    explicit CTarnwickApp(CommandLine options, QObject* parent = nullptr);
    ~CTarnwickApp() override;

    // Needs a QApplication. False when the main window could not be made.
    bool InitInstance();

    CMainFrame* GetMainWnd() const { return m_pMainWnd.get(); }
    CTarnwickDoc* GetDocument() const { return m_pDoc.get(); }

private:
    CommandLine m_options;
    // The document outlives the window that shows it.
    std::unique_ptr<CTarnwickDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

// The window program: a QApplication given `program` and options.rest, the
// application object, the event loop. Returns the process exit code; a
// missing display or an argument nobody knows is refused before any window.
int RunTarnwick(const char* program, const CommandLine& options);
