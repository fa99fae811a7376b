// Editing through the window: the rename dialog on the box view's current
// molecule, the scene following, and Undo/Redo naming the action.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <Inventor/nodes/SoSelection.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "GuiTestSupport.h"
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
