// Exploring the sample through the window: a click in the viewer selects a
// sphere and fills the node name pane, the search panel selects, and the
// frame's commands reach the box representation.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SoPath.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "Node.h"
#include "SceneNames.h"
#include "SearchPanel.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

CMainFrame& Frame() { return *SampleApp().GetMainWnd(); }
CTarnwickView& View() { return *Frame().GetActiveView(); }
CBoxRep& Box() { return *View().GetBox(); }
CSearchPanel& Panel() { return *Frame().GetSearchPanel(); }

std::set<std::string> SelectedNames() {
    std::set<std::string> names;
    const SoPathList& paths = *Box().GetSelection()->getList();
    for (int i = 0; i < paths.getLength(); ++i) {
        names.insert(GetSceneName(paths[i]->getTail()));
    }
    return names;
}

bool FindClickableSphere(Target& target) {
    return FindClickableSphere(Box(), [](const std::string&) { return true; }, target);
}

}  // namespace

TEST(Explore, AClickInTheViewerSelectsTheSphereAndDescribesIt) {
    Box().GetSelection()->deselectAll();
    ASSERT_TRUE(View().GetViewer()->isViewing());  // no switch to pick mode needed
    Target target;
    ASSERT_TRUE(FindClickableSphere(target));
    int circle = 0, index = 0;
    SampleApp().GetDocument()->m_pGraph->FindMoleculePosition(target.name, circle, index);

    ClickViewer(target.at, target.at);
    EXPECT_EQ(SelectedNames(), std::set<std::string>{target.name});
    EXPECT_EQ(Panel().GetNodeNameText().toStdString(),
              target.name + " Circle:" + std::to_string(circle) + " Node:" + std::to_string(index) + " ");
    EXPECT_EQ(Box().GetCurrentName(), target.name);

    // A drag rotates and selects nothing; a second click deselects.
    ClickViewer(target.at, target.at + QPoint(40, 25));
    EXPECT_EQ(SelectedNames(), std::set<std::string>{target.name});
    ASSERT_TRUE(FindClickableSphere(target));  // the camera may have turned
    Box().GetSelection()->deselectAll();
    ClickViewer(target.at, target.at);
    ASSERT_EQ(SelectedNames(), std::set<std::string>{target.name});
    ClickViewer(target.at, target.at);
    EXPECT_TRUE(SelectedNames().empty());
    EXPECT_EQ(Panel().GetNodeNameText(), "");
}

TEST(Explore, TheSearchPanelSelectsInTheBoxAndReportsUnknownNames) {
    auto* name = qobject_cast<QLineEdit*>(Panel().GetControl(CSearchPanel::IDC_NODE_NAME));
    auto* distance = qobject_cast<QComboBox*>(Panel().GetControl(CSearchPanel::IDC_DISTANCE));
    auto* search = qobject_cast<QPushButton*>(Panel().GetControl(CSearchPanel::IDC_SEARCH));
    ASSERT_TRUE(name && distance && search);
    ASSERT_TRUE(search->isEnabled());

    // Ste50 links to Ste11 in the sample.
    name->setText("Ste50");
    distance->setCurrentIndex(1);
    QTest::mouseClick(search, Qt::LeftButton);
    const std::set<std::string> found = SelectedNames();
    EXPECT_TRUE(found.count("Ste50"));
    EXPECT_TRUE(found.count("Ste11"));
    EXPECT_EQ(Panel().GetNodeNameText(), "");  // a search writes no description

    QString text, caption;
    name->setText("NoSuchMolecule");
    distance->setCurrentIndex(-1);
    const bool shown = WithNextModal([&] { QTest::mouseClick(search, Qt::LeftButton); }, [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        caption = box->windowTitle();
        box->accept();
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(text, "존재하지 않는 이름입니다");
    EXPECT_EQ(caption, "QuillonTarnwick");
    EXPECT_TRUE(SelectedNames().empty());
    name->clear();
}

TEST(Explore, FrameCommandsReachTheBoxRepresentation) {
    ASSERT_EQ(View().GetCommandTarget(), View().GetBox());
    Box().SearchAndSelect("Ste50", -1, 0, 0);
    for (int id : {cmd::DeselectAll, cmd::ExpandOut, cmd::ExpandIn}) {
        EXPECT_TRUE(Frame().FindCommand(id)->isEnabled()) << id;
    }
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ExpandOut));
    EXPECT_TRUE(SelectedNames().count("Ste11"));
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::DeselectAll));
    EXPECT_TRUE(SelectedNames().empty());

    // By colour whitens every named edge material; the labels hide.
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ViewByColor));
    SoNode* edge = FindNodeBySceneName("edge_material_0");
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(static_cast<SoMaterial*>(edge)->diffuseColor[0], SbColor(1, 1, 1));
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::ViewWithBox));
    EXPECT_EQ(static_cast<SoMaterial*>(edge)->diffuseColor[0], SbColor(1, 0, 1));
    auto labelSwitch = [] { return static_cast<SoMaterial*>(Box().GetGreenCharRoot()->getChild(0))->transparency[0]; };
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::CharViewNothing));
    EXPECT_EQ(labelSwitch(), 1.0f);
    ASSERT_TRUE(Frame().ExecuteCommand(cmd::CharViewAll));
    EXPECT_EQ(labelSwitch(), 0.0f);
}
