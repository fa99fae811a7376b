#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QHash>
#include <QSet>
#include <QMainWindow>

#include "ModeFlags.h"
#include "QtUserPrompt.h"
#include "RecentFileList.h"

class CEditCommandSet;
class CSearchPanel;
class CStatusIndicators;
class CTarnwickDoc;
class CTarnwickView;
class QAction;
class QDockWidget;
class QMenu;
class QToolBar;

// The main window: menu, toolbar, status bar, the docked search panel and
// the view. Holds the nine mode flags that the View menu toggles and that
// scene construction and the selection callbacks read.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CTarnwickDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The action of a command id, or null when no element sends it.
    QAction* FindCommand(int id) const;
    // Runs a command by id as the menu would; false when the id is unknown
    // or the command is disabled.
    bool ExecuteCommand(int id);

    const ModeFlags& GetModeFlags() const { return m_flags; }
    ModeFlags& GetMutableModeFlags() { return m_flags; }
    CTarnwickView* GetActiveView() const { return m_pView; }
    CTarnwickDoc& GetActiveDocument() const { return m_doc; }
    CSearchPanel* GetSearchPanel() const { return m_pSearchPanel; }
    IUserPrompt& GetUserPrompt() { return m_prompt; }
    const CRecentFileList& GetRecentFiles() const { return m_recentFiles; }
    void AddRecentFile(const std::string& path);

    // Commands that live with their feature register here; the feature
    // places the returned action in a menu.
    QAction* RegisterCommand(int id, const QString& text, std::function<void()> handler);
    // The added "Pathway" menu.
    QMenu* GetPathwayMenu() const { return m_pPathwayMenu; }

    static QString IdleText();
    // The toolbar's context menu.
    QMenu* createPopupMenu() override;

    // Commands of a feature, registered while the frame builds its menus:
    // an id with its text and handler (an id that exists already gets the
    // handler and becomes available), and an added menu of such ids.
    QAction* AddFeatureCommand(int id, const QString& text, std::function<void()> handler);
    QMenu* AddFeatureMenu(const QString& title, const std::vector<int>& ids);
    // Commands that replace the document's graph: with edits not saved,
    // the curator is asked first and may call them off.
    void ReplacesGraph(std::initializer_list<int> ids);

    // Highlight modes.
    void OnViewWithBox();
    void OnSelectiveShowing();
    void OnViewByColor();
    // Label modes.
    void OnCharViewAll();
    void OnCharViewRed();
    void OnCharViewBoth();
    void OnCharViewNothing();
    // Selection modes.
    void OnSelectOne();
    void OnSelectRelated();
    void OnSelectAll();  // enabled and without effect
    void OnDeselectAll();
    void OnNoEffect();
    // Search panel and selection growth.
    void OnSearch();
    void OnExpandOut();
    void OnExpandIn();

    // Document commands.
    void OnFileNew();
    void OnFileOpen();
    void OnStartupLoad();
    void OnExportDot();
    void OnSavePathway();
    // The save command; true when the pathway was written.
    bool SavePathway();

    void OnAppAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createDockWindows();
    void createView();
    void readSettings();
    void writeSettings();

    QAction* AddCommand(int id, const QString& text, void (CMainFrame::*handler)() = nullptr,
                        int ModeFlags::*flag = nullptr);
    // A command whose handler lives with its feature.
    QAction* AddCommand(int id, const QString& text, std::function<void()> handler);
    QMenu* AddMenu(QMenu* parent, const QString& title, std::initializer_list<int> ids);
    // What a save or export wrote, in the status bar.
    void ShowWritten(const std::string& note);
    void SetHighlightMode(int mode);
    void SetLabelMode(int ModeFlags::*flag, int visibility);
    // Check marks follow the flags, as an update handler would set them.
    void UpdateCheckMarks();

    CTarnwickDoc& m_doc;
    CQtUserPrompt m_prompt;
    ModeFlags m_flags;
    CRecentFileList m_recentFiles;
    std::unique_ptr<CEditCommandSet> m_pEdit;

    QHash<int, QAction*> m_commands;
    QHash<int, int ModeFlags::*> m_checkFlags;
    QSet<int> m_replacingGraph;
    // Every command's handler runs here: one that replaces the graph is
    // called off when the curator keeps unsaved edits.
    void RunCommand(int id, const std::function<void()>& handler);

    QDockWidget* m_wndMyDialogBar = nullptr;
    CSearchPanel* m_pSearchPanel = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    CStatusIndicators* m_pIndicators = nullptr;
    CTarnwickView* m_pView = nullptr;
    QMenu* m_pPathwayMenu = nullptr;
};
