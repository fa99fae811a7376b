#include "MainFrm.h"

#include "PictureCommands.h"

#include "BoxRep.h"
#include "PathwayGridOfLayout.h"
#include "ReviewCommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include <Inventor/Qt/SoQt.h>

#include "AboutDlg.h"
#include "CommandIds.h"
#include "ConnectCommands.h"
#include "EditCommandSet.h"
#include "LayoutCommands.h"
#include "EvidenceCommands.h"
#include "SearchPanel.h"
#include "SettingsKeys.h"
#include "StatusIndicators.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"
#include "ViewCommands.h"

CMainFrame::CMainFrame(CTarnwickDoc& doc, QWidget* parent) : QMainWindow(parent), m_doc(doc), m_prompt(this) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarnwick.svg")));
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    setDockOptions(dockOptions() | QMainWindow::AnimatedDocks);

    // The examiner viewer's window layer belongs to the main window; it is
    // set up once per process.
    if (!SoQt::getTopLevelWidget()) {
        SoQt::init(this);
    }

    createDockWindows();
    createView();
    RegisterViewCommands(*this);
    RegisterLayoutCommands(*this);
    RegisterPictureCommands(*this);
    RegisterConnectCommands(*this);
    RegisterEvidenceCommands(*this);
    // The title names the program, never the document.
    setWindowTitle(tr("Skeinwright"));
    readSettings();
    UpdateCheckMarks();
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::IdleText() { return tr("준비"); }

QAction* CMainFrame::AddCommand(int id, const QString& text, void (CMainFrame::*handler)(),
                                int ModeFlags::*flag) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    if (handler) {
        connect(action, &QAction::triggered, this,
                [this, handler, id] { RunCommand(id, [this, handler] { (this->*handler)(); }); });
    } else {
        // Like a command without a handler: shown, but not available.
        action->setEnabled(false);
    }
    if (flag) {
        action->setCheckable(true);
        m_checkFlags.insert(id, flag);
    }
    m_commands.insert(id, action);
    return action;
}

QAction* CMainFrame::AddCommand(int id, const QString& text, std::function<void()> handler) {
    QAction* action = AddCommand(id, text);
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [this, handler, id] { RunCommand(id, handler); });
    return action;
}

void CMainFrame::createActions() {
    m_pEdit = std::make_unique<CEditCommandSet>(*this);
    CEditCommandSet* edit = m_pEdit.get();
    auto icon = [](const char* name) { return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name))); };

    // Framework commands on the toolbar and the accelerators.
    AddCommand(cmd::FileNew, tr("New"), &CMainFrame::OnFileNew)->setIcon(icon("new"));
    // Open and Save open and save pathway files; the view prints nothing.
    AddCommand(cmd::FileOpen, tr("Open"), &CMainFrame::OnFileOpen)->setIcon(icon("open"));
    AddCommand(cmd::FileSave, tr("Save"), &CMainFrame::OnSavePathway)->setIcon(icon("save"));
    AddCommand(cmd::FilePrint, tr("Print"))->setIcon(icon("print"));
    AddCommand(cmd::EditUndo, tr("Undo"), [edit] { edit->OnUndo(); });
    AddCommand(cmd::EditRedo, tr("Redo"), [edit] { edit->OnRedo(); });
    AddCommand(cmd::EditCut, tr("Cut"))->setIcon(icon("cut"));
    AddCommand(cmd::EditCopy, tr("Copy"))->setIcon(icon("copy"));
    AddCommand(cmd::EditPaste, tr("Paste"))->setIcon(icon("paste"));
    AddCommand(cmd::NextPane, tr("Next Pane"));
    AddCommand(cmd::PrevPane, tr("Previous Pane"));
    AddCommand(cmd::AppAbout, tr("Tarnwick 정보(&A)..."), &CMainFrame::OnAppAbout)->setIcon(icon("about"));
    // Editing commands of the added menus.
    AddCommand(cmd::NewMolecule, tr("New Molecule..."), [edit] { edit->OnNewMolecule(); });
    AddCommand(cmd::SetRelation, tr("Set Relation..."), [edit] { edit->OnSetRelation(); });
    AddCommand(cmd::DeleteMolecule, tr("Delete Molecule..."), [edit] { edit->OnDeleteMolecule(); });

    const struct {
        int id;
        QKeySequence keys;
    } accelerators[] = {
        {cmd::FileNew, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {cmd::FileOpen, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {cmd::FileSave, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {cmd::FilePrint, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {cmd::EditUndo, QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {cmd::EditUndo, QKeySequence(Qt::ALT | Qt::Key_Backspace)},
        {cmd::EditRedo, QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {cmd::DeleteMolecule, QKeySequence(Qt::Key_Delete)},
        {cmd::EditCut, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {cmd::EditCut, QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
        {cmd::EditCopy, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {cmd::EditCopy, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {cmd::EditPaste, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {cmd::EditPaste, QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
        {cmd::NextPane, QKeySequence(Qt::Key_F6)},
        {cmd::PrevPane, QKeySequence(Qt::SHIFT | Qt::Key_F6)},
    };
    for (const auto& accelerator : accelerators) {
        QAction* action = m_commands.value(accelerator.id);
        action->setShortcuts(action->shortcuts() << accelerator.keys);
        addAction(action);  // accelerators work without a menu entry
    }

    // Highlight, label and selection modes.
    AddCommand(cmd::ViewWithBox, tr("View With Box"), &CMainFrame::OnViewWithBox, &ModeFlags::m_bViewWithBox);
    AddCommand(cmd::SelectiveShowing, tr("Selective Showing"), &CMainFrame::OnSelectiveShowing,
               &ModeFlags::m_bSelectiveShowing);
    AddCommand(cmd::ViewByColor, tr("View By Color"), &CMainFrame::OnViewByColor, &ModeFlags::m_bViewByColor);
    AddCommand(cmd::CharViewAll, tr("View All(&A)"), &CMainFrame::OnCharViewAll, &ModeFlags::m_bCharViewAll);
    AddCommand(cmd::CharViewRed, tr("View Red Labels Only"), &CMainFrame::OnCharViewRed, &ModeFlags::m_bCharViewRed);
    AddCommand(cmd::CharViewBoth, tr("View Both Label Groups"), &CMainFrame::OnCharViewBoth,
               &ModeFlags::m_bCharViewBoth);
    AddCommand(cmd::CharViewNothing, tr("View Nothing(&N)"), &CMainFrame::OnCharViewNothing,
               &ModeFlags::m_bCharViewNothing);
    AddCommand(cmd::SelectOne, tr("Select One"), &CMainFrame::OnSelectOne, &ModeFlags::m_bSelectOne);
    AddCommand(cmd::SelectRelated, tr("Select Related"), &CMainFrame::OnSelectRelated,
               &ModeFlags::m_bSelectRelated);
    AddCommand(cmd::SelectAll, tr("Select All"), &CMainFrame::OnSelectAll);
    AddCommand(cmd::DeselectAll, tr("Deselect All"), &CMainFrame::OnDeselectAll);
    AddCommand(cmd::ExpandOut, tr("Expand Selection Along Out-Links"), &CMainFrame::OnExpandOut);
    AddCommand(cmd::ExpandIn, tr("Expand Selection Along In-Links"), &CMainFrame::OnExpandIn);

    // Curation commands of the menus.
    AddCommand(cmd::Rename, tr("Rename"), [edit] { edit->OnRename(); });
    AddCommand(cmd::AnnotateOk, tr("Annotate OK status"));
    AddCommand(cmd::SpecificInformation, tr("Specific Information"), [edit] { edit->OnSpecificInformation(); });
    AddCommand(cmd::CoordinationSpecific, tr("coordination with specific codition"));

    // Pathway commands that have no place in the menus above.
    AddCommand(cmd::StartupLoad, tr("Reload Pathway"), &CMainFrame::OnStartupLoad);
    AddCommand(cmd::ExportDot, tr("Export Graphviz..."), &CMainFrame::OnExportDot);
    AddCommand(cmd::SavePathway, tr("Save Pathway..."), &CMainFrame::OnSavePathway);
    ReplacesGraph({cmd::FileNew, cmd::StartupLoad});

    // Commands handled with no effect.
    for (int id : {32789, 32790, 32830, 32831}) {
        AddCommand(id, QString(), &CMainFrame::OnNoEffect);
    }
}

QAction* CMainFrame::AddFeatureCommand(int id, const QString& text, std::function<void()> handler) {
    QAction* action = m_commands.value(id, nullptr);
    if (!action) {
        action = AddCommand(id, text);
    }
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler), id] { RunCommand(id, handler); });
    return action;
}

QMenu* CMainFrame::AddFeatureMenu(const QString& title, const std::vector<int>& ids) {
    QMenu* menu = menuBar()->addMenu(title);
    for (int id : ids) {
        if (id == 0) {
            menu->addSeparator();
        } else if (QAction* action = m_commands.value(id, nullptr)) {
            menu->addAction(action);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCheckMarks);
    return menu;
}

QMenu* CMainFrame::AddMenu(QMenu* parent, const QString& title, std::initializer_list<int> ids) {
    QMenu* menu = parent ? parent->addMenu(title) : menuBar()->addMenu(title);
    for (int id : ids) {
        menu->addAction(m_commands.value(id));
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCheckMarks);
    return menu;
}

void CMainFrame::createMenus() {
    QMenu* view = menuBar()->addMenu(tr("View(&V)"));
    view->setObjectName(QStringLiteral("menuView"));
    AddMenu(view, tr("Highlight"), {cmd::ViewWithBox, cmd::SelectiveShowing, cmd::ViewByColor});
    AddMenu(view, tr("Character(&C)"), {cmd::CharViewAll, cmd::CharViewNothing});
    AddMenu(view, tr("Select"), {cmd::SelectOne, cmd::SelectRelated});
    AddMenu(nullptr, tr("Select(&S)"), {cmd::SelectAll, cmd::DeselectAll});
    AddMenu(nullptr, tr("Manipulation(&E)"), {cmd::Rename, cmd::AnnotateOk, cmd::SpecificInformation});
    AddMenu(nullptr, tr("Tune(&T)"), {cmd::CoordinationSpecific});
    m_pPathwayMenu = AddMenu(nullptr, tr("&Pathway"), {cmd::StartupLoad, cmd::SavePathway, cmd::ExportDot});
    m_pPathwayMenu->addSeparator();
    m_pPathwayMenu->addAction(m_commands.value(cmd::ExpandOut));
    m_pPathwayMenu->addAction(m_commands.value(cmd::ExpandIn));
    // The two label modes the View menu has no item for.
    m_pPathwayMenu->addSeparator();
    m_pPathwayMenu->addAction(m_commands.value(cmd::CharViewRed));
    m_pPathwayMenu->addAction(m_commands.value(cmd::CharViewBoth));
    m_pPathwayMenu->addSeparator();
    for (int id : {cmd::NewMolecule, cmd::SetRelation, cmd::DeleteMolecule}) {
        m_pPathwayMenu->addAction(m_commands.value(id));
    }
    AddMenu(nullptr, tr("Edit History"), {cmd::EditUndo, cmd::EditRedo});
    RegisterReviewCommands(*this);
    AddMenu(nullptr, tr("Help(&H)"), {cmd::AppAbout});
}

void CMainFrame::createToolBars() {
    m_wndToolBar = addToolBar(tr("Standard"));
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setIconSize(QSize(16, 15));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : {cmd::FileNew, cmd::FileOpen, cmd::FileSave, 0, cmd::EditCut, cmd::EditCopy, cmd::EditPaste, 0,
                   cmd::FilePrint, cmd::AppAbout}) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
        } else {
            m_wndToolBar->addAction(m_commands.value(id));
        }
    }
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    m_pIndicators = new CStatusIndicators(bar);
    // Fly-by help replaces the idle text for as long as it is shown.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
        if (message.isEmpty()) {
            bar->showMessage(IdleText());
        }
    });
    bar->showMessage(IdleText());
}

void CMainFrame::createDockWindows() {
    m_wndMyDialogBar = new QDockWidget(tr("My Dialog Bar"), this);
    m_wndMyDialogBar->setObjectName(QStringLiteral("MyDialogBar"));
    m_wndMyDialogBar->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // A dialog bar: no caption, never floating, never closed by the user.
    m_wndMyDialogBar->setFeatures(QDockWidget::DockWidgetMovable);
    m_wndMyDialogBar->setTitleBarWidget(new QWidget(m_wndMyDialogBar));
    m_pSearchPanel = new CSearchPanel(m_wndMyDialogBar);
    m_wndMyDialogBar->setWidget(m_pSearchPanel);
    addDockWidget(Qt::LeftDockWidgetArea, m_wndMyDialogBar);

    QAction* toggle = m_wndMyDialogBar->toggleViewAction();
    toggle->setData(cmd::DialogBar);
    toggle->setStatusTip(tr("Show or hide My Dialog Bar"));
    toggle->setToolTip(tr("Toggle My Dialog Bar"));
    m_commands.insert(cmd::DialogBar, toggle);

    // The search button sends command 1001.
    QAction* search = AddCommand(cmd::Search, tr("search"), &CMainFrame::OnSearch);
    auto* button = qobject_cast<QPushButton*>(m_pSearchPanel->GetControl(CSearchPanel::IDC_SEARCH));
    button->setEnabled(search->isEnabled());
    connect(search, &QAction::changed, button, [search, button] { button->setEnabled(search->isEnabled()); });
    connect(m_pSearchPanel, &CSearchPanel::searchRequested, search, &QAction::trigger);
}

void CMainFrame::createView() {
    m_pView = new CTarnwickView(m_doc, m_flags, *m_pSearchPanel, m_prompt, this);
    connect(m_pView, &CTarnwickView::statusText, statusBar(), [this](const QString& text) {
        statusBar()->showMessage(text);
    });
    setCentralWidget(m_pView);
}

void CMainFrame::readSettings() {
    QSettings settings(SettingsOrganization(), SettingsApplication());
    m_recentFiles.ReadList(settings);
    restoreState(settings.value(QStringLiteral("Settings/WindowState")).toByteArray());
    // A state saved while the panel could still be closed or floated does
    // not hide it.
    m_wndMyDialogBar->setFloating(false);
    const Qt::DockWidgetArea area = dockWidgetArea(m_wndMyDialogBar);
    if (area != Qt::LeftDockWidgetArea && area != Qt::RightDockWidgetArea) {
        addDockWidget(Qt::LeftDockWidgetArea, m_wndMyDialogBar);
    }
    m_wndMyDialogBar->show();
}

void CMainFrame::writeSettings() {
    QSettings settings(SettingsOrganization(), SettingsApplication());
    m_recentFiles.WriteList(settings);
    settings.setValue(QStringLiteral("Settings/WindowState"), saveState());
}

QMenu* CMainFrame::createPopupMenu() {
    // The toolbar's context menu offers no way to close the search panel.
    QMenu* menu = QMainWindow::createPopupMenu();
    if (menu) {
        menu->removeAction(m_wndMyDialogBar->toggleViewAction());
    }
    return menu;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_pEdit->ConfirmUnsavedEdits()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

QAction* CMainFrame::FindCommand(int id) const { return m_commands.value(id, nullptr); }

bool CMainFrame::ExecuteCommand(int id) {
    QAction* action = FindCommand(id);
    if (!action || !action->isEnabled()) {
        return false;
    }
    action->trigger();
    return true;
}

void CMainFrame::UpdateCheckMarks() {
    m_pEdit->UpdateHistoryActions(m_commands.value(cmd::EditUndo), m_commands.value(cmd::EditRedo));
    for (auto it = m_checkFlags.constBegin(); it != m_checkFlags.constEnd(); ++it) {
        m_commands.value(it.key())->setChecked(m_flags.*(it.value()) != 0);
    }
}

void CMainFrame::SetHighlightMode(int mode) {
    int ModeFlags::*const flags[] = {&ModeFlags::m_bViewWithBox, &ModeFlags::m_bSelectiveShowing,
                                     &ModeFlags::m_bViewByColor};
    if (m_flags.*flags[mode]) {
        return;  // the checked mode again changes nothing
    }
    int old = 0;
    for (int i = 0; i < 3; ++i) {
        if (m_flags.*flags[i]) {
            old = i;
        }
    }
    // The scene changes before the flags do, as the command always did.
    if (CRepresentation* target = m_pView->GetCommandTarget()) {
        target->SetHighlightMode(mode, old);
    } else {
        m_pView->UseRenderActionFor(mode);
    }
    for (int i = 0; i < 3; ++i) {
        m_flags.*flags[i] = i == mode ? 1 : 0;
    }
}

void CMainFrame::SetLabelMode(int ModeFlags::*flag, int visibility) {
    if (!(m_flags.*flag)) {
        if (CRepresentation* target = m_pView->GetCommandTarget()) {
            target->SetLabelVisibility(visibility);
        }
    }
    m_flags.m_bCharViewAll = 0;
    m_flags.m_bCharViewRed = 0;
    m_flags.m_bCharViewBoth = 0;
    m_flags.m_bCharViewNothing = 0;
    m_flags.*flag = 1;
}

void CMainFrame::OnViewWithBox() { SetHighlightMode(0); }
void CMainFrame::OnSelectiveShowing() { SetHighlightMode(1); }
void CMainFrame::OnViewByColor() { SetHighlightMode(2); }

// Label visibility values: 2 both label roots, 1 only the red one, 3 none.
void CMainFrame::OnCharViewAll() { SetLabelMode(&ModeFlags::m_bCharViewAll, 2); }
void CMainFrame::OnCharViewRed() { SetLabelMode(&ModeFlags::m_bCharViewRed, 1); }
void CMainFrame::OnCharViewBoth() { SetLabelMode(&ModeFlags::m_bCharViewBoth, 2); }
void CMainFrame::OnCharViewNothing() { SetLabelMode(&ModeFlags::m_bCharViewNothing, 3); }

void CMainFrame::OnSelectOne() {
    m_flags.m_bSelectOne = 1;
    m_flags.m_bSelectRelated = 0;
}

void CMainFrame::OnSelectRelated() {
    m_flags.m_bSelectRelated = 1;
    m_flags.m_bSelectOne = 0;
}

void CMainFrame::OnSelectAll() {}

void CMainFrame::OnDeselectAll() {
    if (CRepresentation* target = m_pView->GetCommandTarget()) {
        target->DeselectAll();
    }
}

void CMainFrame::OnSearch() {
    if (CRepresentation* target = m_pView->GetCommandTarget()) {
        const SearchRequest request = m_pSearchPanel->GetSearchRequest();
        target->SearchAndSelect(request.name, request.kind, request.distance, 0);
    }
}

void CMainFrame::OnExpandOut() {
    if (CRepresentation* target = m_pView->GetCommandTarget()) {
        target->ExpandSelection(1);
    }
}

void CMainFrame::OnExpandIn() {
    if (CRepresentation* target = m_pView->GetCommandTarget()) {
        target->ExpandSelection(2);
    }
}

void CMainFrame::OnNoEffect() {}

void CMainFrame::OnFileNew() { m_pView->OnInitialUpdate(); }

void CMainFrame::OnFileOpen() { ExecuteCommand(cmd::OpenPathway); }

void CMainFrame::AddRecentFile(const std::string& path) { m_recentFiles.Add(QString::fromStdString(path)); }

QAction* CMainFrame::RegisterCommand(int id, const QString& text, std::function<void()> handler) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler), id] { RunCommand(id, handler); });
    m_commands.insert(id, action);
    return action;
}

void CMainFrame::OnStartupLoad() { m_pView->OnStartupLoad(); }

void CMainFrame::OnExportDot() { ShowWritten(m_doc.OnExportDot(m_prompt)); }

void CMainFrame::OnSavePathway() { SavePathway(); }

bool CMainFrame::SavePathway() {
    // The grid comes from the box layout on record; without one the file
    // gets a 1 x 1 grid and no cells.
    const CBoxRep* box = m_pView->GetBox();
    const std::string written = m_doc.OnSavePathway(m_prompt, box ? PathwayGridOf(box->GetGrid()) : PathwayGrid());
    ShowWritten(written);
    return !written.empty();
}

void CMainFrame::ReplacesGraph(std::initializer_list<int> ids) {
    for (int id : ids) {
        m_replacingGraph.insert(id);
    }
}

void CMainFrame::RunCommand(int id, const std::function<void()>& handler) {
    if (!m_replacingGraph.contains(id) || m_pEdit->ConfirmUnsavedEdits()) {
        handler();
    }
    UpdateCheckMarks();
}

void CMainFrame::ShowWritten(const std::string& note) {
    if (!note.empty()) {
        statusBar()->showMessage(QString::fromStdString(note));
    }
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about(this);
    about.exec();
}
