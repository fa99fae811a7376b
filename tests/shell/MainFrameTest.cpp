// The main window's wiring: title, menus, check marks, toolbar, status
// bar, the search panel, the About box and the Pathway commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

#include <memory>
#include <set>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/actions/SoBoxHighlightRenderAction.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/actions/SoSearchAction.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "SearchPanel.h"
#include "TarnwickApp.h"
#include "TarnwickView.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }

void Flatten(const QList<QAction*>& actions, const QString& prefix, QStringList& out) {
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            out << prefix + "-";
        } else if (QMenu* menu = action->menu()) {
            Flatten(menu->actions(), prefix + action->text() + ">", out);
        } else {
            out << QStringLiteral("%1%2=%3").arg(prefix, action->text()).arg(action->data().toInt());
        }
    }
}

const int kModeCommands[] = {cmd::ViewWithBox,  cmd::SelectiveShowing, cmd::ViewByColor,
                             cmd::CharViewAll,  cmd::CharViewRed,      cmd::CharViewBoth,
                             cmd::CharViewNothing, cmd::SelectOne,     cmd::SelectRelated};

std::set<int> CheckedModes() {
    std::set<int> checked;
    for (int id : kModeCommands) {
        if (Frame().FindCommand(id)->isChecked()) {
            checked.insert(id);
        }
    }
    return checked;
}

std::set<int> FlagsSet(const ModeFlags& f) {
    const std::pair<int, int> pairs[] = {
        {cmd::ViewWithBox, f.m_bViewWithBox},       {cmd::SelectiveShowing, f.m_bSelectiveShowing},
        {cmd::ViewByColor, f.m_bViewByColor},       {cmd::CharViewAll, f.m_bCharViewAll},
        {cmd::CharViewRed, f.m_bCharViewRed},       {cmd::CharViewBoth, f.m_bCharViewBoth},
        {cmd::CharViewNothing, f.m_bCharViewNothing}, {cmd::SelectOne, f.m_bSelectOne},
        {cmd::SelectRelated, f.m_bSelectRelated}};
    std::set<int> set;
    for (const auto& [id, flag] : pairs) {
        if (flag) {
            set.insert(id);
        }
    }
    return set;
}

}  // namespace

TEST(MainFrame, OpensMaximisedTitledSkeinwrightWhateverTheDocument) {
    EXPECT_EQ(Frame().windowTitle(), "Skeinwright");
    EXPECT_TRUE(Frame().isMaximized());
    EXPECT_TRUE(Frame().isVisible());
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::FileNew));
    EXPECT_EQ(Frame().windowTitle(), "Skeinwright");
}

TEST(MainFrame, MenuBarIsExactlyTheResourceMenuPlusPathwayAndReview) {
    QStringList menu;
    Flatten(Frame().menuBar()->actions(), QString(), menu);
    const QStringList expected = {
        "View(&V)>Highlight>View With Box=32771",
        "View(&V)>Highlight>Selective Showing=32773",
        "View(&V)>Highlight>View By Color=32772",
        "View(&V)>Character(&C)>View All(&A)=32774",
        "View(&V)>Character(&C)>View Nothing(&N)=32777",
        "View(&V)>Select>Select One=32787",
        "View(&V)>Select>Select Related=32788",
        "Select(&S)>Select All=32781",
        "Select(&S)>Deselect All=32782",
        "Manipulation(&E)>Rename=32820",
        "Manipulation(&E)>Annotate OK status=32823",
        "Manipulation(&E)>Specific Information=32829",
        "Tune(&T)>coordination with specific codition=32818",
        "&Pathway>Sphere View...=32808",
        "&Pathway>Box View=32832",
        "&Pathway>Open Pathway...=32792",
        "&Pathway>-",
        "&Pathway>Reload Pathway=32834",
        "&Pathway>Save Pathway...=32795",
        "&Pathway>Export Graphviz...=32833",
        "&Pathway>-",
        "&Pathway>Expand Selection Along Out-Links=1005",
        "&Pathway>Expand Selection Along In-Links=32786",
        "&Pathway>-",
        "&Pathway>View Red Labels Only=32775",
        "&Pathway>View Both Label Groups=32776",
        "&Pathway>-",
        "&Pathway>New Molecule...=32798",
        "&Pathway>Set Relation...=32821",
        "&Pathway>Delete Molecule...=32797",
        "&Pathway>-",
        "&Pathway>Lay Out with Graphviz=33040",
        "&Pathway>Lay Out with Graphviz Engine>dot=33041",
        "&Pathway>Lay Out with Graphviz Engine>neato=33042",
        "&Pathway>Lay Out with Graphviz Engine>fdp=33043",
        "&Pathway>Lay Out with Graphviz Engine>sfdp=33044",
        "&Pathway>Cancel Layout=33045",
        "&Pathway>Save Node Positions...=33046",
        "&Pathway>-",
        "&Pathway>Legend=33022",
        "&Pathway>Export Image...=33020",
        "&Pathway>Uncluttered Labels=33021",
        "&Pathway>-",
        "&Pathway>Connect to Data Source...=33060",
        "&Pathway>-",
        "&Pathway>Zoom to Selection=33000",
        "Edit History>Undo=57643",
        "Edit History>Redo=57644",
        "Review>Conjunctions in Members=32809",
        "Review>Prepositions in Members=32813",
        "Review>Expression Words=32814",
        "Review>Verbs Against Relation Kinds=32810",
        "Review>In Vitro and In Vivo=32811",
        "Review>Experiment Methods=32817",
        "Review>Organisms=32812",
        "Review>Localization=32826",
        "Review>Modality and Degree=32815",
        "Review>Simple Coordination=32819",
        "Review>All Member Markers=32803",
        "Review>Find by Special Token...=32816",
        "Review>-",
        "Review>Set Simple Interactions OK=32824",
        "Review>Show Interactions Not OK=32828",
        "Review>-",
        "Review>Count OK=32822",
        "Review>Statistics=32827",
        "Review>-",
        "Review>Keep Verdicts in the Database=32900",
        "Help(&H)>Tarnwick 정보(&A)...=57664",
    };
    EXPECT_EQ(menu, expected);
    // Every id finds its action, so commands without a menu are reachable.
    for (const QString& entry : expected) {
        if (!entry.contains('=')) {
            continue;  // a separator
        }
        const int id = entry.section('=', 1).toInt();
        ASSERT_NE(Frame().FindCommand(id), nullptr) << id;
        EXPECT_EQ(Frame().FindCommand(id)->data().toInt(), id);
    }
}

TEST(MainFrame, ThreeItemsCarryACheckMarkAtStart) {
    EXPECT_EQ(CheckedModes(), (std::set<int>{cmd::ViewWithBox, cmd::CharViewAll, cmd::SelectOne}));
    EXPECT_EQ(FlagsSet(Frame().GetModeFlags()), CheckedModes());
}

TEST(MainFrame, ModeCommandsKeepOneFlagPerGroupAndCheckMarksFollow) {
    CTarnwickView* view = Frame().GetActiveView();
    struct Step {
        int command;
        std::set<int> checked;
        bool boxHighlight;  // the viewer renders with the white box action
    };
    const Step steps[] = {
        {cmd::SelectiveShowing, {cmd::SelectiveShowing, cmd::CharViewAll, cmd::SelectOne}, false},
        {cmd::ViewByColor, {cmd::ViewByColor, cmd::CharViewAll, cmd::SelectOne}, false},
        {cmd::ViewWithBox, {cmd::ViewWithBox, cmd::CharViewAll, cmd::SelectOne}, true},
        {cmd::ViewWithBox, {cmd::ViewWithBox, cmd::CharViewAll, cmd::SelectOne}, true},
        {cmd::CharViewRed, {cmd::ViewWithBox, cmd::CharViewRed, cmd::SelectOne}, true},
        {cmd::CharViewBoth, {cmd::ViewWithBox, cmd::CharViewBoth, cmd::SelectOne}, true},
        {cmd::CharViewNothing, {cmd::ViewWithBox, cmd::CharViewNothing, cmd::SelectOne}, true},
        {cmd::CharViewAll, {cmd::ViewWithBox, cmd::CharViewAll, cmd::SelectOne}, true},
        {cmd::SelectRelated, {cmd::ViewWithBox, cmd::CharViewAll, cmd::SelectRelated}, true},
        {cmd::SelectOne, {cmd::ViewWithBox, cmd::CharViewAll, cmd::SelectOne}, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        ASSERT_TRUE(Frame().ExecuteCommand(step.command));
        EXPECT_EQ(CheckedModes(), step.checked);
        EXPECT_EQ(FlagsSet(Frame().GetModeFlags()), step.checked);
        EXPECT_EQ(view->GetViewer()->getGLRenderAction(),
                  step.boxHighlight ? static_cast<SoGLRenderAction*>(view->GetBoxHighlightAction())
                                    : view->GetGLAction());
    }
}

TEST(MainFrame, SelectAllIsEnabledAndChangesNothing) {
    CTarnwickView* view = Frame().GetActiveView();
    CBoxRep* box = view->GetBox();
    ASSERT_NE(box, nullptr);
    SoSearchAction search;
    search.setType(SoSphere::getClassTypeId());
    search.setInterest(SoSearchAction::FIRST);
    search.apply(box->GetSelection());
    ASSERT_NE(search.getPath(), nullptr);
    box->GetSelection()->select(search.getPath());
    const ModeFlags before = Frame().GetModeFlags();
    SoNode* root = view->GetSceneRoot();

    QAction* selectAll = Frame().FindCommand(cmd::SelectAll);
    EXPECT_TRUE(selectAll->isEnabled());
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::SelectAll));

    EXPECT_EQ(box->GetSelection()->getNumSelected(), 1);
    EXPECT_EQ(view->GetBox(), box);
    EXPECT_EQ(view->GetSceneRoot(), root);
    EXPECT_EQ(FlagsSet(Frame().GetModeFlags()), FlagsSet(before));
    box->GetSelection()->deselectAll();
}

TEST(MainFrame, ToolbarAndAcceleratorsLikeTheResource) {
    auto* toolbar = Frame().findChild<QToolBar*>("toolBar");
    ASSERT_NE(toolbar, nullptr);
    QStringList buttons;
    for (QAction* action : toolbar->actions()) {
        buttons << (action->isSeparator() ? QStringLiteral("-") : QString::number(action->data().toInt()));
    }
    EXPECT_EQ(buttons, QStringList({"57600", "57601", "57603", "-", "57635", "57634", "57637", "-", "57607",
                                    "57664"}));
    // The clipboard commands have no handler anywhere; nothing to undo yet.
    for (int id : {cmd::EditCut, cmd::EditCopy, cmd::EditPaste, cmd::EditUndo, cmd::EditRedo}) {
        EXPECT_FALSE(Frame().FindCommand(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(Frame().FindCommand(cmd::FileNew)->isEnabled());
    EXPECT_TRUE(Frame().FindCommand(cmd::FileNew)->shortcuts().contains(QKeySequence("Ctrl+N")));
    EXPECT_TRUE(Frame().FindCommand(cmd::EditPaste)->shortcuts().contains(QKeySequence("Shift+Ins")));
}

TEST(MainFrame, StatusBarFallsBackToItsIdleText) {
    QStatusBar* bar = Frame().statusBar();
    EXPECT_EQ(bar->currentMessage(), "준비");
    bar->showMessage("fly-by help");
    EXPECT_EQ(bar->currentMessage(), "fly-by help");
    bar->clearMessage();
    EXPECT_EQ(bar->currentMessage(), "준비");
    for (const char* name : {"indicatorCAP", "indicatorNUM", "indicatorSCRL"}) {
        EXPECT_NE(bar->findChild<QLabel*>(name), nullptr) << name;
    }
}

TEST(MainFrame, KoreanTextsHaveAFont) {
    const QStringList families = QFontDatabase().families(QFontDatabase::Korean);
    ASSERT_FALSE(families.isEmpty()) << "no Korean font installed (fonts-noto-cjk)";
    bool covered = false;
    for (const QString& family : families) {
        const QFontMetrics metrics{QFont(family)};
        covered = covered || (metrics.inFont(QChar(0xC900)) && metrics.inFont(QChar(0xBE44)));  // 준비
    }
    EXPECT_TRUE(covered);
}

TEST(SearchPanel, DockedLeftWithEveryControlAndNoInitialSelection) {
    auto* dock = Frame().findChild<QDockWidget*>("MyDialogBar");
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(Frame().dockWidgetArea(dock), Qt::LeftDockWidgetArea);
    EXPECT_EQ(dock->allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(Frame().FindCommand(cmd::DialogBar), dock->toggleViewAction());
    // A dialog bar: no caption, no close button, never floating, and the
    // toolbar's context menu does not offer to hide it.
    EXPECT_FALSE(dock->features() & (QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetFloatable));
    ASSERT_NE(dock->titleBarWidget(), nullptr);
    EXPECT_LE(dock->titleBarWidget()->sizeHint().height(), 0);
    EXPECT_LT(dock->widget()->mapTo(dock, QPoint(0, 0)).y(), 4);
    std::unique_ptr<QMenu> context(Frame().createPopupMenu());
    EXPECT_TRUE(!context || !context->actions().contains(dock->toggleViewAction()));

    CSearchPanel* panel = Frame().GetSearchPanel();
    QStringList groups;
    for (auto* box : panel->findChildren<QGroupBox*>()) {
        groups << box->title();
    }
    groups.sort();
    EXPECT_EQ(groups, QStringList({"node name", "search", "text source"}));

    EXPECT_NE(qobject_cast<QLineEdit*>(panel->GetControl(1000)), nullptr);
    auto* relation = qobject_cast<QComboBox*>(panel->GetControl(1002));
    auto* distance = qobject_cast<QComboBox*>(panel->GetControl(1004));
    auto* search = qobject_cast<QPushButton*>(panel->GetControl(1001));
    ASSERT_TRUE(relation && distance && search);
    QStringList kinds;
    for (int i = 0; i < relation->count(); ++i) {
        kinds << relation->itemText(i);
    }
    EXPECT_EQ(kinds, QStringList({"Bind", "Enzymatic stimulation", "Stimulation", "Inhibition",
                                  "Transcriptional stimulation", "Transcriptional inhibition",
                                  "Covalent modification", "Stimulation (suspected)", "Inhibition (suspected)",
                                  "Homo_xmer", "Stoichiometric conversion", ""}));
    QStringList distances;
    for (int i = 0; i < distance->count(); ++i) {
        distances << distance->itemText(i);
    }
    EXPECT_EQ(distances, QStringList({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(search->text(), "search");

    // Untouched drop-downs report no selection.
    const SearchRequest untouched = panel->GetSearchRequest();
    EXPECT_EQ(untouched.kind, -1);
    EXPECT_EQ(untouched.distance, -1);
    relation->setCurrentIndex(11);
    distance->setCurrentIndex(3);
    qobject_cast<QLineEdit*>(panel->GetControl(1000))->setText("Ste5");
    const SearchRequest chosen = panel->GetSearchRequest();
    EXPECT_EQ(chosen.name, "Ste5");
    EXPECT_EQ(chosen.kind, 11);
    EXPECT_EQ(chosen.distance, 3);
    relation->setCurrentIndex(-1);
    distance->setCurrentIndex(-1);
    qobject_cast<QLineEdit*>(panel->GetControl(1000))->clear();

    for (int id : {1007, 1008}) {
        auto* pane = qobject_cast<QPlainTextEdit*>(panel->GetControl(id));
        ASSERT_NE(pane, nullptr) << id;
        EXPECT_TRUE(pane->isReadOnly());
        EXPECT_EQ(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
    Frame().GetActiveView()->SetNodeNameText("Ste5 (3, 0)");
    EXPECT_EQ(panel->GetNodeNameText(), "Ste5 (3, 0)");
    Frame().GetActiveView()->SetNodeNameText("");
}

TEST(MainFrame, AboutBoxShowsVersionAndConfirmButton) {
    QString title;
    QStringList labels;
    bool hasIcon = false;
    const bool shown = WithNextModal([] { Frame().ExecuteCommand(cmd::AppAbout); },
                                     [&](QWidget* dialog) {
                                         title = dialog->windowTitle();
                                         dialog->grab().save(ArtifactPath("about_box.png"));
                                         for (auto* label : dialog->findChildren<QLabel*>()) {
                                             labels << label->text();
                                             hasIcon = hasIcon || !label->pixmap(Qt::ReturnByValue).isNull();
                                         }
                                         QPushButton* ok = nullptr;
                                         for (auto* button : dialog->findChildren<QPushButton*>()) {
                                             if (button->text() == "확인") {
                                                 ok = button;
                                             }
                                         }
                                         ASSERT_NE(ok, nullptr);
                                         ok->click();
                                     });
    ASSERT_TRUE(shown);
    EXPECT_EQ(title, "Tarnwick 정보");
    EXPECT_TRUE(labels.contains("Tarnwick 버전 1.0"));
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MainFrame, ExportGraphvizAsksForADotFileAndWritesIt) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const QString target = out.filePath("pathway");  // the default extension completes it
    QStringList filters;
    QString suffix;
    const bool shown = WithNextModal([] { Frame().ExecuteCommand(cmd::ExportDot); },
                                     [&](QWidget* modal) {
                                         auto* dialog = qobject_cast<QFileDialog*>(modal);
                                         ASSERT_NE(dialog, nullptr);
                                         filters = dialog->nameFilters();
                                         suffix = dialog->defaultSuffix();
                                         EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
                                         AcceptFileDialog(dialog, target);
                                     });
    ASSERT_TRUE(shown);
    EXPECT_EQ(filters, QStringList({"dot file (*.dot)"}));
    EXPECT_EQ(suffix, "dot");
    QFile written(target + ".dot");
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.startsWith("graph \"cs\" { node [ fontname = \"Arial\"\n"));
    EXPECT_TRUE(bytes.endsWith("\n}"));
    EXPECT_GT(bytes.count("--"), 10);
    written.close();

    // Choosing the file again asks before replacing it; No keeps the file
    // and returns to the dialog, which is then cancelled.
    ASSERT_TRUE(QFile::resize(target + ".dot", 3));
    QString caption, question;
    const int handled = WithModals(
        [] { Frame().ExecuteCommand(cmd::ExportDot); },
        {[&](QWidget* modal) {
             auto* dialog = qobject_cast<QFileDialog*>(modal);
             ASSERT_NE(dialog, nullptr);
             AcceptFileDialog(dialog, target + ".dot");
         },
         [&](QWidget* modal) {
             auto* message = qobject_cast<QMessageBox*>(modal);
             ASSERT_NE(message, nullptr);
             caption = message->windowTitle();
             question = message->text();
             message->button(QMessageBox::No)->click();
         },
         [&](QWidget* modal) {
             // Back in the dialog after the refusal.
             auto* dialog = qobject_cast<QFileDialog*>(modal);
             ASSERT_NE(dialog, nullptr);
             dialog->reject();
         }});
    EXPECT_EQ(handled, 3);
    EXPECT_EQ(caption, "QuillonTarnwick");
    EXPECT_TRUE(question.contains("already exists")) << question.toStdString();
    EXPECT_EQ(QFileInfo(target + ".dot").size(), 3);
}
