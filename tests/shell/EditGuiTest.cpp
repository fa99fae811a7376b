// Editing through the window: the rename dialog on the box view's current
// molecule, the scene following, and Undo/Redo naming the action.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoSelection.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "EditCommandSet.h"
#include "GuiTestSupport.h"
#include "LinkText.h"
#include "MainFrm.h"
#include "Node.h"
#include "SceneNames.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }
CBoxRep& Box() { return *Frame().GetActiveView()->GetBox(); }
CNode& Graph() { return *SampleApp().GetDocument()->m_pGraph; }

template <class Widget>
Widget* Control(QWidget* dialog, int id) {
    return dialog->findChild<Widget*>(QStringLiteral("control%1").arg(id));
}

// How many labels of the molecule the box view shows (its own and those
// nested beside the molecules linking to it).
int Labels(const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, "text_" + name);
    search.setInterest(SoSearchAction::ALL);
    search.apply(Box().GetLabelRoot());
    return search.getPaths().getLength();
}

}  // namespace

TEST(EditGui, RenameInTheBoxViewFollowsInTheSceneAndUndoes) {
    const std::string name = Graph().GetMoleculeName(1, 0);
    ASSERT_FALSE(name.empty());
    Box().GetSelection()->deselectAll();
    Box().SelectByName(name);
    ASSERT_EQ(Box().GetCurrentName(), name);
    ASSERT_TRUE(Frame().FindCommand(cmd::Rename)->isEnabled());

    QString oldShown;
    ASSERT_TRUE(WithNextModal([] { Frame().ExecuteCommand(cmd::Rename); },
                              [&](QWidget* modal) {
                                  ASSERT_EQ(modal->objectName(), "dlgRename");
                                  // The command's busy pointer is lifted while its dialog is up.
                                  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
                                  EXPECT_EQ(modal->windowTitle(), "Rename");
                                  oldShown = Control<QLineEdit>(modal, 1009)->text();
                                  EXPECT_FALSE(Control<QLineEdit>(modal, 1009)->isEnabled());
                                  Control<QLineEdit>(modal, 1001)->setText("Renamed_one");
                                  Control<QPushButton>(modal, 1)->click();
                              }));
    EXPECT_EQ(oldShown.toStdString(), name);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Graph().GetMoleculeName(1, 0), "Renamed_one");
    EXPECT_NE(FindNodeBySceneName("Renamed_one"), nullptr);
    EXPECT_EQ(Box().GetCurrentName(), "");
    QAction* undo = Frame().FindCommand(cmd::EditUndo);
    ASSERT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "Undo Rename");

    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));
    EXPECT_EQ(Graph().GetMoleculeName(1, 0), name);
    EXPECT_EQ(Graph().LookUp(name), "1 0");
    EXPECT_EQ(Frame().FindCommand(cmd::EditRedo)->text(), "Redo Rename");
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditRedo));
    EXPECT_EQ(Graph().GetMoleculeName(1, 0), "Renamed_one");
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));

    // The delete dialog opens on the current molecule with every choice at Yes.
    Box().SelectByName(name);
    std::vector<int> choices;
    ASSERT_TRUE(WithNextModal([] { Frame().ExecuteCommand(cmd::DeleteMolecule); },
                              [&](QWidget* modal) {
                                  for (int id : {1002, 1003, 1004}) {
                                      choices.push_back(Control<QComboBox>(modal, id)->currentIndex());
                                  }
                                  Control<QPushButton>(modal, 2)->click();
                              }));
    EXPECT_EQ(choices, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(Graph().GetMoleculeName(1, 0), name);  // cancelled
}

TEST(EditGui, BoxLabelsNestedBesideLinkingMoleculesFollowRenamesAndNewLinks) {
    // A molecule labelled beside another's label too, and a shown molecule
    // with one not among its link targets.
    std::string nested, shown;
    NodePos target{0, 0};
    for (const CCircleData& circle : Graph().m_lstCircles) {
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            if (nested.empty() && Labels(m.name) >= 2) {
                nested = m.name;
            }
            const std::vector<LinkEntry> links = ParseLinkEntries(m.links);
            const bool linksTo2 =
                std::any_of(links.begin(), links.end(), [](const LinkEntry& e) { return e.circle == 2 && e.index == 0; });
            if (shown.empty() && m.level == 0 && circle.CircleNum != 2 && !linksTo2) {
                shown = m.name;
                target = {2, 0};
            }
        }
    }
    ASSERT_FALSE(nested.empty());
    ASSERT_FALSE(shown.empty());
    const int labels = Labels(nested);
    auto rename = [](const std::string& from, const char* to) {
        Box().GetSelection()->deselectAll();
        Box().SelectByName(from);
        ASSERT_TRUE(WithNextModal([] { Frame().ExecuteCommand(cmd::Rename); },
                                  [&](QWidget* modal) {
                                      Control<QLineEdit>(modal, 1001)->setText(to);
                                      Control<QPushButton>(modal, 1)->click();
                                  }));
    };
    rename(nested, "Nested_one");
    EXPECT_EQ(Labels("Nested_one"), labels);
    EXPECT_EQ(Labels(nested), 0);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));
    EXPECT_EQ(Labels(nested), labels);
    EXPECT_EQ(Labels("Nested_one"), 0);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditRedo));
    EXPECT_EQ(Labels("Nested_one"), labels);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));

    // A new link labels its target beside the source's label at once.
    const std::string targetName = Graph().GetMoleculeName(target.circle, target.index);
    const int targetLabels = Labels(targetName);
    Box().GetSelection()->deselectAll();
    Box().SelectByName(shown);
    ASSERT_TRUE(WithNextModal([] { Frame().ExecuteCommand(cmd::SetRelation); },
                              [&](QWidget* modal) {
                                  Control<QLineEdit>(modal, 1012)->setText(QString::number(target.circle));
                                  Control<QLineEdit>(modal, 1001)->setText(QString::number(target.index));
                                  Control<QPushButton>(modal, 1)->click();
                              }));
    EXPECT_EQ(Labels(targetName), targetLabels + 1);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));
    EXPECT_EQ(Labels(targetName), targetLabels);
}

// With an edit not saved, a command replacing the graph and closing the
// window ask first; Cancel keeps everything, and after Undo nothing asks.
TEST(EditGui, UnsavedEditsAreAskedAboutBeforeTheGraphGoesOrTheWindowCloses) {
    const std::string name = Graph().GetMoleculeName(1, 0);
    Box().GetSelection()->deselectAll();
    Box().SelectByName(name);
    ASSERT_TRUE(WithNextModal([] { Frame().ExecuteCommand(cmd::Rename); },
                              [](QWidget* modal) {
                                  Control<QLineEdit>(modal, 1001)->setText("Unsaved_one");
                                  Control<QPushButton>(modal, 1)->click();
                              }));
    ASSERT_EQ(Graph().GetMoleculeName(1, 0), "Unsaved_one");
    const CNode* graph = &Graph();
    auto cancel = [](QString& question) {
        return [&question](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            question = box->text();
            box->button(QMessageBox::Cancel)->click();
        };
    };
    QString asked;
    ASSERT_TRUE(WithNextModal([] { Frame().ExecuteCommand(cmd::BoxView); }, cancel(asked)));
    EXPECT_EQ(asked, CEditCommandSet::kUnsavedEdits);
    EXPECT_EQ(&Graph(), graph);
    EXPECT_EQ(Graph().GetMoleculeName(1, 0), "Unsaved_one");
    QCloseEvent close;
    asked.clear();
    ASSERT_TRUE(WithNextModal([&close] { QApplication::sendEvent(&Frame(), &close); }, cancel(asked)));
    EXPECT_EQ(asked, CEditCommandSet::kUnsavedEdits);
    EXPECT_FALSE(close.isAccepted());

    ASSERT_TRUE(Frame().ExecuteCommand(cmd::EditUndo));
    QCloseEvent clean;
    QApplication::sendEvent(&Frame(), &clean);  // no question: nothing is unsaved
    EXPECT_TRUE(clean.isAccepted());
    EXPECT_EQ(Graph().GetMoleculeName(1, 0), name);
}
