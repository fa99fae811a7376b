#pragma once

#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>

class CMainFrame;
class CNode;
class QAction;
class QPushButton;

// Lay Out with Graphviz and Save Node Positions. The layout runs Graphviz's
// program as a child process: the window keeps painting while it works, a
// cancel kills it, and a crash inside Graphviz cannot take the curator's
// unsaved edits with it. The graph being laid out is the layout's own until
// it succeeds; a cancel or a failure leaves the document and the view alone.
class CLayoutCommands : public QObject {
    Q_OBJECT
public:
    explicit CLayoutCommands(CMainFrame& frame);
    ~CLayoutCommands() override;

    // Lays the start-up graph out with `engine` (empty: by the graph's
    // size). False when a layout is running or there is nothing to lay out.
    bool Start(const std::string& engine);
    void Cancel();
    bool IsRunning() const { return m_pProcess != nullptr; }
    // Asks for a file and writes the shown box graph's positions.
    void OnSaveNodePositions();
    // Writes them without asking; false with the reason shown.
    bool SaveNodePositions(const std::string& path);
    // After a start-up load: how the molecules were placed, in the status
    // bar, with an offer to lay them out when they were not.
    void OnStartupLoaded(bool positionsRead);
    QPushButton* GetOfferButton() const { return m_pOffer; }

signals:
    // A layout ended: applied, cancelled or failed.
    void layoutEnded(bool applied);

private:
    friend void RegisterLayoutCommands(CMainFrame& frame);
    void OnFinished(int exitCode, QProcess::ExitStatus status);
    void OnProcessError(QProcess::ProcessError error);
    void Ended(bool applied, const QString& status);
    void Status(const QString& text);

    CMainFrame& m_frame;
    QProcess* m_pProcess = nullptr;
    std::unique_ptr<CNode> m_pGraph;
    std::string m_strEngine;
    bool m_bCancelled = false;
    QElapsedTimer m_clock;
    QPushButton* m_pOffer = nullptr;
    QPushButton* m_pCancel = nullptr;
    QAction* m_pCancelAction = nullptr;
};

// Adds the layout commands at the end of the frame's "Pathway" menu.
void RegisterLayoutCommands(CMainFrame& frame);
